// Run mode on Windows: the borderless topmost window "Lumenweave_Main" over the primary screen,
// its DIB surface, clock and event pump, wired to the portable Saver.
#include <windows.h>

#include <memory>

#include "display/dib_surface_win32.h"
#include "display/saver.h"
#include "display/saver_entry_win32.h"
#include "music/saver_music_factory_win32.h"
#include "platform/window_win32.h"

namespace lw::display {
namespace {

class Win32Clock final : public Clock {
 public:
  Win32Clock() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    msPerTick_ = 1000.0 / static_cast<double>(f.QuadPart > 0 ? f.QuadPart : 1);
  }
  double Milliseconds() const override {
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * msPerTick_;
  }
  double SecondsSinceMidnight() const override {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond + t.wMilliseconds / 1000.0;
  }

 private:
  double msPerTick_;
};

class SaverWindow final : public win32::Window, public SaverHost {
 public:
  bool Open(int width, int height) {
    return Create(L"Lumenweave.Saver", L"Lumenweave_Main", WS_POPUP, 0, 0, 0, width, height, nullptr, nullptr, 0,
                  static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  void Attach(Saver* saver, DibSurface* surface) {
    saver_ = saver;
    surface_ = surface;
  }

  void SizeToScreen() override {
    SetWindowPos(hwnd(), nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void SetNormalState() override {
    if (IsIconic(hwnd()) || IsZoomed(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
  }
  void Show() override {
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
  }
  void MakeTopmost() override {
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  }
  void PumpEvents() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;  // the loop ends only through ShutDown
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  void ShowPointer() override { ShowCursor(TRUE); }
  void SetScreenSaveActive() override { SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0); }
  // The form is unloaded: no event reaches the saver any more. The window itself goes with the
  // process, which ends right after; destroying it first only delays the end (under Wine without
  // a window manager by two seconds, waiting for a withdrawal nobody confirms).
  void Unload() override { saver_ = nullptr; }
  void EndProcess() override { ExitProcess(0); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (saver_) saver_->Form_KeyDown(static_cast<std::int16_t>(wParam & 0xFFFF));
        return 0;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
      case WM_XBUTTONUP:
      case WM_MOUSEWHEEL:
      case WM_MOUSEHWHEEL:
        if (saver_) saver_->Form_Click();
        if (msg == WM_XBUTTONUP) return TRUE;  // X buttons expect TRUE from their handler
        return 0;
      case WM_MOUSEMOVE:
        if (saver_) saver_->Form_MouseMove();
        return 0;
      case WM_CLOSE:
        // Closed from outside (task switcher, session end): end in order instead of living on
        // without a window.
        if (saver_) saver_->ShutDown();
        return 0;
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        win32::PaintScope paint(hwnd());
        if (surface_) surface_->PresentArea(paint.dc(), paint.area());
        return 0;
      }
    }
    return Window::HandleMessage(msg, wParam, lParam);
  }

 private:
  Saver* saver_ = nullptr;
  DibSurface* surface_ = nullptr;
};

}  // namespace

void RunSaver(settings::Settings& settings, std::wstring_view args) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  SaverWindow window;
  if (!window.Open(width, height)) return;

  double frameRate = 60.0;
  {
    win32::WindowDc screen(nullptr);
    frameRate = FrameRateFor(screen.get());
  }
  FramePacer pacer(frameRate);
  DibSurface surface(window.hwnd(), width, height, TwipsPerPixelFor(window.hwnd()), &pacer);
  Win32Clock clock;
  UniformRandom random;
  const std::unique_ptr<music::SaverMusic> music = music::CreateSaverMusic(settings);
  Saver saver(settings, args, SaverPorts{surface, clock, random, *music, window});
  window.Attach(&saver, &surface);
  saver.Form_Load();
  saver.RunDisplayLoop();
}

}  // namespace lw::display
