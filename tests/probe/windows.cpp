// What Windows says about the saver's top-level windows (found by title) and its process: the
// window and its controls, texts, monitors, object counts; and closing a window from outside.
#include "tests/probe/probe.h"  // first: <windows.h> before the other system headers

#include <winternl.h>

#include <algorithm>
#include <cwchar>
#include <utility>


namespace {

using probe::Say;
using probe::Utf8;

HWND Find(const probe::Args& args, std::size_t i = 0) {
  return FindWindowW(nullptr, i < args.size() ? args[i].c_str() : L"Lumenweave_Main");
}

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[1024] = {};
  DWORD_PTR copied = 0;  // with a timeout, so a busy window does not hang the probe
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 3000, &copied);
  return buffer;
}

BOOL CALLBACK DumpChild(HWND child, LPARAM parent) {
  if (GetParent(child) != reinterpret_cast<HWND>(parent)) return TRUE;
  RECT r{};
  GetWindowRect(child, &r);
  const int id = GetDlgCtrlID(child);
  wchar_t cls[64] = {};
  GetClassNameW(child, cls, 64);
  Say("control %d %s %ld %ld %ld %ld %d %s", id, Utf8(cls).c_str(), r.left, r.top, r.right - r.left,
      r.bottom - r.top, IsWindowVisible(child) ? 1 : 0, Utf8(TextOf(child)).c_str());
  if (lstrcmpiW(cls, L"ScrollBar") == 0) {
    // The thumb's centre from the system metrics: a bar's scroll information cannot be asked for
    // across processes.
    const int width = r.right - r.left, arrow = std::min<int>(r.bottom - r.top, width / 2);
    const int thumb = GetSystemMetrics(SM_CXHTHUMB), pos = GetScrollPos(child, SB_CTL);
    int low = 0, high = 0;
    GetScrollRange(child, SB_CTL, &low, &high);
    const int at = high > low ? arrow + (pos - low) * (width - 2 * arrow - thumb) / (high - low) : arrow;
    Say("slider %d %d", id, pos);
    Say("thumb %ld %ld", r.left + at + thumb / 2, (r.top + r.bottom) / 2);
  }
  if (lstrcmpiW(cls, L"ComboBox") == 0) {
    const LRESULT count = SendMessageW(child, CB_GETCOUNT, 0, 0);
    std::wstring items;
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t item[64] = {};
      if (SendMessageW(child, CB_GETLBTEXTLEN, i, 0) < 63) SendMessageW(child, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
      items += L" [" + std::wstring(item) + L"]";
    }
    Say("combo %d %ld%s", id, static_cast<long>(count), Utf8(items).c_str());
    Say("selected %d %ld", id, static_cast<long>(SendMessageW(child, CB_GETCURSEL, 0, 0)));
  }
  return TRUE;
}

}  // namespace

LW_PROBE_COMMAND(window, "window [TITLE]: rectangle, handles, client area, styles and every control, one line each") {
  const HWND window = Find(args);
  if (!window) return Say("no window"), 2;
  RECT w{}, c{};
  GetWindowRect(window, &w);
  GetClientRect(window, &c);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  Say("window %ld %ld %ld %ld", w.left, w.top, w.right, w.bottom);
  Say("visible %d", IsWindowVisible(window) ? 1 : 0);
  Say("handle %ld owner %ld", HandleToLong(window), HandleToLong(GetWindow(window, GW_OWNER)));
  Say("client %ld %ld", c.right, c.bottom);
  Say("origin %ld %ld", origin.x, origin.y);
  Say("screen %d %d", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  Say("style %08lx %08lx", static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)),
      static_cast<unsigned long>(GetWindowLongW(window, GWL_EXSTYLE)));
  EnumChildWindows(window, DumpChild, reinterpret_cast<LPARAM>(window));
  return 0;
}

LW_PROBE_COMMAND(monitors, "monitors [TITLE]: every monitor (\"monitor L T R B [primary]\"), then every window so titled") {
  const auto print = [](HMONITOR monitor, HDC, LPRECT r, LPARAM) -> BOOL {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    Say("monitor %ld %ld %ld %ld%s", r->left, r->top, r->right, r->bottom, (info.dwFlags & MONITORINFOF_PRIMARY) ? " primary" : "");
    return TRUE;
  };
  EnumDisplayMonitors(nullptr, nullptr, print, 0);
  for (HWND w = nullptr; !args.empty() && (w = FindWindowExW(nullptr, w, nullptr, args[0].c_str()));) {
    RECT r{};
    GetWindowRect(w, &r);
    Say("window %ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
  }
  return 0;
}

LW_PROBE_COMMAND(displaychange, "displaychange: tells every top-level window the display changed, as Windows does") {
  const LPARAM size = MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  return PostMessageW(HWND_BROADCAST, WM_DISPLAYCHANGE, 32, size) ? 0 : 4;
}

LW_PROBE_COMMAND(close, "close TITLE [box]: posts WM_CLOSE, or with `box` what the close box sends") {
  const HWND window = Find(args);
  const bool box = args.size() > 1 && args[1] == L"box";
  return window && PostMessageW(window, box ? WM_SYSCOMMAND : WM_CLOSE, box ? SC_CLOSE : 0, 0) ? 0 : 4;
}

LW_PROBE_COMMAND(syscommand, "syscommand TITLE CODE...: sends WM_SYSCOMMAND with each code (hexadecimal, SC_*)") {
  const HWND window = Find(args);
  if (!window) return 4;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const WPARAM code = wcstoul(args[i].c_str(), nullptr, 16);
    DWORD_PTR result = 0;  // sent, so each has been handled when the probe ends
    SendMessageTimeoutW(window, WM_SYSCOMMAND, code, 0, SMTO_ABORTIFHUNG, 3000, &result);
  }
  return 0;
}

namespace {

// Wine's GetGuiResources is a stub that returns 0. Its GDI handle table, though, is private to
// each process and reachable from the PEB (64-bit layout), so its live entries are the process's
// objects.
long GdiObjects(HANDLE process, DWORD pid) {
  struct GdiEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type, flags;
    UINT64 userPointer;
  };
  PROCESS_BASIC_INFORMATION info{};
  UINT64 table = 0;
  SIZE_T got = 0;
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof info, nullptr) != 0 ||
      !ReadProcessMemory(process, reinterpret_cast<const BYTE*>(info.PebBaseAddress) + 0xF8, &table, sizeof table, &got))
    return -1;
  std::vector<GdiEntry> entries(0x10000);
  ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(), entries.size() * sizeof(GdiEntry), &got);
  long count = 0;
  for (std::size_t i = 0; i < got / sizeof(GdiEntry); ++i)
    count += entries[i].type && entries[i].object && ((entries[i].owner & 0xFFFF) == (pid & 0xFFFF) || !(entries[i].owner & 0xFFFF));
  return count;
}

BOOL CALLBACK CountWindows(HWND hwnd, LPARAM param) {
  auto& [pid, count] = *reinterpret_cast<std::pair<DWORD, long>*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == pid) ++count;
  if (owner == pid && !GetParent(hwnd)) EnumChildWindows(hwnd, CountWindows, param);
  return TRUE;
}

}  // namespace

LW_PROBE_COMMAND(stats, "stats [TITLE]: GDI objects and windows (USER objects) of the window's process") {
  std::pair<DWORD, long> windows{0, 0};
  GetWindowThreadProcessId(Find(args), &windows.first);
  const HANDLE process = windows.first ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, windows.first) : nullptr;
  if (!process) return Say("none"), 1;
  EnumWindows(CountWindows, reinterpret_cast<LPARAM>(&windows));
  Say("gdi %ld user %ld", GdiObjects(process, windows.first), windows.second);
  CloseHandle(process);
  return 0;
}

// Each label's text measured in the font the test names (the dialog's own font cannot be asked for
// across processes): "extent ID TEXT-WIDTH TEXT-HEIGHT CLIENT-WIDTH CLIENT-HEIGHT".
LW_PROBE_COMMAND(extents, "extents TITLE FACE HEIGHT: each static control's text extent in that font against its client size") {
  const HWND window = args.size() > 2 ? FindWindowW(nullptr, args[0].c_str()) : nullptr;
  if (!window) return 2;
  LOGFONTW lf{};
  lf.lfHeight = -_wtoi(args[2].c_str());
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(lf.lfFaceName, args[1].c_str(), LF_FACESIZE);
  const HFONT font = CreateFontIndirectW(&lf);
  const HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font);
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[64] = {};
    GetClassNameW(child, cls, 64);
    const std::wstring text = TextOf(child);
    if (lstrcmpiW(cls, L"Static") != 0 || text.empty() || (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_OWNERDRAW)
      continue;
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    RECT client{};
    GetClientRect(child, &client);
    Say("extent %d %ld %ld %ld %ld", GetDlgCtrlID(child), extent.cx, extent.cy, client.right, client.bottom);
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return 0;
}
