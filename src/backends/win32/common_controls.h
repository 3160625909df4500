// The functions of the common controls library that the folder browser
// uses, from the system directory (system_library.h).
#pragma once

#include "backends/win32/win32_api.h"

namespace velmora {

// Each null when it cannot be had.  The library stays loaded, so the
// window classes InitCommonControlsEx registers stay usable.
struct CommonControls {
  decltype(&::InitCommonControlsEx) initCommonControlsEx;
  decltype(&::ImageList_Create) imageListCreate;
  decltype(&::ImageList_ReplaceIcon) imageListReplaceIcon;
  decltype(&::ImageList_Destroy) imageListDestroy;
};

// Loaded on first use.
const CommonControls& CommonControlsLibrary();

}  // namespace velmora
