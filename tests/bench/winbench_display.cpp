// Under Wine (or Windows): what a paced frame costs, per way of presenting it. Opens one borderless
// window per monitor (or on the primary only), paces to the saver's 60 frames a second and pumps
// once a frame as the saver does, for a given time:
//   bare       one pixel presented a frame: the floor of any paced window
//   rect       one 900 x 750 rectangle presented a frame
//   tiles:S    the saver's frame on every monitor (emitter step, two passes), the changed tiles of
//              2^S pixels presented one BitBlt per merged rectangle
// Runs until a key is pressed or the time is up. Prints the frame's own work (steps, passes and
// presents on every monitor, timed with QueryPerformanceCounter): median and 99th percentile.
// Processor time is read from outside by winbench_display_process.sh.
// Usage: winbench_display <mode> [particles, 600] [seconds, 20] [all | primary]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "display/dib_surface_win32.h"
#include "display/frame_pacer.h"
#include "display/frame_wait_win32.h"
#include "display/monitor_animation.h"
#include "display/random_source.h"
#include "platform/window_win32.h"

// The Win32 adapters are built into the saver only; the benchmark compiles the same sources.
#include "display/dib_surface_win32.cpp"
#include "display/frame_wait_win32.cpp"
#include "platform/window_win32.cpp"

namespace {

using namespace lw::display;

double NowMs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

struct BenchClock final : Clock {
  double Milliseconds() const override { return NowMs(); }
  double SecondsSinceMidnight() const override { return 0; }
};

class BenchWindow final : public lw::win32::Window {
 public:
  explicit BenchWindow(const RECT& r) {
    Create(L"Lumenweave.WinBench", L"winbench_display", WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST, r.left, r.top,
           r.right - r.left, r.bottom - r.top, nullptr, nullptr, 0, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetForegroundWindow(hwnd());
  }
};

// One monitor's window, surface and animation, stepped as the saver steps it.
struct Screen {
  Screen(const RECT& r, int particles, int tileShift, double seed)
      : window(r), surface(window.hwnd(), r.right - r.left, r.bottom - r.top, 15.0f, tileShift) {
    animation.Start(static_cast<std::int16_t>(particles), seed);
  }
  void Frame() {
    animation.EmitterTick();
    animation.Passes();
    surface.Present();
  }
  BenchWindow window;
  lw::win32::WindowDc dc{window.hwnd()};  // kept, as the saver's surface keeps its own
  DibSurface surface;
  UniformRandom random;
  MonitorAnimation animation{surface, random, 0.0};
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"tiles:4";
  const int particles = argc > 2 ? _wtoi(argv[2]) : 600;
  const double seconds = argc > 3 ? _wtof(argv[3]) : 20.0;
  std::vector<RECT> monitors;
  if (argc > 4 && std::wstring(argv[4]) == L"primary")
    monitors.push_back({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
  else
    EnumDisplayMonitors(nullptr, nullptr, [](HMONITOR, HDC, LPRECT r, LPARAM out) {
      return reinterpret_cast<std::vector<RECT>*>(out)->push_back(*r), TRUE;
    }, reinterpret_cast<LPARAM>(&monitors));

  const bool saver = mode.rfind(L"tiles:", 0) == 0;
  const int tileShift = saver ? _wtoi(mode.c_str() + mode.find(L':') + 1) : 6;
  std::vector<std::unique_ptr<Screen>> screens;
  for (const RECT& r : monitors)
    screens.push_back(std::make_unique<Screen>(r, particles, tileShift, 1.0 + static_cast<double>(screens.size())));

  BenchClock clock;
  WaitableTimerWait wait(clock);
  FramePacer pacer(clock, wait);
  std::vector<double> work;
  const double begin = NowMs();
  for (double end = begin + 1000.0 * seconds; NowMs() < end;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_KEYDOWN) end = 0;
      DispatchMessageW(&msg);
    }
    if (!pacer.WaitForFrame()) continue;  // input: pumped, the frame still to come
    const double start = NowMs();
    for (auto& s : screens) {
      if (saver) s->Frame();
      else s->surface.PresentArea(s->dc.get(), mode == L"rect" ? RECT{0, 0, 900, 750} : RECT{0, 0, 1, 1});
    }
    GdiFlush();
    work.push_back(NowMs() - start);
  }
  std::sort(work.begin(), work.end());
  const double elapsed = (NowMs() - begin) / 1000.0;
  std::printf("%ls N=%d monitors=%zu: %zu frames in %.0f s (%.1f fps), frame work median %.3f ms, p99 %.3f ms\n",
              mode.c_str(), particles, screens.size(), work.size(), elapsed, work.size() / elapsed,
              work[work.size() / 2], work[work.size() * 99 / 100]);
  return 0;
}
