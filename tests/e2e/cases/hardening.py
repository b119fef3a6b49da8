"""End-to-end cases of the Windows back end's hardening: COM before the shell, the start-up message box in
front, and pictures far larger than the screen."""

import os
import re
import struct
import subprocess
import sys
import time
import zlib

from driver import RECORDER, SCREEN_H, SCREEN_W, Case, check, to_windows, wait_for
from cases.common import FILE_MSG
from cases.windows import system_dpi

COINIT_APARTMENTTHREADED = 0x2
MB_ICONHAND = 0x10
MB_TASKMODAL = 0x2000
MB_SETFOREGROUND = 0x10000


class more_channels:
    """Starts the program with more of Wine's trace channels than the harness asks for."""

    def __init__(self, p, channels):
        self.p, self.channels = p, channels

    def __enter__(self):
        session = self.p.s
        self.env = session.env
        session.env = lambda debug="-all": self.env(debug if debug == "-all" else debug + "," + self.channels)

    def __exit__(self, *exc):
        self.p.s.env = self.env
        return False


class without_gdiplus:
    """Starts the program as on Windows XP, whose system folder has no GDI+ and whose OLE picture loader
    knows no PNG (Wine's reads PNG through its imaging codecs, so those go too)."""

    def __init__(self, p):
        self.p = p

    def __enter__(self):
        session = self.p.s
        self.env = session.env

        def env(debug="-all"):
            e = self.env(debug)
            e["WINEDLLOVERRIDES"] += ";gdiplus=d;windowscodecs=d"
            return e
        session.env = env

    def __exit__(self, *exc):
        self.p.s.env = self.env
        return False


def trace_lines(p):
    p.trace_file.flush()
    with open(p.trace, "r", errors="replace") as f:
        return f.read().splitlines()


COINIT_RE = re.compile(r"trace:ole:CoInitializeEx [^,]*,\s*(?:0x)?([0-9a-fA-F]+)")


def com_before_shell(p):
    with more_channels(p, "trace+ole"):
        p.start()
    p.wait_exit(10)
    p.expect_record(["alpha", "beta"], "\\recorder.exe")
    lines = trace_lines(p)
    shell_at = next((i for i, l in enumerate(lines) if "trace:exec:ShellExecuteA" in l), None)
    check(shell_at is not None, "no ShellExecuteA in the trace")
    inits = [COINIT_RE.search(l) for l in lines[:shell_at]]
    models = [int(m.group(1), 16) for m in inits if m]
    check(models, "COM was not initialised before the shell was asked to open the file")
    check(models[0] & COINIT_APARTMENTTHREADED, "COM initialised as model 0x%x, not a single-threaded apartment"
          % models[0])


# MessageBoxA's arguments as Wine's relay trace shows them: owner, text, caption, type.
MSGBOX_RE = re.compile(r"Call user32\.MessageBoxA\(([0-9a-fA-F]+),.*,([0-9a-fA-F]+)\) ret=")


def relay_only(p, calls):
    """Has the relay trace name only these calls (a setting read at each process start)."""
    reg = os.path.join(p.s.work, "relay.reg")
    with open(reg, "w") as f:
        f.write("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Debug]\n\"RelayInclude\"=\"%s\"\n" % calls)
    subprocess.run([p.s.loader, "regedit", "/s", to_windows(reg)], env=p.s.env(), stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=60, check=True)


def startup_box_in_front(p):
    relay_only(p, "user32.MessageBoxA")
    with more_channels(p, "trace+relay"):
        p.start()
    wait_for("the splash", p.splash, 10, 0.05)
    box = p.expect_box("File Not Found", FILE_MSG.format("missing.exe"))
    check(not p.splash(), "the box opened while the splash still shows")
    calls = [MSGBOX_RE.search(l) for l in trace_lines(p)]
    calls = [(int(m.group(1), 16), int(m.group(2), 16)) for m in calls if m]
    check(len(calls) == 1, "expected one MessageBoxA call, the relay trace shows %d" % len(calls))
    owner, flags = calls[0]
    check(owner == 0, "the start-up box has an owner window")
    for flag, name in ((MB_SETFOREGROUND, "MB_SETFOREGROUND"), (MB_TASKMODAL, "MB_TASKMODAL"),
                       (MB_ICONHAND, "MB_ICONHAND")):
        check(flags & flag, "the start-up box's type 0x%x lacks %s" % (flags, name))
    p.press_ok(box)
    p.wait_exit(5)


# -- what start-up loads -------------------------------------------------------------------------------

LOADED_RE = re.compile(r'Loaded L"([^"]*)"')


def picture_library(loaded_for_png):
    def script(p):
        with more_channels(p, "+loaddll"):
            p.start()
        p.wait_menu()
        time.sleep(0.5)
        dlls = [m.group(1).lower().rsplit("\\", 1)[-1] for m in map(LOADED_RE.search, trace_lines(p)) if m]
        check(dlls, "Wine's loaddll trace names no DLL at all")
        if loaded_for_png:
            check("gdiplus.dll" in dlls, "a transparent PNG was shown without GDI+; loaded: %r" % dlls)
        else:
            check("gdiplus.dll" not in dlls, "GDI+ was loaded for pictures that plain GDI shows")
    return script


# -- DLLs planted beside the program ------------------------------------------------------------------

# Loaded by bare name after the program has started, by its system DLLs rather than by the program: winmm's
# wave driver when the background sound plays, and the theme DLL when a window is made. Wine, like Windows 8
# and later, has SetDefaultDllDirectories. (What the DLLs the program imports import in turn is bound before
# the program runs; Wine looks for those beside the program too, then uses its own builtin code.)
PLANTED = ["mciwave.dll", "uxtheme.dll"]


def planted_dlls_stay_unloaded(p):
    with more_channels(p, "+loaddll"):
        p.start()
    p.wait_menu()
    time.sleep(1.0)  # the background sound opens winmm's wave driver
    paths = [m.group(1).lower().replace("\\\\", "\\") for m in map(LOADED_RE.search, trace_lines(p)) if m]
    disc = p.app.lower()
    from_disc = [d for d in paths if d.startswith(disc) and d.rsplit("\\", 1)[-1] in PLANTED]
    check(not from_disc, "DLLs were loaded from the disc beside the program: %r" % from_disc)
    check([d for d in paths if d.endswith("\\mciwave.dll")],
          "the wave driver was never loaded, so nothing was tried; loaded: %r" % paths)


# -- PNG without GDI+ -------------------------------------------------------------------------------

PNG_RGB = "c81e1e"


def half_transparent_png(width, height, rgb):
    """Left half one colour, right half fully transparent."""
    left = (bytes.fromhex(rgb) + b"\xff") * (width // 2)
    right = b"\0\0\0\0" * (width - width // 2)
    raw = b"".join(b"\0" + left + right for _ in range(height))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def png_without_gdiplus(p):
    with without_gdiplus(p), more_channels(p, "+loaddll"):
        p.start()
    m = p.wait_menu()
    dlls = [m.group(1).lower() for m in map(LOADED_RE.search, trace_lines(p)) if m]
    check(not [d for d in dlls if d.endswith("gdiplus.dll")], "GDI+ was loaded although it is disabled")
    c = m["client"]
    check((c[2] - c[0], c[3] - c[1]) == (200, 120), "the menu is not the PNG's size: client %r" % c)
    half = (c[0] + c[2]) // 2
    left = p.s.probe.ask("colours %d %d %d %d" % (c[0], c[1], half, c[3]))["colours"]
    right = p.s.probe.ask("colours %d %d %d %d" % (half, c[1], c[2], c[3]))["colours"]
    check(left == {PNG_RGB: 100 * 120}, "the PNG's opaque half shows %r, not %s" % (left, PNG_RGB))
    check(len(right) == 1 and PNG_RGB not in right and "000000" not in right,
          "the PNG's transparent half shows %r, not the box's background" % right)


# -- pictures far larger than the screen ---------------------------------------------------------------

HUGE_RGB = "3c8c3c"


def solid_png(width, height, rgb, band=100):
    """A one-colour PNG: one band of rows deflated once, closed by a full flush so that it stands alone,
    repeated. Quick to make and small, however large the picture."""
    rows = (b"\0" + bytes.fromhex(rgb) * width) * band
    raw = zlib.compressobj(9, zlib.DEFLATED, -15)
    block = raw.compress(rows) + raw.flush(zlib.Z_FULL_FLUSH)
    count, rest = divmod(height, band)
    tail = zlib.compressobj(9, zlib.DEFLATED, -15)
    last = tail.compress(rows[:rest * len(rows) // band]) + tail.flush()
    check_sum = 1
    for _ in range(count):
        check_sum = zlib.adler32(rows, check_sum)
    check_sum = zlib.adler32(rows[:rest * len(rows) // band], check_sum)
    data = b"\x78\xda" + block * count + last + struct.pack(">I", check_sum)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", data) + chunk(b"IEND", b""))


def huge_picture_shows(p, dpi=None):
    if dpi:
        with system_dpi(p, dpi):
            return huge_picture_shows(p)
    p.start()
    # Decoding 8000x8000 pixels is slow work for an emulated 32-bit loader: the first paint waits for it.
    m = p.wait_menu(timeout=60, paint_timeout=30)
    c = m["client"]
    # The menu is as large as its picture, far past the screen: what lies on the screen shows the picture.
    visible = [max(c[0], 0), max(c[1], 0), min(c[2], SCREEN_W), min(c[3], SCREEN_H)]
    check(visible[2] - visible[0] >= 100 and visible[3] - visible[1] >= 100,
          "hardly any of the menu is on the screen: client %r" % c)
    area = (visible[2] - visible[0]) * (visible[3] - visible[1])

    def shown():
        colours = p.s.probe.ask("colours %d %d %d %d" % tuple(visible))["colours"]
        return colours if colours.get(HUGE_RGB, 0) >= area * 0.95 else None
    try:
        wait_for("the picture on the visible part of the menu", shown, 20, 0.5)
    except Exception:
        colours = p.s.probe.ask("colours %d %d %d %d" % tuple(visible))["colours"]
        top = sorted(colours.items(), key=lambda kv: -kv[1])[:4]
        check(False, "the visible part of the menu shows %r, not the picture's %s" % (top, HUGE_RGB))
    # It still answers: a repaint after the pointer passes shows the picture again.
    p.pointer(visible[0] + 50, visible[1] + 50)
    time.sleep(0.5)
    check(shown(), "the picture is gone after a repaint")
    check(p.alive(), "the program ended")


HUGE_SIDE = 8000  # a whole-window buffer of it is 256 MB, more than a 32-bit process can count on


def hardening_cases():
    huge = solid_png(HUGE_SIDE, HUGE_SIDE, HUGE_RGB)
    return [
        Case("shell and COM", "COM is a single-threaded apartment before the single-file launch asks the shell",
             com_before_shell, kavo=["01Y", "", "recorder.exe -alpha beta"]),
        Case("start-up box", "the File Not Found box after the splash is task-modal and set in front",
             startup_box_in_front, kavo=["11Y", "splash.bmp", "missing.exe -q"]),
        Case("start-up loads", "BMP and opaque PNG pictures are shown without loading GDI+",
             picture_library(False), kavo=["101", "splash.bmp", "", "opaque.png"], menu=[],
             files={"opaque.png": solid_png(40, 30, HUGE_RGB)}),
        Case("start-up loads", "a PNG with transparent parts loads GDI+, which scales it smoothly",
             picture_library(True), kavo=["001", "", "", "half.png"], menu=[],
             files={"half.png": half_transparent_png(200, 120, PNG_RGB)}),
        Case("start-up loads", "DLLs named like system ones beside the program are never loaded",
             planted_dlls_stay_unloaded, files={name: RECORDER for name in PLANTED}),
        Case("PNG without GDI+", "as on XP, a PNG shows, its transparent part over the background",
             png_without_gdiplus, kavo=["001", "", "", "half.png"], menu=[],
             files={"half.png": half_transparent_png(200, 120, PNG_RGB)}),
        Case("huge pictures", "a menu picture of %dx%d shows its visible part" % (HUGE_SIDE, HUGE_SIDE),
             huge_picture_shows, kavo=["001", "", "", "huge.png"], menu=[],
             files={"huge.png": huge}),
        # Scaled up, its whole-window buffer passes the 2 GB a bitmap may have even in a 64-bit process.
        Case("huge pictures", "a menu picture of %dx%d at 300 DPI shows its visible part" % (HUGE_SIDE, HUGE_SIDE),
             lambda p: huge_picture_shows(p, 300), kavo=["001", "", "", "huge.png"], menu=[],
             files={"huge.png": huge}),
    ]


def cases():
    return hardening_cases()
