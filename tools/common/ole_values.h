// The library's OLE byte arrays and variants, owned on the caller's side as its exports expect.
#pragma once

#include <cstdint>
#include <vector>

#include "ksthid.h"

namespace tools {

// A byte array with lower bound 0; the library may resize it.
class ByteArray {
 public:
  explicit ByteArray(const std::vector<std::uint8_t>& bytes = {});
  ~ByteArray();
  ByteArray(const ByteArray&) = delete;
  ByteArray& operator=(const ByteArray&) = delete;

  SAFEARRAY** address() { return &array_; }
  std::vector<std::uint8_t> bytes() const;

 private:
  SAFEARRAY* array_;
};

// A variant holding a 16-bit number, as the exports that take a variant want it.
class NumberVariant {
 public:
  explicit NumberVariant(std::int16_t value);
  ~NumberVariant();
  NumberVariant(const NumberVariant&) = delete;
  NumberVariant& operator=(const NumberVariant&) = delete;

  VARIANT* address() { return &variant_; }

 private:
  VARIANT variant_;
};

}  // namespace tools
