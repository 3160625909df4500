// SETUP.EXE: installs a package from the data files beside it, or, under any
// other name than SETUP, uninstalls one.
#include <string>

#include "host_window.h"
#include "platform/win32/module_name.h"
#include "platform/win32/native.h"
#include "shell/setup_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  // Every step acts on the real machine and asks through real dialogs.
  velmora::ScopedMachine machine(velmora::NativeMachine());
  velmora::ScopedUi ui(velmora::NativeUi());
  // The command line holds the arguments only; the uninstaller is started
  // with the path of its log there, and deletes its own file at the end.
  const std::string modulePath = velmora::ModulePath();
  velmora::SetupWindow setup(velmora::ModuleBaseName(modulePath),
                             commandLine != nullptr ? commandLine : "", modulePath);
  velmora::setup::HostWindow window(instance, setup);
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
