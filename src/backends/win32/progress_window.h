// The progress dialog's window: template 112, modeless, a child of the main
// window, placed in the bottom right corner of the screen.
#pragma once

#include <string>

#include "backends/win32/win32_api.h"

namespace velmora {

class ProgressWindow {
 public:
  // Creates, places and shows the dialog; without a parent nothing is shown
  // and the updates do nothing.
  explicit ProgressWindow(HWND parent);
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // Shows the step line and the bar's value at once: a run does not pump
  // messages between its steps, so nothing would be painted otherwise.
  void Update(const std::string& fileText, int percent);

  HWND Handle() const { return window_; }
  int Percent() const { return percent_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Place();

  HWND window_ = nullptr;
  std::string fileText_;
  int percent_ = 0;
};

}  // namespace velmora
