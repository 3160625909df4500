// Painting on the main window: the device context the background picture
// draws on, and the screen bitmaps it draws.  Free of <windows.h>: the Win32
// backend wraps a real HDC, the scripted Ui records what would be drawn.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora {

// A device-dependent bitmap made by the current Ui; 0 = none.
using BitmapHandle = std::uintptr_t;

struct PaintRect {
  int left = 0;
  int top = 0;
  int right = 0;   // column after the last
  int bottom = 0;  // row after the last
  friend bool operator==(const PaintRect&, const PaintRect&) = default;
};

// A bitmap file image whose header has been checked against the image's
// length (services/bitmap_loader.h): both stretches lie inside the image.
struct DibImage {
  const std::uint8_t* info = nullptr;  // info header, masks and colour table (file offset 14)
  std::size_t infoSize = 0;
  const std::uint8_t* bits = nullptr;  // the pixel bits, at the offset stored at file offset 10
  std::size_t bitsSize = 0;            // what the pixels take (compressed: the stored image size)
  int width = 0;
  int height = 0;  // as stored: negative for rows from the top down
  int bitCount = 0;
};

class CDC {
 public:
  virtual ~CDC() = default;
  // Width and height of a bitmap; false when they cannot be read.
  virtual bool GetBitmapSize(BitmapHandle bitmap, int& width, int& height) const = 0;
  // The client rectangle of the window this context paints.
  virtual PaintRect GetClientRect() const = 0;
  // Draws the whole bitmap (0, 0, width, height) stretched onto `target`,
  // copying its pixels.
  virtual void StretchBitmap(BitmapHandle bitmap, int width, int height,
                             const PaintRect& target) = 0;
};

// What the main window paints in its middle in place of the application
// icon: the background picture a step has made.
class WindowPicture {
 public:
  virtual void PaintPicture(CDC& dc) = 0;

 protected:
  ~WindowPicture() = default;
};

}  // namespace velmora
