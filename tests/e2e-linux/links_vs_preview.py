#!/usr/bin/env python3
"""The Linux program's links against velmaro-author preview, by the method preview-vs-wine uses against the
Windows program: on each side the text is the pixels that differ from the same page without links, cut into
links, and each link's box must lie within 2 px of the preview's. preview-vs-wine holds the preview within
2 px of velmaro.exe under Wine, on the same discs (its fixtures and the sample disc), at 96 DPI.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "author"))
import preview_vs_wine as pvw  # noqa: E402

LOADER = "/lib64/ld-linux-x86-64.so.2"


def menu_pixels(program, disc, display, work):
    """The inner area of the program's menu on the display, once painted, as rows of (r, g, b)."""
    shutil.copy(program, os.path.join(disc, "velmaro"))
    env = dict(os.environ, DISPLAY=display, GDK_BACKEND="x11", LANG="C.UTF-8")
    proc = subprocess.Popen([LOADER, os.path.join(disc, "velmaro")], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        def window():
            ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(proc.pid)], env=env,
                                 capture_output=True, text=True).stdout.split()
            for wid in ids:
                geometry = subprocess.run(["xwininfo", "-id", wid], env=env, capture_output=True, text=True).stdout
                get = lambda key: int(geometry.split(key + ":")[1].split()[0])
                if get("Width") > 1:
                    return (get("Absolute upper-left X"), get("Absolute upper-left Y"), get("Width"), get("Height"))
            return None
        x, y, w, h = pvw.wait_for("the menu of " + disc, window, 20)
        png = os.path.join(work, os.path.basename(disc) + ".png")

        def painted():
            grabs = []
            for _ in range(2):
                subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y), png], env=env,
                               check=True)
                grabs.append(pvw.read_rgb(png))
                time.sleep(0.3)
            g = grabs[1]
            return g if grabs[0] == g and any(v != (0, 0, 0) for row in g for v in row) else None
        return pvw.wait_for("the menu of %s to paint" % disc, painted, 20)
    finally:
        proc.kill()
        proc.wait()


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    for a in ("program", "author", "sample"):
        ap.add_argument("--" + a, required=True)
    ap.add_argument("--keep", action="store_true")
    opts = ap.parse_args()
    opts.exe = opts.program  # the discs get a program beside them; ours is copied in as velmaro
    work = tempfile.mkdtemp(prefix="velmaro-links.")
    xvfb = None
    failures, worst = [], 0
    try:
        discs = pvw.make_discs(opts, work)
        displayfile = os.path.join(work, "display")
        with open(displayfile, "w") as f:
            xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(f.fileno()), "-screen", "0", "1024x768x24",
                                     "-nolisten", "tcp", "-noreset"], pass_fds=(f.fileno(),), stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
        pvw.wait_for("Xvfb", lambda: open(displayfile).read().strip(), 10)
        display = ":" + open(displayfile).read().strip()
        for name, d in discs.items():
            drawn_png = {}
            for twin in (d, d + "-bare"):
                out = os.path.join(work, "png", os.path.basename(twin))
                drawn_png[twin], _ = pvw.preview(opts, twin, 96, out)
            shown = pvw.links(pvw.text_mask(menu_pixels(opts.program, d, display, work),
                                            menu_pixels(opts.program, d + "-bare", display, work)))
            drawn = pvw.links(pvw.text_mask(drawn_png[d], drawn_png[d + "-bare"]))
            if len(shown) != len(drawn) or not shown:
                failures.append("%s: the Linux program shows %d links %r, the preview %d %r" % (
                    name, len(shown), shown, len(drawn), drawn))
                continue
            off = max(abs(a - b) for r, p in zip(shown, drawn) for a, b in zip(r, p))
            worst = max(worst, off)
            print("%-10s %d links, worst edge %d px" % (name, len(shown), off))
            if off > pvw.TOLERANCE:
                failures.append("%s: boxes differ by up to %d px\n  program %r\n  preview %r" % (
                    name, off, shown, drawn))
    except pvw.Failure as e:
        failures.append(str(e))
    finally:
        if xvfb:
            xvfb.terminate()
            xvfb.wait(10)
        if opts.keep:
            print("kept " + work)
        else:
            shutil.rmtree(work, ignore_errors=True)
    print("worst deviation at 96 DPI: %d px" % worst)
    for f in failures:
        print("FAIL " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
