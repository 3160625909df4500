// The handler the C++ runtime calls when an exception escapes or the
// program must terminate.  The runtime's own prints the exception's
// demangled type to the console, which a GUI program does not have, and
// brings the whole symbol demangler with it (some 50 KB of SETUP.EXE).
// Every run guards its own exceptions, so ending at once loses nothing.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
