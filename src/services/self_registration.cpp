#include "services/self_registration.h"

#include <cstdint>

#include "framework/ascii.h"
#include "platform/machine.h"

namespace velmora {
namespace {

std::string UpperExtension(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos) return "";
  return AsciiUppered(path.substr(dot));
}

bool Register(const std::string& path, const char* entryPoint, const std::string& arguments) {
  if (path.find('.') == std::string::npos) return false;
  Machine& machine = CurrentMachine();
  if (IsComponentLibrary(path)) {
    long result = -1;
    if (machine.CallRegistrationEntry(path, entryPoint, result) == RegistrationCall::called &&
        result == 0)
      return true;
  }
  const std::string program = RegistrationProgramPath();
  if (program.empty()) return false;
  std::uint32_t exitCode = 0;
  return machine.RunProgram(program, arguments, exitCode) && exitCode == 0;
}

}  // namespace

bool IsComponentLibrary(const std::string& path) {
  const std::string extension = UpperExtension(path);
  return extension == ".DLL" || extension == ".OCX";
}

std::string RegistrationProgramPath() {
  std::string directory = CurrentMachine().GetSystemDirectory();
  if (directory.empty()) return {};
  if (directory.back() != '\\') directory += '\\';
  return directory + "regsvr32.exe";
}

// /s: the program shows no message box of its own; a failure is told
// through the installation's own message.
std::string RegisterArguments(const std::string& path) { return "/s \"" + path + "\""; }

std::string UnregisterArguments(const std::string& path) { return "/s /u \"" + path + "\""; }

bool RegisterComponent(const std::string& path) {
  return Register(path, "DllRegisterServer", RegisterArguments(path));
}

bool UnregisterComponent(const std::string& path) {
  return Register(path, "DllUnregisterServer", UnregisterArguments(path));
}

}  // namespace velmora
