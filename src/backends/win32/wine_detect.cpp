#include "backends/win32/wine_detect.h"

#include "backends/win32/win32_api.h"

namespace velmora {

std::string WineVersion() {
  // Wine's ntdll exports wine_get_version; Windows' does not.
  HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  if (ntdll == nullptr) return {};
  using GetVersion = const char*(__cdecl*)();
  FARPROC entry = ::GetProcAddress(ntdll, "wine_get_version");
  if (entry == nullptr) return {};
  const char* version = reinterpret_cast<GetVersion>(reinterpret_cast<void*>(entry))();
  return version != nullptr ? version : "";
}

bool RunningUnderWine() { return !WineVersion().empty(); }

}  // namespace velmora
