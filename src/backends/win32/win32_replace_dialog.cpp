// The file replace question as a real dialog (template 105).  The six texts
// go into their static controls when it opens; OK and Cancel end it with
// their own results, as do Enter, Escape and the close box.
#include "backends/win32/modal_dialog.h"
#include "backends/win32/win32_api.h"
#include "backends/win32/win32_ui.h"
#include "dialogs/replace_file_dialog.h"

namespace velmora {
namespace {

INT_PTR CALLBACK ReplaceDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto* dialog = reinterpret_cast<const CReplaceFileDialog*>(lParam);
      const std::pair<int, const std::string*> fields[] = {
          {CReplaceFileDialog::kExistingDateId, &dialog->m_existingDate},
          {CReplaceFileDialog::kExistingNameId, &dialog->m_existingName},
          {CReplaceFileDialog::kExistingVersionId, &dialog->m_existingVersion},
          {CReplaceFileDialog::kNewDateId, &dialog->m_newDate},
          {CReplaceFileDialog::kNewNameId, &dialog->m_newName},
          {CReplaceFileDialog::kNewVersionId, &dialog->m_newVersion},
      };
      for (const auto& [control, text] : fields) ::SetDlgItemTextA(window, control, text->c_str());
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        ::EndDialog(window, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default: return OtherDialogMessage(window, message);
  }
}

}  // namespace

int Win32Ui::RunReplaceFileDialog(CReplaceFileDialog& dialog) {
  const int answer = RunModalTemplate(CReplaceFileDialog::kTemplateId, ReplaceDialogProc, &dialog);
  return answer == IDOK ? id::ok : id::cancel;
}

}  // namespace velmora
