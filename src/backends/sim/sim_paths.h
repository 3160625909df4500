// Windows path rules for the simulated machine: parsing a path as Windows
// does (drives, rooted and relative forms, "." and "..", trailing dots and
// spaces) into a drive letter and a list of components, and the name checks
// that keep a path inside the machine (no UNC, no devices, no invalid
// characters, MAX_PATH).
#pragma once

#include <string>
#include <vector>

#include "framework/file_exception.h"
#include "platform/path_limit.h"

namespace velmora::sim {

// A full Windows path: drive letter (upper case) and components below the
// drive's root.  No component is empty, "." or "..".
struct WinPath {
  char drive = 'C';
  std::vector<std::string> parts;
  bool trailingSeparator = false;  // the text ended in a separator
};

// Resolves text against the current directory.  Answers badPath for
// anything Windows would refuse or that could name something outside a
// drive: empty text, UNC and device-namespace prefixes, invalid characters,
// reserved device names, paths of kMaxPathBytes characters or more.
FileCause ParseWindowsPath(const std::string& text, const WinPath& current, WinPath& out);

// "C:\DIR\FILE"; "C:\" for a drive's root.  With trailing, a trailing
// separator given in the text is kept (as GetFullPathName keeps it).
std::string FormatWindowsPath(const WinPath& path, bool trailing = false);

// True when name is a single component Windows accepts as a file name
// (framework/file_name_rules.h): after ParseWindowsPath has dropped the
// trailing dots and blanks Windows drops, a component that still ends in
// one is refused, as is a host file of such a name.
bool IsValidName(const std::string& name);
// CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$ (with or without an
// extension).
bool IsReservedDeviceName(const std::string& name);

bool IsSeparator(char c);

}  // namespace velmora::sim
