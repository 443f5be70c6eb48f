#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

#include "locale_numbers.h"

// The texts of the DVR entry field, which hold the register value 0 to 255 in decimal or in
// hexadecimal (digits only, no prefix).

// Upper-case hexadecimal digits for a register of 8 or 10 bits, padded to the register's width
// (two or three digits) and capped at its highest value; empty for any other width. A negative
// value gives the digits of its 16-bit two's complement.
QString formatHex(std::int16_t value, std::uint8_t width);

// Typing filters: the character to insert for a typed one, 0 to drop it. Enter and Backspace
// always pass.
char16_t filterHexKey(char16_t key);
char16_t filterDecimalKey(char16_t key);

// The text that the field takes instead of this one: "0" for a text that holds no number in the
// notation, the text of 255 or 0 for a value beyond them. Empty when the text may stay.
std::optional<QString> dvrTextCorrection(QStringView text, bool hexMode,
                                         const LocaleNumbers& numbers);

// The text after a step of the value by `step`. It can lie beyond 0 to 255, for the correction
// to bring back.
QString steppedDvrText(QStringView text, bool hexMode, int step, const LocaleNumbers& numbers);

// The same value written in the other notation.
QString convertedDvrText(QStringView text, bool toHex, const LocaleNumbers& numbers);
