#include "eval_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "fake_bridge_library.h"
#include "fake_window_view.h"
#include "plain_number_text.h"

#include "fake_boxes.h"
namespace {

using Log = std::vector<std::string>;

class EvalWindowTest : public testing::Test {
 protected:
  void load(std::int16_t boards = 1) {
    library.findBoards(boards);
    view.attach(window);
    ASSERT_TRUE(window.Form_Load());
    library.calls.clear();
    view.log.clear();
  }
  std::string text(Control control) const { return view.text(control); }

  FakeBridgeLibrary library;
  FakeWindowView view;
  FakeBoxes boxes;
  PlainNumberText numbers;
  EvalWindow window{view, library, boxes, numbers};
};

TEST_F(EvalWindowTest, StartUpWithABoardIndicatesCalculatesAndParks) {
  view.attach(window);
  ASSERT_TRUE(window.Form_Load());
  EXPECT_EQ(library.calls, Log({"connect", "indicate #0", "value 50 00 #0", "config BF FF -1 #0"}));
  EXPECT_EQ(view.log, Log({"hook", "focus txtTest"}));
  EXPECT_EQ(text(Control::txtTest), "00");
  EXPECT_EQ(text(Control::lblDVR2), "DVR (hex)");
  EXPECT_EQ(text(Control::txtVoutMax), "11.002");
  EXPECT_EQ(text(Control::txtVOutMin), "9.637");
  EXPECT_TRUE(window.boardFound());
}

TEST_F(EvalWindowTest, StartUpWithoutABoardTurnsToTheCalculatorOnly) {
  library.findBoards(0);
  view.attach(window);
  ASSERT_TRUE(window.Form_Load());
  EXPECT_EQ(library.calls, Log({"connect"}));
  EXPECT_EQ(view.log, Log({"hook", "hide cmdForceSend", "hide cmdWrite", "outer height 5000",
                           "height fraCalculator 3615", "focus txtTest"}));
  EXPECT_EQ(view.top(Control::imgKestroLogo), 3840);
  EXPECT_EQ(view.top(Control::btnHelp), 3840);
}

class NoLibrary : public FakeBridgeLibrary {
 public:
  std::optional<std::int16_t> connect() override { return std::nullopt; }
  std::string bindingError() const override { return "no ksthid here"; }
};

TEST(EvalWindowStartUpTest, AWindowWithoutItsLibraryIsNotShown) {
  NoLibrary library;
  FakeWindowView view;
  FakeBoxes boxes;
  const PlainNumberText numbers;
  EvalWindow window(view, library, boxes, numbers);
  EXPECT_FALSE(window.Form_Load());
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0], (MessageBoxRequest{"no ksthid here", "QV6180", BoxButtons::Ok,
                                               BoxIcon::Critical, BoxAnswer::Ok}));
  EXPECT_TRUE(view.log.empty());
}

// Each step's text runs the change rules, which bring it back within 0 to 255.
TEST_F(EvalWindowTest, KeysAndWheelStepTheValueWithinItsRangeAndRecalculate) {
  load();
  view.setText(Control::txtTest, "0FF");
  window.txtTest_KeyDown(DvrKey::Up);
  EXPECT_EQ(text(Control::txtTest), "0FF");
  EXPECT_EQ(text(Control::txtVOUT), "9.637");
  EXPECT_EQ(view.top(Control::txtVOUT), 2640);
  EXPECT_EQ(view.top(Control::Line4), 2760);
  window.MouseWheelRolled(120);
  EXPECT_EQ(text(Control::txtTest), "0FE");
  window.MouseWheelRolled(-360);
  window.txtTest_KeyDown(DvrKey::PageDown);
  EXPECT_EQ(text(Control::txtTest), "0EF");
  window.txtTest_KeyDown(DvrKey::Other);
  EXPECT_EQ(text(Control::txtTest), "0EF");

  window.opDisplayMode_Click(Control::opDisplayMode_1);
  EXPECT_EQ(text(Control::txtTest), "239");
  EXPECT_EQ(text(Control::lblDVR2), "DVR (dec)");
  window.txtTest_KeyDown(DvrKey::PageUp);
  EXPECT_EQ(text(Control::txtTest), "255");
  view.setText(Control::txtTest, "");
  EXPECT_EQ(text(Control::txtTest), "0");
}

// The rules run the change rules for each text they set, whether or not the toolkit tells them.
TEST_F(EvalWindowTest, TheRulesCorrectTheirOwnDvrTextsWithOrWithoutTheToolkitsNews) {
  for (const bool notifies : {true, false}) {
    load();
    window.opDisplayMode_Click(Control::opDisplayMode_0);
    view.setText(Control::txtTest, "0FF");
    view.notifiesDvrChanges = notifies;
    window.txtTest_KeyDown(DvrKey::Up);
    EXPECT_EQ(text(Control::txtTest), "0FF") << notifies;
    EXPECT_EQ(view.caret, 2u) << notifies;
    window.opDisplayMode_Click(Control::opDisplayMode_1);
    window.txtTest_KeyDown(DvrKey::PageUp);
    EXPECT_EQ(text(Control::txtTest), "255") << notifies;
    view.notifiesDvrChanges = true;
  }
}

TEST_F(EvalWindowTest, TypingIsFilteredByTheNotation) {
  load();
  EXPECT_EQ(window.txtTest_KeyPress(u'a'), u'A');
  EXPECT_EQ(window.txtTest_KeyPress(u'g'), 0);
  EXPECT_EQ(window.txtTest_Paste("c8"), "C8");
  EXPECT_EQ(window.txtTest_Paste("1g"), std::nullopt);
  window.opDisplayMode_Click(Control::opDisplayMode_1);
  EXPECT_EQ(window.txtTest_KeyPress(u'a'), 0);
  EXPECT_EQ(window.txtTest_KeyPress(u'7'), u'7');
  EXPECT_EQ(window.txtTest_Paste("1.5"), "1.5");
}

// The caret goes after the second hexadecimal digit, so that a third one can be typed at once.
TEST_F(EvalWindowTest, HexTextsKeepTheCaretAfterTheSecondDigit) {
  load();
  view.setText(Control::txtTest, "");
  EXPECT_EQ(text(Control::txtTest), "0");
  EXPECT_EQ(view.caret, 1u);
  view.setText(Control::txtTest, "0A");
  EXPECT_EQ(view.caret, 2u);
}

TEST_F(EvalWindowTest, LeavingAFieldRunsItsCalculationOrAsks) {
  load();
  view.setText(Control::txtRSET, "20000");
  boxes.answers = {BoxAnswer::No};
  window.field_LostFocus(Control::txtRSET);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0],
            (MessageBoxRequest{"Yes, Update Output Voltage Range from Resistor Values.\r\n"
                               "No, Update Resistor Values from Voltage Range instead.",
                               "Rset Changed - Update Range from Resistor Values?",
                               BoxButtons::YesNo, BoxIcon::Question, BoxAnswer::No}));
  EXPECT_EQ(text(Control::txtR1), "49797.7");
  EXPECT_EQ(text(Control::txtR2), "78388.2");

  boxes.answers = {BoxAnswer::Yes};
  window.field_LostFocus(Control::txtAVDD);
  EXPECT_EQ(boxes.shown[1].title, "AVDD Changed - Update Range from Resistor Values?");
  EXPECT_EQ(text(Control::txtR1), "49797.7");

  view.setText(Control::txtR1, "");
  window.field_LostFocus(Control::txtR1);
  EXPECT_EQ(text(Control::txtR1), "20000");
  window.field_LostFocus(Control::txtVOUT);
  window.field_LostFocus(Control::txtTest);
  EXPECT_EQ(boxes.shown.size(), 2u);
}

// Leaving the range as the calculator wrote it keeps the resistors, which its rounded texts
// would turn into values nobody can buy; an edited range works them out.
TEST_F(EvalWindowTest, LeavingTheRangeRewritesTheResistorsOnlyWhenItWasEdited) {
  struct Case {
    Control left;
    std::string typed;
    std::string r1;
  };
  for (const Case& c :
       {Case{Control::txtVoutMax, "", "24900"}, Case{Control::txtVOutMin, "", "24900"},
        Case{Control::txtVoutMax, "12", "39507.3"}, Case{Control::txtVOutMin, "9.637", "24900"},
        Case{Control::txtVOutMin, "9.6", "25573.4"}}) {
    load();
    view.setText(Control::txtR1, "24900");
    view.setText(Control::txtR2, "39200");
    window.cmdCalculate_Click();
    if (!c.typed.empty()) view.setText(c.left, c.typed);
    window.field_LostFocus(c.left);
    EXPECT_EQ(text(Control::txtR1), c.r1) << designOf(c.left).name << " \"" << c.typed << '"';
  }
}

// A result without a value keeps its text, red, with a tip that says why, until written again.
TEST_F(EvalWindowTest, ResultsWithoutAValueAreMarkedUntilWrittenAgain) {
  load();
  view.setText(Control::txtR1, "0");
  view.setText(Control::txtR2, "0");
  window.cmdCalculate_Click();
  EXPECT_EQ(boxes.texts(), Log({"R1+R2 is less than 0?"}));
  EXPECT_EQ(text(Control::txtVoutMax), "11.002");
  EXPECT_EQ(view.colour(Control::txtVoutMax), FieldColour::Red);
  EXPECT_EQ(view.tip(Control::txtVoutMax),
            "Value for desired Maximum Output Voltage\nNot computed: R1 + R2 is 0. This number is "
            "left from an earlier calculation.");
  view.setText(Control::txtR1, "24900");
  view.setText(Control::txtR2, "39200");
  window.cmdCalculate_Click();
  EXPECT_EQ(view.colour(Control::txtVoutMax), FieldColour::ButtonText);
  EXPECT_EQ(view.tip(Control::txtVoutMax), "Value for desired Maximum Output Voltage");
}

// The caption says so while the first box is open; the bar grows level by level and the window
// takes no input until the train has ended.
TEST_F(EvalWindowTest, SendShowsItsCaptionProgressAndRefusesInput) {
  load();
  view.setText(Control::txtTest, "0FE");
  Log captions;
  boxes.whileShown = [&] { captions.push_back(text(Control::cmdForceSend)); };
  std::vector<bool> inputTaken;
  // Every handler of input does nothing meanwhile: no box, no call, no text or log changes.
  view.setText(Control::txtR1, "30000");
  view.duringProgress = [&] {
    inputTaken.push_back(window.takesInput() || window.Form_QueryUnload());
    window.cmdForceSend_Click();
    window.cmdWrite_Click();
    window.cmdCalculate_Click();
    window.btnHelp_Click();
    window.mnuExit_Click();
    window.field_LostFocus(Control::txtR1);
    window.field_LostFocus(Control::txtRSET);
    window.txtTest_KeyDown(DvrKey::Up);
    window.MouseWheelRolled(120);
    window.opDisplayMode_Click(Control::opDisplayMode_1);
    window.useResistors(1000, 2000);
  };
  window.cmdForceSend_Click();
  EXPECT_EQ(text(Control::txtR1), "30000");
  EXPECT_EQ(text(Control::txtTest), "0FE");
  EXPECT_TRUE(window.hexMode());
  EXPECT_EQ(boxes.texts(), Log({"Click to Send", "Send Complete"}));
  EXPECT_EQ(captions, Log({"Sending... Please Wait", "Send Value to Register"}));
  EXPECT_EQ(library.calls.size(), 2u * 257 + 2u * 1);
  Log expected;
  for (int level = 0; level <= kProgressLevels; ++level) {
    expected.push_back("progress " + std::to_string(level));
  }
  expected.emplace_back("progress hidden");
  EXPECT_EQ(view.log, expected);
  EXPECT_TRUE(std::none_of(inputTaken.begin(), inputTaken.end(), [](bool taken) { return taken; }));
  EXPECT_TRUE(window.takesInput());
}

TEST_F(EvalWindowTest, AFailedSendOrStoreIsReported) {
  load();
  library.failingFromCall = 40;
  window.cmdForceSend_Click();
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].icon, BoxIcon::Critical);
  EXPECT_EQ(boxes.shown[1].text.rfind("Sending failed", 0), 0u);
  EXPECT_EQ(text(Control::cmdForceSend), "Send Value to Register");
  EXPECT_TRUE(window.takesInput());

  library.failingFromCall = 0;
  window.cmdWrite_Click();
  EXPECT_EQ(boxes.shown[2].text.rfind("Writing the EEPROM failed", 0), 0u);
}

TEST_F(EvalWindowTest, HelpShowsThreeLinesAndExitClosesWithoutALibraryCall) {
  load();
  window.btnHelp_Click();
  EXPECT_EQ(boxes.shown, std::vector<MessageBoxRequest>({{
                             "EEPROM value is loaded to register on power-up.\r\n"
                             "Please set CE pin to high to enable counter interface.\r\n"
                             "Hover pointer over each field for explanations.",
                         }}));
  window.mnuExit_Click();
  window.Form_Unload();
  EXPECT_EQ(view.log, Log({"close", "unhook"}));
  EXPECT_TRUE(library.calls.empty());
}

TEST(WindowLayoutTest, EveryControlButTheClientHasOneDesignWithAParentBeforeIt) {
  std::vector<Control> created{Control::Client};
  for (const ControlDesign& design : kControls) {
    EXPECT_NE(std::find(created.begin(), created.end(), design.parent), created.end())
        << design.name;
    EXPECT_EQ(std::find(created.begin(), created.end(), design.control), created.end())
        << design.name;
    created.push_back(design.control);
  }
}

}  // namespace
