#include "backends/win32/module_name.h"

#include <vector>

#include "backends/win32/win32_api.h"

namespace velmora {

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
