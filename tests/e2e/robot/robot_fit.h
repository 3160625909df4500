/* Where the setup program's main window puts its background picture. */
#ifndef VELMORA_E2E_ROBOT_FIT_H
#define VELMORA_E2E_ROBOT_FIT_H

#include <windows.h>

/* The rectangle a width x height picture is stretched onto in the client
   area of window, in screen coordinates: scaled to the largest size that
   fits undistorted and centred, the scales held in single precision and
   the margin truncated.  0 when the client area cannot be read. */
int FitPictureRect(HWND window, int width, int height, RECT* out);

#endif
