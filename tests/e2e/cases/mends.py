"""Bad input the program gets through: errors ignored, line ends, empty lines, dashes in launch commands."""

from driver import MENU_SIZE, Case, check, link, shell
from cases.common import BG_PLAY, MO_PLAY, check_menu_geometry, sounds_opened


def survives_click(p):
    p.start()
    p.wait_menu()
    p.set_mark()
    p.over_link(0)
    p.expect_events(MO_PLAY)
    p.over_link(0, click=True)
    p.expect_events([])
    check(p.alive(), "the program ended")
    p.no_error_box()
    # The program still answers: the background restores, the next link lights.
    p.over_background()
    p.over_link(1)
    p.expect_link_colour(1, "yellow")
    p.expect_events(MO_PLAY)


def bad_highlight(p):
    p.start()
    p.wait_menu()
    p.set_mark()
    p.over_link(0)
    p.expect_events(MO_PLAY)
    p.expect_link_colour(0, "white")
    check(p.alive(), "the program ended")
    p.no_error_box()
    # The failed exchange leaves no highlight behind, so the next link lights at once.
    p.over_link(1)
    p.expect_link_colour(1, "yellow")
    p.expect_events(MO_PLAY)


def lines_read(p):
    p.start()
    check_menu_geometry(p.wait_menu(), MENU_SIZE)
    p.expect_events(sounds_opened(p) + BG_PLAY)
    p.expect_link_colour(0, "white")
    p.expect_link_colour(1, "white")
    p.over_link(1)
    p.expect_link_colour(1, "yellow")
    p.expect_events(MO_PLAY)


def launch_named(file, params, args):
    def script(p):
        p.start()
        p.wait_menu()
        p.set_mark()
        p.over_link(0, click=True)
        p.expect_events(MO_PLAY + [shell("menu", p.app + file, params)])
        p.no_error_box()
        if args is not None:
            p.expect_record(args, "\\" + file)
    return script


def mend_cases():
    two = [link(0, "First", 7), link(1, "Second", 7)]
    return [
        Case("errors are ignored", "a link whose stored action cannot be split", survives_click,
             menu=[link(0, "Browse", "04"), link(1, "Fine", 7)]),
        Case("errors are ignored", "a page link to a page that is not a number", survives_click,
             menu=[link(0, "Page", 5, "x"), link(1, "Fine", 7)]),
        Case("errors are ignored", "a highlight colour that is not a number", bad_highlight,
             menu=[link(0, "Odd", 7, highlight="yellow"), link(1, "Fine", 7)]),
        Case("line ends", "kavo.inf and menu.inf with LF line ends", lines_read, menu=two, kavo_eol="\n",
             menu_eol="\n"),
        Case("line ends", "menu.inf with CR line ends", lines_read, menu=two, menu_eol="\r"),
        Case("empty lines", "menu.inf ending with an empty line still highlights", lines_read, menu=two,
             extra={"menu.inf": b"\r\n"}),
        Case("empty lines", "empty lines between links are skipped", lines_read,
             menu=[two[0], "", two[1]]),
        Case("dashes in launch commands", "a file name holding a dash launches with its parameters",
             launch_named("bin\\my-tool.exe", "x -y z", ["x", "-y", "z"]),
             menu=[link(0, "Tool", 0, "bin\\my-tool.exe -x -y z"), link(1, "Quit", 6)]),
        Case("dashes in launch commands", "a dash without a blank before it is part of the file name",
             launch_named("prog.exe-x", "", None), menu=[link(0, "Prog", 0, "prog.exe-x"), link(1, "Quit", 6)]),
        Case("dashes in launch commands", "the single-file launch of a name with a dash",
             single_dash,
             kavo=["01Y", "", "bin\\my-tool.exe -alpha beta"]),
    ]


def single_dash(p):
    p.start()
    p.wait_exit(8)
    p.expect_events([shell("null", p.app + "bin\\my-tool.exe", "alpha beta")])
    p.expect_record(["alpha", "beta"], "\\bin\\my-tool.exe")


def cases():
    return mend_cases()
