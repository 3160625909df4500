#include "dialogs/replace_file_dialog.h"

#include "platform/ui.h"

namespace velmora {

int CReplaceFileDialog::DoModal() { return CurrentUi().RunReplaceFileDialog(*this); }

}  // namespace velmora
