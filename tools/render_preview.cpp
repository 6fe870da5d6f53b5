// Renders the preview picture with the saver itself: the display form's own set-up and frames run
// on a screen in memory with a fixed seed and a clock that advances one display frame per frame,
// the default particle count and no music. When a phase of trails ends (the frame before the
// screen is cleared), that frame is reduced to 152 x 112: each pixel of the picture stands for a
// block of the screen, lit by how many of the block's pixels the sparks lit, so thin trails keep
// their brightness at the small size.
//
// Usage: render_preview <output-folder> [<full-size.bmp>]   writes <output-folder>/preview.bmp
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "display/memory_surface.h"
#include "display/random_source.h"
#include "display/saver.h"
#include "music/saver_music.h"
#include "settings/settings.h"
#include "tools/image.h"

namespace lw::art {
namespace {

constexpr int kPictureWidth = 152, kPictureHeight = 112;
constexpr int kBlock = 8;  // the screen is 1216 x 896, the picture's shape
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

// Pixels laid out 0x00RRGGBB, rows top-down.
Image FromPixels(const std::vector<std::uint32_t>& pixels, int width, int height) {
  Image image(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::uint32_t rgb = pixels[static_cast<std::size_t>(y) * width + x];
      image.at(x, y) = {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                        static_cast<std::uint8_t>(rgb), 255};
    }
  return image;
}

// Each block's share of lit pixels, through a curve that lets a lone trail show and a dense
// swarm saturate, in the saver's yellow.
Image Reduce(const Image& screen) {
  Image picture(kPictureWidth, kPictureHeight);
  for (int by = 0; by < kPictureHeight; ++by)
    for (int bx = 0; bx < kPictureWidth; ++bx) {
      int lit = 0;
      for (int y = by * kBlock; y < (by + 1) * kBlock; ++y)
        for (int x = bx * kBlock; x < (bx + 1) * kBlock; ++x) lit += screen.at(x, y).r > 127 ? 1 : 0;
      const double share = lit / double(kBlock * kBlock);
      const auto level = static_cast<std::uint8_t>(std::lround(255.0 * (1.0 - std::exp(-3.0 * share))));
      picture.at(bx, by) = {level, level, 0, 255};
    }
  return picture;
}

}  // namespace
}  // namespace lw::art

int main(int argc, char** argv) {
  using namespace lw;
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: render_preview <output-folder> [<full-size.bmp>]\n");
    return 2;
  }
  display::MemorySurface surface(art::kPictureWidth * art::kBlock, art::kPictureHeight * art::kBlock);
  art::FrameClock clock;
  art::NoHost host(clock);
  art::NoMusic music;
  display::UniformRandom random;
  settings::Settings settings;
  settings.particleCount = settings::kDefaultParticleCount;
  display::Saver saver(settings, L"/S", {surface, clock, random, music, host});
  saver.Form_Load();

  // Keep the last frame of each phase of trails; the screen is cleared when one ends.
  std::vector<std::uint32_t> lastFrame;
  int phase = 0;
  int clears = surface.clsCount();
  for (int frame = 0; frame < art::kMaxFrames && phase < art::kTrailPhase; ++frame) {
    const bool trails = saver.emitters().trailColour == display::kYellow;
    if (trails) lastFrame = surface.pixels();
    saver.Frame();
    if (surface.clsCount() != clears) {
      clears = surface.clsCount();
      if (trails) ++phase;
    }
  }
  if (phase < art::kTrailPhase) {
    std::fprintf(stderr, "render_preview: no complete phase of trails in %d frames\n", art::kMaxFrames);
    return 1;
  }
  const art::Image screen = art::FromPixels(lastFrame, surface.width(), surface.height());
  if (argc == 3 && !art::WriteFile(argv[2], art::EncodeBmp24(screen))) return 1;
  const std::string path = std::string(argv[1]) + "/preview.bmp";
  if (!art::WriteFile(path, art::EncodeBmp24(art::Reduce(screen)))) {
    std::fprintf(stderr, "render_preview: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
