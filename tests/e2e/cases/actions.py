"""Link actions: what a click on each type of link asks for, and double-clicks."""

import time

from driver import RECORDER, Case, check, link, mci, mci_open, shell
from cases.common import CLOSE_BG_MO, FILE_MSG, HANDLER, MO_PLAY, SOUND_MSG


def action_script(arg_type, arg, expect, box=None, record=None, ends=False, clicks=1):
    def script(p):
        p.start()
        p.wait_menu()
        p.set_mark()
        p.over_link(0)
        p.expect_events(MO_PLAY)
        p.over_link(0, click=True, clicks=clicks)
        if box:
            title, text, before = box
            b = p.expect_box(title, text(p))
            p.expect_events(before(p))
            p.press_ok(b)
        # A second action would follow the first within the double-click time.
        p.expect_events(expect(p), settle=0.4 if clicks == 1 else 1.0)
        if record:
            p.expect_record(*(record(p) if callable(record) else record))
        if ends:
            p.wait_exit(5)
        else:
            time.sleep(0.3)
            check(p.alive(), "the program ended")
            p.no_error_box()
            # Still highlighted after the action.
            p.expect_link_colour(0, "yellow")
    menu = [link(0, "Go", arg_type, arg), link(1, "Quit", 6)]
    return script, menu


ACTIONS = [
    # name, action type, argument, events after the click, message box, launched program
    ("type 0 launches a program of the disc with its parameters", 0, "recorder.exe -alpha beta",
     lambda p: [shell("menu", p.app + "recorder.exe", "alpha beta")], None, (["alpha", "beta"], "\\recorder.exe")),
    ("type 0 with a missing file tells the user in a stop box with one OK, then asks the shell all the same", 0,
     "bin\\setup.exe -x",
     lambda p: [shell("menu", p.app + "bin\\setup.exe", "x")],
     ("File Not Found", lambda p: FILE_MSG.format("bin\\setup.exe"), lambda p: []), None),
    ("type 1 opens its argument unchanged", 1, "http://example.invalid/a?b=1",
     lambda p: [shell("menu", "http://example.invalid/a?b=1")], None,
     (["http://example.invalid/a?b=1"], HANDLER)),
    ("type 2 starts an e-mail message", 2, "someone@example.invalid",
     lambda p: [shell("menu", "mailto:someone@example.invalid")], None,
     (["mailto:someone@example.invalid"], HANDLER)),
    ("type 3 opens a document of the disc", 3, "docs\\guide.e2edoc",
     lambda p: [shell("menu", p.app + "docs\\guide.e2edoc")], None,
     lambda p: ([p.app + "docs\\guide.e2edoc"], HANDLER)),
    ("type 4 opens the disc's folder", 4, None, lambda p: [shell("menu", p.app)], None, None),
    ("type 7 does nothing", 7, None, lambda p: [], None, None),
    ("type 8 plays a sound of the disc", 8, "sounds\\hello.wav",
     lambda p: [mci("close mciExtra"), mci_open(p.app + "sounds\\hello.wav", "mciExtra"),
                mci("seek mciExtra to start"), mci("play mciExtra")], None, None),
    ("type 8 with a missing sound tells the user in a stop box with one OK and plays nothing", 8,
     "sounds\\missing.wav",
     lambda p: [],
     ("Sound File Not Found", lambda p: SOUND_MSG.format("sounds\\missing.wav"),
      lambda p: [mci("close mciExtra"), mci_open(p.app + "sounds\\missing.wav", "mciExtra")]), None),
]


# What counts as a file of the disc is the system's own listing: any letter case, but no folder and no
# hidden file (Wine hides names that start with a dot).
LISTINGS = [
    # name, launch command, the file part, extra disc files, whether the user is told it is missing
    ("type 0 finds its program in any letter case", "RECORDER.EXE -q", "RECORDER.EXE", {}, False),
    ("type 0 takes a folder for a missing file", "bin -x", "bin", {}, True),
    ("type 0 takes a hidden file for a missing one", ".hidden.exe -x", ".hidden.exe", {".hidden.exe": RECORDER}, True),
]


DOUBLE_CLICKS = [
    # name, action type, argument, events after the double-click, launched program
    ("a program link launches its program once", 0, "recorder.exe -alpha beta",
     lambda p: [shell("menu", p.app + "recorder.exe", "alpha beta")], (["alpha", "beta"], "\\recorder.exe")),
    ("a sound link plays its sound once", 8, "sounds\\hello.wav",
     lambda p: [mci("close mciExtra"), mci_open(p.app + "sounds\\hello.wav", "mciExtra"),
                mci("seek mciExtra to start"), mci("play mciExtra")], None),
]


def action_cases():
    out = []
    for name, t, arg, expect, box, record in ACTIONS:
        script, menu = action_script(t, arg, expect, box, record)
        out.append(Case("link actions", name, script, menu=menu))
    script, menu = action_script(6, None, lambda p: [mci("close mciExtra")] + CLOSE_BG_MO, ends=True)
    out.append(Case("link actions", "type 6 closes the three channels and ends the program", script, menu=menu))
    script, menu = action_script(8, "sounds\\hello.wav", lambda p: [
        mci("close mciExtra"), mci_open(p.app + "sounds\\hello.wav", "mciExtra"), mci("seek mciExtra to start"),
        mci("play mciExtra")])
    out.append(Case("link actions", "type 8 plays from a disc whose path holds blanks", script, menu=menu,
                    disc_name="my disc"))
    for name, command, file, files, told in LISTINGS:
        params = command.split(" -", 1)[1]
        box = ("File Not Found", lambda p, f=file: FILE_MSG.format(f), lambda p: []) if told else None
        script, menu = action_script(0, command, lambda p, f=file, a=params: [shell("menu", p.app + f, a)], box)
        out.append(Case("link actions", name, script, menu=menu, files=files))
    for name, t, arg, expect, record in DOUBLE_CLICKS:
        script, menu = action_script(t, arg, expect, record=record, clicks=2)
        out.append(Case("double-click", name, script, menu=menu))
    return out


def cases():
    return action_cases()
