#include "board_status.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

PresentBoard board(const char* path, const char* error = "") {
  return {path, std::string("S-") + path, error};
}

struct StatusCase {
  const char* name;
  std::optional<BoardInUse> inUse;
  std::vector<PresentBoard> present;
  const char* status;
};

class BoardStatusTest : public testing::TestWithParam<StatusCase> {};

TEST_P(BoardStatusTest, SaysWhichBoardTheButtonsAddress) {
  EXPECT_EQ(boardStatusText(GetParam().inUse, GetParam().present), GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(
    Boards, BoardStatusTest,
    testing::Values(StatusCase{"none", std::nullopt, {}, "No board: plug one in"},
                    StatusCase{"unusable",
                               std::nullopt,
                               {board("/dev/hidraw3", "Permission denied")},
                               "Board /dev/hidraw3 cannot be opened: Permission denied"},
                    StatusCase{"in_use",
                               BoardInUse{board("sim:0"), true, FirmwareVersion{1, 3}},
                               {board("sim:0")},
                               "Board sim:0 (serial S-sim:0, firmware 1.3)"},
                    StatusCase{"silent",
                               BoardInUse{{"sim:0", "", ""}, true, std::nullopt},
                               {board("sim:0")},
                               "Board sim:0 (serial none, firmware unknown)"},
                    StatusCase{"pulled_out",
                               BoardInUse{board("sim:0"), false, FirmwareVersion{1, 3}},
                               {board("sim:1")},
                               "Board sim:0 (serial S-sim:0) pulled out: plug it back in"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BoardMenuTest, ListsThePresentBoardsWithTheOneInUseChecked) {
  const std::vector<PresentBoard> present{board("sim:0"), board("sim:1")};
  EXPECT_EQ(boardMenuEntries(present, "sim:1"),
            (std::vector<BoardMenuEntry>{{"sim:0", "sim:0 (serial S-sim:0)", false},
                                         {"sim:1", "sim:1 (serial S-sim:1)", true}}));
  EXPECT_TRUE(boardMenuEnabled(present));
  EXPECT_FALSE(boardMenuEnabled({board("sim:0")}));
}

}  // namespace
