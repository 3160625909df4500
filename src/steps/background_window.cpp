#include "steps/background_window.h"

namespace velmora {
namespace {

BackgroundWindow* g_backgroundWindow = nullptr;

}  // namespace

BackgroundWindow* CurrentBackgroundWindow() { return g_backgroundWindow; }
void SetCurrentBackgroundWindow(BackgroundWindow* window) { g_backgroundWindow = window; }

}  // namespace velmora
