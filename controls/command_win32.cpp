// The window of the gradient push button: forwards pointer, focus, button and timer messages to
// the portable Command, paints the face it asks for into a persistent back buffer (GradientFill
// and StretchBlt of skin pieces) and draws the caption label over it on WM_PAINT.
//
// Hosts create the window themselves with CreateWindowExW (no creation parameter), so the window
// procedure makes its object on WM_NCCREATE. The object is shared with every message being
// handled, so a host that destroys the button from its Click handler frees it only once the
// button-up message has unwound.
#include "controls/command_win32.h"

#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <string>

#include "controls/command.h"
#include "platform/conversions.h"
#include "platform/gdi_win32.h"
#include "resources/resource_ids.h"

namespace lw::controls {
namespace {

constexpr UINT_PTR kPointerTimerId = 1;

UINT WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  // Present from Windows 10 1607 on; older systems have one resolution for every window.
  const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpi) {
    if (const UINT dpi = getDpi(hwnd)) return dpi;
  }
  win32::WindowDc screen(nullptr);
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

FontSpec SpecOf(HFONT font, UINT dpi) {
  LOGFONTW lf{};
  if (!font || GetObjectW(font, sizeof lf, &lf) != sizeof lf) return DesignFont();
  FontSpec spec;
  spec.name = lf.lfFaceName;
  spec.points = std::abs(static_cast<double>(lf.lfHeight)) * 72.0 / dpi;
  spec.weight = static_cast<std::int16_t>(lf.lfWeight);
  spec.italic = lf.lfItalic != 0;
  spec.underline = lf.lfUnderline != 0;
  spec.strikeout = lf.lfStrikeOut != 0;
  spec.charset = lf.lfCharSet;
  return spec;
}

HFONT CreateFontOf(const FontSpec& spec, UINT dpi) {
  LOGFONTW lf{};
  lf.lfHeight = -static_cast<LONG>(RoundHalfEven(spec.points * dpi / 72.0));
  lf.lfWeight = spec.weight;
  lf.lfItalic = spec.italic;
  lf.lfUnderline = spec.underline;
  lf.lfStrikeOut = spec.strikeout;
  lf.lfCharSet = static_cast<BYTE>(spec.charset);
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, spec.name.c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

// A colour with the high bit set names a system colour by its low byte.
COLORREF ColourOf(std::int32_t colour) {
  const auto c = static_cast<std::uint32_t>(colour);
  return (c & 0x80000000u) ? GetSysColor(static_cast<int>(c & 0xFF)) : static_cast<COLORREF>(c & 0xFFFFFF);
}

// A bitmap selected into its own memory DC for as long as the object lives.
class Buffer {
 public:
  bool Resize(int width, int height) {
    selection_.reset();
    dc_.reset();
    bitmap_.reset();
    width_ = height_ = 0;
    if (width <= 0 || height <= 0) return false;
    win32::WindowDc screen(nullptr);
    bitmap_.reset(CreateCompatibleBitmap(screen.get(), width, height));
    if (!bitmap_) return false;
    dc_ = std::make_unique<win32::MemoryDc>(screen.get());
    selection_ = std::make_unique<win32::Selection>(dc_->get(), bitmap_.get());
    width_ = width;
    height_ = height;
    return true;
  }
  HDC dc() const { return dc_ ? dc_->get() : nullptr; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  // Declared so that the selection goes first, then the DC, then the bitmap.
  win32::GdiObject<HBITMAP> bitmap_;
  std::unique_ptr<win32::MemoryDc> dc_;
  std::unique_ptr<win32::Selection> selection_;
  int width_ = 0, height_ = 0;
};

class CommandWindow final : public ButtonSurface, public ButtonHost {
 public:
  explicit CommandWindow(HWND hwnd) : hwnd_(hwnd), command_(*this, *this) {
    const int ids[] = {IDB_SKIN_NORMAL, IDB_SKIN_HIGHLIGHT, IDB_SKIN_HIGHLIGHTSELECT,
                       IDB_SKIN_SELECTED, IDB_SKIN_PRESSED, IDB_SKIN_DISABLE};
    const HINSTANCE module = GetModuleHandleW(nullptr);
    for (std::size_t i = 0; i < skins_.size(); ++i)
      skins_[i].reset(static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(ids[i]), IMAGE_BITMAP, 0, 0, 0)));
    dpi_ = WindowDpi(hwnd);
  }

  void Detach() { hwnd_ = nullptr; }

  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
      case WM_CREATE: {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        PropertyBag bag;  // what the host gave at creation is its stored copy of the properties
        bag.Set(L"Caption", std::wstring(cs->lpszName && !IS_INTRESOURCE(cs->lpszName) ? cs->lpszName : L""));
        Layout();
        command_.ReadProperties(bag, AmbientFont());
        return 0;
      }
      case WM_SIZE:
        Layout();
        command_.Resized();
        return 0;
      case WM_DPICHANGED_AFTERPARENT:
        dpi_ = WindowDpi(hwnd_);
        font_.reset();
        Layout();
        command_.Resized();
        return 0;
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        Paint();
        return 0;
      case WM_PRINTCLIENT:
        Compose(reinterpret_cast<HDC>(wParam));
        return 0;
      case WM_SETFOCUS:
        command_.FocusGained();
        Notify(BN_SETFOCUS);
        return 0;
      case WM_KILLFOCUS:
        command_.FocusLost();
        Notify(BN_KILLFOCUS);
        return 0;
      case WM_MOUSEMOVE:
        command_.MouseMoved(ButtonsHeld(wParam));
        return 0;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        // Capture so that the release reaches the button even off it; only the left button
        // brings the focus, so the other buttons never show the pressed look.
        SetCapture(hwnd_);
        if (msg == WM_LBUTTONDOWN && GetFocus() != hwnd_) SetFocus(hwnd_);
        command_.MouseDown(ButtonOf(msg));
        return 0;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && GetCapture() == hwnd_) {
          releasing_ = true;  // our own release, not a lost capture: the press stands
          ReleaseCapture();
          releasing_ = false;
        }
        // Click is the last step; the host may destroy this window from it.
        command_.MouseUp(ButtonOf(msg));
        return 0;
      case WM_CAPTURECHANGED:
        // Another window took the mouse (a menu, a drag, a message box): the press is over, so
        // a later release over the button is no click.
        if (!releasing_ && reinterpret_cast<HWND>(lParam) != hwnd_) command_.CaptureLost();
        return 0;
      case WM_CANCELMODE:
        if (GetCapture() == hwnd_) ReleaseCapture();  // WM_CAPTURECHANGED clears the press
        command_.CaptureLost();
        return DefWindowProcW(hwnd_, msg, wParam, lParam);
      case WM_TIMER:
        if (wParam == kPointerTimerId) command_.PointerTick();
        return 0;
      case WM_SETTEXT: {
        const LRESULT r = DefWindowProcW(hwnd_, msg, wParam, lParam);
        if (r) command_.SetCaption(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
        return r;
      }
      case WM_SETFONT:
        command_.SetFont(SpecOf(reinterpret_cast<HFONT>(wParam), dpi_));
        return 0;
      case WM_GETFONT:
        return reinterpret_cast<LRESULT>(CaptionFont());
      case kCommandInitialize:
        command_.Initialize();
        return 0;
      case kCommandSetEnabled:
        command_.SetEnabled(wParam != 0);
        return 0;
      case kCommandGetEnabled:
        return command_.Enabled() ? TRUE : FALSE;
      case kCommandSetFontColour:
        command_.SetFontColour(static_cast<std::int32_t>(wParam));
        return 0;
      case kCommandGetFontColour:
        return static_cast<LRESULT>(static_cast<std::uint32_t>(command_.FontColour()));
      case kCommandSetVisible:
        command_.SetVisible(static_cast<std::uint8_t>(wParam));
        return 0;
      case kCommandGetVisible:
        return command_.Visible();
      case kCommandReadProperties:
        if (lParam) command_.ReadProperties(*reinterpret_cast<const PropertyBag*>(lParam), AmbientFont());
        return 0;
      case kCommandWriteProperties:
        if (lParam) command_.WriteProperties(*reinterpret_cast<PropertyBag*>(lParam), AmbientFont());
        return 0;
      case kCommandGetState:
        return static_cast<LRESULT>(command_.State());
      case kCommandPress:
        command_.Press();  // Click is the last step, as for a release
        return 0;
      case kCommandIsEnabled:
        return command_.IsEnabled() ? TRUE : FALSE;
      case WM_KEYDOWN:
        if (wParam == VK_SPACE && !(lParam & (1 << 30))) command_.SpaceDown();  // not on auto-repeat
        return 0;
      case WM_KEYUP:
        if (wParam == VK_SPACE) command_.SpaceUp();
        return 0;
      case kCommandSetDefault:
        if (access_->isDefault != (wParam != 0)) {
          access_->isDefault = wParam != 0;
          NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
        }
        return 0;
      case kCommandSetAccessibleText: {
        const std::wstring text = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
        if (wParam == kAccessibleName) access_->name = text;
        if (wParam == kAccessibleDescription) access_->description = text;
        if (wParam == kAccessibleAction) access_->action = text;
        if (wParam == kAccessibleName) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
        if (wParam == kAccessibleDescription)
          NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
        return 0;
      }
      case WM_GETOBJECT:
        if (const LRESULT r = AnswerCommandObject(hwnd_, wParam, lParam, access_)) return r;
        return DefWindowProcW(hwnd_, msg, wParam, lParam);
      default:
        return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }
  }

  // ---- ButtonSurface ----
  double WidthTwips() const override { return face_.width() * TwipsPerPixel(); }
  double HeightTwips() const override { return face_.height() * TwipsPerPixel(); }
  double TwipsPerPixel() const override { return 1440.0 / dpi_; }

  void Clear() override {
    if (!face_.dc()) return;
    const RECT all{0, 0, face_.width(), face_.height()};
    FillRect(face_.dc(), &all, GetSysColorBrush(COLOR_BTNFACE));
  }

  void FillGradient(const GradientFill& fill) override {
    if (!face_.dc()) return;
    TRIVERTEX v[2] = {{fill.x0, fill.y0, fill.upper.red, fill.upper.green, fill.upper.blue, 0},
                      {fill.x1, fill.y1, fill.lower.red, fill.lower.green, fill.lower.blue, 0}};
    GRADIENT_RECT rect{0, 1};
    ::GradientFill(face_.dc(), v, 2, &rect, 1, GRADIENT_FILL_RECT_V);
  }

  void DrawPiece(Skin skin, const SkinPiece& piece) override {
    const HBITMAP bitmap = skins_[static_cast<std::size_t>(skin)].get();
    if (!face_.dc() || !bitmap) return;
    win32::MemoryDc source(face_.dc());
    win32::Selection selected(source.get(), bitmap);
    SetStretchBltMode(face_.dc(), COLORONCOLOR);
    StretchBlt(face_.dc(), piece.dest.x, piece.dest.y, piece.dest.width, piece.dest.height, source.get(),
               piece.source.x, piece.source.y, piece.source.width, piece.source.height, SRCCOPY);
  }

  void Present() override {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
  }
  void LabelChanged() override { Present(); }

  // ---- ButtonHost ----
  void StartPointerTimer(int intervalMs) override {
    if (hwnd_) SetTimer(hwnd_, kPointerTimerId, static_cast<UINT>(intervalMs), nullptr);
  }
  std::uintptr_t WindowUnderPointer() override {
    POINT p{};
    GetCursorPos(&p);
    return reinterpret_cast<std::uintptr_t>(WindowFromPoint(p));
  }
  std::uintptr_t OwnWindow() override { return reinterpret_cast<std::uintptr_t>(hwnd_); }
  std::optional<std::uintptr_t> ParentWindow() override {
    const HWND parent = hwnd_ ? GetParent(hwnd_) : nullptr;
    if (!parent) return std::nullopt;
    return reinterpret_cast<std::uintptr_t>(parent);
  }
  void Click() override {
    const HWND self = hwnd_;
    const HWND parent = self ? GetParent(self) : nullptr;
    if (!parent) return;
    const int id = GetDlgCtrlID(self);
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(self));
  }
  void PropertyChanged(std::wstring_view) override {}

 private:
  static std::int16_t ButtonOf(UINT msg) {
    if (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP) return kRightButton;
    if (msg == WM_MBUTTONDOWN || msg == WM_MBUTTONUP) return kMiddleButton;
    return kLeftButton;
  }
  static std::int16_t ButtonsHeld(WPARAM keys) {
    return static_cast<std::int16_t>(((keys & MK_LBUTTON) ? kLeftButton : 0) | ((keys & MK_RBUTTON) ? kRightButton : 0) |
                                     ((keys & MK_MBUTTON) ? kMiddleButton : 0));
  }

  void Notify(WORD code) {
    const HWND parent = hwnd_ ? GetParent(hwnd_) : nullptr;
    if (parent)
      SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), code), reinterpret_cast<LPARAM>(hwnd_));
  }

  FontSpec AmbientFont() const {
    const HWND parent = hwnd_ ? GetParent(hwnd_) : nullptr;
    HFONT font = parent ? reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr;
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return SpecOf(font, dpi_);
  }

  HFONT CaptionFont() {
    const FontSpec& spec = command_.Label().font;
    if (!font_ || !(fontSpec_ == spec)) {
      font_.reset(CreateFontOf(spec, dpi_));
      fontSpec_ = spec;
    }
    return font_.get();
  }

  void Layout() {
    RECT client{};
    if (hwnd_) GetClientRect(hwnd_, &client);
    if (client.right != face_.width() || client.bottom != face_.height()) {
      face_.Resize(client.right, client.bottom);
      frame_.Resize(client.right, client.bottom);
    }
  }

  int Px(double twips) const { return static_cast<int>(RoundHalfEven(twips / TwipsPerPixel())); }

  // The face (or, with Visible 0, what the parent draws) and the caption label over it.
  void Compose(HDC target) {
    const int w = face_.width(), h = face_.height();
    const RECT all{0, 0, w, h};
    if (command_.Opaque()) {
      BitBlt(target, 0, 0, w, h, face_.dc(), 0, 0, SRCCOPY);
    } else {
      FillRect(target, &all, GetSysColorBrush(COLOR_BTNFACE));
      if (const HWND parent = GetParent(hwnd_)) {
        POINT origin{0, 0};
        MapWindowPoints(hwnd_, parent, &origin, 1);
        POINT previous{};
        SetViewportOrgEx(target, -origin.x, -origin.y, &previous);
        SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(target), 0);
        SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target), PRF_CLIENT);
        SetViewportOrgEx(target, previous.x, previous.y, nullptr);
      }
    }
    const CaptionLabel& label = command_.Label();
    RECT box{Px(label.left), Px(label.top), Px(label.left + label.width), Px(label.top + label.height)};
    win32::Selection font(target, CaptionFont());
    SetBkMode(target, TRANSPARENT);
    const UINT format = DT_CENTER | DT_TOP | DT_WORDBREAK;
    std::wstring text = label.text;
    if (label.enabled) {
      SetTextColor(target, ColourOf(label.colour));
      DrawTextW(target, text.data(), -1, &box, format);
    } else {
      RECT shadow = box;
      OffsetRect(&shadow, 1, 1);
      SetTextColor(target, GetSysColor(COLOR_3DHILIGHT));
      DrawTextW(target, text.data(), -1, &shadow, format);
      SetTextColor(target, GetSysColor(COLOR_GRAYTEXT));
      DrawTextW(target, text.data(), -1, &box, format);
    }
  }

  void Paint() {
    win32::PaintScope paint(hwnd_);
    if (!paint.dc() || !frame_.dc()) return;
    Compose(frame_.dc());
    const RECT& r = paint.area();
    BitBlt(paint.dc(), r.left, r.top, r.right - r.left, r.bottom - r.top, frame_.dc(), r.left, r.top, SRCCOPY);
  }

  HWND hwnd_;
  Command command_;
  UINT dpi_ = 96;
  std::array<win32::GdiObject<HBITMAP>, 6> skins_;
  Buffer face_;   // the persistent face the logic paints
  Buffer frame_;  // face plus caption, composed on WM_PAINT
  win32::GdiObject<HFONT> font_;
  FontSpec fontSpec_;
  std::shared_ptr<CommandAccess> access_ = std::make_shared<CommandAccess>();
  bool releasing_ = false;
};

LRESULT CALLBACK CommandProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* slot = reinterpret_cast<std::shared_ptr<CommandWindow>*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE && !slot) {
    slot = new std::shared_ptr<CommandWindow>(std::make_shared<CommandWindow>(hwnd));
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(slot));
  }
  if (!slot) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    const std::unique_ptr<std::shared_ptr<CommandWindow>> owned(slot);
    (*owned)->Detach();
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  const std::shared_ptr<CommandWindow> keep = *slot;
  return keep->Handle(msg, wParam, lParam);
}

}  // namespace

bool RegisterCommandClass() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  if (GetClassInfoExW(instance, kCommandClass, &wc)) return true;
  wc.cbSize = sizeof wc;
  wc.style = 0;  // no double-click messages: each press and release is delivered as it comes
  wc.lpfnWndProc = &CommandProcedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kCommandClass;
  return RegisterClassExW(&wc) != 0;
}

}  // namespace lw::controls
