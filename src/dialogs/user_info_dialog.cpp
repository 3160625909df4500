#include "dialogs/user_info_dialog.h"

#include "platform/ui.h"

namespace velmora {

int CUserInfoDialog::DoModal() { return CurrentUi().RunUserInfoDialog(*this); }

}  // namespace velmora
