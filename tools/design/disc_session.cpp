#include "tools/design/disc_session.h"

#include <algorithm>

namespace {

const ConfigFile kBoth[] = {ConfigFile::Menu, ConfigFile::Kavo};

}  // namespace

DiscSession::DiscSession(EditFileSystem& files, const AnsiCodePage& codePage, Text folder)
    : folder_(std::move(folder)),
      menu_(std::make_unique<DiscFile>(files, folder_ + L"menu.inf", codePage)),
      kavo_(std::make_unique<DiscFile>(files, folder_ + L"kavo.inf", codePage)) {}

void DiscSession::Edit(ConfigFile kind, const std::function<void(TextDocument&)>& edit) {
  TextDocument& document = Document(kind);
  const std::string before = document.Bytes();
  edit(document);
  // An edit that writes what was there already is no step, in the document as here.
  if (document.Bytes() == before) return;
  undo_.push_back(kind);
  redo_.clear();
}

ConfigFile DiscSession::Undo() {
  ConfigFile kind = undo_.back();
  Document(kind).Undo();
  undo_.pop_back();
  redo_.push_back(kind);
  return kind;
}

ConfigFile DiscSession::Redo() {
  ConfigFile kind = redo_.back();
  Document(kind).Redo();
  redo_.pop_back();
  undo_.push_back(kind);
  return kind;
}

bool DiscSession::Modified() const {
  return menu_->Document().Modified() || kavo_->Document().Modified();
}

std::vector<ConfigFile> DiscSession::Save(bool overwriteChanged) {
  std::vector<ConfigFile> refused;
  for (ConfigFile kind : kBoth) {
    DiscFile& file = File(kind);
    if (!file.Document().Modified()) continue;
    if (file.Save(overwriteChanged) == SaveOutcome::ChangedOnDisk) refused.push_back(kind);
  }
  return refused;
}

std::vector<ConfigFile> DiscSession::ChangedOnDisk() {
  std::vector<ConfigFile> changed;
  for (ConfigFile kind : kBoth)
    if (File(kind).ChangedOnDisk()) changed.push_back(kind);
  return changed;
}

void DiscSession::Reload(ConfigFile kind) {
  File(kind).Reload();
  Forget(kind);
}

void DiscSession::Forget(ConfigFile kind) {
  undo_.erase(std::remove(undo_.begin(), undo_.end(), kind), undo_.end());
  redo_.erase(std::remove(redo_.begin(), redo_.end(), kind), redo_.end());
}
