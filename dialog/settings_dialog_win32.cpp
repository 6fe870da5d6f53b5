// The settings dialog's behaviour: it loads and shows the settings, turns clicks, keys and a
// screen reader's actions into changes of the settings in memory, and commits them to the file
// in one save or says why it could not. The painted surface and the controls' layout are in
// settings_dialog_surface_win32.cpp and settings_dialog_controls_win32.cpp.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <utility>

#include "controls/command_win32.h"
#include "dialog/dialog_entry_win32.h"
#include "dialog/dialog_texts_win32.h"
#include "dialog/settings_dialog_win32.h"
#include "resources/resource_ids.h"

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
static_assert(kFocusMovedMessage != kUnloadMessage && kFocusMovedMessage != kCommitMessage);
// The message box's title: not the dialog's, which FindWindow must keep finding as the one window.
constexpr wchar_t kMessageTitle[] = L"Lumenweave";

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

}  // namespace

SettingsDialog::SettingsDialog(settings::Settings& settings) : settings_(settings), animation_(animator_) {}

SettingsDialog::~SettingsDialog() {
  if (hwnd()) DestroyWindow(hwnd());
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

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
  LoadPictures();

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
  for (HWND button : {save_, cancel_, browse_})
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
  UpdateDefaultButton();
  UpdateWindow(hwnd());
  return true;
}

void SettingsDialog::AttachAccess() {
  DialogWindows windows;
  windows.dialog = hwnd();
  windows.sourceLabels = sourceLabels_;
  windows.sourceMarks = markWindows_;
  windows.repeat = repeat_;
  windows.repeatLabel = repeatLabel_;
  windows.browse = browse_;
  windows.slider = slider_;
  windows.sliderHeading = particlesHeading_;
  windows.link = link_;
  windows.save = save_;
  windows.cancel = cancel_;
  auto source = [this] { return static_cast<int>(settings_.bgmSource); };
  keyboard_.Attach(windows, source);
  const ActionNames actions{DialogText(IDS_ACC_PRESS), DialogText(IDS_ACC_CHECK), DialogText(IDS_ACC_JUMP)};
  DescribeDialogControls(windows, source, actions);
  for (HWND button : {save_, cancel_, browse_})
    SendMessageW(button, controls::kCommandSetAccessibleText, controls::kAccessibleAction,
                 reinterpret_cast<LPARAM>(actions.press.c_str()));
  DescribeBrowse();
}

// "..." says what it does, in the words of the file window's title, and which file is chosen.
void SettingsDialog::DescribeBrowse() {
  const std::wstring name = DialogText(IDS_DLG_BROWSE_TITLE);
  SendMessageW(browse_, controls::kCommandSetAccessibleText, controls::kAccessibleName,
               reinterpret_cast<LPARAM>(name.c_str()));
  SendMessageW(browse_, controls::kCommandSetAccessibleText, controls::kAccessibleDescription,
               reinterpret_cast<LPARAM>(settings_.bgmFile.c_str()));
}

// 設定 is the default button while Enter presses it: not while another push button or the link
// holds the focus.
void SettingsDialog::UpdateDefaultButton() {
  const bool isDefault = SaveIsDefault(keyboard_.FocusedStop());
  if (isDefault == saveIsDefault_) return;
  saveIsDefault_ = isDefault;
  SendMessageW(save_, controls::kCommandSetDefault, isDefault ? TRUE : FALSE, 0);
}

void SettingsDialog::ShowView(const OpenView& view) {
  SetScrollPos(slider_, SB_CTL, view.sliderValue, TRUE);
  SetWindowTextW(readout_, view.readout.c_str());
  if (readout_) SizeToText(readout_);
  ShowMarks(view.marks);
  for (const std::wstring& entry : view.repeatList)
    SendMessageW(repeat_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  // Selecting the entry also shows its text; the text alone would leave the list's selection
  // where it was, and the arrow keys would start from the top.
  if (view.repeatSelection) {
    SendMessageW(repeat_, CB_SETCURSEL, *view.repeatSelection, 0);
  } else {
    SendMessageW(repeat_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextW(repeat_, view.repeatText.c_str());
  }
  SetWindowTextW(fileName_, view.fileCaption.c_str());
}

// Each mark's text names its state, for the accessibility tools that read it; the picture is drawn.
// A screen reader learns of a source whose checked state changed.
void SettingsDialog::ShowMarks(const RadioMarks& marks) {
  const RadioMarks before = marks_;
  marks_ = marks;
  for (std::size_t i = 0; i < markWindows_.size(); ++i) {
    SetWindowTextW(markWindows_[i], marks[i] ? L"●" : L"○");
    InvalidateRect(markWindows_[i], nullptr, FALSE);
    if (marks[i] != before[i] && sourceLabels_[i])
      NotifyWinEvent(EVENT_OBJECT_STATECHANGE, sourceLabels_[i], OBJID_CLIENT, CHILDID_SELF);
  }
}

void SettingsDialog::ShowReadout(int value) {
  SetWindowTextW(readout_, std::to_wstring(value).c_str());
  SizeToText(readout_);
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
  DescribeBrowse();
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
  if (code == BN_SETFOCUS || code == BN_KILLFOCUS) {
    PostMessageW(hwnd(), kFocusMovedMessage, 0, 0);  // where the focus went is known once it is there
    return;
  }
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
    case kFocusMovedMessage:
      UpdateDefaultButton();
      return 0;
    case DM_GETDEFID:  // 設定 is the dialog's default button, as a dialog manager's dialog says
      return MAKELRESULT(kIdSave, DC_HASDEFID);
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
