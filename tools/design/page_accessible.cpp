// A hand-written IAccessible over the page view's links: selecting one is its action.
#include "tools/design/page_accessible.h"

#include "menu/keyboard.h"
#include "platform/controls.h"
#include "platform/win32/dpi.h"
#include "platform/win32/link_accessible.h"
#include "platform/win32/units.h"

namespace {

using namespace link_accessible;

class PageAccessible final : public LinkListAccessible {
 public:
  PageAccessible(HWND view, int (*selected)(HWND), void (*select)(HWND, int))
      : LinkListAccessible(view), selected_(selected), select_(select) {}

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
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    if (!text) return E_POINTER;
    *text = nullptr;
    return Guarded([&]() -> HRESULT {
      int link = LinkOf(child);
      if (link < 0) return S_FALSE;
      return Bstr(L"Link " + std::to_wstring(link), text);
    });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    state->vt = VT_EMPTY;
    return Guarded([&]() -> HRESULT {
      bool focused = GetFocus() == window_;
      int selected = selected_(window_);
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
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* keys) override { return NoText(keys); }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    focus->vt = VT_EMPTY;
    return Guarded([&]() -> HRESULT {
      if (GetFocus() != window_) return S_FALSE;
      SetLong(focus, ChildOf(selected_(window_)));
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    selection->vt = VT_EMPTY;
    return Guarded([&]() -> HRESULT {
      LONG child = ChildOf(selected_(window_));
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
      if (flags & SELFLAG_TAKEFOCUS) SetFocus(window_);
      select_(window_, link);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE
  accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    return Guarded([&]() -> HRESULT {
      RECT r;
      if (IsSelf(child)) {
        GetClientRect(window_, &r);
      } else {
        int link = LinkOf(child);
        if (link < 0) return E_INVALIDARG;
        PixelRect p = TwipRectToPixels(lblLink(link).Rect(), WindowDpi(window_));
        r = RECT{p.left, p.top, p.right, p.bottom};
      }
      ScreenLocation(window_, r, left, top, width, height);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* at) override {
    if (!at) return E_POINTER;
    at->vt = VT_EMPTY;
    return Guarded([&]() -> HRESULT {
      POINT p{x, y};
      ScreenToClient(window_, &p);
      RECT client;
      GetClientRect(window_, &client);
      if (!PtInRect(&client, p)) return S_FALSE;
      unsigned dpi = WindowDpi(window_);
      SetLong(at, ChildOf(LabelAt(PixelsToTwips(p.x, dpi), PixelsToTwips(p.y, dpi))));
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, child);
  }

 private:
  int (*selected_)(HWND);
  void (*select_)(HWND, int);
};

}  // namespace

LRESULT AnswerPageObject(HWND view,
                         WPARAM wParam,
                         LPARAM lParam,
                         int (*selected)(HWND),
                         void (*select)(HWND, int)) {
  return AnswerClientObject(view, wParam, lParam, [&] { return new PageAccessible(view, selected, select); });
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
