// CStepFile's removal: uninstallation (the file, or only its shared count),
// roll-back of a failed installation, and the clean-up after a successful
// one.
#include "platform/ui.h"
#include "services/file_removal.h"
#include "services/self_registration.h"
#include "services/shared_files.h"
#include "steps/installed_products.h"
#include "steps/run_context.h"
#include "steps/step_file.h"

namespace velmora {
namespace {

const char* const kStatusFailed = "Could not reset existing file status";

// Clears read-only before a deletion; false when that write failed.
bool ClearReadOnly(const std::string& path) {
  Machine& machine = CurrentMachine();
  std::uint32_t attributes = 0;
  if (machine.GetFileAttributes(path, attributes) != FileCause::none) return true;
  if ((attributes & attr::readOnly) == 0) return true;
  return machine.SetFileAttributes(path, attributes & ~attr::readOnly) == FileCause::none;
}

void UnregisterWithWarning(const std::string& path) {
  if (!UnregisterComponent(path)) {
    AppMessageBox("Unable to unregister file " + path + ".  Continuing un-installation.",
                  mb::ok | mb::iconExclamation);
  }
}

}  // namespace

bool CStepFile::TakeBackSharedCount(const std::string& target) {
  std::uint32_t count = 0;
  if (!ReadSharedCountChecked(target, count)) return false;
  return count == 0 || WriteSharedCount(target, count - 1);
}

// A file stays when it is no longer what this installation put there:
// another installed product's log holds the target (when this product
// wrote what is there, that product's record of the file is updated, so its
// own uninstaller removes it), or the file differs from the one the log
// recorded.
CStepFile::Leave CStepFile::LeftForOthers(const std::string& target) const {
  InstalledProducts* products = Products();
  if (products == nullptr) return Leave::no;
  const std::optional<LogFileRecord> now = CurrentFileRecord(target);
  const LogFileRecord* recorded = products->OwnRecord(target);
  const bool ours = !now || recorded == nullptr ||
                    (now->size == recorded->size && now->lastWrite == recorded->lastWrite);
  if (products->OtherHolds(target)) {
    // Without the update the other product would never remove the file: a
    // file that is there but cannot be looked at fails the step, and the
    // next start tries again.
    if (!now) {
      std::uint32_t attributes = 0;
      return CurrentMachine().GetFileAttributes(target, attributes) == FileCause::fileNotFound
                 ? Leave::yes
                 : Leave::failed;
    }
    if (ours && !products->HandOver(*now)) return Leave::failed;
    return Leave::yes;
  }
  return ours ? Leave::no : Leave::yes;
}

bool CStepFile::Uninstall() {
  if (IsMemoryData()) return true;  // nothing was placed
  const std::string target = TargetPath();
  if (GetShared()) {
    // Others may still use it: only the count goes down, the file stays.
    // A count that could not be taken back fails the step, which stays in
    // the log for the next start of the uninstaller.
    return TakeBackSharedCount(target);
  }
  switch (LeftForOthers(target)) {
    case Leave::yes: return true;
    case Leave::failed:
      // The step stays in the log, and the next start tries again.
      AppMessageBox("Unable to update the uninstall log of the product that keeps " + target + ".",
                    mb::ok | mb::iconExclamation);
      return false;
    case Leave::no: break;
  }
  if (GetRegister()) UnregisterWithWarning(target);
  Machine& machine = CurrentMachine();
  FileHandle probe = kNoFile;
  const FileCause opened = machine.OpenFile(target, FileAccess::read, FileShare::denyWrite,
                                            FileDisposition::openExisting, probe);
  if (opened == FileCause::fileNotFound || opened == FileCause::badPath) return true;
  // A file that is there but in use is still removed below.
  if (opened == FileCause::none) machine.CloseFile(probe);
  if (!ClearReadOnly(target)) {
    AppMessageBox(kStatusFailed, mb::ok | mb::iconExclamation);
    return false;
  }
  // A file in use goes when the system next starts.  One that can be
  // removed neither way fails the step, so that the log stays and the
  // uninstallation can be run again rather than report a success.
  if (RemoveFileNowOrAtRestart(target) == Removal::failed) {
    AppMessageBox("Unable to delete file " + target + ".", mb::ok | mb::iconExclamation);
    return false;
  }
  return true;
}

// Only what this installation did is undone.  A file the decision kept was
// there before and stays; a replaced file comes back from where it was kept
// aside; a file an earlier step of this installation placed is restored by
// that step.
bool CStepFile::Rollback() {
  const bool rolledBack = RollBackPlacement();
  RemoveCreatedFolders();
  return rolledBack;
}

bool CStepFile::RollBackPlacement() {
  if (IsMemoryData()) return true;
  const std::string target = TargetPath();
  if (m_sharedCountAdded) {
    // A count value this installation made goes again; an earlier one
    // gets its number back.
    if (m_sharedCountCreated) DeleteSharedCount(target);
    else TakeBackSharedCount(target);
    m_sharedCountAdded = false;
  }
  if (!m_placed || m_tookOver) return true;
  // Replaced, but the old file could not be kept: the new one is all there is.
  if (!m_createdByInstall && m_keptAsidePath.empty()) return true;

  Machine& machine = CurrentMachine();
  if (GetRegister()) UnregisterWithWarning(target);
  if (!ClearReadOnly(target)) {
    AppMessageBox(kStatusFailed, mb::ok | mb::iconExclamation);
    return false;
  }
  machine.DeleteFile(target);
  m_placed = false;
  if (Run() != nullptr) Run()->ForgetPlacedTargets(this);
  if (!m_keptAsidePath.empty()) {
    if (machine.MoveFile(m_keptAsidePath, target) != FileCause::none) return false;
    machine.SetFileTimes(target, m_keptAsideTimes);
    machine.SetFileAttributes(target, m_keptAsideAttributes);
    m_keptAsidePath.clear();
    // The file that is back was registered before the installation.
    if (GetRegister()) RegisterComponent(target);
  }
  return true;
}

// A replaced file still in use (a running program, a loaded library) can be
// moved aside but not deleted; the system deletes it when it next starts.
void CStepFile::OnInstallationSucceeded() {
  if (!m_keptAsidePath.empty() && RemoveFileNowOrAtRestart(m_keptAsidePath) != Removal::failed)
    m_keptAsidePath.clear();
  if (Run() != nullptr) Run()->ForgetPlacedTargets(this);
}

void CommitFileSteps(const StepList& done) {
  for (CStep* step : done) {
    if (auto* file = dynamic_cast<CStepFile*>(step)) file->OnInstallationSucceeded();
  }
}

}  // namespace velmora
