// The Win32 window that hosts the setup program's main window.  SETUP.EXE
// registers it once the window exists; the Ui parents the progress dialog to
// it and repaints it when the heading or the status line changes.
#pragma once

#include "backends/win32/win32_api.h"

namespace velmora {

void SetMainWindowHandle(HWND window);
// Null while no host window exists (a test, or before creation).
HWND MainWindowHandle();

}  // namespace velmora
