// The settings dialog "<Lumenweave>": a fixed frame whose gradient background and tiled panel are
// painted from one back buffer, with real Win32 controls over it. The rules it follows (what it
// shows, what it writes) live in dialog_model.h and dialog_layout.h; this file only wires them to
// windows.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controls/command_win32.h"
#include "dialog/dialog_access_win32.h"
#include "dialog/dialog_entry_win32.h"
#include "dialog/dialog_layout.h"
#include "dialog/dialog_model.h"
#include "dialog/dialog_texts_win32.h"
#include "platform/gdi_win32.h"
#include "platform/window_win32.h"
#include "resources/resource_ids.h"
#include "startup/animation_win32.h"

namespace lw::dialog {
namespace {

constexpr wchar_t kClassName[] = L"Lumenweave.Settings";
constexpr wchar_t kTitle[] = L"<Lumenweave>";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
// Posted by the two command buttons: the button that raised the click is still inside its own
// message handler, so the dialog (and that button) is destroyed only once the handler has returned.
constexpr UINT kUnloadMessage = WM_APP + 1;
// Posted by 設定 for the same reason: saves, then closes, or says why it could not save.
constexpr UINT kCommitMessage = WM_APP + 2;
// The message box's title: not the dialog's, which FindWindow must keep finding as the one window.
constexpr wchar_t kMessageTitle[] = L"Lumenweave";

// Child ids start above IDOK and IDCANCEL, which the dialog manager sends for Enter and Esc.
enum ControlId : int {
  kIdSave = 100,
  kIdCancel,
  kIdBrowse,
  kIdRepeat,
  kIdSlider,
  kIdReadout,
  kIdFileName,
  kIdLink,
  kIdHeading,
  kIdMark0 = 120,  // + source index
  kIdSourceLabel0 = 130,  // + source index
};

using Brush = win32::GdiObject<HBRUSH>;
using Bitmap = win32::GdiObject<HBITMAP>;
using Font = win32::GdiObject<HFONT>;

Bitmap LoadBitmapResource(int id) {
  return Bitmap(static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

// Where a control sits, in twips: its box, relative to `origin` (the panel, or the form's corner).
struct Spot {
  Box twips;
  Box origin;
};

// A picture drawn at `size`, stretched from its own size when the DPI is not 96.
void DrawPicture(HDC dc, HBITMAP picture, int x, int y, SIZE size) {
  const SIZE own = BitmapSize(picture);
  if (own.cx <= 0 || own.cy <= 0) return;
  win32::MemoryDc source(dc);
  win32::Selection select(source.get(), picture);
  if (own.cx == size.cx && own.cy == size.cy) {
    BitBlt(dc, x, y, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
  } else {
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, x, y, size.cx, size.cy, source.get(), 0, 0, own.cx, own.cy, SRCCOPY);
  }
}

class SettingsDialog final : public win32::Window {
 public:
  explicit SettingsDialog(settings::Settings& settings) : settings_(settings), animation_(animator_) {}
  ~SettingsDialog() override {
    if (hwnd()) DestroyWindow(hwnd());
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
  }

  // Creates, fills and shows the dialog; false when the window cannot be made.
  bool Load(HWND owner);
  // Keys the dialog handles wherever the focus is; true when `msg` was one of them.
  bool PreTranslate(const MSG& msg) { return keyboard_.PreTranslate(msg); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  HWND AddControl(const wchar_t* className, const wchar_t* text, DWORD style, const Spot& spot, int id);
  HWND AddLabel(const wchar_t* text, DWORD style, const Spot& spot, int id, bool sizedToText);
  void SizeToText(HWND label);
  void CreateFonts();
  void CreateControls();
  void FitClient(bool centre);
  void Layout();
  void AttachAccess();
  void PaintBackground();
  void TileBackground(HDC dc, const RECT& target);
  void CopyBackground(HDC dc, const RECT& area);
  void ShowView(const OpenView& view);
  void ShowMarks(const RadioMarks& marks);
  void ShowReadout(int value);

  void OnCommand(int id, int code);
  void OnScroll(int code);
  LRESULT OnControlColour(HDC dc, HWND control);
  void OnDrawMark(const DRAWITEMSTRUCT& item);
  void ChooseSource(int index);
  void SelectBgmFile();
  void OpenLink();
  settings::SaveStatus Commit();
  void ReportSaveFailure(std::uint32_t error);
  void Unload();

  settings::Settings& settings_;
  startup::Win32OutlineAnimator animator_;
  startup::WindowAnimation animation_;
  int dpi_ = 96;
  DialogMetrics metrics_ = MetricsAt(96);
  SIZE client_{};
  RadioMarks marks_{};
  std::optional<int> movedSlider_;  // the slider's value once the user has moved it

  Font font_, linkFont_;
  Bitmap strip_, radioOff_, radioOn_;
  Bitmap back_;        // the painted background: gradient, tiled panel, heading frames
  Brush backBrush_;    // the same picture as a brush, for the labels' backgrounds
  HCURSOR linkCursor_ = nullptr;
  HICON bigIcon_ = nullptr, smallIcon_ = nullptr;

  struct Placed {
    HWND hwnd;
    Spot spot;
    bool sizedToText;
  };
  std::vector<Placed> placed_;  // every control, to lay out again when the DPI changes
  HWND repeat_ = nullptr, slider_ = nullptr, readout_ = nullptr, fileName_ = nullptr, link_ = nullptr;
  std::array<HWND, 3> buttons_{};
  std::array<HWND, kSourceChoices> marksWnd_{};
  std::array<HWND, kSourceChoices> sourceLabels_{};
  HWND repeatLabel_ = nullptr, sliderHeading_ = nullptr;
  DialogKeyboard keyboard_;
  bool unloading_ = false;
};

bool SettingsDialog::Load(HWND owner) {
  // First placed for the system's DPI; laid out again below for the monitor it opened on.
  dpi_ = static_cast<int>(win32::WindowDpi(nullptr));
  metrics_ = MetricsAt(dpi_);
  client_ = {metrics_.clientWidth, metrics_.clientHeight};
  RECT frame{0, 0, client_.cx, client_.cy};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const Placement at = PlaceDialog(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), width, height);

  const HINSTANCE instance = GetModuleHandleW(nullptr);
  bigIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 32, 32, 0));
  smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  linkCursor_ = LoadCursorW(instance, MAKEINTRESOURCEW(IDC_LINK));
  if (!linkCursor_) linkCursor_ = LoadCursorW(nullptr, IDC_HAND);
  strip_ = LoadBitmapResource(IDB_PANEL_STRIP);
  radioOff_ = LoadBitmapResource(IDB_RADIO_OFF);
  radioOn_ = LoadBitmapResource(IDB_RADIO_ON);

  if (!Create(kClassName, kTitle, kStyle, kExStyle, static_cast<int>(at.left), static_cast<int>(at.top), width,
              height, owner, nullptr, CS_DBLCLKS, nullptr, bigIcon_))
    return false;
  if (bigIcon_) SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  if (smallIcon_) SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  dpi_ = static_cast<int>(win32::WindowDpi(hwnd()));
  metrics_ = MetricsAt(dpi_);
  FitClient(true);

  CreateFonts();
  CreateControls();
  for (HWND button : buttons_)
    if (button) SendMessageW(button, controls::kCommandInitialize, 0, 0);
  AttachAccess();
  PaintBackground();
  ShowView(ViewOnOpen(settings_));

  animation_.StorePointer(startup::ReadPointerPosition());
  animation_.AnimateOpen(startup::HandleOf(hwnd()));
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  SetForegroundWindow(hwnd());
  keyboard_.FocusFirst();
  UpdateWindow(hwnd());
  return true;
}

// The client size the layout asks for, whatever frame metrics the system applied; centred as at
// opening when `centre`.
void SettingsDialog::FitClient(bool centre) {
  RECT outer{}, inner{};
  GetWindowRect(hwnd(), &outer);
  GetClientRect(hwnd(), &inner);
  const int width = metrics_.clientWidth + (outer.right - outer.left) - inner.right;
  const int height = metrics_.clientHeight + (outer.bottom - outer.top) - inner.bottom;
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  Placement at{static_cast<double>(outer.left), static_cast<double>(outer.top)};
  if (centre) {
    at = PlaceDialog(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), width, height);
  } else {
    flags |= SWP_NOMOVE;
  }
  SetWindowPos(hwnd(), nullptr, static_cast<int>(at.left), static_cast<int>(at.top), width, height, flags);
  GetClientRect(hwnd(), &inner);
  client_ = {inner.right, inner.bottom};
}

// Every control moved, sized and given its font for the current DPI, then the background painted
// again, so that text, boxes and pictures keep their proportions.
void SettingsDialog::Layout() {
  Font oldFont = std::move(font_), oldLinkFont = std::move(linkFont_);  // in use until replaced
  CreateFonts();
  for (const Placed& control : placed_) {
    const Box px = ToPixels(control.spot.twips, dpi_, control.spot.origin);
    SetWindowPos(control.hwnd, nullptr, px.left, px.top, px.width, px.height, SWP_NOZORDER | SWP_NOACTIVATE);
    // The command buttons follow the DPI on their own; a font from here would be scaled twice.
    if (std::find(buttons_.begin(), buttons_.end(), control.hwnd) != buttons_.end()) continue;
    const HFONT font = control.hwnd == link_ ? linkFont_.get() : font_.get();
    SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (control.sizedToText) SizeToText(control.hwnd);
  }
  PaintBackground();
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void SettingsDialog::AttachAccess() {
  DialogWindows windows;
  windows.dialog = hwnd();
  windows.sourceLabels = sourceLabels_;
  windows.sourceMarks = marksWnd_;
  windows.repeat = repeat_;
  windows.repeatLabel = repeatLabel_;
  windows.browse = buttons_[2];
  windows.slider = slider_;
  windows.sliderHeading = sliderHeading_;
  windows.link = link_;
  windows.save = buttons_[0];
  windows.cancel = buttons_[1];
  auto source = [this] { return static_cast<int>(settings_.bgmSource); };
  keyboard_.Attach(windows, source);
  DescribeDialogControls(windows, source);
}

void SettingsDialog::CreateFonts() {
  LOGFONTW lf{};
  lf.lfHeight = metrics_.fontHeight;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = JapaneseUi() ? SHIFTJIS_CHARSET : DEFAULT_CHARSET;
  lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  lstrcpynW(lf.lfFaceName, DialogText(IDS_DLG_FONT).c_str(), LF_FACESIZE);
  font_.reset(CreateFontIndirectW(&lf));
  lf.lfUnderline = TRUE;
  linkFont_.reset(CreateFontIndirectW(&lf));
}

HWND SettingsDialog::AddControl(const wchar_t* className, const wchar_t* text, DWORD style, const Spot& spot,
                                int id) {
  const Box pixels = ToPixels(spot.twips, dpi_, spot.origin);
  HWND child = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, pixels.left, pixels.top,
                               pixels.width, pixels.height, hwnd(), reinterpret_cast<HMENU>(INT_PTR{id}),
                               GetModuleHandleW(nullptr), nullptr);
  if (!child) return nullptr;
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  placed_.push_back({child, spot, false});
  return child;
}

HWND SettingsDialog::AddLabel(const wchar_t* text, DWORD style, const Spot& spot, int id, bool sizedToText) {
  HWND label = AddControl(L"STATIC", text, style | SS_NOPREFIX, spot, id);
  if (label && sizedToText) {
    placed_.back().sizedToText = true;
    SizeToText(label);
  }
  return label;
}

void SettingsDialog::SizeToText(HWND label) {
  const int length = GetWindowTextLengthW(label);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(label, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  win32::WindowDc dc(label);
  if (!dc.get()) return;
  const auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
  win32::Selection select(dc.get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  SIZE extent{};
  if (!GetTextExtentPoint32W(dc.get(), text.c_str(), length, &extent)) return;
  SetWindowPos(label, nullptr, 0, 0, extent.cx, extent.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SettingsDialog::CreateControls() {
  auto inPanel = [](const Box& box) { return Spot{box, twips::kPanel}; };
  auto onForm = [](const Box& box) { return Spot{box, {}}; };

  AddLabel(DialogText(IDS_DLG_MUSIC).c_str(), SS_CENTER, inPanel(twips::kHeadingBgm), kIdHeading, false);
  static constexpr UINT kSourceTexts[kSourceChoices] = {IDS_DLG_NONE, IDS_DLG_CD, IDS_DLG_FILE};
  for (int i = 0; i < kSourceChoices; ++i) {
    const auto at = static_cast<std::size_t>(i);
    marksWnd_[at] = AddControl(L"STATIC", L"", SS_OWNERDRAW | SS_NOTIFY, inPanel(twips::kMark[at]), kIdMark0 + i);
    sourceLabels_[at] = AddLabel(DialogText(kSourceTexts[at]).c_str(), SS_LEFT | SS_NOTIFY, inPanel(twips::kSourceLabel[at]),
                                 kIdSourceLabel0 + i, true);
  }
  Spot repeatBox = inPanel(twips::kRepeatBox);
  repeatBox.twips.height *= 8;  // room for the drop-down list
  repeat_ = AddControl(WC_COMBOBOXW, L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, repeatBox,
                       kIdRepeat);
  repeatLabel_ = AddLabel(DialogText(IDS_DLG_REPEAT).c_str(), SS_LEFT, inPanel(twips::kRepeatLabel), kIdHeading, true);
  buttons_[2] = AddControl(controls::kCommandClass, L"...", WS_TABSTOP, inPanel(twips::kFileButton), kIdBrowse);
  fileName_ = AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL | WS_BORDER,
                         inPanel(twips::kFileName), kIdFileName);

  sliderHeading_ = AddLabel(DialogText(IDS_DLG_PARTICLES).c_str(), SS_CENTER, inPanel(twips::kHeadingParticles),
                            kIdHeading, false);
  slider_ = AddControl(L"SCROLLBAR", L"", SBS_HORZ | WS_TABSTOP, inPanel(twips::kSlider), kIdSlider);
  SetScrollRange(slider_, SB_CTL, kParticleSlider.min, kParticleSlider.max, FALSE);
  SetScrollPos(slider_, SB_CTL, kParticleSlider.designValue, FALSE);
  readout_ = AddLabel(L"9999", SS_LEFT, inPanel(twips::kReadout), kIdReadout, true);

  link_ = AddLabel(kHomePageUrl.data(), SS_LEFT | SS_NOTIFY, onForm(twips::kLink), kIdLink, false);
  if (link_) {
    SendMessageW(link_, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
    placed_.back().sizedToText = true;
    SizeToText(link_);
  }
  buttons_[0] = AddControl(controls::kCommandClass, DialogText(IDS_DLG_OK).c_str(), WS_TABSTOP, onForm(twips::kSave), kIdSave);
  buttons_[1] = AddControl(controls::kCommandClass, DialogText(IDS_DLG_CANCEL).c_str(), WS_TABSTOP, onForm(twips::kCancel), kIdCancel);
}

// The background gradient over the whole client area, then the panel covered with the strip and
// the frames around the two headings, all into one bitmap that WM_PAINT copies.
void SettingsDialog::PaintBackground() {
  win32::WindowDc screen(hwnd());
  back_.reset(CreateCompatibleBitmap(screen.get(), client_.cx, client_.cy));
  if (!back_) return;
  win32::MemoryDc dc(screen.get());
  win32::Selection keep(dc.get(), back_.get());

  const auto rows = GradientRows(client_.cy);
  for (std::size_t y = 0; y < rows.size(); ++y) {
    Brush row(CreateSolidBrush(RGB(rows[y].r, rows[y].g, rows[y].b)));
    const RECT line{0, static_cast<LONG>(y), client_.cx, static_cast<LONG>(y) + 1};
    if (row) FillRect(dc.get(), &line, row.get());
  }

  const Box panel = ToPixels(twips::kPanel, dpi_);
  const RECT panelRect{panel.left, panel.top, panel.left + panel.width, panel.top + panel.height};
  FillRect(dc.get(), &panelRect, GetSysColorBrush(COLOR_BTNFACE));
  TileBackground(dc.get(), panelRect);
  for (const Box& frame : {twips::kFrameBgm, twips::kFrameParticles}) {
    const Box px = ToPixels(frame, dpi_, twips::kPanel);
    for (int inset = 0; inset < metrics_.frameLine; ++inset) {
      const RECT r{px.left + inset, px.top + inset, px.left + px.width - inset, px.top + px.height - inset};
      FrameRect(dc.get(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
  }

  backBrush_.reset(CreatePatternBrush(back_.get()));
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void SettingsDialog::TileBackground(HDC dc, const RECT& target) {
  if (BitmapSize(strip_.get()).cx <= 0) return;  // no artwork: the panel keeps its plain face
  const SIZE strip{metrics_.stripWidth, metrics_.stripHeight};
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, target.left, target.top, target.right, target.bottom);
  for (const TilePosition& at :
       TilePositions(target.right - target.left, target.bottom - target.top, strip.cx, strip.cy)) {
    DrawPicture(dc, strip_.get(), target.left + at.x, target.top + at.y, strip);
  }
  RestoreDC(dc, saved);
}

void SettingsDialog::CopyBackground(HDC dc, const RECT& area) {
  if (!back_ || !dc) return;
  win32::MemoryDc source(dc);
  win32::Selection select(source.get(), back_.get());
  BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, source.get(), area.left, area.top,
         SRCCOPY);
}

void SettingsDialog::ShowView(const OpenView& view) {
  SetScrollPos(slider_, SB_CTL, view.sliderValue, TRUE);
  SetWindowTextW(readout_, view.readout.c_str());
  if (readout_) SizeToText(readout_);
  ShowMarks(view.marks);
  for (const std::wstring& entry : view.repeatList)
    SendMessageW(repeat_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  SetWindowTextW(repeat_, view.repeatText.c_str());
  SetWindowTextW(fileName_, view.fileCaption.c_str());
}

// Each mark's text names its state, for the accessibility tools that read it; the picture is drawn.
void SettingsDialog::ShowMarks(const RadioMarks& marks) {
  marks_ = marks;
  for (std::size_t i = 0; i < marksWnd_.size(); ++i) {
    SetWindowTextW(marksWnd_[i], marks[i] ? L"●" : L"○");
    InvalidateRect(marksWnd_[i], nullptr, FALSE);
  }
}

void SettingsDialog::ShowReadout(int value) {
  SetWindowTextW(readout_, std::to_wstring(value).c_str());
  SizeToText(readout_);
}

void SettingsDialog::OnDrawMark(const DRAWITEMSTRUCT& item) {
  const RECT& r = item.rcItem;
  POINT origin{0, 0};
  MapWindowPoints(item.hwndItem, hwnd(), &origin, 1);
  if (back_) {
    win32::MemoryDc source(item.hDC);
    win32::Selection select(source.get(), back_.get());
    BitBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, source.get(), origin.x, origin.y, SRCCOPY);
  }
  const std::size_t index = static_cast<std::size_t>(item.CtlID - kIdMark0);
  const bool on = index < marks_.size() && marks_[index];
  HBITMAP picture = on ? radioOn_.get() : radioOff_.get();
  if (BitmapSize(picture).cx > 0) {
    DrawPicture(item.hDC, picture, r.left, r.top, {metrics_.markSide, metrics_.markSide});
    return;
  }
  // Without the artwork, a plain round mark keeps the choice visible.
  const int d = std::min(r.right - r.left, r.bottom - r.top) - 1;
  win32::Selection pen(item.hDC, GetStockObject(BLACK_PEN));
  win32::Selection brush(item.hDC, GetStockObject(on ? BLACK_BRUSH : WHITE_BRUSH));
  Ellipse(item.hDC, r.left, r.top, r.left + d, r.top + d);
}

LRESULT SettingsDialog::OnControlColour(HDC dc, HWND control) {
  if (control == fileName_) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, control == link_ ? RGB(255, 255, 255) : RGB(0, 0, 0));
  if (!backBrush_) return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  // The label's background is the piece of the painted background it covers.
  POINT origin{0, 0};
  MapWindowPoints(control, hwnd(), &origin, 1);
  SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
  return reinterpret_cast<LRESULT>(backBrush_.get());
}

void SettingsDialog::ChooseSource(int index) {
  dialog::ChooseSource(settings_, index);
  ShowMarks(MarksFor(settings_.bgmSource));
}

void SettingsDialog::SelectBgmFile() {
  std::wstring filter = DialogText(IDS_DLG_BROWSE_FILTER);
  std::replace(filter.begin(), filter.end(), L'|', L'\0');
  const std::wstring title = DialogText(IDS_DLG_BROWSE_TITLE);
  constexpr DWORD kBufferChars = 255;
  wchar_t file[kBufferChars] = {};
  wchar_t fileTitle[kBufferChars] = {};
  OPENFILENAMEW request{};
  request.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  request.hwndOwner = hwnd();
  request.hInstance = GetModuleHandleW(nullptr);
  request.lpstrFilter = filter.c_str();
  request.lpstrFile = file;
  request.nMaxFile = kBufferChars;
  request.lpstrFileTitle = fileTitle;
  request.nMaxFileTitle = kBufferChars;
  request.lpstrTitle = title.c_str();
  if (!GetOpenFileNameW(&request)) return;  // cancelled, or the path did not fit: nothing changes
  file[kBufferChars - 1] = L'\0';
  ChooseFile(settings_, file);
  SetWindowTextW(fileName_, settings_.bgmFile.c_str());
  ShowMarks(MarksFor(settings_.bgmSource));
}

void SettingsDialog::OpenLink() {
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  const std::wstring address(kHomePageUrl);
  ShellExecuteW(hwnd(), L"open", address.c_str(), L"", L"", SW_SHOWNORMAL);  // a failure shows nothing
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

settings::SaveStatus SettingsDialog::Commit() {
  const int length = GetWindowTextLengthW(repeat_);
  std::wstring repeatText(static_cast<std::size_t>(length) + 1, L'\0');
  repeatText.resize(static_cast<std::size_t>(GetWindowTextW(repeat_, repeatText.data(), length + 1)));
  settings::IniFile ini(SystemFileStore(), SystemCp932());
  return SaveSettings(ini, settings_, movedSlider_, repeatText);
}

// The system's own wording of the error, in the user's language, and its number.
std::wstring SystemErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
      reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = length && buffer ? std::wstring(buffer, length) : std::wstring();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  return text + (text.empty() ? L"(" : L" (") + std::to_wstring(error) + L")";
}

void SettingsDialog::ReportSaveFailure(std::uint32_t error) {
  const std::wstring text =
      DialogText(IDS_DLG_SAVE_FAILED) + L"\r\n\r\n" + settings_.iniPath + L"\r\n\r\n" + SystemErrorText(error);
  MessageBoxW(hwnd(), text.c_str(), kMessageTitle, MB_OK | MB_ICONERROR);
}

void SettingsDialog::Unload() {
  if (unloading_) return;
  unloading_ = true;
  animation_.AnimateClose(startup::HandleOf(hwnd()));
  DestroyWindow(hwnd());
}

void SettingsDialog::OnCommand(int id, int code) {
  if (id >= kIdMark0 && id < kIdMark0 + kSourceChoices && code == STN_CLICKED) return ChooseSource(id - kIdMark0);
  if (id >= kIdSourceLabel0 && id < kIdSourceLabel0 + kSourceChoices && code == STN_CLICKED)
    return ChooseSource(id - kIdSourceLabel0);
  if (id == kIdLink && code == STN_CLICKED) return OpenLink();
  if (code != BN_CLICKED) return;
  switch (id) {
    case kIdSave:
      PostMessageW(hwnd(), kCommitMessage, 0, 0);
      break;
    case kIdCancel:
      PostMessageW(hwnd(), kUnloadMessage, 0, 0);
      break;
    case kIdBrowse:
      SelectBgmFile();
      break;
    default:
      break;
  }
}

void SettingsDialog::OnScroll(int code) {
  ScrollAction action = ScrollAction::None;
  switch (code) {
    case SB_LINELEFT: action = ScrollAction::LineLeft; break;
    case SB_LINERIGHT: action = ScrollAction::LineRight; break;
    case SB_PAGELEFT: action = ScrollAction::PageLeft; break;
    case SB_PAGERIGHT: action = ScrollAction::PageRight; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: action = ScrollAction::Thumb; break;
    case SB_LEFT: action = ScrollAction::Left; break;
    case SB_RIGHT: action = ScrollAction::Right; break;
    default: return;
  }
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_POS | SIF_TRACKPOS;
  GetScrollInfo(slider_, SB_CTL, &info);
  const int value = SliderAfter(info.nPos, action, info.nTrackPos);
  movedSlider_ = value;
  SetScrollPos(slider_, SB_CTL, value, TRUE);
  ShowReadout(value);
}

LRESULT SettingsDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      win32::PaintScope paint(hwnd());
      CopyBackground(paint.dc(), paint.area());
      return 0;
    }
    case WM_PRINTCLIENT: {  // controls that draw the dialog behind themselves
      const RECT all{0, 0, client_.cx, client_.cy};
      CopyBackground(reinterpret_cast<HDC>(wParam), all);
      return 0;
    }
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_.get());
    case WM_DPICHANGED: {  // moved to a monitor of another DPI, or its scale changed
      dpi_ = HIWORD(wParam);
      metrics_ = MetricsAt(dpi_);
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      FitClient(false);
      Layout();
      return 0;
    }
    case kCommitMessage:
      if (const settings::SaveStatus status = Commit(); !status.ok()) {
        ReportSaveFailure(status.error);  // the dialog stays, with the user's choices
      } else {
        Unload();
      }
      return 0;
    case kUnloadMessage:
      Unload();
      return 0;
    case WM_CTLCOLORSTATIC:
      return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType == ODT_STATIC) {
        OnDrawMark(item);
        return TRUE;
      }
      break;
    }
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == slider_) OnScroll(LOWORD(wParam));
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == link_ && linkCursor_) {
        SetCursor(linkCursor_);
        return TRUE;
      }
      break;
    case WM_CLOSE:  // the close box: no write
      Unload();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace

void RunSettingsDialog(settings::Settings& settings, HWND owner) {
  INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common);
  controls::RegisterCommandClass();
  // Screen readers in other processes reach the dialog's accessible objects through COM.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  {
    SettingsDialog dialog(settings);
    // A handle that names no window (stale, or not a handle at all) leaves the dialog ownerless.
    if (dialog.Load(owner && IsWindow(owner) ? owner : nullptr)) {
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (dialog.PreTranslate(msg) || IsDialogMessageW(dialog.hwnd(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace lw::dialog
