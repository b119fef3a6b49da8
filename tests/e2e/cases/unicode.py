"""Texts the system's ANSI code page cannot hold, on a Western Windows (code page 1252): a menu.inf in UTF-8
with Cyrillic, Greek and Japanese, and a disc in a folder named in Cyrillic."""

import io
import math
import struct
import time
import wave

from driver import RECORDER, Case, check, link, mci, mci_open, shell, shell_w, text_mask
from cases.common import BG_PLAY, FILE_MSG, HANDLER, MO_PLAY, SOUND_MSG, sounds_opened

WESTERN = dict(lang="C.UTF-8", code_page=1252)

CYRILLIC = "Установка"
GREEK = "Ελληνικά"
JAPANESE = "日本語のリンク"
TOOL = CYRILLIC + ".exe"
SOUND = "sounds\\Ήχος.wav"

# Wine's waveaudio device opens its file through mmioOpenW, which turns the name into the ANSI code page
# first: a path outside it never opens there (on Windows it does). Each later command on the alias then
# makes Wine try to open the alias itself. The command the program sends is what these cases prove.
WINE_RETRIES = [mci("open %s wait" % alias) for alias in ("mcibg", "mcimo", "mciextra")]


def wav_bytes():
    """A short tone, for a sound file named in Greek."""
    out = io.BytesIO()
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(8000)
        w.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(i / 3.0))) for i in range(2400)))
    return out.getvalue()


def captions(p):
    p.start()
    p.wait_menu()
    p.expect_events(sounds_opened(p) + BG_PLAY)
    for index, text in enumerate((CYRILLIC, GREEK, JAPANESE)):
        c = p.colours_at(index, width=120)
        check(c.get("ffffff", 0) > 15, "the caption %r shows no text of its colour: %r" % (text, c))
    # Kana that the font cannot draw come out as the same empty box each: three different ones would then
    # look like three of one.
    def mask(index):
        return text_mask(p.pixels(p.px(600), p.px(600 + 600 * index), 80, 24))
    same, different = mask(3), mask(4)
    check(same and different, "the kana captions show nothing")
    check(same != different, "three different kana look like three of one: the font has no kana")
    p.over_link(1)
    p.expect_link_colour(1, "yellow")
    p.no_error_box()


def click_first_link(p):
    """Starts the program, lights link 0 with its sound and clicks it; what the click does comes next."""
    p.start()
    p.wait_menu()
    p.set_mark()
    p.over_link(0)
    p.expect_events(MO_PLAY)
    p.over_link(0, click=True)


def program(p):
    click_first_link(p)
    p.expect_events([shell_w("menu", p.app + TOOL, "x Ω")])
    p.expect_record(["x", "Ω"], "\\" + TOOL)
    p.no_error_box()
    check(p.alive(), "the program ended")


def sound(p):
    click_first_link(p)
    p.expect_events([mci("close mciExtra"), mci_open(p.app + SOUND, "mciExtra"), mci("seek mciExtra to start"),
                     mci("play mciExtra")], ignore=WINE_RETRIES)
    p.no_error_box()


def missing(message, title, before, after):
    def script(p):
        click_first_link(p)
        box = p.expect_box(title, message)
        p.expect_events(before(p))
        p.press_ok(box)
        p.expect_events(after(p))
        check(p.alive(), "the program ended")
    return script


def folder(p):
    """ANSI files; only the program's own path needs the wide calls."""
    p.start()
    p.wait_menu()
    p.expect_events(sounds_opened(p) + BG_PLAY, ignore=WINE_RETRIES)
    p.over_link(1)
    p.expect_events(MO_PLAY, ignore=WINE_RETRIES)
    p.over_link(1, click=True)
    p.expect_events([shell_w("menu", p.app + "docs\\guide.e2edoc")])
    p.expect_record([p.app + "docs\\guide.e2edoc"], HANDLER)
    time.sleep(0.3)
    p.over_background()
    p.over_link(2)
    p.over_link(2, click=True)
    p.expect_events(MO_PLAY + [mci("close mciExtra"), mci_open(p.app + "sounds\\hello.wav", "mciExtra"),
                               mci("seek mciExtra to start"), mci("play mciExtra")], ignore=WINE_RETRIES)
    p.no_error_box()
    check(p.alive(), "the program ended")


def folder_launch(p):
    p.start()
    p.wait_menu()
    p.set_mark()
    p.over_link(0)
    p.over_link(0, click=True)
    p.expect_events(MO_PLAY + [shell_w("menu", p.app + "recorder.exe", "alpha beta")], ignore=WINE_RETRIES)
    p.expect_record(["alpha", "beta"], "\\recorder.exe")
    p.no_error_box()


def utf8_case(name, script, menu, files=None):
    return Case("Unicode text", name, script, menu=menu + [link(len(menu), "Quit", 6)], encoding="utf-8",
                files=files, **WESTERN)


def unicode_cases():
    jp_tool, jp_sound = "bin\\セットアップ.exe", "sounds\\音.wav"
    return [
        utf8_case("Cyrillic, Greek and Japanese captions of a UTF-8 menu.inf show and light up", captions,
                  [link(0, CYRILLIC, 7), link(1, GREEK, 7), link(2, JAPANESE, 7),
                   link(3, "アアア", 7), link(4, "アイウ", 7)]),
        utf8_case("a program named in Cyrillic starts with its Greek parameters intact", program,
                  [link(0, CYRILLIC, 0, TOOL + " -x Ω")], files={TOOL: RECORDER}),
        utf8_case("a sound named in Greek plays", sound, [link(0, GREEK, 8, SOUND)], files={SOUND: wav_bytes()}),
        utf8_case("a missing program named in Japanese: the message quotes its name", missing(
            FILE_MSG.format(jp_tool), "File Not Found", lambda p: [],
            lambda p: [shell_w("menu", p.app + jp_tool, "x")]), [link(0, JAPANESE, 0, jp_tool + " -x")]),
        utf8_case("a missing sound named in Japanese: the message quotes its name", missing(
            SOUND_MSG.format(jp_sound), "Sound File Not Found",
            lambda p: [mci("close mciExtra"), mci_open(p.app + jp_sound, "mciExtra")], lambda p: []),
            [link(0, JAPANESE, 8, jp_sound)]),
        Case("Unicode text", "from a folder named in Cyrillic the program plays, opens documents and sounds",
             folder, disc_name="Ярослав", menu=[link(0, "Install", 0, "recorder.exe -alpha beta"),
                                                  link(1, "Guide", 3, "docs\\guide.e2edoc"),
                                                  link(2, "Hello", 8, "sounds\\hello.wav"), link(3, "Quit", 6)],
             **WESTERN),
        Case("Unicode text", "from a folder named in Cyrillic the program launches a program of the disc",
             folder_launch, disc_name="Ярослав", menu=[link(0, "Install", 0, "recorder.exe -alpha beta"),
                                                         link(1, "Quit", 6)], **WESTERN),
    ]


def cases():
    return unicode_cases()
