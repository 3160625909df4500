// The agreement dialog as a real dialog (template 104).  The two captions
// and the text go into their controls when it opens; button 2 is then shown
// or hidden where the template put it.  Button 1 takes the controls' texts
// back and ends it with IDOK; button 2, Escape and the close box end it
// with IDCANCEL.
#include "backends/win32/modal_dialog.h"
#include "backends/win32/win32_api.h"
#include "backends/win32/win32_ui.h"
#include "dialogs/agreement_dialog.h"

namespace velmora {
namespace {

INT_PTR CALLBACK AgreementDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* dialog = reinterpret_cast<CAgreementDialog*>(::GetWindowLongPtrA(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      dialog = reinterpret_cast<CAgreementDialog*>(lParam);
      ::SetWindowLongPtrA(window, DWLP_USER, lParam);
      ::SetDlgItemTextA(window, IDCANCEL, dialog->m_refuseCaption.c_str());
      ::SetDlgItemTextA(window, IDOK, dialog->m_acceptCaption.c_str());
      // As given: a text with bare line feeds keeps them.
      ::SetDlgItemTextA(window, CAgreementDialog::kTextId, dialog->m_text.c_str());
      ::ShowWindow(::GetDlgItem(window, IDCANCEL), dialog->ShowsRefuseButton() ? SW_SHOW : SW_HIDE);
      // The dialog manager would focus the text by selecting all of it,
      // which scrolls it to its end: the text gets the focus with the caret
      // at its start instead, and opens at the top.
      if (HWND text = ::GetDlgItem(window, CAgreementDialog::kTextId); text != nullptr) {
        ::SetFocus(text);
        ::SendMessageA(text, EM_SETSEL, 0, 0);
        ::SendMessageA(text, EM_SCROLLCARET, 0, 0);
        return FALSE;
      }
      return TRUE;
    }
    case WM_COMMAND: {
      const WORD command = LOWORD(wParam);
      if (command != IDOK && command != IDCANCEL) return FALSE;
      if (command == IDOK) {
        dialog->m_refuseCaption = DialogItemText(window, IDCANCEL);
        dialog->m_acceptCaption = DialogItemText(window, IDOK);
        dialog->m_text = DialogItemText(window, CAgreementDialog::kTextId);
      }
      ::EndDialog(window, command);
      return TRUE;
    }
    default: return OtherDialogMessage(window, message);
  }
}

}  // namespace

int Win32Ui::RunAgreementDialog(CAgreementDialog& dialog) {
  const int answer = RunModalTemplate(CAgreementDialog::kTemplateId, AgreementDialogProc, &dialog);
  return answer == IDOK ? id::ok : id::cancel;
}

}  // namespace velmora
