// The settings dialog "<Lumenweave>": a fixed frame whose gradient background and tiled panel are
// painted from one back buffer, with real Win32 controls over it. The rules it follows (what it
// shows, what it writes) live in dialog_model.h and dialog_layout.h; the window is split by what
// changes together:
//   settings_dialog_surface_win32.cpp   the painted surface: back buffer, gradient, tiles, frames,
//                                       radio marks, label backgrounds;
//   settings_dialog_controls_win32.cpp  the controls and their layout: fonts, creation, sizes
//                                       from the text they show, DPI;
//   settings_dialog_win32.cpp           the behaviour: load, commands, commit, messages.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "dialog/dialog_access_win32.h"
#include "dialog/dialog_layout.h"
#include "dialog/dialog_model.h"
#include "platform/gdi_win32.h"
#include "platform/window_win32.h"
#include "startup/animation_win32.h"

namespace lw::dialog {

// One id per control. They start above IDOK and IDCANCEL, which the dialog manager sends for
// Enter and Esc.
enum ControlId : int {
  kIdSave = 100,
  kIdCancel,
  kIdBrowse,
  kIdRepeat,
  kIdSlider,
  kIdReadout,
  kIdFileName,
  kIdLink,
  kIdMusicHeading,
  kIdRepeatLabel,
  kIdParticlesHeading,
  kIdMark0 = 120,         // + source index
  kIdSourceLabel0 = 130,  // + source index
};

// Where a control sits, in twips: its box, relative to `origin` (the panel, or the form's corner).
struct Spot {
  Box twips;
  Box origin;
};

class SettingsDialog final : public win32::Window {
 public:
  explicit SettingsDialog(settings::Settings& settings);
  ~SettingsDialog() override;

  // Creates, fills and shows the dialog; false when the window cannot be made.
  bool Load(HWND owner);
  // Keys the dialog handles wherever the focus is; true when `msg` was one of them.
  bool PreTranslate(const MSG& msg) { return keyboard_.PreTranslate(msg); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  using Brush = win32::GdiObject<HBRUSH>;
  using Bitmap = win32::GdiObject<HBITMAP>;
  using Font = win32::GdiObject<HFONT>;

  // ---- controls and layout (settings_dialog_controls_win32.cpp) ----
  HWND AddControl(const wchar_t* className, const wchar_t* text, DWORD style, const Spot& spot, int id);
  HWND AddLabel(const wchar_t* text, DWORD style, const Spot& spot, int id, bool sizedToText);
  void SizeToText(HWND label);
  void FollowSourceLabels();
  void CreateFonts();
  void CreateControls();
  void FitClient(bool centre);
  void Layout();

  // ---- the painted surface (settings_dialog_surface_win32.cpp) ----
  void LoadPictures();
  void PaintBackground();
  void TileBackground(HDC dc, const RECT& target);
  void CopyBackground(HDC dc, const RECT& area);
  void OnDrawMark(const DRAWITEMSTRUCT& item);
  LRESULT OnControlColour(HDC dc, HWND control);

  // ---- behaviour (settings_dialog_win32.cpp) ----
  void AttachAccess();
  void DescribeBrowse();
  void ShowView(const OpenView& view);
  void ShowMarks(const RadioMarks& marks);
  void ShowReadout(int value);
  void UpdateDefaultButton();
  void OnCommand(int id, int code);
  void OnScroll(int code);
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
  HWND musicHeading_ = nullptr, particlesHeading_ = nullptr;
  std::array<HWND, kSourceChoices> markWindows_{};
  std::array<HWND, kSourceChoices> sourceLabels_{};
  HWND repeatLabel_ = nullptr, repeat_ = nullptr;
  HWND browse_ = nullptr, fileName_ = nullptr;
  HWND slider_ = nullptr, readout_ = nullptr;
  HWND link_ = nullptr, save_ = nullptr, cancel_ = nullptr;
  DialogKeyboard keyboard_;
  bool saveIsDefault_ = false;
  bool unloading_ = false;
};

}  // namespace lw::dialog
