// Whether a name can be a file or folder name on Windows, as a package
// stores names: in code page 1252, without the characters Windows refuses,
// without the device names, and without a trailing blank or dot (which
// Windows drops, so the file would get another name).
#pragma once

#include <string>

namespace velmora {

// "" when `utf8Name` can be a Windows file name; else why not, e.g.
// "holds '?'", "is the device name CON", "ends with a dot".
std::string WindowsFileNameProblem(const std::string& utf8Name);

}  // namespace velmora
