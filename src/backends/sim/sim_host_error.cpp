#include "backends/sim/sim_host_error.h"

#include <cerrno>

namespace velmora::sim {

FileCause CauseOfHostError(const std::error_code& error) {
  if (!error) return FileCause::none;
  const std::error_condition c = error.default_error_condition();
  if (c == std::errc::no_such_file_or_directory) return FileCause::fileNotFound;
  if (c == std::errc::not_a_directory || c == std::errc::filename_too_long ||
      c == std::errc::invalid_argument || c == std::errc::cross_device_link)
    return FileCause::badPath;
  if (c == std::errc::permission_denied || c == std::errc::operation_not_permitted ||
      c == std::errc::read_only_file_system || c == std::errc::file_exists ||
      c == std::errc::is_a_directory || c == std::errc::directory_not_empty ||
      c == std::errc::device_or_resource_busy)
    return FileCause::accessDenied;
  if (c == std::errc::no_space_on_device || c == std::errc::file_too_large)
    return FileCause::diskFull;
  if (c == std::errc::too_many_files_open || c == std::errc::too_many_files_open_in_system)
    return FileCause::tooManyOpenFiles;
  if (c == std::errc::io_error) return FileCause::hardIO;
  return FileCause::generic;
}

FileCause CauseOfErrno(int error) {
  if (error == 0) return FileCause::generic;  // a failure that left no reason
  return CauseOfHostError(std::error_code(error, std::generic_category()));
}

}  // namespace velmora::sim
