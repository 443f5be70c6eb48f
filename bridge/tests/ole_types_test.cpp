// The byte arrays and variants that stand in for OLE Automation's.
#include <gtest/gtest.h>

#include <cstddef>

#include "ksthid_ole.h"

namespace {

TEST(OleTypesTest, LayoutMatchesOleAutomation) {
  EXPECT_EQ(offsetof(SAFEARRAY, cDims), 0u);
  EXPECT_EQ(offsetof(SAFEARRAY, fFeatures), 2u);
  EXPECT_EQ(offsetof(SAFEARRAY, cbElements), 4u);
  EXPECT_EQ(offsetof(SAFEARRAY, cLocks), 8u);
  EXPECT_EQ(offsetof(SAFEARRAY, pvData), sizeof(void*) == 8 ? 16u : 12u);
  EXPECT_EQ(offsetof(VARIANT, vt), 0u);
  EXPECT_EQ(offsetof(VARIANT, iVal), 8u);
  EXPECT_EQ(sizeof(VARIANT), sizeof(void*) == 8 ? 24u : 16u);
  EXPECT_EQ(offsetof(DECIMAL, scale), 2u);
  EXPECT_EQ(offsetof(DECIMAL, Hi32), 4u);
  EXPECT_EQ(offsetof(DECIMAL, Lo64), 8u);
  EXPECT_EQ(sizeof(DECIMAL), 16u);
}

TEST(OleTypesTest, RedimKeepsElementsAndZeroesNewOnes) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 2);
  ASSERT_NE(array, nullptr);
  static_cast<std::uint8_t*>(array->pvData)[1] = 9;
  SAFEARRAYBOUND bound{4, 0};
  ASSERT_EQ(SafeArrayRedim(array, &bound), S_OK);
  LONG lower = -1, upper = -1;
  EXPECT_EQ(SafeArrayGetLBound(array, 1, &lower), S_OK);
  EXPECT_EQ(SafeArrayGetUBound(array, 1, &upper), S_OK);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 3);
  const auto* data = static_cast<std::uint8_t*>(array->pvData);
  EXPECT_EQ(data[1], 9);
  EXPECT_EQ(data[3], 0);
  EXPECT_EQ(SafeArrayGetUBound(array, 2, &upper), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(OleTypesTest, LockedArrayCannotBeResizedOrDestroyed) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 1);
  void* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(array, &data), S_OK);
  SAFEARRAYBOUND bound{8, 0};
  EXPECT_EQ(SafeArrayRedim(array, &bound), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(SafeArrayUnaccessData(array), S_OK);
  EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

// Windows has the whole of OLE Automation; elsewhere only byte arrays.
#ifndef _WIN32
TEST(OleTypesTest, OnlyByteArraysAreMade) {
  EXPECT_EQ(SafeArrayCreateVector(VT_I2, 0, 4), nullptr);
  SAFEARRAY* empty = SafeArrayCreateVector(VT_UI1, 0, 0);
  ASSERT_NE(empty, nullptr);
  LONG upper = 0;
  SafeArrayGetUBound(empty, 1, &upper);
  EXPECT_EQ(upper, -1);
  SafeArrayDestroy(empty);
}
#endif

TEST(OleTypesTest, ClearingAVariantReleasesItsArray) {
  VARIANT v;
  VariantInit(&v);
  EXPECT_EQ(v.vt, VT_EMPTY);
  v.vt = VT_ARRAY | VT_UI1;
  v.parray = SafeArrayCreateVector(VT_UI1, 0, 16);
  EXPECT_EQ(VariantClear(&v), S_OK);  // the leak checker would see a lost array
  EXPECT_EQ(v.vt, VT_EMPTY);
}

}  // namespace
