// An off-screen 32-bit canvas for the Win32 painting tests: a memory
// device context over a top-down DIB section whose pixels are read back
// directly.
#pragma once
#ifdef _WIN32

#include <cstdint>

#include "backends/win32/win32_api.h"

namespace velmora {

// A width x height bitmap with pixels readable in memory, pre-filled with a
// colour the pictures under test do not use, so untouched pixels stand out.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = ::CreateCompatibleDC(nullptr);
    bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                                 nullptr, 0);
    old_ = ::SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i) bits_[i] = 0x00123456;
  }
  ~Canvas() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  bool Ready() const { return dc_ != nullptr && bits_ != nullptr; }
  HDC Dc() const { return dc_; }

  COLORREF At(int x, int y) const {
    const std::uint32_t p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // Pixels of a colour inside the rectangle [x0, x1) x [y0, y1).
  int Count(COLORREF colour, int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) n += At(x, y) == colour;
    }
    return n;
  }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

}  // namespace velmora

#endif  // _WIN32
