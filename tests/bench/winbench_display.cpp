// Under Wine (or Windows): the cost of drawing one saver frame and of presenting it.
//  1. One frame of N = 32767 particles (two passes, 4 x 32768 points) drawn with one GDI
//     SetPixelV call per point into a screen-sized bitmap, against the saver's own stores into its
//     DIB section.
//  2. Presenting a typical frame (only the changed tiles) against copying the whole screen.
// Prints the median of several runs of each, and the ratios.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "display/dib_surface_win32.h"
#include "display/particle_field.h"
#include "display/random_source.h"
#include "platform/window_win32.h"

// The Win32 adapters are built into the saver only; the benchmark compiles the same sources.
#include "display/dib_surface_win32.cpp"
#include "platform/window_win32.cpp"

namespace {

double NowMs() {
  static const double msPerTick = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1000.0 / static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * msPerTick;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// A DisplaySurface whose every point is one SetPixelV call into a memory DC.
class SetPixelSurface final : public lw::display::DisplaySurface {
 public:
  SetPixelSurface(HDC dc, int width, int height) : dc_(dc), width_(width), height_(height) {}
  float ScaleWidth() const override { return width_ * 15.0f; }
  float ScaleHeight() const override { return height_ * 15.0f; }
  float ScreenWidth() const override { return ScaleWidth(); }
  float ScreenHeight() const override { return ScaleHeight(); }
  float TwipsPerPixelX() const override { return 15.0f; }
  float TwipsPerPixelY() const override { return 15.0f; }
  void PSet(float x, float y, std::uint32_t colour) override {
    SetPixelV(dc_, static_cast<int>(x / 15.0f), static_cast<int>(y / 15.0f), colour);
  }
  void Cls() override {}
  void Refresh() override {}

 private:
  HDC dc_;
  int width_, height_;
};

class BenchWindow final : public lw::win32::Window {
 public:
  bool Open(int w, int h) {
    return Create(L"Lumenweave.WinBench", L"winbench_display", WS_POPUP | WS_VISIBLE, 0, 0, 0, w, h, nullptr,
                  nullptr, 0, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace

int wmain() {
  const int width = 1920, height = 1080, runs = 9;
  const std::int16_t count = 32767;
  const float emitX[2] = {19241.0f, 19241.0f}, emitY[2] = {5046.0f, 11154.0f};

  BenchWindow window;
  if (!window.Open(width, height)) return 1;
  Pump();

  // 1. Drawing one frame.
  std::vector<double> gdi, dib;
  {
    lw::win32::WindowDc screen(nullptr);
    lw::win32::MemoryDc memory(screen.get());
    lw::win32::GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    lw::win32::Selection selected(memory.get(), bitmap.get());
    SetPixelSurface gdiSurface(memory.get(), width, height);
    lw::display::DibSurface dibSurface(window.hwnd(), width, height, 15.0f, nullptr);
    for (int which = 0; which < 2; ++which) {
      lw::display::DisplaySurface& surface =
          which == 0 ? static_cast<lw::display::DisplaySurface&>(gdiSurface) : dibSurface;
      lw::display::ParticleField field(count);
      lw::display::UniformRandom random;
      random.Seed(1.0);
      for (int i = 0; i < 3; ++i) {  // spread the particles out first
        field.Pass(emitX[0], emitY[0], 0, surface, random);
        field.Pass(emitX[1], emitY[1], 0, surface, random);
      }
      for (int run = 0; run < runs; ++run) {
        const double start = NowMs();
        field.Pass(emitX[0], emitY[0], 0, surface, random);
        field.Pass(emitX[1], emitY[1], 0, surface, random);
        GdiFlush();
        (which == 0 ? gdi : dib).push_back(NowMs() - start);
      }
    }
  }
  const double gdiMs = Median(gdi), dibMs = Median(dib);
  std::printf("draw one frame, N=%d (%d points): SetPixelV per point %.3f ms, DIB stores %.3f ms, ratio %.1fx\n",
              count, 4 * (count + 1), gdiMs, dibMs, gdiMs / dibMs);

  // 2. Presenting a typical frame of 600 particles against the whole screen.
  std::vector<double> partial, full;
  long long area = 0;
  {
    lw::display::DibSurface surface(window.hwnd(), width, height, 15.0f, nullptr);
    lw::display::ParticleField field(600);
    lw::display::UniformRandom random;
    random.Seed(2.0);
    lw::win32::WindowDc dc(window.hwnd());
    const RECT all{0, 0, width, height};
    for (int frame = 0; frame < 300 + runs; ++frame) {
      field.Pass(emitX[0], emitY[0], 0, surface, random);
      field.Pass(emitX[1], emitY[1], 0, surface, random);
      if (frame < 300) {
        surface.Present();
        Pump();
        continue;
      }
      double start = NowMs();
      area = surface.Present();
      GdiFlush();
      partial.push_back(NowMs() - start);
      Pump();
      start = NowMs();
      surface.PresentArea(dc.get(), all);
      GdiFlush();
      full.push_back(NowMs() - start);
      Pump();
    }
  }
  const double partialMs = Median(partial), fullMs = Median(full);
  std::printf("present a typical frame (N=600): changed tiles %.3f ms for %lld px (%.1f %% of the screen), "
              "whole screen %.3f ms for %d px, ratio %.1fx\n",
              partialMs, area, 100.0 * static_cast<double>(area) / (width * height), fullMs, width * height,
              fullMs / partialMs);
  return 0;
}
