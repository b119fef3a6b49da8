"""The designer on a writable disc, with the real pointer and keys: a dragged link saves only its line's left and
top; undo and redo; an edit another program makes on disk shows at once; the panel's colour, caption (a Cyrillic
one in an ANSI file: the UTF-8 offer) and page; live findings; screen readers. Where a case saves, the program
then runs the saved disc and shows the edit."""

import os
import time

from designer_driver import Designer, file_bytes, wait_file
from driver import CaseFailure, Case, bbox, check, grid, link, text_mask, wait_for

# Link 0 alone in its column and row, so no other link's edge is near enough to snap to during the drag.
MENU_LINES = [
    link(0, "Install", 7, left=600, top=600),
    "",
    link(1, "Quit", 6, left=3600, top=3000),
    link(0, "Other page", 7, page=1, left=600, top=600) + "kept|",
]
KAVO = ["001", "", "", "menu.bmp", "", ""]
RED = 255  # 0x00BBGGRR
RED_RGB = "ff0000"
# What the harness puts on every disc, beside the two files.
DISC_NAMES = ["bin", "docs", "kavo.inf", "menu.bmp", "menu.inf", "prog.exe-x", "recorder.exe", "sounds",
              "splash.bmp", "velmaro.exe"]


def px(twips):
    return twips // 15


def white_box(s, x, y):
    """The box of the white text within the top left 300x150 pixels of a page whose corner is at (x, y)."""
    rows = grid(s.probe.ask("pixels %d %d %d %d" % (x, y, x + 300, y + 150)))
    mask = text_mask(rows)
    return bbox(mask) if mask else None


def drag_save_undo_reload_run(p):
    d = Designer(p)
    try:
        original = file_bytes(p, "menu.inf")
        d.start()
        d.wait_panel()
        # The selection's box is drawn in white too: a click on the background clears it first.
        def box():
            d.click(380, 280)
            return white_box(p.s, *d.page_origin())
        at_start = wait_for("link 0 drawn on the page", box, 10)

        def wait_box(what, want):
            try:
                wait_for(what, lambda: box() == want, 8)
            except CaseFailure:
                raise CaseFailure("%s: link 0's text is at %r, expected %r" % (what, box(), want)) from None

        moved_box = tuple(v + (20 if i % 2 == 0 else 10) for i, v in enumerate(at_start))

        # Drag link 0 by (+20, +10) px and save: only its left and top change, by 300 and 150 twips.
        d.drag(at_start[0] + 8, at_start[1] + 6, 20, 10)
        wait_box("link 0 dragged by (20, 10)", moved_box)
        d.wait_title("the title to show an unsaved edit", lambda t: t.startswith("*"))
        d.keys("ctrl+s")
        moved = original.replace(b"0|0|Install|Verdana|1014|16777215|65535|600|600|",
                                 b"0|0|Install|Verdana|1014|16777215|65535|900|750|", 1)
        check(moved != original, "the fixture's line was not found")
        wait_file(p, "menu.inf", moved)
        d.wait_title("the title to show the disc saved", lambda t: not t.startswith("*"))
        check(sorted(os.listdir(p.disc)) == sorted(DISC_NAMES),
              "the save left other files beside menu.inf: %r" % sorted(os.listdir(p.disc)))

        # Undo puts it back (on the page, not yet on disk); redo again.
        d.keys("ctrl+z")
        wait_box("link 0 back after undo", at_start)
        d.wait_title("the undo to count as an unsaved edit", lambda t: t.startswith("*"))
        d.keys("ctrl+y")
        wait_box("link 0 moved again after redo", moved_box)
        d.wait_title("the redo to bring back the saved state", lambda t: not t.startswith("*"))

        # Another program adds a red link: the designer shows it without a restart.
        with open(os.path.join(p.disc, "menu.inf"), "ab") as f:
            f.write(link(2, "Added", 7, left=3600, top=1200, colour=RED).encode() + b"\r\n")
        saved = file_bytes(p, "menu.inf")
        d.wait_colour("the link another program added", RED_RGB, px(3600), px(1200), 60, 20, timeout=10)
        d.close()
        check(file_bytes(p, "menu.inf") == saved, "closing the designer wrote menu.inf")
    finally:
        d.finish()

    # The program runs the saved disc and shows both edits, drawn as the designer drew them.
    p.start()
    m = p.wait_menu()
    x, y = m["client"][0], m["client"][1]
    shown = white_box(p.s, x, y)
    check(shown == moved_box, "the program shows link 0's text at %r, the designer at %r" % (shown, moved_box))
    red = p.s.probe.ask("colours %d %d %d %d" % (x + px(3600), y + px(1200), x + px(3600) + 60, y + px(1200) + 20))
    check(red["colours"].get(RED_RGB, 0) > 10, "the program does not show the added link")


STOPPING_MENU = [
    link(0, "Install", 7, left=600, top=600),
    "0|50|Too far|Verdana|1014|16777215|65535|600|1200|7|",
    link(1, "Quit", 6, left=3600, top=3000),
]


def findings_live(p):
    d = Designer(p)
    try:
        d.start()
        # The findings pane from the keyboard; the first row is the error.
        d.keys_until("the page-stops finding chosen", ("ctrl+3", "End", "Home"),
                     lambda t: "[page-stops]" in t and t.startswith("menu.inf:2:"))
        # A text editor mends the line: the finding goes without a restart.
        with open(os.path.join(p.disc, "menu.inf"), "wb") as f:
            f.write(b"".join(l.encode() + b"\r\n" for l in MENU_LINES[:1] + MENU_LINES[2:3]))
        d.wait_status("the change on disk noticed", lambda t: "changed on disk" in t, timeout=10)
        d.keys_until("no page-stops finding left", ("ctrl+3", "Home", "End"),
                     lambda t: "[page-stops]" not in t and "changed on disk" not in t)
    finally:
        d.finish()


ROLE_CLIENT, ROLE_LINK = 10, 30
STATE_SELECTED = 0x2


def screen_reader(p):
    d = Designer(p)
    try:
        d.start()
        x0, y0 = d.page_origin()
        a = d.accessible()
        check(a["role"] == ROLE_CLIENT, "the page's role %r" % a["role"])
        check(a["count"] == 2, "%d accessible children, expected 2: %r" % (a["count"], a))
        for child, name, (left, top) in zip(a["children"], ["Install", "Quit"], [(600, 600), (3600, 3000)]):
            check(child["name"] == name, "child named %r, expected %r" % (child["name"], name))
            check(child["role"] == ROLE_LINK, "%s: role %r" % (name, child["role"]))
            l, t, w, h = child["location"]
            check((l, t) == (x0 + px(left), y0 + px(top)) and w > 20 and h > 10,
                  "%s at %r, the page at %d,%d" % (name, child["location"], x0, y0))
        # A reader's default action selects the link, as a click does.
        r = d.accessible("do", 2)
        check(r["hr"] == 0, "accDoDefaultAction returned %r" % r["hr"])
        d.wait_status("the reader's choice selected", lambda t: t.startswith("Link 1: Quit"))
        a = d.accessible()
        check(a["children"][1]["state"] & STATE_SELECTED and not a["children"][0]["state"] & STATE_SELECTED,
              "states after the selection: %r" % [c["state"] for c in a["children"]])
    finally:
        d.finish()


CAPTION_EDIT = 110  # kCaption of the link panel


def cyrillic_caption(p):
    d = Designer(p)
    try:
        original = file_bytes(p, "menu.inf")
        d.start()
        d.click(px(600) + 10, px(600) + 8)
        d.wait_status("link 0 selected", lambda t: t.startswith("Link 0: Install"))
        d.click_child(CAPTION_EDIT)
        d.keys("ctrl+a")
        d.type_into(CAPTION_EDIT, "Дом")
        d.keys("Return")
        # Code page 1252 has no Cyrillic letters: the designer offers UTF-8 with a mark and says why.
        box = wait_for("the offer to save as UTF-8", lambda: (d.boxes() or [None])[0], 10)
        check("UTF-8" in box["text"] and "Дом" in box["text"] and "1252" in box["text"],
              "the offer says %r" % box["text"])
        p.s.probe.ask("press " + box["hwnd"])
        wait_for("the offer to go", lambda: not d.boxes(), 5)
        d.wait_title("the edit to show", lambda t: t.startswith("*"))
        d.click(380, 280)
        d.keys("ctrl+s")
        want = b"\xef\xbb\xbf" + original.replace(b"|Install|", "|Дом|".encode("utf-8"), 1)
        wait_file(p, "menu.inf", want)
    finally:
        d.finish()


LINK_PAGE_COMBO = 125  # kLinkPage of the link panel


def page_of_a_link(p):
    d = Designer(p)
    try:
        original = file_bytes(p, "menu.inf")
        d.start()
        d.click(px(3600) + 10, px(3000) + 8)
        d.wait_status("link 1 selected", lambda t: t.startswith("Link 1: Quit"))
        # The panel's page list from the keyboard: the next page, confirmed with Enter.
        d.click_child(LINK_PAGE_COMBO)
        d.keys("Down", "Return")
        d.wait_title("the edit to show", lambda t: t.startswith("*"))
        d.click(380, 280)
        d.keys("ctrl+s")
        wait_file(p, "menu.inf", original.replace(b"0|1|Quit|", b"1|1|Quit|", 1))
    finally:
        d.finish()
    # The program no longer shows the link on page 0.
    p.start()
    m = p.wait_menu()
    x, y = m["client"][0] + px(3600), m["client"][1] + px(3000)
    shown = p.s.probe.ask("colours %d %d %d %d" % (x, y, x + 60, y + 20))["colours"]
    check(shown.get("ffffff", 0) == 0, "the program still shows the link moved to page 1")


COLOUR_BUTTON = 114  # kColour of the link panel


def colour_of_a_link(p):
    d = Designer(p)
    try:
        original = file_bytes(p, "menu.inf")
        d.start()
        d.click(px(600) + 10, px(600) + 8)
        d.wait_status("link 0 selected", lambda t: t.startswith("Link 0: Install"))
        # The system's colour dialog, from the panel: red 255, green 0, blue 0 (Red and Green by their labels'
        # letters, Blue next after Green), OK.
        d.click_child(COLOUR_BUTTON)
        box = wait_for("the colour dialog", lambda: (d.boxes() or [None])[0], 10)
        r = box["rect"]
        d.xdo("mousemove", r[0] + 20, r[1] + 8)
        time.sleep(0.3)
        d.keys("alt+r", "ctrl+a", "2", "5", "5", "alt+g", "ctrl+a", "0", "Tab", "ctrl+a", "0", "Return")
        wait_for("the colour dialog to go", lambda: not d.boxes(), 5)
        d.wait_title("the edit to show", lambda t: t.startswith("*"))
        d.click(380, 280)
        d.keys("ctrl+s")
        # Shown as a colour, stored as the decimal BGR number the program reads: red is 255.
        wait_file(p, "menu.inf", original.replace(b"0|0|Install|Verdana|1014|16777215|",
                                                  b"0|0|Install|Verdana|1014|255|", 1))
    finally:
        d.finish()


def cases():
    return [
        Case("designer", "the system colour dialog sets a link's colour, stored as decimal BGR", colour_of_a_link,
             kavo=KAVO, menu=MENU_LINES, writable=True),
        Case("designer", "the panel moves a link to another page", page_of_a_link, kavo=KAVO, menu=MENU_LINES,
             writable=True),
        Case("designer", "a Cyrillic caption in an ANSI file under code page 1252 is saved as UTF-8 with a mark "
             "when the author accepts the offer", cyrillic_caption, kavo=KAVO, menu=MENU_LINES, writable=True),
        Case("designer", "a screen reader reads the page's links with their places and selects one",
             screen_reader, kavo=KAVO, menu=MENU_LINES, writable=True),
        Case("designer", "a page-stops line shows in the findings and goes when another program mends it",
             findings_live, kavo=KAVO, menu=STOPPING_MENU, writable=True),
        Case("designer", "a dragged link saves only its left and top; undo, redo; a change on disk shows",
             drag_save_undo_reload_run, kavo=KAVO, menu=MENU_LINES, writable=True),
    ]
