#include "backends/win32/module_name.h"

#include <vector>

#include "backends/win32/win32_api.h"

namespace velmora {

std::string ModuleBaseName(const std::string& modulePath) {
  const auto slash = modulePath.find_last_of("\\/:");
  std::string name = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
  const auto dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

std::string ModulePath() {
  // A path longer than MAX_PATH (possible with a \\?\ prefix) gets a bigger
  // buffer until it fits.
  std::vector<char> path(MAX_PATH + 1);
  for (;;) {
    const DWORD n = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) return std::string(path.data(), n);
    path.resize(path.size() * 2);
  }
}

}  // namespace velmora
