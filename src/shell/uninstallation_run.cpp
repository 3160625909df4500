#include "shell/uninstallation_run.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <string_view>
#include <utility>

#include "datafile/compressed_file.h"
#include "dialogs/progress_dialog.h"
#include "framework/archive.h"
#include "framework/ascii.h"
#include "framework/file_exception.h"
#include "platform/machine.h"
#include "platform/ui.h"
#include "services/file_error_report.h"
#include "services/file_removal.h"
#include "services/program_manager.h"
#include "services/registry.h"
#include "shell/program_items.h"
#include "shell/run_window.h"
#include "shell/uninstall_files.h"
#include "steps/step_pmg.h"
#include "steps/uninstall_log.h"

namespace velmora {
namespace {

// A path with a "." or ".." component may lead anywhere.
bool HasDotComponent(const std::string& path) {
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    const std::string_view component = std::string_view(path).substr(start, end - start);
    if (component == "." || component == "..") return true;
    start = end + 1;
  }
  return false;
}

// A title that names one subkey of the uninstall key and nothing else.
bool IsPlainTitle(const std::string& title) {
  return !title.empty() && title.find('\\') == std::string::npos;
}

}  // namespace

std::string ForeignLogMessage(const std::string& logPath) {
  return "The uninstall log " + logPath +
         " is not this uninstaller's own.  Nothing has been removed.";
}

UninstallationRun::UninstallationRun(RunWindow& window, std::string programPath,
                                     std::string logPath)
    : window_(window), programPath_(std::move(programPath)), logPath_(std::move(logPath)) {
  context_.backgroundWindow = &window_;
  context_.installedProducts = &products_;
}

UninstallationRun::~UninstallationRun() {
  for (CStep* step : pendingSteps_) delete step;
  pendingSteps_.clear();
  for (CStep* step : doneSteps_) delete step;
  doneSteps_.clear();
  progress_.reset();
}

RunOutcome UninstallationRun::Run() {
  bool uninstalled = false;
  try {
    uninstalled = Uninstall();
  } catch (const std::exception&) {
    uninstalled = false;
  }
  AppMessageBox(uninstalled ? "Uninstall successfully performed" : "Uninstall unsuccessful",
                mb::ok | mb::iconInformation);
  const RunOutcome outcome = uninstalled ? RunOutcome::uninstalled : RunOutcome::uninstallFailed;
  CurrentUi().Note(RunNote::result, OutcomeName(outcome));
  return outcome;
}

// The uninstaller runs with administrator rights, so it carries out only
// what its own installation wrote: the log beside the program under the
// program's own name (the Windows directory, which only administrators
// write), of the title the program is named for, whose files all lie in the
// folders that installation recorded.
bool UninstallationRun::IsOwnLog(const UninstallLogListing& listing) const {
  if (!AsciiEqualIgnoringCase(ProgramBaseName(programPath_), "X" + listing.title)) return false;
  for (const auto& entry : listing.entries) {
    const std::string target = LogEntryTarget(*entry);
    if (!target.empty() && listing.additions.OutsideFolders(target)) return false;
  }
  for (const LogFileRecord& record : listing.additions.files)
    if (listing.additions.OutsideFolders(record.target)) return false;
  return true;
}

bool UninstallationRun::Uninstall() {
  if (logPath_.empty()) return false;
  Machine& machine = CurrentMachine();
  const std::string ownLog = programPath_.empty()
                                 ? std::string()
                                 : UninstallLogPathFor(machine.GetFullPathName(programPath_));
  if (ownLog.empty() || !AsciiEqualIgnoringCase(machine.GetFullPathName(logPath_), ownLog)) {
    AppMessageBox(ForeignLogMessage(logPath_), mb::ok | mb::iconStop);
    return false;
  }
  // The whole log is read, by the same strict reader as `velmora log`,
  // before anything is undone: a damaged log changes nothing.
  CCompressedFile logFile;
  if (!logFile.Open(logPath_, CFile::modeRead | CFile::shareDenyWrite)) return false;
  UninstallLogListing listing;
  UninstallLogError error;
  const bool read = ReadUninstallLog(logFile, listing, error);
  logFile.Abort();
  if (!read) return false;
  if (!IsOwnLog(listing)) {
    AppMessageBox(ForeignLogMessage(logPath_), mb::ok | mb::iconStop);
    return false;
  }
  title_ = listing.title;
  window_.SetTitle(title_);  // the heading shows the title at once
  CStep* programGroup = nullptr;
  for (auto& entry : listing.entries) {
    if (entry->IsKindOf(RUNTIME_CLASS(CStepPMG))) programGroup = entry.get();
    entry->JoinRun(&context_);
    pendingSteps_.push_back(entry.release());
  }
  const std::uint32_t count = listing.count;
  listing.entries.clear();
  // The other products' logs decide what stays for them.
  if (!products_.Load(title_)) {
    AppMessageBox(kProductsUnreadable, mb::ok | mb::iconExclamation);
    return false;
  }
  products_.SetOwn(title_, logPath_, std::move(listing));

  window_.SetStatusText("");
  if (!progress_) progress_ = std::make_unique<CProgressDialog>();
  try {
    if (!UndoLoggedSteps(count)) {
      KeepWhatIsLeftInTheLog();
      return false;
    }
  } catch (const CFileException& error) {
    if (error.Cause() != FileCause::none) {
      AppMessageBox(GeneralFileErrorText(error.m_cause), mb::ok | mb::iconExclamation);
      progress_.reset();
      KeepWhatIsLeftInTheLog();
      return false;
    }
  }
  window_.SetStatusText("");

  if (progress_) {
    progress_->SetFileText("");
    progress_->SetPercent(100);
  }
  RemoveProgramGroup(programGroup);
  RemoveCreatedFolders();
  if (IsPlainTitle(title_) && !DeleteRegistryKey(hkey::localMachine, UninstallKeyFor(title_)) &&
      InstalledProducts::IsInstalled(title_)) {
    // An entry that stays needs its log, trimmed to what is still to do,
    // so that the next start finishes without taking anything back twice.
    KeepWhatIsLeftInTheLog();
    progress_.reset();
    return false;
  }
  // What cannot go now (the running program cannot delete itself on every
  // system) goes when the system next starts.
  RemoveFileNowOrAtRestart(logPath_);
  if (!programPath_.empty()) RemoveFileNowOrAtRestart(programPath_);
  progress_.reset();
  return true;
}

// The folders the installation made for names with folders, once empty,
// the deepest first; only those below a folder the log's files went into,
// so the log cannot name any other folder of the machine.
void UninstallationRun::RemoveCreatedFolders() {
  const UninstallLogListing* own = products_.Own();
  if (own == nullptr || !own->hasAdditions) return;
  std::vector<std::string> folders;
  for (const std::string& folder : own->additions.createdFolders)
    if (!own->additions.folders.empty() && !own->additions.OutsideFolders(folder) &&
        !HasDotComponent(folder))
      folders.push_back(folder);
  std::sort(folders.begin(), folders.end(),
            [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  for (const std::string& folder : folders) CurrentMachine().RemoveDirectory(folder);
}

// After a failure the log keeps only what is still to be undone: the steps
// not undone yet and the program group entry, with the items of the steps
// already undone among its additions, so that the next start removes those
// items and takes nothing back twice (a shared count, a file another
// installation may have put at the same path since).
void UninstallationRun::KeepWhatIsLeftInTheLog() {
  StepList kept;
  LogAdditions additions;
  if (const UninstallLogListing* own = products_.Own(); own != nullptr && own->hasAdditions)
    additions = own->additions;
  for (const StepList* steps : {&doneSteps_, &pendingSteps_})
    for (const CStep* step : *steps)
      if (additions.group.empty() && step->IsKindOf(RUNTIME_CLASS(CStepPMG)))
        additions.group = step->GetName();
  for (CStep* step : doneSteps_) {
    if (step->IsKindOf(RUNTIME_CLASS(CStepPMG))) {
      kept.push_back(step);
      continue;
    }
    if (!step->GetIcon() || additions.group.empty()) continue;
    additions.items.push_back({additions.group, ProgramItemTitle(*step)});
  }
  kept.insert(kept.end(), pendingSteps_.begin(), pendingSteps_.end());
  ReplaceUninstallLog(logPath_, title_, kept, additions);
}

// Undoes the pending steps from the head, each moving to the done list when
// its Uninstall succeeds.
bool UninstallationRun::UndoLoggedSteps(std::uint32_t count) {
  std::uint32_t done = 0;
  while (!pendingSteps_.empty()) {
    CStep* step = pendingSteps_.front();
    if (progress_) {
      progress_->SetFileText(step->GetDescription());
      if (count > 0) progress_->SetPercent(static_cast<int>(std::uint64_t{done} * 100 / count));
    }
    if (!step->Uninstall()) {
      CurrentUi().Note(RunNote::notUndone, step->GetDescription());
      progress_.reset();
      return false;
    }
    CurrentUi().Note(RunNote::undone, step->GetDescription());
    doneSteps_.push_back(step);
    ++done;
    pendingSteps_.pop_front();
  }
  return true;
}

// The items of the undone steps go from the group, unless another
// installed product holds an item of the same title there; the group goes
// when Program Manager then counts no item in it and this product created
// it (or the product that did is no longer installed).  Failures change
// nothing.
void UninstallationRun::RemoveProgramGroup(const CStep* programGroup) {
  const UninstallLogListing* own = products_.Own();
  const bool hasAdditions = own != nullptr && own->hasAdditions;
  std::string group = hasAdditions ? own->additions.group : std::string();
  if (group.empty() && programGroup != nullptr) group = programGroup->GetName();
  if (group.empty()) return;
  std::vector<LogProgramItem> items;
  for (const CStep* step : doneSteps_) {
    if (!step->GetIcon()) continue;
    items.push_back({group, ProgramItemTitle(*step)});
  }
  if (hasAdditions)
    items.insert(items.end(), own->additions.items.begin(), own->additions.items.end());
  for (const LogProgramItem& item : items)
    if (!products_.OtherHoldsItem(item.group, item.title))
      ProgmanDeleteItem(item.group, item.title);
  if (!MayDeleteGroup(group)) return;
  const std::optional<std::string> description = RequestProgramGroup(group);
  if (description && ProgramGroupItemCount(*description) == 0u) ProgmanDeleteGroup(group);
}

bool UninstallationRun::MayDeleteGroup(const std::string& group) const {
  const UninstallLogListing* own = products_.Own();
  if (own == nullptr || !own->hasAdditions || own->additions.group != group) return false;
  const std::string& creator = own->additions.groupCreator;
  if (creator.empty()) return false;
  return creator == title_ || !InstalledProducts::IsInstalled(creator);
}

}  // namespace velmora
