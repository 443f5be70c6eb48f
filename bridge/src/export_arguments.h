// Checking, reading and filling the arguments of the exports, which all come
// by reference.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "ksthid_ole.h"

namespace ksthid {

// True when a caller passed a null reference for any argument; the export
// then refuses the call without I/O.
template <typename... Arguments>
bool anyNull(const Arguments*... arguments) {
  return ((arguments == nullptr) || ...);
}

// True for a one-dimensional array of bytes.
bool isByteVector(const SAFEARRAY* array);

// Gives the caller's byte array `count` elements, all zero, indexed from 0;
// a never-dimensioned array (null) is created. False, changing nothing, for
// a null reference or an array that is not a one-dimensional byte array.
bool resizeByteArray(SAFEARRAY** array, std::uint32_t count);

// The elements of a one-dimensional byte array indexed from 0; empty for
// anything else (null, never dimensioned, other bounds or element types).
std::optional<std::span<std::uint8_t>> byteArrayElements(SAFEARRAY* array);

// The number a variant of any numeric type holds, directly or by reference,
// as Visual Basic converts it: fractions rounded half to even, and held to the
// 64-bit range. Empty for other types (strings, dates, objects, empty).
std::optional<std::int64_t> numberFromVariant(const VARIANT* variant);

// The board index a variant holds. Empty when it holds no number, and also,
// after the "Invalid HID Number: " box, when the number is beyond 16 bits.
std::optional<std::int16_t> boardFromVariant(const VARIANT* variant);

}  // namespace ksthid
