// The tools' simulated machine on Windows (simulated_machine.h): the disc's folder read through Win32
// (windows_disc.h), ANSI decoded by the system in the code page asked for, pictures loaded by the program's
// own Picture, and text measured by GDI exactly as the program measures its labels.
#pragma once

#include <string>

#include "platform/headless/measure_cache.h"
#include "platform/headless/simulated_machine.h"
#include "platform/headless/windows_disc.h"
#include "platform/win32/scoped.h"

// The Windows code page a name stands for: a number ("1251"), "CP1251", "windows-1251", or one of the
// common iconv names ("UTF-8", "KOI8-R", "ISO-8859-5", "SHIFT_JIS", ...); 0 when the system has no such
// code page.
unsigned WindowsCodePage(const std::string& name);
// The code page of this Windows as the tools name it ("CP1252").
std::string SystemCodePageName();

class WindowsMachine : public SimulatedMachine {
 public:
  // `folder` in UTF-8. The code page starts as the system's.
  explicit WindowsMachine(const std::string& folder);

  PictureInfo Picture(const Resolved& file) const override;
  // The full Windows path of a file a lookup found.
  Text PathOf(const Resolved& file) const { return tree_.PathOf(file.hostNames); }
  // Captions are measured into `kept` from now on, which outlives this machine: checks of one disc one
  // after another measure each caption once.
  void KeepMeasuresIn(MeasureCache& kept) { measured_ = &kept; }

  // --- Platform ---
  void DecodeAnsi(const char* bytes, std::size_t length, Text& into) override;
  TwipSize MeasureText(const LabelFont& font, const Text& caption) override;
  wchar_t UpperCase(wchar_t c) override;

 protected:
  const DiscTree& disc() const override { return tree_; }

 private:
  WindowsDisc tree_;
  ScopedMemDc measuring_;  // a DC of the screen, for fonts only
  MeasureCache ownMeasures_;
  MeasureCache* measured_ = &ownMeasures_;
};
