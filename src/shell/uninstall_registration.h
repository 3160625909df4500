// Names of the uninstaller that an installation leaves behind: a copy of
// the setup program in the Windows directory, named "X" + title + ".exe",
// and its log beside it, named like it with "VMU" in place of "exe".
#pragma once

#include <cstddef>
#include <string>

namespace velmora {

// Longest uninstaller path (the platform's path buffer less its terminator).
inline constexpr std::size_t kMaxUninstallPathLength = 259;

// The uninstaller's full path for a title, or "" when none can be made: no
// title, no Windows directory, a Windows directory of 260 characters or
// more, a path longer than kMaxUninstallPathLength, or a title that is not
// a plain file name (it holds a path separator, a drive colon, a wildcard,
// a quotation mark, < > | or a control character), which could otherwise
// place the copy outside the Windows directory.
std::string UninstallExePathFor(const std::string& windowsDirectory, const std::string& title);
// The log's path: the last three characters replaced by "VMU".
std::string UninstallLogPathFor(const std::string& exePath);

// The program file copied to make the uninstaller, relative to the current
// directory (the installation media).
inline constexpr const char* kSetupProgramName = "Setup.exe";

}  // namespace velmora
