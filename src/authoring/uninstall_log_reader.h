// Reads a whole uninstall log back through the uninstallation's own code:
// CArchive for the strings and integers, FindStepClass for each entry's
// class and the step's Serialize for its stored state.
//
// Log layout (integers little-endian):
//   archive string   product title
//   32-bit unsigned  entry count N
//   N entries        archive string class name, then the step's archive
//                    form (its 16-bit version word first)
//
// Any input is safe: nothing is reserved from the entry count or a string
// length before the bytes are there, and every way the data can be wrong is
// answered with a typed error that says where reading stopped.  Bytes after
// the last entry are an error too: the installation writes exactly N
// entries, so more bytes mean a damaged count or entry, and listing only the
// first N would hide that.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "authoring/read_error.h"
#include "steps/step.h"

namespace velmora {

class CFile;

enum class LogErrorKind {
  truncated,        // the data ends inside the header or an entry
  badStringLength,  // a string length prefix 0xFF 0xFFFE, which is not a length
  newerVersion,     // an entry's version word is above what the steps load
  unknownClass,     // the class name names no step class
  trailingBytes,    // bytes follow the last entry
  readError,        // the file itself could not be read
};

struct UninstallLogError {
  LogErrorKind kind = LogErrorKind::truncated;
  // The entry concerned, counting from 1; 0 for the header (title and
  // count).  Trailing bytes follow the last entry, which is the one named.
  std::uint32_t entry = 0;
  // Where reading failed, in bytes from the log's first byte: the length
  // prefix, the version word, the class name or the first trailing byte;
  // for a truncated log, the end of the data.
  std::uint64_t offset = 0;
  std::uint32_t count = 0;  // the entry count, when it was read
  std::string className;    // the entry's class name, when it was read
  std::string detail;       // the version, the number of trailing bytes, the read error
};

struct UninstallLogListing {
  std::string title;
  std::uint32_t count = 0;
  // The steps as loaded, in log order; each one's runtime class is the
  // class name stored in the log, its GetVersion() the stored version.
  std::vector<std::unique_ptr<CStep>> entries;
};

// Reads the log from `log`, from its current position to its end.  Answers
// true with `listing` filled, or false with `error` filled (and `listing`
// holding what was read before the failure).
bool ReadUninstallLog(CFile& log, UninstallLogListing& listing, UninstallLogError& error);

// One line for people: where ("entry 2 of 3 (CStepPMG), offset 19") and what.
std::string DescribeLogError(const UninstallLogError& error);

// The error as the tools report it, for the log `file`: a newer stored
// version is unsupported, a failed read an I/O error, the rest corrupt.
ReadError AsReadError(const UninstallLogError& error, const std::string& file);

}  // namespace velmora
