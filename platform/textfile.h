// Sequential reading of text files: one file open at a time, read line by line as a stream, so that memory
// stays bounded by the longest line. A line ends at CR LF, at a lone CR or at a lone LF, and the line end is
// not part of the line.
#pragma once

#include "platform/text.h"

// Opens a file for input, closing any file still open. Throws FileNotFound.
void FileOpen(const Text& path);
// The next line. Throws InputPastEnd at the end of the file, BadFileNumber when no file is open, and
// FileNotFound when reading fails; after a failed read every further read fails too.
Text LineInput();
// The same into `line`, reusing its storage: the page loader reads every line of a file of any size.
void LineInput(Text& line);
// True at the end of the open file (and when none is open). Throws FileNotFound when reading fails.
bool AtEndOfFile();
// How many lines LineInput has handed out since the file was opened.
long LinesRead();
// True once a read of the open file has failed: the file is then as unreadable as a missing one.
bool ReadFailed();
void FileClose();
bool FileIsOpen();

// Closes the open file when it goes out of scope, whichever way the reading ends.
struct FileCloser {
  FileCloser() = default;
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;
  ~FileCloser() { FileClose(); }
};
