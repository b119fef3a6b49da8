"""The designer (velmaro-design.exe) driven on a case's disc with the real pointer and keys, and watched from
outside: its window through the probe, the disc's files on disk."""

import json
import os
import subprocess
import time

from driver import CaseFailure, check, to_windows, wait_for

EXE = "velmaro-design.exe"


STARTUP_BUTTON = 126  # kStartup, the link panel's last control
PANEL = 2  # kIdPanel: the link panel's own window
WS_VSCROLL = 0x00200000
WS_HSCROLL = 0x00100000


class Designer:
    def __init__(self, p):
        self.p = p
        self.s = p.s
        self.proc = None
        exe = self.s.opts.designer
        check(exe and os.path.exists(exe), "the designer is not built (%s)" % exe)
        self.exe = exe

    def start(self):
        self.s.probe.ask("kill " + EXE)
        self.p.pointer(5, 5)
        self.log = open(os.path.join(self.p.dir, "designer.txt"), "wb")
        self.proc = subprocess.Popen([self.s.loader, self.exe, to_windows(self.p.disc)], cwd=self.p.dir,
                                     env=self.s.env("fixme-all,err-all"), stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=self.log)
        return self.wait_window()

    def windows(self):
        return [w for w in self.s.probe.ask("windows " + EXE)["windows"] if w["visible"]]

    def main(self):
        ws = [w for w in self.windows() if w["class"] == "VelmaroDesigner"]
        return ws[0] if ws else None

    def boxes(self):
        return [w for w in self.windows() if w["class"] == "#32770"]

    def wait_window(self, timeout=30):
        w = wait_for("the designer's window with the disc's page", lambda: (self.main() or {}).get("caption", "")
                     .endswith("Velmaro Designer") and " - page " in self.main()["caption"] and self.main(), timeout)
        time.sleep(0.5)
        return w

    def title(self):
        return self.main()["caption"]

    def page_origin(self):
        c = self.main()["client"]
        return c[0], c[1]

    def page_point(self, x, y):
        ox, oy = self.page_origin()
        return ox + x, oy + y

    def colours(self, x, y, w, h):
        x, y = self.page_point(x, y)
        return self.s.probe.ask("colours %d %d %d %d" % (x, y, x + w, y + h))["colours"]

    def wait_colour(self, what, rgb, x, y, w, h, present=True, timeout=8):
        def seen():
            n = self.colours(x, y, w, h).get(rgb, 0)
            return (n > 10) == present
        wait_for(what, seen, timeout)

    def xdo(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.s.env(), check=True, timeout=10)

    def drag(self, x, y, dx, dy, steps=10):
        """A real drag with the left button, from the page's (x, y) by (dx, dy) pixels, in steps as a hand."""
        sx, sy = self.page_point(x, y)
        self.xdo("mousemove", sx, sy)
        time.sleep(0.2)
        self.xdo("mousedown", 1)
        time.sleep(0.1)
        for n in range(1, steps + 1):
            self.xdo("mousemove", sx + dx * n // steps, sy + dy * n // steps)
            time.sleep(0.05)
        time.sleep(0.2)
        self.xdo("mouseup", 1)
        time.sleep(0.4)

    def click(self, x, y):
        """A click on the page's (x, y)."""
        sx, sy = self.page_point(x, y)
        self.xdo("mousemove", sx, sy)
        time.sleep(0.1)
        self.xdo("click", 1)
        time.sleep(0.2)

    def keys(self, *names):
        """Key presses to the designer: the pointer rests on its page, where X sends the keys without a
        window manager."""
        for name in names:
            self.xdo("key", name)
            time.sleep(0.3)

    def status(self):
        """The status line's first part: what the designer last said."""
        kids = self.s.probe.ask("children " + self.main()["hwnd"])["children"]
        bars = [k for k in kids if k["class"].lower() == "msctls_statusbar32"]
        return bars[0]["text"] if bars else ""

    def child(self, cls):
        kids = self.s.probe.ask("children " + self.main()["hwnd"])["children"]
        found = [k for k in kids if k["class"] == cls]
        check(found, "the designer has no %s window" % cls)
        return found[0]

    def wait_panel(self, timeout=10, may_scroll=False):
        """The link panel, made after the page has shown and with no input: its last control whole above the
        findings (the window was sized for a panel it did not have yet), unless the screen is too short for
        it and the panel scrolls."""
        def kids():
            return self.s.probe.ask("children " + self.main()["hwnd"])["children"]
        last = wait_for("the panel's controls, with no input", lambda: [k for k in kids() if k["id"] == STARTUP_BUTTON],
                        timeout)[0]
        if may_scroll and self.panel_scrolls():
            return
        check(not self.panel_scrolls(), "the panel has a scroll bar though the window was sized for it")
        findings = [k for k in kids() if k["class"].lower() == "syslistview32"][0]
        check(last["rect"][3] <= findings["rect"][1],
              "the panel's last control (%r) reaches into the findings (%r)" % (last["rect"], findings["rect"]))

    def control(self, control_id):
        """A child window of the designer by its id: the panel (PANEL) or one of its controls."""
        kids = self.s.probe.ask("children " + self.main()["hwnd"])["children"]
        found = [k for k in kids if k["id"] == control_id]
        check(found, "the designer has no control %d" % control_id)
        return found[0]

    def panel_scrolls(self):
        return bool(self.control(PANEL)["style"] & WS_VSCROLL)

    def focus(self):
        """The window that has the designer's keyboard focus."""
        return self.s.probe.ask("focus " + self.main()["hwnd"])["focus"]

    def send(self, hwnd, message, wparam=0, lparam=0):
        """A message without pointers to one of the designer's windows; its answer."""
        r = self.s.probe.ask("send %s %x %x %x" % (hwnd, message, wparam, lparam))
        check(r["ok"], "the designer did not answer message 0x%x" % message)
        return r["result"]

    def wheel(self, x, y, notches):
        """The mouse wheel turned at the screen's (x, y): positive away from the user (up)."""
        self.xdo("mousemove", x, y)
        time.sleep(0.2)
        for _ in range(abs(notches)):
            self.xdo("click", 4 if notches > 0 else 5)
            time.sleep(0.1)
        time.sleep(0.3)

    def click_child(self, control_id):
        """A click in the middle of the panel's control of that id (link_panel_ids.h)."""
        kids = self.s.probe.ask("children " + self.main()["hwnd"])["children"]
        found = [k for k in kids if k["id"] == control_id]
        check(found, "the designer has no control %d" % control_id)
        r = found[0]["rect"]
        self.xdo("mousemove", (r[0] + r[2]) // 2, (r[1] + r[3]) // 2)
        time.sleep(0.1)
        self.xdo("click", 1)
        time.sleep(0.3)

    def type_into(self, control_id, text):
        """Characters the virtual display's keyboard has no keys for (xdotool's remapping of spare keys
        loses letters under Wine), posted to the control as a keyboard layout of their script would."""
        kids = self.s.probe.ask("children " + self.main()["hwnd"])["children"]
        found = [k for k in kids if k["id"] == control_id]
        check(found, "the designer has no control %d" % control_id)
        self.s.probe.ask("chars %s %s" % (found[0]["hwnd"], text))
        time.sleep(0.5)

    def accessible(self, *args):
        """What a screen reader reads from the page view (accprobe.cpp)."""
        hwnd = self.child("VelmaroDesignPage")["hwnd"]
        # A designer busy with its check answers late; a reader asks again.
        for attempt in range(3):
            r = subprocess.run([self.s.loader, self.s.opts.accprobe, hwnd] + [str(a) for a in args],
                               env=self.s.env(), capture_output=True, timeout=60)
            lines = [l for l in r.stdout.decode("utf-8", "replace").splitlines() if l.startswith("{")]
            check(lines, "the accessible probe said nothing (exit %d): %s" % (r.returncode, r.stderr[-400:]))
            reply = json.loads(lines[-1])
            if "error" not in reply:
                return reply
            time.sleep(1)
        raise CaseFailure("accessible probe: %s" % reply.get("error"))

    def wait_status(self, what, test, timeout=8):
        try:
            return wait_for(what, lambda: test(self.status()), timeout)
        except CaseFailure:
            raise CaseFailure("%s: the status line says %r" % (what, self.status())) from None

    def keys_until(self, what, keys, test, tries=5):
        """Presses `keys` until the status line passes `test`: the designer may still be checking the disc
        when the first keys come."""
        for _ in range(tries):
            self.click(380, 280)
            self.keys(*keys)
            try:
                return wait_for(what, lambda: test(self.status()), 3)
            except CaseFailure:
                pass
        raise CaseFailure("%s: the status line says %r" % (what, self.status()))

    def wait_title(self, what, test, timeout=8):
        return wait_for(what, lambda: test(self.title()), timeout)

    def close(self):
        m = self.main()
        if m:
            self.s.probe.ask("close " + m["hwnd"])
        wait_for("the designer to end", lambda: self.proc.poll() is not None, 15)

    def finish(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(10)
        if getattr(self, "log", None):
            self.log.close()


def file_bytes(p, name):
    with open(os.path.join(p.disc, name), "rb") as f:
        return f.read()


def wait_file(p, name, want, timeout=10):
    def same():
        try:
            return file_bytes(p, name) == want
        except OSError:
            return False
    try:
        wait_for("%s to hold the expected bytes" % name, same, timeout)
    except CaseFailure:
        raise CaseFailure("%s holds\n  %r\nexpected\n  %r" % (name, file_bytes(p, name), want)) from None
