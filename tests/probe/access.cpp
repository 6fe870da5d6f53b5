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

// Roles and states in the words the system gives a screen reader (in the user's language):
// role|name|states|value|default action|description.
std::string Describe(IAccessible* a, VARIANT self) {
  VARIANT role{}, state{};
  a->get_accRole(self, &role);
  a->get_accState(self, &state);
  wchar_t text[64] = L"other";
  if (role.vt == VT_I4) GetRoleTextW(static_cast<DWORD>(role.lVal), text, 64);
  std::string line = probe::Utf8(text), flags;
  line.append("|").append(Ask(a, &IAccessible::get_accName, self)).append("|");
  for (const DWORD bit : {STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_FOCUSED, STATE_SYSTEM_CHECKED, STATE_SYSTEM_DEFAULT,
                          STATE_SYSTEM_FOCUSABLE})
    if (state.vt == VT_I4 && (state.lVal & bit) && GetStateTextW(bit, text, 64)) flags += probe::Utf8(text) + ",";
  if (!flags.empty()) flags.pop_back();
  line.append(flags).append("|").append(Ask(a, &IAccessible::get_accValue, self)).append("|");
  line.append(Ask(a, &IAccessible::get_accDefaultAction, self)).append("|");
  return line.append(Ask(a, &IAccessible::get_accDescription, self));
}

}  // namespace

LW_PROBE_COMMAND(access, "access TITLE [NAME]: role|name|states|value|default action|description of each child, "
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

// A file held open the way a virus scanner or indexer holds it: read and write shared, delete not,
// so nothing can be renamed over it while this runs.
LW_PROBE_COMMAND(lock, "lock FILE: holds FILE open without delete sharing until killed") {
  if (args.empty()) return 2;
  const HANDLE file = CreateFileW(args[0].c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return probe::Say("error %lu", GetLastError()), 4;
  probe::Say("locked");
  for (;;) Sleep(1000);
}
