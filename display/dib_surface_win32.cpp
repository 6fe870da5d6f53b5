#include "display/dib_surface_win32.h"

#include <algorithm>

namespace lw::display {

float TwipsPerPixelFor(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  UINT dpi = 0;
  if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
    if (auto fn = reinterpret_cast<GetDpiForWindowFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))) {
      dpi = fn(hwnd);
    }
  }
  if (dpi == 0) {
    win32::WindowDc dc(nullptr);
    if (dc.get()) dpi = static_cast<UINT>(GetDeviceCaps(dc.get(), LOGPIXELSY));
  }
  if (dpi == 0) dpi = 96;
  return 1440.0f / static_cast<float>(dpi);
}

DibSurface::DibSurface(HWND hwnd, int width, int height, float twipsPerPixel, int tileShift)
    : CanvasSurface(std::max(width, 1), std::max(height, 1), twipsPerPixel), hwnd_(hwnd), window_(hwnd) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_ || !bits || !memory_.get()) return;
  // The bitmap stays selected for the life of the surface; it is deselected before deletion.
  previous_ = SelectObject(memory_.get(), bitmap_.get());
  bits_ = static_cast<std::uint32_t*>(bits);
  canvas_.emplace(bits_, width_, height_, twipsPerPixel_, twipsPerPixel_, tileShift);
  canvas_->Clear();
}

DibSurface::~DibSurface() {
  if (previous_ && previous_ != HGDI_ERROR) SelectObject(memory_.get(), previous_);
}

void DibSurface::Cls() {
  // The window is blanked by a fill at the next present instead of copying a whole screen of black.
  if (canvas_) canvas_->Blank(), blank_ = true;
}

long long DibSurface::Present() {
  if (!canvas_ || !window_.get()) return 0;
  // One copy per merged run of tiles: under Wine a clip region of the same tiles with a single copy
  // costs more to build than the copies it saves.
  long long area = 0;
  if (blank_) {
    PatBlt(window_.get(), 0, 0, width_, height_, BLACKNESS);
    area += static_cast<long long>(width_) * height_;
    blank_ = false;
  }
  for (const PixelRect& r : canvas_->TakeDirtyRects()) {
    BitBlt(window_.get(), r.left, r.top, r.right - r.left, r.bottom - r.top, memory_.get(), r.left, r.top, SRCCOPY);
    area += static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
  }
  return area;
}

void DibSurface::PresentArea(HDC target, const RECT& area) {
  if (!canvas_) return;
  BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, memory_.get(), area.left,
         area.top, SRCCOPY);
}

void DibSurface::Refresh() {
  Present();
  GdiFlush();  // GDI is done with the bits before the next pass writes them
}

}  // namespace lw::display
