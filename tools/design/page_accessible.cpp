// A hand-written IAccessible over the page view's links. oleacc.dll and oleaut32.dll are bound from the
// system folder at first use, as in the program.
#include "tools/design/page_accessible.h"

#include <oleacc.h>

#include <vector>

#include "menu/keyboard.h"
#include "platform/controls.h"
#include "platform/win32/boundary.h"
#include "platform/win32/dpi.h"
#include "platform/win32/sysdll.h"
#include "platform/win32/units.h"

namespace {

using SysAllocStringFn = BSTR(WINAPI*)(const OLECHAR*);
using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using AccessibleObjectFromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);

HRESULT Bstr(const Text& text, BSTR* out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  auto alloc = SystemProc<SysAllocStringFn>("oleaut32.dll", "SysAllocString");
  if (!alloc) return E_OUTOFMEMORY;
  *out = alloc(text.c_str());
  return *out ? S_OK : E_OUTOFMEMORY;
}

LONG ChildOf(int link) {
  std::vector<int16_t> order = ReadingOrder();
  for (std::size_t i = 0; i < order.size(); ++i)
    if (order[i] == link) return static_cast<LONG>(i + 1);
  return CHILDID_SELF;
}

void SetLong(VARIANT* v, LONG value) {
  v->vt = VT_I4;
  v->lVal = value;
}

template <class Step>
HRESULT Guarded(Step&& step) noexcept {
  HRESULT result = E_FAIL;
  return Contained([&] { result = step(); }) ? result : E_FAIL;
}

class PageAccessible final : public IAccessible {
 public:
  PageAccessible(HWND view, int (*selected)(HWND), void (*select)(HWND, int))
      : view_(view), selected_(selected), select_(select) {}

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

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    auto fromWindow = SystemProc<AccessibleObjectFromWindowFn>("oleacc.dll", "AccessibleObjectFromWindow");
    if (!fromWindow) return S_FALSE;
    return fromWindow(view_, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
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
    return Guarded([&] { return LinkOf(child) >= 0 ? S_FALSE : E_INVALIDARG; });
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    *name = nullptr;
    return Guarded([&]() -> HRESULT {
      if (IsSelf(child)) return Bstr(L"Page", name);
      int link = LinkOf(child);
      if (link < 0) return E_INVALIDARG;
      return Bstr(ShownCaption(lblLink(link).Caption()), name);
    });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override { return Nothing(value); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    if (!text) return E_POINTER;
    *text = nullptr;
    return Guarded([&]() -> HRESULT {
      int link = LinkOf(child);
      if (link < 0) return S_FALSE;
      return Bstr(L"Link " + std::to_wstring(link), text);
    });
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override { return Nothing(text); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
    if (topic) *topic = 0;
    return Nothing(file);
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
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    state->vt = VT_EMPTY;
    return Guarded([&]() -> HRESULT {
      bool focused = GetFocus() == view_;
      int selected = selected_(view_);
      LONG flags = STATE_SYSTEM_FOCUSABLE;
      if (IsSelf(child)) {
        if (focused && selected < 0) flags |= STATE_SYSTEM_FOCUSED;
      } else {
        int link = LinkOf(child);
        if (link < 0) return E_INVALIDARG;
        flags |= STATE_SYSTEM_LINKED | STATE_SYSTEM_SELECTABLE;
        if (link == selected) flags |= STATE_SYSTEM_SELECTED | (focused ? STATE_SYSTEM_FOCUSED : 0);
      }
      SetLong(state, flags);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* keys) override { return Nothing(keys); }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    focus->vt = VT_EMPTY;
    return Guarded([&]() -> HRESULT {
      if (GetFocus() != view_) return S_FALSE;
      SetLong(focus, ChildOf(selected_(view_)));
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    selection->vt = VT_EMPTY;
    return Guarded([&]() -> HRESULT {
      LONG child = ChildOf(selected_(view_));
      if (child == CHILDID_SELF) return S_FALSE;
      SetLong(selection, child);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (!action) return E_POINTER;
    *action = nullptr;
    return Guarded([&]() -> HRESULT {
      if (IsSelf(child)) return S_FALSE;
      if (LinkOf(child) < 0) return E_INVALIDARG;
      return Bstr(L"Select", action);
    });
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return Guarded([&]() -> HRESULT {
      int link = LinkOf(child);
      if (link < 0) return E_INVALIDARG;
      if (!(flags & (SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS))) return DISP_E_MEMBERNOTFOUND;
      if (flags & SELFLAG_TAKEFOCUS) SetFocus(view_);
      select_(view_, link);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE
  accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    return Guarded([&]() -> HRESULT {
      RECT r;
      if (IsSelf(child)) {
        GetClientRect(view_, &r);
      } else {
        int link = LinkOf(child);
        if (link < 0) return E_INVALIDARG;
        PixelRect p = TwipRectToPixels(lblLink(link).Rect(), WindowDpi(view_));
        r = RECT{p.left, p.top, p.right, p.bottom};
      }
      MapWindowPoints(view_, nullptr, reinterpret_cast<POINT*>(&r), 2);
      *left = r.left;
      *top = r.top;
      *width = r.right - r.left;
      *height = r.bottom - r.top;
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
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* at) override {
    if (!at) return E_POINTER;
    at->vt = VT_EMPTY;
    return Guarded([&]() -> HRESULT {
      POINT p{x, y};
      ScreenToClient(view_, &p);
      RECT client;
      GetClientRect(view_, &client);
      if (!PtInRect(&client, p)) return S_FALSE;
      unsigned dpi = WindowDpi(view_);
      SetLong(at, ChildOf(LabelAt(PixelsToTwips(p.x, dpi), PixelsToTwips(p.y, dpi))));
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }

 private:
  static bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }
  static int LinkOf(const VARIANT& child) {
    if (child.vt != VT_I4 || child.lVal < 1) return -1;
    std::vector<int16_t> order = ReadingOrder();
    return static_cast<std::size_t>(child.lVal) <= order.size() ? order[child.lVal - 1] : -1;
  }
  static HRESULT Nothing(BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
  }

  HWND view_;
  int (*selected_)(HWND);
  void (*select_)(HWND, int);
  LONG refs_ = 1;
};

}  // namespace

LRESULT AnswerPageObject(HWND view,
                         WPARAM wParam,
                         LPARAM lParam,
                         int (*selected)(HWND),
                         void (*select)(HWND, int)) {
  auto fromObject = SystemProc<LresultFromObjectFn>("oleacc.dll", "LresultFromObject");
  if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || !fromObject)
    return DefWindowProcW(view, WM_GETOBJECT, wParam, lParam);
  auto* object = new PageAccessible(view, selected, select);
  LRESULT result = fromObject(__uuidof(IAccessible), wParam, object);
  object->Release();
  return result;
}

void AnnouncePageLinks(HWND view) {
  NotifyWinEvent(EVENT_OBJECT_REORDER, view, OBJID_CLIENT, CHILDID_SELF);
}

void AnnouncePageSelection(HWND view, int link) {
  LONG child = ChildOf(link);
  if (child == CHILDID_SELF) return;
  NotifyWinEvent(EVENT_OBJECT_SELECTION, view, OBJID_CLIENT, child);
  if (GetFocus() == view) NotifyWinEvent(EVENT_OBJECT_FOCUS, view, OBJID_CLIENT, child);
}
