// What the setup program's main window shows while a run goes on: the
// heading with the package's title, the status line, and the picture of a
// background image step (the icon while there is none).  The host window
// paints it; every change goes to the Ui at once (MainWindowChanged), since
// a run does not pump messages between its steps.
#pragma once

#include <string>

#include "platform/device_context.h"
#include "platform/ui.h"
#include "shell/run_setup.h"
#include "steps/background_window.h"

namespace velmora {

class CStep;

class RunWindow final : public BackgroundWindow, public WindowPicture {
 public:
  explicit RunWindow(RunMode mode);

  // "Velmora(TM) is now installing " (or "uninstalling ") and the title, or
  // "..." while the title is not known.
  std::string HeadingText() const;
  const std::string& StatusText() const { return status_; }
  // Each replaces its text and repaints the window at once.
  void SetTitle(const std::string& title);
  void SetStatusText(const std::string& text);

  // The background image step that paints the middle of the window (set
  // and cleared by that step); null while the icon is there.
  CStep* Background() const override { return background_; }
  void SetBackground(CStep* step) override { background_ = step; }
  void RepaintNow() override { Repaint(); }
  // The background step's picture; nothing without one.
  void PaintPicture(CDC& dc) override;

 private:
  void Repaint();

  RunMode mode_;
  std::string title_;
  std::string status_;
  CStep* background_ = nullptr;
};

}  // namespace velmora
