"""The machinery of the end-to-end cases: the Wine session (virtual display, prefix, probe), one run of the
program on a disc built for a case, what Wine's trace channels say it asked for, and the case record itself.
"""

import hashlib
import json
import os
import re
import select
import shutil
import subprocess
import tempfile
import time

SCREEN_W, SCREEN_H = 1024, 768
TWIPS_PER_INCH = 1440
BASE_DPI = 96

WS_CAPTION = 0x00C00000
WS_BORDER = 0x00800000
WS_DLGFRAME = 0x00400000
WS_SYSMENU = 0x00080000
WS_THICKFRAME = 0x00040000
WS_MINIMIZEBOX = 0x00020000
WS_MAXIMIZEBOX = 0x00010000
WS_EX_TOOLWINDOW = 0x00000080
WS_EX_APPWINDOW = 0x00040000

SPLASH_SIZE = (250, 170)
MENU_SIZE = (400, 300)
SPLASH_RGB = "c81e1e"
MENU_RGB = "000080"
WHITE, YELLOW = 16777215, 65535  # 0x00BBGGRR
WHITE_RGB, YELLOW_RGB = "ffffff", "ffff00"


class CaseFailure(Exception):
    pass


class WineDidNotStart(Exception):
    """Wine, not the program, failed on this machine: no prefix could be made, or the loader runs no program
    of the kind under test. The runner tells it apart from a failing case."""


def boot_prefix(loader64, wineserver, env, prefix, log_path, tries=3):
    """Makes a new prefix with loader64. Wine's first start in a fresh prefix now and then fails on a busy
    machine; one that fails three times over raises WineDidNotStart with the end of Wine's own account."""
    # Wine's errors stay on here (the cases turn them off): they are what tells why a start failed.
    env = dict(env, WINEDEBUG="fixme-all")
    for n in range(1, tries + 1):
        with open(log_path, "a") as log:
            log.write("== wineboot, try %d\n" % n)
            log.flush()
            try:
                code = subprocess.run([loader64, "wineboot", "-i"], env=env, stdout=log, stderr=log,
                                      timeout=240).returncode
            except subprocess.TimeoutExpired:
                code = "timed out after 240 s"
        if code == 0:
            return
        subprocess.run([wineserver, "-k"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=30)
        shutil.rmtree(prefix, ignore_errors=True)
    with open(log_path, errors="replace") as f:
        tail = f.read().splitlines()[-30:]
    raise WineDidNotStart("%s wineboot -i failed %d times (last: %s); the end of its log:\n  %s"
                          % (loader64, tries, code, "\n  ".join(tail)))


def check(cond, message):
    if not cond:
        raise CaseFailure(message)


def wait_for(what, fn, timeout, interval=0.1):
    """Polls fn until it returns something truthy; fails the case with `what` on timeout."""
    end = time.monotonic() + timeout
    while True:
        value = fn()
        if value:
            return value
        if time.monotonic() > end:
            raise CaseFailure("timed out after %.1fs waiting for %s" % (timeout, what))
        time.sleep(interval)


# ---------------------------------------------------------------------------
# What Wine's trace channels say the program asked for

def unescape(s, wide=False):
    """Undoes Wine's debugstr quoting; a wide string writes a character outside ASCII as four hex digits."""
    out, i = [], 0
    while i < len(s):
        c = s[i]
        if c == "\\" and i + 1 < len(s):
            n = s[i + 1]
            if wide and re.match(r"[0-9a-fA-F]{4}", s[i + 1:i + 5]):
                out.append(chr(int(s[i + 1:i + 5], 16)))
                i += 5
            elif n in "\\\"'":
                out.append(n)
                i += 2
            elif n in "nrt":
                out.append({"n": "\n", "r": "\r", "t": "\t"}[n])
                i += 2
            elif n == "x":
                m = re.match(r"[0-9a-fA-F]{2}", s[i + 2:])
                out.append(chr(int(m.group(0), 16)))
                i += 4
            elif n == "u":
                out.append(chr(int(s[i + 2:i + 6], 16)))
                i += 6
            else:
                m = re.match(r"[0-7]{1,3}", s[i + 1:])
                out.append(chr(int(m.group(0), 8)))
                i += 1 + len(m.group(0))
        else:
            out.append(c)
            i += 1
    return "".join(out)


MCI_RE = re.compile(r'trace:mci:mciSendStringW \(L"((?:[^"\\]|\\.)*)"')
EXEC_RE = re.compile(r"trace:exec:ShellExecuteA (.*)$")
# ShellExecuteW traces no arguments; the shell's common path, which the ANSI call takes too, names them next.
EXEC_W_RE = re.compile(r"trace:exec:ShellExecuteW\b")
EXEC_COMMON_RE = re.compile(r'trace:exec:\w+ mask=\S+ hwnd=(\S+) verb=(.*) file=(.*) parm=(.*) dir=(.*) '
                            r'show=(0x[0-9a-fA-F]+)')
ARG_RE = re.compile(r'\s*(?:"((?:[^"\\]|\\.)*)"|\(null\)|([^,]*))\s*(?:,|$)')
OUR_ALIASES = ("mcibg", "mcimo", "mciextra")


def parse_trace(path):
    """Returns the program's MCI commands and shell requests, in order. A request through ShellExecuteW is a
    "shellW" event, so that a case sees which of the two calls the program made."""
    events = []
    wide_pending = False
    with open(path, "r", encoding="utf-8", errors="replace") as f:
        for line in f:
            if EXEC_W_RE.search(line):
                wide_pending = True
                continue
            m = EXEC_COMMON_RE.search(line)
            if m:
                if wide_pending:
                    wide_pending = False
                    args = [None if a == "(null)" else unescape(a[2:-1], wide=True) for a in m.groups()[1:5]]
                    events.append(("shellW", int(m.group(1), 16)) + tuple(args) + (str(int(m.group(6), 16)),))
                continue
            m = MCI_RE.search(line)
            if m:
                cmd = unescape(m.group(1), wide=True)
                # Wine's MCI layer sends commands of its own; ours always name one of our aliases.
                if any(a in cmd.lower() for a in OUR_ALIASES):
                    events.append(("mci", cmd))
                continue
            m = EXEC_RE.search(line)
            if m:
                rest = m.group(1).strip()
                owner, _, rest = rest.partition(",")
                args = []
                for a in ARG_RE.finditer(rest):
                    if a.end() == a.start():
                        break
                    if a.group(1) is not None:
                        args.append(unescape(a.group(1)))
                    elif a.group(2) is not None and a.group(2).strip():
                        args.append(a.group(2).strip())
                    else:
                        args.append(None)
                events.append(("shell", int(owner, 16)) + tuple(args[:5]))
    return events


# ---------------------------------------------------------------------------
# The run: display, prefix, probe

class Session:
    def __init__(self, opts):
        self.opts = opts
        self.loader = opts.loader  # for the program under test and the recorder
        # Native: the prefix (whose 32-bit half it sets up through the loader above) and the probe.
        self.loader64 = opts.wine64 or opts.loader
        self.work = tempfile.mkdtemp(prefix="velmaro-e2e.")
        self.prefix = os.path.join(self.work, "prefix")
        self.xvfb = None
        self.probe = None
        self.display = None
        self.code_pages = set()  # locales whose code page was seen to be right

    def env(self, debug="-all"):
        e = dict(os.environ)
        e.update(WINEPREFIX=self.prefix, WINEDEBUG=debug, DISPLAY=self.display,
                 WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d", LANG="C.UTF-8")
        e.pop("WINEARCH", None)
        e.pop("WINELOADER", None)
        if self.opts.arch == "win64":
            # Called directly, the 64-bit loader must be told it is the loader for the processes it starts.
            e.update(WINEARCH="win64", WINELOADER=self.loader)
        return e

    def start(self):
        for n in range(90, 200):
            if not os.path.exists("/tmp/.X%d-lock" % n) and not os.path.exists("/tmp/.X11-unix/X%d" % n):
                self.display = ":%d" % n
                break
        self.xvfb = subprocess.Popen(["Xvfb", self.display, "-screen", "0", "%dx%dx24" % (SCREEN_W, SCREEN_H),
                                      "-nolisten", "tcp", "-noreset"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("Xvfb", lambda: os.path.exists("/tmp/.X11-unix/X" + self.display[1:]), 10)
        boot_prefix(self.loader64, self.opts.wineserver, self.env(), self.prefix,
                    os.path.join(self.work, "wineboot.log"))
        log = open(os.path.join(self.work, "wineboot.log"), "a")
        handlers = os.path.join(self.prefix, "drive_c", "e2e")
        os.makedirs(handlers, exist_ok=True)
        shutil.copy(self.opts.recorder, os.path.join(handlers, "recorder.exe"))
        reg = os.path.join(self.work, "setup.reg")
        shutil.copy(os.path.join(os.path.dirname(__file__), "prefix.reg"), reg)
        subprocess.run([self.loader64, "regedit", "/s", to_windows(reg)], env=self.env(), stdout=log, stderr=log,
                       timeout=60, check=True)
        # The probe stays connected for the whole run, which keeps the server and the
        # virtual desktop up between cases.
        self.probe = Probe(self)
        self.probe.ask("colours 0 0 1 1")  # brings up the desktop before the baseline is taken
        self.check_route()
        self.baseline = {p["pid"] for p in self.probe.ask("procs")["procs"]}
        self.make_assets()

    def end_strays(self):
        """Ends what a case left behind: the program, launched programs, folder windows the shell opened."""
        procs = self.probe.ask("procs")
        keep = self.baseline | {procs["self"], procs["desktop"]}
        for p in procs["procs"]:
            if p["pid"] not in keep:
                self.probe.ask("killpid %d" % p["pid"])

    def make_assets(self):
        a = self.assets = os.path.join(self.work, "assets")
        os.makedirs(a)
        convert = self.opts.convert
        subprocess.run([convert, "-size", "%dx%d" % SPLASH_SIZE, "xc:#" + SPLASH_RGB, "BMP3:" + a + "/splash.bmp"],
                       check=True)
        subprocess.run([convert, "-size", "%dx%d" % MENU_SIZE, "xc:#" + MENU_RGB, "BMP3:" + a + "/menu.bmp"],
                       check=True)
        for name, freq in (("bg", 440), ("over", 880), ("hello", 660)):
            subprocess.run(["sox", "-n", "-r", "8000", "-c", "1", "%s/%s.wav" % (a, name), "synth", "0.3", "sine",
                            str(freq)], check=True)

    def recorder_says(self, env, log=subprocess.DEVNULL):
        """The first record of a bare run of the recorder (built like the program) under env, or None."""
        out = os.path.join(self.work, "acp.jsonl")
        if os.path.exists(out):
            os.remove(out)
        env = dict(env, VELMARO_E2E_RECORD=to_windows(out))
        try:
            subprocess.run([self.loader, os.path.join(self.prefix, "drive_c", "e2e", "recorder.exe")], env=env,
                           stdout=log, stderr=log, timeout=60)
        except subprocess.TimeoutExpired:
            return None
        if not os.path.exists(out):
            return None
        with open(out, encoding="utf-8") as f:
            return json.loads(f.readline())

    def check_route(self):
        """The loader runs a program built like the one under test at all: else every case would fail for
        the machine's sake."""
        path = os.path.join(self.work, "route.log")
        for _ in range(2):
            with open(path, "w") as log:
                if self.recorder_says(dict(self.env(), WINEDEBUG="fixme-all"), log):
                    return
        with open(path, errors="replace") as f:
            tail = f.read().splitlines()[-15:]
        raise WineDidNotStart("%s runs no %s program here: the recorder left no record; it said:\n  %s"
                              % (self.loader, self.opts.arch, "\n  ".join(tail)))

    def check_code_page(self, env, want):
        """Once per locale: a Wine process started with env really gets that ANSI code page, so that a
        failure of the case is the program's and not the machine's."""
        if env["LANG"] in self.code_pages:
            return
        got = (self.recorder_says(env) or {}).get("acp")
        check(got == want, "under LANG=%s Wine gives code page %r, expected %d" % (env["LANG"], got, want))
        self.code_pages.add(env["LANG"])

    def stop(self):
        if self.probe:
            self.probe.close()
        if self.prefix and os.path.isdir(self.prefix):
            subprocess.run([self.opts.wineserver, "-k"], env=self.env(), timeout=30)
        if self.xvfb:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
        if not self.opts.keep:
            for root, dirs, _ in os.walk(self.work):
                for d in dirs:
                    os.chmod(os.path.join(root, d), 0o755)
            shutil.rmtree(self.work, ignore_errors=True)


class Probe:
    def __init__(self, session):
        self.p = subprocess.Popen([session.loader64, session.opts.probe], stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=session.env())
        self.buf = b""
        self.ask("ping", timeout=60)

    def ask(self, line, timeout=15):
        self.p.stdin.write((line + "\n").encode())
        self.p.stdin.flush()
        end = time.monotonic() + timeout
        while b"\n" not in self.buf:
            left = end - time.monotonic()
            if left <= 0 or not select.select([self.p.stdout], [], [], left)[0]:
                raise CaseFailure("probe did not answer " + line)
            chunk = os.read(self.p.stdout.fileno(), 65536)
            if not chunk:
                raise CaseFailure("probe ended")
            self.buf += chunk
        reply, _, self.buf = self.buf.partition(b"\n")
        return json.loads(reply.decode("utf-8", "replace"))

    def close(self):
        try:
            self.p.stdin.write(b"quit\n")
            self.p.stdin.flush()
            self.p.wait(10)
        except Exception:
            self.p.kill()


RECORDER = object()  # as the content of a disc file: a copy of the recorder


def ensure_locale(lang):
    """Generates a Unix locale the first time a case needs it (we run as root)."""
    def have():
        out = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
        want = lang.lower().replace("utf-8", "utf8")
        return any(l.lower().replace("utf-8", "utf8") == want for l in out)
    if have():
        return
    name, _, charset = lang.partition(".")
    r = subprocess.run(["localedef", "-i", name, "-f", charset or "UTF-8", lang], capture_output=True, text=True,
                       timeout=120)
    check(have(), "the locale %s is missing and localedef could not make it (install the locales package):\n%s"
          % (lang, (r.stdout + r.stderr).strip()))


def to_windows(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


# ---------------------------------------------------------------------------
# A disc and one run of the program on it

def link(index, caption, action, arg=None, page=0, left=600, top=None, colour=WHITE, highlight=YELLOW,
         style="1014", font="Verdana"):
    """One menu.inf line; links default to a column 40 px from the left, 40 px apart."""
    if top is None:
        top = 600 + 600 * index
    line = "%s|%s|%s|%s|%s|%s|%s|%s|%s|%s|" % (page, index, caption, font, style, colour, highlight, left, top, action)
    return line + ("" if arg is None else arg + "|")


DEFAULT_KAVO = ["001", "splash.bmp", "recorder.exe -alpha beta", "menu.bmp", "sounds\\bg.wav", "sounds\\over.wav"]


class Program:
    def __init__(self, session, case):
        self.s = session
        self.case = case
        self.dir = os.path.join(session.work, "cases", case.slug)
        self.disc = os.path.join(self.dir, case.disc_name)
        self.record = os.path.join(self.dir, "record.jsonl")
        self.trace = os.path.join(self.dir, "trace.txt")
        self.proc = None
        self.mark = 0
        self.menu_hwnd = None
        self.boxes_expected = False
        self.dpi = BASE_DPI
        self.trace_file = None
        self.build_disc()

    @property
    def app(self):
        return to_windows(self.disc) + "\\"

    def build_disc(self):
        d = self.disc
        os.makedirs(os.path.join(d, "sounds"))
        os.makedirs(os.path.join(d, "bin"))
        os.makedirs(os.path.join(d, "docs"))
        a = self.s.assets
        shutil.copy(a + "/splash.bmp", d)
        shutil.copy(a + "/menu.bmp", d)
        for name in ("bg", "over", "hello"):
            shutil.copy("%s/%s.wav" % (a, name), os.path.join(d, "sounds"))
        shutil.copy(self.s.opts.recorder, os.path.join(d, "recorder.exe"))
        shutil.copy(self.s.opts.recorder, os.path.join(d, "bin", "my-tool.exe"))
        with open(os.path.join(d, "docs", "guide.e2edoc"), "w") as f:
            f.write("guide\n")
        with open(os.path.join(d, "prog.exe-x"), "w") as f:
            f.write("not a program\n")
        for name in ("kavo.inf", "menu.inf"):
            content = self.case.file_bytes(name)
            if content is None:
                continue
            with open(os.path.join(d, name), "wb") as f:
                f.write(content)
        for path, content in self.case.files.items():
            target = os.path.join(d, *path.split("\\"))
            if content is RECORDER:
                shutil.copy(self.s.opts.recorder, target)
            else:
                with open(target, "wb") as f:
                    f.write(content)
        for path, size, colour in self.case.pictures:
            subprocess.run([self.s.opts.convert, "-size", "%dx%d" % size, "xc:#" + colour,
                            "BMP3:" + os.path.join(d, path)], check=True)
        shutil.copy(self.s.opts.exe, os.path.join(d, "velmaro.exe"))
        if self.case.writable:
            self.before = None
            return
        # A CD is read-only; every file and folder of the disc is made so.
        for root, dirs, files in os.walk(d):
            for n in files:
                os.chmod(os.path.join(root, n), 0o555 if n.endswith(".exe") else 0o444)
        for root, dirs, files in os.walk(d, topdown=False):
            for n in dirs:
                os.chmod(os.path.join(root, n), 0o555)
        os.chmod(d, 0o555)
        self.before = self.snapshot()

    def snapshot(self):
        listing = []
        for root, dirs, files in os.walk(self.disc):
            for n in sorted(dirs):
                listing.append((os.path.relpath(os.path.join(root, n), self.disc) + "/", ""))
            for n in sorted(files):
                p = os.path.join(root, n)
                with open(p, "rb") as f:
                    listing.append((os.path.relpath(p, self.disc), hashlib.sha256(f.read()).hexdigest()))
        return sorted(listing)

    # -- process --------------------------------------------------------------
    def start(self):
        self.s.probe.ask("kill velmaro.exe")
        if self.trace_file:
            # A second run of the same disc: its trace starts afresh.
            self.proc.wait(10)
            self.trace_file.close()
            self.mark = 0
        self.pointer(5, 5)
        env = self.s.env("fixme-all,err-all,trace+mci,trace+exec")
        if self.case.lang:
            # Wine takes the process's ANSI code page from its Unix locale.
            ensure_locale(self.case.lang)
            for k in ("LC_ALL", "LC_CTYPE", "LANGUAGE"):
                env.pop(k, None)
            env["LANG"] = self.case.lang
            self.s.check_code_page(env, self.case.code_page)
        env["VELMARO_E2E_RECORD"] = to_windows(self.record)
        self.trace_file = open(self.trace, "wb")
        self.started = time.monotonic()
        self.proc = subprocess.Popen([self.s.loader, os.path.join(self.disc, "velmaro.exe")], cwd=self.disc,
                                     env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=self.trace_file)

    def state(self):
        """What the program looked like when a case failed."""
        if not self.proc or not self.alive():
            return "(the program had ended)"
        try:
            ws = self.s.probe.ask("windows velmaro.exe")["windows"]
            cursor = self.s.probe.ask("cursor")
        except CaseFailure as e:
            return "(no state: %s)" % e
        return "pointer at %(x)d,%(y)d; windows:\n" % cursor + "\n".join(
            "    %s %r visible=%s rect=%r" % (w["class"], w["caption"], w["visible"], w["rect"]) for w in ws)

    def alive(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout):
        wait_for("the program to end", lambda: not self.alive(), timeout)
        return time.monotonic()

    def finish(self):
        """Ends whatever is left of the run and proves that the disc was not written."""
        if self.proc and self.alive():
            self.proc.kill()
            self.proc.wait(10)
        self.s.end_strays()
        if self.trace_file:
            self.trace_file.close()
        if self.before is not None:
            check(self.snapshot() == self.before, "the disc changed while the program ran")

    # -- windows --------------------------------------------------------------
    def windows(self):
        return [w for w in self.s.probe.ask("windows velmaro.exe")["windows"] if w["visible"]]

    def boxes(self):
        return [w for w in self.windows() if w["class"] == "#32770"]

    def splash(self):
        ws = [w for w in self.windows() if w["class"] != "#32770" and not w["style"] & WS_CAPTION]
        return ws[0] if ws else None

    def menu(self):
        ws = [w for w in self.windows() if w["class"] != "#32770" and w["style"] & WS_CAPTION]
        if ws:
            self.menu_hwnd = int(ws[0]["hwnd"], 16)
        return ws[0] if ws else None

    def wait_menu(self, timeout=10, paint_timeout=5):
        m = wait_for("the menu window", self.menu, timeout)
        # Shown is not yet painted (under an emulated loader it can take over half a second). Unpainted, the
        # client area is black, which no menu picture of these discs is.
        # Only the part on the screen can be looked at; a menu as large as an 8000x8000 picture reaches far past it.
        c = m["client"]
        c = [max(c[0], 0), max(c[1], 0), min(c[2], SCREEN_W), min(c[3], SCREEN_H)]
        black = {"000000": (c[2] - c[0]) * (c[3] - c[1])}
        wait_for("the menu's first paint",
                 lambda: self.s.probe.ask("colours %d %d %d %d" % tuple(c))["colours"] != black, paint_timeout)
        time.sleep(0.3)  # let the first paint land before pixels are read
        return self.menu()

    def expect_box(self, title, text):
        box = wait_for("a message box", lambda: (self.boxes() or [None])[0], 8)
        check(box["caption"] == title, "message box title %r, expected %r" % (box["caption"], title))
        check(box["text"] == text, "message box text\n  got      %r\n  expected %r" % (box["text"], text))
        check(box["icon"], "message box without an icon")
        check(box["buttons"] == ["OK"], "message box buttons %r, expected one OK" % box["buttons"])
        self.expect_critical_icon(box)
        return box

    def expect_critical_icon(self, box):
        """The box shows the stop icon, told from the other stock icons by its pixels."""
        def looked():
            seen = self.s.probe.ask("icon " + box["hwnd"])
            differ = seen.get("differ") or {}
            # Drawn yet: some stock icon matches nearly pixel for pixel.
            return seen if differ and min(differ.values()) <= seen["pixels"] // 20 else None
        try:
            seen = wait_for("the message box's icon to be drawn", looked, 2)
        except CaseFailure:
            seen = self.s.probe.ask("icon " + box["hwnd"])
        differ = seen.get("differ") or {}
        best = min(differ, key=differ.get) if differ else None
        check(best == "hand" and differ["hand"] <= seen["pixels"] // 20,
              "message box icon is not the critical (stop) icon: pixels differing from each stock icon %r" % differ)

    def press_ok(self, box):
        self.s.probe.ask("press " + box["hwnd"])
        wait_for("the message box to go", lambda: not self.boxes(), 5)

    def no_error_box(self):
        check(not self.boxes(), "an unexpected message box: %r" % [(b["caption"], b.get("text")) for b in
                                                                  self.boxes()])

    # -- keyboard and screen readers --------------------------------------------
    def keys(self, *names, sync=True):
        """Real key presses (xdotool names: Tab, shift+Tab, Return, alt+g) to the active window."""
        # With no window manager on the virtual display, X gives the keys to the window under the pointer;
        # the menu's X window is given the X focus, as a window manager would give it to the active window.
        # A menu disabled by its message box may pass the focus on to the box, or not be found as its own X
        # window while the box is up: then the keys go to the box, the active window, as they would on Windows.
        try:
            x_window = self.x_window_of_menu()
            subprocess.run(["xdotool", "windowfocus"] + (["--sync"] if sync else []) + [x_window],
                           env=self.s.env(), check=True, timeout=10)
        except CaseFailure:
            if sync:
                raise
        for name in names:
            subprocess.run(["xdotool", "key", name], env=self.s.env(), check=True, timeout=10)
            time.sleep(0.15)

    def x_window_of_menu(self):
        """The X window that shows the menu: the visible one with its place and size."""
        r = self.menu()["rect"]
        want = (r[0], r[1], r[2] - r[0], r[3] - r[1])
        seen = []
        # A program busy in a click answers the display late: its X window may take a moment to show.
        end = time.monotonic() + 5
        while True:
            ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", ""], env=self.s.env(),
                                 capture_output=True, text=True, timeout=10).stdout.split()
            seen = []
            for wid in ids:
                g = dict(l.split("=", 1) for l in subprocess.run(
                    ["xdotool", "getwindowgeometry", "--shell", wid], env=self.s.env(), capture_output=True,
                    text=True, timeout=10).stdout.split())
                at = tuple(int(g.get(k, -1)) for k in ("X", "Y", "WIDTH", "HEIGHT"))
                if at == want:
                    return wid
                seen.append(at)
            if time.monotonic() > end:
                raise CaseFailure("no X window shows the menu at %r; X windows at %r" % (want, seen))
            time.sleep(0.3)

    def accessible(self, *args):
        """What the accessible probe reads from the menu window's client object (see accprobe.cpp)."""
        hwnd = self.menu()["hwnd"]
        r = subprocess.run([self.s.loader, self.s.opts.accprobe, hwnd] + [str(a) for a in args],
                           env=self.s.env(), capture_output=True, timeout=60)
        lines = [l for l in r.stdout.decode("utf-8", "replace").splitlines() if l.startswith("{")]
        check(lines, "the accessible probe said nothing (exit %d): %s" % (r.returncode, r.stderr[-400:]))
        reply = json.loads(lines[-1])
        check("error" not in reply, "accessible probe: %s" % reply.get("error"))
        return reply

    # -- pointer and pixels ---------------------------------------------------
    def pointer(self, x, y, click=False, clicks=1):
        def xdo(*args):
            subprocess.run(["xdotool"] + [str(a) for a in args], env=self.s.env(), check=True, timeout=10)
        xdo("mousemove", x, y)
        time.sleep(0.15)
        if click:
            # Press and release as a hand would, not in the same instant as the move; the presses of a
            # double-click well inside the double-click time.
            for n in range(clicks):
                if n:
                    time.sleep(0.08)
                xdo("mousedown", 1)
                time.sleep(0.05)
                xdo("mouseup", 1)
            time.sleep(0.15)

    def px(self, twips):
        """Twips to pixels at the DPI the program was started with."""
        return twips * self.dpi // TWIPS_PER_INCH

    def link_point(self, left, top):
        m = self.menu()
        return m["client"][0] + self.px(left) + self.px(120), m["client"][1] + self.px(top) + self.px(135)

    def over_link(self, index, click=False, top=None, clicks=1):
        top = 600 + 600 * index if top is None else top
        self.pointer(*self.link_point(600, top), click=click, clicks=clicks)

    def over_background(self):
        m = self.menu()
        self.pointer(m["client"][2] - 15, m["client"][3] - 15)

    def colours_at(self, index, top=None, width=60, height=20):
        m = self.menu()
        top = 600 + 600 * index if top is None else top
        x, y = m["client"][0] + self.px(600), m["client"][1] + self.px(top)
        return self.s.probe.ask("colours %d %d %d %d" % (x, y, x + width, y + height))["colours"]

    def pixels(self, left, top, width, height):
        """The screen's pixels of a client-relative rectangle, as rows of 0xRRGGBB."""
        m = self.menu()
        x, y = m["client"][0] + left, m["client"][1] + top
        return grid(self.s.probe.ask("pixels %d %d %d %d" % (x, y, x + width, y + height)))

    def set_system_dpi(self, dpi):
        check(self.s.probe.ask("logpixels %d" % dpi).get("ok"), "could not set the system DPI")

    def link_colour(self, index, top=None):
        """'white', 'yellow' or 'none' by the solid pixels of the link's text."""
        c = self.colours_at(index, top)
        white, yellow = c.get(WHITE_RGB, 0), c.get(YELLOW_RGB, 0)
        if white > 15 and yellow == 0:
            return "white"
        if yellow > 15 and white == 0:
            return "yellow"
        if not white and not yellow:
            return "none"
        return "mixed(%d white, %d yellow)" % (white, yellow)

    def expect_link_colour(self, index, want, top=None):
        got = None
        end = time.monotonic() + 3
        while time.monotonic() < end:
            got = self.link_colour(index, top)
            if got == want:
                return
            time.sleep(0.1)
        raise CaseFailure("link %d shows %s, expected %s" % (index, got, want))

    # -- trace ----------------------------------------------------------------
    def events(self):
        self.trace_file.flush()
        return [self.normalise(e) for e in parse_trace(self.trace)]

    def normalise(self, e):
        if e[0] in ("shell", "shellW"):
            owner = "null" if e[1] == 0 else ("menu" if e[1] == self.menu_hwnd else "0x%x" % e[1])
            verb, file, params, directory, show = (list(e[2:]) + [None] * 5)[:5]
            # An empty parameter text and no parameters mean the same to the shell.
            return (e[0], owner, verb, file, params or "", directory, show)
        return e

    def new_events(self):
        return self.events()[self.mark:]

    def set_mark(self):
        self.mark = len(self.events())

    def expect_events(self, expected, timeout=5, settle=0.4, ignore=()):
        """The events since the mark must be exactly `expected`, in order, once those in `ignore` are left out."""
        expected = [normalise_expected(e) for e in expected]
        end = time.monotonic() + timeout
        kept = lambda evs: [e for e in evs if e not in ignore]
        while len(kept(self.new_events())) < len(expected) and time.monotonic() < end:
            time.sleep(0.1)
        time.sleep(settle)
        seen = self.new_events()
        got = kept(seen)
        if got != expected:
            raise CaseFailure("events differ\n  got:\n%s\n  expected:\n%s" % (fmt_events(got), fmt_events(expected)))
        self.mark += len(seen)

    def records(self):
        if not os.path.exists(self.record):
            return []
        with open(self.record, encoding="utf-8") as f:
            return [json.loads(l) for l in f if l.strip()]

    def expect_record(self, args, exe_suffix):
        r = wait_for("the launched program to report", lambda: self.records(), 8)
        check(len(r) == 1, "expected one launch, got %d" % len(r))
        check(r[0]["args"] == args, "launched program got %r, expected %r" % (r[0]["args"], args))
        check(r[0]["exe"].lower().endswith(exe_suffix.lower()), "launched %r" % r[0]["exe"])


def normalise_expected(e):
    if e[0] in ("shell", "shellW"):
        owner, file, params = e[1:]
        return (e[0], owner, "open", file, params, None, "1")
    return e


def fmt_events(evs):
    return "\n".join("    " + repr(e) for e in evs) or "    (none)"


def grid(reply):
    return [[int(row[i:i + 6], 16) for i in range(0, len(row), 6)] for row in reply["rows"]]


def text_mask(rows, fg=0xFFFFFF, bg=0x000080):
    """The pixels at least half way from the background colour to the text colour, as a set of (x, y)."""
    d = [((fg >> s) & 255) - ((bg >> s) & 255) for s in (16, 8, 0)]
    n = sum(v * v for v in d)
    lit = set()
    for y, row in enumerate(rows):
        for x, c in enumerate(row):
            t = sum((((c >> s) & 255) - ((bg >> s) & 255)) * v for s, v in zip((16, 8, 0), d))
            if 2 * t >= n:
                lit.add((x, y))
    return lit


def bbox(mask):
    xs, ys = [x for x, _ in mask], [y for _, y in mask]
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def at_origin(mask):
    x0, y0, _, _ = bbox(mask)
    return {(x - x0, y - y0) for x, y in mask}


def mci_open(path, alias):
    return ("mci", 'open "%s" type waveaudio alias %s' % (path, alias))


def mci(cmd):
    return ("mci", cmd)


def shell(owner, file, params=""):
    return ("shell", owner, file, params)


def shell_w(owner, file, params=""):
    """A shell request through ShellExecuteW, for texts the ANSI code page cannot hold."""
    return ("shellW", owner, file, params)


class Case:
    def __init__(self, group, name, script, kavo=DEFAULT_KAVO, menu=None, kavo_eol="\r\n", menu_eol="\r\n",
                 extra=None, pictures=(), disc_name="disc", xfail=None, lang=None, code_page=None, encoding="cp1252",
                 files=None, writable=False):
        self.group, self.name, self.script = group, name, script
        self.kavo, self.menu = kavo, menu
        self.kavo_eol, self.menu_eol = kavo_eol, menu_eol
        self.extra = extra or {}
        self.pictures = pictures
        self.disc_name = disc_name
        self.xfail = xfail
        self.lang, self.code_page, self.encoding = lang, code_page, encoding
        self.files = files or {}  # extra disc files: Windows-style relative path -> bytes or RECORDER
        self.writable = writable  # a disc being authored (the designer's cases), not a burned one
        self.slug = re.sub(r"[^A-Za-z0-9]+", "-", "%s-%s" % (group, name)).strip("-")[:80]

    @property
    def title(self):
        return "%s: %s" % (self.group, self.name)

    def file_bytes(self, name):
        """kavo.inf or menu.inf as this case's disc holds it, or None when the disc has none."""
        lines, eol = (self.kavo, self.kavo_eol) if name == "kavo.inf" else (self.menu, self.menu_eol)
        if lines is None:
            return None
        return "".join(l + eol for l in lines).encode(self.encoding) + self.extra.get(name, b"")
