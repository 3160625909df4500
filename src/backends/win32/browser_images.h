// The folder browser's image list: the eight browser icons reduced to
// 16 x 16, added in the order kFolderBrowserIconOrder gives, and the image
// index each icon resource ended up with.
#pragma once

#include <array>

#include "backends/win32/win32_api.h"
#include "dialogs/folder_tree.h"

namespace velmora {

// Image index per icon, -1 for an icon that could not be loaded or added.
class BrowserImageIndex {
 public:
  BrowserImageIndex() { indices_.fill(-1); }
  void Set(int iconId, int index);
  // -1 for an icon that is not one of the eight, or not in the list.
  int Of(int iconId) const;

 private:
  static int Slot(int iconId);  // position in kFolderBrowserIconOrder, or -1
  std::array<int, kFolderBrowserIconOrder.size()> indices_{};
};

class BrowserImages {
 public:
  // Loads the icons from the program's own resources.
  BrowserImages();
  ~BrowserImages();
  BrowserImages(const BrowserImages&) = delete;
  BrowserImages& operator=(const BrowserImages&) = delete;

  HIMAGELIST List() const { return list_; }
  const BrowserImageIndex& Index() const { return index_; }

 private:
  HIMAGELIST list_ = nullptr;
  BrowserImageIndex index_;
};

}  // namespace velmora
