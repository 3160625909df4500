// The Win32 window of SETUP.EXE that hosts the portable SetupWindow: covers
// the desktop, paints the backdrop with the setup window's heading, status
// line and picture (a background step's, or the icon), runs the operation
// on its first timer tick and then closes.
#pragma once

#include "backends/win32/win32_api.h"

namespace velmora {
class SetupWindow;
}

namespace velmora::setup {

class HostWindow {
 public:
  HostWindow(HINSTANCE instance, SetupWindow& setup);
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  // Registers the window class, creates the window and starts the timer;
  // false on failure.
  bool Create();
  HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnTimer(UINT_PTR timer);
  void OnPaint();

  HINSTANCE instance_;
  SetupWindow& setup_;
  HWND window_ = nullptr;
  HICON appIcon_ = nullptr;
  HCURSOR arrowCursor_ = nullptr;
};

}  // namespace velmora::setup
