#include "tools/edit/disc_file.h"

namespace {

// FNV-1a: a change of contents is noticed without keeping a copy of the file.
std::uint64_t Hash(const std::string& bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

}  // namespace

DiscFile::DiscFile(EditFileSystem& files, Text path, const AnsiCodePage& codePage)
    : files_(files), path_(std::move(path)), codePage_(codePage) {
  Reload();
}

DiscFile::Base DiscFile::BaseOf(const std::string& bytes, const FileStamp& stamp) {
  return Base{stamp.exists, bytes.size(), Hash(bytes), stamp};
}

void DiscFile::Reload() {
  std::string bytes;
  FileStamp stamp;
  if (!files_.Read(path_, bytes, stamp)) stamp = FileStamp();
  document_ = std::make_unique<TextDocument>(bytes, codePage_);
  base_ = BaseOf(bytes, stamp);
}

bool DiscFile::ContentsChanged() {
  std::string bytes;
  FileStamp stamp;
  if (!files_.Read(path_, bytes, stamp)) return base_.exists;
  if (!base_.exists || bytes.size() != base_.size || Hash(bytes) != base_.hash) return true;
  base_.stamp = stamp;  // the same contents: the new stamp saves the next look
  return false;
}

bool DiscFile::ChangedOnDisk() {
  if (files_.Stamp(path_) == base_.stamp) return false;
  return ContentsChanged();
}

SaveOutcome DiscFile::Save(bool overwriteChanged) {
  if (!overwriteChanged && ContentsChanged()) return SaveOutcome::ChangedOnDisk;
  FileStamp stamp = files_.Replace(path_, document_->Bytes());
  base_ = BaseOf(document_->Bytes(), stamp);
  document_->MarkSaved();
  return SaveOutcome::Saved;
}
