#include "backends/win32/common_controls.h"

#include "backends/win32/system_library.h"

namespace velmora {

const CommonControls& CommonControlsLibrary() {
  static const CommonControls library{
      SystemFunction<decltype(&::InitCommonControlsEx)>("comctl32.dll", "InitCommonControlsEx"),
      SystemFunction<decltype(&::ImageList_Create)>("comctl32.dll", "ImageList_Create"),
      SystemFunction<decltype(&::ImageList_ReplaceIcon)>("comctl32.dll", "ImageList_ReplaceIcon"),
      SystemFunction<decltype(&::ImageList_Destroy)>("comctl32.dll", "ImageList_Destroy"),
  };
  return library;
}

}  // namespace velmora
