// The main window's backdrop: a vertical colour gradient of 200 bands, with
// the heading at the top left and the status line at the bottom right.
// This header is free of <windows.h>; backdrop_paint.h has the GDI side.
#pragma once

#include <cstdint>
#include <vector>

namespace velmora {

inline constexpr int kBackdropBandCount = 200;

// Text colour of the heading and status line; both have a black shadow.
inline constexpr std::uint8_t kBackdropTextRed = 255;
inline constexpr std::uint8_t kBackdropTextGreen = 255;
inline constexpr std::uint8_t kBackdropTextBlue = 192;

struct BackdropBand {
  int top;     // first row
  int bottom;  // row after the last; equal to top for a band with no rows
  std::uint8_t red, green, blue;
};

// The 200 bands for a client area whose bottom edge is clientBottom.  Red
// rises and blue falls down the window; a window under 200 rows is banded as
// though it had 200.
std::vector<BackdropBand> BackdropBands(int clientBottom);

}  // namespace velmora
