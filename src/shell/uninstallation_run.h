// The uninstallation run: reads the log named on the command line, undoes
// every logged step in the order logged (the order in which the
// installation completed them), removes the program items and the emptied
// group, then the uninstall entry, the log and the uninstaller's own
// program file.
//
// The whole log is read before anything is undone, so a damaged or
// truncated log changes nothing.  After a failure the log and the entry
// stay, trimmed to what is still to be undone, and the uninstaller can be
// started again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "shell/run_setup.h"
#include "steps/installed_products.h"
#include "steps/run_context.h"
#include "steps/step.h"
#include "steps/uninstall_log.h"

namespace velmora {

class CProgressDialog;
class RunWindow;

class UninstallationRun {
 public:
  // programPath: the running uninstaller; logPath: the log it was given.
  UninstallationRun(RunWindow& window, std::string programPath, std::string logPath);
  ~UninstallationRun();
  UninstallationRun(const UninstallationRun&) = delete;
  UninstallationRun& operator=(const UninstallationRun&) = delete;

  // The whole uninstallation and the result message.
  RunOutcome Run();

 private:
  bool Uninstall();
  bool IsOwnLog(const UninstallLogListing& listing) const;
  bool UndoLoggedSteps(std::uint32_t count);
  void KeepWhatIsLeftInTheLog();
  void RemoveCreatedFolders();
  void RemoveProgramGroup(const CStep* programGroup);
  bool MayDeleteGroup(const std::string& group) const;

  RunWindow& window_;
  std::string programPath_;
  std::string logPath_;
  std::string title_;
  std::unique_ptr<CProgressDialog> progress_;
  StepList pendingSteps_;
  StepList doneSteps_;
  // The other products' logs, and the own log's additions.
  InstalledProducts products_;
  // What the logged steps share.
  RunContext context_;
};

}  // namespace velmora
