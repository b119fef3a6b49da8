"""Start-up: the flags of kavo.inf line 1 and a kavo.inf that turns nothing on."""

import time

from driver import DEFAULT_KAVO, MENU_SIZE, SPLASH_SIZE, Case, check, shell, wait_for
from cases.common import (BG_PLAY, CLOSE_BG_MO, STANDARD_MENU, check_menu_geometry, check_splash_geometry,
                          sounds_opened)


def flags_script(splash, launch, menu):
    def script(p):
        p.start()
        expected = sounds_opened(p)
        if splash:
            w = wait_for("the splash", p.splash, 10, 0.05)
            shown = time.monotonic()
            check_splash_geometry(w, SPLASH_SIZE)
            check(not p.menu(), "the menu is shown together with the splash")
            wait_for("the splash to go", lambda: not p.alive() or not p.splash(), 8, 0.05)
            took = time.monotonic() - shown
            check(2.4 <= took <= 4.2, "the splash stayed %.1fs, expected about 3s" % took)
        if menu:
            check_menu_geometry(p.wait_menu(), MENU_SIZE)
            check(not p.splash(), "the splash is still shown with the menu")
            expected += BG_PLAY
        if launch:
            expected.append(shell("null", p.app + "recorder.exe", "alpha beta"))
        if splash and not menu:
            expected += CLOSE_BG_MO
        if not menu:
            p.wait_exit(12)
        p.expect_events(expected)
        if launch:
            p.expect_record(["alpha", "beta"], "\\recorder.exe")
        else:
            check(not p.records(), "something was launched")
        if menu:
            time.sleep(0.5)
            check(p.alive(), "the program ended although the menu is shown")
            p.no_error_box()
    return script


FLAG_CASES = [
    # line 1, splash, single-file launch, menu
    ("101", True, False, True),
    ("1", True, False, True),
    ("01", False, True, True),
    ("10", True, False, False),
    ("10ab1", True, False, True),
    ("111 ", True, True, False),
    (" 11", False, True, True),
    ("Y1Y", False, True, False),
    ("111", True, True, True),
]


def flag_cases():
    out = []
    for line1, splash, launch, menu in FLAG_CASES:
        parts = [n for n, on in (("splash", splash), ("launch", launch), ("menu", menu)) if on]
        name = "line 1 %r: %s%s" % (line1, " + ".join(parts), "" if menu else ", then the program ends")
        kavo = [line1] + DEFAULT_KAVO[1:]
        out.append(Case("start-up flags", name, flags_script(splash, launch, menu), kavo=kavo, menu=STANDARD_MENU))
    return out


def ends_at_once(p):
    p.start()
    ended = p.wait_exit(8)
    check(ended - p.started < 6, "took %.1fs to end" % (ended - p.started))
    check(not [e for e in p.events() if e[0] == "shell"], "something was launched")
    check(not p.records(), "something was launched")


def no_flag_cases():
    return [
        Case("no start-up flag", "line 1 '000' ends at once", ends_at_once, kavo=["000"] + DEFAULT_KAVO[1:],
             menu=STANDARD_MENU),
        Case("no start-up flag", "missing kavo.inf ends at once", ends_at_once, kavo=None, menu=STANDARD_MENU),
        Case("no start-up flag", "empty kavo.inf ends at once", ends_at_once, kavo=[], menu=STANDARD_MENU),
    ]


def cases():
    return flag_cases() + no_flag_cases()
