#include "host_window.h"

#include <utility>

#include "backends/win32/backdrop_paint.h"
#include "backends/win32/main_window_handle.h"
#include "backends/win32/resources/resource_ids.h"
#include "backends/win32/win32_device_context.h"
#include "shell/run_window.h"

namespace velmora::setup {
namespace {

constexpr char kClassName[] = "VelmoraSetupWindow";
constexpr UINT_PTR kRunTimer = 1;
constexpr UINT kRunDelayMs = 2500;

}  // namespace

HostWindow::HostWindow(HINSTANCE instance, RunWindow& view, RunRequest request)
    : instance_(instance), view_(view), request_(std::move(request)) {
  appIcon_ = ::LoadIconA(instance_, MAKEINTRESOURCEA(IDI_APPLICATION_ICON));
}

bool HostWindow::Create() {
  RECT area{0, 0, 640, 480};
  if (HWND desktop = ::GetDesktopWindow(); desktop != nullptr) ::GetWindowRect(desktop, &area);

  // No class cursor: WM_MOUSEMOVE sets the arrow itself.
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = &HostWindow::WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = appIcon_;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  windowClass.lpszClassName = kClassName;
  if (::RegisterClassA(&windowClass) == 0) return false;

  // An overlapped window (title bar and border) covering the desktop.
  arrowCursor_ = ::LoadCursorA(nullptr, IDC_ARROW);
  window_ = ::CreateWindowExA(WS_EX_NOPARENTNOTIFY, kClassName, "Setup",
                              WS_VISIBLE | WS_CLIPCHILDREN | WS_MAXIMIZE, area.left, area.top,
                              area.right, area.bottom, nullptr, nullptr, instance_, this);
  if (window_ == nullptr) return false;
  ::SetTimer(window_, kRunTimer, kRunDelayMs, nullptr);
  return true;
}

LRESULT CALLBACK HostWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* self = static_cast<HostWindow*>(create->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    // From now on the Ui parents the progress dialog here and repaints here.
    SetMainWindowHandle(window);
  }
  auto* self = reinterpret_cast<HostWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
  return self->OnMessage(message, wParam, lParam);
}

LRESULT HostWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER: OnTimer(static_cast<UINT_PTR>(wParam)); return 0;
    case WM_PAINT:
      if (::IsIconic(window_)) break;
      OnPaint();
      return 0;
    case WM_ERASEBKGND: {
      RECT client;
      ::GetClientRect(window_, &client);
      PaintBackdropGradient(reinterpret_cast<HDC>(wParam), client);
      return TRUE;
    }
    case WM_MOUSEMOVE: ::SetCursor(arrowCursor_); return 0;
    case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(appIcon_);
    case WM_SIZE:
      if (wParam == SIZE_RESTORED) return 0;
      break;
    case WM_QUERYENDSESSION: return TRUE;  // never stand in the way of logging off
    case WM_ENDSESSION: return 0;
    case WM_CLOSE:
      ::DestroyWindow(window_);
      ::PostQuitMessage(0);
      return 0;
    case WM_DESTROY:
      SetMainWindowHandle(nullptr);
      ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
      break;
    default: break;
  }
  return ::DefWindowProcA(window_, message, wParam, lParam);
}

void HostWindow::OnTimer(UINT_PTR timer) {
  // Killed first, so the run happens exactly once.  The whole installation
  // or uninstallation, with its result message, runs inside this call.
  ::KillTimer(window_, timer);
  outcome_ = RunSetup(request_);
  ::PostMessageA(window_, WM_CLOSE, 0, 0);
}

void HostWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(window_, &paint);
  RECT client;
  ::GetClientRect(window_, &client);
  // The middle: a background step's picture, or else the icon.
  if (view_.Background() != nullptr) {
    Win32DC pictureDc(dc, window_);
    view_.PaintPicture(pictureDc);
  } else {
    PaintBackdropIcon(dc, client, appIcon_);
  }
  PaintBackdropTexts(dc, client, view_.HeadingText(), view_.StatusText());
  ::EndPaint(window_, &paint);
}

}  // namespace velmora::setup
