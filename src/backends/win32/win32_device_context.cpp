#include "backends/win32/win32_device_context.h"

namespace velmora {

bool Win32DC::GetBitmapSize(BitmapHandle bitmap, int& width, int& height) const {
  BITMAP info{};
  if (::GetObjectA(reinterpret_cast<HGDIOBJ>(bitmap), sizeof info, &info) != sizeof info) {
    return false;
  }
  width = info.bmWidth;
  height = info.bmHeight;
  return true;
}

PaintRect Win32DC::GetClientRect() const {
  RECT client{};
  ::GetClientRect(window_, &client);
  return {client.left, client.top, client.right, client.bottom};
}

void Win32DC::StretchBitmap(BitmapHandle bitmap, int width, int height, const PaintRect& target) {
  HDC memory = ::CreateCompatibleDC(dc_);
  if (memory == nullptr) return;
  HGDIOBJ previous = ::SelectObject(memory, reinterpret_cast<HGDIOBJ>(bitmap));
  ::StretchBlt(dc_, target.left, target.top, target.right - target.left, target.bottom - target.top,
               memory, 0, 0, width, height, SRCCOPY);
  ::SelectObject(memory, previous);
  ::DeleteDC(memory);
}

}  // namespace velmora
