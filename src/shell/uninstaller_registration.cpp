#include "shell/uninstaller_registration.h"

#include <iterator>

#include "platform/ui.h"
#include "services/file_removal.h"
#include "services/registry.h"
#include "shell/uninstall_files.h"
#include "steps/installed_products.h"

namespace velmora {
namespace {

constexpr const char* kEntryValues[] = {"DisplayName", "UninstallString", "QuietUninstallString"};
constexpr std::uint32_t kEntryBuffer = 1024;

}  // namespace

bool UninstallerRegistration::CreateUninstaller(FileHandle programImage, const std::string& title) {
  Machine& machine = CurrentMachine();
  const std::string path = UninstallExePathFor(machine.GetWindowsDirectory(), title);
  if (path.empty()) return false;
  exePath_ = path;

  UninstallerCopy* copy = nullptr;
  for (UninstallerCopy& made : uninstallers_) {
    if (machine.GetFullPathName(made.path) == machine.GetFullPathName(path)) copy = &made;
  }
  if (copy == nullptr) {
    // The uninstaller of an earlier installation waits aside until this
    // one's outcome is known.
    UninstallerCopy fresh;
    fresh.path = path;
    machine.GetFileAttributes(path, fresh.keptAttributes);
    fresh.keptAside = MoveAside(machine, path, "vmx");
    uninstallers_.push_back(fresh);
    copy = &uninstallers_.back();
  }

  // An uninstaller left read-only (and not moved aside) is replaced.
  std::uint32_t attributes = 0;
  if (machine.GetFileAttributes(path, attributes) == FileCause::none &&
      (attributes & attr::readOnly) != 0) {
    std::uint32_t rest = attributes & ~attr::readOnly;
    if (rest == 0) rest = attr::normal;
    machine.SetFileAttributes(path, rest);
  }
  if (!CopyOpenFile(machine, programImage, path)) return false;
  if (CancelDeletionAtRestart(path)) copy->deletionCancelled = true;
  return true;
}

void UninstallerRegistration::RestoreUninstallers() {
  Machine& machine = CurrentMachine();
  for (auto it = uninstallers_.rbegin(); it != uninstallers_.rend(); ++it) {
    // Not left to the next start: that would delete the copy put back.
    RemoveFileNow(it->path);
    if (it->keptAside.empty()) continue;
    if (machine.MoveFile(it->keptAside, it->path) == FileCause::none) {
      machine.SetFileAttributes(it->path, it->keptAttributes);
      // The earlier uninstaller was waiting to be deleted: it still is.
      if (it->deletionCancelled) machine.DeleteFileAtRestart(machine.GetFullPathName(it->path));
    }
  }
  uninstallers_.clear();
}

bool UninstallerRegistration::Write(const std::string& title, const StepList& logged,
                                    const LogAdditions& additions) {
  title_ = title;
  if (exePath_.empty()) return false;
  const std::string logPath = UninstallLogPathFor(exePath_);
  if (!ReplaceUninstallLog(logPath, title_, logged, additions, &earlierLogAside_)) {
    AppMessageBox("Unable to write the uninstall log " + logPath + ".",
                  mb::ok | mb::iconExclamation);
    return false;
  }
  logWritten_ = true;

  const std::string key = UninstallKeyFor(title_);
  earlierEntry_.clear();
  if (InstalledProducts::IsInstalled(title_)) {
    for (const char* value : kEntryValues)
      earlierEntry_.push_back(ReadRegistryString(hkey::localMachine, key, value, kEntryBuffer));
  }
  entryWritten_ = true;
  const std::string values[] = {title_, UninstallCommandFor(exePath_, logPath),
                                QuietUninstallCommandFor(exePath_, logPath)};
  for (std::size_t i = 0; i < std::size(kEntryValues); ++i) {
    if (!WriteRegistryString(hkey::localMachine, key, kEntryValues[i], values[i])) {
      AppMessageBox("Unable to write the uninstall entry HKEY_LOCAL_MACHINE\\" + key + ".",
                    mb::ok | mb::iconExclamation);
      return false;
    }
  }
  return true;
}

// A failed installation leaves the earlier log and entry as they were.
void UninstallerRegistration::RestoreRegistration() {
  Machine& machine = CurrentMachine();
  if (entryWritten_) {
    const std::string key = UninstallKeyFor(title_);
    if (earlierEntry_.empty()) {
      DeleteRegistryKey(hkey::localMachine, key);
    } else {
      for (std::size_t i = 0; i < std::size(kEntryValues); ++i) {
        if (earlierEntry_[i].empty()) continue;
        WriteRegistryString(hkey::localMachine, key, kEntryValues[i], earlierEntry_[i]);
      }
    }
    entryWritten_ = false;
  }
  if (logWritten_) {
    const std::string logPath = UninstallLogPathFor(exePath_);
    RemoveFileNow(logPath);
    if (!earlierLogAside_.empty()) machine.MoveFile(earlierLogAside_, logPath);
    logWritten_ = false;
  }
  earlierLogAside_.clear();
}

void UninstallerRegistration::Commit() {
  for (const UninstallerCopy& copy : uninstallers_) {
    if (!copy.keptAside.empty()) RemoveFileNowOrAtRestart(copy.keptAside);
  }
  uninstallers_.clear();
  if (!earlierLogAside_.empty()) RemoveFileNowOrAtRestart(earlierLogAside_);
  earlierLogAside_.clear();
  logWritten_ = entryWritten_ = false;
}

}  // namespace velmora
