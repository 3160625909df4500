// Screen bitmaps for the background picture.  On displays of 8 bits per
// pixel or fewer the bitmap is made a second time on a memory context with
// the 64-colour palette realised, so that its colours map to that palette
// rather than to the few the system reserves.
#include <algorithm>
#include <cstring>
#include <vector>

#include "backends/win32/win32_api.h"
#include "backends/win32/win32_ui.h"
#include "services/bitmap_loader.h"

namespace velmora {
namespace {

// The info header and colour table, copied out of the image: in a bitmap
// file they follow the 14-byte file header and so are not DWORD-aligned.
class AlignedInfo {
 public:
  explicit AlignedInfo(const DibImage& image)
      : words_((std::max(image.infoSize, sizeof(BITMAPINFOHEADER)) + 3) / 4, 0) {
    std::memcpy(words_.data(), image.info, image.infoSize);
  }
  const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(words_.data()); }
  const BITMAPINFOHEADER* Header() const {
    return reinterpret_cast<const BITMAPINFOHEADER*>(words_.data());
  }

 private:
  std::vector<DWORD> words_;
};

HPALETTE CreateSixtyFourColourPalette() {
  const auto colours = SixtyFourColourPalette();
  std::vector<unsigned char> block(sizeof(LOGPALETTE) + colours.size() * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
  palette->palVersion = kPaletteVersion;
  palette->palNumEntries = static_cast<WORD>(colours.size());
  for (std::size_t i = 0; i < colours.size(); ++i) {
    palette->palPalEntry[i] = {colours[i].red, colours[i].green, colours[i].blue, colours[i].flags};
  }
  return ::CreatePalette(palette);
}

HBITMAP CreateFromDib(HDC dc, const AlignedInfo& info, const DibImage& image) {
  return ::CreateDIBitmap(dc, info.Header(), CBM_INIT, image.bits, info.Info(), DIB_RGB_COLORS);
}

// The bitmap made again on a memory context with the palette realised;
// null when any part of that fails.
HBITMAP CreateThroughPalette(HDC screen, HPALETTE palette, HBITMAP first, const AlignedInfo& info,
                             const DibImage& image) {
  HDC memory = ::CreateCompatibleDC(screen);
  HGDIOBJ previousBitmap = nullptr;
  HPALETTE previousPalette = nullptr;
  HBITMAP second = nullptr;
  if (memory != nullptr && first != nullptr) previousBitmap = ::SelectObject(memory, first);
  if (memory != nullptr) {
    previousPalette = ::SelectPalette(memory, palette, FALSE);
    if (previousPalette != nullptr) ::RealizePalette(memory);
  }
  if (first != nullptr && memory != nullptr) second = CreateFromDib(memory, info, image);
  if (memory != nullptr) {
    if (previousBitmap != nullptr) ::SelectObject(memory, previousBitmap);
    if (previousPalette != nullptr) ::SelectPalette(memory, previousPalette, FALSE);
    ::DeleteDC(memory);
  }
  return second;
}

}  // namespace

BitmapHandle Win32Ui::CreateScreenBitmap(const DibImage& image) {
  HDC screen = ::GetDC(nullptr);
  if (screen == nullptr) return 0;
  HPALETTE palette = nullptr;
  if (::GetDeviceCaps(screen, BITSPIXEL) <= 8) palette = CreateSixtyFourColourPalette();

  const AlignedInfo info(image);
  HBITMAP bitmap = CreateFromDib(screen, info, image);
  if (palette != nullptr) {
    HBITMAP second = CreateThroughPalette(screen, palette, bitmap, info, image);
    ::DeleteObject(palette);
    if (second != nullptr) {
      ::DeleteObject(bitmap);
      bitmap = second;
    }
  }
  ::ReleaseDC(nullptr, screen);
  return reinterpret_cast<BitmapHandle>(bitmap);
}

void Win32Ui::DeleteBitmap(BitmapHandle bitmap) {
  if (bitmap != 0) ::DeleteObject(reinterpret_cast<HBITMAP>(bitmap));
}

}  // namespace velmora
