// A disc open in the designer: its two configuration files as documents, one undo history across both (an
// edit of the start-up settings and a move of a link undo in the order they were made), saving, and what
// other programs changed on disk.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "tools/edit/disc_file.h"

enum class ConfigFile { Menu, Kavo };

class DiscSession {
 public:
  // `folder` ends with a path separator. `files` and `codePage` must outlive the session.
  DiscSession(EditFileSystem& files, const AnsiCodePage& codePage, Text folder);

  const Text& Folder() const { return folder_; }
  DiscFile& File(ConfigFile kind) { return kind == ConfigFile::Menu ? *menu_ : *kavo_; }
  TextDocument& Document(ConfigFile kind) { return File(kind).Document(); }

  // Runs `edit` on the file's document and records it as the newest step of undo when it changed the
  // document. An EditError leaves everything as it was and is thrown on.
  void Edit(ConfigFile kind, const std::function<void(TextDocument&)>& edit);

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  ConfigFile Undo();  // the file that changed
  ConfigFile Redo();
  bool Modified() const;

  // Saves each modified file. The files another program changed since they were read are left unwritten
  // and returned, unless `overwriteChanged`; the others are saved. Throws std::system_error when a write
  // fails (that file stays as it was on disk and modified here).
  std::vector<ConfigFile> Save(bool overwriteChanged = false);

  // Files whose disk contents changed since they were read or saved.
  std::vector<ConfigFile> ChangedOnDisk();
  // Reads the file again, dropping its edits and their steps of undo.
  void Reload(ConfigFile kind);

 private:
  void Forget(ConfigFile kind);

  Text folder_;
  std::unique_ptr<DiscFile> menu_;
  std::unique_ptr<DiscFile> kavo_;
  std::vector<ConfigFile> undo_;  // the file of each step, oldest first
  std::vector<ConfigFile> redo_;
};
