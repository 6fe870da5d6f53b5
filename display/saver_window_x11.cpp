// The hack on X11: the window it draws into (its own, the root, or one it is handed), the clock,
// the event pump and the signals that end it, wired to the portable Saver.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <memory>

#include "display/frame_pacer.h"
#include "display/saver.h"
#include "display/saver_entry_x11.h"
#include "display/shm_surface_x11.h"
#include "music/saver_music_gstreamer.h"

namespace lw::display {
namespace {

// Set from the signal handler, which can reach nothing else; read by the event pump. The signal's
// number, so that main can die of it once everything is closed.
volatile std::sig_atomic_t g_stopRequested = 0;
void RequestStop(int signal) { g_stopRequested = signal; }

// A window that vanishes under the hack (the daemon tears its window down) makes the server
// answer with errors; they are expected, and the pump ends the hack on DestroyNotify.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

class PosixClock final : public Clock {
 public:
  double Milliseconds() const override {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
  }
  double SecondsSinceMidnight() const override {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    tm local{};
    localtime_r(&t.tv_sec, &local);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + t.tv_nsec / 1e9;
  }
};

// Sleeps on the same monotonic clock; a signal ends the sleep early (EINTR), for the pump to see.
class SleepWait final : public FrameWait {
 public:
  void WaitUntil(double deadlineMs) override {
    const double ns = std::ceil(std::max(deadlineMs, 0.0) * 1e6);  // not a hair before the deadline
    const timespec at{static_cast<time_t>(ns / 1e9), static_cast<long>(std::fmod(ns, 1e9))};
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
  }
};

class X11Host final : public SaverHost {
 public:
  X11Host(Display* display, Window window, bool ownWindow, int width, int height)
      : display_(display), window_(window), own_(ownWindow), width_(width), height_(height) {
    deleteWindow_ = XInternAtom(display, "WM_DELETE_WINDOW", False);
  }
  void Attach(Saver* saver, ShmSurface* surface) {
    saver_ = saver;
    surface_ = surface;
  }

  // The daemon or the window manager places and stacks the window; the hack only shows its own.
  void SizeToScreen() override {}
  void SetNormalState() override {}
  void Show() override {
    if (own_) XMapRaised(display_, window_);
  }
  void MakeTopmost() override {}
  void PumpEvents() override {
    if (g_stopRequested && saver_) saver_->ShutDown();
    while (saver_ && XPending(display_)) {
      XEvent event;
      XNextEvent(display_, &event);
      Handle(event);
    }
  }
  void ShowPointer() override {}
  void SetScreenSaveActive() override {}
  void Unload() override { saver_ = nullptr; }
  void EndProcess() override {}  // the display loop ends after this frame and the hack returns

 private:
  void Handle(const XEvent& event) {
    switch (event.type) {
      case ConfigureNotify:
        if (event.xconfigure.window == window_ && (event.xconfigure.width != width_ || event.xconfigure.height != height_)) {
          width_ = event.xconfigure.width;
          height_ = event.xconfigure.height;
          surface_->Resize(width_, height_);
          saver_->Resize();
        }
        break;
      case Expose:
        surface_->Invalidate();
        break;
      case ClientMessage:
        if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_) saver_->ShutDown();
        break;
      case DestroyNotify:
        if (event.xdestroywindow.window == window_) saver_->ShutDown();
        break;
    }
  }

  Display* display_;
  Window window_;
  bool own_;
  int width_, height_;
  Atom deleteWindow_;
  Saver* saver_ = nullptr;
  ShmSurface* surface_ = nullptr;
};

Window CreateOwnWindow(Display* display) {
  const int screen = DefaultScreen(display);
  const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 960, 540, 0,
                                            BlackPixel(display, screen), BlackPixel(display, screen));
  XStoreName(display, window, "Lumenweave");
  XClassHint hint{const_cast<char*>("lumenweave"), const_cast<char*>("Lumenweave")};
  XSetClassHint(display, window, &hint);
  Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &deleteWindow, 1);
  return window;
}

struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};

}  // namespace

int StopSignal() { return g_stopRequested; }

int RunHack(const startup::HackOptions& options) {
  const char* name = options.display.empty() ? nullptr : options.display.c_str();
  const std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(name));
  if (!display) {
    std::fprintf(stderr, "lumenweave: cannot open display \"%s\"\n", XDisplayName(name));
    return 1;
  }
  XSetErrorHandler(IgnoreError);
  Display* d = display.get();
  const bool own = options.target == startup::HackTarget::kOwnWindow;
  const Window window = own ? CreateOwnWindow(d)
                        : options.target == startup::HackTarget::kRoot ? RootWindow(d, DefaultScreen(d))
                                                                        : options.windowId;
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(d, window, &attributes)) {
    std::fprintf(stderr, "lumenweave: no window 0x%lx\n", window);
    return 1;
  }
  XSelectInput(d, window, StructureNotifyMask | ExposureMask);

  struct sigaction action{};
  action.sa_handler = RequestStop;  // no SA_RESTART: the frame wait ends at once
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);

  settings::Settings settings;
  settings.particleCount = options.count;
  if (!options.music.empty()) {
    // The saver reads only the file's ending (MP3 or WAV) from here; the player gets the path.
    settings.bgmSource = settings::kSourceFile;
    settings.bgmFile.assign(options.music.begin(), options.music.end());
  }
  ShmSurface surface(d, window);
  surface.ShowFrameRate(options.fps);
  X11Host host(d, window, own, attributes.width, attributes.height);
  surface.Resize(attributes.width, attributes.height);
  PosixClock clock;
  SleepWait wait;
  FramePacer pacer(clock, wait);
  UniformRandom random;
  music::GStreamerMusic music(options.music);
  Saver saver(settings, L"", SaverPorts{clock, music, host}, {surface, random});
  host.Attach(&saver, &surface);
  saver.Form_Load();
  saver.RunDisplayLoop(pacer);
  return 0;
}

}  // namespace lw::display
