// Probe of the preview tests: plays the display settings' part. It makes a borderless top-level
// window of a given size at a given place, starts the saver with "/p <handle>" in it, reports what
// the saver put there and when the saver ended, and destroys its window on request.
//
//   preview_host host <scr> <width> <height> <x> <y> <control-folder> [<seconds>]
//   preview_host desktop <scr> <control-folder> [<seconds>]
//     "desktop" hands the saver the desktop window itself as the parent.
//     Requests are files dropped into <control-folder>: "destroy" destroys the host window,
//     "close" posts WM_CLOSE to the preview, "quit" ends the saver and the probe. After <seconds>
//     (default 60) the probe ends both.
//   preview_host window <width> <height> <x> <y> <seconds>
//     Only the host window, for a saver started by the test itself: lives <seconds>, or until
//     its process is killed.
//   preview_host stale <scr> <milliseconds>
//     Starts the saver with the handle of a window that has just been destroyed.
//
// Output lines: "parent <handle>", "started", "child <style> <exstyle> <l>,<t>,<r>,<b>" (the
// preview's rectangle relative to the parent's client area), "destroyed", "closed",
// "exited <code> <ms>" (ms since the last request, or since start without one), "still-running",
// "terminated".
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

void Say(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::printf("\n");
  std::fflush(stdout);
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct Saver {
  PROCESS_INFORMATION info{};
  HANDLE job = nullptr;
  bool running = false;
};

// Starts the saver in a job that ends it when this probe ends, however the probe ends.
bool StartSaver(const std::wstring& scr, const std::wstring& argument, Saver& saver) {
  saver.job = CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (saver.job) SetInformationJobObject(saver.job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  std::wstring commandLine = L"\"" + scr + L"\" " + argument;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(scr.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &saver.info)) {
    Say("start-failed %lu", GetLastError());
    return false;
  }
  if (saver.job) AssignProcessToJobObject(saver.job, saver.info.hProcess);
  saver.running = true;
  Say("started");
  return true;
}

void EndSaver(Saver& saver) {
  if (saver.running) {
    TerminateProcess(saver.info.hProcess, 1);
    WaitForSingleObject(saver.info.hProcess, 5000);
    Say("terminated");
  }
  if (saver.info.hProcess) CloseHandle(saver.info.hProcess);
  if (saver.info.hThread) CloseHandle(saver.info.hThread);
  if (saver.job) CloseHandle(saver.job);
  saver = {};
}

// Handles every pending message, then waits up to `ms` for a message or the saver's end.
void Pump(const Saver& saver, DWORD ms) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  const DWORD count = saver.running ? 1 : 0;
  MsgWaitForMultipleObjects(count, &saver.info.hProcess, FALSE, ms, QS_ALLINPUT);
}

HWND MakeWindow(int width, int height, int x, int y, COLORREF colour) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(colour);
    wc.lpszClassName = L"LumenweavePreviewHost";
    RegisterClassW(&wc);
    registered = true;
  }
  return CreateWindowExW(0, L"LumenweavePreviewHost", L"Preview Host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x,
                         y, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Runs the saver in `parent` until it ends, a request says so or `seconds` have passed. A parent
// that this probe made is destroyed on request and at the end.
int Host(const std::wstring& scr, HWND parent, bool ownParent, const std::wstring& control, int seconds) {
  Say("parent %ld", static_cast<long>(HandleToLong(parent)));
  Pump({}, 0);

  Saver saver;
  if (!StartSaver(scr, L"/p " + std::to_wstring(HandleToLong(parent)), saver)) return 2;
  const ULONGLONG start = GetTickCount64();
  ULONGLONG since = start;
  HWND child = nullptr;
  bool closed = false;
  while (GetTickCount64() - start < static_cast<ULONGLONG>(seconds) * 1000) {
    Pump(saver, 50);
    if (!child && parent) {
      // The preview is found as soon as it is a child, but reported once it has been sized and
      // shown, which it does right after; a report in between would describe a half-made window.
      HWND found = FindWindowExW(parent, nullptr, nullptr, L"Preview Window");
      if (found && IsWindowVisible(found)) {
        child = found;
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        Say("child 0x%08lX 0x%08lX %ld,%ld,%ld,%ld", static_cast<unsigned long>(GetWindowLongW(child, GWL_STYLE)),
            static_cast<unsigned long>(GetWindowLongW(child, GWL_EXSTYLE)), r.left, r.top, r.right, r.bottom);
      }
    }
    if (ownParent && parent && FileExists(control + L"\\destroy")) {
      since = GetTickCount64();
      DestroyWindow(parent);
      parent = nullptr;
      Say("destroyed");
    }
    if (child && !closed && FileExists(control + L"\\close")) {
      since = GetTickCount64();
      PostMessageW(child, WM_CLOSE, 0, 0);
      closed = true;
      Say("closed");
    }
    if (saver.running && WaitForSingleObject(saver.info.hProcess, 0) == WAIT_OBJECT_0) {
      DWORD code = 0;
      GetExitCodeProcess(saver.info.hProcess, &code);
      Say("exited %lu %llu", code, GetTickCount64() - since);
      saver.running = false;
    }
    if (FileExists(control + L"\\quit") || !saver.running) break;
  }
  if (saver.running) Say("still-running");
  EndSaver(saver);
  if (ownParent && parent) DestroyWindow(parent);
  return 0;
}

int Stale(const std::wstring& scr, int ms) {
  HWND gone = MakeWindow(10, 10, 0, 0, RGB(0, 0, 0));
  const long handle = HandleToLong(gone);
  DestroyWindow(gone);
  Say("parent %ld", handle);
  Saver saver;
  if (!StartSaver(scr, L"/p " + std::to_wstring(handle), saver)) return 2;
  const ULONGLONG start = GetTickCount64();
  while (saver.running && GetTickCount64() - start < static_cast<ULONGLONG>(ms)) {
    Pump(saver, 50);
    if (WaitForSingleObject(saver.info.hProcess, 0) == WAIT_OBJECT_0) {
      DWORD code = 0;
      GetExitCodeProcess(saver.info.hProcess, &code);
      Say("exited %lu %llu", code, GetTickCount64() - start);
      saver.running = false;
    }
  }
  if (saver.running) Say("still-running");
  EndSaver(saver);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"host" && argc >= 8) {
    // Magenta shows wherever the preview fails to cover its parent.
    HWND parent = MakeWindow(_wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]), _wtoi(argv[6]), RGB(255, 0, 255));
    if (!parent) {
      Say("no-parent %lu", GetLastError());
      return 2;
    }
    return Host(argv[2], parent, true, argv[7], argc > 8 ? _wtoi(argv[8]) : 60);
  }
  if (mode == L"desktop" && argc >= 4) return Host(argv[2], GetDesktopWindow(), false, argv[3], argc > 4 ? _wtoi(argv[4]) : 60);
  if (mode == L"window" && argc >= 7) {
    HWND parent = MakeWindow(_wtoi(argv[2]), _wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]), RGB(255, 0, 255));
    Say("parent %ld", static_cast<long>(HandleToLong(parent)));
    const ULONGLONG start = GetTickCount64();
    while (parent && GetTickCount64() - start < static_cast<ULONGLONG>(_wtoi(argv[6])) * 1000) Pump({}, 50);
    return parent ? 0 : 2;
  }
  if (mode == L"stale" && argc >= 4) return Stale(argv[2], _wtoi(argv[3]));
  std::fwprintf(stderr, L"usage: preview_host host <scr> <w> <h> <x> <y> <control-folder> [<seconds>]\n"
                        L"       preview_host desktop <scr> <control-folder> [<seconds>]\n"
                        L"       preview_host window <w> <h> <x> <y> <seconds>\n"
                        L"       preview_host stale <scr> <milliseconds>\n");
  return 2;
}
