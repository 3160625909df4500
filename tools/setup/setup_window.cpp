#include "setup_window.h"

#include <utility>

#include "platform/win32/backdrop_paint.h"
#include "resources/resource_ids.h"
#include "setup_mode.h"

namespace velmora::setup {
namespace {

constexpr char kClassName[] = "VelmoraSetupWindow";
constexpr UINT_PTR kRunTimer = 1;
constexpr UINT kRunDelayMs = 2500;

}  // namespace

SetupWindow::SetupWindow(HINSTANCE instance, bool install, std::string exeName,
                         std::string logPath)
    : instance_(instance),
      install_(install),
      exeName_(std::move(exeName)),
      logPath_(std::move(logPath)),
      statusText_(PreparingStatusText(install)) {
  appIcon_ = ::LoadIconA(instance_, MAKEINTRESOURCEA(IDI_APPLICATION_ICON));
}

bool SetupWindow::Create() {
  RECT area{0, 0, 640, 480};
  if (HWND desktop = ::GetDesktopWindow(); desktop != nullptr) ::GetWindowRect(desktop, &area);

  // No class cursor: WM_MOUSEMOVE sets the arrow itself.
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = &SetupWindow::WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = appIcon_;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  windowClass.lpszClassName = kClassName;
  if (::RegisterClassA(&windowClass) == 0) return false;

  // An overlapped window (title bar and border) covering the desktop.
  window_ = ::CreateWindowExA(WS_EX_NOPARENTNOTIFY, kClassName, "Setup",
                              WS_VISIBLE | WS_CLIPCHILDREN | WS_MAXIMIZE, area.left, area.top,
                              area.right, area.bottom, nullptr, nullptr, instance_, this);
  if (window_ == nullptr) return false;
  arrowCursor_ = ::LoadCursorA(nullptr, IDC_ARROW);
  ::SetTimer(window_, kRunTimer, kRunDelayMs, nullptr);
  return true;
}

LRESULT CALLBACK SetupWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* self = static_cast<SetupWindow*>(create->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<SetupWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
  return self->OnMessage(message, wParam, lParam);
}

LRESULT SetupWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      OnTimer(static_cast<UINT_PTR>(wParam));
      return 0;
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
    case WM_MOUSEMOVE:
      ::SetCursor(arrowCursor_);
      return 0;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<LRESULT>(appIcon_);
    case WM_SIZE:
      if (wParam == SIZE_RESTORED) return 0;
      break;
    case WM_QUERYENDSESSION:
      return TRUE;  // never stand in the way of logging off
    case WM_ENDSESSION:
      return 0;
    case WM_CLOSE:
      ::DestroyWindow(window_);
      ::PostQuitMessage(0);
      return 0;
    case WM_DESTROY:
      ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return ::DefWindowProcA(window_, message, wParam, lParam);
}

void SetupWindow::OnTimer(UINT_PTR timer) {
  // Killed first, so the run happens exactly once.
  ::KillTimer(window_, timer);
  // The installation and uninstallation runs are not there yet: the window
  // closes as it will once a run is over.
  ::PostMessageA(window_, WM_CLOSE, 0, 0);
}

void SetupWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(window_, &paint);
  RECT client;
  ::GetClientRect(window_, &client);
  PaintBackdropIcon(dc, client, appIcon_);
  PaintBackdropTexts(dc, client, HeadingText(install_, title_), statusText_);
  ::EndPaint(window_, &paint);
}

}  // namespace velmora::setup
