"""Pages: page 0 first, page links there and back."""

from driver import Case, link


PAGED_MENU = [
    link(0, "Install", 7),
    link(2, "Second", 7, page=1, top=2400),
    link(1, "More", 5, "1"),
    link(3, "Back", 5, "0", page=1, top=3000),
]


def page0_shown(p):
    p.start()
    p.wait_menu()
    p.expect_link_colour(0, "white")
    p.expect_link_colour(1, "white")
    p.expect_link_colour(3, "none", top=2400)  # page 1 only
    p.expect_link_colour(4, "none", top=3000)


def page_link(p):
    p.start()
    p.wait_menu()
    p.set_mark()
    p.over_link(1, click=True)
    p.expect_link_colour(0, "none")
    p.expect_link_colour(1, "none")
    p.expect_link_colour(3, "white", top=2400)
    p.expect_link_colour(4, "white", top=3000)
    # The load leaves no link highlighted: the next link under the pointer lights up at once.
    p.pointer(*p.link_point(600, 2400))
    p.expect_link_colour(3, "yellow", top=2400)
    p.expect_events([])  # no mouse-over sound is opened on this disc
    p.pointer(*p.link_point(600, 3000), click=True)
    p.expect_link_colour(0, "white")
    p.expect_link_colour(3, "none", top=2400)
    p.no_error_box()


def page_cases():
    kavo = ["001", "", "", "menu.bmp"]
    return [
        Case("pages", "page 0 is shown and other pages are not", page0_shown, kavo=kavo, menu=PAGED_MENU),
        Case("pages", "a page link shows its page and back", page_link, kavo=kavo, menu=PAGED_MENU),
    ]


def cases():
    return page_cases()
