// The program's own name, from which SETUP.EXE decides whether it installs
// or uninstalls.
#pragma once

#include <string>

namespace velmora {

// "C:\DISK1\Setup.exe" -> "Setup": no directory, no extension, case kept.
std::string ModuleBaseName(const std::string& modulePath);

// The running program's full path (GetModuleFileNameA).
std::string ModulePath();

}  // namespace velmora
