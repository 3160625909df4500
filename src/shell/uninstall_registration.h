// The uninstaller that an installation leaves behind: a copy of the setup
// program in the Windows directory, named "X" + title + ".exe", its log
// beside it, named like it with "VMU" in place of "exe", and the uninstall
// entry in the registry that starts it.
#pragma once

#include <cstddef>
#include <string>

#include "steps/step.h"

namespace velmora {

class Machine;

// Longest uninstaller path (the platform's path buffer less its terminator).
inline constexpr std::size_t kMaxUninstallPathLength = 259;

// The key below HKEY_LOCAL_MACHINE that holds one subkey per installed
// product, named by its title.
inline constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The uninstaller's full path for a title, or "" when none can be made: no
// title, no Windows directory, a Windows directory of 260 characters or
// more, a path longer than kMaxUninstallPathLength, or a title that is not
// a plain file name (it holds a path separator, a drive colon, a wildcard,
// a quotation mark, < > | or a control character), which could otherwise
// place the copy outside the Windows directory.
std::string UninstallExePathFor(const std::string& windowsDirectory, const std::string& title);
// The log's path: the last three characters replaced by "VMU".
std::string UninstallLogPathFor(const std::string& exePath);
// The product's uninstall entry below HKEY_LOCAL_MACHINE.
std::string UninstallKeyFor(const std::string& title);
// The entry's "UninstallString": the uninstaller's path in double quotes
// (titles may hold blanks), a blank, the log's path.
std::string UninstallCommandFor(const std::string& exePath, const std::string& logPath);
// The entry's "QuietUninstallString": the same with /quiet before the log's
// path, for deployment tools that remove the product without a window.
std::string QuietUninstallCommandFor(const std::string& exePath, const std::string& logPath);

// A command line taken apart as the shell starts it: the program is the
// text inside the leading double quotes, or else the text up to the first
// blank; the arguments are the rest after the blanks that follow it.
struct CommandLine {
  std::string program;
  std::string arguments;
};
CommandLine SplitCommandLine(const std::string& commandLine);

// The uninstall log named by the uninstaller's arguments: all of them, less
// surrounding blanks and one pair of surrounding double quotes.
std::string UninstallLogPathFromArguments(const std::string& arguments);

// Directory part of a Windows path, with its final backslash ("" for none).
std::string DirectoryOf(const std::string& path);
// Moves an existing file to a fresh unique name in its own directory and
// answers that name; "" when the file is not there or cannot be moved.
std::string MoveAside(Machine& machine, const std::string& path, const char* prefix);

// Writes an uninstall log of the title and the uninstallable steps of the
// list into `path`: the title, their count, then each one's class name and
// archive form.  Throws the file and archive exceptions of the writes.
void StoreUninstallLog(const std::string& path, const std::string& title, const StepList& steps);
// Writes the log through a temporary file in the same directory, moved over
// the earlier log only once complete, so a failed write keeps the earlier.
bool ReplaceUninstallLog(const std::string& logPath, const std::string& title,
                         const StepList& steps);

// The program file copied to make the uninstaller, relative to the current
// directory (the installation media).
inline constexpr const char* kSetupProgramName = "Setup.exe";

}  // namespace velmora
