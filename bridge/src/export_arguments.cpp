#include "export_arguments.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace ksthid {
namespace {

bool isByteVector(const SAFEARRAY* array) {
  return array != nullptr && array->cDims == 1 && array->cbElements == 1;
}

std::optional<std::int16_t> toInt16(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double rounded = std::nearbyint(value);  // the default mode rounds half to even
  if (rounded < std::numeric_limits<std::int16_t>::min() ||
      rounded > std::numeric_limits<std::int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(rounded);
}

template <typename Integer>
std::optional<std::int16_t> toInt16(Integer value) {
  if (!std::in_range<std::int16_t>(value)) return std::nullopt;
  return static_cast<std::int16_t>(value);
}

// Reads the number a variant holds, directly or through a reference.
template <typename Read>
std::optional<std::int16_t> readNumber(const VARIANT& v, bool byReference, Read read) {
  switch (v.vt & ~VT_BYREF) {
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
      return read(static_cast<double>(v.fltVal), v.pfltVal, byReference);
    case VT_R8:
      return read(v.dblVal, v.pdblVal, byReference);
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

std::optional<std::int16_t> integerFromVariant(const VARIANT* variant) {
  if (variant == nullptr) return std::nullopt;
  const bool byReference = (variant->vt & VT_BYREF) != 0;
  return readNumber(*variant, byReference, [](auto value, auto* pointer, bool viaPointer) {
    if (!viaPointer) return toInt16(value);
    if (pointer == nullptr) return std::optional<std::int16_t>{};
    return toInt16(static_cast<decltype(value)>(*pointer));
  });
}

}  // namespace ksthid
