#include "backends/win32/win32_ui.h"

#include "backends/win32/directory_dialog_window.h"
#include "backends/win32/main_window_handle.h"
#include "backends/win32/progress_window.h"
#include "backends/win32/win32_api.h"

namespace velmora {

Win32Ui::Win32Ui() = default;
Win32Ui::~Win32Ui() = default;

int Win32Ui::MessageBox(const std::string& text, const std::string& caption, std::uint32_t style) {
  // No owner window: task-modal keeps the setup window from taking input
  // while the box is up, and the box comes to the front even when the setup
  // window is not the active one.  A box that cannot be shown answers 0.
  return ::MessageBoxA(nullptr, text.c_str(), caption.c_str(),
                       style | MB_TASKMODAL | MB_SETFOREGROUND);
}

int Win32Ui::RunDirectoryDialog(CDirectoryDialog& dialog) {
  return RunDirectoryDialogWindow(dialog) == IDOK ? id::ok : id::cancel;
}

void Win32Ui::ShowProgress() { progress_ = std::make_unique<ProgressWindow>(MainWindowHandle()); }

void Win32Ui::UpdateProgress(const std::string& fileText, int percent) {
  if (progress_ != nullptr) progress_->Update(fileText, percent);
}

void Win32Ui::HideProgress() { progress_.reset(); }

void Win32Ui::MainWindowChanged(const std::string&, const std::string&, WindowPicture*) {
  // The host window paints the texts and the picture from the setup window
  // itself; here it is only told to do so now, background first, since a
  // run does not pump messages between its steps.
  if (HWND window = MainWindowHandle(); window != nullptr) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  }
}

}  // namespace velmora
