// Whether a name can be a file or folder name on Windows, as a package
// stores names: in code page 1252, and then by the rules of
// framework/file_name_rules.h (no character Windows refuses, no device
// name, no trailing blank or dot).
#pragma once

#include <string>

namespace velmora {

// "" when `utf8Name` can be a Windows file name; else why not, e.g.
// "holds '?'", "is the device name CON", "ends with a dot".
std::string WindowsFileNameProblem(const std::string& utf8Name);

// A code page 1252 name or path in upper case, letters with accents too:
// two names with the same key are one file to Windows, which does not tell
// names apart by case.
std::string WindowsCaseKey(std::string ansiName);

}  // namespace velmora
