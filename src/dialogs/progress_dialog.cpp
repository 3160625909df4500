#include "dialogs/progress_dialog.h"

#include <algorithm>

#include "platform/ui.h"

namespace velmora {

CProgressDialog::CProgressDialog() { CurrentUi().ShowProgress(); }

CProgressDialog::~CProgressDialog() { CurrentUi().HideProgress(); }

void CProgressDialog::SetFileText(const std::string& text) {
  m_fileText = text;
  CurrentUi().UpdateProgress(m_fileText, m_percent);
}

void CProgressDialog::SetPercent(int percent) {
  m_percent = percent;
  CurrentUi().UpdateProgress(m_fileText, m_percent);
}

ProgressBarLayout LayoutProgressBar(int width, int percent) {
  ProgressBarLayout layout;
  layout.percent = std::clamp(percent, 0, 100);
  // 64-bit product: a bar is never that wide, but the arithmetic must not
  // depend on it.
  layout.split = static_cast<int>(static_cast<std::int64_t>(width) * layout.percent / 100);
  layout.text = std::to_string(layout.percent) + "%";
  return layout;
}

int InstallPercent(std::int64_t totalWeight, std::int64_t doneWeight, bool twoParts,
                   bool secondPart) {
  if (secondPart) return static_cast<int>(50 + doneWeight * 50 / totalWeight);
  if (twoParts) return static_cast<int>(doneWeight * 50 / totalWeight);
  return static_cast<int>(doneWeight * 100 / totalWeight);
}

DialogPosition PlaceProgressDialog(int desktopRight, int desktopBottom, int dialogWidth,
                                   int dialogHeight) {
  return {std::max(0, desktopRight - dialogWidth - 1),
          std::max(0, desktopBottom - dialogHeight - 10)};
}

}  // namespace velmora
