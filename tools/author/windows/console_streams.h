// Standard output and error as a Windows user expects them: characters to a console (WriteConsoleW, so any
// script shows whatever the console's code page), UTF-8 bytes to a pipe or a file.
#pragma once

#include <iostream>
#include <memory>
#include <streambuf>
#include <string>

#include "platform/win32/win.h"

class ConsoleStream : public std::streambuf {
 public:
  explicit ConsoleStream(DWORD standardHandle);
  ~ConsoleStream() override;

 protected:
  int overflow(int c) override;
  std::streamsize xsputn(const char* bytes, std::streamsize count) override;
  int sync() override;

 private:
  // Writes what is kept, but for a character cut at its end, which waits for its other bytes.
  void Send();

  HANDLE handle_;
  bool console_ = false;
  std::string kept_;
};

// Puts std::cout and std::cerr on the two while it lives.
class ConsoleStreams {
 public:
  ConsoleStreams();
  ~ConsoleStreams();
  ConsoleStreams(const ConsoleStreams&) = delete;
  ConsoleStreams& operator=(const ConsoleStreams&) = delete;

 private:
  ConsoleStream out_{STD_OUTPUT_HANDLE}, error_{STD_ERROR_HANDLE};
  std::streambuf* coutBefore_;
  std::streambuf* cerrBefore_;
};
