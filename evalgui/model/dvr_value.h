#pragma once

#include <QStringView>

#include "locale_numbers.h"

// The DVR value held in the text of the DVR entry field. In hexadecimal mode it is the
// hexadecimal number at the start of the text (no prefix, no sign); in decimal mode the decimal
// number at its start, rounded to the nearest integer with halves to even. Blanks before the
// number are skipped, reading stops at the first character that does not belong to it, and a text
// that does not start with a number reads as 0. Values beyond 0..255 are returned as they are,
// limited only to the range of int, for the caller to bring into range.
int readDvrValue(QStringView text, bool hexMode, const LocaleNumbers& numbers = LocaleNumbers());
