// The program on a Linux desktop: GTK 4 windows, the pictures through gdk-pixbuf, the links measured and
// drawn with pango and cairo exactly as the author tools set them, GStreamer for the three sound channels
// and the desktop's opener for what the shell opens on Windows. The program's folder is the root of drive
// D:, and names are found on it as Windows finds them on a disc (platform/disc_path.h).
#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <string>

#include "platform/gtk/sound_commands.h"
#include "platform/headless/headless_platform.h"
#include "platform/platform.h"
#include "platform/win32/gate.h"

class GtkPlatform;

// One of the three windows: frmMain stays without a window of its own, as it is never shown.
struct GtkForm {
  Win which = Win::Main;
  GtkWidget* window = nullptr;
  GtkWidget* area = nullptr;   // the inner area: the picture box at its top left
  GtkWidget* links = nullptr;  // the menu's links as widgets for assistive technology
  TwipSize inner{0, 0};
  TwipSize box{0, 0};
  GdkPixbuf* picture = nullptr;
  uint32_t background = 0;  // 0x00BBGGRR, around and under the picture
  bool shownOnce = false;
  bool placed = false;  // a place was asked for
  int left = 0, top = 0;
};

class GtkGateSystem final : public GateSystem {
 public:
  bool MenuDisabled() override { return messageUp; }
  uint32_t Tick() override;
  void DiscardQueuedInput() override {}
  bool messageUp = false;
};

class GtkPlatform final : public Platform {
 public:
  // `folder` is the disc's root on this machine.
  explicit GtkPlatform(const std::string& folder);
  ~GtkPlatform() override;
  GtkPlatform(const GtkPlatform&) = delete;
  GtkPlatform& operator=(const GtkPlatform&) = delete;

  // Runs the start-up and then the events until the program ends.
  [[noreturn]] void Run();

  // --- Platform ---
  void ShellExecuteA(Owner owner, const Text& operation, const Text& file, const Text& parameters) override;
  void mciSendStringA(const Text& command) override { sounds_.Send(command); }
  void ShowCriticalMessage(const Text& text, const Text& title) override;
  bool FileExists(const Text& path) override { return disc_.FileExists(path); }
  Text ProgramFolder() override { return L"D:\\"; }
  float ScreenWidth() override;
  float ScreenHeight() override;
  [[noreturn]] void EndProgram() override;
  void OpenTextFile(const Text& path) override { disc_.OpenTextFile(path); }
  std::size_t ReadTextBytes(char* buffer, std::size_t size) override {
    return disc_.ReadTextBytes(buffer, size);
  }
  void RewindTextFile() override { disc_.RewindTextFile(); }
  void CloseTextFile() override { disc_.CloseTextFile(); }
  void DecodeAnsi(const char* bytes, std::size_t length, Text& into) override {
    disc_.DecodeAnsi(bytes, length, into);
  }
  wchar_t DecimalSeparator() override;
  void LoadPictureFile(Box box, const Text& path) override;
  TwipSize BoxSize(Box box) override;
  void SetInnerSize(Win window, TwipSize inner) override;
  TwipSize WindowSize(Win window) override;
  void MoveWindow(Win window, float left, float top) override;
  void ShowWindow(Win window) override;
  void HideWindow(Win window) override;
  void EnableTimer(bool enabled) override;
  TwipSize MeasureText(const LabelFont& font, const Text& caption) override {
    return disc_.MeasureText(font, caption);
  }
  void RepaintLabel(int index, const TwipRect& before, const TwipRect& after) override;
  void KeyboardFocusChanged(int link, bool marked) override;
  void LinksChanged() override;
  wchar_t UpperCase(wchar_t c) override;

  // --- For the windows' handlers (forms.cpp) ---
  EventGate& Events() { return gate_; }
  void Draw(GtkForm& form, cairo_t* cr);
  void PointerMove(double x, double y, uint32_t time);
  void Press(int presses, double x, double y, uint32_t time);
  void Release(double x, double y, uint32_t time);
  bool Key(guint keyval, GdkModifierType state, uint32_t time);
  void KeyUp(guint keyval);
  bool CloseRequested(Win window);
  void Mapped(GtkForm& form);
  void AccessibleClick(int link, uint32_t page);
  bool Stalled() const;

 private:
  GtkForm& Need(Win window);
  GtkForm& FormOf(Box box) { return Need(box == Box::SS ? Win::Splash : Win::Menu); }
  void CreateWindow(GtkForm& form);
  void ApplyInnerSize(GtkForm& form);
  int LabelUnder(double x, double y, bool* inside) const;
  void DrawLabels(cairo_t* cr);
  void DrawMark(cairo_t* cr);
  void UpdateAccessibleLinks();
  // The links can be used, or not while a message box waits for an answer.
  void AnnounceAvailability(bool available);
  void Spawn(const std::vector<std::string>& argv);
  void Open(const std::string& uri);
  std::vector<std::string> WindowsHandler();

  HeadlessPlatform disc_;  // the disc, ANSI text and the measure of captions, as the author tools have them
  SoundChannels sounds_;
  GtkGateSystem gateSystem_;
  EventGate gate_;
  GtkForm forms_[3];
  guint timer_ = 0;
  int pressed_ = -1;          // the label a left button press began on
  bool performHeld_ = false;  // Enter or Space is down: its repeats perform nothing
};

// The disc's root on this machine: the folder of the running program, also when the dynamic loader
// started it (a medium without execute bits).
std::string ProgramFolderOnHost(const char* argv0);
