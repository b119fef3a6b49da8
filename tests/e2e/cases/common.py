"""What several case groups expect: the sounds of the standard disc, its menu, the message texts, the
windows' geometry."""

from driver import (SCREEN_H, SCREEN_W, WS_BORDER, WS_CAPTION, WS_DLGFRAME, WS_EX_APPWINDOW, WS_EX_TOOLWINDOW,
                    WS_MAXIMIZEBOX, WS_MINIMIZEBOX, WS_SYSMENU, WS_THICKFRAME, check, link, mci, mci_open)

FILE_MSG = ("You told Velmaro that you wanted to launch the file cdDrive:\\{} yet you did not burn this file "
            "to CD!  It is very hard to launch a file from your CD if that file is not where you told Velmaro "
            "that it would be.  Please burn your file to the appropriate location.")
SOUND_MSG = ("You told Velmaro that you wanted to play the file cdDrive:\\{} yet you did not burn this file "
             "to CD!  It is very hard to launch a file from your CD if that file is not where you told Velmaro "
             "that it would be.  Please burn your file to the appropriate location.")

HANDLER = "\\e2e\\recorder.exe"  # what the test prefix opens URLs, mail and .e2edoc files with


def sounds_opened(p):
    return [mci_open(p.app + "sounds\\bg.wav", "mciBG"), mci_open(p.app + "sounds\\over.wav", "mciMO")]


BG_PLAY = [mci("seek mciBG to start"), mci("play mciBG")]
MO_PLAY = [mci("seek mciMO to start"), mci("play mciMO")]
CLOSE_BG_MO = [mci("close mciBG"), mci("close mciMO")]

STANDARD_MENU = [
    link(0, "Install", 0, "recorder.exe -alpha beta"),
    link(1, "Quit", 6),
]


def check_splash_geometry(w, size):
    r = w["rect"]
    check((r[2] - r[0], r[3] - r[1]) == size, "splash is %dx%d, picture is %dx%d" % (r[2] - r[0], r[3] - r[1],
                                                                                     size[0], size[1]))
    check(w["client"] == r, "splash has a frame: window %r, client %r" % (r, w["client"]))
    check(not w["style"] & (WS_CAPTION | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME), "splash has a frame or caption")
    check_centred("splash", r)
    check_no_taskbar_button("splash", w)


def check_menu_geometry(w, size):
    c, r = w["client"], w["rect"]
    check((c[2] - c[0], c[3] - c[1]) == size, "menu client area is %dx%d, picture is %dx%d" % (
        c[2] - c[0], c[3] - c[1], size[0], size[1]))
    check_centred("menu", r)
    check(w["style"] & WS_SYSMENU, "menu window has no close box")
    check(not w["style"] & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
          "menu window can be minimised, maximised or resized (style 0x%x)" % w["style"])
    check(w["exstyle"] & WS_EX_TOOLWINDOW, "menu window is not a tool window (exstyle 0x%x)" % w["exstyle"])
    check(w["caption"] == "", "menu caption %r" % w["caption"])
    check_no_taskbar_button("menu", w)


def check_centred(what, r):
    w, h = r[2] - r[0], r[3] - r[1]
    check(abs(r[0] - (SCREEN_W - w) / 2) <= 1 and abs(r[1] - (SCREEN_H - h) / 2) <= 1,
          "%s not centred: %r on a %dx%d screen" % (what, r, SCREEN_W, SCREEN_H))


def check_no_taskbar_button(what, w):
    has_button = w["exstyle"] & WS_EX_APPWINDOW or (not w["exstyle"] & WS_EX_TOOLWINDOW and w["owner"] == "0x0")
    check(not has_button, "%s would get a taskbar button (exstyle 0x%x, owner %s)" % (what, w["exstyle"],
                                                                                     w["owner"]))
