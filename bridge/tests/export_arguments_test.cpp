// Numbers in variants, as a Visual Basic caller passes them where a board
// index or an option is expected.
#include "export_arguments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>

namespace ksthid {
namespace {

constexpr auto kLargest = std::numeric_limits<std::int64_t>::max();
constexpr auto kSmallest = std::numeric_limits<std::int64_t>::min();

// By field name: on Windows both types hold unions of their own.
CY currency(std::int64_t tenThousandths) {
  CY value{};
  value.int64 = tenThousandths;
  return value;
}

DECIMAL decimalValue(std::uint8_t scale, std::uint8_t sign, std::uint32_t high, std::uint64_t low) {
  DECIMAL value{};
  value.scale = scale;
  value.sign = sign;
  value.Hi32 = high;
  value.Lo64 = low;
  return value;
}

// The values the by-reference variants point at.
std::int16_t shortValue = 7;
double doubleValue = 0.5;
VARIANT_BOOL trueValue = -1;
CY currencyValue = currency(-25000);
DECIMAL negativeDecimal = decimalValue(1, DECIMAL_NEG, 0, 35);  // -3.5

template <typename Fill>
VARIANT variant(VARTYPE type, Fill fill) {
  VARIANT v;
  VariantInit(&v);
  v.vt = type;
  fill(v);
  return v;
}

VARIANT decimal(std::uint8_t scale, std::uint8_t sign, std::uint32_t high, std::uint64_t low) {
  VARIANT v;
  VariantInit(&v);
  const DECIMAL value = decimalValue(scale, sign, high, low);
  std::memcpy(&v, &value, sizeof value);
  v.vt = VT_DECIMAL;  // the decimal's reserved field
  return v;
}

struct Case {
  const char* what;
  VARIANT variant;
  std::optional<std::int64_t> number;
};

TEST(NumberFromVariantTest, EveryNumericTypeGivesItsNumberRoundedHalfToEven) {
  const Case cases[] = {
      {"Boolean True", variant(VT_BOOL, [](VARIANT& v) { v.boolVal = -1; }), -1},
      {"Byte", variant(VT_UI1, [](VARIANT& v) { v.bVal = 200; }), 200},
      {"signed byte", variant(VT_I1, [](VARIANT& v) { v.cVal = -5; }), -5},
      {"Integer", variant(VT_I2, [](VARIANT& v) { v.iVal = -32768; }), -32768},
      {"unsigned Integer", variant(VT_UI2, [](VARIANT& v) { v.uiVal = 65535; }), 65535},
      {"Long", variant(VT_I4, [](VARIANT& v) { v.lVal = 0x10006; }), 0x10006},
      {"unsigned Long", variant(VT_UI4, [](VARIANT& v) { v.ulVal = 4000000000u; }), 4000000000},
      {"LongLong", variant(VT_I8, [](VARIANT& v) { v.llVal = -1000000000000; }), -1000000000000},
      {"unsigned LongLong beyond 63 bits",
       variant(VT_UI8, [](VARIANT& v) { v.ullVal = UINT64_MAX; }), kLargest},
      {"int", variant(VT_INT, [](VARIANT& v) { v.intVal = -3; }), -3},
      {"unsigned int", variant(VT_UINT, [](VARIANT& v) { v.uintVal = 3; }), 3},
      {"Single 2.5", variant(VT_R4, [](VARIANT& v) { v.fltVal = 2.5f; }), 2},
      {"Single 3.5", variant(VT_R4, [](VARIANT& v) { v.fltVal = 3.5f; }), 4},
      {"Double -2.5", variant(VT_R8, [](VARIANT& v) { v.dblVal = -2.5; }), -2},
      {"Double 1.6", variant(VT_R8, [](VARIANT& v) { v.dblVal = 1.6; }), 2},
      {"Double 1e300", variant(VT_R8, [](VARIANT& v) { v.dblVal = 1e300; }), kLargest},
      {"Double -1e300", variant(VT_R8, [](VARIANT& v) { v.dblVal = -1e300; }), kSmallest},
      {"Currency 2.5", variant(VT_CY, [](VARIANT& v) { v.cyVal = currency(25000); }), 2},
      {"Currency 3.5", variant(VT_CY, [](VARIANT& v) { v.cyVal = currency(35000); }), 4},
      {"Currency -1.5", variant(VT_CY, [](VARIANT& v) { v.cyVal = currency(-15000); }), -2},
      {"Currency 2.5001", variant(VT_CY, [](VARIANT& v) { v.cyVal = currency(25001); }), 3},
      {"Currency 1.4999", variant(VT_CY, [](VARIANT& v) { v.cyVal = currency(14999); }), 1},
      {"Decimal 2.5", decimal(1, 0, 0, 25), 2},
      {"Decimal 3.5", decimal(1, 0, 0, 35), 4},
      {"Decimal 2.50001", decimal(5, 0, 0, 250001), 3},
      {"Decimal -0.5", decimal(1, DECIMAL_NEG, 0, 5), 0},
      {"Decimal 70000", decimal(0, 0, 0, 70000), 70000},
      {"Decimal 2^64 / 10^19", decimal(19, 0, 1, 0), 2},  // 1.8446744...
      {"Decimal beyond 64 bits", decimal(0, 0, 1, 0), kLargest},
      {"Decimal with 29 places", decimal(29, 0, 0, 1), std::nullopt},
      {"Integer by reference", variant(VT_I2 | VT_BYREF, [](VARIANT& v) { v.piVal = &shortValue; }),
       7},
      {"Double by reference",
       variant(VT_R8 | VT_BYREF, [](VARIANT& v) { v.pdblVal = &doubleValue; }), 0},
      {"Boolean by reference",
       variant(VT_BOOL | VT_BYREF, [](VARIANT& v) { v.pboolVal = &trueValue; }), -1},
      {"Currency by reference",
       variant(VT_CY | VT_BYREF, [](VARIANT& v) { v.pcyVal = &currencyValue; }), -2},
      {"Decimal by reference",
       variant(VT_DECIMAL | VT_BYREF, [](VARIANT& v) { v.pdecVal = &negativeDecimal; }), -4},
      {"null reference", variant(VT_I4 | VT_BYREF, [](VARIANT& v) { v.plVal = nullptr; }),
       std::nullopt},
      {"Double NaN", variant(VT_R8, [](VARIANT& v) { v.dblVal = std::nan(""); }), std::nullopt},
      {"Empty", variant(VT_EMPTY, [](VARIANT&) {}), std::nullopt},
      {"String", variant(VT_BSTR, [](VARIANT&) {}), std::nullopt},
      {"Date", variant(VT_DATE, [](VARIANT& v) { v.dblVal = 2.0; }), std::nullopt},
      {"Object", variant(VT_DISPATCH, [](VARIANT&) {}), std::nullopt},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(numberFromVariant(&test.variant), test.number) << test.what;
  }
  EXPECT_EQ(numberFromVariant(nullptr), std::nullopt);
}

}  // namespace
}  // namespace ksthid
