"""The designer's side column on a short screen and at another DPI: a panel shorter than its controls scrolls
(its bar, the wheel, and the control Tab or a label's letter reaches brought into view), none when everything
fits; at 144 DPI the panel's controls and the findings' columns are larger than at 96."""

import time

from cases.designer import KAVO, MENU_LINES, px
from cases.windows import system_dpi
from designer_driver import PANEL, STARTUP_BUTTON, WS_HSCROLL, Designer
from driver import Case, check, wait_for

PAGE_SHOWN_COMBO = 101  # kPageShown, the panel's first control
CAPTION_EDIT = 110      # kCaption
LINK_INDEX_COMBO = 123  # kLinkIndex, named by "Lin&k number:", near the panel's end
WM_FONTCHANGE = 0x1D
LVM_GETCOLUMNWIDTH = 0x101D
SHORT = (900, 420)  # a window whose panel gets about half the height its controls need


def inside(inner, outer):
    return outer[1] <= inner[1] and inner[3] <= outer[3]


def check_in_view(d, control_id, what):
    panel, control = d.control(PANEL), d.control(control_id)
    check(inside(control["rect"], panel["rect"]),
          "%s: control %d at %r, outside the panel at %r" % (what, control_id, control["rect"], panel["rect"]))
    return control


def check_focus(d, control_id, what):
    control = d.control(control_id)
    wait_for("%s: the focus on control %d" % (what, control_id), lambda: d.focus() == control["hwnd"], 5)
    check_in_view(d, control_id, what)


def short_window_scrolls(p):
    d = Designer(p)
    try:
        d.start()
        d.wait_panel()  # sized for the page and the panel: no scroll bar

        p.s.probe.ask("resize %s %d %d" % (d.main()["hwnd"], SHORT[0], SHORT[1]))
        wait_for("a scroll bar on the short panel", d.panel_scrolls, 5)
        panel, last = d.control(PANEL), d.control(STARTUP_BUTTON)
        check(last["rect"][1] >= panel["rect"][3],
              "the window is not short enough: the panel's last control at %r shows in %r" % (last["rect"],
                                                                                           panel["rect"]))

        # Ctrl+2 puts the keys on the panel's first control, Shift+Tab goes round to its last, out of sight.
        d.click(200, 200)
        d.keys("ctrl+2")
        check_focus(d, PAGE_SHOWN_COMBO, "Ctrl+2")
        d.keys("shift+Tab")
        check_focus(d, STARTUP_BUTTON, "Shift+Tab round to the last control")

        # The wheel over the panel scrolls it, though the keys are on a button and the pointer over another
        # control, as far as the top; and down again.
        panel = d.control(PANEL)
        cx, cy = (panel["rect"][0] + panel["rect"][2]) // 2, (panel["rect"][1] + panel["rect"][3]) // 2
        d.wheel(cx, cy, 15)
        first = check_in_view(d, PAGE_SHOWN_COMBO, "the wheel turned up")
        # Above it, only the margin and its label.
        check(first["rect"][1] - panel["rect"][1] < 40, "the wheel up did not reach the top: %r in %r" % (
            first["rect"], panel["rect"]))
        d.wheel(cx, cy, -2)
        lower = d.control(PAGE_SHOWN_COMBO)
        check(lower["rect"][1] < first["rect"][1] - 20, "two notches down moved the panel from %r to %r" % (
            first["rect"], lower["rect"]))

        # A link selected: Tab from the last control wraps to the first, shown again; a label's letter
        # reaches a list near the end.
        d.click(px(600) + 10, px(600) + 8)
        d.wait_status("link 0 selected", lambda t: t.startswith("Link 0: Install"))
        d.keys("F6")  # from the page to the panel, where the keys last were
        check_focus(d, STARTUP_BUTTON, "F6 back to the panel")
        d.keys("Tab")
        check_focus(d, PAGE_SHOWN_COMBO, "Tab round to the first control")
        d.keys("alt+k")
        check_focus(d, LINK_INDEX_COMBO, "Alt+K, the letter of its label")

        # A font installed or removed lays the column out again: still scrolled, the control still in view.
        d.send(d.main()["hwnd"], WM_FONTCHANGE)
        time.sleep(0.5)
        check(d.panel_scrolls(), "the panel lost its scroll bar when the fonts changed")
        check_in_view(d, LINK_INDEX_COMBO, "after a font change")

        # Tall enough again: the bar goes and every control shows.
        p.s.probe.ask("resize %s %d %d" % (d.main()["hwnd"], SHORT[0], 740))
        wait_for("the scroll bar to go", lambda: not d.panel_scrolls(), 5)
        check_in_view(d, PAGE_SHOWN_COMBO, "tall again")
        check_in_view(d, STARTUP_BUTTON, "tall again")
    finally:
        d.finish()


def side_column_sizes(p, dpi):
    d = Designer(p)
    try:
        d.start()
        d.wait_panel(may_scroll=True)
        findings = d.child("SysListView32")
        # The message's column within the list: nothing to scroll sideways for.
        check(not findings["style"] & WS_HSCROLL, "the findings scroll sideways at %d DPI" % dpi)
        caption = d.control(CAPTION_EDIT)["rect"]
        sizes = {"panel width": d.control(PANEL)["rect"][2] - d.control(PANEL)["rect"][0],
                 "caption box height": caption[3] - caption[1],
                 "severity column": d.send(findings["hwnd"], LVM_GETCOLUMNWIDTH, 0),
                 "place column": d.send(findings["hwnd"], LVM_GETCOLUMNWIDTH, 1)}
        if d.panel_scrolls():
            # Whatever the screen leaves it, the panel's last control can be reached.
            d.click(200, 200)
            d.keys("ctrl+2", "shift+Tab")
            check_focus(d, STARTUP_BUTTON, "Shift+Tab at %d DPI" % dpi)
        d.close()
        return sizes
    finally:
        d.finish()


def panel_at_144_dpi(p):
    at96 = side_column_sizes(p, 96)
    with system_dpi(p, 144):
        at144 = side_column_sizes(p, 144)
    for what, small in at96.items():
        ratio = at144[what] / small
        check(1.3 <= ratio <= 1.7, "%s: %d px at 96 DPI, %d px at 144 DPI" % (what, small, at144[what]))


def cases():
    return [
        Case("designer", "a window too short for the panel scrolls it: bar, wheel, and the control Tab, F6 or "
             "a label's letter reaches shown; none when it fits", short_window_scrolls, kavo=KAVO,
             menu=MENU_LINES, writable=True),
        Case("designer", "at 144 DPI the panel's controls and the findings' columns are half as large again",
             panel_at_144_dpi, kavo=KAVO, menu=MENU_LINES, writable=True),
    ]
