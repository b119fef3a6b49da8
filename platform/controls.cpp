#include "platform/controls.h"

#include <vector>

#include "platform/errors.h"

namespace {

std::vector<Label> MakeLabels() {
  std::vector<Label> labels;
  labels.reserve(kLinkCount);
  for (int i = 0; i < kLinkCount; ++i)
    labels.emplace_back(i);
  return labels;
}

std::vector<Label>& Labels() {
  static std::vector<Label> labels = MakeLabels();
  return labels;
}

}  // namespace

Label::Label(int index)
    : index_(index),
      caption_(L"Blank Label"),
      font_{L"Verdana", 12.0f, false, false},
      foreColor_(kButtonTextColor),
      tag_(L"&H80000012"),
      rect_{index == 0 ? 1800.0f : 0.0f, index == 0 ? 840.0f : 0.0f, 1440.0f, 270.0f},
      measuredWidth_(rect_.width),
      visible_(false) {}

template <class Change>
void Label::Update(Change change) {
  TwipRect before = rect_;
  bool wasVisible = visible_;
  change();
  if (wasVisible || visible_) Sys().RepaintLabel(index_, before, rect_);
}

void Label::AutoSize() {
  TwipSize size = Sys().MeasureText(font_, caption_);
  rect_.width = size.width;
  rect_.height = size.height;
  measuredWidth_ = size.width;
}

void Label::SetCaption(const Text& caption) {
  Update([&] {
    caption_ = caption;
    AutoSize();
  });
}

void Label::SetFontName(const Text& name) {
  Update([&] {
    font_.name = name;
    AutoSize();
  });
}

void Label::SetFontSize(float points) {
  Update([&] {
    font_.size = points;
    AutoSize();
  });
}

void Label::SetFontBold(bool bold) {
  Update([&] {
    font_.bold = bold;
    AutoSize();
  });
}

void Label::SetFontItalic(bool italic) {
  Update([&] {
    font_.italic = italic;
    AutoSize();
  });
}

void Label::SetForeColor(int32_t color) {
  Update([&] { foreColor_ = color; });
}

void Label::SetLeft(float left) {
  Update([&] { rect_.left = left; });
}

void Label::SetTop(float top) {
  Update([&] { rect_.top = top; });
}

void Label::SetWidth(float width) {
  Update([&] { rect_.width = width; });
}

void Label::SetVisible(bool visible) {
  Update([&] { visible_ = visible; });
}

Label& lblLink(int index) {
  if (index < 0 || index >= kLinkCount) throw AppError(ErrorKind::NoSuchControl);
  return Labels()[static_cast<std::size_t>(index)];
}

void ResetLabels() {
  Labels() = MakeLabels();
}

void RemeasureLabels() {
  for (Label& label : Labels()) {
    label.Update([&] {
      float added = label.rect_.width - label.measuredWidth_;
      label.AutoSize();
      label.rect_.width += added;
    });
  }
}

int LabelAt(float x, float y) {
  for (int i = 0; i < kLinkCount; ++i) {
    const Label& label = lblLink(i);
    const TwipRect& r = label.Rect();
    if (label.Visible() && x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height)
      return i;
  }
  return -1;
}

Text ShownCaption(const Text& caption, int* underline) {
  Text shown;
  int key = -1;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == L'&' && i + 1 < caption.size()) {
      ++i;
      if (caption[i] != L'&' && key < 0) key = static_cast<int>(shown.size());
    }
    shown += caption[i];
  }
  if (underline) *underline = key;
  return shown;
}

bool IsSystemColor(int32_t color) {
  return color < 0;
}
int SystemColorIndex(int32_t color) {
  return static_cast<int>(static_cast<uint32_t>(color) & 0xFF);
}
