// The files and names of the uninstaller that an installation leaves
// behind: a copy of the running setup program in the Windows directory,
// named "X" + title + ".exe", its log beside it, named like it with "VMU" in
// place of "exe", and the uninstall entry in the registry that starts it.
#pragma once

#include <cstddef>
#include <string>

#include "platform/machine.h"
#include "platform/path_limit.h"
#include "steps/installed_products.h"
#include "steps/step.h"
#include "steps/uninstall_log.h"

namespace velmora {

// Longest uninstaller path (the platform's path buffer less its terminator).
inline constexpr std::size_t kMaxUninstallPathLength = kMaxPathBytes - 1;

// The uninstaller's full path for a title, or "" when none can be made: no
// title, no Windows directory, a Windows directory of 260 characters or
// more, a path longer than kMaxUninstallPathLength, or a title that is not
// a plain file name (it holds a path separator, a drive colon, a wildcard,
// a quotation mark, < > | or a control character), which could otherwise
// place the copy outside the Windows directory.
std::string UninstallExePathFor(const std::string& windowsDirectory, const std::string& title);
// The log's path: the last three characters replaced by "VMU".
std::string UninstallLogPathFor(const std::string& exePath);
// The entry's "UninstallString": the uninstaller's path in double quotes
// (titles may hold blanks), a blank, the log's path.
std::string UninstallCommandFor(const std::string& exePath, const std::string& logPath);
// The entry's "QuietUninstallString": the same with /quiet before the log's
// path, for deployment tools that remove the product without a window.
std::string QuietUninstallCommandFor(const std::string& exePath, const std::string& logPath);

// Writes the whole of an open file to `to` (created or truncated); a copy
// that fails half-way is deleted.
bool CopyOpenFile(Machine& machine, FileHandle from, const std::string& to);

// Directory part of a Windows path, with its final backslash ("" for none).
std::string DirectoryOf(const std::string& path);
// Moves an existing file to a fresh unique name in its own directory and
// answers that name; "" when the file is not there or cannot be moved.
std::string MoveAside(Machine& machine, const std::string& path, const char* prefix);

// Writes the log through a temporary file in the same directory, moved over
// the earlier log only once complete, so a failed write keeps the earlier.
// `earlierAside` (when given) receives the earlier log's new name, kept
// until the caller deletes or restores it; without it the earlier log goes.
bool ReplaceUninstallLog(const std::string& logPath, const std::string& title,
                         const StepList& steps, const LogAdditions& additions,
                         std::string* earlierAside = nullptr);

// The setup program's file name on the installation media.
inline constexpr const char* kSetupProgramName = "Setup.exe";

}  // namespace velmora
