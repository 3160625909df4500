#include "backends/win32/backdrop_paint.h"

#include "dialogs/backdrop.h"

namespace velmora {
namespace {

const COLORREF kShadow = RGB(0, 0, 0);
const COLORREF kLight = RGB(kBackdropTextRed, kBackdropTextGreen, kBackdropTextBlue);

void TextAt(HDC dc, int x, int y, COLORREF colour, const std::string& text) {
  ::SetTextColor(dc, colour);
  ::TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

}  // namespace

void PaintBackdropGradient(HDC dc, const RECT& client) {
  for (const BackdropBand& band : BackdropBands(client.bottom)) {
    HBRUSH brush = ::CreateSolidBrush(RGB(band.red, band.green, band.blue));
    if (brush == nullptr) continue;  // a band without a brush is left out
    const RECT area{client.left, band.top, client.right + 1, band.bottom};
    ::FillRect(dc, &area, brush);
    ::DeleteObject(brush);
  }
}

void PaintBackdropIcon(HDC dc, const RECT& client, HICON icon) {
  if (icon == nullptr) return;
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  ::DrawIcon(dc, (width - 32) / 2, (height - 32) / 2, icon);
}

void PaintBackdropTexts(HDC dc, const RECT& client, const std::string& heading,
                        const std::string& status) {
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const UINT oldAlign = ::SetTextAlign(dc, TA_RIGHT | TA_BOTTOM);
  // The shadow sits two pixels right of and below the light copy.
  TextAt(dc, client.right - 1, client.bottom - 8, kShadow, status);
  TextAt(dc, client.right - 3, client.bottom - 10, kLight, status);
  ::SetTextAlign(dc, TA_LEFT | TA_TOP);
  TextAt(dc, client.left + 3, client.top + 10, kShadow, heading);
  TextAt(dc, client.left + 1, client.top + 8, kLight, heading);
  ::SetTextAlign(dc, oldAlign);
  ::SetBkMode(dc, oldMode);
}

}  // namespace velmora
