#include "shell/uninstaller_registration.h"

#include <ctime>
#include <optional>
#include <variant>

#include "platform/ui.h"
#include "services/file_removal.h"
#include "services/registry.h"
#include "shell/uninstall_files.h"
#include "steps/installed_products.h"

namespace velmora {
namespace {

// One value of the entry: a text, a number, or none (deleted when there).
struct EntryValue {
  const char* name;
  std::variant<std::monostate, std::string, std::uint32_t> value;
};

std::vector<EntryValue> EntryValues(const std::string& title, const std::string& exePath,
                                    const std::string& logPath, const ProductEntry& product) {
  const auto text = [](const std::string& value) {
    return value.empty() ? decltype(EntryValue::value){} : value;
  };
  return {
      {"DisplayName", title},
      {"UninstallString", UninstallCommandFor(exePath, logPath)},
      {"QuietUninstallString", QuietUninstallCommandFor(exePath, logPath)},
      {"DisplayIcon", exePath},
      {"DisplayVersion", text(product.version)},
      {"Publisher", text(product.publisher)},
      {"URLInfoAbout", text(product.url)},
      {"InstallLocation", text(product.installLocation)},
      {"InstallDate", text(product.installDate)},
      {"EstimatedSize", product.sizeKb == 0 ? decltype(EntryValue::value){} : product.sizeKb},
      {"NoModify", std::uint32_t{1}},
      {"NoRepair", std::uint32_t{1}},
  };
}

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
                                    const LogAdditions& additions, const ProductEntry& product) {
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
  entryExisted_ = InstalledProducts::IsInstalled(title_);
  entryValues_.clear();
  entryWritten_ = true;
  for (const EntryValue& entry : EntryValues(title_, exePath_, logPath, product)) {
    SavedRegistryValue& saved = entryValues_.emplace_back();
    bool written = saved.Take({hkey::localMachine, key, entry.name});
    if (written) {
      if (const auto* text = std::get_if<std::string>(&entry.value)) written = saved.Write(*text);
      else if (const auto* number = std::get_if<std::uint32_t>(&entry.value))
        written = saved.WriteDword(*number);
      else written = saved.Erase();
    }
    if (!written) {
      AppMessageBox("Unable to write the uninstall entry HKEY_LOCAL_MACHINE\\" + key + ".",
                    mb::ok | mb::iconExclamation);
      return false;
    }
  }
  return true;
}

std::string InstallDateToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  if (localtime_s(&local, &now) != 0) return {};
#else
  if (localtime_r(&now, &local) == nullptr) return {};
#endif
  char text[16] = {};
  if (std::strftime(text, sizeof text, "%Y%m%d", &local) != 8) return {};
  return text;
}

// A failed installation leaves the earlier log and entry as they were.
void UninstallerRegistration::RestoreRegistration() {
  Machine& machine = CurrentMachine();
  if (entryWritten_) {
    if (!entryExisted_) {
      DeleteRegistryKey(hkey::localMachine, UninstallKeyFor(title_));
    } else {
      for (auto value = entryValues_.rbegin(); value != entryValues_.rend(); ++value)
        value->Restore();
    }
    entryValues_.clear();
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
