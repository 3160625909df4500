#include "platform/win32/backdrop.h"

#include <algorithm>

#include "platform/win32/win32_api.h"

namespace velmora {

std::vector<BackdropBand> BackdropBands(int clientBottom) {
  // The painted area reaches one row past the client rectangle.
  const int height = std::max(clientBottom + 1, kBackdropBandCount);
  std::vector<BackdropBand> bands;
  bands.reserve(kBackdropBandCount);
  int top = 0;
  for (int i = 0; i < kBackdropBandCount; ++i) {
    const auto a = static_cast<std::uint8_t>(::MulDiv(i, 192, kBackdropBandCount));
    const int bottom = ::MulDiv(i + 1, height, kBackdropBandCount + 1);
    bands.push_back(BackdropBand{top, bottom, a, 128, static_cast<std::uint8_t>(255 - a)});
    top = bottom;
  }
  return bands;
}

}  // namespace velmora
