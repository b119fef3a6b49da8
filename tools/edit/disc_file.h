// A configuration file of a disc being edited: its document, and what the file on disk was when it was
// read or last saved, so that a change made by another program is noticed and never overwritten unasked.
#pragma once

#include <cstdint>
#include <memory>

#include "tools/edit/file_system.h"
#include "tools/edit/text_document.h"

enum class SaveOutcome {
  Saved,
  ChangedOnDisk,  // nothing written: the file is no longer what was read; ask, then save with overwrite
};

class DiscFile {
 public:
  // Reads the file; a missing one is an empty document that saving creates. `files` and `codePage`
  // must outlive it.
  DiscFile(EditFileSystem& files, Text path, const AnsiCodePage& codePage);

  TextDocument& Document() { return *document_; }
  const TextDocument& Document() const { return *document_; }
  const Text& Path() const { return path_; }
  bool ExistedWhenRead() const { return base_.exists; }

  // True when the file on disk differs from what was read or last saved. An unchanged stamp is taken on
  // trust, so this is cheap enough to ask often; otherwise the contents decide (a file only touched has
  // not changed).
  bool ChangedOnDisk();
  // Writes the document in place of the file, unless the file changed on disk since it was read and
  // `overwriteChanged` is false. The contents are compared at this moment, whatever the stamp says.
  SaveOutcome Save(bool overwriteChanged = false);
  // Reads the file again, dropping the edits and their undo.
  void Reload();

 private:
  struct Base {
    bool exists = false;
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
    FileStamp stamp;
  };
  static Base BaseOf(const std::string& bytes, const FileStamp& stamp);
  bool ContentsChanged();

  EditFileSystem& files_;
  Text path_;
  const AnsiCodePage& codePage_;
  std::unique_ptr<TextDocument> document_;
  Base base_;
};
