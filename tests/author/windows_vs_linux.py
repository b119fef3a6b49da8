"""check on Windows (under Wine) and on Linux over the same discs: same findings, same exit status."""
import argparse
import concurrent.futures
import difflib
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

# Findings whose verdict rests on a caption's measured size, which GDI's and pango's fonts give differently.
FONT_CODES = {"link-outside", "link-overlap"}

STARTER_MENU_LINE = "0|0|Quit|Verdana|0012|16777215|65535|900|1800|6|"


def broken_discs(starter, work):
    """A disc for each kind of mistake the check reports, from the starter disc."""
    def disc(name, menu=None, kavo=None, remove=(), files=()):
        folder = os.path.join(work, name)
        shutil.copytree(starter, folder)
        if menu is not None:
            with open(os.path.join(folder, "menu.inf"), "wb") as f:
                f.write(menu.encode("latin-1") if isinstance(menu, str) else menu)
        if kavo is not None:
            with open(os.path.join(folder, "kavo.inf"), "wb") as f:
                f.write(kavo.encode("latin-1"))
        for r in remove:
            path = os.path.join(folder, r)
            shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
        for name_, data in files:
            with open(os.path.join(folder, name_), "wb") as f:
                f.write(data)
        return folder

    tail = "|Verdana|0012|16777215|65535|900|600|7|\r\n"
    return [
        disc("broken-fields", "0|0|A" + tail + "0|50|B" + tail + "0|1|C|Verdana|12|255|white|900|900|7|\r\n"
             "0|2|D|Verdana|0012|#FFFFFF|65535|900|1200|7|\r\n"),
        disc("broken-files", "0|0|Read|Verdana|0012|16777215|65535|900|600|3|docs\\readme.tx|\r\n"
             "0|1|Run|Verdana|0012|16777215|65535|900|900|0|\"tools\\hello.cmd\" -x|\r\n"
             "0|2|Sound|Verdana|0012|16777215|65535|900|1200|8|images\\menu.png|\r\n",
             kavo="10\r\nimages\\Splash.png\r\n\r\nimages\\menu.png\r\nsounds\\gone.wav\r\n\r\n"),
        disc("broken-pages", "0|0|Next|Verdana|0012|16777215|65535|900|600|5|3|\r\n"
             "0|1|Odd|Verdana|0012|16777215|65535|900|900|04|\r\n"
             "2|0|Alone|Verdana|0012|16777215|65535|900|600|6|\r\n"
             "0|2|Cut|Verdana|0012|16777215|65535|900|1200|3|docs\\readme.txt\r\n"),
        disc("broken-ansi", b"0|0|Caf\xe9|Verdana|0012|16777215|65535|900|600|6|\r\n"
             b"0|1|Far|Verdana|0012|16777215|65535|90000|600|6|\r\n"
             b"0|2|Same|Verdana|0012|16777215|65535|900|600|6|\r\n"),
        disc("broken-missing", remove=("autorun.inf", "menu.inf")),
        disc("broken-kavo", kavo="1\r\n"),
    ]


def menu_discs(starter, menus, work):
    """The starter disc with each end-to-end case's menu.inf."""
    discs = []
    for name in sorted(os.listdir(menus)):
        folder = os.path.join(work, "e2e-" + re.sub(r"[^A-Za-z0-9.-]+", "-", name))
        shutil.copytree(starter, folder)
        shutil.copy(os.path.join(menus, name), os.path.join(folder, "menu.inf"))
        discs.append(folder)
    return discs


# set's edits, each on its own copy of a disc (by the name broken_discs gives it, or "starter"): both builds
# must leave the same bytes, print the same and exit alike.
SET_CASES = [
    ("starter", ["menu.inf:2", "caption=Setup", "left=960", "menu.inf:3", "duplicate", "menu.inf:1", "delete",
                 "MENU.INF:1", "insert", "1|0|Back|Verdana|0012|16777215|65535|900|600|5|0|",
                 "kavo.inf", "flags=001", "hover="]),
    ("broken-ansi", ["menu.inf:1", "caption=\u041f\u0440\u0438\u0432\u0435\u0442"]),  # refused: CP1252
    ("broken-ansi", ["--utf8", "menu.inf:1", "caption=\u041f\u0440\u0438\u0432\u0435\u0442"]),
    ("broken-ansi", ["--codepage", "1251", "menu.inf:2", "caption=\u041f\u0440\u0438\u0432\u0435\u0442"]),
    ("broken-ansi", ["menu.inf:1", "caption=ok", "menu.inf:9", "caption=no line"]),
    ("starter", ["--codepage", "no-such-page", "menu.inf:1", "caption=x"]),
]


def compare_set(linux_tool, windows_tool, loader, discs, work):
    """Runs each of SET_CASES with both builds; returns the number of cases that differ."""
    failed = 0
    for number, (base, edits) in enumerate(SET_CASES):
        results = []
        for system, command in (("linux", [linux_tool]), ("windows", [loader, windows_tool])):
            where = os.path.join(work, "set-" + system)
            os.makedirs(where, exist_ok=True)
            name = "set-%d" % number
            shutil.copytree(discs[base], os.path.join(where, name))
            status, out = run(command + ["set", name] + edits, where)
            files = {f: open(os.path.join(where, name, f), "rb").read() for f in ("menu.inf", "kavo.inf")}
            results.append((status, out, files))
        if results[0] != results[1]:
            failed += 1
            print("DIFF  set on %s %s: exit %d on Linux, %d on Windows" %
                  (base, " ".join(edits), results[0][0], results[1][0]))
            for f in ("menu.inf", "kavo.inf"):
                if results[0][2][f] != results[1][2][f]:
                    print("    %s:\n      linux   %r\n      windows %r" % (f, results[0][2][f][:300],
                                                                        results[1][2][f][:300]))
            if results[0][1] != results[1][1]:
                print("    output:\n      linux   %r\n      windows %r" % (results[0][1], results[1][1]))
    return failed


def compare_new(linux_tool, windows_tool, loader, work):
    """new with the Windows and the Linux program beside the given exe, as a release ships them: both builds
    write the same files (the pictures, drawn by cairo and by GDI, only under the same names). Returns the
    number of differences."""
    shipped = os.path.join(work, "shipped")
    os.makedirs(shipped)
    open(os.path.join(shipped, "velmaro.exe"), "wb").write(b"MZ" + bytes(range(256)))
    open(os.path.join(shipped, "velmaro"), "wb").write(b"\x7fELF\x02\x01" + bytes(range(256)))
    trees = []
    for system, command in (("linux", [linux_tool]), ("windows", [loader, windows_tool])):
        status, out = run(command + ["new", "new-" + system, "--exe", os.path.join("shipped", "velmaro.exe")], work)
        root = os.path.join(work, "new-" + system)
        files = {}
        for folder, _, names in os.walk(root):
            for name in names:
                path = os.path.join(folder, name)
                relative = os.path.relpath(path, root).replace(os.sep, "/")
                files[relative] = None if relative.startswith("images/") else open(path, "rb").read()
        trees.append((status, files))
    if trees[0] == trees[1] and "autorun.sh" in trees[0][1]:
        return 0
    print("DIFF  new with the Linux program beside the exe: exit %d on Linux, %d on Windows" %
          (trees[0][0], trees[1][0]))
    for name in sorted(set(trees[0][1]) | set(trees[1][1])):
        if trees[0][1].get(name, b"missing") != trees[1][1].get(name, b"missing"):
            print("    %s differs or is missing on one" % name)
    return 1


def compare_codepage_help(linux_tool, windows_tool, loader, disc, work):
    """Each build's check --help names the code pages that build takes: every name it gives as an example
    reads the disc. Returns the number of names refused or help that promises what the build lacks."""
    failed = 0
    for system, command in (("linux", [linux_tool]), ("windows", [loader, windows_tool])):
        status, text = run(command + ["check", "--help"], work)
        help_text = " ".join(text[text.index("--codepage"):text.index("--ignore")].split())
        names = re.findall(r"\b(?:CP\d+|\d{3,5}|windows-\d+|[A-Z][A-Z0-9]*[-_][A-Z0-9-]*[A-Z0-9])\b", help_text)
        if system == "windows" and "iconv" in help_text:
            print("DIFF  check --help on Windows speaks of iconv: %s" % help_text)
            failed += 1

        def reads(name):
            return name, run(command + ["check", disc, "--codepage", name, "--format", "json"], work)[0]

        with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
            for name, status in pool.map(reads, names):
                if status == 2:
                    print("DIFF  check --help on %s names the code page %s, which check refuses" % (system, name))
                    failed += 1
    return failed


def run(command, cwd):
    # Under emulation a Wine process is now and then killed from outside; such a run is made again, once.
    for attempt in range(2):
        done = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=600)
        if done.returncode >= 0:
            break
    return done.returncode, done.stdout.decode("utf-8", "replace")


def sarif_normalised(text):
    """SARIF names the disc by its absolute URI, which differs between the two systems by design."""
    try:
        log = json.loads(text)
    except ValueError:
        return text
    for r in log.get("runs", []):
        r.pop("originalUriBaseIds", None)
        for tool in [r.get("tool", {}).get("driver", {})]:
            tool.pop("fullName", None)
    return json.dumps(log, indent=1, ensure_ascii=False)


def codes_in(lines):
    found = set()
    for line in lines:
        found.update(re.findall(r"\[([a-z0-9-]+)\]", line))
        found.update(re.findall(r'"code": "([a-z0-9-]+)"', line))
        found.update(re.findall(r'"ruleId": "([a-z0-9-]+)"', line))
    return found


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--linux", required=True)
    ap.add_argument("--windows", required=True)
    ap.add_argument("--loader", required=True)
    ap.add_argument("--sample", required=True)
    ap.add_argument("--menus", required=True)
    ap.add_argument("-k", default="")
    args = ap.parse_args()

    work = tempfile.mkdtemp(prefix="velmaro-windows-vs-linux-")
    try:
        starter = os.path.join(work, "starter")
        subprocess.run([args.linux, "new", starter], check=True, stdout=subprocess.DEVNULL)
        open(os.path.join(starter, "velmaro.exe"), "wb").write(b"MZ")
        sample = os.path.join(work, "sample")
        shutil.copytree(args.sample, sample)
        # The Windows build's own starter disc, which both must find nothing wrong with.
        windows_new = os.path.join(work, "windows-new")
        made = run([args.loader, args.windows, "new", "windows-new"], work)
        if made[0] != 0 or not os.path.isfile(os.path.join(windows_new, "images", "menu.png")):
            print("windows-vs-linux: new on Windows failed (exit %d): %s" % (made[0], made[1]))
            return 1
        open(os.path.join(windows_new, "velmaro.exe"), "wb").write(b"MZ")
        discs = [starter, sample, windows_new] + broken_discs(starter, work) + menu_discs(starter, args.menus, work)
        discs = [d for d in discs if re.search(args.k, os.path.basename(d))]

        jobs = []
        for disc in discs:
            name = os.path.basename(disc)
            # The end-to-end menus are many: their JSON holds every finding; the formats are compared on the rest.
            for fmt in ("json",) if name.startswith("e2e-") else ("text", "json", "sarif"):
                jobs.append((name, fmt))

        def compare(job):
            name, fmt = job
            options = ["--format", fmt] + (["--max-findings", "0"] if fmt == "text" else [])
            linux = run([args.linux, "check", name] + options, work)
            windows = run([args.loader, args.windows, "check", name] + options, work)
            return job, linux, windows

        same = fonts = failed = 0
        # Two at a time: most of a run under Wine is waiting for it to start.
        with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
            for (name, fmt), linux, windows in pool.map(compare, jobs):
                lout, wout = linux[1], windows[1]
                if fmt == "sarif":
                    lout, wout = sarif_normalised(lout), sarif_normalised(wout)
                if linux[0] == windows[0] and lout == wout:
                    same += 1
                    continue
                box = re.compile(r"\(\d+,\d+ to \d+,\d+ twips\)")
                boxes_only = box.sub("(box)", lout) == box.sub("(box)", wout)
                diff = list(difflib.unified_diff(lout.splitlines(), wout.splitlines(), "linux", "windows",
                                                 lineterm="", n=1))
                changed = [l for l in diff if l[:1] in "+-" and l[:3] not in ("+++", "---")]
                codes = codes_in(changed)
                explained = linux[0] == windows[0] and (boxes_only or (codes and codes <= FONT_CODES))
                print("%s %s --format %s: exit %d on Linux, %d on Windows%s" %
                      ("FONTS" if explained else "DIFF ", name, fmt, linux[0], windows[0],
                       " (a caption measured in other fonts)" if explained else ""))
                print("\n".join("    " + l for l in diff[:60]))
                if explained:
                    fonts += 1
                else:
                    failed += 1
        if re.search(args.k, "new"):
            new_failed = compare_new(args.linux, args.windows, args.loader, work)
            same += 1 - new_failed
            failed += new_failed
        if re.search(args.k, "codepage"):
            help_failed = compare_codepage_help(args.linux, args.windows, args.loader, starter, work)
            same += 1 - min(help_failed, 1)
            failed += help_failed
        if re.search(args.k, "set"):
            by_name = {os.path.basename(d): d for d in [starter] + broken_discs(starter, os.path.join(work, "set-bases"))}
            set_failed = compare_set(args.linux, args.windows, args.loader, by_name, work)
            same += len(SET_CASES) - set_failed
            failed += set_failed
        # preview on Windows draws every page of the sample disc.
        shown = run([args.loader, args.windows, "preview", "sample", "--out", "sample-preview", "--overlay"], work)
        pictures = sorted(os.listdir(os.path.join(work, "sample-preview"))) if shown[0] == 0 else []
        if len(pictures) != 6:
            print("DIFF  preview of the sample disc on Windows: exit %d, pictures %s" % (shown[0], pictures))
            failed += 1
        print("windows-vs-linux: %d outputs the same, %d differing by fonts only, %d differing otherwise, "
              "over %d discs" % (same, fonts, failed, len(discs)))
        return 1 if failed else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
