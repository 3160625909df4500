#include "robot_fit.h"

int FitPictureRect(HWND window, int width, int height, RECT* out) {
  RECT client;
  POINT origin = {0, 0};
  if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin)) return 0;
  const int cw = client.right - client.left, ch = client.bottom - client.top;
  RECT fit = {0, 0, cw, ch};
  if (width > 0 && height > 0 && cw > 0 && ch > 0 && !(width == cw && height == ch)) {
    const float rx = (float)((double)cw / width);
    const float ry = (float)((double)ch / height);
    if (rx > ry) {
      const int margin = (int)(cw * (1.0 - (double)ry / rx) / 2);
      fit.left = margin;
      fit.right = cw - margin;
    } else if (ry > rx) {
      const int margin = (int)(ch * (1.0 - (double)rx / ry) / 2);
      fit.top = margin;
      fit.bottom = ch - margin;
    }
  }
  out->left = fit.left + origin.x;
  out->top = fit.top + origin.y;
  out->right = fit.right + origin.x;
  out->bottom = fit.bottom + origin.y;
  return 1;
}
