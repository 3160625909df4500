// The uninstall log: the one file an installation and its uninstaller
// share.  This module is its layout, its writer and its one reader, used by
// the installation run (which writes it), the uninstallation run and
// `velmora log` (which read it).
//
// Layout (integers little-endian, strings as archive strings):
//   string           product title
//   32-bit unsigned  entry count N
//   N entries        class name, then the step's archive form (its 16-bit
//                    version word first)
//   additions        optional; what the uninstaller needs beyond the
//                    entries (LogAdditions).  A reader of the entries alone
//                    stops after the N entries and never sees them.
//
// Additions:
//   32-bit           kLogAdditionsTag ("VMLX" in the file)
//   16-bit           kLogAdditionsVersion
//   string           program group of the installation's items ("" none)
//   string           title of the installation that created the group
//                    ("" when it was there before any installation)
//   32-bit count     files, each: string target path, 32-bit size low,
//                    32-bit size high, 32-bit signed last-write time
//                    (seconds since 1970, as the log stores file times)
//   32-bit count     program items still to remove whose steps are not
//                    entries, each: string group, string item title
//   32-bit count     (version 2 on) the folders the logged files were
//                    installed into, each a string; the uninstaller refuses
//                    a log whose file entries lie elsewhere
//
// Any input is safe to read: nothing is reserved from a count or a length
// before the bytes are there, and every way the data can be wrong is
// answered with a typed error that says where reading stopped.  Bytes after
// the entries that are not additions, and bytes after the additions, are
// errors: more bytes than the layout holds mean a damaged count or entry.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "steps/step.h"

namespace velmora {

class CArchive;
class CFile;

// The archive buffer size of the log's reader and writer.
inline constexpr std::uint32_t kLogBufferSize = 4096;
inline constexpr std::uint32_t kLogAdditionsTag = 0x584C4D56;  // "VMLX"
inline constexpr std::uint16_t kLogAdditionsVersion = 3;

// What identifies the file an installation left at a target: a file there
// that differs is no longer the installation's to delete.
struct LogFileRecord {
  std::string target;  // the full path, as the entry's target directory and name give it
  std::uint64_t size = 0;
  std::int32_t lastWrite = 0;
  bool operator==(const LogFileRecord&) const = default;
};

struct LogProgramItem {
  std::string group;
  std::string title;
  bool operator==(const LogProgramItem&) const = default;
};

struct LogAdditions {
  std::string group;
  std::string groupCreator;
  std::vector<LogFileRecord> files;
  std::vector<LogProgramItem> items;
  std::vector<std::string> folders;
  // The folders of file names with folders that the installation made (from
  // version 3); the uninstaller removes those below `folders` once empty.
  std::vector<std::string> createdFolders;
  // The version read (the writer writes kLogAdditionsVersion); a log of
  // version 1 records no folders.
  std::uint16_t version = kLogAdditionsVersion;
  bool operator==(const LogAdditions&) const = default;

  // True when the additions record folders and `target` lies in none of
  // them (names compared without regard to case).
  bool OutsideFolders(const std::string& target) const;

  // The record of a target (names compared without regard to case); null
  // when the log has none.
  const LogFileRecord* FileRecord(const std::string& target) const;
};

enum class LogErrorKind {
  truncated,        // the data ends inside the header, an entry or the additions
  badStringLength,  // a string length prefix 0xFF 0xFFFE, which is not a length
  newerVersion,     // an entry's (or the additions') version is above what this program reads
  unknownClass,     // the class name names no step class
  trailingBytes,    // bytes follow the last entry (or the additions) that are not additions
  refusedValue,     // the entry holds a value its step refuses (a file name that leaves its folder)
  readError,        // the file itself could not be read
};

struct UninstallLogError {
  LogErrorKind kind = LogErrorKind::truncated;
  // The entry concerned, counting from 1; 0 for the header (title and
  // count).  Trailing bytes and additions follow the last entry, which is
  // the one named.
  std::uint32_t entry = 0;
  // Where reading failed, in bytes from the log's first byte: the length
  // prefix, the version word, the class name or the first trailing byte;
  // for a truncated log, the end of the data; for a refused value, the end
  // of that value.
  std::uint64_t offset = 0;
  std::uint32_t count = 0;   // the entry count, when it was read
  std::string className;     // the entry's class name, when it was read
  std::string detail;        // the version, the number of trailing bytes, the read error,
                             // why a value is refused
  bool inAdditions = false;  // the error lies in the additions after the entries
};

struct UninstallLogListing {
  std::string title;
  std::uint32_t count = 0;
  // The steps as loaded, in log order; each one's runtime class is the
  // class name stored in the log, its GetVersion() the stored version.
  std::vector<std::unique_ptr<CStep>> entries;
  bool hasAdditions = false;
  LogAdditions additions;
  // Bytes from the log's first byte to the end of its entries.
  std::uint64_t entriesEnd = 0;
};

// Reads the log from `log`, from its current position to its end.  Answers
// true with `listing` filled, or false with `error` filled (and `listing`
// holding what was read before the failure).
bool ReadUninstallLog(CFile& log, UninstallLogListing& listing, UninstallLogError& error);
// The same from a file by name; a log that cannot be opened is a readError.
bool ReadUninstallLogFile(const std::string& path, UninstallLogListing& listing,
                          UninstallLogError& error);

// Writes a log of the title, the uninstallable steps of `steps` and, when
// given, the additions into `path` (created or truncated, without sharing).
// Throws the file and archive exceptions of the writes.
void StoreUninstallLog(const std::string& path, const std::string& title, const StepList& steps,
                       const LogAdditions* additions);

// The additions, tag first, as StoreUninstallLog writes them after the entries.
void StoreLogAdditions(CArchive& archive, const LogAdditions& additions);

// The entries of a log that a step of `steps` would write: the steps whose
// IsUninstallable() is true.
std::uint32_t CountLogEntries(const StepList& steps);

}  // namespace velmora
