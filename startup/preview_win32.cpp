// The preview window: the still picture of the saver, embedded as a child of the window that the
// display settings hand over, and alive exactly as long as that window is.
#include "startup/preview_win32.h"

#include <windows.h>

#include "platform/gdi_win32.h"
#include "platform/window_win32.h"
#include "resources/resource_ids.h"
#include "startup/preview.h"
#include "startup/preview_picture.h"
#include "startup/startup.h"

namespace lw::startup {
namespace {

constexpr wchar_t kClassName[] = L"Lumenweave_R";
// The child is normally destroyed together with its parent; the watch covers a parent whose
// process dies without taking us along. It is a thread timer, so it outlives our window too.
constexpr UINT kParentWatchMs = 250;

class PreviewWindow final : public win32::Window {
 public:
  bool Open(HWND parent, const PreviewLayout& layout, int dpi) {
    // The committed picture is the 96-DPI rendering; other DPIs render their own at their size.
    if (PreviewSize(dpi).width != PreviewSize(96).width) picture_.reset(Rendered(dpi));
    if (!picture_)
      picture_.reset(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_PREVIEW),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (picture_ && GetObjectW(picture_.get(), sizeof info, &info)) pictureSize_ = {info.bmWidth, info.bmHeight};

    // A child of the parent from the start, created hidden at its size, then shown: a window
    // re-parented across processes (and DPI awareness contexts) is what Windows may refuse.
    if (!Create(kClassName, kPreviewTitle.data(), WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, layout.widthPixels,
                layout.heightPixels, parent, nullptr, 0, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))))
      return false;
    ShowWindow(hwnd(), SW_SHOWNA);
    return true;
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        Paint();
        return 0;
      case WM_DESTROY:
        // The preview is the program's only window: when it goes, the program ends.
        PostQuitMessage(0);
        return 0;
      default:
        return Window::HandleMessage(msg, wParam, lParam);
    }
  }

 private:
  static HBITMAP Rendered(int dpi) {
    const Picture picture = RenderPreviewPicture(dpi);
    if (picture.pixels.empty()) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) CopyMemory(bits, picture.pixels.data(), picture.pixels.size() * sizeof picture.pixels[0]);
    return bitmap;
  }

  // The picture at its own size from the top-left corner, black everywhere else.
  void Paint() {
    win32::PaintScope paint(hwnd());
    RECT client{};
    GetClientRect(hwnd(), &client);
    if (picture_) {
      win32::MemoryDc memory(paint.dc());
      win32::Selection selected(memory.get(), picture_.get());
      BitBlt(paint.dc(), 0, 0, pictureSize_.cx, pictureSize_.cy, memory.get(), 0, 0, SRCCOPY);
      ExcludeClipRect(paint.dc(), 0, 0, pictureSize_.cx, pictureSize_.cy);
    }
    FillRect(paint.dc(), &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }

  win32::GdiObject<HBITMAP> picture_;
  SIZE pictureSize_{};
};

ScreenRect OuterRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);  // a failure leaves the rectangle empty: no visible window
  return {r.left, r.top, r.right, r.bottom};
}

// While it lives, the thread creates windows (and measures) in the DPI awareness context of
// `window`: a child must share its parent's context, and the display settings' window may be of
// another than ours. Windows before 10 1607 have no such contexts; nothing changes there.
class DpiContextOf {
 public:
  explicit DpiContextOf(HWND window) {
    using GetContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto getContext =
        reinterpret_cast<GetContextFn>(reinterpret_cast<void*>(GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
    set_ = reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
    const DPI_AWARENESS_CONTEXT context = getContext && set_ ? getContext(window) : nullptr;
    previous_ = context ? set_(context) : nullptr;
  }
  ~DpiContextOf() {
    if (previous_) set_(previous_);
  }
  DpiContextOf(const DpiContextOf&) = delete;
  DpiContextOf& operator=(const DpiContextOf&) = delete;

 private:
  using SetContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
  SetContextFn set_ = nullptr;
  DPI_AWARENESS_CONTEXT previous_ = nullptr;  // null: nothing was changed
};

}  // namespace

void RunPreview(std::int32_t parentWnd) {
  // Window handles are 32-bit values, sign-extended on 64-bit Windows.
  const HWND parent = static_cast<HWND>(LongToHandle(parentWnd));
  // A handle that names no window (0 included) would only leave an invisible process behind.
  if (!IsWindow(parent)) return;

  PreviewWindow window;
  {
    // The parent's size, its DPI and our window, all in the parent's context; the window keeps
    // that context for good, the thread goes back to its own.
    const DpiContextOf parentContext(parent);
    // The parent's monitor's DPI (the screen's is only the system's in a per-monitor aware
    // process); on Windows without per-window DPI, the screen's as ever.
    const int dpi = static_cast<int>(win32::WindowDpi(parent));
    const double twipsPerPixel = TwipsPerPixel(dpi);
    const PreviewLayout layout = LayoutPreview(OuterRect(parent), twipsPerPixel, twipsPerPixel);
    if (!window.Open(parent, layout, dpi)) return;
  }
  const UINT_PTR watch = SetTimer(nullptr, 0, kParentWatchMs, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.hwnd == nullptr && msg.message == WM_TIMER && msg.wParam == watch) {
      if (!IsWindow(parent) || !window.hwnd() || !IsWindow(window.hwnd())) break;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  KillTimer(nullptr, watch);
}

}  // namespace lw::startup
