// A hand-written IAccessible over the link labels. Child ids are positions in reading order, from 1; they
// change with the page, which EVENT_OBJECT_REORDER announces.
#include "platform/win32/accessible.h"

#include "menu/keyboard.h"
#include "platform/controls.h"
#include "platform/win32/dpi.h"
#include "platform/win32/forms.h"
#include "platform/win32/link_accessible.h"
#include "platform/win32/units.h"

namespace {

using namespace link_accessible;

// What UI Automation answers for an action on an element that is not enabled.
constexpr HRESULT kNotEnabled = static_cast<HRESULT>(0x80040200L);

class MenuAccessible final : public LinkListAccessible {
 public:
  explicit MenuAccessible(HWND menu) : LinkListAccessible(menu) {}

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
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override { return NoText(text); }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    state->vt = VT_EMPTY;
    return Guarded([&]() -> HRESULT {
      bool focused = GetFocus() == window_;
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
      SetLong(state, flags);
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
      if (GetFocus() != window_) return S_FALSE;
      SetLong(focus, ChildOf(menuKeyboard.focus));
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
      if (IsSelf(child)) {
        RECT client;
        GetClientRect(window_, &client);
        ScreenLocation(window_, client, left, top, width, height);
        return S_OK;
      }
      int link = LinkOf(child);
      if (link < 0) return E_INVALIDARG;
      HWND box = MenuBox().hwnd();
      PixelRect p = TwipRectToPixels(lblLink(link).Rect(), WindowDpi(box));
      ScreenLocation(box, RECT{p.left, p.top, p.right, p.bottom}, left, top, width, height);
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
      HWND box = MenuBox().hwnd();
      POINT q{x, y};
      ScreenToClient(box, &q);
      unsigned dpi = WindowDpi(box);
      int link = LabelAt(PixelsToTwips(q.x, dpi), PixelsToTwips(q.y, dpi));
      SetLong(at, ChildOf(link));
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
      return PostMessageW(window_, kAccessibleClick, static_cast<WPARAM>(link), page) ? S_OK : E_FAIL;
    });
  }
};

}  // namespace

LRESULT AnswerGetObject(HWND menu, WPARAM wParam, LPARAM lParam) {
  return AnswerClientObject(menu, wParam, lParam, [menu] { return new MenuAccessible(menu); });
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
