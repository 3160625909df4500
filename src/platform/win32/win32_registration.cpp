// Component registration on Windows: the component's own entry point,
// in-process, and the registration program through WinExec.
#include <objbase.h>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_machine.h"

namespace velmora {

RegistrationCall Win32Machine::CallRegistrationEntry(const std::string& path,
                                                     const std::string& entryPoint, long& result) {
  result = -1;
  // S_FALSE (OLE was initialised already) counts as initialised too.
  if (FAILED(::OleInitialize(nullptr))) return RegistrationCall::oleUnavailable;
  RegistrationCall call = RegistrationCall::loadFailed;
  // The component's own dependencies are looked for in its directory first.
  HMODULE library = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (library != nullptr) {
    using EntryPoint = HRESULT(STDAPICALLTYPE*)();
    const auto entry =
        reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(::GetProcAddress(library, entryPoint.c_str())));
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

std::uint32_t Win32Machine::StartProgram(const std::string& commandLine) {
  return ::WinExec(commandLine.c_str(), SW_SHOWNORMAL);
}

}  // namespace velmora
