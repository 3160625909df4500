#include "setup_mode.h"

namespace velmora::setup {

std::string ModuleBaseName(const std::string& modulePath) {
  const auto slash = modulePath.find_last_of("\\/:");
  std::string name = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
  const auto dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

bool IsInstallName(const std::string& baseName) {
  std::string upper = baseName;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper == "SETUP";
}

std::string HeadingText(bool install, const std::string& title) {
  const std::string lead =
      install ? "Velmora(TM) is now installing " : "Velmora(TM) is now uninstalling ";
  return lead + (title.empty() ? "..." : title);
}

std::string PreparingStatusText(bool install) {
  return install ? "Tarnwick's Velmora(TM) is preparing the installation.  Please wait."
                 : "Tarnwick's Velmora(TM) is preparing the uninstallation.  Please wait.";
}

}  // namespace velmora::setup
