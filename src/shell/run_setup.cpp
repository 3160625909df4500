#include "shell/run_setup.h"

#include <optional>

#include "framework/ascii.h"
#include "shell/installation_run.h"
#include "shell/run_window.h"
#include "shell/uninstallation_run.h"

namespace velmora {

RunOutcome RunSetup(const RunRequest& request) {
  std::optional<RunWindow> ownWindow;
  RunWindow* window = request.window;
  if (window == nullptr) window = &ownWindow.emplace(request.mode);
  if (request.mode == RunMode::install) {
    InstallationRun run(*window, request.programPath);
    run.SetFinalCheck(request.finalCheck);
    run.SetPromptsCheck(request.promptsCheck);
    return run.Run();
  }
  UninstallationRun run(*window, request.programPath, request.logPath);
  return run.Run();
}

const char* OutcomeName(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::notRun: return "not run";
    case RunOutcome::installed: return "installed";
    case RunOutcome::installFailed: return "install failed";
    case RunOutcome::uninstalled: return "uninstalled";
    case RunOutcome::uninstallFailed: return "uninstall failed";
    case RunOutcome::answersRefused: return "answers refused";
  }
  return "not run";
}

int ExitCodeFor(RunOutcome outcome) {
  if (outcome == RunOutcome::answersRefused) return kExitBadCommandLine;
  return outcome == RunOutcome::installed || outcome == RunOutcome::uninstalled ? kExitSucceeded
                                                                                : kExitFailed;
}

RunMode ModeForProgramName(const std::string& baseName) {
  return AsciiUppered(baseName) == "SETUP" ? RunMode::install : RunMode::uninstall;
}

std::string ProgramBaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/:");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

}  // namespace velmora
