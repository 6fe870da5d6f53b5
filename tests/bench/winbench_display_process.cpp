// The whole saver process, measured from outside: starts Lumenweave.scr /S with a given particle
// count for a given time and reports its frame rate. (Its processor time is read by
// winbench_display_process.sh from the system, as Wine's GetProcessTimes of another process is
// not reliable.)
// Usage: winbench_display_process <path of Lumenweave.scr> [particles, 600] [seconds, 30]
//
// Frames are counted without touching the saver: it makes exactly one emitter step per frame (the
// step is due every 10 ms, frames come at most every 16.7 ms), and the emitter path is fixed, so
// the steps at which the screen flips between dots and trails are known in advance. Sampling the
// screen for those flips and timing them gives the steps, and so the frames, per second.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "display/memory_surface.h"
#include "display/spring_model.h"

namespace {

double NowSeconds() {
  static const double perTick = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1.0 / static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * perTick;
}

// Emitter steps at which the screen flips, on this screen.
std::vector<int> FlipSteps(int width, int height, float twipsPerPixel, int steps) {
  lw::display::MemorySurface surface(width, height, twipsPerPixel, twipsPerPixel);
  lw::display::SpringModel model;
  lw::display::EmitterState state;
  const auto centerX = static_cast<std::int32_t>(surface.ScaleWidth() + 0.5f) / 2;
  const auto centerY = static_cast<std::int32_t>(surface.ScaleHeight() + 0.5f) / 2;
  std::vector<int> flips;
  for (int step = 1; step <= steps; ++step) {
    const auto before = state.trailColour;
    lw::display::EmitterStep(model, state, centerX, centerY, surface);
    if (state.trailColour != before) flips.push_back(step);
  }
  return flips;
}

// Lit pixels in the middle of the screen, where the particle clouds are.
long long LitPixels(HDC screen, HDC memory, const std::uint32_t* bits, int x, int y, int w, int h) {
  BitBlt(memory, 0, 0, w, h, screen, x, y, SRCCOPY);
  GdiFlush();
  long long lit = 0;
  for (long long i = 0; i < static_cast<long long>(w) * h; ++i) lit += (bits[i] & 0xFFFFFF) != 0;
  return lit;
}

bool WriteSettings(const std::wstring& path, int particles) {
  // [Section] and the particle-count key in code page 932.
  std::string text = "[Section]\r\n\x97\xB1\x8E\x71\x90\x94=" + std::to_string(particles) + "\r\n";
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
  CloseHandle(f);
  return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: winbench_display_process <Lumenweave.scr> [particles] [seconds]\n");
    return 2;
  }
  const int particles = argc > 2 ? _wtoi(argv[2]) : 600;
  const double seconds = argc > 3 ? _wtof(argv[3]) : 30.0;

  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"lw_bench_" + std::to_wstring(particles);
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring scr = folder + L"\\Lumenweave.scr";
  if (!CopyFileW(argv[1], scr.c_str(), FALSE) || !WriteSettings(folder + L"\\Lumenweave.ini", particles)) {
    std::fprintf(stderr, "cannot prepare %ls\n", folder.c_str());
    return 1;
  }

  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  const float twips = 1440.0f / static_cast<float>(GetDeviceCaps(screen, LOGPIXELSY));
  const std::vector<int> flips = FlipSteps(width, height, twips, 20000);

  std::wstring command = L"\"" + scr + L"\" /S";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(scr.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) {
    std::fprintf(stderr, "cannot start the saver\n");
    return 1;
  }
  HWND saver = nullptr;
  for (int i = 0; i < 300 && !saver; ++i, Sleep(100)) saver = FindWindowW(nullptr, L"Lumenweave_Main");
  if (!saver) {
    TerminateProcess(pi.hProcess, 1);
    std::fprintf(stderr, "no saver window\n");
    return 1;
  }

  const int sx = std::max(0, width / 2 - 560), sy = std::max(0, height / 2 - 440);
  const int sw = std::min(width - sx, 1120), sh = std::min(height - sy, 880);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = sw;
  info.bmiHeader.biHeight = -sh;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);

  const long long dotsAtMost = 2LL * (particles + 1), trailsAbove = 3LL * (particles + 1);
  const double t0 = NowSeconds();
  std::vector<double> flipTimes;
  int state = 0;  // 0 unknown, 1 dots, 2 trails
  int samples = 0;
  while (NowSeconds() - t0 < seconds) {
    const long long lit = LitPixels(screen, memory, static_cast<const std::uint32_t*>(bits), sx, sy, sw, sh);
    ++samples;
    const int now = lit <= dotsAtMost ? 1 : lit > trailsAbove ? 2 : state;
    if (state != 0 && now != state) flipTimes.push_back(NowSeconds() - t0);
    state = now;
    Sleep(100);
  }

  PostMessageW(saver, WM_KEYDOWN, VK_SPACE, 0);
  if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  std::printf("N=%d: %d screen samples in the first %.0f s, %zu flips seen\n", particles, samples, seconds,
              flipTimes.size());
  if (flipTimes.size() >= 2 && flipTimes.size() <= flips.size()) {
    // The first flip seen is the first of all: the saver starts in dots and flips to trails.
    const std::size_t last = flipTimes.size() - 1;
    const double fps = (flips[last] - flips[0]) / (flipTimes[last] - flipTimes[0]);
    std::printf("N=%d: frames per second %.1f (flips at steps %d..%d seen %.2f..%.2f s)\n", particles, fps,
                flips[0], flips[last], flipTimes[0], flipTimes[last]);
  } else {
    std::printf("N=%d: too few flips to time the frames\n", particles);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 0;
}
