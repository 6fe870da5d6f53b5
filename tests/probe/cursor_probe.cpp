// Prints whether the mouse pointer is showing, as the system reports it for the foreground
// window's thread ("showing" or "hidden"), and the foreground window's title.
#include <windows.h>

#include <cstdio>

int wmain() {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  if (!GetCursorInfo(&info)) {
    std::printf("error %lu\n", GetLastError());
    return 1;
  }
  wchar_t title[256] = {};
  GetWindowTextW(GetForegroundWindow(), title, 256);
  std::printf("%s\t%ls\n", (info.flags & CURSOR_SHOWING) ? "showing" : "hidden", title);
  return 0;
}
