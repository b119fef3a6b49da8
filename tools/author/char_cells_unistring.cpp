#include <unistr.h>
#include <uniwidth.h>

#include "tools/author/char_cells.h"

int NextCharacter(const uint8_t* bytes, std::size_t size, char32_t* character) {
  ucs4_t c = 0;
  int length = u8_mbtoucr(&c, bytes, size);
  *character = c;
  return length;
}

int CharacterCells(char32_t character) {
  return uc_width(character, "UTF-8");
}
