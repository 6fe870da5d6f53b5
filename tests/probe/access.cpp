// What a screen reader in another process meets in a window's children: each child's accessible
// object (OBJID_CLIENT) as the system hands it out, read or pressed through IAccessible.
#include <oleacc.h>

#include "platform/accessible_win32.h"
#include "tests/probe/probe.h"

namespace {

std::string Ask(IAccessible* a, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), VARIANT self) {
  BSTR text = nullptr;
  const std::string out = (a->*get)(self, &text) == S_OK && text ? probe::Utf8(text) : "";
  SysFreeString(text);
  return out;
}

std::string Describe(IAccessible* a, VARIANT self) {
  VARIANT role{}, state{};
  a->get_accRole(self, &role);
  a->get_accState(self, &state);
  const std::pair<long, const char*> roles[] = {{ROLE_SYSTEM_PUSHBUTTON, "push button"},
      {ROLE_SYSTEM_RADIOBUTTON, "radio button"}, {ROLE_SYSTEM_SLIDER, "slider"}, {ROLE_SYSTEM_COMBOBOX, "combo box"},
      {ROLE_SYSTEM_LINK, "link"}, {ROLE_SYSTEM_CLIENT, "client"}};
  std::string line = "other";
  for (const auto& [id, name] : roles)
    if (role.vt == VT_I4 && role.lVal == id) line = name;
  line.append("|").append(Ask(a, &IAccessible::get_accName, self)).append("|");
  const std::pair<long, const char*> states[] = {{STATE_SYSTEM_UNAVAILABLE, "unavailable,"},
      {STATE_SYSTEM_FOCUSED, "focused,"}, {STATE_SYSTEM_CHECKED, "checked,"}, {STATE_SYSTEM_FOCUSABLE, "focusable,"}};
  std::string flags;
  for (const auto& [bit, name] : states)
    if (state.vt == VT_I4 && (state.lVal & bit)) flags += name;
  if (!flags.empty()) flags.pop_back();
  line.append(flags).append("|").append(Ask(a, &IAccessible::get_accValue, self)).append("|");
  return line.append(Ask(a, &IAccessible::get_accDefaultAction, self));
}

}  // namespace

LW_PROBE_COMMAND(access, "access TITLE [NAME]: role|name|states|value|default action of each child, "
                         "or the default action of the child named NAME") {
  const HWND window = args.empty() ? nullptr : FindWindowW(nullptr, args[0].c_str());
  if (!window) return 2;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int result = args.size() > 1 ? 3 : 0;
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    IAccessible* a = nullptr;
    if (FAILED(AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT), lw::win32::kIidAccessible,
                                          reinterpret_cast<void**>(&a))) || !a)
      continue;
    if (args.size() == 1) probe::Say("%s", Describe(a, self).c_str());
    else if (result && Ask(a, &IAccessible::get_accName, self) == probe::Utf8(args[1]))
      result = a->accDoDefaultAction(self) == S_OK ? 0 : 4;
    a->Release();
  }
  CoUninitialize();
  return result;
}
