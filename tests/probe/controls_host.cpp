// Hosts four Command buttons in a borderless window at a known place, for the end-to-end tests.
//
//   controls_host [--focus N] [--disable N] [--transparent N] [--red N] [--destroy-on-click N]
//
// The probe is aware of the screen's resolution, like the saver. Button sizes are given in twips
// (1215 x 375 and 435 x 375), so at 96 dots per inch they are the pixel sizes below.
//
// The window's client area starts at screen (100, 100), 480 x 80, filled grey (#808080). Buttons,
// in client pixels at 96 dots per inch: 1 at (20, 20) 81 x 25 "Set", 2 at (150, 20) 81 x 25
// "Cancel", 3 at (280, 20) 81 x 25 "Music", 4 at (410, 20) 29 x 25 "...". Prints on stdout, one line each:
//   dpi <n>
//   ready
//   caption_top_px <id> <rows>   rows from the button's top to the top of its caption label,
//                                measured from the ink of the drawn caption
//   state <id> <n>               the pointer/focus state of a button changed (polled every 10 ms)
//   click <id>                   WM_COMMAND BN_CLICKED from a button
//   destroyed <id>               the host destroyed the button from its click
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "controls/command_win32.h"

namespace {

constexpr int kOriginX = 100, kOriginY = 100;
constexpr UINT_PTR kPollTimer = 7;

struct ButtonSpec {
  int id, x, y, w, h;
  const wchar_t* caption;
};
// Positions in pixels, sizes in twips.
constexpr ButtonSpec kButtons[] = {{1, 20, 20, 1215, 375, L"Set"},
                                   {2, 150, 20, 1215, 375, L"Cancel"},
                                   {3, 280, 20, 1215, 375, L"Music"},
                                   {4, 410, 20, 435, 375, L"..."}};

struct Host {
  HWND window = nullptr;
  HWND buttons[4] = {};
  int lastState[4] = {-1, -1, -1, -1};
  int destroyOnClick = 0;
  HFONT font = nullptr;
};

void Say(const char* format, int a, int b = 0) {
  std::printf(format, a, b);
  std::printf("\n");
  std::fflush(stdout);
}

int FirstDarkRow(HDC dc, int x0, int x1, int y0, int y1) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100) return y;
    }
  return -1;
}

// Where the caption label starts: the ink of the button's caption, drawn by the button, against
// the ink of the same text drawn at row 0 in the same font and layout.
int CaptionTop(HWND button, const wchar_t* caption, int dpi) {
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
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  std::wstring text = caption;
  DrawTextW(dc, text.data(), -1, &all, DT_CENTER | DT_TOP | DT_WORDBREAK);
  const int reference = FirstDarkRow(dc, 0, rc.right, 0, 100);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBmp);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return drawn < 0 || reference < 0 ? -1 : drawn - reference;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* host = reinterpret_cast<Host*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_COMMAND:
      if (host && HIWORD(wParam) == BN_CLICKED) {
        const int id = LOWORD(wParam);
        Say("click %d", id);
        if (id == host->destroyOnClick && host->buttons[id - 1] == reinterpret_cast<HWND>(lParam)) {
          DestroyWindow(reinterpret_cast<HWND>(lParam));
          host->buttons[id - 1] = nullptr;
          Say("destroyed %d", id);
        }
      }
      return 0;
    case WM_TIMER:
      if (host && wParam == kPollTimer)
        for (int i = 0; i < 4; ++i) {
          if (!host->buttons[i]) continue;
          const int state = static_cast<int>(SendMessageW(host->buttons[i], lw::controls::kCommandGetState, 0, 0));
          if (state != host->lastState[i]) Say("state %d %d", i + 1, state);
          host->lastState[i] = state;
        }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

int Option(int argc, wchar_t** argv, const wchar_t* name) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::wcscmp(argv[i], name) == 0) return std::wcstol(argv[i + 1], nullptr, 10);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetProcessDPIAware();
  Host host;
  host.destroyOnClick = Option(argc, argv, L"--destroy-on-click");
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!lw::controls::RegisterCommandClass()) return 1;

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = HostProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = CreateSolidBrush(RGB(0x80, 0x80, 0x80));
  wc.lpszClassName = L"Lumenweave.ControlsHost";
  RegisterClassExW(&wc);
  host.window = CreateWindowExW(0, wc.lpszClassName, L"Lumenweave controls host", WS_POPUP | WS_VISIBLE,
                                kOriginX, kOriginY, 480, 80, nullptr, nullptr, instance, nullptr);
  if (!host.window) return 1;
  SetWindowLongPtrW(host.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&host));

  // The dialog's caption font: "ＭＳ Ｐゴシック" 9.75 points, Shift-JIS.
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  host.font = CreateFontW(-MulDiv(975, dpi, 7200), 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                          L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF");
  for (int i = 0; i < 4; ++i) {
    const auto& b = kButtons[i];
    host.buttons[i] = CreateWindowExW(0, lw::controls::kCommandClass, b.caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                      b.x, b.y, MulDiv(b.w, dpi, 1440), MulDiv(b.h, dpi, 1440), host.window,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), instance, nullptr);
    SendMessageW(host.buttons[i], WM_SETFONT, reinterpret_cast<WPARAM>(host.font), TRUE);
    SendMessageW(host.buttons[i], lw::controls::kCommandInitialize, 0, 0);
  }
  if (const int n = Option(argc, argv, L"--disable"); n >= 1 && n <= 4)
    SendMessageW(host.buttons[n - 1], lw::controls::kCommandSetEnabled, FALSE, 0);
  if (const int n = Option(argc, argv, L"--red"); n >= 1 && n <= 4)
    SendMessageW(host.buttons[n - 1], lw::controls::kCommandSetFontColour, RGB(0xFF, 0, 0), 0);
  if (const int n = Option(argc, argv, L"--transparent"); n >= 1 && n <= 4)
    SendMessageW(host.buttons[n - 1], lw::controls::kCommandSetVisible, 0, 0);
  if (const int n = Option(argc, argv, L"--focus"); n >= 1 && n <= 4) SetFocus(host.buttons[n - 1]);
  else SetFocus(host.window);
  for (int i = 0; i < 4; ++i) Say("caption_top_px %d %d", i + 1, CaptionTop(host.buttons[i], kButtons[i].caption, dpi));
  SetTimer(host.window, kPollTimer, 10, nullptr);
  Say("dpi %d", dpi);
  Say("ready", 0);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DeleteObject(host.font);
  return 0;
}
