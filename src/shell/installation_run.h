// The installation run and its roll-back.
//
// One or two parts, each from its own media files with its own header, feed
// the same pending and done lists.  The steps of a part are read in full,
// then executed in order behind the progress dialog; a step whose Install
// answers "not done yet" stays pending and is tried again whenever a later
// step completes (the walk restarts at the head of the pending list).  A
// successful run registers the uninstallation (uninstaller, log, entry)
// while everything can still be rolled back; any failure rolls back.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "datafile/media_set.h"
#include "platform/machine.h"
#include "shell/run_setup.h"
#include "shell/uninstaller_registration.h"
#include "steps/installed_products.h"
#include "steps/run_context.h"
#include "steps/step.h"
#include "steps/uninstall_log.h"

namespace velmora {

class CProgressDialog;
class RunWindow;

class InstallationRun final {
 public:
  // programPath: the running program, opened at once without sharing write
  // or delete access, so that it can be neither changed nor renamed while
  // the run lasts and the uninstaller copied from it is the program that
  // runs.
  InstallationRun(RunWindow& window, const std::string& programPath);
  ~InstallationRun();
  InstallationRun(const InstallationRun&) = delete;
  InstallationRun& operator=(const InstallationRun&) = delete;

  // The whole installation, its registration or roll-back, and the result
  // message.
  RunOutcome Run();
  // Asked before the registration (RunRequest::finalCheck).
  void SetFinalCheck(std::function<std::string()> check) { finalCheck_ = std::move(check); }
  // Asked before the first step runs (RunRequest::promptsCheck).
  void SetPromptsCheck(std::function<std::string(const PossiblePrompts&)> check) {
    promptsCheck_ = std::move(check);
  }

  // ---- state for tests --------------------------------------------------------
  const std::string& Title() const { return title_; }
  // The number of the media file opened last.
  std::uint32_t CurrentDisk() const { return media_.Number(); }
  const StepList& DoneSteps() const { return doneSteps_; }
  const RunContext& Context() const { return context_; }

 private:
  bool Install();
  bool RunPart(std::int64_t& totalWeight, std::int64_t& doneWeight, CStep*& programGroup);
  bool ReadHeader();
  bool ReadSteps(std::int64_t& totalWeight, CStep*& programGroup);
  bool ExecutePending(std::int64_t totalWeight, std::int64_t& doneWeight);
  // False when the prompts check refuses the answers for this package.
  bool AnswersServe();
  void AddProgramItems(const CStep* programGroup);
  void RemoveAddedProgramItems();
  void RollBack();
  bool Register();
  // The steps the log holds, and what goes among its additions.
  StepList StepsToLog() const;
  LogAdditions MakeLogAdditions(const StepList& logged) const;
  ProductEntry MakeProductEntry() const;
  MediaEvents AskForMissingDisks();

  RunWindow& window_;
  std::function<std::string()> finalCheck_;
  std::function<std::string(const PossiblePrompts&)> promptsCheck_;
  bool answersRefused_ = false;
  FileHandle programImage_ = kNoFile;
  MediaSet media_;
  std::unique_ptr<CProgressDialog> progress_;
  std::string title_;
  std::int32_t stepCount_ = 0;
  StepList pendingSteps_;
  StepList doneSteps_;
  bool twoParts_ = false;
  UninstallerRegistration registration_;

  // The installed products' logs: the earlier installation of this title
  // and the others.
  InstalledProducts products_;
  bool productsRead_ = false;
  // What the steps share; the steps read from the parts join it.
  RunContext context_;
  // The program group and items of this installation.
  std::string group_;
  std::string groupCreator_;
  std::vector<LogProgramItem> addedItems_;
};

}  // namespace velmora
