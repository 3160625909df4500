#include "backends/win32/main_window_handle.h"

namespace velmora {
namespace {

HWND g_mainWindow = nullptr;

}  // namespace

void SetMainWindowHandle(HWND window) { g_mainWindow = window; }

HWND MainWindowHandle() { return g_mainWindow; }

}  // namespace velmora
