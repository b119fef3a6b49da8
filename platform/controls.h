// The fifty link labels of the menu window: windowless, transparent, sizing themselves to their text.
// Both platforms draw and hit-test them from here, so the sizing and routing rules live in one place.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "platform/text.h"

constexpr int kLinkCount = 50;
constexpr int32_t kButtonTextColor = static_cast<int32_t>(0x80000012u);

class Label {
 public:
  explicit Label(int index);

  // Setting the caption or any part of the font, even to the value it already has, sizes the label to its
  // text on one line; a width assigned afterwards stays until the next such setting.
  const Text& Caption() const { return caption_; }
  void SetCaption(const Text& caption);
  const Text& FontName() const { return font_.name; }
  void SetFontName(const Text& name);
  float FontSize() const { return font_.size; }
  void SetFontSize(float points);
  bool FontBold() const { return font_.bold; }
  void SetFontBold(bool bold);
  bool FontItalic() const { return font_.italic; }
  void SetFontItalic(bool italic);
  const LabelFont& Font() const { return font_; }

  // Colour, tag, position and visibility never resize.
  int32_t ForeColor() const { return foreColor_; }
  void SetForeColor(int32_t color);
  const Text& Tag() const { return tag_; }
  void SetTag(const Text& tag) { tag_ = tag; }
  float Left() const { return rect_.left; }
  void SetLeft(float left);
  float Top() const { return rect_.top; }
  void SetTop(float top);
  float Width() const { return rect_.width; }
  void SetWidth(float width);
  float Height() const { return rect_.height; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  const TwipRect& Rect() const { return rect_; }

 private:
  void AutoSize();
  template <class Change>
  void Update(Change change);

  friend void RemeasureLabels();

  int index_;
  Text caption_;
  LabelFont font_;
  int32_t foreColor_;
  Text tag_;
  TwipRect rect_;
  float measuredWidth_;  // the text's width when the label last sized itself
  bool visible_;
};

// The label of that index; any other index names no label.
Label& lblLink(int index);

// All fifty labels as created: for a fresh menu window, and for tests.
void ResetLabels();

// Sizes every label to its text again after the platform's text metrics changed (the menu moved to a
// monitor of another DPI). Width assigned on top of the text's own is kept; visible labels are repainted.
void RemeasureLabels();

// Which visible label a point of pctBG (twips) falls on, or -1 for the background itself. Where two visible
// labels overlap, the lower index is on top and takes the pointer, and it is also drawn last.
int LabelAt(float x, float y);

// The caption as shown: each "&" marks the next character as the access key and is not shown; "&&" shows
// one "&". `underline` receives the position of the access key in the shown text, or -1.
Text ShownCaption(const Text& caption, int* underline = nullptr);

// A colour value: 0x00BBGGRR direct, or system colour number nn (the low byte) when the top bit is set.
bool IsSystemColor(int32_t color);
int SystemColorIndex(int32_t color);
