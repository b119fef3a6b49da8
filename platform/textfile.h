// Sequential reading of text files: one file open at a time, read line by line as a stream, so that memory
// stays bounded by the longest line. A line ends at CR LF, at a lone CR or at a lone LF, and the line end is
// not part of the line.
#pragma once

#include "platform/text.h"

// Opens a file for input, closing any file still open, and finds its encoding. Throws FileNotFound, also
// when the file cannot be read through.
void FileOpen(const Text& path);

enum class TextEncoding { Ansi, Utf8, Utf8WithMark, Utf16Le };
// The encoding of the open file: a UTF-8 or UTF-16 LE mark says so, and a file without one that is
// entirely UTF-8 and holds a character of more than one byte is UTF-8; any other file is ANSI text.
TextEncoding FileEncoding();
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
