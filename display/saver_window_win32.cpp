// Run mode on Windows: a borderless topmost window over every monitor, each with its own DIB
// surface and random source; the primary's is "Lumenweave_Main". One clock and one event pump
// for all, wired to the portable Saver; a display change lays the windows out again.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "display/dib_surface_win32.h"
#include "display/frame_pacer.h"
#include "display/frame_wait_win32.h"
#include "display/monitor_layout.h"
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

// Whether a thread belongs to this process: activation moving to a window of another of our own
// threads (a helper window of a music driver, say) is no loss of the foreground.
bool OwnThread(DWORD threadId) {
  const HANDLE thread = threadId ? OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId) : nullptr;
  if (!thread) return false;
  const bool own = GetProcessIdOfThread(thread) == GetCurrentProcessId();
  CloseHandle(thread);
  return own;
}

class SaverWindow final : public win32::Window {
 public:
  // The primary's window carries the title the single-instance guard looks for; the others a
  // title of their own, so a look-up of that title finds the primary.
  bool Open(const SaverWindowPlan& plan, bool primary, bool* displayChanged) {
    plan_ = plan;
    displayChanged_ = displayChanged;
    // A tool window: no taskbar button and no Alt+Tab entry, as the system's own savers.
    if (!Create(L"Lumenweave.Saver", primary ? L"Lumenweave_Main" : L"Lumenweave_Monitor", WS_POPUP, WS_EX_TOOLWINDOW,
                plan.left, plan.top, plan.width, plan.height, nullptr, nullptr, 0,
                static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)))) {
      return false;
    }
    surface_ = std::make_unique<DibSurface>(hwnd(), plan.width, plan.height, plan.twipsPerPixel);
    return true;
  }
  void Attach(Saver* saver) { saver_ = saver; }
  const SaverWindowPlan& plan() const { return plan_; }
  DibSurface& surface() { return *surface_; }
  UniformRandom& random() { return random_; }

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
      case WM_ENDSESSION:
        if (!wParam) break;
        [[fallthrough]];
      case WM_CLOSE:
        // Closed from outside (a task manager, the session ending): end in order instead of
        // living on without a window.
        if (saver_) saver_->ShutDown();
        return 0;
      case WM_ACTIVATEAPP:
        // Another program took the foreground (a notification, Alt+Tab, a program that steals
        // focus): the keys now go to it, so a saver left on top would hide where they land.
        // Moving between our own windows sends no WM_ACTIVATEAPP.
        if (!wParam && saver_ && !OwnThread(static_cast<DWORD>(lParam))) saver_->ShutDown();
        return 0;
      case WM_SYSCOMMAND:
        // As the system's saver framework does: no other saver starts over this one, and the
        // system's close, next-window and previous-window commands do not reach a saver window.
        switch (wParam & 0xFFF0) {
          case SC_SCREENSAVE:
          case SC_CLOSE:
          case SC_NEXTWINDOW:
          case SC_PREVWINDOW:
            return 0;
        }
        break;
      case WM_DISPLAYCHANGE:
        // Laid out again after the pump, not inside a window procedure of a window that may go.
        if (displayChanged_) *displayChanged_ = true;
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
  SaverWindowPlan plan_;
  bool* displayChanged_ = nullptr;
  std::unique_ptr<DibSurface> surface_;
  UniformRandom random_;
};

// Effective DPI of a monitor (Windows 8.1 on); before that the system's, which every monitor shares.
int MonitorDpi(HMONITOR monitor) {
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const auto fn = [] {
    HMODULE shcore = LoadLibraryW(L"shcore.dll");
    return shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                        reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                  : nullptr;
  }();
  UINT x = 0, y = 0;
  if (fn && SUCCEEDED(fn(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y))) return static_cast<int>(y);
  return static_cast<int>(1440.0f / TwipsPerPixelFor(nullptr) + 0.5f);
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  const RECT& r = info.rcMonitor;
  reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(
      {r.left, r.top, r.right, r.bottom, MonitorDpi(monitor), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  return TRUE;
}

std::vector<SaverWindowPlan> CurrentPlan() {
  std::vector<MonitorArea> monitors;
  EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return PlanSaverWindows(monitors, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

// The saver's windows, the primary's first, seen by the Saver as its one host.
class SaverWindows final : public SaverHost {
 public:
  // Opens one window per monitor; false when not even the primary's opens.
  bool Open() {
    for (const SaverWindowPlan& plan : CurrentPlan()) {
      if (auto w = OpenWindow(plan, windows_.empty())) windows_.push_back(std::move(w));
      if (windows_.empty()) return false;
    }
    return true;
  }
  DibSurface& primarySurface() { return windows_[0]->surface(); }
  // Held here, not by the primary's window: a display change may replace that window while the
  // saver's primary animation goes on drawing from this source.
  UniformRandom& primaryRandom() { return primaryRandom_; }
  std::vector<MonitorPorts> Others() {
    std::vector<MonitorPorts> ports;
    for (std::size_t i = 1; i < windows_.size(); ++i) {
      ports.push_back({windows_[i]->surface(), windows_[i]->random()});
    }
    return ports;
  }
  void Attach(Saver* saver) {
    saver_ = saver;
    for (auto& w : windows_) w->Attach(saver);
  }

  void SizeToScreen() override {
    const SaverWindowPlan& p = windows_[0]->plan();
    SetWindowPos(windows_[0]->hwnd(), nullptr, p.left, p.top, p.width, p.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void SetNormalState() override {
    for (auto& w : windows_) {
      if (IsIconic(w->hwnd()) || IsZoomed(w->hwnd())) ShowWindow(w->hwnd(), SW_RESTORE);
    }
  }
  void Show() override {
    for (std::size_t i = windows_.size(); i-- > 0;) ShowWindow(windows_[i]->hwnd(), SW_SHOW);
    SetForegroundWindow(windows_[0]->hwnd());
  }
  void MakeTopmost() override {
    for (auto& w : windows_) {
      SetWindowPos(w->hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    }
  }
  void PumpEvents() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;  // the loop ends only through ShutDown
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (displayChanged_ && saver_) Relayout();
  }
  void ShowPointer() override { ShowCursor(TRUE); }
  void SetScreenSaveActive() override { SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0); }
  // The form is unloaded: no event reaches the saver any more. The windows themselves go with the
  // process, which ends right after; destroying them first only delays the end (under Wine without
  // a window manager by two seconds, waiting for a withdrawal nobody confirms).
  void Unload() override { Attach(nullptr); }
  void EndProcess() override { ExitProcess(0); }

 private:
  std::unique_ptr<SaverWindow> OpenWindow(const SaverWindowPlan& plan, bool primary) {
    auto w = std::make_unique<SaverWindow>();
    if (!w->Open(plan, primary, &displayChanged_)) return nullptr;
    w->Attach(saver_);
    return w;
  }

  // A monitor added, removed, moved or resized: windows whose monitor is unchanged stay (and their
  // animations go on), the others are opened or closed; the primary's window follows its monitor.
  void Relayout() {
    displayChanged_ = false;
    const std::vector<SaverWindowPlan> plans = CurrentPlan();
    std::vector<SaverWindowPlan> open;
    for (const auto& w : windows_) open.push_back(w->plan());
    const std::vector<int> kept = KeptSaverWindows(open, plans);
    std::vector<std::unique_ptr<SaverWindow>> next;
    for (std::size_t i = 0; i < plans.size(); ++i) {
      if (kept[i] >= 0) {
        next.push_back(std::move(windows_[static_cast<std::size_t>(kept[i])]));
      } else if (auto w = OpenWindow(plans[i], i == 0)) {
        next.push_back(std::move(w));
      } else if (i == 0) {
        next.push_back(std::move(windows_[0]));  // keep what we have rather than end up with nothing
      }
    }
    windows_.swap(next);
    // The saver lets go of the old surfaces before their windows are destroyed with `next`.
    saver_->SetMonitors(primarySurface(), Others());
    for (auto& w : windows_) {
      SetWindowPos(w->hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    // The foreground goes to the new primary before the old one closes: closing the active window
    // would hand activation to whatever the system picks, maybe another program, and end the saver.
    if (windows_[0]->hwnd() != GetForegroundWindow()) SetForegroundWindow(windows_[0]->hwnd());
  }

  UniformRandom primaryRandom_;
  std::vector<std::unique_ptr<SaverWindow>> windows_;
  Saver* saver_ = nullptr;
  bool displayChanged_ = false;
};

}  // namespace

void RunSaver(settings::Settings& settings, std::wstring_view args) {
  SaverWindows windows;
  if (!windows.Open()) return;
  Win32Clock clock;
  WaitableTimerWait wait(clock);
  FramePacer pacer(clock, wait);
  const std::unique_ptr<music::SaverMusic> music = music::CreateSaverMusic(settings);
  Saver saver(settings, args, SaverPorts{clock, *music, windows}, {windows.primarySurface(), windows.primaryRandom()});
  saver.SetMonitors(windows.primarySurface(), windows.Others());
  windows.Attach(&saver);
  saver.Form_Load();
  saver.RunDisplayLoop(pacer);
}

}  // namespace lw::display
