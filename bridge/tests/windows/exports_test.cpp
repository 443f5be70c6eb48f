// Every export of ksthid.dll, called as a host calls it: looked up by name,
// with the standard calling convention and every argument by reference.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "ksthid.h"
#include "loaded_library.h"

namespace ksthid::testing {
namespace {

class ExportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    KSTHID_EXPORT(library, kstHID_setMessageBoxHandler).call(&ExportsTest::showBox, this);
  }
  void TearDown() override {
    KSTHID_EXPORT(library, kstHID_setMessageBoxHandler).call(nullptr, nullptr);
  }

  // Calls an export with the addresses of `arguments`, expecting it to show
  // only the box that names HIDnumber 0; gives back what the export returned.
  template <typename Function, typename... Arguments>
  auto refusedCall(Export<Function> entry, Arguments&... arguments) {
    SCOPED_TRACE(entry.name);
    boxes.clear();
    if constexpr (std::is_void_v<decltype(entry.call(&arguments...))>) {
      entry.call(&arguments...);
      expectOnlyInvalidHidNumberBox();
    } else {
      const auto result = entry.call(&arguments...);
      expectOnlyInvalidHidNumberBox();
      return result;
    }
  }

  void expectOnlyInvalidHidNumberBox() {
    EXPECT_EQ(boxes, std::vector<std::string>{"Invalid HID Number: 0"});
    EXPECT_EQ(captions, std::vector<std::string>(boxes.size(), "ksthid"));
    captions.clear();
  }

  LoadedLibrary library{"ksthid.dll"};
  std::vector<std::string> boxes;
  std::vector<std::string> captions;

 private:
  static int KSTHID_CALL showBox(void* context, const char* text, const char* caption, unsigned) {
    auto* test = static_cast<ExportsTest*>(context);
    test->boxes.push_back(text);
    test->captions.push_back(caption);
    return KSTHID_IDCANCEL;
  }
};

VARIANT boardIndex(std::int16_t board) {
  VARIANT variant;
  VariantInit(&variant);
  variant.vt = VT_I2;
  variant.iVal = board;
  return variant;
}

LONG upperBound(SAFEARRAY* array) {
  LONG upper = -2;
  EXPECT_EQ(SafeArrayGetUBound(array, 1, &upper), S_OK);
  return upper;
}

TEST_F(ExportsTest, WithoutABoardConnectFindsNoneAndSaysNothing) {
  EXPECT_EQ(KSTHID_EXPORT(library, kstHID_connect).call(), 0);
  KSTHID_EXPORT(library, kstHID_closeHandles).call();
  KSTHID_EXPORT(library, kstHID_closeHandles).call();
  EXPECT_TRUE(boxes.empty());
}

// One line an export: its arguments, and its failure value for a board that
// is not there.
TEST_F(ExportsTest, WithoutABoardEveryCommandRefusesHidNumberZero) {
  ASSERT_EQ(KSTHID_EXPORT(library, kstHID_connect).call(), 0);
  std::int16_t board = 0, number = 0, flag = -1;
  std::uint8_t byte = 0;
  VARIANT boardVariant = boardIndex(0);
  SAFEARRAY* array = nullptr;

  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_getLEDState), number, board), 0);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_setLEDState), byte, number, board), 1);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_indicateSelectedModule), board), 1);
  refusedCall(KSTHID_EXPORT(library, kstHID_showVersion), board);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_getSystemClockFrequency), boardVariant), 0);
  EXPECT_EQ(
      refusedCall(KSTHID_EXPORT(library, kstHID_setGPIOConfiguration), byte, byte, flag, board), 0);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_getGPIOConfiguration), array, board), 0);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_setGPIOValue), byte, byte, board), 0);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_getGPIOValue), array, flag, board), 0);

  std::uint8_t one = 1;
  SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, 1);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_doI2CRead), byte, byte, one, array, bytes,
                        board, number),
            1);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_doI2CWrite), byte, byte, one, bytes, bytes,
                        board, number),
            1);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_probeI2CAddress), byte, board, byte), 1);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_getSMBusFrequency), board), 0);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_getSMBusTimerCount), board), 0);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_setSMBusTimerCount), byte, board), 1);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_getI2COptions), board), 0);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_setI2COptions), byte, byte, board), 1);
  refusedCall(KSTHID_EXPORT(library, kstHID_toggleSCL), board);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_setSPIOptions), boardVariant, boardVariant),
            1);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_getSPIOptions), boardVariant), 0);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_setSPIClockDivisor), byte, board), 1);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_getSPIClockDivisor), boardVariant), 0);
  EXPECT_EQ(refusedCall(KSTHID_EXPORT(library, kstHID_doSPITransaction), one, bytes, number, board,
                        number, byte),
            1);
  SafeArrayDestroy(bytes);

  SafeArrayDestroy(array);
}

TEST_F(ExportsTest, GetterCreatesTheCallersNeverDimensionedArray) {
  SAFEARRAY* configuration = nullptr;
  std::int16_t board = 0;
  refusedCall(KSTHID_EXPORT(library, kstHID_getGPIOConfiguration), configuration, board);
  ASSERT_NE(configuration, nullptr);
  EXPECT_EQ(SafeArrayGetDim(configuration), 1u);
  LONG lower = -1;
  EXPECT_EQ(SafeArrayGetLBound(configuration, 1, &lower), S_OK);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upperBound(configuration), 3);

  // The same array, dimensioned now, is redimensioned for the next getter.
  std::int16_t flag = 0;
  refusedCall(KSTHID_EXPORT(library, kstHID_getGPIOValue), configuration, flag, board);
  EXPECT_EQ(upperBound(configuration), 2);
  // What the library made, the caller's OLE Automation frees.
  EXPECT_EQ(SafeArrayDestroy(configuration), S_OK);
}

TEST_F(ExportsTest, DllMainIsTrueOnlyForTheProcessAttaching) {
  using DllMainFunction = BOOL WINAPI(HINSTANCE, DWORD, LPVOID);
  const auto dllMain = library.find<DllMainFunction>("DllMain");
  EXPECT_EQ(dllMain.call(library.module(), DLL_PROCESS_ATTACH, nullptr), -1);
  EXPECT_EQ(dllMain.call(library.module(), DLL_THREAD_ATTACH, nullptr), 0);
}

// Run with KSTHID_SIMULATE=1: the library adds one virtual board to the
// boards Windows has.
using SimulatedBoardTest = ExportsTest;

TEST_F(SimulatedBoardTest, ExportsDriveTheBoardThroughTheirReferences) {
  ASSERT_EQ(KSTHID_EXPORT(library, kstHID_connect).call(), 1);
  std::int16_t board = 0, flag = 0;
  std::uint8_t first = 0x50, second = 0x07;
  EXPECT_EQ(KSTHID_EXPORT(library, kstHID_setGPIOValue).call(&first, &second, &board), 8);

  SAFEARRAY* values = nullptr;
  EXPECT_EQ(KSTHID_EXPORT(library, kstHID_getGPIOValue).call(&values, &flag, &board), 1);
  ASSERT_NE(values, nullptr);
  ASSERT_EQ(upperBound(values), 2);
  const auto* bytes = static_cast<const std::uint8_t*>(values->pvData);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + 3),
            (std::vector<std::uint8_t>{0x50, 0x07, 0}));
  SafeArrayDestroy(values);

  VARIANT boardVariant = boardIndex(0);
  EXPECT_EQ(KSTHID_EXPORT(library, kstHID_getSystemClockFrequency).call(&boardVariant), 24000);
  // A Long option beyond 16 bits keeps its low three bits, as oleaut32 lays it out.
  VARIANT options;
  VariantInit(&options);
  options.vt = VT_I4;
  options.lVal = 0x10006;
  EXPECT_EQ(KSTHID_EXPORT(library, kstHID_setSPIOptions).call(&options, &boardVariant), 8);
  EXPECT_EQ(KSTHID_EXPORT(library, kstHID_getSPIOptions).call(&boardVariant), 6);
  KSTHID_EXPORT(library, kstHID_showVersion).call(&board);
  EXPECT_EQ(boxes, std::vector<std::string>{"Firmware Version 1.0 - 2026/December/1"});
}

}  // namespace
}  // namespace ksthid::testing
