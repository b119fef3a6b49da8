"""The keyboard and screen readers: real key presses light, mark and perform links through the same hover
steps as the pointer; a screen reader's view of the menu through its accessible object."""

from driver import Case, check, link, shell
from cases.common import BG_PLAY, MO_PLAY, sounds_opened

NAVY = 0x000080
ROLE_LINK, ROLE_CLIENT = 30, 10
STATE_FOCUSED, STATE_HOTTRACKED = 0x4, 0x80

KEY_MENU = [
    link(0, "&Install", 0, "recorder.exe -alpha beta"),
    link(1, "&Guide", 3, "docs\\guide.e2edoc"),
    link(2, "&More", 5, "1"),
    link(0, "&Back", 5, "0", page=1),
    link(1, "Elsewhere", 7, page=1),
]


def top_edge(p, index):
    """The top row of pixels of a link's box, where only the focus mark draws."""
    return p.pixels(p.px(600), p.px(600 + 600 * index), 30, 1)[0]


def marked(p, index):
    return sum(1 for c in top_edge(p, index) if c != NAVY) >= 8


def keys_light_and_perform(p):
    p.start()
    p.wait_menu()
    p.expect_events(sounds_opened(p) + BG_PLAY)
    # The pointer shows no mark; the keyboard's first key does.
    p.over_link(1)
    p.expect_link_colour(1, "yellow")
    p.expect_events(MO_PLAY)
    check(not marked(p, 1), "a focus mark without a key pressed")
    p.keys("Tab")  # off link 1 as over the background, onto link 0
    p.expect_link_colour(0, "yellow")
    p.expect_link_colour(1, "white")
    p.expect_events(MO_PLAY)
    check(marked(p, 0), "no focus mark around the keyboard's link: %r" % top_edge(p, 0))
    p.keys("Return")
    p.expect_events([shell("menu", p.app + "recorder.exe", "alpha beta")])
    p.expect_record(["alpha", "beta"], "recorder.exe")
    p.keys("Down", "shift+Tab", "End")  # 1, 0, then 2: each lights with its sound
    p.expect_link_colour(2, "yellow")
    p.expect_link_colour(0, "white")
    p.expect_events(MO_PLAY * 3)
    p.keys("alt+g")
    p.expect_events([shell("menu", p.app + "docs\\guide.e2edoc")])


def page_by_keys(p):
    p.start()
    p.wait_menu()
    p.expect_events(sounds_opened(p) + BG_PLAY)
    p.keys("m")  # the letter alone: no other link claims it
    p.expect_link_colour(0, "white")
    p.expect_link_colour(1, "white")
    p.expect_link_colour(2, "none")
    check(not marked(p, 0), "a focus mark on a page the keyboard has not reached yet")
    p.expect_events([])
    p.keys("Tab")  # starts over on the new page
    p.expect_link_colour(0, "yellow")
    p.expect_events(MO_PLAY)
    check(marked(p, 0), "no focus mark on the new page's first link")
    p.keys("space")
    p.expect_link_colour(0, "white")
    p.expect_link_colour(2, "white")
    p.keys("Home")
    p.expect_link_colour(0, "yellow")
    p.expect_events(MO_PLAY)


def screen_reader(p):
    p.start()
    m = p.wait_menu()
    p.expect_events(sounds_opened(p) + BG_PLAY)
    a = p.accessible()
    check(a["role"] == ROLE_CLIENT, "client object role %r" % a["role"])
    check(a["count"] == 3, "%d accessible children, expected 3: %r" % (a["count"], a))
    x0, y0 = m["client"][0], m["client"][1]
    for i, (child, name) in enumerate(zip(a["children"], ["Install", "Guide", "More"])):
        check(child["name"] == name, "child %d named %r, expected %r" % (i + 1, child["name"], name))
        check(child["role"] == ROLE_LINK, "child %d role %r" % (i + 1, child["role"]))
        check(child["action"] == "Click", "child %d default action %r" % (i + 1, child["action"]))
        check(child["shortcut"] == "Alt+" + name[0], "child %d shortcut %r" % (i + 1, child["shortcut"]))
        left, top, width, height = child["location"]
        check((left, top) == (x0 + p.px(600), y0 + p.px(600 + 600 * i)) and width > 20 and height > 10,
              "child %d at %r, client area at %d,%d" % (i + 1, child["location"], x0, y0))
    p.keys("Tab", "Tab")
    p.expect_events(MO_PLAY * 2)
    a = p.accessible()
    guide = a["children"][1]
    check(a["focus"] == 2, "the object's focus is child %r, expected 2" % a["focus"])
    check(guide["state"] & STATE_FOCUSED and guide["state"] & STATE_HOTTRACKED,
          "the keyboard's link has state 0x%x" % guide["state"])
    check(not a["children"][0]["state"] & (STATE_FOCUSED | STATE_HOTTRACKED), "the first link is still focused")
    r = p.accessible("do", 1)
    check(r["hr"] == 0, "accDoDefaultAction returned %r" % r["hr"])
    p.expect_events([shell("menu", p.app + "recorder.exe", "alpha beta")])
    p.expect_record(["alpha", "beta"], "recorder.exe")


def cases():
    return [
        Case("keyboard", "Tab lights the first link with its sound and a focus mark, Enter and Alt+letter "
             "perform", keys_light_and_perform, menu=KEY_MENU),
        Case("keyboard", "a page link's letter shows its page, where Tab starts over", page_by_keys,
             menu=KEY_MENU),
        Case("keyboard", "a screen reader reads every link's name, role, place and action, and clicks one",
             screen_reader, menu=KEY_MENU),
    ]

