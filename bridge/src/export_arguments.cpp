#include "export_arguments.h"

#include <array>
#include <cmath>
#include <concepts>
#include <cstring>
#include <limits>
#include <utility>

#include "connection.h"

namespace ksthid {

bool isByteVector(const SAFEARRAY* array) {
  return array != nullptr && array->cDims == 1 && array->cbElements == 1;
}

namespace {

constexpr auto kLargest = std::numeric_limits<std::int64_t>::max();
constexpr auto kSmallest = std::numeric_limits<std::int64_t>::min();

// A magnitude with its sign, held to the 64-bit range.
std::int64_t signedMagnitude(bool negative, std::uint64_t magnitude) {
  constexpr auto kLargestMagnitude = static_cast<std::uint64_t>(kLargest);
  if (magnitude > kLargestMagnitude) return negative ? kSmallest : kLargest;
  const auto value = static_cast<std::int64_t>(magnitude);
  return negative ? -value : value;
}

// Half to even, as Visual Basic rounds: up when the part dropped is more than
// a half, or exactly a half and the part kept is odd.
bool roundsUp(int droppedDigit, bool droppedBelowDigit, std::uint64_t kept) {
  return droppedDigit > 5 || (droppedDigit == 5 && (droppedBelowDigit || kept % 2 == 1));
}

std::optional<std::int64_t> wholeNumber(double value) {
  if (std::isnan(value)) return std::nullopt;
  const double rounded = std::nearbyint(value);  // the default mode rounds half to even
  if (rounded >= 0x1p63) return kLargest;
  if (rounded < -0x1p63) return kSmallest;
  return static_cast<std::int64_t>(rounded);
}

std::optional<std::int64_t> wholeNumber(float value) {
  return wholeNumber(static_cast<double>(value));
}

template <std::integral Integer>
std::optional<std::int64_t> wholeNumber(Integer value) {
  if (std::cmp_greater(value, kLargest)) return kLargest;
  return static_cast<std::int64_t>(value);
}

// Currency counts ten-thousandths.
std::optional<std::int64_t> wholeNumber(const CY& currency) {
  constexpr std::int64_t kUnit = 10000;
  const std::int64_t units = currency.int64 / kUnit;
  const std::int64_t fraction = currency.int64 % kUnit;  // with the sign of the value
  const std::uint64_t dropped = static_cast<std::uint64_t>(fraction < 0 ? -fraction : fraction);
  const int droppedDigit = static_cast<int>(dropped / (kUnit / 10));
  const bool droppedBelow = dropped % (kUnit / 10) != 0;
  const std::uint64_t kept = static_cast<std::uint64_t>(units < 0 ? -units : units);
  if (!roundsUp(droppedDigit, droppedBelow, kept)) return units;
  return currency.int64 < 0 ? units - 1 : units + 1;
}

// A decimal is a 96-bit magnitude over a power of ten: divided by ten once a
// decimal place, its three 32-bit parts keep the whole part, and the digits
// dropped decide the rounding.
std::optional<std::int64_t> wholeNumber(const DECIMAL& decimal) {
  constexpr int kMostPlaces = 28;
  if (decimal.scale > kMostPlaces) return std::nullopt;
  std::array<std::uint64_t, 3> parts{decimal.Hi32, decimal.Lo64 >> 32, decimal.Lo64 & 0xFFFFFFFF};
  int droppedDigit = 0;
  bool droppedBelow = false;
  for (int place = 0; place < decimal.scale; ++place) {
    std::uint64_t remainder = 0;
    for (std::uint64_t& part : parts) {
      const std::uint64_t dividend = (remainder << 32) | part;
      part = dividend / 10;
      remainder = dividend % 10;
    }
    droppedBelow = droppedBelow || droppedDigit != 0;
    droppedDigit = static_cast<int>(remainder);
  }
  const bool negative = (decimal.sign & DECIMAL_NEG) != 0;
  if (parts[0] != 0) return negative ? kSmallest : kLargest;
  std::uint64_t magnitude = (parts[1] << 32) | parts[2];
  if (roundsUp(droppedDigit, droppedBelow, magnitude) && magnitude < UINT64_MAX) ++magnitude;
  return signedMagnitude(negative, magnitude);
}

// A decimal held by value fills the whole variant.
DECIMAL decimalIn(const VARIANT& variant) {
  DECIMAL decimal;
  std::memcpy(&decimal, &variant, sizeof decimal);
  return decimal;
}

// Reads the number a variant holds, directly or through a reference.
template <typename Read>
std::optional<std::int64_t> readNumber(const VARIANT& v, bool byReference, Read read) {
  switch (v.vt & ~VT_BYREF) {
    case VT_BOOL:
      return read(v.boolVal, v.pboolVal, byReference);
    case VT_I1:
      // Plain char on Windows, which is no integer type to std::in_range.
      return read(static_cast<signed char>(v.cVal), v.pcVal, byReference);
    case VT_UI1:
      return read(v.bVal, v.pbVal, byReference);
    case VT_I2:
      return read(v.iVal, v.piVal, byReference);
    case VT_UI2:
      return read(v.uiVal, v.puiVal, byReference);
    case VT_I4:
      return read(v.lVal, v.plVal, byReference);
    case VT_UI4:
      return read(v.ulVal, v.pulVal, byReference);
    case VT_I8:
      return read(v.llVal, v.pllVal, byReference);
    case VT_UI8:
      return read(v.ullVal, v.pullVal, byReference);
    case VT_INT:
      return read(v.intVal, v.pintVal, byReference);
    case VT_UINT:
      return read(v.uintVal, v.puintVal, byReference);
    case VT_R4:
      return read(v.fltVal, v.pfltVal, byReference);
    case VT_R8:
      return read(v.dblVal, v.pdblVal, byReference);
    case VT_CY:
      return read(v.cyVal, v.pcyVal, byReference);
    case VT_DECIMAL:
      return read(decimalIn(v), v.pdecVal, byReference);
    default:
      return std::nullopt;
  }
}

}  // namespace

bool resizeByteArray(SAFEARRAY** array, std::uint32_t count) {
  if (array == nullptr) return false;
  if (*array == nullptr) {
    *array = SafeArrayCreateVector(VT_UI1, 0, count);
    if (*array == nullptr) return false;
  } else {
    if (!isByteVector(*array)) return false;
    SAFEARRAYBOUND bound{count, 0};
    if (SafeArrayRedim(*array, &bound) != S_OK) return false;
  }
  if (count > 0) std::memset((*array)->pvData, 0, count);
  return true;
}

std::optional<std::span<std::uint8_t>> byteArrayElements(SAFEARRAY* array) {
  if (!isByteVector(array) || array->rgsabound[0].lLbound != 0) return std::nullopt;
  return std::span<std::uint8_t>(static_cast<std::uint8_t*>(array->pvData),
                                 array->rgsabound[0].cElements);
}

std::optional<std::int64_t> numberFromVariant(const VARIANT* variant) {
  if (variant == nullptr) return std::nullopt;
  const bool byReference = (variant->vt & VT_BYREF) != 0;
  return readNumber(*variant, byReference, [](auto value, auto* pointer, bool viaPointer) {
    if (!viaPointer) return wholeNumber(value);
    if (pointer == nullptr) return std::optional<std::int64_t>{};
    return wholeNumber(static_cast<decltype(value)>(*pointer));
  });
}

std::optional<std::int16_t> boardFromVariant(const VARIANT* variant) {
  const auto number = numberFromVariant(variant);
  if (!number) return std::nullopt;
  if (!std::in_range<std::int16_t>(*number)) {
    validateHidNumber(*number);
    return std::nullopt;
  }
  return static_cast<std::int16_t>(*number);
}

}  // namespace ksthid
