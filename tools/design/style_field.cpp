#include "tools/design/style_field.h"

#include "platform/errors.h"
#include "platform/numbers.h"

StyleField ReadStyleField(const Text& field) {
  StyleField style;
  style.sizeText = Mid(field, 3);
  try {
    style.bold = ToFlag(Mid(field, 1, 1));
    style.italic = ToFlag(Mid(field, 2, 1));
    style.points = ToSingle(style.sizeText);
  } catch (const AppError&) {
    return style;
  }
  style.readable = true;
  return style;
}

Text StyleFieldAfterChoice(const Text& original, bool bold, bool italic, int points) {
  StyleField before = ReadStyleField(original);
  auto flag = [](bool on) { return Text(1, on ? L'1' : L'0'); };
  if (!before.readable) return flag(bold) + flag(italic) + ToDecimalText(points);
  Text boldText = before.bold == bold ? Mid(original, 1, 1) : flag(bold);
  Text italicText = before.italic == italic ? Mid(original, 2, 1) : flag(italic);
  Text sizeText = before.points == static_cast<float>(points) ? before.sizeText : ToDecimalText(points);
  return boldText + italicText + sizeText;
}

int WholePoints(int tenthsOfPoint) {
  int points = (tenthsOfPoint + 5) / 10;
  return points < 1 ? 1 : points;
}
