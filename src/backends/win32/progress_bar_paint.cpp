#include "backends/win32/progress_bar_paint.h"

#include "dialogs/progress_dialog.h"

namespace velmora {
namespace {

void DrawBar(HDC dc, const RECT& area, int percent) {
  const int width = area.right - area.left;
  const ProgressBarLayout layout = LayoutProgressBar(width, percent);
  const int split = area.left + layout.split;
  if (layout.fillsWhite()) {
    const RECT white{split, area.top, area.right, area.bottom};
    ::FillRect(dc, &white, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }
  if (layout.fillsRed()) {
    const RECT red{area.left, area.top, split, area.bottom};
    HBRUSH brush = ::CreateSolidBrush(RGB(255, 0, 0));
    ::FillRect(dc, &red,
               brush != nullptr ? brush : static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    if (brush != nullptr) ::DeleteObject(brush);
  }
  const COLORREF oldColour = ::SetTextColor(dc, RGB(0, 0, 255));
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  RECT textArea = area;
  ::DrawTextA(dc, layout.text.c_str(), static_cast<int>(layout.text.size()), &textArea,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  ::SetBkMode(dc, oldMode);
  ::SetTextColor(dc, oldColour);
}

}  // namespace

void PaintProgressBar(HDC dc, const RECT& item, int percent) {
  const int width = item.right - item.left;
  const int height = item.bottom - item.top;
  HBITMAP bitmap = ::CreateCompatibleBitmap(dc, width, height);
  HDC memory = ::CreateCompatibleDC(dc);
  HGDIOBJ oldBitmap =
      memory != nullptr && bitmap != nullptr ? ::SelectObject(memory, bitmap) : nullptr;
  if (oldBitmap == nullptr || oldBitmap == HGDI_ERROR) {
    DrawBar(dc, item, percent);
  } else {
    // The memory context starts with the system font; the bar's text uses
    // the dialog's font, as it does when drawn in place.
    HGDIOBJ oldFont = ::SelectObject(memory, ::GetCurrentObject(dc, OBJ_FONT));
    DrawBar(memory, RECT{0, 0, width, height}, percent);
    ::BitBlt(dc, item.left, item.top, width, height, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, oldFont);
    ::SelectObject(memory, oldBitmap);
  }
  if (memory != nullptr) ::DeleteDC(memory);
  if (bitmap != nullptr) ::DeleteObject(bitmap);
}

}  // namespace velmora
