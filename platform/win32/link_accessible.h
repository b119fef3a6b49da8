// What a window that shows links answers screen readers with, in the program's menu and in the designer's
// page alike: one client object whose simple children are the links shown, in reading order, with ids from
// 1. oleacc.dll and oleaut32.dll are bound from the system folder at first use, so a program still imports
// only what every Windows has loaded. Header only: each program compiles it once, where it answers.
#pragma once

#include "platform/win32/win.h"
// after windows.h
#include <oleacc.h>

#include <vector>

#include "menu/keyboard.h"
#include "platform/text.h"
#include "platform/win32/boundary.h"
#include "platform/win32/sysdll.h"

namespace link_accessible {

using SysAllocStringFn = BSTR(WINAPI*)(const OLECHAR*);
using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using AccessibleObjectFromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);

inline HRESULT Bstr(const Text& text, BSTR* out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  auto alloc = SystemProc<SysAllocStringFn>("oleaut32.dll", "SysAllocString");
  if (!alloc) return E_OUTOFMEMORY;
  *out = alloc(text.c_str());
  return *out ? S_OK : E_OUTOFMEMORY;
}

// An empty answer where a text was asked.
inline HRESULT NoText(BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return S_FALSE;
}

// The child id of a shown link; the object itself for any other.
inline LONG ChildOf(int link) {
  std::vector<int16_t> order = ReadingOrder();
  for (std::size_t i = 0; i < order.size(); ++i)
    if (order[i] == link) return static_cast<LONG>(i + 1);
  return CHILDID_SELF;
}

inline void SetLong(VARIANT* v, LONG value) {
  v->vt = VT_I4;
  v->lVal = value;
}

inline bool IsSelf(const VARIANT& child) {
  return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The link a child id names, or -1.
inline int LinkOf(const VARIANT& child) {
  if (child.vt != VT_I4 || child.lVal < 1) return -1;
  std::vector<int16_t> order = ReadingOrder();
  return static_cast<std::size_t>(child.lVal) <= order.size() ? order[child.lVal - 1] : -1;
}

// Any failure inside the logic or the system becomes an error code: nothing may unwind into COM.
template <class Step>
HRESULT Guarded(Step&& step) noexcept {
  HRESULT result = E_FAIL;
  return Contained([&] { result = step(); }) ? result : E_FAIL;
}

// A rectangle of `window`'s client area as a reader wants it: on the screen, as left, top, width, height.
inline void ScreenLocation(HWND window, RECT r, LONG* left, LONG* top, LONG* width, LONG* height) {
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  *left = r.left;
  *top = r.top;
  *width = r.right - r.left;
  *height = r.bottom - r.top;
}

// What both windows answer the same way; each answers the rest for its own use of the links.
class LinkListAccessible : public IAccessible {
 public:
  explicit LinkListAccessible(HWND window) : window_(window) {}
  virtual ~LinkListAccessible() = default;
  LinkListAccessible(const LinkListAccessible&) = delete;
  LinkListAccessible& operator=(const LinkListAccessible&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch: no type library; readers call the interface directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    auto fromWindow = SystemProc<AccessibleObjectFromWindowFn>("oleacc.dll", "AccessibleObjectFromWindow");
    if (!fromWindow) return S_FALSE;
    return fromWindow(window_, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                      reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    return Guarded([&] {
      *count = static_cast<LONG>(ReadingOrder().size());
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    // The links are simple elements of this object, not objects of their own.
    return Guarded([&] { return LinkOf(child) >= 0 ? S_FALSE : E_INVALIDARG; });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override { return NoText(value); }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override { return NoText(text); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
    if (topic) *topic = 0;
    return NoText(file);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    role->vt = VT_EMPTY;
    return Guarded([&]() -> HRESULT {
      if (!IsSelf(child) && LinkOf(child) < 0) return E_INVALIDARG;
      SetLong(role, IsSelf(child) ? ROLE_SYSTEM_CLIENT : ROLE_SYSTEM_LINK);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    end->vt = VT_EMPTY;
    return Guarded([&]() -> HRESULT {
      LONG count = static_cast<LONG>(ReadingOrder().size());
      LONG to = 0;
      if (IsSelf(start)) {
        if (direction == NAVDIR_FIRSTCHILD) to = 1;
        if (direction == NAVDIR_LASTCHILD) to = count;
      } else {
        if (LinkOf(start) < 0) return E_INVALIDARG;
        LONG from = start.lVal;
        if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN || direction == NAVDIR_RIGHT) to = from + 1;
        if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP || direction == NAVDIR_LEFT) to = from - 1;
      }
      if (to < 1 || to > count) return S_FALSE;
      SetLong(end, to);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }

 protected:
  HWND window_;

 private:
  LONG refs_ = 1;
};

// WM_GETOBJECT: the object `make` returns (with one reference) for the client area, the system's for the
// rest.
template <class Make>
LRESULT AnswerClientObject(HWND window, WPARAM wParam, LPARAM lParam, Make&& make) {
  // The id arrives as a DWORD; a 64-bit program may see it without its sign extended.
  auto fromObject = SystemProc<LresultFromObjectFn>("oleacc.dll", "LresultFromObject");
  if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || !fromObject)
    return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
  LinkListAccessible* object = make();
  LRESULT result = fromObject(__uuidof(IAccessible), wParam, object);
  object->Release();
  return result;
}

}  // namespace link_accessible
