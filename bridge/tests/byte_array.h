// A caller's byte array, owned by the test and passed by reference as the
// exports take it.
#pragma once

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "ksthid_ole.h"

namespace ksthid::testing {

class ByteArray {
 public:
  // Never dimensioned.
  ByteArray() = default;
  explicit ByteArray(const std::vector<std::uint8_t>& values, LONG lowerBound = 0)
      : array_(SafeArrayCreateVector(VT_UI1, lowerBound, static_cast<ULONG>(values.size()))) {
    if (!values.empty()) std::memcpy(array_->pvData, values.data(), values.size());
  }
  ByteArray(ByteArray&& other) noexcept : array_(std::exchange(other.array_, nullptr)) {}
  ByteArray& operator=(ByteArray&& other) noexcept {
    std::swap(array_, other.array_);
    return *this;
  }
  ~ByteArray() { SafeArrayDestroy(array_); }

  SAFEARRAY** byReference() { return &array_; }

  std::vector<std::uint8_t> elements() const {
    if (!array_) return {};
    const auto* data = static_cast<const std::uint8_t*>(array_->pvData);
    return {data, data + array_->rgsabound[0].cElements};
  }

  LONG lowerBound() const { return array_->rgsabound[0].lLbound; }

 private:
  SAFEARRAY* array_ = nullptr;
};

}  // namespace ksthid::testing
