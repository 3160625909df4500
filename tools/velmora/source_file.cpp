#include "source_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <stdexcept>

#include "authoring/file_payload.h"

namespace velmora::cli {

std::optional<SourceFile> OpenSourceFile(const std::filesystem::path& path, std::string& why) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    why = error                           ? error.message()
          : std::filesystem::exists(path) ? "not a regular file"
                                          : "no such file";
    return std::nullopt;
  }
  // Whether it can be read at all, so that a file without read permission
  // is reported with the manifest line that names it.
  if (!std::ifstream(path, std::ios::binary)) {
    why = std::strerror(errno);
    return std::nullopt;
  }

  struct statx status {};
  if (statx(AT_FDCWD, path.c_str(), 0, STATX_MTIME | STATX_BTIME | STATX_SIZE, &status) != 0) {
    why = std::strerror(errno);
    return std::nullopt;
  }
  SourceFile file;
  file.contents = std::make_shared<FilePayload>(path, status.stx_size);
  file.modified = status.stx_mtime.tv_sec;
  file.created = (status.stx_mask & STATX_BTIME) != 0 ? status.stx_btime.tv_sec : file.modified;
  if (const std::optional<std::int64_t> epoch = SourceDateEpoch())
    file.created = file.modified = *epoch;
  return file;
}

std::optional<std::int64_t> SourceDateEpoch() {
  const char* text = std::getenv("SOURCE_DATE_EPOCH");
  if (text == nullptr || *text == '\0') return std::nullopt;
  const char* end = text + std::strlen(text);
  std::int64_t seconds = 0;
  const auto [stop, error] = std::from_chars(text, end, seconds);
  if (error != std::errc() || stop != end || seconds < 0 ||
      seconds > std::numeric_limits<std::int32_t>::max())
    throw std::invalid_argument(std::string("SOURCE_DATE_EPOCH is not a time a package can store "
                                            "(whole seconds since 1970 up to 2038-01-19): '") +
                                text + "'");
  return seconds;
}

}  // namespace velmora::cli
