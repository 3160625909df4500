// Libraries of the system that SETUP.EXE loads itself instead of importing
// them.  The loader looks for an imported library that is not one of the
// system's known libraries in the program's own folder first, so a file
// planted beside SETUP.EXE (a downloads folder, say) would run with its
// rights; these are loaded by their full path in the system directory.
#pragma once

#include <string>

#include "backends/win32/win32_api.h"

namespace velmora {

// Takes the current directory out of the search for libraries loaded by
// name and, where the system can restrict it (SetDefaultDllDirectories),
// leaves only the system directory in it.  The first thing SETUP.EXE does.
void RestrictLibrarySearch();

// LoadLibraryExA of a full path, the library's own dependencies looked for
// in its folder and the system directory only (on a system that cannot
// restrict the search, the search order of a full path, which starts in
// its folder), never in the current directory.  Null when it cannot be
// loaded.
HMODULE LoadLibraryByFullPath(const std::string& fullPath);

// The address of a function of a library in the system directory ("name.dll"),
// loaded by its full path and never unloaded; null when the library or the
// function is missing.
FARPROC SystemLibraryProc(const char* library, const char* function);

// SystemLibraryProc as a pointer of the function's own type, e.g.
// SystemFunction<decltype(&::VerFindFileA)>("version.dll", "VerFindFileA").
template <typename Function>
Function SystemFunction(const char* library, const char* function) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemLibraryProc(library, function)));
}

}  // namespace velmora
