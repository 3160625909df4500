// SETUP.EXE: installs a package from the data files beside it, or, under any
// other name than SETUP, uninstalls one.
#include <string>

#include "platform/win32/win32_api.h"
#include "setup_mode.h"
#include "setup_window.h"

namespace {

std::string ModulePath() {
  char path[MAX_PATH + 1] = {};
  const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, n);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  using namespace velmora::setup;
  const std::string exeName = ModuleBaseName(ModulePath());
  const bool install = IsInstallName(exeName);
  // The uninstaller is started with the path of its log as the command line.
  SetupWindow window(instance, install, exeName, install ? std::string() : commandLine);
  if (window.Create()) {
    ::ShowWindow(window.Handle(), SW_SHOWMAXIMIZED);
    ::UpdateWindow(window.Handle());
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }
  return 0;  // the outcome was told in a message box; the exit code is always 0
}
