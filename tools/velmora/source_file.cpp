#include "source_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace velmora::cli {

std::optional<SourceFile> ReadSourceFile(const std::filesystem::path& path, std::string& why) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    why = error ? error.message() : std::filesystem::exists(path) ? "not a regular file" : "no such file";
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    why = std::strerror(errno);
    return std::nullopt;
  }
  SourceFile file;
  file.contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    why = "read error";
    return std::nullopt;
  }

  struct statx status {};
  if (statx(AT_FDCWD, path.c_str(), 0, STATX_MTIME | STATX_BTIME, &status) != 0) {
    why = std::strerror(errno);
    return std::nullopt;
  }
  file.modified = status.stx_mtime.tv_sec;
  file.created = (status.stx_mask & STATX_BTIME) != 0 ? status.stx_btime.tv_sec : file.modified;
  return file;
}

}  // namespace velmora::cli
