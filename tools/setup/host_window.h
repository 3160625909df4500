// The Win32 window of SETUP.EXE that hosts a run: covers the desktop, paints
// the backdrop with the run window's heading, status line and picture (a
// background step's, or the icon), runs the operation on its first timer
// tick and then closes.
#pragma once

#include "backends/win32/win32_api.h"
#include "shell/run_setup.h"

namespace velmora {
class RunWindow;
}

namespace velmora::setup {

class HostWindow {
 public:
  // `request` names `view` as its window.
  HostWindow(HINSTANCE instance, RunWindow& view, RunRequest request);
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  // Registers the window class, creates the window and starts the timer;
  // false on failure.
  bool Create();
  HWND Handle() const { return window_; }
  // What the run ended with; notRun until the timer fired.
  RunOutcome Outcome() const { return outcome_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnTimer(UINT_PTR timer);
  void OnPaint();

  HINSTANCE instance_;
  RunWindow& view_;
  RunRequest request_;
  RunOutcome outcome_ = RunOutcome::notRun;
  HWND window_ = nullptr;
  HICON appIcon_ = nullptr;
  HCURSOR arrowCursor_ = nullptr;
};

}  // namespace velmora::setup
