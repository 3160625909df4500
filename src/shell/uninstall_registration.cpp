// The uninstaller an installation leaves behind: the copy of the setup
// program made at the start of every part (SetupWindow::
// CreateUninstallExecutable), and the log and uninstall entry written after
// a successful installation (SetupWindow::WriteUninstallLog).
#include "shell/uninstall_registration.h"

#include "framework/archive.h"
#include "platform/machine.h"
#include "services/file_removal.h"
#include "services/registry.h"
#include "shell/setup_window.h"

namespace velmora {
namespace {

constexpr std::size_t kWindowsDirectoryLimit = 260;
constexpr std::uint32_t kLogBufferSize = 4096;

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

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

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
  if (machine.MoveFile(path, aside) != FileCause::none) return {};
  return aside;
}

void StoreUninstallLog(const std::string& path, const std::string& title, const StepList& done) {
  CFile file;
  if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive))
    throw CFileException(FileCause::generic);
  std::uint32_t count = 0;
  for (const CStep* step : done) count += step->IsUninstallable() ? 1 : 0;
  CArchive archive(&file, CArchive::store, kLogBufferSize);
  archive << title << count;
  for (CStep* step : done) {
    if (!step->IsUninstallable()) continue;
    archive << std::string(step->GetRuntimeClass()->m_lpszClassName);
    step->Serialize(archive);
  }
  archive.Close();
  file.Close();
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

std::string UninstallKeyFor(const std::string& title) {
  return std::string(kUninstallKey) + "\\" + title;
}

std::string UninstallCommandFor(const std::string& exePath, const std::string& logPath) {
  return "\"" + exePath + "\" " + logPath;
}

std::string QuietUninstallCommandFor(const std::string& exePath, const std::string& logPath) {
  return "\"" + exePath + "\" /quiet " + logPath;
}

CommandLine SplitCommandLine(const std::string& commandLine) {
  std::size_t at = 0;
  while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;
  CommandLine parts;
  if (at < commandLine.size() && commandLine[at] == '"') {
    const std::size_t close = commandLine.find('"', at + 1);
    const std::size_t end = close == std::string::npos ? commandLine.size() : close;
    parts.program = commandLine.substr(at + 1, end - at - 1);
    at = close == std::string::npos ? end : close + 1;
  } else {
    const std::size_t start = at;
    while (at < commandLine.size() && !IsBlank(commandLine[at])) ++at;
    parts.program = commandLine.substr(start, at - start);
  }
  while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;
  parts.arguments = commandLine.substr(at);
  return parts;
}

std::string UninstallLogPathFromArguments(const std::string& arguments) {
  std::size_t begin = 0;
  std::size_t end = arguments.size();
  while (begin < end && IsBlank(arguments[begin])) ++begin;
  while (end > begin && IsBlank(arguments[end - 1])) --end;
  if (end - begin >= 2 && arguments[begin] == '"' && arguments[end - 1] == '"') {
    ++begin;
    --end;
  }
  return arguments.substr(begin, end - begin);
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
  return machine.CopyFile(kSetupProgramName, path, false) == FileCause::none;
}

void SetupWindow::RestoreUninstallers() {
  Machine& machine = CurrentMachine();
  for (auto it = m_uninstallers.rbegin(); it != m_uninstallers.rend(); ++it) {
    // Not left to the next start: that would delete the copy put back.
    RemoveFileNow(it->path);
    if (it->keptAside.empty()) continue;
    if (machine.MoveFile(it->keptAside, it->path) == FileCause::none)
      machine.SetFileAttributes(it->path, it->keptAttributes);
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
                         const StepList& steps) {
  Machine& machine = CurrentMachine();
  // The new log is complete in a file of its own before it takes the
  // place of the earlier one.
  std::string written;
  if (machine.CreateTempFile(DirectoryOf(logPath), "vmu", written) != FileCause::none)
    return false;
  try {
    StoreUninstallLog(written, title, steps);
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
  if (!earlier.empty()) RemoveFileNowOrAtRestart(earlier);
  return true;
}

bool SetupWindow::WriteUninstallLog() {
  if (m_uninstallExePath.empty()) return false;
  const std::string logPath = UninstallLogPathFor(m_uninstallExePath);

  if (!ReplaceUninstallLog(logPath, m_title, m_doneSteps)) return false;

  const std::string key = UninstallKeyFor(m_title);
  WriteRegistryString(hkey::localMachine, key, "DisplayName", m_title);
  WriteRegistryString(hkey::localMachine, key, "UninstallString",
                      UninstallCommandFor(m_uninstallExePath, logPath));
  WriteRegistryString(hkey::localMachine, key, "QuietUninstallString",
                      QuietUninstallCommandFor(m_uninstallExePath, logPath));
  return true;
}

}  // namespace velmora
