// Which names can be files below a folder on Windows.  Every reader of a
// file step's name judges it here: the package checks, the record readers
// of the package and of the uninstall log, the output path of an
// extraction, the harvest of a folder and the simulated machine.
//
// A file name is one component: not empty, not "." or "..", no character
// Windows refuses in a name (control characters, < > : " / \ | ? *), not
// a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$ in
// any case, with or without an extension), not ending in a dot or a blank
// (Windows drops them, so the file would get another name), at most 255
// characters.
//
// A file step's name is the file's path relative to the target directory:
// file names joined by backslashes, e.g. "BIN\TOOL.EXE".  It has no drive
// and no root, and the backslash is its only separator: the runs and the
// uninstall logs split and compare target paths at backslashes, so a file
// has one spelling ("/" is refused as a character).  The target directory
// and the name together therefore always name a file below that
// directory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// The longest single name the Windows file systems accept.
inline constexpr std::size_t kMaxFileNameLength = 255;

// A character Windows refuses in a name: a control character or one of
// < > : " / \ | ? *.
bool IsRefusedInFileName(char c);

// "" when `name` can be one component of a Windows path; else why not,
// e.g. "holds '?'", "is the device name CON", "ends with a dot".
std::string FileNameProblem(std::string_view name);

// "" when `name` can be a file step's name (a relative path, as above);
// else why not, e.g. "has the component '..'", "names the drive C:".
std::string RelativeFileNameProblem(std::string_view name);

// The device the name stands for ("CON", "LPT1", ...; upper case), or ""
// when it names none.  What follows the first dot does not matter, nor do
// blanks before it ("nul .txt" is NUL).
std::string DeviceNameOf(std::string_view name);

}  // namespace velmora
