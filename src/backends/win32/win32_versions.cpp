// The version library and file times on Windows.
#include <vector>

#include "backends/win32/system_library.h"
#include "backends/win32/win32_api.h"
#include "backends/win32/win32_error.h"
#include "backends/win32/win32_machine.h"

namespace velmora {
namespace {

// The version library's functions, from the system directory; each null
// when it cannot be had.
struct VersionLibrary {
  decltype(&::GetFileVersionInfoSizeA) getInfoSize =
      SystemFunction<decltype(getInfoSize)>("version.dll", "GetFileVersionInfoSizeA");
  decltype(&::GetFileVersionInfoA) getInfo =
      SystemFunction<decltype(getInfo)>("version.dll", "GetFileVersionInfoA");
  decltype(&::VerQueryValueA) queryValue =
      SystemFunction<decltype(queryValue)>("version.dll", "VerQueryValueA");
  decltype(&::VerFindFileA) findFile =
      SystemFunction<decltype(findFile)>("version.dll", "VerFindFileA");
};

const VersionLibrary& Version() {
  static const VersionLibrary library;
  return library;
}

// FILETIME counts 100 ns units from 1601-01-01; file times here are seconds
// from 1970-01-01.
constexpr std::int64_t kEpochDifference = 11644473600LL;
constexpr std::int64_t kUnitsPerSecond = 10000000LL;

std::int64_t ToSeconds(const FILETIME& time) {
  const std::int64_t units = static_cast<std::int64_t>(
      static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime);
  return units / kUnitsPerSecond - kEpochDifference;
}

FILETIME FromSeconds(std::int64_t seconds) {
  const auto units = static_cast<std::uint64_t>((seconds + kEpochDifference) * kUnitsPerSecond);
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(units);
  time.dwHighDateTime = static_cast<DWORD>(units >> 32);
  return time;
}

// Opens a file or directory only to read or write its times.
HANDLE OpenForTimes(const std::string& path, DWORD access) {
  return ::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// SetFileTime with a null pointer for each time that is 0 (left as it is).
FileCause SetTimesOf(HANDLE file, const FileTimes& times) {
  const FILETIME creation = FromSeconds(times.creation);
  const FILETIME access = FromSeconds(times.lastAccess);
  const FILETIME write = FromSeconds(times.lastWrite);
  const bool ok = ::SetFileTime(file, times.creation != 0 ? &creation : nullptr,
                                times.lastAccess != 0 ? &access : nullptr,
                                times.lastWrite != 0 ? &write : nullptr) != 0;
  return ok ? FileCause::none : LastFileCause();
}

}  // namespace

FileCause Win32Machine::GetFileTimes(const std::string& path, FileTimes& times) {
  HANDLE file = OpenForTimes(path, GENERIC_READ);
  if (file == INVALID_HANDLE_VALUE) return LastFileCause();
  FILETIME creation, access, write;
  const bool ok = ::GetFileTime(file, &creation, &access, &write) != 0;
  const FileCause cause = ok ? FileCause::none : LastFileCause();
  ::CloseHandle(file);
  if (ok) {
    times.creation = ToSeconds(creation);
    times.lastAccess = ToSeconds(access);
    times.lastWrite = ToSeconds(write);
  }
  return cause;
}

FileCause Win32Machine::SetFileTimes(const std::string& path, const FileTimes& times) {
  HANDLE file = OpenForTimes(path, FILE_WRITE_ATTRIBUTES);
  if (file == INVALID_HANDLE_VALUE) return LastFileCause();
  const FileCause cause = SetTimesOf(file, times);
  ::CloseHandle(file);
  return cause;
}

FileCause Win32Machine::SetOpenFileTimes(FileHandle handle, const FileTimes& times) {
  HANDLE file = Lookup(handle);
  if (file == nullptr) return FileCause::invalidFile;
  return SetTimesOf(file, times);
}

bool Win32Machine::GetFileVersion(const std::string& path, std::uint64_t& version) {
  version = 0;
  const VersionLibrary& library = Version();
  if (!library.getInfoSize || !library.getInfo || !library.queryValue) return false;
  DWORD handle = 0;
  const DWORD size = library.getInfoSize(path.c_str(), &handle);
  if (size == 0) return false;
  std::vector<std::uint8_t> data(size);
  if (!library.getInfo(path.c_str(), 0, size, data.data())) return false;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  char root[] = "\\";
  if (!library.queryValue(data.data(), root, reinterpret_cast<void**>(&fixed), &length) ||
      fixed == nullptr || length < 16)
    return false;
  version = static_cast<std::uint64_t>(fixed->dwFileVersionMS) << 32 | fixed->dwFileVersionLS;
  return true;
}

void Win32Machine::FindFileLocation(std::uint32_t flags, const std::string& name,
                                    const std::string& windowsDir, const std::string& appDir,
                                    std::string& currentDir, std::string& destDir) {
  // Without the version library: the answer of a machine that has none.
  const auto findFile = Version().findFile;
  if (!findFile) {
    Machine::FindFileLocation(flags, name, windowsDir, appDir, currentDir, destDir);
    return;
  }
  char current[MAX_PATH] = "";
  char destination[MAX_PATH] = "";
  UINT currentLength = MAX_PATH;
  UINT destinationLength = MAX_PATH;
  // The version library takes the three names as writable strings.
  std::string nameCopy = name, windowsCopy = windowsDir, appCopy = appDir;
  findFile(flags, nameCopy.data(), windowsCopy.data(), appCopy.data(), current, &currentLength,
           destination, &destinationLength);
  current[MAX_PATH - 1] = 0;
  destination[MAX_PATH - 1] = 0;
  currentDir = current;
  destDir = destination;
}

}  // namespace velmora
