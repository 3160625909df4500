// Win32 error codes to file causes.  Codes are given by their documented
// numbers, so a wrong constant in the table shows up here.
#ifdef _WIN32

#include "backends/win32/win32_error.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace velmora {
namespace {

struct Mapping {
  std::uint32_t code;
  const char* name;
  FileCause cause;
};

constexpr Mapping kMappings[] = {
    {2, "ERROR_FILE_NOT_FOUND", FileCause::fileNotFound},
    {3, "ERROR_PATH_NOT_FOUND", FileCause::badPath},
    {15, "ERROR_INVALID_DRIVE", FileCause::badPath},
    {123, "ERROR_INVALID_NAME", FileCause::badPath},
    {161, "ERROR_BAD_PATHNAME", FileCause::badPath},
    {206, "ERROR_FILENAME_EXCED_RANGE", FileCause::badPath},
    {267, "ERROR_DIRECTORY", FileCause::badPath},
    {4, "ERROR_TOO_MANY_OPEN_FILES", FileCause::tooManyOpenFiles},
    {5, "ERROR_ACCESS_DENIED", FileCause::accessDenied},
    {19, "ERROR_WRITE_PROTECT", FileCause::accessDenied},
    {183, "ERROR_ALREADY_EXISTS", FileCause::accessDenied},
    {80, "ERROR_FILE_EXISTS", FileCause::accessDenied},
    {145, "ERROR_DIR_NOT_EMPTY", FileCause::accessDenied},
    {6, "ERROR_INVALID_HANDLE", FileCause::invalidFile},
    {16, "ERROR_CURRENT_DIRECTORY", FileCause::removeCurrentDir},
    {82, "ERROR_CANNOT_MAKE", FileCause::directoryFull},
    {131, "ERROR_NEGATIVE_SEEK", FileCause::badSeek},
    {132, "ERROR_SEEK_ON_DEVICE", FileCause::badSeek},
    {25, "ERROR_SEEK", FileCause::badSeek},
    {21, "ERROR_NOT_READY", FileCause::hardIO},
    {23, "ERROR_CRC", FileCause::hardIO},
    {29, "ERROR_WRITE_FAULT", FileCause::hardIO},
    {30, "ERROR_READ_FAULT", FileCause::hardIO},
    {31, "ERROR_GEN_FAILURE", FileCause::hardIO},
    {32, "ERROR_SHARING_VIOLATION", FileCause::sharingViolation},
    {33, "ERROR_LOCK_VIOLATION", FileCause::lockViolation},
    {108, "ERROR_DRIVE_LOCKED", FileCause::lockViolation},
    {158, "ERROR_NOT_LOCKED", FileCause::lockViolation},
    {112, "ERROR_DISK_FULL", FileCause::diskFull},
    {39, "ERROR_HANDLE_DISK_FULL", FileCause::diskFull},
    {38, "ERROR_HANDLE_EOF", FileCause::endOfFile},
};

TEST(Win32ErrorTest, KnownCodesMapToTheirCause) {
  for (const Mapping& m : kMappings) {
    EXPECT_EQ(FileCauseFromWin32Error(m.code), m.cause) << m.name << " (" << m.code << ")";
  }
}

TEST(Win32ErrorTest, CodesOutsideTheTableAreGeneric) {
  // Neighbours of mapped codes and errors the file calls do produce.
  const std::uint32_t others[] = {
      1,     // ERROR_INVALID_FUNCTION
      18,    // ERROR_NO_MORE_FILES
      24,    // ERROR_BAD_LENGTH, between ERROR_CRC and ERROR_SEEK
      87,    // ERROR_INVALID_PARAMETER
      1392,  // ERROR_FILE_CORRUPT
      0xFFFFFFFF,
  };
  for (std::uint32_t code : others) {
    EXPECT_EQ(FileCauseFromWin32Error(code), FileCause::generic) << code;
  }
}

TEST(Win32ErrorTest, AFailureNeverReadsAsSuccess) {
  // Even a call that failed without setting an error (code 0) is a failure.
  for (std::uint32_t code = 0; code < 20000; ++code) {
    ASSERT_NE(FileCauseFromWin32Error(code), FileCause::none) << code;
  }
}

}  // namespace
}  // namespace velmora

#endif  // _WIN32
