// Drawing the progress dialog's percentage bar (owner-drawn control 1041):
// red up to the split point, white after it, the percentage centred in blue.
#pragma once

#include "backends/win32/win32_api.h"

namespace velmora {

// Draws into dc over item.  The picture is composed off screen and copied in
// one go when a memory bitmap can be had, so the bar does not flicker while
// a run updates it many times a second; otherwise it is drawn in place.
void PaintProgressBar(HDC dc, const RECT& item, int percent);

}  // namespace velmora
