// Base of every window of the program: owns its HWND, stores `this` on WM_NCCREATE and forwards
// messages to a member, so each window keeps its state in its own object.
#pragma once

#include <windows.h>

namespace lw::win32 {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }

 protected:
  // Registers the class once per process (same name, same procedure) and creates the window.
  bool Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
              int width, int height, HWND parent, HMENU menu = nullptr, UINT classStyle = CS_DBLCLKS,
              HBRUSH background = nullptr, HICON icon = nullptr, HCURSOR cursor = nullptr);
  // Messages not handled here go to DefWindowProcW.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // Called after WM_NCDESTROY; the object must not touch hwnd() afterwards.
  virtual void OnDestroyed() {}

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};

// Runs the message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

// The dots per inch of the monitor `hwnd` is on (Windows 10 1607 and later), else the system's.
UINT WindowDpi(HWND hwnd);

}  // namespace lw::win32
