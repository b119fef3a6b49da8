#include "tools/design/disc_session.h"

#include <algorithm>

namespace {

const DiscFileKind kBoth[] = {DiscFileKind::Menu, DiscFileKind::Kavo};

}  // namespace

DiscSession::DiscSession(EditFileSystem& files, const AnsiCodePage& codePage, Text folder)
    : folder_(std::move(folder)),
      menu_(std::make_unique<DiscFile>(files, folder_ + L"menu.inf", codePage)),
      kavo_(std::make_unique<DiscFile>(files, folder_ + L"kavo.inf", codePage)) {}

void DiscSession::Edit(DiscFileKind kind, const std::function<void(TextDocument&)>& edit) {
  TextDocument& document = Document(kind);
  const std::string before = document.Bytes();
  edit(document);
  // An edit that writes what was there already is no step, in the document as here.
  if (document.Bytes() == before) return;
  undo_.push_back(kind);
  redo_.clear();
}

DiscFileKind DiscSession::Undo() {
  DiscFileKind kind = undo_.back();
  Document(kind).Undo();
  undo_.pop_back();
  redo_.push_back(kind);
  return kind;
}

DiscFileKind DiscSession::Redo() {
  DiscFileKind kind = redo_.back();
  Document(kind).Redo();
  redo_.pop_back();
  undo_.push_back(kind);
  return kind;
}

bool DiscSession::Modified() const {
  return menu_->Document().Modified() || kavo_->Document().Modified();
}

std::vector<DiscFileKind> DiscSession::Save(bool overwriteChanged) {
  std::vector<DiscFileKind> refused;
  for (DiscFileKind kind : kBoth) {
    DiscFile& file = File(kind);
    if (!file.Document().Modified()) continue;
    if (file.Save(overwriteChanged) == SaveOutcome::ChangedOnDisk) refused.push_back(kind);
  }
  return refused;
}

std::vector<DiscFileKind> DiscSession::ChangedOnDisk() {
  std::vector<DiscFileKind> changed;
  for (DiscFileKind kind : kBoth)
    if (File(kind).ChangedOnDisk()) changed.push_back(kind);
  return changed;
}

void DiscSession::Reload(DiscFileKind kind) {
  File(kind).Reload();
  Forget(kind);
}

void DiscSession::Forget(DiscFileKind kind) {
  undo_.erase(std::remove(undo_.begin(), undo_.end(), kind), undo_.end());
  redo_.erase(std::remove(redo_.begin(), redo_.end(), kind), redo_.end());
}
