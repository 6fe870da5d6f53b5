// A file's resources as Windows loads them: the version resource (GetFileVersionInfoW), string 1
// of the string table (the name the display settings list shows for a screen saver) and the
// saver's icon, cursor and bitmaps, so a test sees what the program gets, not what the
// generators meant to write.
#include <initializer_list>

#include "resources/resource_ids.h"
#include "tests/probe/probe.h"

namespace {

using probe::Say;

void SayVersion(const std::wstring& file) {
  DWORD ignored = 0;
  std::vector<BYTE> block(GetFileVersionInfoSizeW(file.c_str(), &ignored));
  if (block.empty() || !GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(block.size()), block.data())) return;
  VS_FIXEDFILEINFO* f = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&f), &length) && length >= sizeof *f) {
    Say("FixedFileVersion=%u.%u.%u.%u", HIWORD(f->dwFileVersionMS), LOWORD(f->dwFileVersionMS),
        HIWORD(f->dwFileVersionLS), LOWORD(f->dwFileVersionLS));
    Say("FixedProductVersion=%u.%u.%u.%u", HIWORD(f->dwProductVersionMS), LOWORD(f->dwProductVersionMS),
        HIWORD(f->dwProductVersionLS), LOWORD(f->dwProductVersionLS));
  }
  WORD* translation = nullptr;  // language, code page
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
      length < 2 * sizeof(WORD))
    return;
  for (const wchar_t* name : {L"ProductName", L"ProductVersion", L"FileVersion", L"FileDescription", L"CompanyName",
                              L"LegalCopyright", L"OriginalFilename"}) {
    wchar_t query[128];
    swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], name);
    void* value = nullptr;
    if (VerQueryValueW(block.data(), query, &value, &length) && length > 0)
      Say("%s=%s", probe::Utf8(name).c_str(), probe::Utf8(static_cast<const wchar_t*>(value)).c_str());
  }
}

// The size of an icon's or cursor's colour bitmap (or, for monochrome, half its mask) and hotspot.
bool SayIcon(HICON icon, const char* what) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return false;
  BITMAP bm{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  Say("%s %ldx%ld hotspot %lu,%lu", what, bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2, info.xHotspot,
      info.yHotspot);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return true;
}

}  // namespace

LW_PROBE_COMMAND(resources, "resources FILE: version strings, string 1, icons, cursor and bitmaps (\"missing ...\" when absent)") {
  if (args.empty()) return 2;
  SayVersion(args[0]);
  const HMODULE module = LoadLibraryExW(args[0].c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return Say("missing module %lu", GetLastError()), 1;
  wchar_t name[256] = {};
  if (LoadStringW(module, 1, name, 256) > 0) Say("StringTable1=%s", probe::Utf8(name).c_str());
  for (int size : {16, 32, 48, 256}) {
    const auto icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, 0));
    const std::string what = "icon " + std::to_string(size);
    if (!SayIcon(icon, what.c_str())) Say("missing %s", what.c_str());
    if (icon) DestroyIcon(icon);
  }
  const auto cursor = static_cast<HCURSOR>(LoadImageW(module, MAKEINTRESOURCEW(IDC_LINK), IMAGE_CURSOR, 0, 0, 0));
  if (!SayIcon(cursor, "cursor")) Say("missing cursor");
  if (cursor) DestroyCursor(cursor);
  for (int id : {IDB_PREVIEW, IDB_PANEL_STRIP, IDB_RADIO_OFF, IDB_RADIO_ON}) {
    const auto bitmap = static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP bm{};
    if (bitmap && GetObjectW(bitmap, sizeof bm, &bm)) Say("bitmap %d %ldx%ld %d", id, bm.bmWidth, bm.bmHeight, bm.bmBitsPixel);
    else Say("missing bitmap %d", id);
    if (bitmap) DeleteObject(bitmap);
  }
  FreeLibrary(module);
  return 0;
}
