#include "startup/preview_picture.h"

#include <algorithm>
#include <cmath>

#include "display/memory_surface.h"
#include "display/random_source.h"
#include "display/saver.h"
#include "music/saver_music.h"
#include "settings/settings.h"

namespace lw::startup {
namespace {

constexpr int kWidth96 = 152, kHeight96 = 112;
constexpr int kBlock = 8;  // screen pixels per picture pixel at 96 DPI, each way
constexpr double kFrameMs = 1000.0 / 60.0;
constexpr int kMaxFrames = 20000;
// The phase of trails to show: by the fourth the loop has opened into its figure of eight.
constexpr int kTrailPhase = 4;

class FrameClock final : public display::Clock {
 public:
  double Milliseconds() const override { return now_; }
  double SecondsSinceMidnight() const override { return 40000.0; }  // the seed
  void Advance() { now_ += kFrameMs; }

 private:
  double now_ = 0;
};

class NoHost final : public display::SaverHost {
 public:
  explicit NoHost(FrameClock& clock) : clock_(clock) {}
  void SizeToScreen() override {}
  void SetNormalState() override {}
  void Show() override {}
  void MakeTopmost() override {}
  void PumpEvents() override { clock_.Advance(); }
  void ShowPointer() override {}
  void SetScreenSaveActive() override {}
  void Unload() override {}
  void EndProcess() override {}

 private:
  FrameClock& clock_;
};

class NoMusic final : public music::SaverMusic {
 public:
  void CD_Open() override {}
  void CD_Check() override {}
  bool CD_Active() const override { return false; }
  void CD_PrevTrack() override {}
  void CD_NextTrack() override {}
  void CD_Stop() override {}
  void WAV_Play() override {}
  void WAV_Stop() override {}
  void MP3_Play() override {}
  void MP3_Replay() override {}
  void MP3_Stop() override {}
};

int Scaled(int pixelsAt96, int dpi) { return static_cast<int>(std::lround(pixelsAt96 * dpi / 96.0)); }

// How much of the screen's pixel `i` lies in [from, to).
double Overlap(int i, double from, double to) { return std::max(0.0, std::min(i + 1.0, to) - std::max(double(i), from)); }

}  // namespace

PictureSize PreviewSize(int dpi) {
  dpi = std::clamp(dpi, 24, 480);
  return {Scaled(kWidth96, dpi), Scaled(kHeight96, dpi)};
}

Picture RenderPreviewScreen() {
  const int width = kWidth96 * kBlock, height = kHeight96 * kBlock;
  display::MemorySurface surface(width, height);
  surface.KeepPixelsBeforeClear(true);
  FrameClock clock;
  NoHost host(clock);
  NoMusic music;
  display::UniformRandom random;
  settings::Settings settings;
  settings.particleCount = settings::kDefaultParticleCount;
  display::Saver saver(settings, L"/S", {clock, music, host}, {surface, random});
  saver.Form_Load();

  // The screen is cleared when a phase ends; what it showed just before is the phase's last frame.
  int phase = 0;
  int clears = surface.clsCount();
  for (int frame = 0; frame < kMaxFrames && phase < kTrailPhase; ++frame) {
    const bool trails = saver.emitters().trailColour == display::kYellow;
    saver.Frame();
    if (surface.clsCount() != clears) {
      clears = surface.clsCount();
      if (trails) ++phase;
    }
  }
  if (phase < kTrailPhase) return {};
  return {width, height, surface.pixelsBeforeClear()};
}

Picture ReducePreviewScreen(const Picture& screen, int width, int height) {
  if (screen.pixels.empty() || width <= 0 || height <= 0) return {};
  Picture picture{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  const double blockX = double(screen.width) / width, blockY = double(screen.height) / height;
  for (int by = 0; by < height; ++by)
    for (int bx = 0; bx < width; ++bx) {
      const double x0 = bx * blockX, x1 = x0 + blockX, y0 = by * blockY, y1 = y0 + blockY;
      double lit = 0;
      for (int y = static_cast<int>(y0); y < std::min<double>(y1, screen.height); ++y)
        for (int x = static_cast<int>(x0); x < std::min<double>(x1, screen.width); ++x)
          if (((screen.pixels[static_cast<std::size_t>(y) * screen.width + x] >> 16) & 0xFF) > 127)
            lit += Overlap(x, x0, x1) * Overlap(y, y0, y1);
      // A curve that lets a lone trail show and a dense swarm saturate, in the saver's yellow.
      const double share = lit / (blockX * blockY);
      const auto level = static_cast<std::uint32_t>(std::lround(255.0 * (1.0 - std::exp(-3.0 * share))));
      picture.pixels[static_cast<std::size_t>(by) * width + bx] = level << 16 | level << 8;
    }
  return picture;
}

Picture RenderPreviewPicture(int dpi) {
  const PictureSize size = PreviewSize(dpi);
  return ReducePreviewScreen(RenderPreviewScreen(), size.width, size.height);
}

}  // namespace lw::startup
