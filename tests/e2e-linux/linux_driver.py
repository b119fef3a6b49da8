"""The machinery of the Linux program's end-to-end cases: a virtual display on a session bus, one run of the
program from a read-only disc built for a case, and what can be seen from outside: its windows and pixels
(xdotool, xwininfo, ImageMagick), its sound channels (GStreamer's debug log), what the desktop's opener,
Wine and the disc's programs were started with (recorders first on PATH and on the disc), and its links
through AT-SPI. Nothing in the program is changed for a test.

The discs are built as the Windows cases build theirs (tests/e2e/driver.py: Case, link).
"""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))

from driver import (CaseFailure, Case, MENU_RGB, MENU_SIZE, SCREEN_H, SCREEN_W, SPLASH_RGB,  # noqa: E402,F401
                    SPLASH_SIZE, WHITE_RGB, YELLOW_RGB, check, link, wait_for)

LOADER = "/lib64/ld-linux-x86-64.so.2"
KAVO = ["001", "splash.bmp", "bin\\record -alpha beta", "menu.bmp", "sounds\\bg.wav", "sounds\\over.wav"]


class Session:
    def __init__(self, opts):
        self.opts = opts
        self.work = tempfile.mkdtemp(prefix="velmaro-e2e-linux.")
        self.display = None
        self.xvfb = None

    def start(self):
        for n in range(120, 240):
            if not os.path.exists("/tmp/.X%d-lock" % n) and not os.path.exists("/tmp/.X11-unix/X%d" % n):
                self.display = ":%d" % n
                break
        # -noreset: between cases no client may be connected, and a server resetting then refuses the next.
        self.xvfb = subprocess.Popen(["Xvfb", self.display, "-screen", "0", "%dx%dx24" % (SCREEN_W, SCREEN_H),
                                      "-nolisten", "tcp", "-noreset"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("Xvfb", lambda: os.path.exists("/tmp/.X11-unix/X" + self.display[1:]), 10)
        a = self.assets = os.path.join(self.work, "assets")
        os.makedirs(a)
        subprocess.run(["convert", "-size", "%dx%d" % SPLASH_SIZE, "xc:#" + SPLASH_RGB, "BMP3:" + a + "/splash.bmp"],
                       check=True)
        subprocess.run(["convert", "-size", "%dx%d" % MENU_SIZE, "xc:#" + MENU_RGB, "BMP3:" + a + "/menu.bmp"],
                       check=True)
        for name, freq in (("bg", 440), ("over", 880), ("hello", 660)):
            subprocess.run(["sox", "-n", "-r", "8000", "-c", "1", "%s/%s.wav" % (a, name), "synth", "0.3", "sine",
                            str(freq)], check=True)
        # The desktop: an opener first on PATH, and Wine's handler only where a case installs it.
        self.bin = os.path.join(self.work, "bin")
        os.makedirs(self.bin)
        shutil.copy(os.path.join(HERE, "record.py"), os.path.join(self.bin, "xdg-open"))
        shutil.copy(os.path.join(HERE, "record.py"), os.path.join(self.bin, "wine"))
        for n in ("xdg-open", "wine"):
            os.chmod(os.path.join(self.bin, n), 0o755)

    def stop(self):
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()
        if not self.opts.keep:
            subprocess.run(["chmod", "-R", "u+w", self.work])
            shutil.rmtree(self.work, ignore_errors=True)

    def env(self):
        e = dict(os.environ)
        e.update(DISPLAY=self.display, LANG="C.UTF-8", GDK_BACKEND="x11", GTK_A11Y="atspi")
        return e


class Program:
    def __init__(self, session, case):
        self.s = session
        self.case = case
        self.dir = os.path.join(session.work, "cases", case.slug)
        self.disc = os.path.join(self.dir, "disc")
        self.record = os.path.join(self.dir, "record.jsonl")
        self.trace = os.path.join(self.dir, "sound.log")
        self.data = os.path.join(self.dir, "data")
        self.proc = None
        self.seen_sounds = 0
        self.seen_records = 0
        self.build_disc()

    def build_disc(self):
        d = self.disc
        for folder in ("sounds", "bin", "docs"):
            os.makedirs(os.path.join(d, folder))
        a = self.s.assets
        shutil.copy(a + "/splash.bmp", d)
        shutil.copy(a + "/menu.bmp", d)
        for name in ("bg", "over", "hello"):
            shutil.copy("%s/%s.wav" % (a, name), os.path.join(d, "sounds"))
        shutil.copy(self.s.opts.recorder, os.path.join(d, "bin", "record"))
        shutil.copy(os.path.join(HERE, "record.py"), os.path.join(d, "bin", "record.py"))
        with open(os.path.join(d, "docs", "guide.txt"), "w") as f:
            f.write("guide\n")
        with open(os.path.join(d, "setup.exe"), "wb") as f:
            f.write(b"MZ\x90\x00not really a program\n")
        for name in ("kavo.inf", "menu.inf"):
            content = self.case.file_bytes(name)
            if content is not None:
                with open(os.path.join(d, name), "wb") as f:
                    f.write(content)
        for path, content in self.case.files.items():
            target = os.path.join(d, *path.split("\\"))
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "wb") as f:
                f.write(content)
        shutil.copy(self.s.opts.program, os.path.join(d, "velmaro"))
        shutil.copy(self.s.opts.autorun, os.path.join(d, "autorun.sh"))
        # A medium without execute bits: every file 0444, every folder 0555.
        for root, dirs, files in os.walk(d):
            for n in files:
                os.chmod(os.path.join(root, n), 0o444)
        for root, dirs, files in os.walk(d, topdown=False):
            for n in dirs:
                os.chmod(os.path.join(root, n), 0o555)
        os.chmod(d, 0o555)
        # The desktop's file associations: Wine's only when the case wants it.
        apps = os.path.join(self.data, "applications")
        os.makedirs(apps)
        if getattr(self.case, "wine", False):
            with open(os.path.join(apps, "wine.desktop"), "w") as f:
                f.write("[Desktop Entry]\nType=Application\nName=Wine\nExec=wine start /unix %f\n"
                        "MimeType=application/x-ms-dos-executable;\n")
            with open(os.path.join(apps, "mimeapps.list"), "w") as f:
                f.write("[Default Applications]\napplication/x-ms-dos-executable=wine.desktop\n")
        else:
            # Whatever handler this machine has for Windows programs is not the desktop's here.
            with open(os.path.join(self.data, "mimeapps.list"), "w") as f:
                f.write("[Removed Associations]\napplication/x-ms-dos-executable=wine.desktop;\n")

    def env(self):
        e = self.s.env()
        e.update(PATH=self.s.bin + ":" + os.environ.get("PATH", ""), VELMARO_E2E_RECORD=self.record,
                 GST_DEBUG="velmaro-sound:4", GST_DEBUG_FILE=self.trace, GST_DEBUG_NO_COLOR="1",
                 XDG_DATA_HOME=self.data, XDG_DATA_DIRS=self.data + ":/usr/local/share:/usr/share", XDG_CONFIG_HOME=self.data,
                 XDG_CONFIG_DIRS=self.data, HOME=self.dir)
        e.update(getattr(self.case, "env", {}))
        return e

    def start(self):
        # As a desktop starts a medium's autorun.sh without an execute bit: through /bin/sh, from elsewhere.
        # It starts the program through the loader, in the same process.
        self.log = open(os.path.join(self.dir, "program.log"), "w")
        self.proc = subprocess.Popen(["/bin/sh", os.path.join(self.disc, "autorun.sh")], env=self.env(), cwd="/",
                                     stdout=self.log, stderr=self.log)

    def alive(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_exit(self, timeout):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise CaseFailure("the program did not end within %ss" % timeout)

    def finish(self):
        if self.alive():
            self.proc.kill()
            self.proc.wait()
        # What the disc's programs and the opener started run on; nothing of theirs outlives the case.
        if getattr(self, "log", None):
            self.log.close()

    def state(self):
        return "records: %s\nsounds: %s" % (self.records(), self.sounds())

    # -- windows --------------------------------------------------------------
    def xdo(self, *args, check_ok=True):
        r = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.s.env(), capture_output=True, text=True,
                           timeout=10)
        if check_ok and r.returncode:
            raise CaseFailure("xdotool %s: %s" % (" ".join(map(str, args)), r.stderr.strip()))
        return r.stdout

    def windows(self):
        """The program's shown windows: id, place and size of the inner area, title."""
        out = []
        ids = self.xdo("search", "--onlyvisible", "--pid", self.proc.pid, check_ok=False).split()
        for wid in ids:
            info = subprocess.run(["xwininfo", "-id", wid], env=self.s.env(), capture_output=True,
                                  text=True).stdout
            get = lambda key: int(re.search(key + r":\s+(-?\d+)", info).group(1))
            name = re.search(r'xwininfo: Window id: \S+ (?:"(.*)"|\(has no name\))', info)
            w = {"id": wid, "x": get("Absolute upper-left X"), "y": get("Absolute upper-left Y"),
                 "width": get("Width"), "height": get("Height"), "title": name.group(1) if name and name.group(1)
                 is not None else ""}
            if w["width"] > 1 and w["height"] > 1:
                out.append(w)
        return out

    def window_of_size(self, size, timeout=20):
        def find():
            for w in self.windows():
                if (w["width"], w["height"]) == size:
                    return w
            return None
        return wait_for("a window of %dx%d" % size, find, timeout)

    def wait_menu(self, timeout=20):
        self.menu = self.window_of_size(MENU_SIZE, timeout)
        wait_for("the menu painted", lambda: self.pixel(self.menu["width"] - 5, self.menu["height"] - 5) == MENU_RGB,
                 5)
        return self.menu

    def pixels(self, x, y, width, height):
        """The screen's colours in a rectangle of the menu's inner area, counted."""
        m = self.menu
        out = subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, m["x"] + x,
                                                                                   m["y"] + y),
                              "-depth", "8", "txt:-"], env=self.s.env(), capture_output=True, text=True).stdout
        counts = {}
        for c in re.findall(r"#([0-9A-Fa-f]{6})", out):
            counts[c.lower()] = counts.get(c.lower(), 0) + 1
        return counts

    def pixel(self, x, y):
        c = self.pixels(x, y, 1, 1)
        return next(iter(c)) if c else None

    def link_colour(self, index, top=None):
        top = 600 + 600 * index if top is None else top
        c = self.pixels(40, top // 15, 60, 20)
        white, yellow = c.get(WHITE_RGB, 0), c.get(YELLOW_RGB, 0)
        if white > 15 and yellow == 0:
            return "white"
        if yellow > 15 and white == 0:
            return "yellow"
        return "none" if not white and not yellow else "mixed"

    def expect_link_colour(self, index, want, top=None):
        got = None
        end = time.monotonic() + 3
        while time.monotonic() < end:
            got = self.link_colour(index, top)
            if got == want:
                return
            time.sleep(0.1)
        raise CaseFailure("link %d shows %s, expected %s" % (index, got, want))

    def pointer(self, x, y, click=False):
        m = self.menu
        self.xdo("mousemove", m["x"] + x, m["y"] + y)
        time.sleep(0.15)
        if click:
            self.xdo("mousedown", 1)
            time.sleep(0.05)
            self.xdo("mouseup", 1)
            time.sleep(0.15)

    def over_link(self, index, click=False, top=None):
        top = 600 + 600 * index if top is None else top
        self.pointer(48, top // 15 + 9, click)

    def over_background(self):
        self.pointer(self.menu["width"] - 15, self.menu["height"] - 15)

    def keys(self, *names):
        self.xdo("windowfocus", "--sync", self.menu["id"], check_ok=False)
        for n in names:
            self.xdo("key", "--clearmodifiers", n)
            time.sleep(0.15)

    # -- what it did ------------------------------------------------------------
    def sounds(self):
        if not os.path.exists(self.trace):
            return []
        with open(self.trace, errors="replace") as f:
            found = re.findall(r"velmaro-sound .*?: (open|play|close) file://\S*/([^/\s]+)$", f.read(), re.M)
        return ["%s %s" % e for e in found]

    def expect_sounds(self, expected, settle=0.5, timeout=5):
        want = self.seen_sounds + len(expected)
        end = time.monotonic() + timeout
        while time.monotonic() < end and len(self.sounds()) < want:
            time.sleep(0.1)
        time.sleep(settle)
        got = self.sounds()[self.seen_sounds:]
        check(got == expected, "sounds %r, expected %r" % (got, expected))
        self.seen_sounds += len(got)

    def records(self):
        if not os.path.exists(self.record):
            return []
        with open(self.record) as f:
            return [json.loads(l) for l in f if l.strip()]

    def expect_records(self, expected, settle=0.5, timeout=5):
        """expected: (kind, argv) pairs, argv with DISC for the disc's folder."""
        want = self.seen_records + len(expected)
        end = time.monotonic() + timeout
        while time.monotonic() < end and len(self.records()) < want:
            time.sleep(0.1)
        time.sleep(settle)
        def plain(a):
            return a.replace("file://" + self.disc, "DISC-URI").replace(self.disc, "DISC").replace(self.s.bin, "BIN")
        got = [(r["kind"], [plain(a) for a in r["argv"]]) for r in self.records()[self.seen_records:]]
        check(got == expected, "started %r, expected %r" % (got, expected))
        for r in self.records()[self.seen_records:]:
            check(r["cwd"] == self.disc, "%s ran in %s, not the disc's root" % (r["kind"], r["cwd"]))
        self.seen_records += len(got)

    def accessible(self, *args):
        r = subprocess.run([os.path.join(HERE, "atspi_probe.py")] + list(args), env=self.s.env(),
                           capture_output=True, text=True, timeout=30)
        try:
            return json.loads(r.stdout)
        except ValueError:
            raise CaseFailure("AT-SPI probe: %s %s" % (r.stdout, r.stderr))

    def expect_box(self, title, text, timeout=5):
        def find():
            texts = self.accessible("texts")
            for w in texts if isinstance(texts, list) else []:
                if w["title"] == title:
                    return w
            return None
        box = wait_for("a message box %r" % title, find, timeout)
        check(text in box["labels"], "box %r says %r, expected %r" % (title, box["labels"], text))
        return box

    def press_ok(self):
        check(self.accessible("press", "OK").get("done"), "no OK button to press")
        time.sleep(0.3)

    def no_box(self):
        texts = self.accessible("texts")
        check(not texts or all(not w["title"] for w in texts), "a message box is up: %r" % texts)
