#include "tools/design/colour_field.h"

#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/numbers.h"

ColourField ReadColourField(const Text& field) {
  ColourField colour;
  try {
    colour.value = ToInt32(field);
  } catch (const AppError&) {
    return colour;
  }
  colour.readable = true;
  colour.system = IsSystemColor(colour.value);
  if (colour.system)
    colour.systemIndex = SystemColorIndex(colour.value);
  else
    colour.bgr = static_cast<uint32_t>(colour.value) & 0x00FFFFFFu;
  return colour;
}

uint32_t BgrOf(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue) << 16;
}

Text ColourFieldText(uint8_t red, uint8_t green, uint8_t blue) {
  return ToDecimalText(static_cast<int32_t>(BgrOf(red, green, blue)));
}

bool ColourChanged(const ColourField& field, uint32_t shownBgr, uint32_t chosenBgr) {
  return !field.readable || (shownBgr & 0x00FFFFFFu) != (chosenBgr & 0x00FFFFFFu);
}

const wchar_t* SystemColourName(int index) {
  static const wchar_t* const names[] = {L"scroll bar",
                                         L"desktop",
                                         L"active caption",
                                         L"inactive caption",
                                         L"menu",
                                         L"window",
                                         L"window frame",
                                         L"menu text",
                                         L"window text",
                                         L"caption text",
                                         L"active border",
                                         L"inactive border",
                                         L"application workspace",
                                         L"highlight",
                                         L"highlighted text",
                                         L"button face",
                                         L"button shadow",
                                         L"grey text",
                                         L"button text",
                                         L"inactive caption text",
                                         L"button highlight",
                                         L"3D dark shadow",
                                         L"3D light",
                                         L"tooltip text",
                                         L"tooltip background",
                                         L"",
                                         L"hot-tracked item",
                                         L"active caption gradient",
                                         L"inactive caption gradient",
                                         L"menu highlight",
                                         L"menu bar"};
  if (index < 0 || index >= static_cast<int>(sizeof names / sizeof names[0])) return L"";
  return names[index];
}

Text DescribeColourField(const Text& field) {
  ColourField colour = ReadColourField(field);
  if (!colour.readable) return L"not a number: " + field;
  if (!colour.system) return ToDecimalText(static_cast<int32_t>(colour.bgr));
  Text name = SystemColourName(colour.systemIndex);
  Text text = L"system colour " + ToDecimalText(colour.systemIndex);
  return name.empty() ? text + L": none, drawn black" : text + L": " + name;
}
