// The uninstallation run (SetupWindow::RunUninstallation).
#include "shell/setup_window.h"

namespace velmora {

// Reading the uninstall log and undoing it joins with the uninstall log
// writer; until then every uninstallation is reported as unsuccessful.
bool SetupWindow::RunUninstallation() { return false; }

}  // namespace velmora
