// Sequential reading of text files: one file open at a time, read line by line. A line ends at CR LF, at a
// lone CR or at a lone LF, and the line end is not part of the line.
#pragma once

#include <vector>

#include "platform/text.h"

// Opens a file for input, closing any file still open. Throws FileNotFound.
void FileOpen(const Text& path);
// The next line. Throws InputPastEnd at the end of the file, BadFileNumber when no file is open.
Text LineInput();
// True at the end of the open file (and when none is open).
bool AtEndOfFile();
void FileClose();
bool FileIsOpen();

// Closes the open file when it goes out of scope, whichever way the reading ends.
struct FileCloser {
  FileCloser() = default;
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;
  ~FileCloser() { FileClose(); }
};

std::vector<Text> SplitLines(const Text& content);
