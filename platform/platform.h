// The seam between the program's logic and Windows. Everything the logic makes happen outside itself goes
// through one Platform: the shell, the multimedia command strings, message boxes, the file system, and the
// few window-toolkit services that the start-up and the menu use. The real program implements it with Win32
// (platform/win32); the tests implement it with a fake that records each call as a line of text.
//
// Positions and sizes are twips (1440 to the inch). Texts are decoded characters (platform/text.h): an
// implementation converts them to the system's ANSI code page where it calls an ANSI operation.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/text.h"

enum class Win { Main, Splash, Menu };  // frmMain, frmSplash, frmMenu
enum class Box { SS, BG };              // pctSS on frmSplash, pctBG on frmMenu
enum class Owner { None, Menu };        // owner window of a shell request

struct LabelFont {
  Text name;
  float size;
  bool bold;
  bool italic;
};

struct TwipSize {
  float width;
  float height;
};

struct TwipRect {
  float left, top, width, height;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // --- Operations ---------------------------------------------------------------------------------------

  // Asks the shell to perform `operation` on `file` with `parameters`, no directory, in a normal window
  // (show command 1). Returns at once; the outcome is never reported.
  virtual void ShellExecuteA(Owner owner,
                             const Text& operation,
                             const Text& file,
                             const Text& parameters) = 0;

  // Sends one multimedia command string, with the return buffer "0", length 0 and no callback window.
  // Never fails visibly and reports nothing.
  virtual void mciSendStringA(const Text& command) = 0;

  // A modal box with the critical icon and one OK button; returns when the user has dismissed it.
  virtual void ShowCriticalMessage(const Text& text, const Text& title) = 0;

  // True when a directory listing of `path` with the attributes of ordinary files (read-only and archive
  // included; hidden, system and folders excluded) yields an entry. A path ending in a backslash lists that
  // folder's contents; wildcards match as in a listing.
  virtual bool FileExists(const Text& path) = 0;

  // The folder of the running program: a drive root with its backslash, any other folder without one.
  virtual Text ProgramFolder() = 0;

  // The primary screen in twips.
  virtual float ScreenWidth() = 0;
  virtual float ScreenHeight() = 0;

  // Ends the process at once. Nothing after the call runs: no event, no statement, no further platform call.
  [[noreturn]] virtual void EndProgram() = 0;

  // Text files are read as a stream of bytes, one file at a time, so memory stays bounded by the longest
  // line whatever the file's size. Opening closes the file open before. Throws FileNotFound when the file
  // cannot be opened.
  virtual void OpenTextFile(const Text& path) = 0;
  // Up to `size` further bytes of the open file; 0 only at its end. Throws FileNotFound when a read fails
  // (a scratched disc): the bytes delivered before stay as they were, nothing after them is delivered.
  virtual std::size_t ReadTextBytes(char* buffer, std::size_t size) = 0;
  // Starts the open file again from its first byte. Throws FileNotFound when it cannot.
  virtual void RewindTextFile() = 0;
  // Never fails; closing when no file is open does nothing.
  virtual void CloseTextFile() = 0;
  // Bytes of one line decoded from the ANSI code page. No ANSI code page uses CR or LF as the trail byte of
  // a double-byte character, so a file may be cut into lines before it is decoded.
  // The result replaces what `into` held, reusing its storage.
  virtual void DecodeAnsi(const char* bytes, std::size_t length, Text& into) = 0;

  // The user's decimal separator for numbers in the configuration files.
  virtual wchar_t DecimalSeparator() = 0;

  // --- Window toolkit -------------------------------------------------------------------------------------
  // A window is created hidden at its first use here; creating frmMenu raises its load event.

  // Loads a picture into the box, which takes the picture's size. Throws FileNotFound (missing file or not
  // a picture); the box then stays as it was.
  virtual void LoadPictureFile(Box box, const Text& path) = 0;
  virtual TwipSize BoxSize(Box box) = 0;

  // Sizes a window so that its inner area is `inner`; the frame and caption, if any, go around it.
  virtual void SetInnerSize(Win window, TwipSize inner) = 0;
  // The outer size, frame and caption included.
  virtual TwipSize WindowSize(Win window) = 0;
  virtual void MoveWindow(Win window, float left, float top) = 0;
  // Shows a window without making it modal. The first showing of frmMenu raises its activation event.
  virtual void ShowWindow(Win window) = 0;
  virtual void HideWindow(Win window) = 0;

  // Enables or disables tmrSS, which raises its event every 3000 ms while enabled.
  virtual void EnableTimer(bool enabled) = 0;

  // Labels (platform/controls.h) keep their own attributes; they ask the platform only to measure a caption
  // set on one line in a font, and to repaint where a label was and where it is now.
  virtual TwipSize MeasureText(const LabelFont& font, const Text& caption) = 0;
  virtual void RepaintLabel(int index, const TwipRect& before, const TwipRect& after) = 0;

  // --- Keyboard and assistive technology ---------------------------------------------------------------
  // None of them fails. KeyboardFocusChanged is never called while the menu is used with the mouse alone.

  // The link the keyboard is on changed (-1: none), or its mark is to show from now on: the platform draws
  // the focus mark around `link` when `marked` and tells assistive technology that `link` has the focus.
  virtual void KeyboardFocusChanged(int link, bool marked) = 0;
  // A page load ended, complete or stopped part-way: assistive technology reads the shown links again.
  virtual void LinksChanged() = 0;
  // `c` in upper case as the user's system folds letters: access keys match in either case.
  virtual wchar_t UpperCase(wchar_t c) = 0;
};

// The platform the logic talks to; installed once by the program's entry or by a test.
Platform& Sys();
void SetPlatform(Platform* platform);
Platform* CurrentPlatform();
