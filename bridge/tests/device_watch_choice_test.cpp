// How a monitor on Windows learns of devices, over stated facts of the
// system: notified only where a notification can come, with no registration
// where none could serve, and how each watch waits.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "signalled_device_watch.h"

namespace ksthid {
namespace {

using namespace std::chrono_literals;

class StatedNotifications final : public DeviceNotifications {
 public:
  StatedNotifications(bool available, bool underWine, bool registers)
      : available_(available), underWine_(underWine), registers_(registers) {}

  bool available() const override { return available_; }
  bool underWine() const override { return underWine_; }
  bool subscribe(std::function<void()> onChange) override {
    subscribed = true;
    notify = std::move(onChange);
    return registers_;
  }

  bool subscribed = false;
  // What the system calls for each arrival and departure.
  std::function<void()> notify;

 private:
  const bool available_;
  const bool underWine_;
  const bool registers_;
};

struct Case {
  bool available;
  bool underWine;
  bool registers;
  bool notified;
  bool subscribes;
  const char* how;
};

TEST(DeviceWatchChoiceTest, NotifiedOnlyWhereANotificationCanCome) {
  const Case cases[] = {
      {true, false, true, true, true, "device notification"},
      {false, false, true, false, false,
       "looking every 250 ms: the system has no CM_Register_Notification"},
      {true, true, true, false, false,
       "looking every 250 ms: Wine delivers no device notifications"},
      {false, true, true, false, false,
       "looking every 250 ms: Wine delivers no device notifications"},
      {true, false, false, false, true, "looking every 250 ms: CM_Register_Notification failed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    StatedNotifications system(c.available, c.underWine, c.registers);
    const DeviceWatchChoice choice = chooseDeviceWatch(system, 250ms, [] {});
    EXPECT_EQ(choice.notified, c.notified);
    EXPECT_EQ(choice.how, c.how);
    EXPECT_EQ(system.subscribed, c.subscribes);
  }
}

TEST(DeviceWatchChoiceTest, NotifiedWatchWaitsWithoutEndForASign) {
  auto owned = std::make_unique<StatedNotifications>(true, false, true);
  StatedNotifications& system = *owned;
  SignalledDeviceWatch watch(std::move(owned), 250ms);
  EXPECT_FALSE(watch.wait(0));
  // From a thread of the system's, as its callbacks come.
  std::thread arrival(system.notify);
  EXPECT_TRUE(watch.wait(-1));
  arrival.join();
  EXPECT_FALSE(watch.wait(0));
  watch.wake();
  EXPECT_TRUE(watch.wait(0));
}

TEST(DeviceWatchChoiceTest, LookingWatchTakesEveryIntervalForASign) {
  SignalledDeviceWatch watch(std::make_unique<StatedNotifications>(true, true, true), 1ms);
  EXPECT_TRUE(watch.wait(-1));
  EXPECT_FALSE(watch.wait(0));
  watch.wake();
  EXPECT_TRUE(watch.wait(0));
}

}  // namespace
}  // namespace ksthid
