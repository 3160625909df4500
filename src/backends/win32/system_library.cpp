#include "backends/win32/system_library.h"

namespace velmora {
namespace {

// A function of kernel32 that older systems lack; null there.
template <typename Function>
Function KernelFunction(const char* name) {
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(kernel, name)));
}

// Windows 8, or 7 with its loader update: the LOAD_LIBRARY_SEARCH_* flags
// are understood.
bool CanRestrictLibrarySearch() {
  static const bool can = KernelFunction<FARPROC>("SetDefaultDllDirectories") != nullptr;
  return can;
}

std::string SystemDirectory() {
  char buffer[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemDirectoryA(buffer, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? std::string() : std::string(buffer, length);
}

}  // namespace

void RestrictLibrarySearch() {
  // An empty string removes the current directory from the search order.
  if (const auto setDllDirectory = KernelFunction<BOOL(WINAPI*)(LPCSTR)>("SetDllDirectoryA"))
    setDllDirectory("");
  // Not the application directory: SETUP.EXE often runs from a folder that
  // anybody can write to.
  if (const auto setDefault = KernelFunction<BOOL(WINAPI*)(DWORD)>("SetDefaultDllDirectories"))
    setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadLibraryByFullPath(const std::string& fullPath) {
  const DWORD flags = CanRestrictLibrarySearch()
                          ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                          : LOAD_WITH_ALTERED_SEARCH_PATH;
  return ::LoadLibraryExA(fullPath.c_str(), nullptr, flags);
}

FARPROC SystemLibraryProc(const char* library, const char* function) {
  const std::string directory = SystemDirectory();
  if (directory.empty()) return nullptr;
  const char* separator = directory.back() == '\\' ? "" : "\\";
  HMODULE module = LoadLibraryByFullPath(directory + separator + library);
  return module == nullptr ? nullptr : ::GetProcAddress(module, function);
}

}  // namespace velmora
