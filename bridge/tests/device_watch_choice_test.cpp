// How a monitor on Windows chooses to learn of devices, over stated facts of
// the system: notified only where a notification can come, and no
// registration where none could serve.
#include "device_watch_choice.h"

#include <gtest/gtest.h>

namespace ksthid {
namespace {

class StatedNotifications final : public DeviceNotifications {
 public:
  StatedNotifications(bool available, bool underWine, bool registers)
      : available_(available), underWine_(underWine), registers_(registers) {}

  bool available() const override { return available_; }
  bool underWine() const override { return underWine_; }
  bool subscribe() override {
    subscribed = true;
    return registers_;
  }

  bool subscribed = false;

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
      {true, false, false, false, true, "looking every 250 ms: CM_Register_Notification failed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    StatedNotifications system(c.available, c.underWine, c.registers);
    const DeviceWatchChoice choice = chooseDeviceWatch(system, std::chrono::milliseconds(250));
    EXPECT_EQ(choice.notified, c.notified);
    EXPECT_EQ(choice.how, c.how);
    EXPECT_EQ(system.subscribed, c.subscribes);
  }
}

}  // namespace
}  // namespace ksthid
