#include "services/self_registration.h"

#include "framework/ascii.h"
#include "platform/machine.h"

namespace velmora {
namespace {

std::string UpperExtension(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos) return "";
  return AsciiUppered(path.substr(dot));
}

bool Register(const std::string& path, const char* entryPoint, const std::string& commandLine) {
  if (path.find('.') == std::string::npos) return false;
  Machine& machine = CurrentMachine();
  if (IsComponentLibrary(path)) {
    long result = -1;
    if (machine.CallRegistrationEntry(path, entryPoint, result) == RegistrationCall::called &&
        result == 0)
      return true;
  }
  // WinExec answers 32 or more once the program is started.
  return machine.StartProgram(commandLine) >= 32;
}

}  // namespace

bool IsComponentLibrary(const std::string& path) {
  const std::string extension = UpperExtension(path);
  return extension == ".DLL" || extension == ".OCX";
}

std::string RegisterCommandLine(const std::string& path) { return "Regsvr32 \"" + path + "\""; }

std::string UnregisterCommandLine(const std::string& path) {
  return "Regsvr32 /u \"" + path + "\"";
}

bool RegisterComponent(const std::string& path) {
  return Register(path, "DllRegisterServer", RegisterCommandLine(path));
}

bool UnregisterComponent(const std::string& path) {
  return Register(path, "DllUnregisterServer", UnregisterCommandLine(path));
}

}  // namespace velmora
