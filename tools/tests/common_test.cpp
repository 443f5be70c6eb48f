// What both tools share: how numbers are read, and which board -b names.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "ksthid_api.h"
#include "numbers.h"
#include "tool.h"

namespace {

TEST(NumbersTest, DecimalOrHexadecimalAfter0x) {
  const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
      {"42", 42}, {"0x2a", 42}, {"0X2A", 42}, {"010", 10}, {"-1", -1}, {"0x", {}},
      {"", {}},   {"+1", {}},   {"0x-1", {}}, {"1k", {}},  {" 1", {}}, {"99999999999999999999", {}},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(tools::parseNumber(text), expected) << text;
}

TEST(NumbersTest, TheCheckNamesTheBoundPassed) {
  const CLI::Validator count = tools::numberIn(1, 62, "the most one report carries");
  std::string text = "63";
  EXPECT_EQ(count(text), "63 is above 62, the most one report carries");
  text = "0";
  EXPECT_EQ(count(text), "0 is below 1");
  text = "0x3e";
  EXPECT_EQ(count(text), "");
  // Too many digits for any number is still above (or below) the bound.
  text = "99999999999999999999";
  EXPECT_EQ(count(text), "99999999999999999999 is above 62, the most one report carries");
  text = "-99999999999999999999";
  EXPECT_EQ(count(text), "-99999999999999999999 is below 1");
}

// A tool of three commands: the path -b names, and a virtual board pulled or plugged back.
void boardCommands(tools::CommandSet& set) {
  set.add(set.root(), "path", "the board's path",
          [](tools::Invocation& run) { run.out() << run.boardPath() << ' '; });
  for (const bool unplug : {true, false}) {
    set.add(set.root(), unplug ? "unplug" : "plug", "a virtual board",
            [unplug](tools::Invocation& run) {
              const std::string node = run.text("node");
              unplug ? ksthid_virtual_unplug(node.c_str()) : ksthid_virtual_plug_in(node.c_str());
            })
        ->add_option("node");
  }
}

// In a batch, over one library state, a board pulled out and plugged back comes after the one that
// stayed, as the library numbers it, though it is listed first again.
TEST(BoardNumberTest, ABoardBackInABatchHasTheNumberTheLibraryGivesIt) {
  const std::string batch = testing::TempDir() + "board_number_batch.txt";
  std::ofstream(batch) << "path\nunplug sim:0\npath\nplug sim:0\npath\n-b 1 path\n-b 2 path\n";
  std::string program = "boards", description = "-b in a batch", simulate = "--simulate", two = "2",
              batchOption = "--batch", batchFile = batch;
  char* argv[] = {program.data(), simulate.data(), two.data(), batchOption.data(),
                  batchFile.data()};
  std::ostringstream out, errors;
  EXPECT_EQ(tools::runTool(program, description, boardCommands, 5, argv, out, errors), 3);
  EXPECT_EQ(out.str(), "sim:0 sim:1 sim:1 sim:0 ");
  EXPECT_EQ(errors.str(), "boards: " + batch + ": line 7: no board 2: 2 found\n");
  std::remove(batch.c_str());
}

}  // namespace
