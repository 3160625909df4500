// The window a background image step paints: the installation's main
// window, which keeps one step as its background and asks it to paint the
// middle of the window from then on.  The run's context names it; without
// one a background step makes its picture and shows it nowhere.
#pragma once

namespace velmora {

class CStep;

class BackgroundWindow {
 public:
  virtual CStep* Background() const = 0;
  // `step` paints the window from now on; null gives the icon back.
  virtual void SetBackground(CStep* step) = 0;
  // Invalidates the whole window with its background and paints it before
  // answering.
  virtual void RepaintNow() = 0;

 protected:
  ~BackgroundWindow() = default;
};

}  // namespace velmora
