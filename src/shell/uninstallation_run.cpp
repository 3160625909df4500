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

#include "framework/archive.h"
#include "framework/file_exception.h"
#include "platform/machine.h"
#include "services/file_removal.h"
#include "platform/ui.h"
#include "services/registry.h"
#include "shell/program_items.h"
#include "shell/progress_dialog.h"
#include "shell/setup_window.h"
#include "shell/uninstall_registration.h"
#include "steps/step_pmg.h"

namespace velmora {
namespace {

constexpr std::uint32_t kLogBufferSize = 4096;

// A title that names one subkey of the uninstall key and nothing else.
bool IsPlainTitle(const std::string& title) {
  return !title.empty() && title.find('\\') == std::string::npos;
}

}  // namespace

bool SetupWindow::RunUninstallation() {
  if (m_logPath.empty()) return false;
  if (!m_dataFile.Open(m_logPath, CFile::modeRead | CFile::shareDenyWrite)) return false;
  m_dataFile.SetCompressed(false);
  m_dataFileOpen = true;

  CStep* programGroup = nullptr;
  try {
    CArchive archive(&m_dataFile, CArchive::load, kLogBufferSize);
    std::string title;
    archive >> title;
    m_title = title;
    Repaint();  // the heading shows the title at once
    std::uint32_t count = 0;
    archive >> count;
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string className;
      archive >> className;
      std::unique_ptr<CStep> step(FindStepClass(className));
      if (!step) return false;
      step->Serialize(archive);
      if (step->IsKindOf(RUNTIME_CLASS(CStepPMG))) programGroup = step.get();
      m_pendingSteps.push_back(step.release());
    }
    SetStatusText("");
    if (!m_progress) m_progress = std::make_unique<CProgressDialog>();
    if (!UndoLoggedSteps(count)) {
      archive.Abort();
      m_dataFile.Close();
      KeepWhatIsLeftInTheLog();
      return false;
    }
    SetStatusText("");
    archive.Abort();
    m_dataFile.Close();
  } catch (const CFileException& error) {
    if (error.m_cause != static_cast<int>(FileCause::none)) {
      m_dataFile.ReportFileError(&error);
      DestroyProgress();
      return false;
    }
  } catch (const CArchiveException& error) {
    if (error.m_cause != CArchiveException::none) {
      DestroyProgress();
      return false;
    }
  }
  m_dataFile.Abort();
  m_dataFileOpen = false;

  if (m_progress) {
    m_progress->SetFileText("");
    m_progress->SetPercent(100);
  }
  RemoveProgramGroup(programGroup);
  if (IsPlainTitle(m_title) && !DeleteRegistryKey(hkey::localMachine, UninstallKeyFor(m_title)) &&
      !ReadRegistryString(hkey::localMachine, UninstallKeyFor(m_title), "UninstallString", 260)
           .empty()) {
    // An entry that stays needs its log: the uninstaller can be started
    // again from it.
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

// After a failed step the log keeps everything still to be undone for the
// next start of the uninstaller, and the steps already undone whose undoing
// cannot be repeated harmlessly (a shared count taken back) leave it.
void SetupWindow::KeepWhatIsLeftInTheLog() {
  StepList kept;
  for (CStep* step : m_doneSteps) {
    if (!step->GetShared()) kept.push_back(step);
  }
  if (kept.size() == m_doneSteps.size()) return;  // the log is right as it is
  kept.insert(kept.end(), m_pendingSteps.begin(), m_pendingSteps.end());
  ReplaceUninstallLog(m_logPath, m_title, kept);
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

// The items of the undone steps go from the group, and the group goes when
// Program Manager then counts no item in it.  Failures change nothing.
void SetupWindow::RemoveProgramGroup(const CStep* programGroup) {
  if (programGroup == nullptr) return;
  const std::string group = programGroup->GetName();
  if (group.empty()) return;
  for (const CStep* step : m_doneSteps) {
    if (!step->GetIcon()) continue;
    const std::string iconName = step->GetIconName();
    DeleteProgramItem(group, iconName.empty() ? step->GetName() : iconName);
  }
  const std::optional<std::string> description = RequestProgramGroup(group);
  if (description && ProgramGroupItemCount(*description) == 0) DeleteProgramGroup(group);
}

}  // namespace velmora
