"""One event at a time: while a message box is up or a click is still being carried out, nothing the pointer,
the keys or a screen reader asks for runs, then or afterwards."""

import time

from driver import Case, check, link, shell
from cases.common import BG_PLAY, FILE_MSG, MO_PLAY, sounds_opened

STATE_UNAVAILABLE = 0x1
MO = tuple(MO_PLAY)

BOX_MENU = [
    link(0, "&Missing", 0, "bin\\setup.exe -x"),
    link(1, "&Install", 0, "recorder.exe -alpha beta"),
    link(2, "&Quit", 6),
]

# Page 1 takes seconds to load under emulation: one of its links is set up again and again, each time measured
# and placed anew (the last line wins). No sounds: under the emulator, Wine's sound thread now and then dies
# when sounds play during such a load.
REPEATS = 3000
SLOW_MENU = [
    link(0, "&Next", 5, "1"),
    link(1, "&Install", 0, "recorder.exe -alpha beta"),
    link(0, "&Back", 5, "0", page=1),
    link(1, "&Other", 0, "recorder.exe -other", page=1),
] + [link(5, "Filler", 7, page=1, left=3000, top=3600)] * REPEATS
PAGE_1 = ["Back", "Other", "Filler"]


def missing_box(p):
    """The menu with "File Not Found" on screen, raised by a click on the first link."""
    p.start()
    p.wait_menu()
    p.expect_events(sounds_opened(p) + BG_PLAY)
    p.over_link(0)
    p.expect_events(MO_PLAY)
    p.over_link(0, click=True)
    return p.expect_box("File Not Found", FILE_MSG.format("bin\\setup.exe"))


def nothing_under_box(p):
    time.sleep(1.0)
    check(p.alive(), "the program ended behind the message box")
    check(len(p.boxes()) == 1, "%d message boxes on screen" % len(p.boxes()))
    p.expect_events([], settle=0.2)


def nothing_after_box(p, box):
    """After OK, only the first click's own launch."""
    p.press_ok(box)
    # The pointer may light a link again once the box has gone; nothing else may follow.
    p.expect_events([shell("menu", p.app + "bin\\setup.exe", "x")], settle=1.5, ignore=MO)
    check(p.alive(), "the program ended after the message box")
    p.no_error_box()
    check(not p.records(), "a program was launched: %r" % p.records())


def reader_during_box(p):
    box = missing_box(p)
    r = p.accessible("do", 2, 3)  # Install, then Quit
    nothing_under_box(p)
    check(all(hr != 0 for hr in r["all"]), "the reader's clicks were accepted: %r" % r["all"])
    states = [c["state"] for c in p.accessible()["children"]]
    check(all(s & STATE_UNAVAILABLE for s in states), "links not unavailable under the box: %r" %
          ["0x%x" % s for s in states])
    nothing_after_box(p, box)
    states = [c["state"] for c in p.accessible()["children"]]
    check(not any(s & STATE_UNAVAILABLE for s in states), "links still unavailable: %r" %
          ["0x%x" % s for s in states])


def input_during_box(p):
    box = missing_box(p)
    p.over_link(1, click=True)
    p.over_link(2, click=True)
    # The keys go to the box, which holds the focus; none of them presses its button.
    p.keys("alt+i", "i", "q", sync=False)
    nothing_under_box(p)
    nothing_after_box(p, box)


def slow_start(p):
    p.start()
    p.wait_menu(timeout=60)
    # Answered once the first page has loaded.
    names = [c["name"] for c in p.accessible()["children"]]
    check(names == ["Next", "Install"], "page 0 shows %r" % names)


def page_1_shown(p):
    """Waits for page 1, then shows that a click there still works: the drop was of the early one only."""
    names = []
    end = time.monotonic() + 60
    while time.monotonic() < end and names != PAGE_1:
        time.sleep(0.5)
        names = [c["name"] for c in p.accessible()["children"]]
    check(names == PAGE_1, "page 1 not shown: %r" % names)
    p.expect_events([], settle=1.0)
    check(not p.records(), "a program was launched: %r" % p.records())
    check(p.accessible("do", 2)["hr"] == 0, "a click on the new page was refused")
    p.expect_events([shell("menu", p.app + "recorder.exe", "other")])


def reader_during_page_load(p):
    slow_start(p)
    r = p.accessible("do", 1, 2)  # Next; Install, made while page 1 loads
    check(r["all"][0] == 0, "the page link's click was refused: %r" % r["all"])
    page_1_shown(p)
    check(r["all"][1] != 0, "the click made during the page load was accepted: %r" % r["all"])


def first_link_pixels(p):
    return p.pixels(p.px(600), p.px(600), 60, 16)


def still_loading(p, page_0):
    """Page 0 is still on screen: the page load holds the program, which repaints only after it."""
    check(first_link_pixels(p) == page_0, "page 1 was shown before the second click: the load was too short "
          "for this case to show anything")


def pointer_during_page_load(p):
    slow_start(p)
    p.over_link(0)
    p.expect_link_colour(0, "yellow")
    page_0 = first_link_pixels(p)
    p.over_link(0, click=True)
    # Where page 1's second link will be.
    p.over_link(1, click=True)
    still_loading(p, page_0)
    page_1_shown(p)


def keys_during_page_load(p):
    slow_start(p)
    page_0 = first_link_pixels(p)
    p.keys("n", "o")  # Next; then page 1's Other, typed before it is shown
    still_loading(p, page_0)
    page_1_shown(p)


def cases():
    slow = dict(menu=SLOW_MENU, kavo=["001", "", "", "menu.bmp", "", ""])
    return [
        Case("one at a time", "a screen reader's Click on a link or on Quit under File Not Found does nothing, "
             "then or after, and the links say they are unavailable", reader_during_box, menu=BOX_MENU),
        Case("one at a time", "the pointer and the keys under File Not Found do nothing, then or after",
             input_during_box, menu=BOX_MENU),
        Case("one at a time", "a screen reader's Click made while a page link's page loads is dropped",
             reader_during_page_load, **slow),
        Case("one at a time", "a pointer click made while a page loads is dropped, not given to the new page",
             pointer_during_page_load, **slow),
        Case("one at a time", "keys pressed while a page loads are dropped, not given to the new page",
             keys_during_page_load, **slow),
    ]
