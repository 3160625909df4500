// The causes of file failures, numbered as the application framework's file
// exception numbers them (0..14).  The machine answers them for every
// fallible file operation; CFileException (framework/file_exception.h)
// carries them, and the reports shown to the user are indexed by them.
#pragma once

namespace velmora {

enum class FileCause : int {
  none = 0,
  generic = 1,
  fileNotFound = 2,
  badPath = 3,
  tooManyOpenFiles = 4,
  accessDenied = 5,
  invalidFile = 6,
  removeCurrentDir = 7,
  directoryFull = 8,
  badSeek = 9,
  hardIO = 10,
  sharingViolation = 11,
  lockViolation = 12,
  diskFull = 13,
  endOfFile = 14,
};

}  // namespace velmora
