#include "dialogs/agreement_dialog.h"

#include "platform/ui.h"

namespace velmora {

int CAgreementDialog::DoModal() { return CurrentUi().RunAgreementDialog(*this); }

}  // namespace velmora
