// Looks at a running saver from outside, and drives the settings writer with the real Win32 file
// store. One command per run:
//   stats [title]        pid, GDI and USER objects, private bytes and handles of the process that
//                        owns the top-level window titled `title` (default "Lumenweave_Main")
//   cursor               whether the pointer shows for the foreground input (GetCursorInfo)
//   processes NAME       how many processes run an image whose file name is NAME
//   save PATH VALUE      writes 粒子数=VALUE to the settings file PATH; prints "saved" or "refused"
//   read PATH            prints 粒子数 of the settings file PATH
//   readonly PATH 0|1    clears or sets the file's read-only attribute
//   strays FOLDER        lists files in FOLDER other than Lumenweave.ini
//   hammer PATH          saves 粒子数 = 111 and 222 in turn until killed
// Prints key=value pairs on one line, or "none" when the window is not there.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_store.h"
#include "platform/text_codec.h"
#include "settings/settings.h"

namespace {

void Print(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), n, nullptr, nullptr);
  std::printf("%s\n", utf8.c_str());
  std::fflush(stdout);
}

class ProcessHandle {
 public:
  explicit ProcessHandle(DWORD pid)
      : h_(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid)) {}
  ~ProcessHandle() { if (h_) CloseHandle(h_); }
  ProcessHandle(const ProcessHandle&) = delete;
  ProcessHandle& operator=(const ProcessHandle&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

// The GDI handle table entry the PEB's GdiSharedHandleTable points at (64-bit layout).
struct GdiEntry {
  UINT64 object;
  ULONG owner;
  USHORT unique;
  UCHAR type;
  UCHAR flags;
  UINT64 userPointer;
};
static_assert(sizeof(GdiEntry) == 24);
constexpr std::size_t kGdiEntries = 0x10000;
constexpr std::size_t kPebGdiTableOffset = 0xF8;

// Wine's GetGuiResources is a stub that returns 0. Its GDI handle table, though, is private to
// each process and reachable from the PEB, so the live entries there are the process's objects.
long GdiObjectsFromHandleTable(HANDLE process, DWORD pid) {
  using QueryFn = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<QueryFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  if (!query) return -1;
  PROCESS_BASIC_INFORMATION info{};
  if (query(process, ProcessBasicInformation, &info, sizeof info, nullptr) != 0 || !info.PebBaseAddress) return -1;
  UINT64 table = 0;
  SIZE_T got = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<const BYTE*>(info.PebBaseAddress) + kPebGdiTableOffset, &table,
                         sizeof table, &got) || !table)
    return -1;
  std::vector<GdiEntry> entries(kGdiEntries);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                         entries.size() * sizeof(GdiEntry), &got))
    return -1;
  long count = 0;
  const USHORT owner = static_cast<USHORT>(pid);
  for (std::size_t i = 0; i < got / sizeof(GdiEntry); ++i) {
    const auto& e = entries[i];
    const USHORT entryOwner = static_cast<USHORT>(e.owner & 0xFFFF);
    if (e.type != 0 && e.object != 0 && (entryOwner == owner || entryOwner == 0)) ++count;
  }
  return count;
}

struct WindowCount {
  DWORD pid;
  long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM param) {
  ++reinterpret_cast<WindowCount*>(param)->count;
  return TRUE;
}

BOOL CALLBACK CountTop(HWND hwnd, LPARAM param) {
  auto* c = reinterpret_cast<WindowCount*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == c->pid) {
    ++c->count;
    EnumChildWindows(hwnd, CountChild, param);
  }
  return TRUE;
}

int Stats(const std::wstring& title) {
  const HWND window = FindWindowW(nullptr, title.c_str());
  if (!window) {
    Print(L"none");
    return 1;
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  ProcessHandle process(pid);
  if (!process.get()) {
    Print(L"none");
    return 1;
  }
  long gdi = static_cast<long>(GetGuiResources(process.get(), GR_GDIOBJECTS));
  long user = static_cast<long>(GetGuiResources(process.get(), GR_USEROBJECTS));
  std::wstring source = L"GetGuiResources";
  if (gdi == 0 && user == 0) {
    // Not implemented (Wine): GDI from the handle table, USER as the process's windows.
    gdi = GdiObjectsFromHandleTable(process.get(), pid);
    WindowCount windows{pid, 0};
    EnumWindows(CountTop, reinterpret_cast<LPARAM>(&windows));
    user = windows.count;
    source = L"handle-table,windows";
  }
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  DWORD handles = 0;
  GetProcessHandleCount(process.get(), &handles);
  Print(L"pid=" + std::to_wstring(pid) + L" gdi=" + std::to_wstring(gdi) + L" user=" + std::to_wstring(user) +
        L" private=" + std::to_wstring(memory.PrivateUsage) + L" workingset=" + std::to_wstring(memory.WorkingSetSize) +
        L" handles=" + std::to_wstring(handles) + L" source=" + source);
  return 0;
}

int Cursor() {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  if (!GetCursorInfo(&info)) {
    Print(L"cursor=unknown");
    return 1;
  }
  Print(std::wstring(L"showing=") + ((info.flags & CURSOR_SHOWING) ? L"1" : L"0"));
  return 0;
}

int Processes(const std::wstring& name) {
  const HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return 1;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  long count = 0;
  for (BOOL ok = Process32FirstW(snap, &entry); ok; ok = Process32NextW(snap, &entry))
    if (lstrcmpiW(entry.szExeFile, name.c_str()) == 0) ++count;
  CloseHandle(snap);
  Print(L"processes=" + std::to_wstring(count));
  return 0;
}

int Save(const std::wstring& path, const std::wstring& value) {
  lw::FileStore& store = lw::SystemFileStore();
  lw::settings::IniFile ini(store, lw::SystemCp932());
  const auto before = store.ReadAll(path).bytes;
  static_cast<void>(ini.Write(lw::settings::kSection, lw::settings::kKeyParticleCount, value, path));
  const auto after = store.ReadAll(path).bytes;
  Print(after && after != before ? L"saved" : L"refused");
  return 0;
}

int Read(const std::wstring& path) {
  lw::settings::IniFile ini(lw::SystemFileStore(), lw::SystemCp932());
  Print(L"value=" + ini.Read(lw::settings::kSection, lw::settings::kKeyParticleCount, path));
  return 0;
}

int ReadOnly(const std::wstring& path, bool on) {
  const DWORD a = GetFileAttributesW(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return 1;
  const DWORD b = on ? (a | FILE_ATTRIBUTE_READONLY) : (a & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return SetFileAttributesW(path.c_str(), b) ? 0 : 1;
}

int Hammer(const std::wstring& path) {
  lw::settings::IniFile ini(lw::SystemFileStore(), lw::SystemCp932());
  Print(L"hammering");
  for (unsigned i = 0;; ++i)
    static_cast<void>(ini.Write(lw::settings::kSection, lw::settings::kKeyParticleCount, i % 2 ? L"111" : L"222", path));
}

int Strays(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 1;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L".." && lstrcmpiW(name.c_str(), L"Lumenweave.ini") != 0 &&
        lstrcmpiW(name.c_str(), L"Lumenweave.scr") != 0)
      Print(L"stray=" + name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring command = argv[1];
  if (command == L"stats") return Stats(argc > 2 ? argv[2] : L"Lumenweave_Main");
  if (command == L"cursor") return Cursor();
  if (command == L"processes" && argc > 2) return Processes(argv[2]);
  if (command == L"save" && argc > 3) return Save(argv[2], argv[3]);
  if (command == L"read" && argc > 2) return Read(argv[2]);
  if (command == L"readonly" && argc > 3) return ReadOnly(argv[2], argv[3][0] == L'1');
  if (command == L"strays" && argc > 2) return Strays(argv[2]);
  if (command == L"hammer" && argc > 2) return Hammer(argv[2]);
  return 2;
}
