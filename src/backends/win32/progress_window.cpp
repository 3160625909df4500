#include "backends/win32/progress_window.h"

#include "backends/win32/progress_bar_paint.h"
#include "backends/win32/resources/resource_ids.h"
#include "dialogs/progress_dialog.h"

namespace velmora {

ProgressWindow::ProgressWindow(HWND parent) {
  if (parent == nullptr) return;
  window_ =
      ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROGRESS), parent,
                           &ProgressWindow::DialogProc, reinterpret_cast<LPARAM>(this));
  if (window_ == nullptr) return;
  ::SetDlgItemTextA(window_, IDC_PROGRESS_FILE, "");
  Place();
}

ProgressWindow::~ProgressWindow() {
  if (window_ != nullptr) ::DestroyWindow(window_);
}

void ProgressWindow::Place() {
  RECT dialog{};
  ::GetWindowRect(window_, &dialog);
  RECT desktop{0, 0, 640, 480};
  if (HWND screen = ::GetDesktopWindow(); screen != nullptr) ::GetWindowRect(screen, &desktop);
  const DialogPosition at = PlaceProgressDialog(
      desktop.right, desktop.bottom, dialog.right - dialog.left, dialog.bottom - dialog.top);
  // The dialog is a child of the main window: SetWindowPos takes the
  // corner in the main window's client coordinates, below its caption.
  POINT corner{at.x, at.y};
  ::ScreenToClient(::GetParent(window_), &corner);
  ::SetWindowPos(window_, nullptr, corner.x, corner.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  ::RedrawWindow(window_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void ProgressWindow::Update(const std::string& fileText, int percent) {
  if (window_ == nullptr) return;
  if (fileText != fileText_) {
    fileText_ = fileText;
    ::SetDlgItemTextA(window_, IDC_PROGRESS_FILE, fileText_.c_str());
    ::RedrawWindow(::GetDlgItem(window_, IDC_PROGRESS_FILE), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  if (percent != percent_) {
    percent_ = percent;
    ::RedrawWindow(::GetDlgItem(window_, IDC_PROGRESS_BAR), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_UPDATENOW);
  }
}

INT_PTR CALLBACK ProgressWindow::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrA(window, DWLP_USER, lParam);
    return TRUE;
  }
  auto* self = reinterpret_cast<ProgressWindow*>(::GetWindowLongPtrA(window, DWLP_USER));
  if (message == WM_DRAWITEM && self != nullptr) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlID != IDC_PROGRESS_BAR) return FALSE;
    PaintProgressBar(item->hDC, item->rcItem, self->percent_);
    return TRUE;
  }
  return FALSE;
}

}  // namespace velmora
