// Recording fakes of the button's ports, shared by the controls tests.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "controls/command.h"

namespace lw::controls::testing {

// One DrawSkin as the surface saw it: the gradient asked for and the pieces with their skin.
struct Paint {
  std::optional<GradientFill> gradient;
  std::vector<std::pair<Skin, SkinPiece>> pieces;
  Skin skin() const { return pieces.empty() ? Skin::Disable : pieces.front().first; }
};

class RecordingSurface final : public ButtonSurface {
 public:
  double width = 1215, height = 375, twipsPerPixel = 15;
  std::vector<Paint> paints;
  int presents = 0;

  double WidthTwips() const override { return width; }
  double HeightTwips() const override { return height; }
  double TwipsPerPixel() const override { return twipsPerPixel; }
  void Clear() override { paints.emplace_back(); }
  void FillGradient(const GradientFill& fill) override { paints.back().gradient = fill; }
  void DrawPiece(Skin skin, const SkinPiece& piece) override { paints.back().pieces.emplace_back(skin, piece); }
  void Present() override { ++presents; }
  void LabelChanged() override {}

  std::vector<Skin> Skins() const {
    std::vector<Skin> s;
    for (const auto& p : paints) s.push_back(p.skin());
    return s;
  }
};

class RecordingHost final : public ButtonHost {
 public:
  static constexpr std::uintptr_t kOwn = 1, kParent = 2, kElsewhere = 3;
  std::uintptr_t under = kElsewhere;
  bool parentReadable = true;
  int clicks = 0;
  std::optional<int> timer;
  std::vector<std::wstring> changed;
  std::function<void()> onClick;

  void StartPointerTimer(int intervalMs) override { timer = intervalMs; }
  std::uintptr_t WindowUnderPointer() override { return under; }
  std::uintptr_t OwnWindow() override { return kOwn; }
  std::optional<std::uintptr_t> ParentWindow() override {
    return parentReadable ? std::optional<std::uintptr_t>(kParent) : std::nullopt;
  }
  void Click() override {
    ++clicks;
    if (onClick) onClick();
  }
  void PropertyChanged(std::wstring_view name) override { changed.emplace_back(name); }
};

inline FontSpec AmbientFont() { return FontSpec{L"Tahoma", 8, 400, false, false, false, 0}; }

}  // namespace lw::controls::testing
