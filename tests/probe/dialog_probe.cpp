// Reads the settings dialog "<Lumenweave>" from outside, for the end-to-end tests.
//   dialog_probe dump        frame, client, screen, styles and every control (UTF-8 lines)
//   dialog_probe text ID     the window text of the control with that id
//   dialog_probe close       what the close box does: WM_SYSCOMMAND SC_CLOSE
//   dialog_probe message     the text of a message box titled "Lumenweave" and whether the
//                            dialog owns it
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[1024] = {};
  // WM_GETTEXT with a timeout, so a busy dialog does not hang the probe.
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 3000, &copied);
  return buffer;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

void Line(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::fflush(stdout);
}

struct Children {
  HWND parent;
  std::vector<HWND> list;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM p) {
  auto* c = reinterpret_cast<Children*>(p);
  if (GetParent(hwnd) == c->parent) c->list.push_back(hwnd);
  return TRUE;
}

std::vector<HWND> DirectChildren(HWND dialog) {
  Children c{dialog, {}};
  EnumChildWindows(dialog, Collect, reinterpret_cast<LPARAM>(&c));
  return c.list;
}

int Dump(HWND dialog) {
  RECT w{}, c{};
  GetWindowRect(dialog, &w);
  GetClientRect(dialog, &c);
  POINT origin{0, 0};
  ClientToScreen(dialog, &origin);
  Line("window %ld %ld %ld %ld\n", w.left, w.top, w.right, w.bottom);
  Line("visible %d\n", IsWindowVisible(dialog) ? 1 : 0);
  Line("owner %ld\n", static_cast<long>(HandleToLong(GetWindow(dialog, GW_OWNER))));
  Line("client %ld %ld\n", c.right, c.bottom);
  Line("origin %ld %ld\n", origin.x, origin.y);
  Line("screen %d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  Line("style %08lx %08lx\n", static_cast<unsigned long>(GetWindowLongW(dialog, GWL_STYLE)),
       static_cast<unsigned long>(GetWindowLongW(dialog, GWL_EXSTYLE)));
  for (HWND child : DirectChildren(dialog)) {
    RECT r{};
    GetWindowRect(child, &r);
    const int id = GetDlgCtrlID(child);
    const std::wstring cls = ClassOf(child);
    // One line per control: id, class, screen rectangle, visible, text.
    Line("control %d %s %ld %ld %ld %ld %d %s\n", id, Utf8(cls).c_str(), r.left, r.top, r.right - r.left,
         r.bottom - r.top, IsWindowVisible(child) ? 1 : 0, Utf8(TextOf(child)).c_str());
    if (lstrcmpiW(cls.c_str(), L"ScrollBar") == 0) {
      Line("slider %d %d\n", id, GetScrollPos(child, SB_CTL));
      // The thumb's centre, worked out from the system metrics: the bar's own scroll-bar
      // information cannot be asked for across processes.
      const int width = r.right - r.left;
      const int arrow = std::min<int>(r.bottom - r.top, width / 2);
      const int thumb = GetSystemMetrics(SM_CXHTHUMB);
      int low = 0, high = 0;
      GetScrollRange(child, SB_CTL, &low, &high);
      const int track = width - 2 * arrow - thumb;
      const int at = high > low ? arrow + (GetScrollPos(child, SB_CTL) - low) * track / (high - low) : arrow;
      Line("thumb %ld %ld\n", r.left + at + thumb / 2, (r.top + r.bottom) / 2);
    }
    if (lstrcmpiW(cls.c_str(), L"ComboBox") == 0) {
      const LRESULT count = SendMessageW(child, CB_GETCOUNT, 0, 0);
      Line("combo %d %ld", id, static_cast<long>(count));
      for (LRESULT i = 0; i < count; ++i) {
        wchar_t item[64] = {};
        if (SendMessageW(child, CB_GETLBTEXTLEN, i, 0) < 63) SendMessageW(child, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        Line(" [%s]", Utf8(item).c_str());
      }
      Line("\n");
    }
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const HWND dialog = FindWindowW(nullptr, L"<Lumenweave>");
  if (!dialog) {
    Line("no dialog\n");
    return 2;
  }
  const std::wstring command = argc > 1 ? argv[1] : L"dump";
  if (command == L"dump") return Dump(dialog);
  if (command == L"text" && argc > 2) {
    const HWND child = GetDlgItem(dialog, _wtoi(argv[2]));
    if (!child) return 3;
    Line("%s\n", Utf8(TextOf(child)).c_str());
    return 0;
  }
  if (command == L"message") {
    const HWND box = FindWindowW(L"#32770", L"Lumenweave");
    if (!box) return 5;
    HWND text = GetDlgItem(box, 0xFFFF);  // the text's id on Windows; Wine's is 100
    if (!text) text = GetDlgItem(box, 100);
    Line("owned %d\n%s\n", GetWindow(box, GW_OWNER) == dialog ? 1 : 0, Utf8(TextOf(text)).c_str());
    return 0;
  }
  if (command == L"close") return PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 4;
  Line("unknown command\n");
  return 1;
}
