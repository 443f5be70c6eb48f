#pragma once

// The rules of the DVR entry field txtTest, which holds the register value 0 to 255 as text in
// decimal or in hexadecimal (digits only, no prefix): reading, writing, typing, correcting,
// stepping and converting its text. Texts are UTF-8 std::string; typed characters are UTF-16
// code units (char16_t), as keyboards deliver them on every platform.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "number_text.h"

// The value at the start of the text. In hexadecimal the digits up to the first other character;
// in decimal the number at the start, rounded to the nearest integer with halves to even. Blanks
// before the number are skipped, and a text that does not start with a number reads as 0. Values
// beyond 0..255 are returned as they are, limited only to the range of int.
int readDvrValue(std::string_view text, bool hexMode, const NumberText& numbers);

// Upper-case hexadecimal digits for a register of 8 or 10 bits, padded to the register's width
// (two or three digits) and capped at its highest value; empty for any other width. A negative
// value gives the digits of its 16-bit two's complement.
std::string formatHex(std::int16_t value, std::uint8_t width);

// Typing filters: the character to insert for a typed one, 0 to drop it. Enter (13) and
// Backspace (8) always pass; the hexadecimal filter turns a to f into A to F.
char16_t filterHexKey(char16_t key);
char16_t filterDecimalKey(char16_t key);

// The text that the field takes instead of this one: "0" for a text that holds no number in the
// notation, the text of 255 or 0 for a value beyond them. Empty when the text may stay.
std::optional<std::string> dvrTextCorrection(std::string_view text, bool hexMode,
                                             const NumberText& numbers);

// The text after a step of the value by `step`. It can lie beyond 0 to 255, for the correction
// to bring back; a hexadecimal value below 0 is written 000.
std::string steppedDvrText(std::string_view text, bool hexMode, int step,
                           const NumberText& numbers);

// The same value written in the other notation.
std::string convertedDvrText(std::string_view text, bool toHex, const NumberText& numbers);

// A text that arrives without typing (a paste) in hexadecimal mode: upper-cased when it holds
// hexadecimal digits only, empty when the field refuses it and keeps its text.
std::optional<std::string> acceptedHexText(std::string_view text);

// The caption of the field's label lblDVR2 that names the notation: "DVR (hex)" or "DVR (dec)".
const char* dvrNotationCaption(bool hexMode);
