// The one entry into a run of the setup program: an installation from the
// media files, or an uninstallation from an uninstall log.  Every host
// (SETUP.EXE's window or its quiet start, `velmora install`, `velmora
// uninstall`, the tests) states the mode and the running program and calls
// RunSetup; the run shows its result message and notes its outcome.
#pragma once

#include <functional>
#include <string>

#include "platform/possible_prompts.h"

namespace velmora {

class RunWindow;

enum class RunMode { install, uninstall };

struct RunRequest {
  RunMode mode = RunMode::install;
  // The running program's full path.  An installation opens it at once, so
  // that it cannot be renamed or replaced while the run lasts, and copies
  // the uninstaller from it ("": no uninstaller can be made, the
  // installation fails).  An uninstaller accepts only the log beside it
  // with its own name, and deletes its program file at its end ("": no log
  // is accepted).
  std::string programPath;
  // Uninstall mode: the uninstall log named on the command line.
  std::string logPath;
  // The window the host paints; null: the run keeps one of its own.
  RunWindow* window = nullptr;
  // Install mode: asked once every step is done, before the installation is
  // registered.  A non-empty answer says why the installation must not
  // stand: it is shown, and the installation fails and is rolled back.
  std::function<std::string()> finalCheck;
  // Install mode: asked with the prompts the package can show once its step
  // records are read and before the first step runs, where one part holds
  // every step (a second part is read only after the first has run).  A
  // non-empty answer says why the answers given cannot serve this package:
  // it is shown, and the installation ends with nothing installed.
  std::function<std::string(const PossiblePrompts&)> promptsCheck;
};

enum class RunOutcome {
  notRun,
  installed,        // "Install Successful"
  installFailed,    // "Install Failed.  Press OK to abort.", rolled back
  uninstalled,      // "Uninstall successfully performed"
  uninstallFailed,  // "Uninstall unsuccessful"
  answersRefused,   // RunRequest::promptsCheck refused the answers: nothing installed
};

// The whole installation or uninstallation with its result message.
RunOutcome RunSetup(const RunRequest& request);

// "installed", "install failed", ... for logs.
const char* OutcomeName(RunOutcome outcome);

// The process exit codes of SETUP.EXE and its uninstaller copies.
inline constexpr int kExitSucceeded =
    0;                                 // "Install Successful", "Uninstall successfully performed"
inline constexpr int kExitFailed = 1;  // failed, cancelled or refused, and rolled back
inline constexpr int kExitBadCommandLine = 2;  // or answers that cannot serve the package
int ExitCodeFor(RunOutcome outcome);

// Shown when the installed products' entries or logs cannot be read: a run
// that cannot tell what other products hold changes nothing.
inline constexpr const char* kProductsUnreadable =
    "Unable to read the uninstall entries of the installed products.";
// Shown when an uninstaller is given a log that is not its own: another
// folder or name than its own beside it, another product's title, or file
// entries outside the folders the installation recorded.  Nothing is undone.
std::string ForeignLogMessage(const std::string& logPath);

// The mode SETUP.EXE runs in under a program file name: SETUP, in any
// case, installs; every other name (an uninstaller copy's "X" + title)
// uninstalls.
RunMode ModeForProgramName(const std::string& baseName);
// A program path's file name without its folder and extension
// ("C:\\WINDOWS\\XDemo.exe": "XDemo").
std::string ProgramBaseName(const std::string& path);

}  // namespace velmora
