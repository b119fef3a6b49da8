#include "tools/author/char_cells.h"

int NextCharacter(const uint8_t* bytes, std::size_t size, char32_t* character) {
  return TableNextCharacter(bytes, size, character);
}

int CharacterCells(char32_t character) {
  return TableCharacterCells(character);
}
