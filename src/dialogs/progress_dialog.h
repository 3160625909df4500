// CProgressDialog: the small modeless dialog (template 112) in the bottom
// right corner of the screen that shows, during a run, which step is being
// worked on and how far the run has come.  This is its portable model: the
// fields and operations the runs use; the window itself is the current Ui's
// (ShowProgress / UpdateProgress / HideProgress), which paints the bar with
// LayoutProgressBar.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

class CProgressDialog {
 public:
  // Dialog template, its controls and its size in dialog units.
  static constexpr int kTemplateId = 112;
  static constexpr int kBarControlId = 1041;
  static constexpr int kFileTextControlId = 1002;
  static constexpr int kWidthUnits = 188;
  static constexpr int kHeightUnits = 70;

  // Creates the dialog and shows it (empty step line, 0%).
  CProgressDialog();
  // Destroys the dialog window.
  ~CProgressDialog();
  CProgressDialog(const CProgressDialog&) = delete;
  CProgressDialog& operator=(const CProgressDialog&) = delete;

  // The step line (control 1002), shown at once.
  void SetFileText(const std::string& text);
  // The value of the bar, redrawn at once.  Any value is kept; the bar
  // shows it clamped to 0..100.
  void SetPercent(int percent);

  const std::string& FileText() const { return m_fileText; }
  int Percent() const { return m_percent; }

 private:
  std::string m_fileText;
  std::int32_t m_percent = 0;
};

// How the bar control of width `width` shows `percent`: red from the left
// edge up to `split`, white from there to the right edge, and the text
// centred on it.  Divisions are integer divisions.
struct ProgressBarLayout {
  int percent = 0;                                   // the value clamped to 0..100
  int split = 0;                                     // width * percent / 100, from the left edge
  std::string text;                                  // "%u%%": "42%"
  bool fillsWhite() const { return percent < 100; }  // white part drawn
  bool fillsRed() const { return percent > 0; }      // red part drawn
};
ProgressBarLayout LayoutProgressBar(int width, int percent);

// The bar's value during an installation, from the weights (payload sizes)
// of all steps read and of the steps done so far; total must be above 0.
// A one-part installation runs from 0 to 100, a two-part one from 0 to 50
// in its first part and from 50 to 100 in its second.  64-bit arithmetic:
// weights of several gigabytes neither overflow nor stop the bar.
int InstallPercent(std::int64_t totalWeight, std::int64_t doneWeight, bool twoParts,
                   bool secondPart);

// Top left corner of the dialog, in screen coordinates, so that its bottom
// right corner ends 1 pixel left of the desktop's right edge and 10 pixels
// above its bottom; a dialog too large for that starts at the desktop's
// left or top edge, so that its caption stays on screen.
struct DialogPosition {
  int x = 0;
  int y = 0;
};
DialogPosition PlaceProgressDialog(int desktopRight, int desktopBottom, int dialogWidth,
                                   int dialogHeight);

}  // namespace velmora
