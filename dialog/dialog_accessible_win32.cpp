// What a screen reader meets in the settings dialog besides the command buttons (which describe
// themselves): the music sources are drawn as marks beside plain labels and the link is a label,
// so each is described here; the slider and the repeat box carry no text of their own, so each is
// named by the text beside it.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "dialog/dialog_access_win32.h"
#include "platform/accessible_win32.h"

namespace lw::dialog {
namespace {

using win32::AccessibleFacts;
using win32::FocusStates;
using win32::WindowText;

// A click on the control, as the dialog receives it from a label.
bool ClickLabel(HWND dialog, HWND label) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(label), STN_CLICKED), reinterpret_cast<LPARAM>(label));
  return true;
}

}  // namespace

void DescribeDialogControls(const DialogWindows& w, SourceReader source, const ActionNames& actions) {
  for (int i = 0; i < 3; ++i) {
    const HWND label = w.sourceLabels[static_cast<std::size_t>(i)];
    win32::DescribeWindow(label, {[=] {
                                    const bool checked = source && source() == i;
                                    return AccessibleFacts{ROLE_SYSTEM_RADIOBUTTON, WindowText(label), {},
                                                           FocusStates(label) | (checked ? STATE_SYSTEM_CHECKED : 0),
                                                           actions.check, {}};
                                  },
                                  [=] { return ClickLabel(w.dialog, label); }});
  }
  // Windows' own objects for these are richer than any the program could make (the combo box's
  // list and expanded state, the slider's range); they only lack a name, having no text.
  win32::NameStandardControl(w.slider, WindowText(w.sliderHeading));
  win32::NameStandardControl(w.repeat, WindowText(w.repeatLabel));
  const HWND link = w.link, dialog = w.dialog;
  win32::DescribeWindow(link, {[=] {
                                 return AccessibleFacts{ROLE_SYSTEM_LINK, WindowText(link), WindowText(link),
                                                        FocusStates(link) | STATE_SYSTEM_LINKED, actions.jump, {}};
                               },
                               [=] { return ClickLabel(dialog, link); }});
}

}  // namespace lw::dialog
