// Win32Machine: open files.  Each FileHandle stands for one Win32 HANDLE in
// the machine's table, so a stale or made-up number fails with invalidFile
// instead of reaching some other object of the process.
#include "backends/win32/win32_api.h"
#include "backends/win32/win32_error.h"
#include "backends/win32/win32_machine.h"

namespace velmora {
namespace {

DWORD DesiredAccess(FileAccess access) {
  switch (access) {
    case FileAccess::write: return GENERIC_WRITE;
    case FileAccess::readWrite: return GENERIC_READ | GENERIC_WRITE;
    default: return GENERIC_READ;
  }
}

DWORD ShareMode(FileShare share) {
  switch (share) {
    case FileShare::denyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    case FileShare::denyWrite: return FILE_SHARE_READ;
    case FileShare::denyRead: return FILE_SHARE_WRITE;
    default: return 0;
  }
}

DWORD CreationDisposition(FileDisposition disposition) {
  switch (disposition) {
    case FileDisposition::createAlways: return CREATE_ALWAYS;
    case FileDisposition::openAlways: return OPEN_ALWAYS;
    default: return OPEN_EXISTING;
  }
}

DWORD MoveMethod(SeekOrigin origin) {
  switch (origin) {
    case SeekOrigin::current: return FILE_CURRENT;
    case SeekOrigin::end: return FILE_END;
    default: return FILE_BEGIN;
  }
}

}  // namespace

Win32Machine::~Win32Machine() {
  for (const auto& [number, handle] : open_) ::CloseHandle(handle);
}

void* Win32Machine::Lookup(FileHandle handle) const {
  const auto found = open_.find(handle);
  return found == open_.end() ? nullptr : found->second;
}

FileCause Win32Machine::OpenFile(const std::string& path, FileAccess access, FileShare share,
                                 FileDisposition disposition, FileHandle& handle) {
  handle = kNoFile;
  HANDLE file = ::CreateFileA(path.c_str(), DesiredAccess(access), ShareMode(share), nullptr,
                              CreationDisposition(disposition), FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastFileCause();
  handle = next_++;
  open_[handle] = file;
  return FileCause::none;
}

// The names GetTempFileName tries (its number from the tick count, then
// the next ones), each created already open for writing: CREATE_NEW makes
// the creation the test for a free name, so the file is never closed and
// opened again.
FileCause Win32Machine::CreateTempFileForWriting(const std::string& directory,
                                                 const std::string& prefix, std::string& path,
                                                 FileHandle& handle) {
  path.clear();
  handle = kNoFile;
  UINT number = ::GetTickCount() & 0xFFFF;
  for (UINT tries = 0; tries < 0xFFFF; ++tries) {
    if (number == 0) number = 1;  // 0 would ask GetTempFileName to create the file itself
    char name[MAX_PATH + 1] = {};
    if (::GetTempFileNameA(directory.c_str(), prefix.c_str(), number, name) == 0)
      return LastFileCause();
    HANDLE file =
        ::CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = ::GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS &&
          error != ERROR_SHARING_VIOLATION)
        return LastFileCause();
      number = (number + 1) & 0xFFFF;
      continue;
    }
    const std::string full = GetFullPathName(name);
    path = full.empty() ? std::string(name) : full;
    handle = next_++;
    open_[handle] = file;
    return FileCause::none;
  }
  return FileCause::accessDenied;  // every number taken, as GetTempFileName answers
}

FileCause Win32Machine::ReadFile(FileHandle handle, void* buffer, std::uint32_t count,
                                 std::uint32_t& got) {
  got = 0;
  HANDLE file = Lookup(handle);
  if (file == nullptr) return FileCause::invalidFile;
  auto* bytes = static_cast<char*>(buffer);
  // A disk file delivers short reads only at its end, but keep reading until
  // the request is met or nothing more comes, so the promise holds anyway.
  while (got < count) {
    DWORD n = 0;
    if (!::ReadFile(file, bytes + got, count - got, &n, nullptr)) return LastFileCause();
    if (n == 0) break;
    got += n;
  }
  return FileCause::none;
}

FileCause Win32Machine::WriteFile(FileHandle handle, const void* buffer, std::uint32_t count) {
  HANDLE file = Lookup(handle);
  if (file == nullptr) return FileCause::invalidFile;
  const auto* bytes = static_cast<const char*>(buffer);
  std::uint32_t done = 0;
  while (done < count) {
    DWORD n = 0;
    if (!::WriteFile(file, bytes + done, count - done, &n, nullptr)) return LastFileCause();
    // A write that succeeds without taking everything ran out of room.
    if (n == 0) return FileCause::diskFull;
    done += n;
  }
  return FileCause::none;
}

FileCause Win32Machine::SeekFile(FileHandle handle, std::int64_t offset, SeekOrigin origin,
                                 std::uint64_t& position) {
  HANDLE file = Lookup(handle);
  if (file == nullptr) return FileCause::invalidFile;
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LONG high = distance.HighPart;
  // INVALID_SET_FILE_POINTER is also a valid low half of a large position;
  // only the error code tells them apart.
  ::SetLastError(NO_ERROR);
  const DWORD low =
      ::SetFilePointer(file, static_cast<LONG>(distance.LowPart), &high, MoveMethod(origin));
  if (low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR) return LastFileCause();
  position = (static_cast<std::uint64_t>(static_cast<DWORD>(high)) << 32) | low;
  return FileCause::none;
}

FileCause Win32Machine::GetFileSize(FileHandle handle, std::uint64_t& size) {
  HANDLE file = Lookup(handle);
  if (file == nullptr) return FileCause::invalidFile;
  DWORD high = 0;
  ::SetLastError(NO_ERROR);
  const DWORD low = ::GetFileSize(file, &high);
  if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) return LastFileCause();
  size = (static_cast<std::uint64_t>(high) << 32) | low;
  return FileCause::none;
}

FileCause Win32Machine::FlushFile(FileHandle handle) {
  HANDLE file = Lookup(handle);
  if (file == nullptr) return FileCause::invalidFile;
  if (!::FlushFileBuffers(file)) return LastFileCause();
  return FileCause::none;
}

FileCause Win32Machine::CloseFile(FileHandle handle) {
  HANDLE file = Lookup(handle);
  if (file == nullptr) return FileCause::invalidFile;
  // The number is spent even if CloseHandle complains: the handle is gone
  // either way and must not be closed twice.
  open_.erase(handle);
  if (!::CloseHandle(file)) return LastFileCause();
  return FileCause::none;
}

}  // namespace velmora
