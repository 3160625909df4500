// The full-screen main window of SETUP.EXE: paints the backdrop and, 2.5
// seconds after it appears, runs the operation once and closes.
#pragma once

#include <string>

#include "platform/win32/win32_api.h"

namespace velmora::setup {

class SetupWindow {
 public:
  SetupWindow(HINSTANCE instance, bool install, std::string exeName, std::string logPath);
  SetupWindow(const SetupWindow&) = delete;
  SetupWindow& operator=(const SetupWindow&) = delete;

  // Registers the window class and creates the window; false on failure.
  bool Create();
  HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnTimer(UINT_PTR timer);
  void OnPaint();

  HINSTANCE instance_;
  HWND window_ = nullptr;
  bool install_;
  std::string exeName_;  // module base name, case kept
  std::string logPath_;  // uninstall mode: the command line
  std::string title_;    // product title, empty until known
  std::string statusText_;
  HICON appIcon_ = nullptr;
  HCURSOR arrowCursor_ = nullptr;
};

}  // namespace velmora::setup
