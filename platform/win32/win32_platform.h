// The real Platform: Win32 behind the seam. Its operations live in operations.cpp, the windows and picture
// boxes in forms.cpp, the labels in labels.cpp,
// the keyboard in keyboard.cpp.
#pragma once

#include "platform/platform.h"
#include "platform/win32/scoped.h"

class Win32Platform final : public Platform {
 public:
  void ShellExecuteA(Owner owner, const Text& operation, const Text& file, const Text& parameters) override;
  void mciSendStringA(const Text& command) override;
  void ShowCriticalMessage(const Text& text, const Text& title) override;
  bool FileExists(const Text& path) override;
  Text ProgramFolder() override;
  float ScreenWidth() override;
  float ScreenHeight() override;
  [[noreturn]] void EndProgram() override;
  void OpenTextFile(const Text& path) override;
  std::size_t ReadTextBytes(char* buffer, std::size_t size) override;
  void CloseTextFile() override;
  void RewindTextFile() override;
  void DecodeAnsi(const char* bytes, std::size_t length, Text& into) override;
  wchar_t DecimalSeparator() override;

  void LoadPictureFile(Box box, const Text& path) override;
  TwipSize BoxSize(Box box) override;
  void SetInnerSize(Win window, TwipSize inner) override;
  TwipSize WindowSize(Win window) override;
  void MoveWindow(Win window, float left, float top) override;
  void ShowWindow(Win window) override;
  void HideWindow(Win window) override;
  void EnableTimer(bool enabled) override;

  TwipSize MeasureText(const LabelFont& font, const Text& caption) override;
  void RepaintLabel(int index, const TwipRect& before, const TwipRect& after) override;

  void KeyboardFocusChanged(int link, bool marked) override;
  void LinksChanged() override;
  wchar_t UpperCase(wchar_t c) override;

 private:
  ScopedFile textFile_;
};
