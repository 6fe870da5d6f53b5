// Prints what Windows says about the saver's window: its rectangle, whether it is topmost and
// visible, and the primary screen's size; with "close", asks the window to close instead; with
// "monitors", lists the monitors and the rectangles of the saver's other windows; with
// "displaychange", tells every top-level window that the display changed, as Windows does.
// Usage: display_window_probe [close | monitors | displaychange]
#include <windows.h>

#include <cstdio>
#include <cwchar>

static BOOL CALLBACK PrintMonitor(HMONITOR, HDC, LPRECT r, LPARAM) {
  return std::printf("monitor %ld %ld %ld %ld\n", r->left, r->top, r->right, r->bottom) > 0;
}

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wcscmp(argv[1], L"displaychange") == 0) {
    const LPARAM size = MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return PostMessageW(HWND_BROADCAST, WM_DISPLAYCHANGE, 32, size) ? 0 : 1;
  }
  if (argc > 1 && std::wcscmp(argv[1], L"monitors") == 0) {
    EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0);
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, nullptr, L"Lumenweave_Monitor"));) {
      RECT r{};
      GetWindowRect(w, &r);
      std::printf("window %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    }
    return 0;
  }
  HWND hwnd = FindWindowW(nullptr, L"Lumenweave_Main");
  if (!hwnd) {
    std::printf("no window\n");
    return 1;
  }
  if (argc > 1 && std::wcscmp(argv[1], L"close") == 0) {
    std::printf("closed %d\n", PostMessageW(hwnd, WM_CLOSE, 0, 0) ? 1 : 0);
    return 0;
  }
  RECT r{};
  GetWindowRect(hwnd, &r);
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  std::printf("rect %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  std::printf("screen %d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  std::printf("topmost %d\n", (exStyle & WS_EX_TOPMOST) ? 1 : 0);
  std::printf("visible %d\n", IsWindowVisible(hwnd) ? 1 : 0);
  std::printf("caption %d\n", (style & (WS_CAPTION | WS_THICKFRAME)) ? 1 : 0);
  return 0;
}
