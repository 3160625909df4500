// The user information dialog as a real dialog (template 106).  The value
// goes into the edit field and the label into the static beside it when it
// opens; OK takes both back, however long the value.  Escape and the close
// box end it without taking anything.
#include "backends/win32/modal_dialog.h"
#include "backends/win32/win32_api.h"
#include "backends/win32/win32_ui.h"
#include "dialogs/user_info_dialog.h"

namespace velmora {
namespace {

INT_PTR CALLBACK UserInfoDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* dialog = reinterpret_cast<CUserInfoDialog*>(::GetWindowLongPtrA(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      dialog = reinterpret_cast<CUserInfoDialog*>(lParam);
      ::SetWindowLongPtrA(window, DWLP_USER, lParam);
      ::SetDlgItemTextA(window, CUserInfoDialog::kValueId, dialog->m_value.c_str());
      ::SetDlgItemTextA(window, CUserInfoDialog::kLabelId, dialog->m_label.c_str());
      return TRUE;
    }
    case WM_COMMAND: {
      const WORD command = LOWORD(wParam);
      if (command != IDOK && command != IDCANCEL) return FALSE;
      if (command == IDOK) {
        dialog->m_value = DialogItemText(window, CUserInfoDialog::kValueId);
        dialog->m_label = DialogItemText(window, CUserInfoDialog::kLabelId);
      }
      ::EndDialog(window, command);
      return TRUE;
    }
    default: return OtherDialogMessage(window, message);
  }
}

}  // namespace

int Win32Ui::RunUserInfoDialog(CUserInfoDialog& dialog) {
  const int answer = RunModalTemplate(CUserInfoDialog::kTemplateId, UserInfoDialogProc, &dialog);
  return answer == IDOK ? id::ok : id::cancel;
}

}  // namespace velmora
