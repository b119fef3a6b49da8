// A hand-written IAccessible over the link labels. Child ids are positions in reading order, from 1; they
// change with the page, which EVENT_OBJECT_REORDER announces. oleacc.dll and oleaut32.dll are bound from
// the system folder at first use, so the program still imports only what every Windows has loaded.
#include "platform/win32/accessible.h"

#include <oleacc.h>

#include <vector>

#include "menu/keyboard.h"
#include "platform/controls.h"
#include "platform/win32/boundary.h"
#include "platform/win32/dpi.h"
#include "platform/win32/forms.h"
#include "platform/win32/sysdll.h"
#include "platform/win32/units.h"

namespace {

// What UI Automation answers for an action on an element that is not enabled.
constexpr HRESULT kNotEnabled = static_cast<HRESULT>(0x80040200L);

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

// The child id of a shown link; the object itself for any other.
LONG ChildOf(int link) {
  std::vector<int16_t> order = ReadingOrder();
  for (std::size_t i = 0; i < order.size(); ++i)
    if (order[i] == link) return static_cast<LONG>(i + 1);
  return CHILDID_SELF;
}

void SetChild(VARIANT* v, LONG child) {
  v->vt = VT_I4;
  v->lVal = child;
}

// Any failure inside the logic or the system becomes an error code: nothing may unwind into COM.
template <class Step>
HRESULT Guarded(Step&& step) noexcept {
  HRESULT result = E_FAIL;
  return Contained([&] { result = step(); }) ? result : E_FAIL;
}

class MenuAccessible final : public IAccessible {
 public:
  explicit MenuAccessible(HWND menu) : menu_(menu) {}

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
    return fromWindow(menu_, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
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
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    *name = nullptr;
    return Guarded([&]() -> HRESULT {
      if (IsSelf(child)) return S_FALSE;
      int link = LinkOf(child);
      if (link < 0) return E_INVALIDARG;
      return Bstr(ShownCaption(lblLink(link).Caption()), name);
    });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override { return Nothing(value); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override { return Nothing(text); }
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
      SetChild(role, IsSelf(child) ? ROLE_SYSTEM_CLIENT : ROLE_SYSTEM_LINK);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    state->vt = VT_EMPTY;
    return Guarded([&]() -> HRESULT {
      bool focused = GetFocus() == menu_;
      // While a box is up or a click is being carried out, nothing can be used or take the focus.
      bool available = Events().Open();
      LONG flags = available ? STATE_SYSTEM_FOCUSABLE : STATE_SYSTEM_UNAVAILABLE;
      if (IsSelf(child)) {
        if (available && focused && menuKeyboard.focus < 0) flags |= STATE_SYSTEM_FOCUSED;
      } else {
        int link = LinkOf(child);
        if (link < 0) return E_INVALIDARG;
        flags |= STATE_SYSTEM_LINKED;
        if (available && focused && menuKeyboard.focus == link) flags |= STATE_SYSTEM_FOCUSED;
        if (HighlightedLink() == link) flags |= STATE_SYSTEM_HOTTRACKED;
      }
      SetChild(state, flags);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    if (!keys) return E_POINTER;
    *keys = nullptr;
    return Guarded([&]() -> HRESULT {
      if (IsSelf(child)) return S_FALSE;
      int link = LinkOf(child);
      if (link < 0) return E_INVALIDARG;
      wchar_t key = AccessKeyOf(lblLink(link).Caption());
      if (!key) return S_FALSE;
      return Bstr(Text(L"Alt+") + key, keys);
    });
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    focus->vt = VT_EMPTY;
    return Guarded([&]() -> HRESULT {
      if (GetFocus() != menu_) return S_FALSE;
      SetChild(focus, ChildOf(menuKeyboard.focus));
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    selection->vt = VT_EMPTY;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (!action) return E_POINTER;
    *action = nullptr;
    return Guarded([&]() -> HRESULT {
      if (IsSelf(child)) return S_FALSE;
      if (LinkOf(child) < 0) return E_INVALIDARG;
      return Bstr(L"Click", action);
    });
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE
  accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    return Guarded([&]() -> HRESULT {
      RECT r;
      if (IsSelf(child)) {
        GetClientRect(menu_, &r);
        MapWindowPoints(menu_, nullptr, reinterpret_cast<POINT*>(&r), 2);
      } else {
        int link = LinkOf(child);
        if (link < 0) return E_INVALIDARG;
        HWND box = MenuBox().hwnd();
        PixelRect p = TwipRectToPixels(lblLink(link).Rect(), WindowDpi(box));
        r = RECT{p.left, p.top, p.right, p.bottom};
        MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&r), 2);
      }
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
      SetChild(end, to);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* at) override {
    if (!at) return E_POINTER;
    at->vt = VT_EMPTY;
    return Guarded([&]() -> HRESULT {
      POINT p{x, y};
      ScreenToClient(menu_, &p);
      RECT client;
      GetClientRect(menu_, &client);
      if (!PtInRect(&client, p)) return S_FALSE;
      HWND box = MenuBox().hwnd();
      POINT q{x, y};
      ScreenToClient(box, &q);
      unsigned dpi = WindowDpi(box);
      int link = LabelAt(PixelsToTwips(q.x, dpi), PixelsToTwips(q.y, dpi));
      SetChild(at, ChildOf(link));
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return Guarded([&]() -> HRESULT {
      if (IsSelf(child)) return DISP_E_MEMBERNOTFOUND;
      int link = LinkOf(child);
      if (link < 0) return E_INVALIDARG;
      // The reader's call arrives as a message: its time says whether it was made while the gate was shut.
      EventGate& gate = Events();
      if (!gate.Admits(MessageTime())) return kNotEnabled;
      auto page = static_cast<LPARAM>(gate.PageShown());
      return PostMessageW(menu_, kAccessibleClick, static_cast<WPARAM>(link), page) ? S_OK : E_FAIL;
    });
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }

 private:
  static bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }
  // The link a child id names, or -1.
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

  HWND menu_;
  LONG refs_ = 1;
};

}  // namespace

LRESULT AnswerGetObject(HWND menu, WPARAM wParam, LPARAM lParam) {
  // The id arrives as a DWORD; a 64-bit program may see it without its sign extended.
  auto fromObject = SystemProc<LresultFromObjectFn>("oleacc.dll", "LresultFromObject");
  if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || !fromObject)
    return DefWindowProcW(menu, WM_GETOBJECT, wParam, lParam);
  auto* object = new MenuAccessible(menu);
  LRESULT result = fromObject(__uuidof(IAccessible), wParam, object);
  object->Release();
  return result;
}

void AnnounceFocus(HWND menu, int link) {
  if (link >= 0 && GetFocus() == menu) NotifyWinEvent(EVENT_OBJECT_FOCUS, menu, OBJID_CLIENT, ChildOf(link));
}

void AnnounceLinks(HWND menu) {
  NotifyWinEvent(EVENT_OBJECT_REORDER, menu, OBJID_CLIENT, CHILDID_SELF);
}

void AnnounceAvailability(HWND menu) {
  NotifyWinEvent(EVENT_OBJECT_STATECHANGE, menu, OBJID_CLIENT, CHILDID_SELF);
  std::vector<int16_t> order = ReadingOrder();
  for (std::size_t i = 0; i < order.size(); ++i)
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, menu, OBJID_CLIENT, static_cast<LONG>(i + 1));
}
