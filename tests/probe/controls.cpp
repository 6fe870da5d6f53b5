// Hosts four Command buttons in a borderless window at a known place, for the button tests.
//
// The probe is aware of the screen's resolution, like the saver. The client area starts at screen
// (100, 100), 480 x 80, grey (#808080). Buttons, at client pixels, sized in twips (so at 96 dots
// per inch 81 x 25 and 29 x 25 pixels): 1 at (20, 20) "Set", 2 at (150, 20) "Cancel", 3 at
// (280, 20) "Music", all 1215 x 375 twips; 4 at (410, 20) "...", 435 x 375 twips. Prints, one line
// each: "caption_top_px ID ROWS" (rows from the button's top to the ink of its drawn caption),
// "dpi N", "ready", then "state ID N" whenever a button's pointer/focus state changes (polled every
// 10 ms), "click ID" for each BN_CLICKED and "destroyed ID" when the host destroyed the button
// from its click.
#include "controls/command_win32.h"
#include "tests/probe/probe.h"

namespace {

using probe::Say;

struct Host {
  HWND buttons[4] = {};
  int lastState[4] = {-1, -1, -1, -1};
  int destroyOnClick = 0;
};
Host* g_host = nullptr;

int FirstDarkRow(HDC dc, int x0, int x1, int y0, int y1) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100) return y;
    }
  return -1;
}

// Where the caption starts: the ink the button draws against the ink of the same text drawn at
// row 0 in the same font and layout.
int CaptionTop(HWND button, int dpi) {
  RECT rc;
  GetClientRect(button, &rc);
  const int ring = MulDiv(4, dpi, 96);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, rc.right, 100);
  HGDIOBJ oldBmp = SelectObject(dc, bmp);
  SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  const int drawn = FirstDarkRow(dc, ring, rc.right - ring, ring, rc.bottom - ring);
  RECT all{0, 0, rc.right, 100};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)));
  wchar_t caption[32] = {};
  GetWindowTextW(button, caption, 32);
  DrawTextW(dc, caption, -1, &all, DT_CENTER | DT_TOP | DT_WORDBREAK);
  const int reference = FirstDarkRow(dc, 0, rc.right, 0, 100);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBmp);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return drawn < 0 || reference < 0 ? -1 : drawn - reference;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Host& host = *g_host;
  if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    const int id = LOWORD(wParam);
    Say("click %d", id);
    if (id == host.destroyOnClick && host.buttons[id - 1] == reinterpret_cast<HWND>(lParam)) {
      DestroyWindow(reinterpret_cast<HWND>(lParam));
      host.buttons[id - 1] = nullptr;
      Say("destroyed %d", id);
    }
    return 0;
  }
  if (msg == WM_TIMER) {
    for (int i = 0; i < 4; ++i) {
      const int state = host.buttons[i] ? static_cast<int>(SendMessageW(host.buttons[i], lw::controls::kCommandGetState, 0, 0)) : -1;
      if (host.buttons[i] && state != host.lastState[i]) Say("state %d %d", i + 1, state);
      host.lastState[i] = state;
    }
    return 0;
  }
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int Option(const probe::Args& args, const wchar_t* name) {
  for (std::size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == name) return probe::Number(args, i + 1);
  return 0;
}

}  // namespace

LW_PROBE_COMMAND(controls, "controls [--focus N] [--disable N] [--transparent N] [--red N] [--destroy-on-click N]") {
  SetProcessDPIAware();
  Host host;
  g_host = &host;
  host.destroyOnClick = Option(args, L"--destroy-on-click");
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!lw::controls::RegisterCommandClass()) return 1;
  WNDCLASSW wc{};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = CreateSolidBrush(RGB(0x80, 0x80, 0x80));
  wc.lpszClassName = L"Lumenweave.ControlsHost";
  RegisterClassW(&wc);
  const HWND window = CreateWindowExW(0, wc.lpszClassName, L"Lumenweave controls host", WS_POPUP | WS_VISIBLE, 100, 100,
                                      480, 80, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  // The dialog's caption font: "ＭＳ Ｐゴシック" 9.75 points, Shift-JIS.
  const HFONT font = CreateFontW(-MulDiv(975, dpi, 7200), 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                                 L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF");
  const wchar_t* captions[] = {L"Set", L"Cancel", L"Music", L"..."};
  for (int i = 0; i < 4; ++i) {
    host.buttons[i] = CreateWindowExW(0, lw::controls::kCommandClass, captions[i], WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                      20 + 130 * i, 20, MulDiv(i < 3 ? 1215 : 435, dpi, 1440), MulDiv(375, dpi, 1440),
                                      window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)), instance, nullptr);
    SendMessageW(host.buttons[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageW(host.buttons[i], lw::controls::kCommandInitialize, 0, 0);
  }
  const auto button = [&](const wchar_t* option) {
    const int n = Option(args, option);
    return n >= 1 && n <= 4 ? host.buttons[n - 1] : nullptr;
  };
  if (HWND b = button(L"--disable")) SendMessageW(b, lw::controls::kCommandSetEnabled, FALSE, 0);
  if (HWND b = button(L"--red")) SendMessageW(b, lw::controls::kCommandSetFontColour, RGB(0xFF, 0, 0), 0);
  if (HWND b = button(L"--transparent")) SendMessageW(b, lw::controls::kCommandSetVisible, 0, 0);
  SetFocus(button(L"--focus") ? button(L"--focus") : window);
  for (int i = 0; i < 4; ++i) Say("caption_top_px %d %d", i + 1, CaptionTop(host.buttons[i], dpi));
  SetTimer(window, 7, 10, nullptr);
  Say("dpi %d", dpi);
  Say("ready");
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DeleteObject(font);
  return 0;
}
