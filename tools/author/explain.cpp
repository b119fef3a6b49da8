#include "tools/author/explain.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "tools/author/check.h"
#include "tools/author/edit_distance.h"

namespace {

// Sorted by code, so that a lookup is a binary search and the list prints in order.
const Explanation kExplanations[] = {
    {"action-never-runs",
     "The page loader stored the link's action, but the click cannot take it apart again: the type was "
     "written with more than one character (\"04\", \" 4\"), so the click finds no type it knows and does "
     "nothing.",
     "Write the action type as one digit, 0 to 8, with nothing around it.",
     "0|5|Browse|Verdana|0012|16777215|65535|900|3000|04|\n"
     "0|5|Browse|Verdana|0012|16777215|65535|900|3000|4|"},
    {"action-stores-nothing",
     "The action type is none of 0 to 8. The link is shown, but nothing is stored for it: a click repeats "
     "whatever an earlier page stored for the same link number, or does nothing.",
     "Use one of the action types: 0 program, 1 URL, 2 mail, 3 document, 4 disc folder, 5 page, 6 quit, "
     "7 heading, 8 sound.",
     "0|3|Help|Verdana|0012|16777215|65535|900|2400|9|docs\\help.pdf|\n"
     "0|3|Help|Verdana|0012|16777215|65535|900|2400|3|docs\\help.pdf|"},
    {"ansi-bytes",
     "The file has no UTF-8 or UTF-16 mark and is not valid UTF-8, so Windows reads it in its own ANSI code "
     "page. Its letters outside ASCII (accents, other scripts) show as other letters on a Windows set to "
     "another code page.",
     "Save the file as UTF-8 (with or without a mark): it then reads the same on every Windows.",
     "In your editor: Save as, encoding UTF-8. Then check again: \"menu.inf read as UTF-8\"."},
    {"autorun",
     "autorun.inf starts the program when the disc is inserted and gives the drive its icon. It is missing, "
     "has no open= line in its [autorun] section, opens another program, or names an icon that is missing.",
     "Put autorun.inf in the disc's root with an [autorun] section that opens the program and names an icon "
     "that is on the disc.",
     "[autorun]\nopen=velmaro.exe\nicon=velmaro.exe,0\nlabel=My Disc"},
    {"case-only",
     "The file is on the disc, but only with other letter case. The disc and Windows ignore case, so the "
     "program finds it; copied to a system that does not, or named again by a script, it may not be found.",
     "Write the name in the file exactly as the file on the disc is named.",
     "0|2|Read me|Verdana|0012|16777215|65535|900|1800|3|Docs\\ReadMe.TXT|\n"
     "0|2|Read me|Verdana|0012|16777215|65535|900|1800|3|docs\\readme.txt|"},
    {"decimal-separator",
     "A number field holds a decimal point or comma where the program reads a whole number. Windows reads "
     "it with the decimal separator of the user's settings, so the same disc lays out or colours the link "
     "differently on a Windows set to a decimal comma than on one set to a decimal point, and on one of them "
     "the line may stop its page.",
     "Write whole numbers only: positions in twips, colours and styles without a point or a comma.",
     "0|1|Install|Verdana|1012|16777215|65535|900.5|1500|0|setup.exe|\n"
     "0|1|Install|Verdana|1012|16777215|65535|900|1500|0|setup.exe|"},
    {"disc-link",
     "The disc's folder holds a symbolic link that leads out of the folder, to nothing or round in a loop, "
     "or a FIFO, a device or a socket. A disc is burned from what the folder holds: a link out of it is "
     "burned without what it points at, or not at all, and the others hold nothing a disc can carry.",
     "Copy the file or folder the link points at into the disc's folder in place of the link, and remove "
     "what is not a file or a folder.",
     "images/menu.png -> /home/me/art/menu.png\n"
     "cp --remove-destination /home/me/art/menu.png images/menu.png"},
    {"duplicate-link",
     "Two lines set up the same link number of one page. The later line wins: the earlier link is never "
     "shown.",
     "Give each link of a page its own number, 0 to 49.",
     "0|1|Install|Verdana|1012|16777215|65535|900|1500|0|setup.exe|\n"
     "0|1|Read me|Verdana|0012|16777215|65535|900|1980|3|readme.txt|   <- write 0|2|..."},
    {"exe-missing",
     "The program that autorun.inf opens is not in the folder yet, so the burned disc would start nothing.",
     "Copy velmaro.exe into the disc's root before you burn it (velmaro-author new --exe copies it for you).",
     "cp velmaro.exe mydisc/"},
    {"file-missing",
     "A file that kavo.inf or a link names is not on the disc. Depending on where it is named, the user sees "
     "\"File Not Found\", an empty picture box, no sound, or a click that does nothing. The message quotes "
     "what the user meets.",
     "Put the file on the disc, or correct the name. Names are relative to the disc's root, folders "
     "separated by \\, and are used exactly as written: no blanks around them.",
     "images\\splash.jpg   (the file on the disc is images\\splash.png)\n"
     "images\\splash.png"},
    {"final-bar",
     "Every field of a line ends with a bar, the argument too. Without the final bar the program takes the "
     "argument's last character for it and drops it: \"readme.txt\" becomes \"readme.tx\", a page number "
     "10 becomes 1.",
     "End the line with a bar after the argument.",
     "0|2|Read me|Verdana|0012|16777215|65535|900|1980|3|docs\\readme.txt\n"
     "0|2|Read me|Verdana|0012|16777215|65535|900|1980|3|docs\\readme.txt|"},
    {"highlight-not-number",
     "The highlight colour is not a number, so the program cannot exchange the colours when the pointer "
     "comes onto the link: it never lights up, and the pointer still plays the mouse-over sound.",
     "Write the highlight colour as a decimal number, 0x00BBGGRR: 65535 is yellow, 255 red, 16777215 "
     "white. For a heading that should not light up, write its text colour again.",
     "0|0|Install|Verdana|1012|16777215|yellow|900|1500|0|setup.exe|\n"
     "0|0|Install|Verdana|1012|16777215|65535|900|1500|0|setup.exe|"},
    {"kavo-missing",
     "kavo.inf is not in the disc's root: the program reads nothing, all its flags are off, and it ends at "
     "once without a word.",
     "Put kavo.inf, six lines, beside the program.",
     "101\nimages\\splash.png\n\nimages\\menu.png\nsounds\\intro.wav\nsounds\\over.wav"},
    {"link-outside",
     "The link's box, from its position and the size of its caption, falls partly or wholly outside the "
     "menu picture, whose size is the window's: the link is cut off or cannot be seen.",
     "Move the link (left and top, in twips: 15 to a pixel) so that it fits in the picture, or make the "
     "caption shorter or smaller.",
     "0|4|Quit|Verdana|0012|16777215|65535|9900|600|6|   (picture 640 px = 9600 twips wide)\n"
     "0|4|Quit|Verdana|0012|16777215|65535|8400|600|6|"},
    {"link-overlap",
     "Two shown links of a page overlap. The one with the lower link number is drawn on top and takes the "
     "pointer, so part of the other cannot be pointed at.",
     "Move one of them (left and top, in twips), or make a caption shorter.",
     "0|1|Install|Verdana|1012|16777215|65535|900|1500|0|setup.exe|\n"
     "0|2|Read me|Verdana|0012|16777215|65535|900|1560|3|readme.txt|   <- top 1980 clears it"},
    {"linux-start",
     "Linux desktops offer to run autorun.sh from the root of a disc when it is opened, and autorun.sh "
     "starts "
     "the Linux program velmaro, which shows the same menu as velmaro.exe. The disc holds one of the two "
     "without the other, so on Linux it starts nothing (or autorun.sh fails).",
     "Copy both into the disc's root (velmaro-author new writes autorun.sh, and copies the Linux program "
     "when it is installed beside the tool), or remove both for a disc that is for Windows only.",
     "cp velmaro autorun.sh mydisc/"},
    {"menu-missing",
     "kavo.inf turns the menu on, but menu.inf is not in the disc's root: the menu window shows its picture "
     "with no link at all.",
     "Put menu.inf beside the program, one link a line, or turn the menu off on line 1 of kavo.inf.",
     "0|0|Quit|Verdana|0012|16777215|65535|900|600|6|"},
    {"menu-unreadable",
     "menu.inf is on the disc but cannot be opened or read as a file (a folder of that name, a link that "
     "leads nowhere, no permission to read it): the menu window shows its picture with no link.",
     "Make menu.inf a plain file that can be read, in the disc's root.",
     "ls -l mydisc/menu.inf   (a regular file, readable: -rw-r--r--)"},
    {"name-mangled",
     "A name the disc's file system cannot keep as it is: longer than 64 characters, holding one of "
     "* ? : \" < > | \\, or differing from another name only in letter case. Burning changes or drops it, so "
     "the program does not find it by the name the files give.",
     "Rename the file (and the lines that name it): at most 64 characters, none of those signs, and no two "
     "names that differ only in case.",
     "docs/What's new?.txt\ndocs/whats-new.txt"},
    {"no-links",
     "The menu shows its picture and nothing to click: menu.inf holds no link at all, or none of page 0, "
     "the page the menu shows first. The user can only close the window.",
     "Give page 0 at least one link, and a way out (a quit link, type 6).",
     "0|0|Quit|Verdana|0012|16777215|65535|900|600|6|"},
    {"not-wave",
     "The program plays sounds through the WAV player, which plays only RIFF/WAVE files: an MP3 or another "
     "kind plays nothing.",
     "Convert the sound to WAV (sox or Audacity can) and name the .wav file.",
     "sounds\\intro.mp3\nsounds\\intro.wav"},
    {"page-never-shown",
     "The line's page field is no whole page number (a word, a fraction, a number out of range), so no page "
     "link can ever show this line.",
     "Write the page as a whole number; page 0 shows first.",
     "one|0|Welcome|Verdana|1116|12632256|12632256|900|600|7|\n"
     "1|0|Welcome|Verdana|1116|12632256|12632256|900|600|7|"},
    {"page-stops",
     "The page loader reads the lines of the page in order and stops at the first it cannot read: a link "
     "number outside 0 to 49, a style, colour, position or type that is no number, a line that ends early. "
     "The links before it are shown, the links after it are not, and no link of the page lights up under "
     "the pointer. The message names the field; a note shows the real cause when a stray | or a tab has "
     "shifted the fields.",
     "Correct the field the caret points at: every line has ten fields and the argument, each ended by a "
     "bar.",
     "0|1|Install|Verdana|1012|white|65535|900|1500|0|setup.exe|\n"
     "0|1|Install|Verdana|1012|16777215|65535|900|1500|0|setup.exe|"},
    {"page-target",
     "A page link (action 5) whose argument is no page number does nothing when clicked; one that leads to "
     "a page with no links leaves the user an empty menu.",
     "Write the number of a page that has links.",
     "0|7|More|Verdana|0110|16777215|65535|900|4380|5|page 1|\n"
     "0|7|More|Verdana|0110|16777215|65535|900|4380|5|1|"},
    {"page-unreachable",
     "Lines set up links of a page that no page link shows, so those links are never seen.",
     "Add a link of type 5 to that page on a page the user can reach, or remove its lines.",
     "0|7|More|Verdana|0110|16777215|65535|900|4380|5|1|   (shows page 1)"},
    {"picture-format",
     "The picture is in a format the program does not show: it shows BMP, JPEG, GIF, PNG, ICO, WMF and EMF. "
     "The splash or the menu then shows an empty box.",
     "Convert the picture to PNG (or BMP or JPEG) and name the new file.",
     "images\\menu.webp\nimages\\menu.png"},
    {"picture-huge",
     "The picture is larger than any screen. The window takes the menu picture's size, so it is cut off by "
     "the screen and links placed on the hidden part cannot be reached; and the user's machine takes long "
     "and much memory to load it, on an old one before the splash or the menu appears at all.",
     "Scale the picture to the size it is shown at: at most the screen you aim at (1024 x 768 reaches every "
     "machine), and place the links within it.",
     "images\\menu.png   12000 x 9000 pixels\nimages\\menu.png   1024 x 768 pixels"},
    {"picture-unreadable",
     "The picture's name says a format the program shows, but the file cannot be decoded (cut short, "
     "damaged, or another kind of file renamed): the splash or the menu shows an empty box.",
     "Save the picture again from your image editor and check that it opens.",
     "images\\menu.png   (a JPEG renamed, or 0 bytes)"},
    {"startup-flags",
     "Line 1 of kavo.inf holds three flags: the first character shows the splash, the second launches line "
     "3, the last shows the menu. Written otherwise, it does something other than it seems: \"10\" shows the "
     "splash but no menu, \"000\" shows nothing and ends at once.",
     "Write three characters, each 1 or 0: splash, launch, menu.", "10\n101"},
    {"utf8-guess",
     "A file without a mark that happens to be valid UTF-8 is read as UTF-8. A file saved as ANSI text can "
     "be valid UTF-8 by accident (a Cyrillic caption in code page 1251, say): it then shows other "
     "characters than the author wrote. The note quotes the first such text as the program will show it.",
     "If the quoted text is what you wrote, save the file as UTF-8 with a mark to make it certain; if not, "
     "the file is ANSI text: save it as UTF-8.",
     "0|0|\u041d\u0456|Verdana|0012|16777215|65535|900|600|7|   (shows as \"\u041d\u0456\": as written; "
     "save it with a mark)"},
};

// The one-line description check's SARIF rules carry.
const char* ShortDescription(const std::string& code) {
  auto known = FindingCodes().find(code);
  return known == FindingCodes().end() ? "" : known->second.c_str();
}

// Prose broken between words to fit a terminal of 100 columns.
void Wrapped(std::ostream& out, const std::string& text) {
  const std::size_t kWidth = 96;
  std::string line;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    std::string word = text.substr(start, end - start);
    if (!line.empty() && line.size() + 1 + word.size() > kWidth) {
      out << "    " << line << "\n";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
    start = end + 1;
  }
  if (!line.empty()) out << "    " << line << "\n";
}

// Examples keep their lines as written.
void Verbatim(std::ostream& out, const std::string& text) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    out << "    " << text.substr(start, end - start) << "\n";
    start = end + 1;
  }
}

}  // namespace

const Explanation* FindExplanation(const std::string& code) {
  auto at = std::lower_bound(std::begin(kExplanations), std::end(kExplanations), code,
                             [](const Explanation& e, const std::string& c) { return e.code < c; });
  return at != std::end(kExplanations) && at->code == code ? at : nullptr;
}

void WriteExplanation(std::ostream& out, const Explanation& e) {
  out << e.code << ": " << ShortDescription(e.code) << "\n\n";
  out << "What it means on the disc:\n";
  Wrapped(out, e.meaning);
  out << "\nHow to fix it:\n";
  Wrapped(out, e.fix);
  out << "\nExample:\n";
  Verbatim(out, e.example);
}

std::string NearestCode(const std::string& code) {
  std::string nearest;
  std::size_t best = code.size() / 3 + 1;  // more edits than that is another word
  for (const auto& [known, text] : FindingCodes()) {
    std::size_t d = EditDistance(code, known);
    if (d < best) best = d, nearest = known;
  }
  return nearest;
}

void WriteCodeList(std::ostream& out) {
  std::size_t width = 0;
  for (const auto& [code, text] : FindingCodes())
    width = std::max(width, code.size());
  for (const auto& [code, text] : FindingCodes())
    out << "  " << code << std::string(width - code.size() + 2, ' ') << text << "\n";
}
