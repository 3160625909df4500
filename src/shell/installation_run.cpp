// The installation run (SetupWindow::RunInstallation) and its roll-back.
//
// One or two parts, each from its own media files with its own header, feed
// the same pending and done lists.  The steps of a part are read in full,
// then executed in order behind the progress dialog; a step whose Install
// answers "not done yet" stays pending and is tried again whenever a later
// step completes (the walk restarts at the head of the pending list).
#include <cstdint>
#include <string>

#include "datafile/data_file_layout.h"
#include "dialogs/progress_dialog.h"
#include "framework/ascii.h"
#include "framework/file_exception.h"
#include "platform/machine.h"
#include "platform/ui.h"
#include "shell/program_items.h"
#include "shell/setup_window.h"
#include "steps/step_directory.h"
#include "steps/step_file.h"
#include "steps/step_pmg.h"

namespace velmora {

bool SetupWindow::RunInstallation() {
  // Record and payload readers reach the next media file through the window.
  ScopedMediaSource media(*this);
  // The weights are 64-bit: several large files would overflow a 32-bit sum
  // and stop the bar.
  std::int64_t totalWeight = 0;
  std::int64_t doneWeight = 0;
  CStep* programGroup = nullptr;

  m_secondPart = false;
  for (;;) {
    if (!RunPart(totalWeight, doneWeight, programGroup)) return false;
    if (m_progress) {
      m_progress->SetFileText("");
      m_progress->SetPercent(m_secondPart || !m_twoParts ? 100 : 50);
    }
    if (!m_twoParts || m_secondPart) break;
    m_secondPart = true;
  }

  AddProgramItems(programGroup);
  DestroyProgress();
  return true;
}

// One part: its header, its step records and the execution of the pending
// steps.  False fails the run; a file exception whose cause is "none" ends
// the part early as though its steps were done.
bool SetupWindow::RunPart(std::int64_t& totalWeight, std::int64_t& doneWeight,
                          CStep*& programGroup) {
  m_currentDisk = 0;
  if (!OpenNextMediaFile()) return false;
  try {
    if (!ReadHeader()) return false;
    // What the installed products hold, this title's earlier installation
    // among them, decides which files a reinstall still owns.
    if (!m_productsRead || m_products.OwnTitle() != m_title) {
      if (!m_products.Load(m_title)) {
        AppMessageBox(kProductsUnreadable, mb::ok | mb::iconExclamation);
        return false;
      }
      m_productsRead = true;
    }
    if (!ReadSteps(totalWeight, programGroup)) return false;
    SetStatusText("");
    if (!m_progress) m_progress = std::make_unique<CProgressDialog>();
    if (!ExecutePending(totalWeight, doneWeight)) return false;
    SetStatusText("");
  } catch (const CFileException& error) {
    if (error.m_cause == static_cast<int>(FileCause::none)) return true;
    m_dataFile.ReportFileError(&error);
    DestroyProgress();
    return false;
  }
  return true;
}

bool SetupWindow::ReadHeader() {
  DataFileHeader header;
  const LayoutFault version = ReadHeaderVersion(m_dataFile, header);
  if (version == LayoutFault::unsupportedVersion)
    AppMessageBox("Data file and setup program versions do not match.",
                  mb::ok | mb::iconExclamation);
  if (version != LayoutFault::none) return false;
  std::uint32_t titleLength = 0;
  if (ReadHeaderTitle(m_dataFile, header, titleLength) != LayoutFault::none) return false;
  m_title = header.title;
  CurrentUi().Note(RunNote::package, m_title);
  Repaint();  // the heading shows the title at once

  if (ReadHeaderReserved(m_dataFile, header) != LayoutFault::none) return false;
  if (!CreateUninstallExecutable()) {
    AppMessageBox("Unable to create uninstall executable.", mb::ok | mb::iconExclamation);
    return false;
  }
  if (ReadHeaderFlagsAndCount(m_dataFile, header) != LayoutFault::none) return false;
  m_checkDates = header.checkDates;
  m_checkVersions = header.checkVersions;
  m_twoParts = header.twoParts;
  m_stepCount = static_cast<std::int32_t>(header.stepCount);  // signed, as the loop compares it
  return true;
}

bool SetupWindow::ReadSteps(std::int64_t& totalWeight, CStep*& programGroup) {
  for (std::int32_t i = 0; i < m_stepCount; ++i) {
    CStep* step = CreateStep(&m_dataFile);
    if (step == nullptr) return false;
    if (step->IsKindOf(RUNTIME_CLASS(CStepPMG))) programGroup = step;
    switch (step->GetInstallMode()) {
      case 0:
        delete step;
        DestroyProgress();
        return false;
      case 1:
        m_doneSteps.push_back(step);
        break;
      case 2:
        totalWeight += step->GetDataSize();
        m_pendingSteps.push_back(step);
        break;
      default:
        // Left out of both lists: nobody else would ever delete it.
        if (programGroup == step) programGroup = nullptr;
        delete step;
        break;
    }
  }
  return true;
}

bool SetupWindow::ExecutePending(std::int64_t totalWeight, std::int64_t& doneWeight) {
  auto next = m_pendingSteps.begin();
  while (next != m_pendingSteps.end()) {
    const auto position = next++;
    CStep* step = *position;

    const std::string description = step->GetDescription();
    if (m_progress) {
      m_progress->SetFileText(description);
      if (totalWeight > 0)
        m_progress->SetPercent(InstallPercent(totalWeight, doneWeight, m_twoParts, m_secondPart));
    }

    const std::uint32_t disk = step->GetDisk();
    if (disk != m_currentDisk && disk != 0) {
      m_currentDisk = disk - 1;
      if (!OpenNextMediaFile()) return false;
    }
    const std::uint32_t offset = step->GetDataOffset();
    if (offset != 0) m_dataFile.Seek(static_cast<std::int32_t>(offset), CFile::begin);

    if (!step->InstallData(&m_dataFile)) {
      CurrentUi().Note(RunNote::stepFailed, description);
      DestroyProgress();
      return false;
    }
    const int result = step->Install();
    if (result == 0) {
      CurrentUi().Note(RunNote::stepFailed, description);
      DestroyProgress();
      return false;
    }
    if (result == 1) {
      CurrentUi().Note(RunNote::stepDone, description);
      m_doneSteps.push_back(step);
      doneWeight += step->GetDataSize();
      step->OnInstalled(&m_doneSteps);
      m_pendingSteps.erase(position);
      next = m_pendingSteps.begin();
    }
  }
  return true;
}

// A program item for every done step that asks for an icon, in the group
// of the last program group step read.  A failure is told once and ends the
// items, but not the installation.
void SetupWindow::AddProgramItems(const CStep* programGroup) {
  if (programGroup == nullptr) return;
  const std::string group = programGroup->GetName();
  if (group.empty()) return;
  // A group that is there already (one the user picked, StartUp, another
  // product's) is not this installation's to delete; when Program Manager
  // cannot say, the group is taken to be there.
  bool existed = true;
  if (const auto names = ProgramGroupNames()) {
    existed = false;
    for (const std::string& name : *names) existed = existed || AsciiUppered(name) == AsciiUppered(group);
  }
  m_group = group;
  m_groupCreator = existed ? m_products.GroupCreator(group) : m_title;
  for (const CStep* step : m_doneSteps) {
    if (!step->GetIcon()) continue;
    std::string commandLine = step->GetName();
    if (const auto* file = dynamic_cast<const CStepFile*>(step))
      commandLine = file->GetTargetDirectory() + step->GetName();
    const std::string iconName = step->GetIconName();
    const std::string title = iconName.empty() ? step->GetName() : iconName;
    if (!AddProgramItem(group, commandLine, title)) {
      AppMessageBox("Unable to create program group item " + step->GetName() +
                        " - retry installation",
                    mb::ok | mb::iconExclamation);
      break;
    }
    m_addedItems.push_back({group, title});
  }
}

// The items a failed installation added go again, unless a product's log
// holds them (a reinstall's items were there before it); the group goes
// when this installation created it and it is empty.
void SetupWindow::RemoveAddedProgramItems() {
  const UninstallLogListing* own = m_products.Own();
  for (const LogProgramItem& item : m_addedItems) {
    bool held = m_products.OtherHoldsItem(item.group, item.title);
    if (own != nullptr)
      for (const auto& entry : own->entries)
        held = held || (entry->GetIcon() && ProgramItemTitle(*entry) == item.title);
    if (!held) DeleteProgramItem(item.group, item.title);
  }
  m_addedItems.clear();
  if (m_group.empty() || m_groupCreator != m_title) return;
  const std::optional<std::string> description = RequestProgramGroup(m_group);
  if (description && ProgramGroupItemCount(*description) == 0u) DeleteProgramGroup(m_group);
}

bool SetupWindow::RollBackInstallation() {
  SetStatusText("");
  RemoveAddedProgramItems();
  RestoreRegistration();
  // The latest step first: a later step may have written into what an
  // earlier one put back (an ini value into a file a file step restores).
  for (auto step = m_doneSteps.rbegin(); step != m_doneSteps.rend(); ++step) {
    (*step)->Rollback();
    CurrentUi().Note(RunNote::rolledBack, (*step)->GetDescription());
  }
  // A directory step that another step asked for before its own turn
  // wrote its remembered location while still pending.
  for (auto step = m_pendingSteps.rbegin(); step != m_pendingSteps.rend(); ++step)
    if (auto* directory = dynamic_cast<CStepDirectory*>(*step)) directory->Rollback();
  // The step that failed may hold its extracted data in a temporary file.
  for (CStep* step : m_pendingSteps)
    if (auto* file = dynamic_cast<CStepFile*>(step)) file->DeleteTempFile();
  // Directories created for the installation go once the files rolled back
  // above have left them, the latest first (one may lie inside another); a
  // step still pending may have created one for a step that refers to it.
  for (const StepList* steps : {&m_pendingSteps, &m_doneSteps}) {
    for (auto step = steps->rbegin(); step != steps->rend(); ++step)
      if (auto* directory = dynamic_cast<CStepDirectory*>(*step)) directory->RemoveCreatedLevels();
  }
  RestoreUninstallers();
  return true;
}

}  // namespace velmora
