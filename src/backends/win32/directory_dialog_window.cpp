#include "backends/win32/directory_dialog_window.h"

#include <string>

#include "backends/win32/folder_browser_window.h"
#include "backends/win32/resources/resource_ids.h"
#include "backends/win32/win32_api.h"
#include "dialogs/directory_dialog.h"
#include "platform/ui.h"

namespace velmora {
namespace {

// The platform's standard refusal of a longer entry than a field takes.
constexpr char kPathTooLong[] = "Please enter no more than 260 characters.";
static_assert(kMaxPathBytes == 260, "the message names the limit");

void FieldsToControls(HWND window, const CDirectoryDialog& dialog) {
  ::SetDlgItemTextA(window, IDC_DIRECTORY_PATH, dialog.m_path.c_str());
  ::SetDlgItemTextA(window, IDC_DIRECTORY_QUESTION, dialog.m_question.c_str());
}

// The path back from the edit; false (with the user told) when it is longer
// than the field takes, and the dialog stays open on the edit.
bool PathFromControl(HWND window, CDirectoryDialog& dialog) {
  HWND edit = ::GetDlgItem(window, IDC_DIRECTORY_PATH);
  const int length = ::GetWindowTextLengthA(edit);
  if (length < 0 || static_cast<std::size_t>(length) > kMaxPathBytes) {
    ::MessageBoxA(window, kPathTooLong, AppTitle().c_str(), MB_OK | MB_ICONEXCLAMATION);
    ::SetFocus(edit);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    return false;
  }
  std::string path(static_cast<std::size_t>(length) + 1, '\0');
  const int got = ::GetWindowTextA(edit, path.data(), length + 1);
  path.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  dialog.m_path = path;
  return true;
}

void Browse(HWND window, CDirectoryDialog& dialog) {
  std::string chosen;
  if (RunFolderBrowser(chosen) != IDOK) return;  // the typed path stays
  dialog.m_path = chosen;
  FieldsToControls(window, dialog);
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrA(window, DWLP_USER, lParam);
    auto* dialog = reinterpret_cast<CDirectoryDialog*>(lParam);
    ::SendDlgItemMessageA(window, IDC_DIRECTORY_PATH, EM_LIMITTEXT, kMaxPathBytes, 0);
    FieldsToControls(window, *dialog);
    // Nothing owns the dialog, so it brings itself to the front.
    ::SetForegroundWindow(window);
    return TRUE;
  }
  auto* dialog = reinterpret_cast<CDirectoryDialog*>(::GetWindowLongPtrA(window, DWLP_USER));
  if (message != WM_COMMAND || dialog == nullptr) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      if (PathFromControl(window, *dialog)) ::EndDialog(window, IDOK);
      return TRUE;
    case IDCANCEL: ::EndDialog(window, IDCANCEL); return TRUE;
    case IDC_DIRECTORY_BROWSE:
      if (HIWORD(wParam) == BN_CLICKED) Browse(window, *dialog);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

int RunDirectoryDialogWindow(CDirectoryDialog& dialog) {
  const INT_PTR answer =
      ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_DIRECTORY), nullptr,
                        &DialogProc, reinterpret_cast<LPARAM>(&dialog));
  return answer == IDOK ? IDOK : IDCANCEL;
}

}  // namespace velmora
