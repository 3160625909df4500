// Painting the main window's backdrop (see backdrop.h) with GDI.
#pragma once

#include <string>

#include "backends/win32/win32_api.h"

namespace velmora {

// The gradient over the whole client area (WM_ERASEBKGND).
void PaintBackdropGradient(HDC dc, const RECT& client);

// The icon in the middle of the client area.
void PaintBackdropIcon(HDC dc, const RECT& client, HICON icon);

// The status line at the bottom right, then the heading at the top left,
// each as a light text over a black shadow, in the device context's font.
void PaintBackdropTexts(HDC dc, const RECT& client, const std::string& heading,
                        const std::string& status);

}  // namespace velmora
