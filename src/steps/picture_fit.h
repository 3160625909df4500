// Where the background picture goes in the main window: scaled to the
// largest size that fits without distortion, and centred.
#pragma once

#include "platform/device_context.h"

namespace velmora {

// The rectangle a picture of width x height is stretched onto in a client
// area of clientWidth x clientHeight.  The ratios are held in single
// precision and the margin truncated toward zero, so 400 x 300 in 1024 x 600
// gives x 111 to 913, not 112 to 912.  The whole client area when the sizes
// are equal, any of them is 0, or the ratios are equal.
PaintRect FitPicture(int width, int height, int clientWidth, int clientHeight);

}  // namespace velmora
