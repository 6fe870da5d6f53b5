// Prints the version resource of a file as the system reads it (GetFileVersionInfoW), one
// "name=value" line each: the fixed file and product versions, the English strings and string 1
// of the string table (the name the display settings list shows for a screen saver).
// Usage: version_probe <file>; exit code 1 when the file has no version resource.
#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

void PrintString(const std::vector<BYTE>& block, const wchar_t* language, const wchar_t* name) {
  wchar_t query[128];
  swprintf(query, 128, L"\\StringFileInfo\\%ls\\%ls", language, name);
  void* value = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), query, &value, &length) && length > 0)
    wprintf(L"%ls=%ls\n", name, static_cast<const wchar_t*>(value));
}

void PrintStringTableName(const wchar_t* file) {
  HMODULE module = LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return;
  wchar_t name[256] = {};
  if (LoadStringW(module, 1, name, 256) > 0) wprintf(L"StringTable1=%ls\n", name);
  FreeLibrary(module);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  PrintStringTableName(argv[1]);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(argv[1], &ignored);
  if (size == 0) return 1;
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoW(argv[1], 0, size, block.data())) return 1;

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && length >= sizeof *fixed) {
    wprintf(L"FixedFileVersion=%u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
            HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    wprintf(L"FixedProductVersion=%u.%u.%u.%u\n", HIWORD(fixed->dwProductVersionMS),
            LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS));
  }

  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translations = nullptr;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length) ||
      length < sizeof(Translation))
    return 0;
  wchar_t language[16];
  swprintf(language, 16, L"%04x%04x", translations[0].language, translations[0].codePage);
  for (const wchar_t* name : {L"ProductName", L"ProductVersion", L"FileVersion", L"FileDescription",
                              L"CompanyName", L"LegalCopyright", L"OriginalFilename"})
    PrintString(block, language, name);
  return 0;
}
