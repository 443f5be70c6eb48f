// KSTHID_SIMULATE_CONTROL's pipe: virtual boards pulled out and plugged in by the lines another
// process writes, the lines before "go" before the library goes on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "hotplug_signal.h"
#include "simulation_control.h"
#include "virtual/virtual_transport.h"

namespace ksthid::testing {
namespace {

class SimulationControlTest : public ::testing::Test {
 protected:
  SimulationControlTest() {
    boards.addBridge("sim:0");
    boards.addBridge("sim:1");
    if (::pipe(ends) != 0) ADD_FAILURE() << "no pipe";
    listener = addDevicesChangedListener([this](const std::string& path, bool arrived) {
      std::lock_guard lock(mutex);
      heard.push_back((arrived ? "plugged " : "pulled ") + path);
      changed.notify_all();
    });
  }
  ~SimulationControlTest() override {
    closeWriter();
    control.reset();
    removeDevicesChangedListener(listener);
    ::close(ends[0]);
  }

  void write(const std::string& lines) {
    ASSERT_EQ(::write(ends[1], lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
  }
  void closeWriter() {
    if (ends[1] >= 0) ::close(ends[1]);
    ends[1] = -1;
  }
  void follow() {
    control = std::make_unique<SimulationControl>("/dev/fd/" + std::to_string(ends[0]), boards);
  }
  std::vector<std::string> heardOnceThereAre(std::size_t count) {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return heard.size() >= count; });
    return heard;
  }
  bool present(const std::string& path) {
    const auto paths = boards.enumerateHidPaths();
    return std::find(paths.begin(), paths.end(), path) != paths.end();
  }

  VirtualClock clock;
  VirtualTransport boards{clock};
  int ends[2] = {-1, -1};
  int listener = 0;
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> heard;
  std::unique_ptr<SimulationControl> control;
};

TEST_F(SimulationControlTest, LinesBeforeGoAreCarriedOutBeforeTheLibraryGoesOn) {
  write("unplug sim:0\r\nunplug sim:1\ngo\n");
  follow();
  EXPECT_FALSE(present("sim:0"));
  EXPECT_FALSE(present("sim:1"));
  EXPECT_EQ(heard, (std::vector<std::string>{"pulled sim:0", "pulled sim:1"}));
}

TEST_F(SimulationControlTest, LaterLinesAreCarriedOutAsTheyComeAndOthersSkipped) {
  write("go\n");
  follow();
  write("unplug sim:1\nunplug sim:7\nplug\nunplug sim:0 sim:1\nshake sim:0\nplug sim:1\n");
  EXPECT_EQ(heardOnceThereAre(2), (std::vector<std::string>{"pulled sim:1", "plugged sim:1"}));
  EXPECT_TRUE(present("sim:0"));
  EXPECT_TRUE(present("sim:1"));
}

TEST_F(SimulationControlTest, APipeThatCannotBeOpenedChangesNothing) {
  control = std::make_unique<SimulationControl>("/nonexistent/control", boards);
  EXPECT_TRUE(present("sim:0"));
  EXPECT_TRUE(heard.empty());
}

}  // namespace
}  // namespace ksthid::testing
