// The process's own machine and user interface, made on first use.
#include "backends/win32/native.h"

#include "backends/win32/win32_machine.h"
#include "backends/win32/win32_ui.h"

namespace velmora {

Machine& NativeMachine() {
  static Win32Machine machine;
  return machine;
}

Ui& NativeUi() {
  static Win32Ui ui;
  return ui;
}

}  // namespace velmora
