// Plays the display settings' part for the preview tests: a borderless window of a given size and
// place (magenta shows wherever a preview fails to cover it) whose handle the test hands the saver
// with "/p", reporting what the saver put in it.
#include "tests/probe/probe.h"

LW_PROBE_COMMAND(preview,
                 "preview W H X Y FOLDER SECONDS: a host window (W 0: the desktop itself) for SECONDS\n"
                 "  prints \"parent HANDLE\", then \"child STYLE EXSTYLE L,T,R,B\" (relative to the parent's client\n"
                 "  area) once the preview shows; a file \"destroy\" in FOLDER destroys the host window, \"close\"\n"
                 "  posts WM_CLOSE to the preview, \"front\" brings the host window to the foreground") {
  if (args.size() < 6) return 2;
  const auto number = [&args](int i) { return _wtoi(args[i].c_str()); };
  const auto requested = [&args](const wchar_t* name) {
    return GetFileAttributesW((args[4] + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
  };
  HWND parent = GetDesktopWindow();
  if (number(0) > 0) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(RGB(255, 0, 255));
    wc.lpszClassName = L"LumenweavePreviewHost";
    RegisterClassW(&wc);
    parent = CreateWindowExW(0, wc.lpszClassName, L"Preview Host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                             number(2), number(3), number(0), number(1), nullptr, nullptr, wc.hInstance, nullptr);
    if (!parent) return probe::Say("no-parent %lu", GetLastError()), 2;
  }
  probe::Say("parent %ld", HandleToLong(parent));
  const bool own = parent != GetDesktopWindow();
  HWND child = nullptr;
  bool closed = false, fronted = false;
  for (const ULONGLONG end = GetTickCount64() + 1000ULL * number(5); GetTickCount64() < end;) {
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    // Reported once shown, which the saver does right after sizing it: a report in between would
    // describe a half-made window.
    const HWND found = parent && !child ? FindWindowExW(parent, nullptr, nullptr, L"Preview Window") : nullptr;
    if (found && IsWindowVisible(found)) {
      child = found;
      RECT r{};
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
      probe::Say("child 0x%08lX 0x%08lX %ld,%ld,%ld,%ld", static_cast<unsigned long>(GetWindowLongW(child, GWL_STYLE)),
                 static_cast<unsigned long>(GetWindowLongW(child, GWL_EXSTYLE)), r.left, r.top, r.right, r.bottom);
    }
    if (own && parent && requested(L"destroy")) {
      DestroyWindow(parent);
      parent = nullptr;
      probe::Say("destroyed");
    }
    if (own && parent && !fronted && requested(L"front")) {
      fronted = true;
      probe::Say("front %d", SetForegroundWindow(parent) ? 1 : 0);
    }
    if (child && !closed && requested(L"close")) {
      closed = PostMessageW(child, WM_CLOSE, 0, 0);
      probe::Say("closed");
    }
  }
  if (own && parent) DestroyWindow(parent);
  return 0;
}
