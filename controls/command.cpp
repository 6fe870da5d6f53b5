#include "controls/command.h"

#include <algorithm>
#include <cmath>

#include "platform/conversions.h"

namespace lw::controls {
namespace {

constexpr double kCornerTwips = 60;
constexpr double kCaptionLift = 20;  // the caption sits 10 twips above the exact centre

struct TwipRect {
  double x, y, width, height;
};

int PixelEdge(double twips, double twipsPerPixel) {
  const double px = RoundHalfEven(twips / twipsPerPixel);
  return static_cast<int>(std::clamp(px, -1e9, 1e9));
}

// Edges are converted, not sizes, so neighbouring pieces meet without gaps at any resolution.
PixelRect ToPixels(const TwipRect& r, double twipsPerPixel) {
  PixelRect p;
  p.x = PixelEdge(r.x, twipsPerPixel);
  p.y = PixelEdge(r.y, twipsPerPixel);
  p.width = r.width > 0 ? std::max(0, PixelEdge(r.x + r.width, twipsPerPixel) - p.x) : 0;
  p.height = r.height > 0 ? std::max(0, PixelEdge(r.y + r.height, twipsPerPixel) - p.y) : 0;
  return p;
}

std::optional<double> NumberOf(const PropertyValue& v) {
  if (const auto* n = std::get_if<std::int32_t>(&v)) return static_cast<double>(*n);
  if (const auto* s = std::get_if<std::wstring>(&v)) return CoerceNumber(*s);
  return std::nullopt;
}

// The face each state shows while no button or key is held.
Skin SkinOf(ButtonState state) {
  switch (state) {
    case ButtonState::HighLight: return Skin::HighLight;
    case ButtonState::Selected: return Skin::Selected;
    case ButtonState::HighLightSelect: return Skin::HighLightSelect;
    default: return Skin::Normal;
  }
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           auto up = [](wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; };
           return up(x) == up(y);
         });
}

std::optional<bool> TruthOf(const PropertyValue& v) {
  if (const auto* s = std::get_if<std::wstring>(&v)) {
    if (EqualsIgnoringCase(*s, L"True")) return true;
    if (EqualsIgnoringCase(*s, L"False")) return false;
  }
  if (auto n = NumberOf(v)) return *n != 0;
  return std::nullopt;
}

std::optional<std::wstring> TextOf(const PropertyValue& v) {
  if (const auto* s = std::get_if<std::wstring>(&v)) return *s;
  if (const auto* n = std::get_if<std::int32_t>(&v)) return DecimalText(*n);
  return std::nullopt;
}

std::optional<std::uint8_t> Uint8Of(const PropertyValue& v) {
  auto n = NumberOf(v);
  if (!n) return std::nullopt;
  const double r = RoundHalfEven(*n);
  if (r < 0 || r > 255) return std::nullopt;
  return static_cast<std::uint8_t>(r);
}

std::optional<std::int32_t> Int32Of(const PropertyValue& v) {
  auto n = NumberOf(v);
  return n ? RoundToInt32(*n) : std::nullopt;
}

std::optional<std::int16_t> Int16Of(const PropertyValue& v) {
  auto n = NumberOf(v);
  return n ? RoundToInt16(*n) : std::nullopt;
}

bool EqualsDefault(const PropertyValue& value, const PropertyValue& def) {
  if (std::holds_alternative<FontSpec>(value) || std::holds_alternative<FontSpec>(def)) return false;
  if (value.index() == def.index()) return value == def;
  const auto a = NumberOf(value), b = NumberOf(def);
  return a && b && *a == *b;
}

std::int32_t Truth(bool b) { return b ? -1 : 0; }

}  // namespace

FontSpec DesignFont() {
  return FontSpec{L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF", 9.75, 400, false, false, false, 128};
}

std::array<SkinPiece, 8> SkinPieces(double widthTwips, double heightTwips, double twipsPerPixel) {
  if (!(twipsPerPixel > 0)) twipsPerPixel = kSkinTwipsPerPixel;
  const double c = kCornerTwips;
  const double srcMidW = 960 - 2 * c, srcMidH = 375 - 2 * c;
  // The middle sizes are 16-bit; a face beyond 16-bit twips keeps them at 0 (nothing stretched).
  double midW = RoundToInt16(widthTwips - 2 * c).value_or(0);
  double midH = RoundToInt16(heightTwips - 2 * c).value_or(0);
  const double W = widthTwips, H = heightTwips;
  const std::array<std::pair<TwipRect, TwipRect>, 8> twips{{
      {{1, 1, c, c}, {0, 0, c, c}},
      {{c, 1, midW, c}, {c, 1, srcMidW, c}},
      {{W - c, 1, c, c}, {900, 1, c, c}},
      {{W - c, c, c, midH}, {900, c, c, srcMidH}},
      {{W - c, H - c, c, c}, {900, 315, c, c}},
      {{c, H - c, midW, c}, {c, 315, srcMidW, c}},
      {{1, H - c, c, c}, {0, 315, c, c}},
      {{1, c, c, midH}, {1, c, c, srcMidH}},
  }};
  std::array<SkinPiece, 8> pieces;
  for (std::size_t i = 0; i < pieces.size(); ++i)
    pieces[i] = {ToPixels(twips[i].first, twipsPerPixel), ToPixels(twips[i].second, kSkinTwipsPerPixel)};
  return pieces;
}

// ---- PropertyBag ------------------------------------------------------------------------------

void PropertyBag::Write(std::wstring_view name, const PropertyValue& value, const PropertyValue& writeDefault) {
  auto it = std::find_if(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == name; });
  if (EqualsDefault(value, writeDefault)) {
    if (it != entries_.end()) entries_.erase(it);
    return;
  }
  if (it != entries_.end()) it->second = value;
  else entries_.emplace_back(std::wstring(name), value);
}

PropertyValue PropertyBag::Read(std::wstring_view name, const PropertyValue& readDefault) const {
  for (const auto& e : entries_)
    if (e.first == name) return e.second;
  return readDefault;
}

void PropertyBag::Set(std::wstring_view name, PropertyValue value) {
  for (auto& e : entries_)
    if (e.first == name) { e.second = std::move(value); return; }
  entries_.emplace_back(std::wstring(name), std::move(value));
}

bool PropertyBag::Has(std::wstring_view name) const {
  return std::any_of(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == name; });
}

// ---- Painting ---------------------------------------------------------------------------------

void Command::DrawSkin(Skin skin) {
  if (state_ == ButtonState::Normal || state_ == ButtonState::Selected) gradientReverse_ = false;
  else if (state_ == ButtonState::HighLight) gradientReverse_ = true;
  // HighLightSelect (and 0) keep the direction of the state before.

  const double W = surface_.WidthTwips(), H = surface_.HeightTwips();
  const auto pieces = SkinPieces(W, H, surface_.TwipsPerPixel());
  surface_.Clear();
  DrawGradient();
  for (const auto& piece : pieces)
    if (piece.dest.width > 0 && piece.dest.height > 0) surface_.DrawPiece(skin, piece);
  surface_.Present();

  label_.top = (H - label_.height - kCaptionLift) / 2;
  label_.left = 0;
  label_.width = W;
  surface_.LabelChanged();
}

void Command::DrawGradient() {
  GradientFill fill;
  fill.upper = gradientReverse_ ? kFaceTint : kGradientWhite;
  fill.lower = gradientReverse_ ? kGradientWhite : kFaceTint;
  const double tpp = surface_.TwipsPerPixel();
  if (!(tpp > 0)) return;
  const auto x1 = RoundToInt32(surface_.WidthTwips() / tpp - 1);
  const auto y1 = RoundToInt32(surface_.HeightTwips() / tpp - 1);
  if (!x1 || !y1) return;
  fill.x1 = *x1;
  fill.y1 = *y1;
  if (fill.x1 > 0 && fill.y1 > 0) surface_.FillGradient(fill);
  surface_.Present();
}

void Command::ApplyEnabled() {
  DrawSkin(isEnabled_ ? Skin::Normal : Skin::Disable);
  label_.enabled = isEnabled_;
  surface_.LabelChanged();
}

void Command::RefreshNormal() {
  if (!isEnabled_) return;
  label_.enabled = true;
  if (firstRun_ == 0) label_.colour = 0;
  DrawSkin(Skin::Normal);
}

// ---- Pointer, focus and buttons ---------------------------------------------------------------

void Command::FocusGained() {
  if (!isEnabled_) return;
  if (state_ != ButtonState::HighLight) {
    state_ = ButtonState::Selected;
    DrawSkin(Skin::Selected);
  } else {
    // The pointer is over the button, so the focus came with a click.
    state_ = ButtonState::HighLightSelect;
    DrawSkin(Skin::Pressed);
  }
}

void Command::FocusLost() {
  if (!isEnabled_) return;
  spaceDown_ = false;
  if (state_ != ButtonState::Normal) {
    state_ = ButtonState::Normal;
    DrawSkin(Skin::Normal);
  }
}

void Command::MouseDown(std::int16_t button) {
  if (!isEnabled_) return;
  pressed_ = static_cast<std::int16_t>(pressed_ | button);
  if (button == kLeftButton) {
    mouseIsDown_ = true;
    DrawSkin(Skin::Pressed);
  }
}

void Command::MouseMoved(std::int16_t) {
  if (!isEnabled_) return;
  if (state_ == ButtonState::Normal) {
    state_ = ButtonState::HighLight;
    DrawSkin(Skin::HighLight);
  }
  if (state_ == ButtonState::Selected && !mouseIsDown_) {
    state_ = ButtonState::HighLightSelect;
    DrawSkin(Skin::HighLightSelect);
  }
}

void Command::MouseUp(std::int16_t button) {
  if (!isEnabled_) return;
  const bool pressedHere = button != 0 && (pressed_ & button) == button;
  pressed_ = static_cast<std::int16_t>(pressed_ & ~button);
  if (button == kLeftButton) {
    mouseIsDown_ = false;
    if (state_ == ButtonState::HighLight) DrawSkin(Skin::Normal);
    if (state_ == ButtonState::HighLightSelect) DrawSkin(Skin::HighLightSelect);
  }
  // A press elsewhere released here, or a press dragged away (state 1: no focus, pointer
  // away; state 3: focus, pointer away), is no click.
  const bool away = state_ == ButtonState::Selected || state_ == ButtonState::Normal;
  // Last step: the host may destroy the control from its Click handler.
  if (pressedHere && !away && isEnabled_) host_.Click();
}

void Command::SpaceDown() {
  if (!isEnabled_) return;
  spaceDown_ = true;
  DrawSkin(Skin::Pressed);
}

void Command::SpaceUp() {
  if (!isEnabled_ || !spaceDown_) return;
  spaceDown_ = false;
  DrawSkin(state_ == ButtonState::HighLightSelect ? Skin::HighLightSelect : Skin::Selected);
  host_.Click();
}

void Command::Press() {
  if (isEnabled_) host_.Click();
}

void Command::PointerTick() {
  const std::uintptr_t under = host_.WindowUnderPointer();
  const auto parent = host_.ParentWindow();
  if (!parent || under == *parent) MouseOut();
  else if (under != host_.OwnWindow()) MouseOut();
}

void Command::MouseOut() {
  if (!isEnabled_) return;
  if (state_ == ButtonState::HighLight) {
    state_ = ButtonState::Normal;
    DrawSkin(Skin::Normal);
  }
  if (state_ == ButtonState::HighLightSelect) {
    state_ = ButtonState::Selected;
    DrawSkin(Skin::Selected);
  }
}

void Command::Resized() {
  if (!isEnabled_) return ApplyEnabled();
  label_.enabled = true;
  surface_.LabelChanged();
  DrawSkin(SkinOf(state_));
}

void Command::CaptureLost() {
  if (!isEnabled_) return;
  const bool wasPressed = mouseIsDown_ || pressed_ != 0;
  pressed_ = 0;
  mouseIsDown_ = false;
  if (wasPressed) DrawSkin(SkinOf(state_));
}

// ---- Properties -------------------------------------------------------------------------------

void Command::Initialize() {
  state_ = ButtonState::Normal;
  host_.StartPointerTimer(kPointerPollMs);
}

std::uint8_t Command::Visible() {
  if (!opaque_) return 0;
  RefreshNormal();
  return 255;
}

void Command::SetVisible(std::uint8_t value) {
  opaque_ = value != 0;
  surface_.LabelChanged();
  if (opaque_) RefreshNormal();
  host_.PropertyChanged(L"Visible");
}

std::int32_t Command::FontColour() {
  const std::int32_t colour = label_.colour;
  RefreshNormal();
  return colour;
}

void Command::SetFontColour(std::int32_t colour) {
  label_.colour = colour;
  surface_.LabelChanged();
  RefreshNormal();
  host_.PropertyChanged(L"FontColour");
}

bool Command::Enabled() {
  if (firstRun_ == 0) {
    RefreshNormal();
    firstRun_ = 1;
    isEnabled_ = true;
  }
  const bool result = isEnabled_;
  ApplyEnabled();
  return result;
}

void Command::SetEnabled(bool enabled) {
  isEnabled_ = enabled;
  host_.PropertyChanged(L"Enabled");
  ApplyEnabled();
}

void Command::SetCaption(std::wstring caption) {
  label_.text = std::move(caption);
  surface_.LabelChanged();
  host_.PropertyChanged(L"Caption");
}

void Command::SetFont(FontSpec font) {
  label_.font = std::move(font);
  surface_.LabelChanged();
  host_.PropertyChanged(L"Font");
}

void Command::ReadProperties(const PropertyBag& bag, const FontSpec& ambient) {
  if (auto v = TruthOf(bag.Read(L"Enabled", Truth(true)))) isEnabled_ = *v;
  if (auto v = TextOf(bag.Read(L"Caption", std::wstring(L"Command1")))) label_.text = *v;
  const PropertyValue font = bag.Read(L"Font", ambient);
  if (const auto* f = std::get_if<FontSpec>(&font)) label_.font = *f;
  if (auto v = Uint8Of(bag.Read(L"FirstRun", std::wstring(L"1")))) firstRun_ = *v;
  if (auto v = Int32Of(bag.Read(L"FontColour", std::wstring(L"0")))) label_.colour = *v;
  // The surface accepts only 0 (transparent) and 1 (opaque) as its background style.
  if (auto v = Int16Of(bag.Read(L"Visible", std::wstring(L"1"))); v && (*v == 0 || *v == 1)) opaque_ = *v == 1;
  surface_.LabelChanged();
  RefreshNormal();
}

void Command::WriteProperties(PropertyBag& bag, const FontSpec& ambient) {
  bag.Write(L"Enabled", Truth(isEnabled_), Truth(true));
  bag.Write(L"Caption", label_.text, std::wstring(L"Command"));
  bag.Write(L"FirstRun", static_cast<std::int32_t>(firstRun_), std::wstring(L"1"));
  bag.Write(L"Font", label_.font, ambient);
  bag.Write(L"FontColour", label_.colour, std::wstring(L"0"));
  bag.Write(L"Visible", static_cast<std::int32_t>(opaque_ ? 1 : 0), std::wstring(L"1"));
  RefreshNormal();
}

}  // namespace lw::controls
