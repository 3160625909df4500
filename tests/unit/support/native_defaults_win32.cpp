// Windows build: the tests start on the native machine and user interface,
// as SETUP.EXE does; a test that wants another installs it with
// ScopedMachine or ScopedUi.
#ifdef _WIN32
#include "backends/win32/native.h"

namespace velmora {
namespace {

const bool kNativeInstalled = [] {
  SetCurrentMachine(&NativeMachine());
  SetCurrentUi(&NativeUi());
  return true;
}();

}  // namespace
}  // namespace velmora
#endif  // _WIN32
