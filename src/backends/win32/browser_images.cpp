#include "backends/win32/browser_images.h"

#include "backends/win32/common_controls.h"

namespace velmora {

int BrowserImageIndex::Slot(int iconId) {
  for (std::size_t i = 0; i < kFolderBrowserIconOrder.size(); ++i) {
    if (kFolderBrowserIconOrder[i] == iconId) return static_cast<int>(i);
  }
  return -1;
}

void BrowserImageIndex::Set(int iconId, int index) {
  if (const int slot = Slot(iconId); slot >= 0) indices_[static_cast<std::size_t>(slot)] = index;
}

int BrowserImageIndex::Of(int iconId) const {
  const int slot = Slot(iconId);
  return slot < 0 ? -1 : indices_[static_cast<std::size_t>(slot)];
}

BrowserImages::BrowserImages() {
  const CommonControls& controls = CommonControlsLibrary();
  if (!controls.imageListCreate || !controls.imageListReplaceIcon || !controls.imageListDestroy)
    return;
  // Colour images without a mask, room for seven to start, no growth step
  // of its own (the list still takes the eighth).
  list_ = controls.imageListCreate(16, 16, 0, 7, 0);
  if (list_ == nullptr) return;
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  for (const int iconId : kFolderBrowserIconOrder) {
    HICON icon = ::LoadIconA(instance, MAKEINTRESOURCEA(iconId));
    if (icon == nullptr) continue;
    index_.Set(iconId, controls.imageListReplaceIcon(list_, -1, icon));  // -1 adds it
  }
}

BrowserImages::~BrowserImages() {
  if (list_ != nullptr) CommonControlsLibrary().imageListDestroy(list_);
}

}  // namespace velmora
