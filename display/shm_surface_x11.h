// The hack's retained surface on X11: an image the size of the window, in shared memory when the
// server offers MIT-SHM and can attach the segment (a remote one cannot), otherwise in our own
// memory sent with XPutImage. The particle passes write it directly; Refresh sends only the
// changed tiles.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <string>
#include <vector>

#include "display/canvas_surface.h"

namespace lw::display {

// The screen's twips per pixel as the saver's logic reads it (96 dots per inch): the emitters swing
// 200 of these pixels per model unit, so about 460 either side of the centre.
inline constexpr float kScreenTwipsPerPixel = 15.0f;

// Twips per pixel of the picture drawn in a window `width` x `height`: the screen's 15 from
// 1920 x 1080 up; a smaller window is drawn as a 1920 x 1080 screen made smaller (whichever side
// is shorter in proportion decides), swing, jitter and all, so the whole animation fits.
float TwipsPerPixelForWindow(int width, int height);

class ShmSurface final : public CanvasSurface {
 public:
  // Draws nothing until Resize has made an image.
  ShmSurface(Display* display, Window window);
  ~ShmSurface() override;
  ShmSurface(const ShmSurface&) = delete;
  ShmSurface& operator=(const ShmSurface&) = delete;

  // A new black image of the window's size, presented whole at the next Refresh.
  void Resize(int width, int height);
  // The window lost its content (exposed): present everything again.
  void Invalidate();
  void ShowFrameRate(bool on) { showFrameRate_ = on; }
  bool sharedMemory() const { return shm_.shmaddr != nullptr; }

  // The logic maps the emitters with the screen's twips per pixel; the picture's own scale is
  // applied only where twips become pixels (the canvas, the drawing area's size in twips).
  float TwipsPerPixelX() const override { return kScreenTwipsPerPixel; }
  float TwipsPerPixelY() const override { return kScreenTwipsPerPixel; }
  void Cls() override;
  void Refresh() override;

 private:
  void FreeImage();
  bool CreateSharedImage(int width, int height);
  void CreatePlainImage(int width, int height);
  void Put(const PixelRect& r);
  void DrawFrameRate();

  Display* display_;
  Window window_;
  Visual* visual_;
  int depth_;
  GC gc_;
  XImage* image_ = nullptr;
  XShmSegmentInfo shm_{};
  // Pixels in the canvas's 0x00RRGGBB order; the image's own memory when its layout is the
  // same, otherwise this buffer, converted into the image tile by tile.
  std::vector<std::uint32_t> converted_;
  std::uint32_t* pixels_ = nullptr;
  bool wholeNext_ = false;
  bool showFrameRate_ = false;
  int frames_ = 0;
  long long rateSince_ = 0;
  std::string rateText_;
};

}  // namespace lw::display
