#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "eval_window.h"
#include "fake_boxes.h"
#include "fake_bridge_library.h"
#include "fake_window_view.h"
#include "plain_number_text.h"

namespace {

using Log = std::vector<std::string>;

// The boards present as the test sets them; a change waits until the window takes it.
class FakeBoardDirectory : public BoardDirectory {
 public:
  std::vector<PresentBoard> presentBoards() override { return present; }
  std::optional<FirmwareVersion> firmwareVersion(const std::string&) override {
    return FirmwareVersion{1, 2};
  }
  bool watch(std::function<void()> wakeWindow) override {
    wake = std::move(wakeWindow);
    return true;
  }
  void stopWatching() override { wake = nullptr; }
  bool takeChanges() override { return std::exchange(changed, false); }
  void change(std::vector<PresentBoard> boards) {
    present = std::move(boards);
    changed = true;
  }

  std::vector<PresentBoard> present;
  bool changed = false;
  std::function<void()> wake;
};

class EvalWindowBoardsTest : public testing::Test {
 protected:
  void load(std::vector<PresentBoard> present) {
    library.connectFinds = paths(present);
    boards.present = std::move(present);
    view.attach(window);
    ASSERT_TRUE(window.Form_Load());
    library.calls.clear();
    view.log.clear();
  }
  // The board comes, or the boards change; the library's next connect numbers them in this order.
  void change(std::vector<PresentBoard> present) {
    library.connectFinds = paths(present);
    boards.change(std::move(present));
  }
  static std::vector<std::string> paths(const std::vector<PresentBoard>& present) {
    std::vector<std::string> found;
    for (const PresentBoard& board : present) found.push_back(board.path);
    return found;
  }

  FakeBridgeLibrary library;
  FakeWindowView view;
  FakeBoxes boxes;
  PlainNumberText numbers;
  FakeBoardDirectory boards;
  EvalWindow window{view, library, boxes, numbers, &boards};
};

const PresentBoard kBoardA{"a", "A1", ""};
const PresentBoard kBoardB{"b", "B1", ""};

TEST_F(EvalWindowBoardsTest, ABoardPluggedInTurnsTheCalculatorToTheFullLayout) {
  load({});
  boards.wake();
  EXPECT_EQ(view.log, Log({"boards changed"}));
  view.log.clear();
  EXPECT_EQ(view.boardStatus, "No board: plug one in");
  change({kBoardA});
  window.boardsChanged();
  EXPECT_EQ(library.calls, Log({"connect", "indicate #0", "value 50 00 #0", "config BF FF -1 #0"}));
  EXPECT_EQ(view.log, Log({"show cmdForceSend", "show cmdWrite", "design height",
                           "height fraCalculator 4215"}));
  EXPECT_EQ(view.top(Control::imgKestroLogo), 4440);
  EXPECT_EQ(view.top(Control::btnHelp), 4440);
  EXPECT_EQ(view.boardStatus, "Board a (serial A1, firmware 1.2)");
  EXPECT_FALSE(view.boardMenuEnabled);
  window.Form_Unload();
  EXPECT_FALSE(boards.wake) << "news of boards reaches a window that has closed";
}

// No call of the library may come between two of a pulse train: the board in use that goes and
// comes back meanwhile, refusing the train, is connected again once the train has ended.
TEST_F(EvalWindowBoardsTest, BoardsThatComeDuringASendWaitForItsEnd) {
  load({kBoardA});
  int steps = 0;
  view.duringProgress = [&] {
    if (++steps == 1) change({});
    if (steps == 2) change({kBoardA, kBoardB});
    window.boardsChanged();
  };
  library.failingFromCall = 100;
  window.cmdForceSend_Click();
  const auto firstConnect = std::find(library.calls.begin(), library.calls.end(), "connect");
  ASSERT_EQ(firstConnect - library.calls.begin(), 101);
  EXPECT_EQ(Log(firstConnect, library.calls.end()),
            Log({"connect", "indicate #0", "value 50 00 #0", "config BF FF -1 #0"}));
  EXPECT_EQ(view.boardMenu, (std::vector<BoardMenuEntry>{{"a", "a (serial A1)", true},
                                                         {"b", "b (serial B1)", false}}));
  EXPECT_TRUE(view.boardMenuEnabled);

  library.calls.clear();
  library.failingFromCall = -1;
  window.mnuBoard_Click("b");
  EXPECT_EQ(library.calls, Log({"connect", "indicate #1", "value 50 00 #1", "config BF FF -1 #1"}));
  EXPECT_EQ(view.boardStatus, "Board b (serial B1, firmware 1.2)");
}

// The library's Retry, inside the box of a refused press, connected without the board in use:
// the window does not connect again itself, and the next press goes to a number that names no
// board, which the library refuses without sending anything.
TEST_F(EvalWindowBoardsTest, AfterARefusedPressTheBoardInUseHasTheNumberTheLibraryGivesIt) {
  load({kBoardA, kBoardB});
  change({kBoardB});
  window.boardsChanged();
  library.calls.clear();
  library.failingFromCall = 0;
  library.duringGpioCall = [&] { library.numbered = {"b"}; };
  window.cmdForceSend_Click();
  library.duringGpioCall = {};
  window.cmdForceSend_Click();
  EXPECT_EQ(std::count(library.calls.begin(), library.calls.end(), "connect"), 0);
  EXPECT_TRUE(library.calls.front().ends_with(" #0")) << library.calls.front();
  EXPECT_TRUE(library.calls.back().ends_with(" #1")) << library.calls.back();
  EXPECT_EQ(view.boardStatus, "Board a (serial A1) pulled out: plug it back in");
}

// A board pulled out while the window held its node comes back at another path.
TEST_F(EvalWindowBoardsTest, TheBoardInUseIsFollowedToTheNodeItComesBackAt) {
  load({kBoardB, kBoardA});
  window.mnuBoard_Click("a");
  change({kBoardB});
  window.boardsChanged();
  EXPECT_EQ(view.boardStatus, "Board a (serial A1) pulled out: plug it back in");
  library.calls.clear();
  change({kBoardB, {"a2", "A1", ""}});
  window.boardsChanged();
  EXPECT_EQ(library.calls, Log({"connect", "indicate #1", "value 50 00 #1", "config BF FF -1 #1"}));
  EXPECT_EQ(view.boardStatus, "Board a2 (serial A1, firmware 1.2)");
}

}  // namespace
