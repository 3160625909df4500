#include "backends/scripted/line_log.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdint>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace velmora {
namespace {

constexpr const char* kLink = "it is a link";
constexpr const char* kDirectory = "it is a directory";
constexpr const char* kNotPlain = "it is not a plain file";
constexpr const char* kOtherNames = "it has other names (hard links)";

#ifdef _WIN32

std::string SystemMessage(DWORD error) {
  char* text = nullptr;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 ? std::string(text, length) : "error " + std::to_string(error);
  if (text != nullptr) ::LocalFree(text);
  while (!message.empty() && (message.back() == '.' || message.back() == '\r' ||
                              message.back() == '\n' || message.back() == ' '))
    message.pop_back();
  return message;
}

// Why a plain file cannot be the log: what is at the path, or the error.
std::string WhyNotOpened(const std::string& path, DWORD error) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());  // of a link itself
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return kLink;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return kDirectory;
  }
  return SystemMessage(error);
}

// The file's handle, created when missing; the final name is not followed
// when it is a reparse point, so the checks see the link itself.
std::FILE* OpenLogFile(const std::string& path, std::string& reason) {
  HANDLE file =
      ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    reason = WhyNotOpened(path, ::GetLastError());
    return nullptr;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileType(file) != FILE_TYPE_DISK) {
    reason = kNotPlain;
  } else if (!::GetFileInformationByHandle(file, &info)) {
    reason = SystemMessage(::GetLastError());
  } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    reason = kLink;
  } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    reason = kDirectory;
  } else if (info.nNumberOfLinks > 1) {
    reason = kOtherNames;
  } else if (!::SetEndOfFile(file)) {  // at the start: emptied
    reason = SystemMessage(::GetLastError());
  }
  if (!reason.empty()) {
    ::CloseHandle(file);
    return nullptr;
  }
  // Text mode: the line ends become CR LF, as a log there has.
  const int descriptor =
      ::_open_osfhandle(reinterpret_cast<std::intptr_t>(file), _O_WRONLY | _O_TEXT);
  if (descriptor == -1) {
    ::CloseHandle(file);
    reason = "it cannot be opened";
    return nullptr;
  }
  std::FILE* stream = ::_fdopen(descriptor, "w");
  if (stream == nullptr) {
    ::_close(descriptor);
    reason = "it cannot be opened";
  }
  return stream;
}

#else

// The file's descriptor, created when missing; a final symbolic link is not
// followed, and a FIFO without a reader fails at once instead of blocking.
std::FILE* OpenLogFile(const std::string& path, std::string& reason) {
  const int descriptor = ::open(
      path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
  if (descriptor == -1) {
    // ENXIO: a FIFO nobody reads, or a device that is not there.
    reason = errno == ELOOP    ? kLink
             : errno == EISDIR ? kDirectory
             : errno == ENXIO  ? kNotPlain
                               : std::strerror(errno);
    return nullptr;
  }
  struct stat info {};
  const bool examined = ::fstat(descriptor, &info) == 0;
  if (examined && !S_ISREG(info.st_mode)) {  // a link or a directory failed to open
    reason = kNotPlain;
  } else if (examined && info.st_nlink > 1) {
    reason = kOtherNames;
  } else if (!examined || ::ftruncate(descriptor, 0) != 0 ||
             ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0) {
    reason = std::strerror(errno);
  }
  std::FILE* stream = reason.empty() ? ::fdopen(descriptor, "w") : nullptr;
  if (stream == nullptr) {
    if (reason.empty()) reason = std::strerror(errno);
    ::close(descriptor);
  }
  return stream;
}

#endif

}  // namespace

LineLog::~LineLog() {
  if (file_ != nullptr) std::fclose(file_);
}

bool LineLog::Open(const std::string& path, std::string& reason) {
  if (file_ != nullptr) std::fclose(file_);
  reason.clear();
  file_ = OpenLogFile(path, reason);
  return file_ != nullptr;
}

void LineLog::WriteLine(const std::string& line) {
  if (file_ == nullptr) return;
  std::fputs(line.c_str(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

bool ReadTextFile(const std::string& path, std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  text.clear();
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  const bool ok = std::ferror(file) == 0;
  std::fclose(file);
  return ok;
}

}  // namespace velmora
