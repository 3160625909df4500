// The uninstallation run (SetupWindow::RunUninstallation): reads the log
// named on the command line, undoes every logged step in the order logged
// (the order in which the installation completed them), removes the
// program items and the emptied group, then the uninstall entry, the log
// and the uninstaller's own program file.
//
// The whole log is read before anything is undone, so a damaged or
// truncated log changes nothing.  After a failure the log and the entry
// stay, and the uninstaller can be started again: steps already undone are
// undone again harmlessly.
#include <memory>

#include "dialogs/progress_dialog.h"
#include "framework/archive.h"
#include "framework/ascii.h"
#include "framework/file_exception.h"
#include "platform/machine.h"
#include "services/file_removal.h"
#include "platform/ui.h"
#include "services/registry.h"
#include "shell/program_items.h"
#include "shell/setup_window.h"
#include "shell/uninstall_registration.h"
#include "steps/uninstall_log.h"
#include "steps/step_pmg.h"

namespace velmora {
namespace {

// A title that names one subkey of the uninstall key and nothing else.
bool IsPlainTitle(const std::string& title) {
  return !title.empty() && title.find('\\') == std::string::npos;
}

}  // namespace

std::string ForeignLogMessage(const std::string& logPath) {
  return "The uninstall log " + logPath +
         " is not this uninstaller's own.  Nothing has been removed.";
}

// The uninstaller runs with administrator rights, so it carries out only
// what its own installation wrote: the log beside the program under the
// program's own name (the Windows directory, which only administrators
// write), of the title the program is named for, whose files all lie in the
// folders that installation recorded.
bool SetupWindow::IsOwnLog(const UninstallLogListing& listing) const {
  if (!AsciiEqualIgnoringCase(m_exeName, "X" + listing.title)) return false;
  for (const auto& entry : listing.entries) {
    const std::string target = LogEntryTarget(*entry);
    if (!target.empty() && listing.additions.OutsideFolders(target)) return false;
  }
  for (const LogFileRecord& record : listing.additions.files)
    if (listing.additions.OutsideFolders(record.target)) return false;
  return true;
}

bool SetupWindow::RunUninstallation() {
  if (m_logPath.empty()) return false;
  Machine& machine = CurrentMachine();
  const std::string ownLog =
      m_modulePath.empty() ? std::string() : UninstallLogPathFor(machine.GetFullPathName(m_modulePath));
  if (ownLog.empty() || !AsciiEqualIgnoringCase(machine.GetFullPathName(m_logPath), ownLog)) {
    AppMessageBox(ForeignLogMessage(m_logPath), mb::ok | mb::iconStop);
    return false;
  }
  if (!m_dataFile.Open(m_logPath, CFile::modeRead | CFile::shareDenyWrite)) return false;
  m_dataFile.SetCompressed(false);
  m_dataFileOpen = true;

  // The whole log is read, by the same strict reader as `velmora log`,
  // before anything is undone: a damaged log changes nothing.
  UninstallLogListing listing;
  UninstallLogError error;
  const bool read = ReadUninstallLog(m_dataFile, listing, error);
  m_dataFile.Abort();
  m_dataFileOpen = false;
  if (!read) return false;
  if (!IsOwnLog(listing)) {
    AppMessageBox(ForeignLogMessage(m_logPath), mb::ok | mb::iconStop);
    return false;
  }
  m_title = listing.title;
  Repaint();  // the heading shows the title at once
  CStep* programGroup = nullptr;
  for (auto& entry : listing.entries) {
    if (entry->IsKindOf(RUNTIME_CLASS(CStepPMG))) programGroup = entry.get();
    m_pendingSteps.push_back(entry.release());
  }
  const std::uint32_t count = listing.count;
  listing.entries.clear();
  // The other products' logs decide what stays for them.
  if (!m_products.Load(m_title)) {
    AppMessageBox(kProductsUnreadable, mb::ok | mb::iconExclamation);
    return false;
  }
  m_products.SetOwn(m_title, m_logPath, std::move(listing));

  SetStatusText("");
  if (!m_progress) m_progress = std::make_unique<CProgressDialog>();
  try {
    if (!UndoLoggedSteps(count)) {
      KeepWhatIsLeftInTheLog();
      return false;
    }
  } catch (const CFileException& error) {
    if (error.m_cause != static_cast<int>(FileCause::none)) {
      m_dataFile.ReportFileError(&error);
      DestroyProgress();
      KeepWhatIsLeftInTheLog();
      return false;
    }
  }
  SetStatusText("");

  if (m_progress) {
    m_progress->SetFileText("");
    m_progress->SetPercent(100);
  }
  RemoveProgramGroup(programGroup);
  if (IsPlainTitle(m_title) && !DeleteRegistryKey(hkey::localMachine, UninstallKeyFor(m_title)) &&
      InstalledProducts::IsInstalled(m_title)) {
    // An entry that stays needs its log, trimmed to what is still to do,
    // so that the next start finishes without taking anything back twice.
    KeepWhatIsLeftInTheLog();
    DestroyProgress();
    return false;
  }
  // What cannot go now (the running program cannot delete itself on every
  // system) goes when the system next starts.
  RemoveFileNowOrAtRestart(m_logPath);
  if (!m_modulePath.empty()) RemoveFileNowOrAtRestart(m_modulePath);
  DestroyProgress();
  return true;
}

// After a failure the log keeps only what is still to be undone: the steps
// not undone yet and the program group entry, with the items of the steps
// already undone among its additions, so that the next start removes those
// items and takes nothing back twice (a shared count, a file another
// installation may have put at the same path since).
void SetupWindow::KeepWhatIsLeftInTheLog() {
  StepList kept;
  LogAdditions additions;
  if (const UninstallLogListing* own = m_products.Own(); own != nullptr && own->hasAdditions)
    additions = own->additions;
  for (const StepList* steps : {&m_doneSteps, &m_pendingSteps})
    for (const CStep* step : *steps)
      if (additions.group.empty() && step->IsKindOf(RUNTIME_CLASS(CStepPMG)))
        additions.group = step->GetName();
  for (CStep* step : m_doneSteps) {
    if (step->IsKindOf(RUNTIME_CLASS(CStepPMG))) {
      kept.push_back(step);
      continue;
    }
    if (!step->GetIcon() || additions.group.empty()) continue;
    additions.items.push_back({additions.group, ProgramItemTitle(*step)});
  }
  kept.insert(kept.end(), m_pendingSteps.begin(), m_pendingSteps.end());
  ReplaceUninstallLog(m_logPath, m_title, kept, additions);
}

// Undoes the pending steps from the head, each moving to the done list when
// its Uninstall succeeds.
bool SetupWindow::UndoLoggedSteps(std::uint32_t count) {
  std::uint32_t done = 0;
  while (!m_pendingSteps.empty()) {
    CStep* step = m_pendingSteps.front();
    if (m_progress) {
      m_progress->SetFileText(step->GetDescription());
      if (count > 0) m_progress->SetPercent(static_cast<int>(std::uint64_t{done} * 100 / count));
    }
    if (!step->Uninstall()) {
      CurrentUi().Note(RunNote::notUndone, step->GetDescription());
      DestroyProgress();
      return false;
    }
    CurrentUi().Note(RunNote::undone, step->GetDescription());
    m_doneSteps.push_back(step);
    ++done;
    m_pendingSteps.pop_front();
  }
  return true;
}

// The items of the undone steps go from the group, unless another
// installed product holds an item of the same title there; the group goes
// when Program Manager then counts no item in it and this product created
// it (or the product that did is no longer installed).  Failures change
// nothing.
void SetupWindow::RemoveProgramGroup(const CStep* programGroup) {
  const UninstallLogListing* own = m_products.Own();
  const bool hasAdditions = own != nullptr && own->hasAdditions;
  std::string group = hasAdditions ? own->additions.group : std::string();
  if (group.empty() && programGroup != nullptr) group = programGroup->GetName();
  if (group.empty()) return;
  std::vector<LogProgramItem> items;
  for (const CStep* step : m_doneSteps) {
    if (!step->GetIcon()) continue;
    items.push_back({group, ProgramItemTitle(*step)});
  }
  if (hasAdditions) items.insert(items.end(), own->additions.items.begin(), own->additions.items.end());
  for (const LogProgramItem& item : items)
    if (!m_products.OtherHoldsItem(item.group, item.title)) DeleteProgramItem(item.group, item.title);
  if (!MayDeleteGroup(group)) return;
  const std::optional<std::string> description = RequestProgramGroup(group);
  if (description && ProgramGroupItemCount(*description) == 0u) DeleteProgramGroup(group);
}

bool SetupWindow::MayDeleteGroup(const std::string& group) const {
  const UninstallLogListing* own = m_products.Own();
  if (own == nullptr || !own->hasAdditions || own->additions.group != group) return false;
  const std::string& creator = own->additions.groupCreator;
  if (creator.empty()) return false;
  return creator == m_title || !InstalledProducts::IsInstalled(creator);
}

}  // namespace velmora
