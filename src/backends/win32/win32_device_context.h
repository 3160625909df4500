// The main window's device context as the portable painting code sees it:
// a real HDC and the window it paints, with bitmaps made by
// Win32Ui::CreateScreenBitmap.
#pragma once

#include "backends/win32/win32_api.h"
#include "platform/device_context.h"

namespace velmora {

class Win32DC final : public CDC {
 public:
  // The context is the caller's (BeginPaint's, say) and stays so.
  Win32DC(HDC dc, HWND window) : dc_(dc), window_(window) {}

  // False unless GetObject fills a whole BITMAP.
  bool GetBitmapSize(BitmapHandle bitmap, int& width, int& height) const override;
  PaintRect GetClientRect() const override;
  // Through a memory context holding the bitmap, with SRCCOPY.
  void StretchBitmap(BitmapHandle bitmap, int width, int height, const PaintRect& target) override;

 private:
  HDC dc_;
  HWND window_;
};

}  // namespace velmora
