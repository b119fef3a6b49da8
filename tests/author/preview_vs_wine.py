"""velmaro-author preview against the real velmaro.exe under Wine.

For each disc and DPI, the program runs on a virtual display and the probe grabs its menu's client area;
the preview draws the same page into a PNG. On each side the text is found as the pixels that differ from the
same page without links (a twin disc whose menu.inf is empty), so the picture itself does not count. The text
is cut into links by empty rows and wide empty columns, and each link's box must lie within 2 px of the real
one. Fonts a disc names that are not installed are mapped in Wine to the face the preview says it used, so
both sides draw the same face.
"""

import argparse
import json
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

# The end-to-end machinery's checks and waits, and its Windows paths.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from driver import CaseFailure as Failure, WineDidNotStart, boot_prefix, check, to_windows, wait_for  # noqa: E402

TOLERANCE = 2
THRESHOLD = 48  # a channel this far from the bare page marks text
SUBSTITUTE_RE = re.compile(r'^preview: "(.*)" is not installed here; drawn with "(.*)"$')

# Discs after the end-to-end cases' own (a navy 400 x 300 BMP, links 40 px apart), in faces Linux and Wine
# both have.
WHITE, YELLOW = 16777215, 65535


def line(index, caption, font, style, colour, left, top, action="7"):
    return "0|%d|%s|%s|%s|%d|%d|%d|%d|%s|" % (index, caption, font, style, colour, YELLOW, left, top, action)


FIXTURES = {
    "standard": (["001", "", "", "menu.bmp", "", ""], (400, 300), "000080", [
        line(0, "Install", "Liberation Sans", "1014", WHITE, 600, 600, "0|recorder.exe -alpha beta"),
        line(1, "Quit", "Liberation Sans", "1014", WHITE, 600, 1200, "6"),
        line(2, "Tom && &Jerry", "Liberation Sans", "1014", WHITE, 600, 1800),
        line(3, "Read the &guide", "Liberation Sans", "0012", 65280, 600, 2400),
        line(4, "Italic text", "Liberation Sans", "0112", WHITE, 600, 3000),
    ]),
    "styles": (["001", "", "", "wide.bmp", "", ""], (520, 360), "203040", [
        line(0, "Large heading", "DejaVu Sans", "1020", 65535, 450, 300),
        line(1, "Small print, 9 points", "DejaVu Sans", "0009", 16777215, 450, 1200),
        line(2, "Serif &italic", "DejaVu Serif", "0114", 12632256, 450, 1800),
        line(3, "Left", "DejaVu Sans", "1012", 255, 450, 2700),
        line(4, "Right", "DejaVu Sans", "1012", 16711935, 3600, 2700),
        line(5, "Sans 11 with wgjpq", "Liberation Sans", "0011", 16777215, 450, 3450),
        line(6, "Verdana names no font here", "Verdana", "0010", 16777215, 450, 4350),
    ]),
}


def run(args, **kw):
    return subprocess.run(args, check=True, **kw)


def read_rgb(png):
    """Rows of (r, g, b) tuples, through ImageMagick."""
    size = subprocess.run(["identify", "-format", "%w %h", png], capture_output=True, text=True,
                          check=True).stdout.split()
    w, h = int(size[0]), int(size[1])
    raw = subprocess.run(["convert", png, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    return [[tuple(raw[(y * w + x) * 3:(y * w + x) * 3 + 3]) for x in range(w)] for y in range(h)]


def grid(reply):
    return [[(int(r[i:i + 2], 16), int(r[i + 2:i + 4], 16), int(r[i + 4:i + 6], 16)) for i in range(0, len(r), 6)]
            for r in reply["rows"]]


def text_mask(page, bare):
    check(len(page) == len(bare) and len(page[0]) == len(bare[0]),
          "the page is %dx%d, the bare page %dx%d" % (len(page[0]), len(page), len(bare[0]), len(bare)))
    return [[max(abs(a - b) for a, b in zip(p, q)) >= THRESHOLD for p, q in zip(prow, qrow)]
            for prow, qrow in zip(page, bare)]


def spans(flags, gap):
    """Runs of True, joined across gaps of at most `gap` False."""
    out = []
    for i, f in enumerate(flags):
        if not f:
            continue
        if out and i - out[-1][1] <= gap:
            out[-1][1] = i + 1
        else:
            out.append([i, i + 1])
    return out


def links(mask):
    """Boxes [left, top, right, bottom] of the text: bands of rows, cut where columns stay empty for longer
    than the band is high (farther apart than words of one caption)."""
    boxes = []
    for top, bottom in spans([any(row) for row in mask], 2):
        band = mask[top:bottom]
        columns = [any(row[x] for row in band) for x in range(len(mask[0]))]
        for left, right in spans(columns, bottom - top):
            rows = [y for y in range(top, bottom) if any(mask[y][left:right])]
            boxes.append([left, rows[0], right, rows[-1] + 1])
    return boxes


class Wine:
    def __init__(self, opts, work):
        self.opts, self.work = opts, work
        self.prefix = os.path.join(work, "prefix")
        self.xvfb = self.probe = None

    def env(self):
        e = dict(os.environ)
        e.update(WINEPREFIX=self.prefix, WINEDEBUG="-all", DISPLAY=self.display, LANG="C.UTF-8",
                 WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d")
        e.pop("WINELOADER", None)
        e.pop("WINEARCH", None)
        if self.opts.arch == "win64":
            e.update(WINEARCH="win64", WINELOADER=self.opts.loader)
        return e

    def start(self, replacements):
        displayfile = os.path.join(self.work, "display")
        with open(displayfile, "w") as f:
            self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(f.fileno()), "-screen", "0", "1024x768x24",
                                          "-nolisten", "tcp", "-noreset"], pass_fds=(f.fileno(),), stdout=subprocess.DEVNULL,
                                         stderr=subprocess.DEVNULL)
        wait_for("Xvfb", lambda: open(displayfile).read().strip(), 10)
        self.display = ":" + open(displayfile).read().strip()
        log = open(os.path.join(self.work, "wine.log"), "w")
        # The prefix, the registry and the probe are 64-bit business; only the program may be 32-bit.
        loader64 = self.opts.wine64 or self.opts.loader
        log.close()
        boot_prefix(loader64, self.opts.wineserver, self.env(), self.prefix, log.name)
        log = open(log.name, "a")
        reg = os.path.join(self.work, "setup.reg")
        with open(reg, "w") as f:
            f.write("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n\"Desktop\"=\"Default\"\n\n"
                    "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n\"Default\"=\"1024x768\"\n\n"
                    "[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\n")
            for wanted, used in sorted(replacements.items()):
                f.write('"%s"="%s"\n' % (wanted, used))
        run([loader64, "regedit", "/s", to_windows(reg)], env=self.env(), stdout=log, stderr=log, timeout=60)
        self.probe = subprocess.Popen([loader64, self.opts.probe], stdin=subprocess.PIPE,
                                      stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=self.env())
        self.buf = b""
        self.ask("ping", 60)

    def ask(self, line, timeout=15):
        self.probe.stdin.write((line + "\n").encode())
        self.probe.stdin.flush()
        end = time.monotonic() + timeout
        while b"\n" not in self.buf:
            left = end - time.monotonic()
            if left <= 0 or not select.select([self.probe.stdout], [], [], left)[0]:
                raise Failure("the probe did not answer " + line)
            chunk = os.read(self.probe.stdout.fileno(), 1 << 20)
            check(chunk, "the probe ended")
            self.buf += chunk
        reply, _, self.buf = self.buf.partition(b"\n")
        return json.loads(reply.decode("utf-8", "replace"))

    def menu_pixels(self, disc):
        """The client area of the program's menu, once it has painted."""
        self.ask("kill velmaro.exe")
        proc = subprocess.Popen([self.opts.loader, os.path.join(disc, "velmaro.exe")], cwd=disc, env=self.env(),
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            def menu():
                ws = self.ask("windows velmaro.exe")["windows"]
                ws = [w for w in ws if w["visible"] and w["style"] & 0x00C00000 and w["class"] != "#32770"]
                return ws[0] if ws else None
            wait_for("the menu of " + disc, menu, 30)
            c = menu()["client"]

            # Painted: two grabs a moment apart agree and are not the black of a window not painted yet.
            # Under emulation the first paint of a scaled picture can take a second or two.
            def painted():
                first = self.ask("pixels %d %d %d %d" % tuple(c), 30)
                time.sleep(0.5)
                second = self.ask("pixels %d %d %d %d" % tuple(c), 30)
                g = grid(second)
                return g if first == second and any(v != (0, 0, 0) for row in g for v in row) else None
            return wait_for("the menu of %s to paint" % disc, painted, 20)
        finally:
            self.ask("kill velmaro.exe")
            proc.wait(10)

    def stop(self):
        if self.probe:
            try:
                self.probe.stdin.write(b"quit\n")
                self.probe.stdin.flush()
                self.probe.wait(10)
            except Exception:
                self.probe.kill()
        if os.path.isdir(self.prefix):
            subprocess.run([self.opts.wineserver, "-k"], env=self.env(), timeout=30)
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait(10)


def make_discs(opts, work):
    """Each disc and its bare twin (no links), with the program beside them."""
    discs = {}
    sample = os.path.join(work, "sample")
    shutil.copytree(opts.sample, sample)
    discs["sample"] = sample
    for name, (kavo, size, colour, menu) in FIXTURES.items():
        d = os.path.join(work, name)
        os.makedirs(d)
        with open(os.path.join(d, "kavo.inf"), "w", newline="") as f:
            f.write("".join(l + "\r\n" for l in kavo))
        with open(os.path.join(d, "menu.inf"), "w", newline="") as f:
            f.write("".join(l + "\r\n" for l in menu))
        run(["convert", "-size", "%dx%d" % size, "xc:#" + colour, "BMP3:" + os.path.join(d, kavo[3])])
        discs[name] = d
    # The sample shows its menu at once, without splash and sounds, so that a run takes a second.
    with open(os.path.join(sample, "kavo.inf"), "w", newline="") as f:
        f.write("001\r\n\r\n\r\nimages\\menu.png\r\n\r\n\r\n")
    for name, d in list(discs.items()):
        shutil.copy(opts.exe, os.path.join(d, "velmaro.exe"))
        bare = d + "-bare"
        shutil.copytree(d, bare)
        open(os.path.join(bare, "menu.inf"), "w").close()
    return discs


def preview(opts, disc, dpi, out):
    r = subprocess.run([opts.author, "preview", disc, "--page", "0", "--dpi", str(dpi), "--out", out],
                       capture_output=True, text=True)
    check(r.returncode == 0, "preview of %s failed (%d): %s" % (disc, r.returncode, r.stderr))
    substitutes = dict(m.groups() for m in map(SUBSTITUTE_RE.match, r.stdout.splitlines()) if m)
    return read_rgb(os.path.join(out, "page-0.png")), substitutes


def main():
    ap = argparse.ArgumentParser()
    for a in ("exe", "probe", "author", "sample", "loader", "wineserver", "arch"):
        ap.add_argument("--" + a, required=True)
    ap.add_argument("--wine64", help="the 64-bit loader that goes with --loader (default: --loader)")
    ap.add_argument("--dpi", default="96,144")
    ap.add_argument("--keep", action="store_true")
    opts = ap.parse_args()
    work = tempfile.mkdtemp(prefix="velmaro-preview.")
    wine = Wine(opts, work)
    worst = {}
    failures = []
    try:
        discs = make_discs(opts, work)
        dpis = [int(d) for d in opts.dpi.split(",")]
        previews, replacements = {}, {}
        for name, d in discs.items():
            for dpi in dpis:
                for twin in (d, d + "-bare"):
                    out = os.path.join(work, "png", os.path.basename(twin), str(dpi))
                    previews[twin, dpi], subs = preview(opts, twin, dpi, out)
                    replacements.update(subs)
        wine.start(replacements)
        for dpi in dpis:
            check(wine.ask("logpixels %d" % dpi).get("ok"), "could not set the DPI")
            for name, d in discs.items():
                real = links(text_mask(wine.menu_pixels(d), wine.menu_pixels(d + "-bare")))
                drawn = links(text_mask(previews[d, dpi], previews[d + "-bare", dpi]))
                title = "%s at %d DPI" % (name, dpi)
                if len(real) != len(drawn) or not real:
                    failures.append("%s: the program shows %d links %r, the preview %d %r" % (
                        title, len(real), real, len(drawn), drawn))
                    continue
                off = max(abs(a - b) for r, p in zip(real, drawn) for a, b in zip(r, p))
                worst[dpi] = max(worst.get(dpi, 0), off)
                print("%-22s %d links, worst edge %d px" % (title, len(real), off))
                if off > TOLERANCE:
                    failures.append("%s: boxes differ by up to %d px\n  program %r\n  preview %r" % (
                        title, off, real, drawn))
        if replacements:
            print("fonts mapped in Wine as in the preview: %s" % ", ".join(
                "%s -> %s" % kv for kv in sorted(replacements.items())))
    except Failure as e:
        failures.append(str(e))
    except WineDidNotStart as e:
        print("preview-vs-wine: Wine did not start here, so nothing was compared: %s" % e, flush=True)
        return 3
    finally:
        wine.stop()
        if opts.keep:
            print("kept " + work)
        else:
            shutil.rmtree(work, ignore_errors=True)
    for dpi, off in sorted(worst.items()):
        print("worst deviation at %d DPI: %d px" % (dpi, off))
    for f in failures:
        print("FAIL " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
