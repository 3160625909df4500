// Modal dialogs from the program's dialog templates, as every dialog of the
// system is shown: no parent window, the caller's data handed to the dialog
// procedure with WM_INITDIALOG.
#pragma once

#include "platform/win32/win32_api.h"

namespace velmora {

// Runs the dialog; answers IDOK when it ended with IDOK, IDCANCEL otherwise.
inline int RunModalTemplate(int templateId, DLGPROC procedure, void* data) {
  const INT_PTR result = ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                                           nullptr, procedure, reinterpret_cast<LPARAM>(data));
  return result == IDOK ? IDOK : IDCANCEL;
}

// What a dialog procedure answers for the messages it does not handle
// itself: the close box ends the dialog as Escape does.
inline INT_PTR OtherDialogMessage(HWND window, UINT message) {
  if (message != WM_CLOSE) return FALSE;
  ::EndDialog(window, IDCANCEL);
  return TRUE;
}

}  // namespace velmora
