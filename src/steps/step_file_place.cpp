// CStepFile::Install: puts the extracted file at its target path.
//
// A file that is replaced is not deleted at once: it is moved aside under a
// unique name in the same directory and stays there until the outcome of
// the installation is known.  A roll-back puts it back; a successful
// installation deletes it (OnInstallationSucceeded).
#include <map>

#include "platform/ui.h"
#include "services/file_removal.h"
#include "services/self_registration.h"
#include "services/shared_files.h"
#include "steps/installed_products.h"
#include "steps/replace_decision.h"
#include "steps/run_context.h"
#include "steps/step_file.h"

namespace velmora {
namespace {

const char* const kProbeFailed = "Could not open existing file to see if it needed updated";
const char* const kStatusFailed = "Could not reset existing file status";

InstallResult Fail(const char* text) {
  AppMessageBox(text, mb::ok | mb::iconExclamation);
  return InstallResult::failed;
}

// Clears read-only so the file can be moved or deleted; answers the cause
// of a failed attribute write.
FileCause ClearReadOnly(Machine& machine, const std::string& path) {
  std::uint32_t attributes = 0;
  if (machine.GetFileAttributes(path, attributes) != FileCause::none) return FileCause::none;
  if ((attributes & attr::readOnly) == 0) return FileCause::none;
  return machine.SetFileAttributes(path, attributes & ~attr::readOnly);
}

}  // namespace

InstalledProducts* CStepFile::Products() const {
  return Run() == nullptr ? nullptr : Run()->installedProducts;
}

CStepFile::~CStepFile() {
  DeleteTempFile();
  if (Run() != nullptr) Run()->ForgetPlacedTargets(this);
}

void CStepFile::DeleteTempFile() {
  if (!m_tempPath.empty() && CurrentMachine().DeleteFile(m_tempPath) == FileCause::none)
    m_tempPath.clear();
}

// Moves the existing file aside; false (with its attributes as they were)
// when its read-only attribute cannot be cleared.
bool CStepFile::ReplaceExisting(const std::string& target) {
  Machine& machine = CurrentMachine();
  std::uint32_t attributes = 0;
  const bool haveAttributes = machine.GetFileAttributes(target, attributes) == FileCause::none;
  if (const FileCause cleared = ClearReadOnly(machine, target); cleared != FileCause::none) {
    SetFailureReason(cleared, target);
    return false;
  }
  if (Run() != nullptr && Run()->PlacedTargetOwner(target) != nullptr) {
    // An earlier step of this installation placed it and keeps the file
    // that was there before; this one only replaces the earlier step's file.
    m_tookOver = true;
    machine.DeleteFile(target);
    return true;
  }
  std::string aside;
  if (machine.GetFileTimes(target, m_keptAsideTimes) != FileCause::none) m_keptAsideTimes = {};
  if (machine.CreateTempFile(m_targetDirectory, "old", aside) == FileCause::none) {
    machine.DeleteFile(aside);
    if (machine.MoveFile(target, aside) == FileCause::none) {
      m_keptAsidePath = aside;
      m_keptAsideAttributes = haveAttributes ? attributes : attr::archive;
      return true;
    }
  }
  // Nowhere to keep it (or it is in use): the move into place decides.
  if (!aside.empty()) machine.DeleteFile(aside);  // the name's placeholder does not stay
  machine.DeleteFile(target);
  return true;
}

FileTimes CStepFile::StoredTimes() const {
  FileTimes stored;
  stored.creation = m_creationTime;
  stored.lastWrite = m_modificationTime;
  return stored;
}

// Gives the placed file the stored times (unless the temporary file took
// them already) and the step's attributes.
bool CStepFile::SetPlacedStatus(const std::string& target) {
  Machine& machine = CurrentMachine();
  std::uint32_t attributes = 0;
  if (machine.GetFileAttributes(target, attributes) != FileCause::none)
    return true;  // it keeps the times and attributes the move gave it
  if (!m_timesOnTemp) {
    FileTimes times;
    if (machine.GetFileTimes(target, times) != FileCause::none) return true;
    if (m_modificationTime != 0) {
      if (const FileCause set = machine.SetFileTimes(target, StoredTimes());
          set != FileCause::none) {
        SetFailureReason(set, target);
        return false;
      }
    }
  }
  std::uint32_t wanted = attributes;
  if (GetReadOnly()) wanted |= attr::readOnly;
  if (GetHidden()) wanted |= attr::hidden;
  // Attributes that are already what they must be need no write.
  if (wanted == attributes) return true;
  const FileCause set = machine.SetFileAttributes(target, wanted);
  if (set != FileCause::none) SetFailureReason(set, target);
  return set == FileCause::none;
}

// The placement failed after the move: the new file goes and the file that
// was there comes back, so a failed step leaves the target as it found it.
void CStepFile::UndoPlacement(const std::string& target) {
  Machine& machine = CurrentMachine();
  if (m_tookOver) return;  // the earlier step's roll-back restores the target
  if (m_placed || !m_keptAsidePath.empty()) {
    if (m_placed) {
      ClearReadOnly(machine, target);
      machine.DeleteFile(target);
    }
    if (!m_keptAsidePath.empty() && machine.MoveFile(m_keptAsidePath, target) == FileCause::none) {
      machine.SetFileTimes(target, m_keptAsideTimes);
      machine.SetFileAttributes(target, m_keptAsideAttributes);
      m_keptAsidePath.clear();
    }
  }
  m_placed = false;
  if (Run() != nullptr) Run()->ForgetPlacedTargets(this);
}

InstallResult CStepFile::Install() {
  if (m_tempPath.empty()) return InstallResult::done;  // nothing to place: a picture or a text
  if (!MakeNameFolders()) {
    RemoveCreatedFolders();
    AppMessageBox("Could not create the folders of " + TargetPath(), mb::ok | mb::iconExclamation);
    return InstallResult::failed;
  }
  const InstallResult result = PlaceFile();
  if (result == InstallResult::failed) RemoveCreatedFolders();
  return result;
}

bool CStepFile::MakeNameFolders() {
  Machine& machine = CurrentMachine();
  for (std::size_t end = m_name.find('\\'); end != std::string::npos;
       end = m_name.find('\\', end + 1)) {
    const std::string folder = m_targetDirectory + m_name.substr(0, end);
    std::uint32_t attributes = 0;
    if (machine.GetFileAttributes(folder, attributes) == FileCause::none) {
      if ((attributes & attr::directory) == 0 || (attributes & attr::reparsePoint) != 0) {
        SetFailureReason("not a folder: " + folder);
        return false;
      }
      continue;
    }
    if (const FileCause made = machine.CreateDirectory(folder); made != FileCause::none) {
      SetFailureReason(made, folder);
      return false;
    }
    m_createdFolders.push_back(folder);
  }
  return true;
}

void CStepFile::RemoveCreatedFolders() {
  Machine& machine = CurrentMachine();
  for (auto folder = m_createdFolders.rbegin(); folder != m_createdFolders.rend(); ++folder)
    machine.RemoveDirectory(*folder);
  m_createdFolders.clear();
}

InstallResult CStepFile::PlaceFile() {
  const std::string target = TargetPath();
  Machine& machine = CurrentMachine();

  // Most targets are new: the move into place, which never replaces, is
  // tried first.  Where it works there was nothing to probe or decide, and
  // the target's name was looked up once, not twice (where names are matched
  // without regard to case on a file system that keeps case, as under Wine,
  // a name that is not there costs a scan of its directory).
  // Where it fails, the target is probed and the usual rules decide.
  if (machine.MoveFile(m_tempPath, target) == FileCause::none) {
    m_createdByInstall = true;
    return Placed(target, false);
  }

  bool existed = false;
  FileHandle probe = kNoFile;
  const FileCause opened = machine.OpenFile(target, FileAccess::read, FileShare::denyWrite,
                                            FileDisposition::openExisting, probe);
  if (opened == FileCause::none) {
    existed = true;
    machine.CloseFile(probe);
  } else if (opened == FileCause::fileNotFound) {
    m_createdByInstall = true;
  } else {
    SetFailureReason(opened, target);
    return Fail(kProbeFailed);
  }

  bool replace = true;
  if (existed) {
    ReplaceInputs inputs;
    std::uint32_t attributes = 0;
    FileCause probed = machine.GetFileTimes(target, inputs.existing);
    if (probed == FileCause::none) probed = machine.GetFileAttributes(target, attributes);
    if (probed != FileCause::none) {
      SetFailureReason(probed, target);
      return Fail(kProbeFailed);
    }
    inputs.targetPath = target;
    inputs.newFilePath = m_tempPath;
    inputs.newCreation = m_creationTime;
    inputs.newModification = m_modificationTime;
    if (const RunContext* run = Run()) {
      inputs.checkDates = run->checkDates;
      inputs.checkVersions = run->checkVersions;
    }
    replace = DecideReplace(inputs);
    if (replace && !ReplaceExisting(target)) return Fail(kStatusFailed);
  }

  if (!replace) {
    m_keptExisting = true;
    if (const InstalledProducts* products = Products())
      m_keptOwned = products->OwnHolds(target) || products->OtherHolds(target);
    if (machine.DeleteFile(m_tempPath) == FileCause::none) m_tempPath.clear();
    return CountShared(target, existed);
  }
  if (const FileCause moved = machine.MoveFile(m_tempPath, target); moved != FileCause::none) {
    SetFailureReason(moved, target);
    UndoPlacement(target);
    return Fail("Failed while attempting to create a new file");
  }
  return Placed(target, existed);
}

// The new file is at the target: its times, attributes, registration and
// shared count.
InstallResult CStepFile::Placed(const std::string& target, bool existed) {
  m_tempPath.clear();
  m_placed = true;
  CancelDeletionAtRestart(target);
  if (!m_tookOver && Run() != nullptr) Run()->RememberPlacedTarget(target, this);
  if (!SetPlacedStatus(target)) {
    UndoPlacement(target);
    return Fail(kStatusFailed);
  }
  if (GetRegister() && !RegisterComponent(target)) {
    AppMessageBox("Unable to register file " + target + ".  Continuing installation.",
                  mb::ok | mb::iconExclamation);
  }
  return CountShared(target, existed);
}

InstallResult CStepFile::CountShared(const std::string& target, bool existed) {
  if (GetShared()) {
    // A reinstall whose earlier log holds the shared file counted it then.
    const InstalledProducts* products = Products();
    if (products != nullptr && products->OwnHolds(target, true)) return InstallResult::done;
    // A count that cannot be read is not guessed: the step fails.
    std::uint32_t count = 0;
    if (!ReadSharedCountChecked(target, count)) {
      UndoPlacement(target);
      return Fail(("Unable to read the shared count of " + target + ".").c_str());
    }
    m_sharedCountCreated = !HasSharedCount(target);
    // A file that was there without a count was used by someone already.
    if (m_sharedCountCreated && existed) count = 1;
    m_sharedCountAdded = WriteSharedCount(target, count + 1);
    if (!m_sharedCountAdded) {
      // A shared file nobody counts could be deleted under this product
      // by another's uninstaller: the step fails, leaving the target as
      // it found it.
      UndoPlacement(target);
      return Fail(("Unable to write the shared count of " + target + ".").c_str());
    }
  }
  return InstallResult::done;
}

}  // namespace velmora
