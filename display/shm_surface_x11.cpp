#include "display/shm_surface_x11.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <ctime>

namespace lw::display {
namespace {

long long NowNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1'000'000'000LL + t.tv_nsec;
}

// Xlib reports errors through one process-wide handler without user data, so the trap around
// XShmAttach can only be a flag at file level.
bool g_attachFailed = false;
int TrapError(Display*, XErrorEvent*) {
  g_attachFailed = true;
  return 0;
}

// One 8-bit channel placed into a visual's channel mask of any width.
unsigned long Channel(std::uint32_t value, unsigned long mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  const unsigned long v = bits >= 8 ? static_cast<unsigned long>(value) << (bits - 8) : value >> (8 - bits);
  return (v << shift) & mask;
}

}  // namespace

float TwipsPerPixelForWindow(int width, int height) {
  if (width <= 0 || height <= 0) return kScreenTwipsPerPixel;
  const float shrink = std::max({1.0f, 1920.0f / static_cast<float>(width), 1080.0f / static_cast<float>(height)});
  return kScreenTwipsPerPixel * shrink;
}

ShmSurface::ShmSurface(Display* display, Window window) : display_(display), window_(window) {
  XWindowAttributes attributes{};
  XGetWindowAttributes(display, window, &attributes);
  visual_ = attributes.visual;
  depth_ = attributes.depth;
  gc_ = XCreateGC(display, window, 0, nullptr);
  rateSince_ = NowNs();
}

ShmSurface::~ShmSurface() {
  FreeImage();
  XFreeGC(display_, gc_);
}

void ShmSurface::FreeImage() {
  canvas_.reset();
  if (!image_) return;
  if (shm_.shmaddr) {
    XShmDetach(display_, &shm_);
    XSync(display_, False);
    shmdt(shm_.shmaddr);
    shm_ = {};
    image_->data = nullptr;  // not XDestroyImage's to free
  }
  XDestroyImage(image_);
  image_ = nullptr;
}

bool ShmSurface::CreateSharedImage(int width, int height) {
  if (!XShmQueryExtension(display_)) return false;
  image_ = XShmCreateImage(display_, visual_, depth_, ZPixmap, nullptr, &shm_, width, height);
  if (!image_) return false;
  shm_.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image_->bytes_per_line) * height, IPC_CREAT | 0600);
  void* address = shm_.shmid < 0 ? reinterpret_cast<void*>(-1) : shmat(shm_.shmid, nullptr, 0);
  if (address != reinterpret_cast<void*>(-1)) {
    shm_.shmaddr = image_->data = static_cast<char*>(address);
    shm_.readOnly = False;
    g_attachFailed = false;
    XErrorHandler previous = XSetErrorHandler(TrapError);
    const Status attached = XShmAttach(display_, &shm_);
    XSync(display_, False);  // a remote server fails the attach only now
    XSetErrorHandler(previous);
    if (!attached || g_attachFailed) {
      shmdt(address);
      shm_.shmaddr = nullptr;
    }
  }
  // Removed at once: the segment goes away with the last detach, even if the hack is killed.
  if (shm_.shmid >= 0) shmctl(shm_.shmid, IPC_RMID, nullptr);
  if (shm_.shmaddr) return true;
  image_->data = nullptr;
  XDestroyImage(image_);
  image_ = nullptr;
  shm_ = {};
  return false;
}

void ShmSurface::CreatePlainImage(int width, int height) {
  image_ = XCreateImage(display_, visual_, depth_, ZPixmap, 0, nullptr, width, height, 32, 0);
  if (image_) image_->data = static_cast<char*>(calloc(static_cast<std::size_t>(image_->bytes_per_line), height));
}

void ShmSurface::Resize(int width, int height) {
  FreeImage();
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
  twipsPerPixel_ = TwipsPerPixelForWindow(width_, height_);
  if (!CreateSharedImage(width_, height_)) CreatePlainImage(width_, height_);
  if (!image_ || !image_->data) return;
  const bool sameLayout = image_->bits_per_pixel == 32 && image_->bytes_per_line == width_ * 4 &&
                          image_->red_mask == 0xFF0000 && image_->green_mask == 0xFF00 &&
                          image_->blue_mask == 0xFF && image_->byte_order == LSBFirst;
  converted_.assign(sameLayout ? 0 : static_cast<std::size_t>(width_) * height_, 0u);
  pixels_ = sameLayout ? reinterpret_cast<std::uint32_t*>(image_->data) : converted_.data();
  canvas_.emplace(pixels_, width_, height_, twipsPerPixel_, twipsPerPixel_);
  canvas_->Clear();
}

void ShmSurface::Invalidate() { wholeNext_ = true; }

void ShmSurface::Cls() {
  if (canvas_) canvas_->Clear();
}

void ShmSurface::Put(const PixelRect& r) {
  if (!converted_.empty()) {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        const std::uint32_t p = pixels_[static_cast<std::size_t>(y) * width_ + x];
        XPutPixel(image_, x, y,
                  Channel(p >> 16 & 0xFF, image_->red_mask) | Channel(p >> 8 & 0xFF, image_->green_mask) |
                      Channel(p & 0xFF, image_->blue_mask));
      }
  }
  const unsigned w = static_cast<unsigned>(r.right - r.left), h = static_cast<unsigned>(r.bottom - r.top);
  if (sharedMemory()) {
    XShmPutImage(display_, window_, gc_, image_, r.left, r.top, r.left, r.top, w, h, False);
  } else {
    XPutImage(display_, window_, gc_, image_, r.left, r.top, r.left, r.top, w, h);
  }
}

void ShmSurface::Refresh() {
  if (canvas_) {
    std::vector<PixelRect> rects = canvas_->TakeDirtyRects();
    if (wholeNext_) rects = {PixelRect{0, 0, width_, height_}};
    wholeNext_ = false;
    for (const PixelRect& r : rects) Put(r);
    if (showFrameRate_) DrawFrameRate();
    // The server has read the shared image before the next passes write it again.
    XSync(display_, False);
  }
}

void ShmSurface::DrawFrameRate() {
  ++frames_;
  const long long now = NowNs();
  if (now - rateSince_ >= 1'000'000'000LL || rateText_.empty()) {
    rateText_ = "FPS: " + std::to_string(static_cast<int>(frames_ * 1e9 / std::max(now - rateSince_, 1LL) + 0.5));
    rateText_.resize(10, ' ');  // a shorter figure covers all of the longer one before it
    frames_ = 0;
    rateSince_ = now;
  }
  XSetForeground(display_, gc_, WhitePixel(display_, DefaultScreen(display_)));
  XSetBackground(display_, gc_, BlackPixel(display_, DefaultScreen(display_)));
  XDrawImageString(display_, window_, gc_, 10, height_ - 10, rateText_.data(), static_cast<int>(rateText_.size()));
}

}  // namespace lw::display
