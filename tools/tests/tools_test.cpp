// ksthid and qv6180 run as a user runs them, against one virtual board each run.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
  std::string trace;

  json document() const { return json::parse(out); }
  // A batch writes one document a line.
  json lastDocument() const { return json::parse(out.substr(out.rfind('\n', out.size() - 2) + 1)); }
  // Lines of one kind in the packet trace: W written, C a change of the virtual chip.
  std::vector<std::string> traced(char kind) const {
    std::vector<std::string> lines;
    std::istringstream in(trace);
    for (std::string line; std::getline(in, line);) {
      if (line.find(std::string(" ") + kind + " ") != std::string::npos) lines.push_back(line);
    }
    return lines;
  }
};

std::string contents(const fs::path& file) {
  std::ifstream in(file);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ToolsTest : public ::testing::Test {
 protected:
  // Runs `tool` with `boards` virtual boards and a fresh packet trace; `input` is its standard
  // input.
  ToolRun run(const std::string& tool, const std::string& args, const std::string& input = {},
              const std::string& environment = {}, int boards = 1) {
    const fs::path in = folder_ / "in", out = folder_ / "out", err = folder_ / "err",
                   trace = folder_ / "trace";
    std::ofstream(in) << input;
    fs::remove(trace);
    // A run that names its own trace keeps it.
    const std::string traced =
        args.find("--trace") == std::string::npos ? " --trace " + trace.string() : "";
    const std::string command = environment + " " + tool + " --simulate " + std::to_string(boards) +
                                traced + " " + args + " <" + in.string() + " >" + out.string() +
                                " 2>" + err.string();
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, contents(out), contents(err),
            contents(trace)};
  }
  ToolRun ksthid(const std::string& args, const std::string& input = {}) {
    return run(KSTHID_TOOL, args, input);
  }
  ToolRun qv6180(const std::string& args, const std::string& input = {}) {
    return run(QV6180_TOOL, args, input);
  }

  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("tools_test_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
};

TEST_F(ToolsTest, ScanFindsTheTwoDevicesOnTheVirtualBus) {
  const ToolRun scan = ksthid("i2c scan");
  ASSERT_EQ(scan.status, 0) << scan.err;
  EXPECT_NE(scan.out.find("20: 20 -- --"), std::string::npos) << scan.out;
  EXPECT_NE(scan.out.find("50: 50 -- --"), std::string::npos) << scan.out;
  EXPECT_EQ(ksthid("i2c scan --json").document()["addresses"], json({0x20, 0x50}));
}

TEST_F(ToolsTest, WrittenBytesDumpBackInTheFewestReads) {
  const ToolRun dumped = ksthid("--json --batch -",
                                "i2c write 0x50 0x10 0x41 0x42 0x43\n"
                                "i2c dump 0x50\n");
  ASSERT_EQ(dumped.status, 0) << dumped.err;
  const json data = dumped.lastDocument()["data"];
  ASSERT_EQ(data.size(), 256u);
  EXPECT_EQ(data[0x0F], 0);
  EXPECT_EQ(json({data[0x10], data[0x11], data[0x12]}), json({0x41, 0x42, 0x43}));
  // The write, the one that sets the address pointer, and ceil(256 / 62) = 5 reads.
  EXPECT_EQ(dumped.traced('W').size(), 1u + 1u + 5u);

  const ToolRun plain = ksthid("i2c dump 0x20 --size 16");
  EXPECT_EQ(plain.out,
            "00000000  00 00 00 00 00 00 00 00  00 00 00 00 00 00 00 00  |................|\n");
}

TEST_F(ToolsTest, SpiTransferReadsBackWhatWasStored) {
  const ToolRun xfer = ksthid("--batch -", "spi xfer 2 5 1 2 3\nspi xfer 3 5 0 0 0 --json\n");
  ASSERT_EQ(xfer.status, 0) << xfer.err;
  EXPECT_NE(xfer.out.find(R"({"received":[255,255,1,2,3]})"), std::string::npos) << xfer.out;
  const ToolRun sendOnly = ksthid("spi xfer 3 0 0 --no-read");
  EXPECT_EQ(sendOnly.status, 0);
  EXPECT_EQ(sendOnly.out, "");
}

struct Query {
  std::string commands;
  std::string pointer;
  json expected;
};

// The last command's JSON document against the virtual board's answers.
TEST_F(ToolsTest, QueriesAndSettingsReadBackAsJson) {
  const Query queries[] = {
      {"list", "/boards/0/path", "sim:0"},
      {"version", "/firmware", "Firmware Version 1.0 - 2026/December/1"},
      {"clock", "/systemClock", 24000},
      {"smbus frequency", "/frequency", 10000},
      {"led set 1 on\nled", "/leds", {false, true}},
      {"gpio set 0x50 0\ngpio config 0xbf 0xff --flag\ngpio get",
       "",
       {{"value", {0x50, 0}}, {"configuration", {0xBF, 0xFF, 1}}}},
      {"smbus timer 7\nsmbus timer", "/timerCount", 7},
      {"i2c options set 5\ni2c options", "/options", 5},
      {"spi options 6\nspi options", "/options", 6},
      {"spi divisor 0x20\nspi divisor", "/divisor", 0x20},
      {"i2c read 0x50 0x10 2", "/data", {0, 0}},
      // Register 0 is a register; `none` sends none, and a read without one goes on from where
      // the EEPROM's pointer stands.
      {"i2c write 0x50 0 0x11 0x22\ni2c write 0x50 none 0x10\ni2c read 0x50 0 2",
       "/data",
       {0x11, 0x22}},
      {"i2c write 0x50 0x20 0x33 0x44\ni2c write 0x50 none 0x21\ni2c read 0x50 none 1",
       "/data",
       {0x44}},
      {"i2c probe 0x50", "/answers", true},
      {"i2c probe 0x51", "", {{"address", 0x51}, {"answers", false}}},
      {"gpio", "/value", {0xFF, 0xFF}},
      {"gpio config 1 2 --flag=0\ngpio get", "/configuration/2", 0},
      {"gpio config 1 2 --flag=off\ngpio get", "/configuration/2", 0},
      {"gpio config 1 2 --flag=yes\ngpio get", "/configuration/2", 1},
      {"led set 0 \"on\"\nled", "/leds", {true, false}},
      {"-b VB100001 version", "/firmware", "Firmware Version 1.0 - 2026/December/1"},
      {"-b sim:0 clock", "/systemClock", 24000},
      {"monitor --timeout 0", "/events", 0},
  };
  for (const Query& query : queries) {
    const ToolRun ran = ksthid("--json --batch -", query.commands);
    ASSERT_EQ(ran.status, 0) << query.commands << ": " << ran.err;
    EXPECT_EQ(ran.lastDocument().at(json::json_pointer(query.pointer)), query.expected)
        << query.commands;
  }
}

struct Refusal {
  std::string tool;
  std::string args;
  int status;
  std::string message;
  // Only arguments that are wrong themselves bring the usage.
  bool usage = true;
};

// One line naming what is wrong, the usage when the arguments were wrong, and nothing sent to the
// board.
TEST_F(ToolsTest, BadArgumentsAreRefusedBeforeAnyReport) {
  std::string fiftyNineBytes;
  for (int i = 0; i < 59; ++i) fiftyNineBytes += " 1";
  const Refusal refusals[] = {
      {KSTHID_TOOL, "bogus", 2, "unknown command or argument: bogus"},
      {KSTHID_TOOL, "i2c reed", 2, "unknown command or argument: reed"},
      {KSTHID_TOOL, "i2c read 0x80 0 1", 2, "ADDR: 0x80 is above 127"},
      {KSTHID_TOOL, "i2c read 0x50 0 63", 2, "COUNT: 63 is above 62, the most one report carries"},
      {KSTHID_TOOL, "i2c read 0x50 250 10", 2, "REG + COUNT is 260, above 255"},
      {KSTHID_TOOL, "i2c write 0x50 1 256", 2, "BYTE: 256 is above 255"},
      {KSTHID_TOOL, "i2c write 0x50 1" + fiftyNineBytes, 2,
       "59 bytes do not fit one report: 58 at most with REG 1"},
      {KSTHID_TOOL, "gpio set 0x1g 0", 2,
       "V1: 0x1g is not a number (decimal, or hexadecimal after 0x)"},
      {KSTHID_TOOL, "led set 2 on", 2, "LED: 2 is above 1"},
      {KSTHID_TOOL, "spi xfer", 2, "BYTE is required"},
      {KSTHID_TOOL, "gpio set 99999999999999999999 0", 2, "V1: 99999999999999999999 is above 255"},
      {KSTHID_TOOL, "i2c read 0x50 nothing 1", 2,
       "REG: nothing is not a number (decimal, or hexadecimal after 0x)"},
      {KSTHID_TOOL, "gpio config 1 2 --flag=maybe", 2,
       "--flag: maybe is neither 1, true, on, yes nor 0, false, off, no"},
      {KSTHID_TOOL, "-b 1 version", 3, "no board 1: 1 found", false},
      {KSTHID_TOOL, "-b VB999 version", 3, "no board has the path or serial number VB999", false},
      {KSTHID_TOOL, "--batch - version", 2, "--batch takes its commands from the file only"},
      {KSTHID_TOOL, "--batch / version", 2, "--batch takes its commands from the file only"},
      {KSTHID_TOOL, "--batch /", 2, "cannot read the batch file /: a folder", false},
      {KSTHID_TOOL, "--trace '' version", 2, "--trace: give the name of a file"},
      {KSTHID_TOOL, "--trace / version", 2, "cannot write the trace /: it is a folder", false},
      {KSTHID_TOOL, "--trace /nonexistent/x version", 2, "cannot write the trace /nonexistent/x",
       false},
      {KSTHID_TOOL, "trace vcd /nonexistent/trace", 2, "cannot read the trace /nonexistent/trace",
       false},
      {KSTHID_TOOL, "trace vcd /", 2, "cannot read the trace /", false},
      {QV6180_TOOL, "send 256", 2, "DVR: 256 is above 255"},
      {QV6180_TOOL, "-b 1 send 3", 3, "no board 1: 1 found", false},
      {QV6180_TOOL, "--batch /", 2, "cannot read the batch file /: a folder", false},
      {QV6180_TOOL, "calc --vmax 19 --vmin 3", 2, "VOUTmax cannot exceed AVDD"},
      {QV6180_TOOL, "calc --vmax 3 --vmin 5", 2, "VOUTmin must be lower than VOUTmax"},
      {QV6180_TOOL, "calc --r1 0 --r2 5", 2, "R1 needs to be greater than 0"},
      {QV6180_TOOL, "calc --r1 1k --r2 5", 2, "--r1: 1k is not a number"},
      {QV6180_TOOL, "calc --r1 1e300 --r2 1e300 --dvr 100", 2,
       "these resistors give no VCOM above 0 V at any DVR value"},
      {QV6180_TOOL, "table --r1 24900", 2, "give --r1 and --r2"},
  };
  for (const Refusal& refusal : refusals) {
    const ToolRun ran = run(refusal.tool, refusal.args + " --json");
    const std::string program = fs::path(refusal.tool).filename().string();
    EXPECT_EQ(ran.status, refusal.status) << refusal.args;
    EXPECT_EQ(ran.err.substr(0, ran.err.find('\n')), program + ": " + refusal.message);
    EXPECT_EQ(ran.err.find("Usage: " + program) != std::string::npos, refusal.usage)
        << refusal.args;
    EXPECT_EQ(ran.document(), json({{"error", refusal.message}, {"status", refusal.status}}));
    EXPECT_TRUE(ran.traced('W').empty()) << refusal.args;
  }
}

// The largest transfers one report carries go out, each in one report.
TEST_F(ToolsTest, TransfersAtTheReportsLimitsAreSent) {
  const auto bytes = [](int count) {
    std::string listed;
    for (int i = 0; i < count; ++i) listed += " 7";
    return listed;
  };
  const std::string limits[] = {"i2c read 0x50 0 62", "i2c read 0x50 193 62",
                                "i2c write 0x50 none" + bytes(59), "i2c write 0x50 1" + bytes(58),
                                "spi xfer" + bytes(57)};
  for (const std::string& args : limits) {
    const ToolRun ran = ksthid(args);
    EXPECT_EQ(ran.status, 0) << args << ": " << ran.err;
    EXPECT_EQ(ran.traced('W').size(), 1u) << args;
  }
}

TEST_F(ToolsTest, ADeviceThatDoesNotAnswerIsARefusal) {
  const ToolRun ran = ksthid("i2c read 0x51 0 1");
  EXPECT_EQ(ran.status, 4);
  EXPECT_EQ(ran.err, "ksthid: the device at 0x51 did not answer\n");
}

// In the library's words, with no box lines; retrying cannot bring a board back.
TEST_F(ToolsTest, ABoardPulledOutIsAUsbFailure) {
  const ToolRun ran =
      run(KSTHID_TOOL, "--retry 1 i2c read 0x50 0 1", {}, "KSTHID_SIMULATE_UNPLUG_AFTER=0");
  EXPECT_EQ(ran.status, 5);
  EXPECT_EQ(ran.err, "ksthid: sim:0 was pulled out\n");
  EXPECT_EQ(ran.out, "");
}

// --retry N makes a call whose report could not be written again, N times in the whole run.
TEST_F(ToolsTest, RetryMakesAFailedWriteAgainWhileTheRunsRetriesLast) {
  const struct {
    const char* writesFailing;
    const char* args;
    int status;
    const char* err;
  } cases[] = {
      {"2", "--retry 2 led set 0 on", 0, ""},
      {"2", "--retry 1 led set 0 on", 5, "ksthid: the request could not be written to sim:0\n"},
      {"1", "--retry 0 spi xfer 1 2", 5, "ksthid: the request could not be written to sim:0\n"},
      {"1", "--retry 1 spi xfer 1 2", 0, ""},
      {"2", "--retry 1 --batch -", 5,
       "ksthid: standard input: line 1: the request could not be written to sim:0\n"},
  };
  for (const auto& retried : cases) {
    const ToolRun ran = run(KSTHID_TOOL, retried.args, "led set 0 on\nled set 1 on\n",
                            std::string("KSTHID_SIMULATE_FAIL_WRITES=") + retried.writesFailing);
    EXPECT_EQ(ran.status, retried.status) << retried.args;
    EXPECT_EQ(ran.err, retried.err) << retried.args;
  }
  const ToolRun shown = run(KSTHID_TOOL, "--retry 1 --batch -", "led set 1 on\nled get\n",
                            "KSTHID_SIMULATE_FAIL_WRITES=1");
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.out, "led0 off\nled1 on\n");
}

TEST_F(ToolsTest, JsonTakesAValueLikeEveryFlag) {
  EXPECT_EQ(ksthid("--json=0 clock").out, "24000\n");
  EXPECT_EQ(ksthid("--json=1 clock").document()["systemClock"], 24000);
}

TEST_F(ToolsTest, AListWithNoBoardSaysSo) {
  const ToolRun ran = run(KSTHID_TOOL, "list", {}, {}, 0);
  EXPECT_EQ(ran.status, 0);
  EXPECT_EQ(ran.out, "");
  EXPECT_EQ(ran.err, "no board found\n");
}

struct BatchFailure {
  std::string file;
  std::string message;
};

// A batch names the line that failed, stops there, and cannot run itself; the tools share this.
TEST_F(ToolsTest, ABatchNamesTheLineThatFailed) {
  const std::string loop = (folder_ / "loop.txt").string();
  std::ofstream(loop) << "# runs itself\n--batch " << loop << "\n";
  const std::string outer = (folder_ / "outer.txt").string();
  std::ofstream(outer) << "# a line each tool takes\n--batch " << loop << "\n";
  const BatchFailure failures[] = {
      {loop, loop + ": line 2: the batch " + loop + " runs itself"},
      {outer, outer + ": line 2: " + loop + ": line 2: the batch " + loop + " runs itself"},
      {"-", "standard input: line 2: unknown command or argument: bogus"},
  };
  for (const auto& [file, message] : failures) {
    for (const char* tool : {KSTHID_TOOL, QV6180_TOOL}) {
      const ToolRun ran = run(tool, "--batch " + file, "# the same\nbogus\n--help\n");
      const std::string program = fs::path(tool).filename().string();
      EXPECT_EQ(ran.status, 2) << file;
      EXPECT_EQ(ran.err.substr(0, ran.err.find('\n')), program + ": " + message);
    }
  }
}

// A batch from a pipe, as bash's <(...) gives one: a name that resolves to no file.
TEST_F(ToolsTest, ABatchFromAPipeRuns) {
  for (const char* tool : {KSTHID_TOOL, QV6180_TOOL}) {
    const std::string piped = "cat " + (folder_ / "in").string() + " |";
    const ToolRun ran = run(tool, "--batch /dev/fd/3 3<&0", "# a comment\n--help\n", piped);
    EXPECT_EQ(ran.status, 0) << tool << ": " << ran.err;
  }
}

TEST_F(ToolsTest, AnOverlongArgumentIsNotEchoedWhole) {
  const ToolRun ran = ksthid("i2c read 0x50 0 " + std::string(100000, '7'));
  EXPECT_EQ(ran.status, 2);
  EXPECT_EQ(ran.err.substr(0, ran.err.find('\n')), "ksthid: COUNT: " + std::string(32, '7') +
                                                       "... (100000 characters) is above 62, the "
                                                       "most one report carries");
}

TEST_F(ToolsTest, SendLeavesTheChipAtTheValueAndStoreKeepsIt) {
  const ToolRun sent = qv6180("--batch -", "send 0xA0\nstore\n");
  ASSERT_EQ(sent.status, 0) << sent.err;
  // The park, 257 up-steps and 95 down-steps, two calls each.
  EXPECT_NE(sent.out.find("DVR 160 (0xa0) sent in 706 calls\n"), std::string::npos) << sent.out;
  const auto changes = sent.traced('C');
  ASSERT_GE(changes.size(), 2u);
  EXPECT_NE(changes[changes.size() - 2].find("dvr=160 eeprom=0"), std::string::npos);
  EXPECT_NE(changes.back().find("dvr=160 eeprom=160"), std::string::npos);
}

TEST_F(ToolsTest, ASendToABoardPulledOutFailsWithTheRegisterUnknown) {
  const ToolRun ran = run(QV6180_TOOL, "send 200", {}, "KSTHID_SIMULATE_UNPLUG_AFTER=300");
  EXPECT_EQ(ran.status, 5);
  EXPECT_NE(ran.err.find("qv6180: the send stopped after 301 of 626 calls: the DVR register's "
                         "value is unknown"),
            std::string::npos)
      << ran.err;
}

TEST_F(ToolsTest, ASendToAllNamesEveryBoardLeftUnknown) {
  const ToolRun ran = run(QV6180_TOOL, "send --all 5", {}, "KSTHID_SIMULATE_UNPLUG_AFTER=100", 3);
  EXPECT_EQ(ran.status, 5);
  EXPECT_NE(ran.err.find("qv6180: the send stopped on sim:0 after 101, on sim:1 after 101, on "
                         "sim:2 after 101 of "),
            std::string::npos)
      << ran.err;
}

TEST_F(ToolsTest, StoreSaysWhatItStored) {
  EXPECT_EQ(qv6180("--json store").document()["stored"], "DVR register");
}

TEST_F(ToolsTest, SendToAllLeavesEveryBoardsChipAtTheValue) {
  const ToolRun sent = run(QV6180_TOOL, "send --all 0x30", {}, {}, 3);
  ASSERT_EQ(sent.status, 0) << sent.err;
  // The park, 257 down-steps and 48 up-steps on each board.
  EXPECT_EQ(sent.out, "DVR 48 (0x30) sent to 3 boards in 612 calls each\n");
  std::map<std::string, std::string> lastChange;
  for (const std::string& line : sent.traced('C')) {
    std::istringstream fields(line);
    std::string time, kind, path, dvr;
    fields >> time >> kind >> path >> dvr;
    lastChange[path] = dvr;
  }
  EXPECT_EQ(lastChange, (std::map<std::string, std::string>{
                            {"sim:0", "dvr=48"}, {"sim:1", "dvr=48"}, {"sim:2", "dvr=48"}}));
}

TEST_F(ToolsTest, TraceVcdNamesTheLineItCannotRead) {
  const ToolRun ran = ksthid("trace vcd -", "5 E sim:0 why\n6 W sim:0 0103\n");
  EXPECT_EQ(ran.status, 2);
  EXPECT_EQ(ran.err.substr(0, ran.err.find('\n')),
            "ksthid: standard input: line 2: a report is 128 hex digits, not 4");
  // The arguments were right; the usage would not help.
  EXPECT_EQ(ran.err.find("Usage:"), std::string::npos) << ran.err;
  EXPECT_EQ(ran.out, "");
}

TEST_F(ToolsTest, CalcWorksTheDividerBothWays) {
  const json range = qv6180("calc --r1 24900 --r2 39200 --dvr 255 --json").document();
  EXPECT_NEAR(range["VOUTmax"], 11.0024469, 1e-6);
  EXPECT_DOUBLE_EQ(range["VCOM"], range["VOUTmin"]);
  EXPECT_NEAR(range["IOUT"], 18.0 / 200000 * 255 / 256, 1e-12);

  const json resistors = qv6180("calc --avdd 15 --vmax 7 --vmin 3.5 --json").document();
  const json back = qv6180("calc --avdd 15 --r1 " + resistors["R1"].dump() + " --r2 " +
                           resistors["R2"].dump() + " --json")
                        .document();
  EXPECT_NEAR(back["VOUTmax"], 7.0, 1e-9);
  EXPECT_NEAR(back["VOUTmin"], 3.5, 1e-9);

  const json best = resistors["standardPairs"].at(0);
  const json fitted =
      qv6180("calc --avdd 15 --r1 " + best["R1"].dump() + " --r2 " + best["R2"].dump() + " --json")
          .document();
  EXPECT_DOUBLE_EQ(fitted["VOUTmax"], best["VOUTmax"]);
  EXPECT_DOUBLE_EQ(fitted["VOUTmin"], best["VOUTmin"]);
}

TEST_F(ToolsTest, TableListsEveryDvrValue) {
  const ToolRun table = qv6180("table --r1 24900 --r2 39200");
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_TRUE(table.out.starts_with("DVR,VCOM,IOUT,VRSET\n0,11.002447,0.000000000,0.000000\n"));
  EXPECT_NE(table.out.find("\n255,"), std::string::npos);
  EXPECT_EQ(std::count(table.out.begin(), table.out.end(), '\n'), 257);
}

}  // namespace
