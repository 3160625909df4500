// The real machine and user interface of a Windows process.
#pragma once

#include "platform/machine.h"
#include "platform/ui.h"

namespace velmora {

Machine& NativeMachine();
Ui& NativeUi();

}  // namespace velmora
