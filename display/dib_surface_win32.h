// The saver's retained surface on Windows: a 32-bit top-down DIB section the size of the screen,
// written directly by the particle passes, presented to the window tile by tile.
#pragma once

#include <windows.h>

#include <cstdint>

#include "display/canvas_surface.h"
#include "platform/gdi_win32.h"

namespace lw::display {

// Twips per pixel of the window's monitor: 1440 / DPI.
float TwipsPerPixelFor(HWND hwnd);

class DibSurface final : public CanvasSurface {
 public:
  // A surface of width x height pixels presented into `hwnd`.
  DibSurface(HWND hwnd, int width, int height, float twipsPerPixel, int tileShift = PixelCanvas::kTileShift);
  ~DibSurface() override;
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;
  bool valid() const { return bits_ != nullptr; }

  void Cls() override;
  void Refresh() override;

  // Copies the changed tiles to the window; returns the number of pixels copied.
  long long Present();
  // Copies the whole surface (for WM_PAINT and for comparison).
  void PresentArea(HDC target, const RECT& area);

 private:
  HWND hwnd_;
  // Kept for the surface's life: taking the window's DC anew every frame costs more than the
  // copy of a typical frame.
  win32::WindowDc window_;
  win32::MemoryDc memory_;
  win32::GdiObject<HBITMAP> bitmap_;
  bool blank_ = false;  // cleared since the last present
  std::uint32_t* bits_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

}  // namespace lw::display
