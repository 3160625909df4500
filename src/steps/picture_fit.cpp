#include "steps/picture_fit.h"

namespace velmora {

PaintRect FitPicture(int width, int height, int clientWidth, int clientHeight) {
  PaintRect rect{0, 0, clientWidth, clientHeight};
  if ((width == clientWidth && height == clientHeight) || width == 0 || height == 0 ||
      clientWidth == 0 || clientHeight == 0)
    return rect;
  // Single precision is part of the result: 1024 / 400 held as a float is
  // 2.5599999..., which makes the 400 x 300 margin 111.99999... and so 111.
  const float rx = static_cast<float>(static_cast<double>(clientWidth) / width);
  const float ry = static_cast<float>(static_cast<double>(clientHeight) / height);
  if (rx > ry) {
    const int margin = static_cast<int>(clientWidth * (1.0 - static_cast<double>(ry) / rx) / 2);
    rect.left = margin;
    rect.right = clientWidth - margin;
  } else if (ry > rx) {
    const int margin = static_cast<int>(clientHeight * (1.0 - static_cast<double>(rx) / ry) / 2);
    rect.top = margin;
    rect.bottom = clientHeight - margin;
  }
  return rect;
}

}  // namespace velmora
