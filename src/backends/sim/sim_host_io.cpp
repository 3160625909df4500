#include "backends/sim/sim_host_io.h"

#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <vector>

#include "backends/sim/sim_host_error.h"

namespace velmora::sim {

std::FILE* OpenHostFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
  const std::string narrow(mode);
  const std::wstring wide(narrow.begin(), narrow.end());
  return _wfopen(path.c_str(), wide.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

bool SeekHostFile(std::FILE* stream, std::uint64_t position) {
#ifdef _WIN32
  return _fseeki64(stream, static_cast<__int64>(position), SEEK_SET) == 0;
#else
  return fseeko(stream, static_cast<off_t>(position), SEEK_SET) == 0;
#endif
}

// Asks the file system rather than seeking, so a reader's buffered bytes
// stay usable.  Writes are flushed as they are made, so the size is current.
bool HostFileSize(std::FILE* stream, std::uint64_t& size) {
#ifdef _WIN32
  struct _stati64 info;
  if (_fstati64(_fileno(stream), &info) != 0) return false;
#else
  struct stat info;
  if (fstat(fileno(stream), &info) != 0) return false;
#endif
  if (info.st_size < 0) return false;
  size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

FileCause CopyHostFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::FILE* in = OpenHostFile(from, "rb");
  if (in == nullptr) return CauseOfErrno(errno);
  std::FILE* out = OpenHostFile(to, "wb");
  if (out == nullptr) {
    const int error = errno;
    std::fclose(in);
    return CauseOfErrno(error);
  }
  FileCause cause = FileCause::none;
  std::vector<char> buffer(std::size_t{64} * 1024);
  for (;;) {
    errno = 0;
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in);
    if (got > 0 && std::fwrite(buffer.data(), 1, got, out) != got) {
      cause = CauseOfErrno(errno);
      break;
    }
    if (got < buffer.size()) {
      if (std::ferror(in)) cause = FileCause::hardIO;
      break;
    }
  }
  std::fclose(in);
  errno = 0;
  if (std::fclose(out) != 0 && cause == FileCause::none) cause = CauseOfErrno(errno);
  return cause;
}

}  // namespace velmora::sim
