"""Double-byte text under code page 932."""

from driver import RECORDER, Case, check, link, shell
from cases.common import BG_PLAY, HANDLER, MO_PLAY, sounds_opened


# Texts below are byte strings held one byte per character (latin-1), as the exec trace shows them.

JAPANESE = "ja_JP.UTF-8"  # Wine's ANSI code page 932 (Shift-JIS)
TRAIL_BAR = "\x81\x7c"  # a double-byte character whose trail byte is "|"
TRAIL_BACKSLASH = "\x83\x5c"  # one whose trail byte is "\\"
DOC_SJ = "docs\\a" + TRAIL_BAR + "b" + TRAIL_BACKSLASH + ".e2edoc"
TOOL_SJ = "bin\\rec" + TRAIL_BAR + TRAIL_BACKSLASH + ".exe"


def cp932(s):
    """What the program's bytes mean under code page 932: the text Windows names and wide APIs carry."""
    return s.encode("latin-1").decode("cp932")


def dbcs_document(p):
    p.start()
    p.wait_menu()
    p.expect_events(sounds_opened(p) + BG_PLAY)
    # A caption split at its trail byte would shift every later field and stop the load: no links at all.
    p.expect_link_colour(0, "white")
    p.expect_link_colour(1, "white")
    p.over_link(0)
    p.expect_link_colour(0, "yellow")
    p.expect_events(MO_PLAY)
    p.over_link(0, click=True)
    p.expect_events([shell("menu", p.app + DOC_SJ)])
    p.expect_record([cp932(p.app + DOC_SJ)], HANDLER)
    p.no_error_box()
    check(p.alive(), "the program ended")


def dbcs_program(p):
    p.start()
    p.wait_menu()
    p.set_mark()
    p.over_link(0)
    p.expect_link_colour(0, "yellow")
    p.expect_events(MO_PLAY)
    p.over_link(0, click=True)
    p.expect_events([shell("menu", p.app + TOOL_SJ, "x" + TRAIL_BAR + "y z" + TRAIL_BACKSLASH)])
    p.no_error_box()
    p.expect_record([cp932("x" + TRAIL_BAR + "y"), cp932("z" + TRAIL_BACKSLASH)], cp932("\\" + TOOL_SJ))


def dbcs_cases():
    common = dict(lang=JAPANESE, code_page=932, encoding="latin-1",
                  files={cp932(DOC_SJ): b"guide\n", cp932(TOOL_SJ): RECORDER})
    return [
        Case("double-byte text", "a caption and a document name with trail bytes '|' and '\\' load, light up "
             "and open byte for byte", dbcs_document,
             menu=[link(0, "Doc" + TRAIL_BAR + "1" + TRAIL_BACKSLASH, 3, DOC_SJ), link(1, "Quit", 6)], **common),
        Case("double-byte text", "a program whose name and parameters hold those trail bytes launches with its "
             "parameters intact", dbcs_program,
             menu=[link(0, "Run" + TRAIL_BAR, 0, TOOL_SJ + " -x" + TRAIL_BAR + "y z" + TRAIL_BACKSLASH),
                   link(1, "Quit", 6)], **common),
    ]


def cases():
    return dbcs_cases()
