// Win32Machine: files and directories by name, and the machine's locations.
#include <vector>

#include "backends/win32/win32_api.h"
#include "backends/win32/win32_error.h"
#include "backends/win32/win32_machine.h"

namespace velmora {
namespace {

FileCause Check(BOOL ok) { return ok ? FileCause::none : LastFileCause(); }

// Calls an API of the GetCurrentDirectoryA kind: given a buffer too small it
// answers the size it needs (with the NUL), otherwise the length it wrote
// (without it), and 0 on failure.  Answers "" on failure.
template <typename Call>
std::string ReadString(Call call) {
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD n = call(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n == 0) return {};
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(n + 1);
  }
}

bool EndsWithSeparator(const std::string& path) {
  if (path.empty()) return false;
  const char last = path.back();
  return last == '\\' || last == '/' || last == ':';
}

bool IsDirectory(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

FileCause Win32Machine::DeleteFile(const std::string& path) {
  return Check(::DeleteFileA(path.c_str()));
}

FileCause Win32Machine::DeleteFileAtRestart(const std::string& path) {
  return Check(::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
}

FileCause Win32Machine::MoveFile(const std::string& from, const std::string& to) {
  return Check(::MoveFileA(from.c_str(), to.c_str()));
}

FileCause Win32Machine::CopyFile(const std::string& from, const std::string& to,
                                 bool failIfExists) {
  return Check(::CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE));
}

FileCause Win32Machine::CreateDirectory(const std::string& path) {
  return Check(::CreateDirectoryA(path.c_str(), nullptr));
}

FileCause Win32Machine::RemoveDirectory(const std::string& path) {
  return Check(::RemoveDirectoryA(path.c_str()));
}

FileCause Win32Machine::GetFileAttributes(const std::string& path, std::uint32_t& attributes) {
  const DWORD found = ::GetFileAttributesA(path.c_str());
  if (found == INVALID_FILE_ATTRIBUTES) return LastFileCause();
  attributes = found;
  return FileCause::none;
}

FileCause Win32Machine::SetFileAttributes(const std::string& path, std::uint32_t attributes) {
  return Check(::SetFileAttributesA(path.c_str(), attributes));
}

FileCause Win32Machine::ListDirectory(const std::string& path, std::vector<DirEntry>& entries) {
  entries.clear();
  const std::string pattern = path.empty()              ? std::string("*.*")
                              : EndsWithSeparator(path) ? path + "*.*"
                                                        : path + "\\*.*";
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    // A root directory has no "." or "..", so an empty one matches nothing.
    if (::GetLastError() == ERROR_FILE_NOT_FOUND && IsDirectory(path.empty() ? "." : path)) {
      return FileCause::none;
    }
    return LastFileCause();
  }
  FileCause cause = FileCause::none;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    const std::uint64_t size =
        (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entries.push_back(DirEntry{name, data.dwFileAttributes, size});
  } while (::FindNextFileA(find, &data));
  if (::GetLastError() != ERROR_NO_MORE_FILES) cause = LastFileCause();
  ::FindClose(find);
  if (cause != FileCause::none) entries.clear();
  return cause;
}

FileCause Win32Machine::CreateTempFile(const std::string& directory, const std::string& prefix,
                                       std::string& path) {
  char name[MAX_PATH + 1] = {};
  if (::GetTempFileNameA(directory.c_str(), prefix.c_str(), 0, name) == 0) {
    return LastFileCause();
  }
  // The name comes back as directory + file; a relative directory is made
  // full so the answer stays valid after the current directory changes.
  const std::string full = GetFullPathName(name);
  path = full.empty() ? std::string(name) : full;
  return FileCause::none;
}

std::string Win32Machine::GetCurrentDirectory() {
  return ReadString([](DWORD size, char* buffer) { return ::GetCurrentDirectoryA(size, buffer); });
}

FileCause Win32Machine::SetCurrentDirectory(const std::string& path) {
  return Check(::SetCurrentDirectoryA(path.c_str()));
}

// The system's own Windows directory: on a Remote Desktop host
// GetWindowsDirectory may answer a folder of the user's instead.
std::string Win32Machine::GetWindowsDirectory() {
  return ReadString([](DWORD size, char* buffer) {
    return static_cast<DWORD>(::GetSystemWindowsDirectoryA(buffer, size));
  });
}

std::string Win32Machine::GetSystemDirectory() {
  return ReadString([](DWORD size, char* buffer) {
    return static_cast<DWORD>(::GetSystemDirectoryA(buffer, size));
  });
}

std::string Win32Machine::GetFullPathName(const std::string& path) {
  if (path.empty()) return {};
  return ReadString([&path](DWORD size, char* buffer) {
    return ::GetFullPathNameA(path.c_str(), size, buffer, nullptr);
  });
}

DriveType Win32Machine::GetDriveType(const std::string& root) {
  return static_cast<DriveType>(::GetDriveTypeA(root.c_str()));
}

std::uint32_t Win32Machine::GetLogicalDrives() { return ::GetLogicalDrives(); }

}  // namespace velmora
