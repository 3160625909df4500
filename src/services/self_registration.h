// Self-registration of components.  A library (".DLL", ".OCX", any case) is
// loaded and its entry point called in-process; any other file, and a
// library for which that fails, is handed to the system's registration
// program ("Regsvr32"), which is started and not waited for.
#pragma once

#include <string>

namespace velmora {

// True when the component registered itself or the registration program
// was started.  False at once for a path without any ".".
bool RegisterComponent(const std::string& path);
bool UnregisterComponent(const std::string& path);

// The command lines handed to the registration program.
std::string RegisterCommandLine(const std::string& path);
std::string UnregisterCommandLine(const std::string& path);

// True when the extension after the path's last "." is DLL or OCX in any case.
bool IsComponentLibrary(const std::string& path);

}  // namespace velmora
