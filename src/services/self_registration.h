// Self-registration of components.  A library (".DLL", ".OCX", any case) is
// loaded and its entry point called in-process; any other file, and a
// library for which that fails, is handed to the system's registration
// program: "regsvr32.exe" of the system directory, by its full path and
// never by a bare name, run silently and waited for.  Its exit code decides.
#pragma once

#include <string>

namespace velmora {

// True when the component registered itself, or the registration program
// ran and answered 0.  False at once for a path without any ".".
bool RegisterComponent(const std::string& path);
bool UnregisterComponent(const std::string& path);

// The registration program's full path on the current machine: the system
// directory's regsvr32.exe ("" when the machine has no system directory).
std::string RegistrationProgramPath();
// The arguments handed to it.
std::string RegisterArguments(const std::string& path);
std::string UnregisterArguments(const std::string& path);

// True when the extension after the path's last "." is DLL or OCX in any case.
bool IsComponentLibrary(const std::string& path);

}  // namespace velmora
