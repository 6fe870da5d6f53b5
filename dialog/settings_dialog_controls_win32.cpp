// The settings dialog's controls and their layout: the fonts for the current DPI, the controls
// made in the order a screen reader's proxies expect (each label right before the control it
// names), and every box sized from the twips of the design or, for a label, from the measured
// extent of its text in the font in use.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "controls/command_win32.h"
#include "dialog/dialog_texts_win32.h"
#include "dialog/settings_dialog_win32.h"
#include "resources/resource_ids.h"

namespace lw::dialog {

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
    if (control.hwnd == save_ || control.hwnd == cancel_ || control.hwnd == browse_) continue;
    const HFONT font = control.hwnd == link_ ? linkFont_.get() : font_.get();
    SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (control.sizedToText) SizeToText(control.hwnd);
  }
  FollowSourceLabels();
  PaintBackground();
  InvalidateRect(hwnd(), nullptr, TRUE);
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

// The label as wide and as tall as its text in its own font, so that no text is cut off.
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

// The column right of the music sources (the repeat box and its label, "...", the file name) moves
// right as far as the widest source label needs, keeping the design's gap; the file name keeps
// its right edge. Longer texts (English "MP3 / WAV") would otherwise run under "...".
void SettingsDialog::FollowSourceLabels() {
  int labelsRight = 0;
  for (HWND label : sourceLabels_) {
    RECT r{};
    if (!label || !GetWindowRect(label, &r)) continue;
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    labelsRight = std::max<int>(labelsRight, r.right);
  }
  const Box column = ToPixels(twips::kRepeatBox, dpi_, twips::kPanel);
  const int gap = TwipsToPixels(twips::kRepeatBox.left - twips::kSourceLabel[2].left - twips::kSourceLabel[2].width, dpi_);
  const int shift = std::max(0, labelsRight + gap - column.left);
  if (shift == 0) return;
  for (const Placed& control : placed_) {
    const bool moves = control.hwnd == repeat_ || control.hwnd == repeatLabel_ || control.hwnd == browse_;
    if (!moves && control.hwnd != fileName_) continue;
    RECT r{};
    GetWindowRect(control.hwnd, &r);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    const int width = r.right - r.left - (moves ? 0 : shift);
    SetWindowPos(control.hwnd, nullptr, r.left + shift, r.top, std::max(width, 0), r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void SettingsDialog::CreateControls() {
  auto inPanel = [](const Box& box) { return Spot{box, twips::kPanel}; };
  auto onForm = [](const Box& box) { return Spot{box, {}}; };

  musicHeading_ =
      AddLabel(DialogText(IDS_DLG_MUSIC).c_str(), SS_CENTER, inPanel(twips::kHeadingBgm), kIdMusicHeading, false);
  static constexpr UINT kSourceTexts[kSourceChoices] = {IDS_DLG_NONE, IDS_DLG_CD, IDS_DLG_FILE};
  for (int i = 0; i < kSourceChoices; ++i) {
    const auto at = static_cast<std::size_t>(i);
    markWindows_[at] =
        AddControl(L"STATIC", L"", SS_OWNERDRAW | SS_NOTIFY, inPanel(twips::kMark[at]), kIdMark0 + i);
    sourceLabels_[at] = AddLabel(DialogText(kSourceTexts[at]).c_str(), SS_LEFT | SS_NOTIFY,
                                 inPanel(twips::kSourceLabel[at]), kIdSourceLabel0 + i, true);
  }
  // Each label right before the control it names: the system's proxies take it as the name.
  repeatLabel_ =
      AddLabel(DialogText(IDS_DLG_REPEAT).c_str(), SS_LEFT, inPanel(twips::kRepeatLabel), kIdRepeatLabel, true);
  Spot repeatBox = inPanel(twips::kRepeatBox);
  repeatBox.twips.height *= 8;  // room for the drop-down list
  repeat_ = AddControl(WC_COMBOBOXW, L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, repeatBox,
                       kIdRepeat);
  browse_ = AddControl(controls::kCommandClass, L"...", WS_TABSTOP, inPanel(twips::kFileButton), kIdBrowse);
  fileName_ = AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL | WS_BORDER,
                         inPanel(twips::kFileName), kIdFileName);

  particlesHeading_ = AddLabel(DialogText(IDS_DLG_PARTICLES).c_str(), SS_CENTER, inPanel(twips::kHeadingParticles),
                               kIdParticlesHeading, false);
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
  save_ = AddControl(controls::kCommandClass, DialogText(IDS_DLG_OK).c_str(), WS_TABSTOP, onForm(twips::kSave),
                     kIdSave);
  cancel_ = AddControl(controls::kCommandClass, DialogText(IDS_DLG_CANCEL).c_str(), WS_TABSTOP,
                       onForm(twips::kCancel), kIdCancel);
  FollowSourceLabels();
}

}  // namespace lw::dialog
