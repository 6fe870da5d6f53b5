// Probe of the artwork tests: loads the saver's resources as Windows does and reports their
// sizes, so a test sees what the program will get, not what the generators meant to write.
//
//   preview_art <scr>
// Output lines: "icon <asked> <width>x<height>" for 16, 32, 48 and 256 pixels,
// "cursor <width>x<height> hotspot <x>,<y>", "bitmap <id> <width>x<height> <bits>", or
// "missing <what>".
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <initializer_list>

#include "resources/resource_ids.h"

namespace {

// The size of an icon's or cursor's colour (or, for monochrome, half its mask) bitmap.
bool IconSize(HICON icon, int& width, int& height, int& hotX, int& hotY) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  BITMAP bm{};
  const bool colour = info.hbmColor != nullptr;
  GetObjectW(colour ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  width = static_cast<int>(bm.bmWidth);
  height = static_cast<int>(colour ? bm.bmHeight : bm.bmHeight / 2);
  hotX = static_cast<int>(info.xHotspot);
  hotY = static_cast<int>(info.yHotspot);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fwprintf(stderr, L"usage: preview_art <scr>\n");
    return 2;
  }
  HMODULE module = LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) {
    std::printf("missing module %lu\n", GetLastError());
    return 1;
  }
  int w = 0, h = 0, x = 0, y = 0;
  for (int size : {16, 32, 48, 256}) {
    HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, 0));
    if (icon && IconSize(icon, w, h, x, y)) std::printf("icon %d %dx%d\n", size, w, h);
    else std::printf("missing icon %d\n", size);
    if (icon) DestroyIcon(icon);
  }
  HCURSOR cursor = static_cast<HCURSOR>(LoadImageW(module, MAKEINTRESOURCEW(IDC_LINK), IMAGE_CURSOR, 0, 0, 0));
  if (cursor && IconSize(cursor, w, h, x, y)) std::printf("cursor %dx%d hotspot %d,%d\n", w, h, x, y);
  else std::printf("missing cursor\n");
  if (cursor) DestroyCursor(cursor);
  for (int id : {IDB_PREVIEW, IDB_PANEL_STRIP, IDB_RADIO_OFF, IDB_RADIO_ON}) {
    HBITMAP bitmap =
        static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP bm{};
    if (bitmap && GetObjectW(bitmap, sizeof bm, &bm)) std::printf("bitmap %d %ldx%ld %d\n", id, bm.bmWidth, bm.bmHeight, bm.bmBitsPixel);
    else std::printf("missing bitmap %d\n", id);
    if (bitmap) DeleteObject(bitmap);
  }
  FreeLibrary(module);
  return 0;
}
