// The settings dialog's painted surface: the gradient over the client area, the panel covered with
// the strip picture and the frames around the two headings, all in one back buffer that WM_PAINT
// copies; the radio marks; the labels' backgrounds cut from the same picture.
#include <windows.h>

#include <algorithm>

#include "dialog/settings_dialog_win32.h"
#include "resources/resource_ids.h"

namespace lw::dialog {
namespace {

using Bitmap = win32::GdiObject<HBITMAP>;
using Brush = win32::GdiObject<HBRUSH>;

Bitmap LoadBitmapResource(int id) {
  return Bitmap(static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

// A picture drawn at `size`, stretched from its own size when the DPI is not 96.
void DrawPicture(HDC dc, HBITMAP picture, int x, int y, SIZE size) {
  const SIZE own = BitmapSize(picture);
  if (own.cx <= 0 || own.cy <= 0) return;
  win32::MemoryDc source(dc);
  win32::Selection select(source.get(), picture);
  if (own.cx == size.cx && own.cy == size.cy) {
    BitBlt(dc, x, y, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
  } else {
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, x, y, size.cx, size.cy, source.get(), 0, 0, own.cx, own.cy, SRCCOPY);
  }
}

}  // namespace

void SettingsDialog::LoadPictures() {
  strip_ = LoadBitmapResource(IDB_PANEL_STRIP);
  radioOff_ = LoadBitmapResource(IDB_RADIO_OFF);
  radioOn_ = LoadBitmapResource(IDB_RADIO_ON);
}

// The background gradient over the whole client area, then the panel covered with the strip and
// the frames around the two headings, all into one bitmap that WM_PAINT copies.
void SettingsDialog::PaintBackground() {
  win32::WindowDc screen(hwnd());
  back_.reset(CreateCompatibleBitmap(screen.get(), client_.cx, client_.cy));
  if (!back_) return;
  win32::MemoryDc dc(screen.get());
  win32::Selection keep(dc.get(), back_.get());

  const auto rows = GradientRows(client_.cy);
  for (std::size_t y = 0; y < rows.size(); ++y) {
    Brush row(CreateSolidBrush(RGB(rows[y].r, rows[y].g, rows[y].b)));
    const RECT line{0, static_cast<LONG>(y), client_.cx, static_cast<LONG>(y) + 1};
    if (row) FillRect(dc.get(), &line, row.get());
  }

  const Box panel = ToPixels(twips::kPanel, dpi_);
  const RECT panelRect{panel.left, panel.top, panel.left + panel.width, panel.top + panel.height};
  FillRect(dc.get(), &panelRect, GetSysColorBrush(COLOR_BTNFACE));
  TileBackground(dc.get(), panelRect);
  for (const Box& frame : {twips::kFrameBgm, twips::kFrameParticles}) {
    const Box px = ToPixels(frame, dpi_, twips::kPanel);
    for (int inset = 0; inset < metrics_.frameLine; ++inset) {
      const RECT r{px.left + inset, px.top + inset, px.left + px.width - inset, px.top + px.height - inset};
      FrameRect(dc.get(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
  }

  backBrush_.reset(CreatePatternBrush(back_.get()));
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void SettingsDialog::TileBackground(HDC dc, const RECT& target) {
  if (BitmapSize(strip_.get()).cx <= 0) return;  // no artwork: the panel keeps its plain face
  const SIZE strip{metrics_.stripWidth, metrics_.stripHeight};
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, target.left, target.top, target.right, target.bottom);
  for (const TilePosition& at :
       TilePositions(target.right - target.left, target.bottom - target.top, strip.cx, strip.cy)) {
    DrawPicture(dc, strip_.get(), target.left + at.x, target.top + at.y, strip);
  }
  RestoreDC(dc, saved);
}

void SettingsDialog::CopyBackground(HDC dc, const RECT& area) {
  if (!back_ || !dc) return;
  win32::MemoryDc source(dc);
  win32::Selection select(source.get(), back_.get());
  BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, source.get(), area.left, area.top,
         SRCCOPY);
}

void SettingsDialog::OnDrawMark(const DRAWITEMSTRUCT& item) {
  const RECT& r = item.rcItem;
  POINT origin{0, 0};
  MapWindowPoints(item.hwndItem, hwnd(), &origin, 1);
  if (back_) {
    win32::MemoryDc source(item.hDC);
    win32::Selection select(source.get(), back_.get());
    BitBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, source.get(), origin.x, origin.y, SRCCOPY);
  }
  const std::size_t index = static_cast<std::size_t>(item.CtlID - kIdMark0);
  const bool on = index < marks_.size() && marks_[index];
  HBITMAP picture = on ? radioOn_.get() : radioOff_.get();
  if (BitmapSize(picture).cx > 0) {
    DrawPicture(item.hDC, picture, r.left, r.top, {metrics_.markSide, metrics_.markSide});
    return;
  }
  // Without the artwork, a plain round mark keeps the choice visible.
  const int d = std::min(r.right - r.left, r.bottom - r.top) - 1;
  win32::Selection pen(item.hDC, GetStockObject(BLACK_PEN));
  win32::Selection brush(item.hDC, GetStockObject(on ? BLACK_BRUSH : WHITE_BRUSH));
  Ellipse(item.hDC, r.left, r.top, r.left + d, r.top + d);
}

LRESULT SettingsDialog::OnControlColour(HDC dc, HWND control) {
  if (control == fileName_) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, control == link_ ? RGB(255, 255, 255) : RGB(0, 0, 0));
  if (!backBrush_) return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  // The label's background is the piece of the painted background it covers.
  POINT origin{0, 0};
  MapWindowPoints(control, hwnd(), &origin, 1);
  SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
  return reinterpret_cast<LRESULT>(backBrush_.get());
}

}  // namespace lw::dialog
