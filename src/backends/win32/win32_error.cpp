#include "backends/win32/win32_error.h"

#include <windows.h>

namespace velmora {

FileCause FileCauseFromWin32Error(std::uint32_t error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND: return FileCause::fileNotFound;

    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:  // a file named where a directory is needed
      return FileCause::badPath;

    case ERROR_TOO_MANY_OPEN_FILES: return FileCause::tooManyOpenFiles;

    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
    case ERROR_DIR_NOT_EMPTY: return FileCause::accessDenied;

    case ERROR_INVALID_HANDLE: return FileCause::invalidFile;

    case ERROR_CURRENT_DIRECTORY: return FileCause::removeCurrentDir;

    case ERROR_CANNOT_MAKE: return FileCause::directoryFull;

    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK_ON_DEVICE:
    case ERROR_SEEK: return FileCause::badSeek;

    case ERROR_NOT_READY:
    case ERROR_CRC:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE: return FileCause::hardIO;

    case ERROR_SHARING_VIOLATION: return FileCause::sharingViolation;

    case ERROR_LOCK_VIOLATION:
    case ERROR_DRIVE_LOCKED:
    case ERROR_NOT_LOCKED: return FileCause::lockViolation;

    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return FileCause::diskFull;

    case ERROR_HANDLE_EOF: return FileCause::endOfFile;

    default: return FileCause::generic;
  }
}

FileCause LastFileCause() { return FileCauseFromWin32Error(::GetLastError()); }

}  // namespace velmora
