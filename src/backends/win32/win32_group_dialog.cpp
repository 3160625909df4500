// The program group selection as a real dialog (template 113).  The prompt
// and the group name go into their controls and the names into the sorted
// list when it opens; OK takes the combo box's text back, unless the name
// cannot stand in a Program Manager command: then the user is told why and
// the dialog stays open on the name.  Escape and Alt+F4 end it without
// taking anything.
#include "backends/win32/modal_dialog.h"
#include "backends/win32/win32_api.h"
#include "backends/win32/win32_ui.h"
#include "dialogs/group_dialog.h"
#include "platform/ui.h"

namespace velmora {
namespace {

// The name in the combo box; false (with the user told) when OK cannot
// take it, and the edit field is selected for another try.
bool GroupFromControl(HWND window, CGroupDialog& dialog) {
  const std::string name = DialogItemText(window, CGroupDialog::kGroupId);
  if (!CGroupDialog::AcceptsName(name)) {
    ::MessageBoxA(window, CGroupDialog::kRefusedName, AppTitle().c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
    HWND combo = ::GetDlgItem(window, CGroupDialog::kGroupId);
    ::SetFocus(combo);
    ::SendMessageA(combo, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    return false;
  }
  dialog.m_group = name;
  return true;
}

INT_PTR CALLBACK GroupDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* dialog = reinterpret_cast<CGroupDialog*>(::GetWindowLongPtrA(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      dialog = reinterpret_cast<CGroupDialog*>(lParam);
      ::SetWindowLongPtrA(window, DWLP_USER, lParam);
      ::SetDlgItemTextA(window, CGroupDialog::kPromptId, dialog->m_prompt.c_str());
      ::SetDlgItemTextA(window, CGroupDialog::kGroupId, dialog->m_group.c_str());
      for (const std::string& name : dialog->TakeGroupNames()) {
        ::SendDlgItemMessageA(window, CGroupDialog::kGroupId, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(name.c_str()));
      }
      return TRUE;
    }
    case WM_COMMAND: {
      // OK copies the name back; Escape leaves the caller's text alone.
      const WORD command = LOWORD(wParam);
      if (command != IDOK && command != IDCANCEL) return FALSE;
      if (command == IDOK && !GroupFromControl(window, *dialog)) return TRUE;
      ::EndDialog(window, command);
      return TRUE;
    }
    default: return OtherDialogMessage(window, message);
  }
}

}  // namespace

int Win32Ui::RunGroupDialog(CGroupDialog& dialog) {
  const int answer = RunModalTemplate(CGroupDialog::kTemplateId, GroupDialogProc, &dialog);
  return answer == IDOK ? id::ok : id::cancel;
}

}  // namespace velmora
