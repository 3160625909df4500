// Modal dialogs from the program's dialog templates, as every dialog of the
// system is shown: no parent window, the caller's data handed to the dialog
// procedure with WM_INITDIALOG.
#pragma once

#include <string>
#include <vector>

#include "backends/win32/win32_api.h"

namespace velmora {

// Runs the dialog; answers IDOK when it ended with IDOK, IDCANCEL otherwise.
inline int RunModalTemplate(int templateId, DLGPROC procedure, void* data) {
  const INT_PTR result =
      ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), nullptr,
                        procedure, reinterpret_cast<LPARAM>(data));
  return result == IDOK ? IDOK : IDCANCEL;
}

// What a dialog procedure answers for the messages it does not handle
// itself: the close box ends the dialog as Escape does.
inline INT_PTR OtherDialogMessage(HWND window, UINT message) {
  if (message != WM_CLOSE) return FALSE;
  ::EndDialog(window, IDCANCEL);
  return TRUE;
}

// The whole text of a control, however long.
inline std::string DialogItemText(HWND window, int control) {
  const int length = ::GetWindowTextLengthA(::GetDlgItem(window, control));
  std::vector<char> text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  ::GetDlgItemTextA(window, control, text.data(), static_cast<int>(text.size()));
  return text.data();
}

}  // namespace velmora
