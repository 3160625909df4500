#include "shell/run_window.h"

#include "steps/step.h"

namespace velmora {

RunWindow::RunWindow(RunMode mode)
    : mode_(mode),
      status_(mode == RunMode::install
                  ? "Tarnwick's Velmora(TM) is preparing the installation.  Please wait."
                  : "Tarnwick's Velmora(TM) is preparing the uninstallation.  Please wait.") {}

std::string RunWindow::HeadingText() const {
  const std::string lead = mode_ == RunMode::install ? "Velmora(TM) is now installing "
                                                     : "Velmora(TM) is now uninstalling ";
  return lead + (title_.empty() ? "..." : title_);
}

void RunWindow::SetTitle(const std::string& title) {
  title_ = title;
  Repaint();
}

void RunWindow::SetStatusText(const std::string& text) {
  status_ = text;
  Repaint();
}

void RunWindow::Repaint() {
  CurrentUi().MainWindowChanged(HeadingText(), status_, background_ != nullptr ? this : nullptr);
}

void RunWindow::PaintPicture(CDC& dc) {
  if (background_ != nullptr) background_->Paint(&dc);
}

}  // namespace velmora
