"""The Linux program's end-to-end cases: those of the Windows program's (tests/e2e/cases) that apply on a
Linux desktop, on discs built the same way, and what only Linux has (programs without execute bits, Wine,
the desktop's opener, AT-SPI)."""

import os
import time

import sys
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from cases.common import FILE_MSG, SOUND_MSG  # noqa: E402
from linux_driver import (KAVO, LOADER, MENU_SIZE, SCREEN_H, SCREEN_W, SPLASH_SIZE, Case,  # noqa: E402,F401
                          CaseFailure, check, link)

MENU = [
    link(0, "&Install", 0, "bin\\record -alpha beta"),
    link(1, "Guide", 3, "docs\\guide.txt"),
    link(2, "Website", 1, "https://example.org/"),
    link(3, "Mail", 2, "info@example.org"),
    link(4, "Browse", 4),
    link(5, "Quit", 6),
]
OPENED = ["open bg.wav", "open over.wav", "play bg.wav"]
HOVER = ["play over.wav"]
WINDOWS_MSG = "setup.exe is a program for Windows. It runs on Windows, or here once Wine is installed."


def kavo(flags="001", single="bin\\record -alpha beta"):
    return [flags, "splash.bmp", single, "menu.bmp", "sounds\\bg.wav", "sounds\\over.wav"]


def centred(w):
    return abs(w["x"] - (SCREEN_W - w["width"]) // 2) <= 1 and abs(w["y"] - (SCREEN_H - w["height"]) // 2) <= 1


# -- start-up -------------------------------------------------------------------------------------------------

def nothing_on(p):
    p.start()
    check(p.wait_exit(10) == 0, "the program did not end cleanly")
    p.expect_records([])


def single_file(p):
    p.start()
    check(p.wait_exit(10) == 0, "the program did not end after launching")
    # Without execute bits the program runs through its loader, which hands it its own name as argv[0].
    p.expect_records([("elf", ["DISC/bin/record", "alpha", "beta"])])


def single_missing(p):
    p.start()
    p.expect_box("File Not Found", FILE_MSG.format("missing.exe"))
    box = [w for w in p.windows() if w["title"] == "File Not Found"]
    check(len(box) == 1 and centred(box[0]), "the message box is not centred: %r" % box)
    time.sleep(0.5)
    check(p.alive(), "the program ended before the message was dismissed")
    p.press_ok()
    p.wait_exit(5)
    p.expect_records([])


def splash_then_menu(p):
    p.start()
    splash = p.window_of_size(SPLASH_SIZE)
    check(centred(splash), "splash not centred: %r" % splash)
    check(not [w for w in p.windows() if (w["width"], w["height"]) == MENU_SIZE], "menu shown with the splash")
    menu = p.wait_menu(10)
    check(centred(menu), "menu not centred: %r" % menu)
    check(not [w for w in p.windows() if (w["width"], w["height"]) == SPLASH_SIZE], "splash stays over the menu")
    p.expect_sounds(OPENED)
    p.expect_link_colour(0, "white")


def splash_only(p):
    p.start()
    p.window_of_size(SPLASH_SIZE)
    check(p.wait_exit(8) == 0, "the program did not end after its splash")


# -- the menu -------------------------------------------------------------------------------------------------

def hover(p):
    p.start()
    p.wait_menu()
    p.expect_sounds(OPENED)
    p.over_link(0)
    p.expect_link_colour(0, "yellow")
    p.expect_sounds(HOVER)
    p.over_link(1)  # straight onto another link: the first stays lit, no sound
    p.expect_link_colour(0, "yellow")
    p.expect_link_colour(1, "white")
    p.expect_sounds([])
    p.over_background()
    p.expect_link_colour(0, "white")
    p.over_link(1)
    p.expect_link_colour(1, "yellow")
    p.expect_sounds(HOVER)


def page_link(p):
    p.start()
    p.wait_menu()
    p.over_link(0, click=True)
    p.expect_link_colour(0, "none")
    p.expect_link_colour(0, "white", top=3000)
    p.over_link(0, click=True, top=3000)
    p.expect_link_colour(0, "white")


def desktop_opens(p):
    p.start()
    p.wait_menu()
    for index in (1, 2, 3, 4):
        p.over_link(index, click=True)
    p.expect_records([("xdg-open", ["BIN/xdg-open", "DISC-URI/docs/guide.txt"]),
                      ("xdg-open", ["BIN/xdg-open", "https://example.org/"]),
                      ("xdg-open", ["BIN/xdg-open", "mailto:info@example.org"]),
                      ("xdg-open", ["BIN/xdg-open", "DISC-URI"])])


def programs(p):
    p.start()
    p.wait_menu()
    for index in range(4):
        p.over_link(index, click=True)
    p.expect_records([("elf", ["DISC/bin/record", "x", "a b", "c"]),
                      ("record.py", ["DISC/bin/record.py", "s"]),
                      ("elf", ["DISC/bin/record", "y"]),
                      ("elf", ["DISC/bin/record"])])


def missing_program(p):
    p.start()
    p.wait_menu()
    p.over_link(0, click=True)
    p.expect_box("File Not Found", FILE_MSG.format("bin\\missing"))
    # The menu takes nothing while the box is up, from the pointer or a screen reader, and keeps nothing to
    # run once the box has gone.
    p.over_link(1, click=True)
    check(not [l for l in p.accessible("links") if l["sensitive"]], "links say they can be used under the box")
    p.accessible("press", "Website")
    time.sleep(0.5)
    p.press_ok()
    p.no_box()
    p.expect_records([])
    p.over_link(1, click=True)
    p.expect_records([("xdg-open", ["BIN/xdg-open", "https://example.org/"])])


def windows_program(p):
    p.start()
    p.wait_menu()
    p.over_link(0, click=True)
    p.expect_box("Windows Program", WINDOWS_MSG)
    p.press_ok()
    p.expect_records([])


def windows_program_wine(p):
    p.start()
    p.wait_menu()
    p.over_link(0, click=True)
    p.expect_records([("wine", ["BIN/wine", "start", "/unix", "DISC/setup.exe", "s"])])
    p.no_box()


def sounds(p):
    p.start()
    p.wait_menu()
    p.expect_sounds(OPENED)
    p.over_link(0, click=True)
    p.expect_sounds(HOVER + ["open hello.wav", "play hello.wav"])
    p.over_link(1, click=True)  # straight from one link to the next: no mouse-over sound
    p.expect_sounds(["close hello.wav"])
    p.expect_box("Sound File Not Found", SOUND_MSG.format("sounds\\gone.wav"))
    p.press_ok()


def quit_link(p):
    p.start()
    p.wait_menu()
    p.expect_sounds(OPENED)
    p.over_link(5, click=True)
    check(p.wait_exit(5) == 0, "the program did not end cleanly")
    p.expect_sounds(HOVER + ["close bg.wav", "close over.wav"])


def keyboard(p):
    p.start()
    p.wait_menu()
    p.over_background()
    p.expect_sounds(OPENED)
    p.keys("Tab")
    p.expect_link_colour(0, "yellow")
    p.expect_sounds(HOVER)
    p.keys("Down", "Down")
    p.expect_link_colour(2, "yellow")
    p.expect_link_colour(0, "white")
    p.keys("Return")
    p.expect_records([("xdg-open", ["BIN/xdg-open", "https://example.org/"])])
    p.keys("Shift+Tab", "Home")
    p.expect_link_colour(0, "yellow")
    p.keys("i")  # Install's access key, without Alt
    p.expect_records([("elf", ["DISC/bin/record", "alpha", "beta"])])
    p.keys("alt+g")  # no link's key: nothing
    p.expect_records([])


def accessible_links(p):
    p.start()
    p.wait_menu()
    links = p.accessible("links")
    check([l["name"] for l in links] == ["Install", "Guide", "Website", "Mail", "Browse", "Quit"],
          "links read %r" % [l["name"] for l in links])
    for i, l in enumerate(links):
        check((l["x"], l["y"]) == (40, 40 + 40 * i) and l["width"] > 20 and l["height"] > 10,
              "link %d stands at %r" % (i, l))
    check(p.accessible("press", "Website").get("done"), "the link's action was refused")
    p.expect_records([("xdg-open", ["BIN/xdg-open", "https://example.org/"])])
    # The keyboard's link has the focus for a screen reader too.
    p.over_background()
    p.keys("Tab", "Down")
    focused = [l["name"] for l in p.accessible("links") if l["focused"]]
    check(focused == ["Guide"], "the focus is on %r" % focused)


def with_wine(case):
    case.wine = True
    return case


def cases():
    return [
        Case("startup", "no flag on ends at once", nothing_on, kavo=kavo("000")),
        Case("startup", "010 launches line 3 through the loader and ends", single_file, kavo=kavo("010")),
        Case("startup", "a missing line 3 is told, then the program ends", single_missing,
             kavo=kavo("010", "missing.exe -q")),
        Case("startup", "splash, then the menu, both centred", splash_then_menu, kavo=kavo("101"), menu=MENU),
        Case("startup", "splash alone ends after it", splash_only, kavo=kavo("100"), menu=MENU),
        Case("hover", "links light up with the mouse-over sound", hover, kavo=kavo(), menu=MENU),
        Case("pages", "a page link shows the other page", page_link, kavo=kavo(),
             menu=[link(0, "Next", 5, "1"), link(0, "Back", 5, "0", page=1, top=3000)]),
        Case("actions", "documents, URLs, mail and the folder go to the desktop's opener", desktop_opens,
             kavo=kavo(), menu=MENU),
        Case("actions", "the disc's programs and scripts run with their parameters without execute bits",
             programs, kavo=kavo(), menu=[link(0, "ELF", 0, "bin\\record -x \"a b\" c"),
                                          link(1, "Script", 0, "bin\\record.py -s"),
                                          link(2, "Case", 0, "BIN/RECORD -y"),
                                          link(3, "Bare", 0, "bin\\record")]),
        Case("actions", "a missing program is told, and the menu waits for the box", missing_program,
             kavo=kavo(), menu=[link(0, "Missing", 0, "bin\\missing -q"),
                                link(1, "Website", 1, "https://example.org/")]),
        Case("actions", "a Windows program without Wine is told", windows_program, kavo=kavo(),
             menu=[link(0, "Setup", 0, "setup.exe -s")]),
        with_wine(Case("actions", "a Windows program goes to Wine", windows_program_wine, kavo=kavo(),
                       menu=[link(0, "Setup", 0, "setup.exe -s")])),
        Case("actions", "a played sound, and a missing one told", sounds, kavo=kavo(),
             menu=[link(0, "Hello", 8, "sounds\\hello.wav"), link(1, "Gone", 8, "sounds\\gone.wav")]),
        Case("actions", "quit closes the sounds and ends", quit_link, kavo=kavo(), menu=MENU),
        Case("keyboard", "keys move, light, perform and take access keys", keyboard, kavo=kavo(), menu=MENU),
        Case("accessibility", "links read by name and place, and clicked, through AT-SPI", accessible_links,
             kavo=kavo(), menu=MENU),
    ]
