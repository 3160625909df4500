#include "platform/win32/win32_ui.h"

#include "platform/win32/win32_api.h"

namespace velmora {

int Win32Ui::MessageBox(const std::string& text, const std::string& caption,
                        std::uint32_t style) {
  // No owner window: task-modal keeps the setup window from taking input
  // while the box is up, and the box comes to the front even when the setup
  // window is not the active one.  A box that cannot be shown answers 0.
  return ::MessageBoxA(nullptr, text.c_str(), caption.c_str(),
                       style | MB_TASKMODAL | MB_SETFOREGROUND);
}

}  // namespace velmora
