// Component registration on Windows: the component's own entry point,
// in-process, and programs run by their full path (the registration
// program).
#include <objbase.h>

#include <vector>

#include "backends/win32/system_library.h"
#include "backends/win32/win32_api.h"
#include "backends/win32/win32_machine.h"
#include "framework/ascii.h"

namespace velmora {

RegistrationCall Win32Machine::CallRegistrationEntry(const std::string& path,
                                                     const std::string& entryPoint, long& result) {
  result = -1;
  // The library is loaded by its full path: a relative one would be looked
  // for along the search path, and only a full one keeps the current
  // directory out of the search for its dependencies.
  const std::string fullPath = GetFullPathName(path);
  if (fullPath.empty()) return RegistrationCall::loadFailed;
  // S_FALSE (OLE was initialised already) counts as initialised too.
  if (FAILED(::OleInitialize(nullptr))) return RegistrationCall::oleUnavailable;
  RegistrationCall call = RegistrationCall::loadFailed;
  HMODULE library = LoadLibraryByFullPath(fullPath);
  if (library != nullptr) {
    using EntryPoint = HRESULT(STDAPICALLTYPE*)();
    const auto entry = reinterpret_cast<EntryPoint>(
        reinterpret_cast<void*>(::GetProcAddress(library, entryPoint.c_str())));
    if (entry == nullptr) {
      call = RegistrationCall::noEntryPoint;
    } else {
      result = entry();
      call = RegistrationCall::called;
    }
    ::FreeLibrary(library);
  }
  ::OleUninitialize();
  return call;
}

bool Win32Machine::RunProgram(const std::string& programPath, const std::string& arguments,
                              std::uint32_t& exitCode) {
  exitCode = 0xFFFFFFFF;
  // Only a full path names the program: CreateProcess would complete a
  // partial one from the current directory.
  const std::string fullPath = GetFullPathName(programPath);
  if (fullPath.empty() || AsciiUppered(fullPath) != AsciiUppered(programPath)) return false;
  const std::string text = "\"" + programPath + "\" " + arguments;
  std::vector<char> commandLine(text.begin(), text.end());
  commandLine.push_back('\0');  // CreateProcessA may write into it
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  // It starts in its own folder: a program looks in its current directory
  // for the libraries it loads, and ours (the media folder) may hold
  // planted ones.
  const std::string folder = fullPath.substr(0, fullPath.find_last_of('\\') + 1);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(programPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, folder.c_str(), &startup, &process))
    return false;
  ::CloseHandle(process.hThread);
  DWORD code = 0xFFFFFFFF;
  const bool ended = ::WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                     ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hProcess);
  exitCode = ended ? code : 0xFFFFFFFF;
  return true;
}

}  // namespace velmora
