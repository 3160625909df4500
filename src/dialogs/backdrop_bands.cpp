#include <algorithm>
#include <cstdint>

#include "dialogs/backdrop.h"

namespace velmora {
namespace {

// value * numerator / denominator, rounded half up, as Windows' MulDiv
// answers for the non-negative arguments used here.
int MulDivRounded(int value, int numerator, int denominator) {
  const std::int64_t product = std::int64_t{value} * numerator;
  return static_cast<int>((product + denominator / 2) / denominator);
}

}  // namespace

std::vector<BackdropBand> BackdropBands(int clientBottom) {
  // The painted area reaches one row past the client rectangle.
  const int height = std::max(clientBottom + 1, kBackdropBandCount);
  std::vector<BackdropBand> bands;
  bands.reserve(kBackdropBandCount);
  int top = 0;
  for (int i = 0; i < kBackdropBandCount; ++i) {
    const auto a = static_cast<std::uint8_t>(MulDivRounded(i, 192, kBackdropBandCount));
    const int bottom = MulDivRounded(i + 1, height, kBackdropBandCount + 1);
    bands.push_back(BackdropBand{top, bottom, a, 128, static_cast<std::uint8_t>(255 - a)});
    top = bottom;
  }
  return bands;
}

}  // namespace velmora
