// The running program's own path.
#pragma once

#include <string>

namespace velmora {

// The running program's full path (GetModuleFileNameA).
std::string ModulePath();

}  // namespace velmora
