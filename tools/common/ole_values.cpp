#include "ole_values.h"

#include <algorithm>

namespace tools {

ByteArray::ByteArray(const std::vector<std::uint8_t>& bytes)
    : array_(SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()))) {
  void* data = nullptr;
  if (!bytes.empty() && SafeArrayAccessData(array_, &data) == S_OK) {
    std::ranges::copy(bytes, static_cast<std::uint8_t*>(data));
    SafeArrayUnaccessData(array_);
  }
}

ByteArray::~ByteArray() {
  SafeArrayDestroy(array_);
}

std::vector<std::uint8_t> ByteArray::bytes() const {
  LONG lowest = 0;
  LONG highest = -1;
  void* data = nullptr;
  if (!array_ || SafeArrayGetLBound(array_, 1, &lowest) != S_OK ||
      SafeArrayGetUBound(array_, 1, &highest) != S_OK || highest < lowest ||
      SafeArrayAccessData(array_, &data) != S_OK) {
    return {};
  }
  const auto* first = static_cast<const std::uint8_t*>(data);
  std::vector<std::uint8_t> copied(first, first + (highest - lowest + 1));
  SafeArrayUnaccessData(array_);
  return copied;
}

NumberVariant::NumberVariant(std::int16_t value) {
  VariantInit(&variant_);
  variant_.vt = VT_I2;
  variant_.iVal = value;
}

NumberVariant::~NumberVariant() {
  VariantClear(&variant_);
}

}  // namespace tools
