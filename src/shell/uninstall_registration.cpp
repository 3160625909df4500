// The uninstaller copy made at the start of every part of an installation
// (SetupWindow::CreateUninstallExecutable).
#include "shell/uninstall_registration.h"

#include "platform/machine.h"
#include "shell/setup_window.h"

namespace velmora {
namespace {

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

bool SetupWindow::CreateUninstallExecutable() {
  Machine& machine = CurrentMachine();
  const std::string path = UninstallExePathFor(machine.GetWindowsDirectory(), m_title);
  if (path.empty()) return false;
  m_uninstallExePath = path;

  // An uninstaller left read-only by an earlier installation is replaced.
  std::uint32_t attributes = 0;
  if (machine.GetFileAttributes(path, attributes) == FileCause::none &&
      (attributes & attr::readOnly) != 0) {
    std::uint32_t rest = attributes & ~attr::readOnly;
    if (rest == 0) rest = attr::normal;
    machine.SetFileAttributes(path, rest);
  }
  return machine.CopyFile(kSetupProgramName, path, false) == FileCause::none;
}

// The uninstall log joins with the uninstallation run; until then an
// installation writes no log and makes no uninstall entry.
bool SetupWindow::WriteUninstallLog() { return false; }

}  // namespace velmora
