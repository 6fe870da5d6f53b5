// What a screen reader in another process meets in the settings dialog "<Lumenweave>".
//   access_probe list         one line per child window: role|name|states|value|default action
//   access_probe press NAME   the default action of the child named NAME
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <string>

#include "platform/accessible_win32.h"

namespace {

std::string Utf8(const std::wstring& w) {
  char buffer[1024] = {};
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, buffer, sizeof buffer - 1, nullptr, nullptr);
  return buffer;
}

std::string Ask(IAccessible* a, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), VARIANT self) {
  BSTR text = nullptr;
  const std::string out = (a->*get)(self, &text) == S_OK && text ? Utf8(text) : "";
  SysFreeString(text);
  return out;
}

std::string Describe(IAccessible* a, VARIANT self) {
  VARIANT role{}, state{};
  a->get_accRole(self, &role);
  a->get_accState(self, &state);
  const char* roles[] = {"other", "push button", "radio button", "slider", "combo box", "link", "client"};
  const long ids[] = {ROLE_SYSTEM_PUSHBUTTON, ROLE_SYSTEM_RADIOBUTTON, ROLE_SYSTEM_SLIDER, ROLE_SYSTEM_COMBOBOX,
                      ROLE_SYSTEM_LINK, ROLE_SYSTEM_CLIENT};
  std::string line = roles[0];
  for (int i = 0; i < 6; ++i)
    if (role.vt == VT_I4 && role.lVal == ids[i]) line = roles[i + 1];
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

int wmain(int argc, wchar_t** argv) {
  const HWND dialog = FindWindowW(nullptr, L"<Lumenweave>");
  if (!dialog || argc < 2) return 2;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::wstring command = argv[1], wanted = argc > 2 ? argv[2] : L"";
  int result = command == L"list" ? 0 : 3;
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    IAccessible* a = nullptr;
    if (FAILED(AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT), lw::win32::kIidAccessible,
                                          reinterpret_cast<void**>(&a))) || !a)
      continue;
    if (command == L"list") std::printf("%s\n", Describe(a, self).c_str());
    if (command == L"press" && result && Ask(a, &IAccessible::get_accName, self) == Utf8(wanted))
      result = a->accDoDefaultAction(self) == S_OK ? 0 : 4;
    a->Release();
  }
  std::fflush(stdout);
  CoUninitialize();
  return result;
}
