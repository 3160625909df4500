#include "dialogs/directory_dialog.h"

#include "platform/ui.h"

namespace velmora {

int CDirectoryDialog::DoModal() { return CurrentUi().RunDirectoryDialog(*this); }

}  // namespace velmora
