// Bitmap loading: a Windows bitmap file image (file header, info header,
// colour table, pixel bits) made into a bitmap for the screen by the
// current Ui, through a fixed 64-colour palette on displays of 8 bits per
// pixel or fewer.  The background image step uses it on the picture held
// in memory at run time and on the picture's file for its preview.
//
// Images come from package data and may be damaged or hostile: every size,
// offset and colour count of the header is checked against the image's
// length before anything is handed to the platform (CheckBitmapImage).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/device_context.h"

namespace velmora {

// One entry of a logical palette (PALETTEENTRY): red, green, blue, flags.
struct PaletteColour {
  std::uint8_t red = 0, green = 0, blue = 0, flags = 0;
  friend bool operator==(const PaletteColour&, const PaletteColour&) = default;
};

// The 64-colour palette: entry i has red (i & 3) * 85, green (i >> 2 & 3) *
// 85, blue (i >> 4 & 3) * 85, flags 0.  Version of the logical palette: 0x300.
inline constexpr std::uint16_t kPaletteVersion = 0x300;
std::array<PaletteColour, 64> SixtyFourColourPalette();

// The bitmap file image's header checked against `size` bytes: the info
// header, its masks and colour table, and the pixel bits at the stored
// offset all lie inside the image, and the picture's sizes and format are
// ones the platform draws.  Nothing when any check fails.
std::optional<DibImage> CheckBitmapImage(const std::uint8_t* image, std::size_t size);

// The file named by `path` read whole and made into a bitmap.  Null or
// empty path: 0.  An open or read error shows the bitmap file error box
// ("File Error...") and gives 0; so does an image that is not a bitmap,
// without a message.
BitmapHandle LoadBitmapFile(const char* path);

// 0 unless the image starts with "BM"; otherwise CreateBitmapFromDib.
BitmapHandle CreateBitmapFromImage(const std::uint8_t* image, std::size_t size);

// The checked image made into a screen bitmap by the current Ui; 0 for a
// null image, one that fails the checks, or one the platform cannot make.
BitmapHandle CreateBitmapFromDib(const std::uint8_t* image, std::size_t size);

}  // namespace velmora
