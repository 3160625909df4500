// The uninstaller an installation leaves behind: the copy of the setup
// program made at the start of every part (SetupWindow::
// CreateUninstallExecutable), and the log and uninstall entry written after
// a successful installation (SetupWindow::WriteUninstallLog).
#include "shell/uninstall_registration.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "framework/archive.h"
#include "framework/ascii.h"
#include "platform/ui.h"
#include "platform/machine.h"
#include "services/file_removal.h"
#include "services/registry.h"
#include "shell/setup_window.h"
#include "steps/step_file.h"

namespace velmora {
namespace {

// Writes the whole of an open file to `to` (created or truncated); a copy
// that fails half-way is deleted.
bool CopyOpenFile(Machine& machine, FileHandle from, const std::string& to) {
  std::uint64_t position = 0;
  if (from == kNoFile || machine.SeekFile(from, 0, SeekOrigin::begin, position) != FileCause::none)
    return false;
  FileHandle target = kNoFile;
  if (machine.OpenFile(to, FileAccess::write, FileShare::exclusive, FileDisposition::createAlways,
                       target) != FileCause::none)
    return false;
  std::vector<std::uint8_t> buffer(std::size_t{64} * 1024);
  bool copied = true;
  for (;;) {
    std::uint32_t got = 0;
    if (machine.ReadFile(from, buffer.data(), static_cast<std::uint32_t>(buffer.size()), got) !=
        FileCause::none) {
      copied = false;
      break;
    }
    if (got == 0) break;
    if (machine.WriteFile(target, buffer.data(), got) != FileCause::none) {
      copied = false;
      break;
    }
  }
  copied = machine.CloseFile(target) == FileCause::none && copied;
  if (!copied) machine.DeleteFile(to);
  return copied;
}

constexpr std::size_t kWindowsDirectoryLimit = 260;

bool IsPlainFileName(const std::string& name) {
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20) return false;
    switch (c) {
      case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
        return false;
      default:
        break;
    }
  }
  return true;
}

}  // namespace

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string MoveAside(Machine& machine, const std::string& path, const char* prefix) {
  std::uint32_t attributes = 0;
  if (machine.GetFileAttributes(path, attributes) != FileCause::none) return {};
  std::string aside;
  if (machine.CreateTempFile(DirectoryOf(path), prefix, aside) != FileCause::none) return {};
  machine.DeleteFile(aside);
  if (machine.MoveFile(path, aside) != FileCause::none) {
    machine.DeleteFile(aside);  // the empty file that reserved the name does not stay
    return {};
  }
  return aside;
}

std::string UninstallExePathFor(const std::string& windowsDirectory, const std::string& title) {
  if (title.empty() || !IsPlainFileName(title)) return {};
  if (windowsDirectory.empty() || windowsDirectory.size() >= kWindowsDirectoryLimit) return {};
  std::string path = windowsDirectory;
  if (path.back() != '\\') path += '\\';
  path += "X" + title + ".exe";
  if (path.size() > kMaxUninstallPathLength) return {};
  return path;
}

std::string UninstallLogPathFor(const std::string& exePath) {
  if (exePath.size() < 3) return exePath;
  return exePath.substr(0, exePath.size() - 3) + "VMU";
}

std::string UninstallCommandFor(const std::string& exePath, const std::string& logPath) {
  return "\"" + exePath + "\" " + logPath;
}

std::string QuietUninstallCommandFor(const std::string& exePath, const std::string& logPath) {
  return "\"" + exePath + "\" /quiet " + logPath;
}

bool SetupWindow::CreateUninstallExecutable() {
  Machine& machine = CurrentMachine();
  const std::string path = UninstallExePathFor(machine.GetWindowsDirectory(), m_title);
  if (path.empty()) return false;
  m_uninstallExePath = path;

  UninstallerCopy* copy = nullptr;
  for (UninstallerCopy& made : m_uninstallers) {
    if (machine.GetFullPathName(made.path) == machine.GetFullPathName(path)) copy = &made;
  }
  if (copy == nullptr) {
    // The uninstaller of an earlier installation waits aside until this
    // one's outcome is known.
    UninstallerCopy fresh;
    fresh.path = path;
    machine.GetFileAttributes(path, fresh.keptAttributes);
    fresh.keptAside = MoveAside(machine, path, "vmx");
    m_uninstallers.push_back(fresh);
    copy = &m_uninstallers.back();
  }

  // An uninstaller left read-only (and not moved aside) is replaced.
  std::uint32_t attributes = 0;
  if (machine.GetFileAttributes(path, attributes) == FileCause::none &&
      (attributes & attr::readOnly) != 0) {
    std::uint32_t rest = attributes & ~attr::readOnly;
    if (rest == 0) rest = attr::normal;
    machine.SetFileAttributes(path, rest);
  }
  if (!CopyOpenFile(machine, m_programImage, path)) return false;
  if (CancelDeletionAtRestart(path)) copy->deletionCancelled = true;
  return true;
}

void SetupWindow::RestoreUninstallers() {
  Machine& machine = CurrentMachine();
  for (auto it = m_uninstallers.rbegin(); it != m_uninstallers.rend(); ++it) {
    // Not left to the next start: that would delete the copy put back.
    RemoveFileNow(it->path);
    if (it->keptAside.empty()) continue;
    if (machine.MoveFile(it->keptAside, it->path) == FileCause::none) {
      machine.SetFileAttributes(it->path, it->keptAttributes);
      // The earlier uninstaller was waiting to be deleted: it still is.
      if (it->deletionCancelled) machine.DeleteFileAtRestart(machine.GetFullPathName(it->path));
    }
  }
  m_uninstallers.clear();
}

void SetupWindow::CommitUninstallers() {
  for (const UninstallerCopy& copy : m_uninstallers) {
    if (!copy.keptAside.empty()) RemoveFileNowOrAtRestart(copy.keptAside);
  }
  m_uninstallers.clear();
}

bool ReplaceUninstallLog(const std::string& logPath, const std::string& title,
                         const StepList& steps, const LogAdditions& additions,
                         std::string* earlierAside) {
  Machine& machine = CurrentMachine();
  // The new log is complete in a file of its own before it takes the
  // place of the earlier one.
  std::string written;
  if (machine.CreateTempFile(DirectoryOf(logPath), "vmu", written) != FileCause::none)
    return false;
  try {
    StoreUninstallLog(written, title, steps, &additions);
  } catch (const CFileException& error) {
    if (error.m_cause != static_cast<int>(FileCause::none)) {
      machine.DeleteFile(written);
      return false;
    }
  } catch (const CArchiveException& error) {
    if (error.m_cause != CArchiveException::none) {
      machine.DeleteFile(written);
      return false;
    }
  }
  const std::string earlier = MoveAside(machine, logPath, "vmo");
  if (machine.MoveFile(written, logPath) != FileCause::none) {
    machine.DeleteFile(written);
    if (!earlier.empty()) machine.MoveFile(earlier, logPath);
    return false;
  }
  if (earlierAside != nullptr) *earlierAside = earlier;
  else if (!earlier.empty()) RemoveFileNowOrAtRestart(earlier);
  return true;
}

namespace {

constexpr const char* kEntryValues[] = {"DisplayName", "UninstallString", "QuietUninstallString"};
constexpr std::uint32_t kEntryBuffer = 1024;

}  // namespace

// The steps the log holds: the done steps that are uninstallable, then the
// earlier installation's entries for targets this one did not log (an
// upgrade under the same title that dropped a file still removes it, and
// a shared count the earlier installation added is still taken back).
StepList SetupWindow::StepsToLog() const {
  StepList logged;
  for (CStep* step : m_doneSteps)
    if (step->IsUninstallable()) logged.push_back(step);
  const UninstallLogListing* own = m_products.Own();
  if (own == nullptr) return logged;
  for (const auto& earlier : own->entries) {
    const std::string target = LogEntryTarget(*earlier);
    if (target.empty()) continue;
    bool held = false;
    for (const CStep* step : logged) held = held || AsciiUppered(LogEntryTarget(*step)) == AsciiUppered(target);
    if (!held) logged.push_back(earlier.get());
  }
  return logged;
}

LogAdditions SetupWindow::MakeLogAdditions(const StepList& logged) const {
  LogAdditions additions;
  additions.group = m_group;
  additions.groupCreator = m_groupCreator;
  for (const CStep* step : logged) {
    const std::string target = LogEntryTarget(*step);
    if (target.empty()) continue;
    // The folders the files went into: the uninstaller deletes nothing
    // outside them.
    const std::string folder = static_cast<const CStepFile*>(step)->GetTargetDirectory();
    if (std::none_of(additions.folders.begin(), additions.folders.end(),
                     [&](const std::string& known) { return AsciiEqualIgnoringCase(known, folder); }))
      additions.folders.push_back(folder);
    if (step->GetShared()) continue;
    if (const std::optional<LogFileRecord> record = CurrentFileRecord(target))
      additions.files.push_back(*record);
  }
  // Items of steps the log does not hold (a kept file that was the
  // machine's) are removed by the uninstaller all the same.
  for (const LogProgramItem& item : m_addedItems) {
    bool held = false;
    for (const CStep* step : logged) {
      if (!step->GetIcon()) continue;
      held = held || ProgramItemTitle(*step) == item.title;
    }
    if (!held) additions.items.push_back(item);
  }
  return additions;
}

bool SetupWindow::WriteUninstallLog() {
  if (m_uninstallExePath.empty()) return false;
  const std::string logPath = UninstallLogPathFor(m_uninstallExePath);
  const StepList logged = StepsToLog();
  if (!ReplaceUninstallLog(logPath, m_title, logged, MakeLogAdditions(logged),
                           &m_earlierLogAside)) {
    AppMessageBox("Unable to write the uninstall log " + logPath + ".",
                  mb::ok | mb::iconExclamation);
    return false;
  }
  m_logWritten = true;

  const std::string key = UninstallKeyFor(m_title);
  m_earlierEntry.clear();
  if (InstalledProducts::IsInstalled(m_title)) {
    for (const char* value : kEntryValues)
      m_earlierEntry.push_back(ReadRegistryString(hkey::localMachine, key, value, kEntryBuffer));
  }
  m_entryWritten = true;
  const std::string values[] = {m_title, UninstallCommandFor(m_uninstallExePath, logPath),
                                QuietUninstallCommandFor(m_uninstallExePath, logPath)};
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
void SetupWindow::RestoreRegistration() {
  Machine& machine = CurrentMachine();
  if (m_entryWritten) {
    const std::string key = UninstallKeyFor(m_title);
    if (m_earlierEntry.empty()) {
      DeleteRegistryKey(hkey::localMachine, key);
    } else {
      for (std::size_t i = 0; i < std::size(kEntryValues); ++i) {
        if (m_earlierEntry[i].empty()) continue;
        WriteRegistryString(hkey::localMachine, key, kEntryValues[i], m_earlierEntry[i]);
      }
    }
    m_entryWritten = false;
  }
  if (m_logWritten) {
    const std::string logPath = UninstallLogPathFor(m_uninstallExePath);
    RemoveFileNow(logPath);
    if (!m_earlierLogAside.empty()) machine.MoveFile(m_earlierLogAside, logPath);
    m_logWritten = false;
  }
  m_earlierLogAside.clear();
}

void SetupWindow::CommitRegistration() {
  if (!m_earlierLogAside.empty()) RemoveFileNowOrAtRestart(m_earlierLogAside);
  m_earlierLogAside.clear();
  m_logWritten = m_entryWritten = false;
}

}  // namespace velmora
