// Writes the preview picture at 96 DPI, rendered by the saver's own display logic (the program
// renders it again at other DPIs the same way).
//
// Usage: render_preview <output-folder> [<full-size.bmp>]   writes <output-folder>/preview.bmp
#include <cstdio>
#include <string>

#include "startup/preview_picture.h"
#include "tools/image.h"

namespace {

lw::art::Image ToImage(const lw::startup::Picture& picture) {
  lw::art::Image image(picture.width, picture.height);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t rgb = picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
      image.at(x, y) = {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                        static_cast<std::uint8_t>(rgb), 255};
    }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace lw;
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: render_preview <output-folder> [<full-size.bmp>]\n");
    return 2;
  }
  const startup::Picture screen = startup::RenderPreviewScreen();
  if (screen.pixels.empty()) {
    std::fprintf(stderr, "render_preview: no complete phase of trails\n");
    return 1;
  }
  if (argc == 3 && !art::WriteFile(argv[2], art::EncodeBmp24(ToImage(screen)))) return 1;
  const std::string path = std::string(argv[1]) + "/preview.bmp";
  if (!art::WriteFile(path, art::EncodeBmp24(ToImage(startup::ReducePreviewScreen(screen, 152, 112))))) {
    std::fprintf(stderr, "render_preview: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
