// Characters of UTF-8 text and the terminal cells each takes, for the source lines under findings: GNU
// libunistring answers on Linux, a table of Unicode's wide and zero-width characters where it is missing.
#pragma once

#include <cstddef>
#include <cstdint>

// The character that starts `bytes` and its length in bytes; 0 or less when no valid UTF-8 character starts
// there (a stray byte, an overlong form, a surrogate, a value beyond U+10FFFF, a cut sequence).
int NextCharacter(const uint8_t* bytes, std::size_t size, char32_t* character);
// 2 for a wide (East Asian) character, 0 for a combining or zero-width one, 1 for the rest; -1 for one a
// terminal does not print.
int CharacterCells(char32_t character);

// The same answers from Unicode's ranges alone, on every system: what the Windows build uses.
int TableNextCharacter(const uint8_t* bytes, std::size_t size, char32_t* character);
int TableCharacterCells(char32_t character);
