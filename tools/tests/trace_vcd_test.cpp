// ksthid trace vcd: packet traces drawn as Value Change Dumps.
#include "trace_vcd.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace {

using ksthid_tool::MalformedTrace;
using ksthid_tool::VcdOptions;

// A report as the trace writes it: the bytes given, then zeros, in hex.
std::string report(std::initializer_list<int> bytes) {
  std::string hex;
  for (const int byte : bytes) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", byte);
    hex += digits;
  }
  return hex + std::string(128 - hex.size(), '0');
}

const std::string kIdle = report({1, 3, 0, 0x50, 0});
const std::string kCounterLow = report({1, 3, 0, 0x10, 0});
const std::string kConfigurationIdle = report({1, 2, 0, 0xBF, 0xFF, 1});

std::string vcdOf(const std::string& trace, VcdOptions options = {}) {
  std::istringstream in(trace);
  std::ostringstream out;
  ksthid_tool::writeVcd(in, out, options);
  return out.str();
}

struct Drawing {
  const char* what;
  std::string trace;
  VcdOptions options;
  std::vector<std::string> shown;
  std::vector<std::string> absent;
};

// Signal identifiers run from ! in the order of the declarations, each byte from bit 7 down:
// value1 [7] is !, value1 [6] is ", value2 [0] is 0, config1 [7] is 1, config1 [6] is 2,
// config_flag is A.
TEST(TraceVcdTest, DrawsWhatTheTraceSets) {
  const Drawing drawings[] = {
      {"the header, every signal unknown until set",
       "5 W sim:0 " + kIdle + "\n",
       {},
       {"$timescale 1us $end\n$scope module sim_0 $end\n$var wire 1 ! value1 [7] $end\n",
        "$var wire 1 \" value1 [6] $end\n", "$var wire 1 0 value2 [0] $end\n",
        "$var wire 1 A config_flag $end\n$upscope $end\n$enddefinitions $end\n#0\n$dumpvars\nx!\n",
        "xA\n$end\n#5\n0!\n1\"\n0#\n1$\n0%\n", "0/\n00\n#6\n"},
       {"dvr", "1A"}},
      {"a value change writes the bits that change",
       "5 W sim:0 " + kIdle + "\n2000 W sim:0 " + kCounterLow + "\n",
       {},
       {"\n#2000\n0\"\n#2001\n"},
       {}},
      {"the configuration bytes and flag",
       "7 W sim:0 " + kConfigurationIdle + "\n",
       {},
       {"#7\n11\n02\n13\n14\n15\n16\n17\n18\n19\n", "1@\n1A\n#8\n"},
       {}},
      {"the chip's register and EEPROM bit by bit",
       "9 C sim:0 dvr=16 eeprom=0\n",
       {},
       {"$var wire 1 ! dvr [7] $end\n", "$var wire 1 ( dvr [0] $end\n",
        "#9\n0!\n0\"\n0#\n1$\n0%\n"},
       {"value1", "[7:0]"}},
      {"the chip's register and EEPROM as vectors",
       "9 C sim:0 dvr=16 eeprom=0\n",
       {.registerVectors = true},
       {"$var wire 8 ! dvr [7:0] $end\n$var wire 8 \" eeprom [7:0] $end\n",
        "bx !\nbx \"\n$end\n#9\nb00010000 !\nb00000000 \"\n#10\n"},
       {}},
      {"reads, failures, queries and other commands draw nothing",
       "1 R sim:0 " + kIdle + "\n2 E /dev/hidraw0 cannot open: Permission denied\n3 W sim:0 " +
           report({1, 3, 1, 1}) + "\n4 W sim:0 " + report({1, 1, 0, 3}) + "\n\n",
       {},
       {"$timescale 1us $end\n$enddefinitions $end\n#0\n$dumpvars\n$end\n#5\n"},
       {"$scope"}},
      {"a time that goes back goes on from the latest",
       "100 W sim:0 " + kIdle + "\n5 W sim:0 " + kCounterLow + "\n25 W sim:0 " + kIdle + "\n",
       {},
       {"#100\n", "0\"\n#120\n1\"\n#121\n"},
       {"#5\n", "#25\n"}},
      {"lines ended by CR LF", "5 W sim:0 " + kIdle + "\r\n", {}, {"#5\n0!\n"}, {}},
      {"a scope for each board, named apart",
       "1 W sim:0 " + kIdle + "\n2 W sim:1 " + kIdle + "\n3 W sim.0 " + kIdle + "\n",
       {},
       {"$scope module sim_1 $end\n$var wire 1 B value1 [7] $end\n", "$scope module sim_0_2 $end\n",
        "#2\n0B\n"},
       {}},
  };
  for (const Drawing& drawing : drawings) {
    const std::string vcd = vcdOf(drawing.trace, drawing.options);
    for (const std::string& part : drawing.shown) {
      EXPECT_NE(vcd.find(part), std::string::npos) << drawing.what << ": " << part << "\n" << vcd;
    }
    for (const std::string& part : drawing.absent) {
      EXPECT_EQ(vcd.find(part), std::string::npos) << drawing.what << ": " << part;
    }
  }
}

TEST(TraceVcdTest, AMalformedLineIsNamedAndNothingIsWritten) {
  const std::pair<std::string, std::string> lines[] = {
      {"5 W", "TIME KIND PATH expected"},
      {"x W sim:0 " + kIdle, "the time x is not a number of microseconds"},
      {"-5 W sim:0 " + kIdle, "the time -5 is not a number of microseconds"},
      {"18446744073709551615 E sim:0 why", "the time 18446744073709551615 is too large"},
      {"5 Q sim:0 " + kIdle, "the kind Q is none of W, R, E and C"},
      {"5 W sim:0", "the report's 64 bytes in hex expected after the path"},
      {"5 R sim:0 0103", "a report is 128 hex digits, not 4"},
      {"5 W sim:0 zz" + kIdle.substr(2), "the report zz" + kIdle.substr(2) + " is not in hex"},
      {"5 C sim:0 dvr=1", "dvr=N eeprom=N expected after the path"},
      {"5 C sim:0 dvr=256 eeprom=0", "dvr=N with N from 0 to 255 expected, not dvr=256"},
      {"5 C sim:0 dvr=1 eprom=1", "eeprom=N with N from 0 to 255 expected, not eprom=1"},
  };
  for (const auto& [line, why] : lines) {
    std::istringstream in("1 W sim:0 " + kIdle + "\n" + line + "\n");
    std::ostringstream out;
    try {
      ksthid_tool::writeVcd(in, out);
      ADD_FAILURE() << line << " was read";
    } catch (const MalformedTrace& error) {
      EXPECT_EQ(error.what(), "line 2: " + why);
    }
    EXPECT_EQ(out.str(), "") << line;
  }
}

}  // namespace
