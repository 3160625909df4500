// Whether a file being installed replaces the file already at its target
// path, and the version and date texts the replace question shows.
//
// Dates are seconds since 1970-01-01 UTC; a file's date is its last-write
// time (a copy's creation time is the time it was copied, which says
// nothing of its contents).  The new file's date is its stored last-write
// time, or its stored creation time when the record has none.  Versions are
// the 64-bit file version of the version resource (0 when a file has none).
// With date and version checks both off the user is asked (dialog 105);
// otherwise the new file replaces the existing one when it is not older,
// not of a lower version, and differs in at least one of the compared
// respects.  Where versions alone are compared and neither file has one,
// the dates are compared instead.
#pragma once

#include <cstdint>
#include <string>

#include "platform/machine.h"

namespace velmora {

struct ReplaceInputs {
  std::string targetPath;        // the existing file, where the new one goes
  std::string newFilePath;       // where the new file's data is now (its version is read there)
  std::int64_t newCreation = 0;  // the stored times of the new file
  std::int64_t newModification = 0;
  FileTimes existing;  // the existing file's times
  bool checkDates = true;
  bool checkVersions = true;
};

// True: replace the existing file; false: keep it.  May show the replace
// question; has no other effect.
bool DecideReplace(const ReplaceInputs& inputs);

// The file version of `path`, 0 when it has none or it cannot be read.
std::uint64_t ReadFileVersion(const std::string& path);
// Eight decimal numbers, one per byte of the version, most significant
// first: 1.2.3.4 is "0.1.0.2.0.3.0.4".
std::string FormatVersionText(std::uint64_t version);
// FormatVersionText(ReadFileVersion(path)).
std::string FormatFileVersion(const std::string& path);
// The date in local time as "%d-%b-%Y %H:%M"; "" when it has no local time.
std::string FormatFileDate(std::int64_t seconds);

}  // namespace velmora
