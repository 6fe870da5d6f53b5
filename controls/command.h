// The gradient push button "Command", without windows: its four-state pointer/focus machine, the
// Click rule, the geometry of its painted face and its properties with their persistence.
//
// The face is a vertical gradient with the 4-pixel border ring of one of six skin pictures laid
// over it, and a caption label on top. Painting and the host are reached through two small ports,
// so a test can see which skin, which pieces and which gradient were asked for.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace lw::controls {

enum class Skin : std::uint8_t { Normal, HighLight, HighLightSelect, Selected, Pressed, Disable };

// 0 until Initialize; then 1..4.
enum class ButtonState : std::uint8_t { None = 0, Normal = 1, HighLight = 2, Selected = 3, HighLightSelect = 4 };

// Mouse button codes of the button events; a press or release reports the one button that changed.
inline constexpr std::int16_t kLeftButton = 1;
inline constexpr std::int16_t kRightButton = 2;
inline constexpr std::int16_t kMiddleButton = 4;

inline constexpr int kPointerPollMs = 100;

// ---- Face geometry ----------------------------------------------------------------------------

// A skin picture is 64 x 25 pixels; its own resolution is 15 twips per pixel whatever the screen.
inline constexpr double kSkinTwipsPerPixel = 15.0;
inline constexpr int kSkinWidthPx = 64;
inline constexpr int kSkinHeightPx = 25;

struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const PixelRect&) const = default;
};

// One border piece: where it lands on the face (screen pixels) and where it comes from (skin pixels).
struct SkinPiece {
  PixelRect dest;
  PixelRect source;
  bool operator==(const SkinPiece&) const = default;
};

// The eight border pieces of a face W x H twips on a surface with `twipsPerPixel`, in drawing
// order: top-left, top, top-right, right, bottom-right, bottom, bottom-left, left. A piece whose
// destination is empty (a face narrower or lower than 120 twips, or beyond 16-bit twips) has zero
// width or height and is not drawn.
std::array<SkinPiece, 8> SkinPieces(double widthTwips, double heightTwips, double twipsPerPixel);

// Gradient colours with 16-bit channels, as the gradient fill takes them.
struct Rgb16 {
  std::uint16_t red = 0, green = 0, blue = 0;
  bool operator==(const Rgb16&) const = default;
};
inline constexpr Rgb16 kGradientWhite{0xFF00, 0xFF00, 0xFF00};
inline constexpr Rgb16 kFaceTint{0xC600, 0xC500, 0xD700};  // #C6C5D7

// A vertical gradient from `upper` along the top edge to `lower` along the bottom edge, between
// the vertices (x0, y0) and (x1, y1) in pixels.
struct GradientFill {
  std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  Rgb16 upper, lower;
  bool operator==(const GradientFill&) const = default;
};

// ---- Caption label ----------------------------------------------------------------------------

struct FontSpec {
  std::wstring name;
  double points = 0;
  std::int16_t weight = 400;
  bool italic = false, underline = false, strikeout = false;
  std::int16_t charset = 0;
  bool operator==(const FontSpec&) const = default;
};

// "ＭＳ Ｐゴシック", 9.75 points, weight 400, Shift-JIS.
FontSpec DesignFont();

// The caption is a transparent, fixed-size label laid over the face, text centred. Positions in twips.
struct CaptionLabel {
  std::wstring text = L"Command";
  std::int32_t colour = 0;  // 0x00BBGGRR
  FontSpec font = DesignFont();
  bool enabled = true;      // false: drawn in the platform's greyed style
  double left = 0, top = 90, width = 1635, height = 195;
};

// ---- Ports ------------------------------------------------------------------------------------

// The control's own drawing surface: a persistent backing image in the control's size.
class ButtonSurface {
 public:
  virtual ~ButtonSurface() = default;
  virtual double WidthTwips() const = 0;   // inner size in twips
  virtual double HeightTwips() const = 0;
  virtual double TwipsPerPixel() const = 0;
  virtual void Clear() = 0;
  virtual void FillGradient(const GradientFill& fill) = 0;
  virtual void DrawPiece(Skin skin, const SkinPiece& piece) = 0;
  virtual void Present() = 0;
  // The caption label, or whether the face is shown at all, changed; the label redraws itself.
  virtual void LabelChanged() = 0;
};

// The host side: the pointer timer, the window under the pointer, Click and change notices.
class ButtonHost {
 public:
  virtual ~ButtonHost() = default;
  virtual void StartPointerTimer(int intervalMs) = 0;
  // Window identities for the pointer poll; nullopt when the parent's window cannot be read.
  virtual std::uintptr_t WindowUnderPointer() = 0;
  virtual std::uintptr_t OwnWindow() = 0;
  virtual std::optional<std::uintptr_t> ParentWindow() = 0;
  // The host may destroy the control from here.
  virtual void Click() = 0;
  virtual void PropertyChanged(std::wstring_view name) = 0;
};

// ---- Property store ---------------------------------------------------------------------------

using PropertyValue = std::variant<std::int32_t, std::wstring, FontSpec>;

// The host's property store: named values in the order they were written. Writing a value equal
// to its default leaves the entry out (a text default such as "1" equals the number it spells; a
// font is an object of its own and is always stored).
class PropertyBag {
 public:
  void Write(std::wstring_view name, const PropertyValue& value, const PropertyValue& writeDefault);
  PropertyValue Read(std::wstring_view name, const PropertyValue& readDefault) const;
  // Stores a value as it stands (a host filling the bag from its own storage).
  void Set(std::wstring_view name, PropertyValue value);
  bool Has(std::wstring_view name) const;
  const std::vector<std::pair<std::wstring, PropertyValue>>& Entries() const { return entries_; }

 private:
  std::vector<std::pair<std::wstring, PropertyValue>> entries_;
};

// ---- The control ------------------------------------------------------------------------------

class Command {
 public:
  Command(ButtonSurface& surface, ButtonHost& host) : surface_(surface), host_(host) {}
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;

  // Events delivered by the platform. `button` is the code of the button that changed (press,
  // release) or of the buttons held (move); only the exact code 1 means the left button.
  void FocusGained();
  void FocusLost();
  void MouseDown(std::int16_t button);
  void MouseMoved(std::int16_t button);
  // Raises Click as its very last step; nothing of the control is touched afterwards. Only a
  // release of a button pressed on this control clicks, and not once the pointer is known to be
  // away from it.
  void MouseUp(std::int16_t button);
  // Space on the focused button: pressed look on the key going down, Click on its release.
  void SpaceDown();
  void SpaceUp();
  // The default action a screen reader asks for: Click, as a mouse click raises it.
  void Press();
  void PointerTick();
  // The face painted again at a new size: the look of the current state (a focused button keeps
  // its focus look).
  void Resized();
  // The mouse capture went to another window: a press under way is over, with no Click.
  void CaptureLost();

  // Public members.
  void Initialize();
  std::uint8_t Visible();                  // 0 or 255
  void SetVisible(std::uint8_t value);
  std::int32_t FontColour();
  void SetFontColour(std::int32_t colour);
  bool Enabled();
  void SetEnabled(bool enabled);
  const std::wstring& Caption() const { return label_.text; }
  void SetCaption(std::wstring caption);
  const FontSpec& Font() const { return label_.font; }
  void SetFont(FontSpec font);

  // Persistence through the host's property store; `ambient` is the containing form's font.
  void ReadProperties(const PropertyBag& bag, const FontSpec& ambient);
  void WriteProperties(PropertyBag& bag, const FontSpec& ambient);

  // Read-only views for the platform's painting and for tests; none of them repaints.
  ButtonState State() const { return state_; }
  bool MouseIsDown() const { return mouseIsDown_; }
  bool IsEnabled() const { return isEnabled_; }
  bool GradientReverse() const { return gradientReverse_; }
  std::uint8_t FirstRun() const { return firstRun_; }
  bool Opaque() const { return opaque_; }
  const CaptionLabel& Label() const { return label_; }

 private:
  void DrawSkin(Skin skin);
  void DrawGradient();
  void ApplyEnabled();
  void RefreshNormal();
  void MouseOut();

  ButtonSurface& surface_;
  ButtonHost& host_;
  ButtonState state_ = ButtonState::None;
  bool mouseIsDown_ = false;
  std::int16_t pressed_ = 0;  // mouse buttons pressed on the control and not yet released
  bool spaceDown_ = false;
  bool isEnabled_ = false;
  bool gradientReverse_ = false;
  std::uint8_t firstRun_ = 0;
  bool opaque_ = true;
  CaptionLabel label_;
};

}  // namespace lw::controls
