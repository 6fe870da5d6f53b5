// A hand-written IAccessible (IDispatch without type information, as screen readers call it
// through its vtable) over one window, with no children: every call is about CHILDID_SELF.
#include "platform/accessible_win32.h"

#include <commctrl.h>

#include <atomic>
#include <utility>

namespace lw::win32 {
namespace {

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT Text(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT Number(long value, VARIANT* out) {
  if (!out) return E_POINTER;
  VariantInit(out);
  out->vt = VT_I4;
  out->lVal = value;
  return S_OK;
}

class WindowAccessible final : public IAccessible {
 public:
  WindowAccessible(HWND hwnd, AccessibleDescription description)
      : hwnd_(hwnd), description_(std::move(description)) {}

  // ---- IUnknown ----
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kIidAccessible) *out = static_cast<IAccessible*>(this);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // ---- IDispatch: readers use the vtable; late binding is not offered ----
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return count ? S_OK : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // ---- IAccessible ----
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!Alive()) return RPC_E_DISCONNECTED;
    return AccessibleObjectFromWindow(hwnd_, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                      reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
    if (child) *child = nullptr;
    return E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) override {
    if (name) *name = nullptr;
    return Fact(id, [&](const AccessibleFacts& f) { return Text(f.name, name); });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* value) override {
    if (value) *value = nullptr;
    return Fact(id, [&](const AccessibleFacts& f) { return Text(f.value, value); });
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* text) override {
    if (text) *text = nullptr;
    return Fact(id, [&](const AccessibleFacts& f) { return Text(f.description, text); });
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override {
    if (role) VariantInit(role);
    return Fact(id, [&](const AccessibleFacts& f) { return Number(f.role, role); });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override {
    if (state) VariantInit(state);
    return Fact(id, [&](const AccessibleFacts& f) { return Number(f.state, state); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* text) override { return Nothing(id, text); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* text) override { return Nothing(id, text); }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* id) override {
    if (!id) return E_POINTER;
    VariantInit(id);
    if (!Alive()) return RPC_E_DISCONNECTED;
    return GetFocus() == hwnd_ ? Number(CHILDID_SELF, id) : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* id) override {
    if (id) VariantInit(id);
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* action) override {
    if (action) *action = nullptr;
    return Fact(id, [&](const AccessibleFacts& f) { return Text(f.defaultAction, action); });
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override {
    if (!IsSelf(id)) return E_INVALIDARG;
    if (!Alive()) return RPC_E_DISCONNECTED;
    if (flags & SELFLAG_TAKEFOCUS) SetFocus(hwnd_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT id) override {
    if (!x || !y || !w || !h) return E_POINTER;
    *x = *y = *w = *h = 0;
    if (!IsSelf(id)) return E_INVALIDARG;
    if (!Alive()) return RPC_E_DISCONNECTED;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    *x = r.left, *y = r.top, *w = r.right - r.left, *h = r.bottom - r.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG, VARIANT, VARIANT* end) override {
    if (end) VariantInit(end);
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* id) override {
    if (!id) return E_POINTER;
    VariantInit(id);
    if (!Alive()) return RPC_E_DISCONNECTED;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return PtInRect(&r, POINT{x, y}) ? Number(CHILDID_SELF, id) : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override {
    if (!IsSelf(id)) return E_INVALIDARG;
    if (!Alive()) return RPC_E_DISCONNECTED;
    return description_.doDefault && description_.doDefault() ? S_OK : DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  bool Alive() const { return IsWindow(hwnd_) != FALSE; }

  template <typename Answer>
  HRESULT Fact(const VARIANT& id, Answer answer) {
    if (!IsSelf(id)) return E_INVALIDARG;
    if (!Alive()) return RPC_E_DISCONNECTED;
    return answer(description_.facts ? description_.facts() : AccessibleFacts{});
  }

  HRESULT Nothing(const VARIANT& id, BSTR* out) {
    if (out) *out = nullptr;
    return IsSelf(id) ? S_FALSE : E_INVALIDARG;
  }

  std::atomic<ULONG> references_{1};
  HWND hwnd_;
  AccessibleDescription description_;
};

constexpr UINT_PTR kDescribeSubclass = 0x4C57;  // "LW"

LRESULT CALLBACK DescribedProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
  auto* description = reinterpret_cast<AccessibleDescription*>(data);
  if (msg == WM_GETOBJECT && static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT))
    return AnswerGetObject(hwnd, wParam, lParam, *description);
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &DescribedProcedure, id);
    delete description;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

// MinGW declares these GUIDs without defining them in a library the program links.
constexpr GUID kClsidAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kIidAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kPropIdAccName = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

constexpr UINT_PTR kNameSubclass = 0x4C4E;  // "LN"

// Clears the window's annotations when it is destroyed, as the service asks of the program that
// set them, then lets go of the service.
LRESULT CALLBACK NamedProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
  if (msg == WM_NCDESTROY) {
    auto* services = reinterpret_cast<IAccPropServices*>(data);
    MSAAPROPID props[] = {kPropIdAccName};
    services->ClearHwndProps(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, props, 1);
    services->Release();
    RemoveWindowSubclass(hwnd, &NamedProcedure, id);
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace

bool NameStandardControl(HWND hwnd, const std::wstring& name) {
  if (!hwnd) return false;
  IAccPropServices* services = nullptr;
  if (FAILED(CoCreateInstance(kClsidAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIidAccPropServices,
                              reinterpret_cast<void**>(&services))) ||
      !services)
    return false;
  const bool named = SUCCEEDED(services->SetHwndPropStr(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                                        kPropIdAccName, name.c_str()));
  if (!named || !SetWindowSubclass(hwnd, &NamedProcedure, kNameSubclass, reinterpret_cast<DWORD_PTR>(services))) {
    services->Release();
    return false;
  }
  return true;
}

void DescribeWindow(HWND hwnd, AccessibleDescription description) {
  if (!hwnd) return;
  auto* held = new AccessibleDescription(std::move(description));
  if (!SetWindowSubclass(hwnd, &DescribedProcedure, kDescribeSubclass, reinterpret_cast<DWORD_PTR>(held))) delete held;
}

LRESULT AnswerGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam, AccessibleDescription description) {
  if (static_cast<LONG>(lParam) != static_cast<LONG>(OBJID_CLIENT)) return 0;
  auto* object = new WindowAccessible(hwnd, std::move(description));
  // LresultFromObject holds its own reference until the reader has taken the object.
  const LRESULT result = LresultFromObject(kIidAccessible, wParam, object);
  object->Release();
  return result > 0 ? result : 0;
}

std::wstring WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
  return text;
}

long FocusStates(HWND hwnd) {
  const HWND focus = GetFocus();
  const bool focused = focus && (focus == hwnd || IsChild(hwnd, focus));
  return STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0);
}

}  // namespace lw::win32
