"""Hover and sound: links lighting up under the pointer with their sound; how the program ends."""

import time

from driver import Case, check, link, shell
from cases.common import BG_PLAY, CLOSE_BG_MO, FILE_MSG, MO_PLAY, STANDARD_MENU, sounds_opened


def hover(p):
    p.start()
    p.wait_menu()
    p.expect_events(sounds_opened(p) + BG_PLAY)
    p.expect_link_colour(0, "white")
    p.over_link(0)
    p.expect_link_colour(0, "yellow")
    p.expect_events(MO_PLAY)
    x, y = p.link_point(600, 600)
    p.pointer(x + 10, y + 2)  # further moves inside the link change nothing
    p.expect_link_colour(0, "yellow")
    p.over_link(1)  # straight onto another link: the first stays lit, no sound
    p.expect_link_colour(0, "yellow")
    p.expect_link_colour(1, "white")
    p.expect_events([])
    p.over_background()
    p.expect_link_colour(0, "white")
    p.expect_link_colour(1, "white")
    p.expect_events([])
    p.over_link(1)
    p.expect_link_colour(1, "yellow")
    p.expect_events(MO_PLAY)


def background_once(p):
    p.start()
    p.wait_menu()
    p.expect_events(sounds_opened(p) + BG_PLAY)
    # Coming back from a message box is no new activation.
    p.over_link(0, click=True)
    box = p.expect_box("File Not Found", FILE_MSG.format("missing.exe"))
    p.press_ok(box)
    p.expect_events(MO_PLAY + [shell("menu", p.app + "missing.exe", "q")])
    p.over_background()
    p.over_link(1)
    p.expect_events(MO_PLAY)


def close_window(p):
    p.start()
    m = p.wait_menu()
    p.set_mark()
    p.s.probe.ask("close " + m["hwnd"])
    p.wait_exit(5)
    p.expect_events(CLOSE_BG_MO)


def single_missing(p):
    p.start()
    box = p.expect_box("File Not Found", FILE_MSG.format("missing.exe"))
    time.sleep(0.5)
    check(p.alive(), "the program ended before the message was dismissed")
    p.expect_events(sounds_opened(p))
    p.press_ok(box)
    p.wait_exit(5)
    p.expect_events([shell("null", p.app + "missing.exe", "q")])


HIDDEN_MENU = [
    link(0, "First", 7),
    link(1, "More", 5, "1"),
    link(2, "Elsewhere", 7, page=1),
    link(3, "Back", 5, "0", page=1),
]


def hidden_place(p):
    p.start()
    p.wait_menu()
    # A visit to page 1 gives link 2 its place; back on page 0 it is hidden there.
    p.over_link(1, click=True)
    p.expect_link_colour(2, "white")
    p.over_link(3, click=True)
    p.expect_link_colour(0, "white")
    p.expect_link_colour(2, "none")
    p.expect_events(sounds_opened(p) + BG_PLAY + MO_PLAY + MO_PLAY)
    p.over_link(0)
    p.expect_link_colour(0, "yellow")
    p.expect_events(MO_PLAY)
    p.over_link(2)  # the hidden link's place is background
    p.expect_link_colour(0, "white")
    p.expect_events([])
    p.over_link(0)
    p.expect_link_colour(0, "yellow")
    p.expect_events(MO_PLAY)


def hover_cases():
    return [
        Case("hover and sound", "a link lights up with one mouse-over sound and the background restores it", hover,
             menu=STANDARD_MENU),
        Case("hover and sound", "pointing at the place of a link hidden on this page restores the lit link, "
             "silently", hidden_place, menu=HIDDEN_MENU),
        Case("hover and sound", "the background sound plays once, not again after a message box",
             background_once, menu=[link(0, "Gone", 0, "missing.exe -q"), link(1, "Quit", 6)]),
        Case("ending", "closing the menu window closes two channels and ends the program", close_window,
             menu=STANDARD_MENU),
        Case("ending", "a missing single file is reported, requested all the same, then the program ends",
             single_missing, kavo=["01Y", "", "missing.exe -q", "", "sounds\\bg.wav", "sounds\\over.wav"]),
    ]


def cases():
    return hover_cases()
