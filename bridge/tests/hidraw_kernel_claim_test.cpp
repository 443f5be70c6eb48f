// Boards the kernel driver hid-ksthid has claimed, in a sysfs tree beside an
// ordinary hidraw bridge: listed with why they cannot be opened, refused by
// ksthid_open, never numbered by kstHID_connect.
#include <optional>
#include <string>
#include <vector>

#include "hidraw_fixture.h"
#include "ksthid_api.h"

namespace ksthid::testing {
namespace {

const std::string kDevice = "0003:3A5C:4B17.0002";
const std::string kBridgeUevent =
    "DRIVER=ksthid\nHID_ID=0003:00003A5C:00004B17\nHID_NAME=USB HID bridge\n";

struct BoundDevice {
  const char* what;
  std::string uevent;
  std::vector<std::string> children;
  // The error text of its entry; empty when it is not listed.
  std::string listedAs;
};

class HidrawKernelClaimTest : public HidrawTransportTest,
                              public ::testing::WithParamInterface<BoundDevice> {
 protected:
  std::string driverFolder() const { return "sys/bus/hid/drivers/ksthid/"; }

  // The driver's folder as the kernel has it: its attributes and module
  // beside the devices bound to it.
  void bindToDriver(const BoundDevice& device) {
    fs->addFile(driverFolder() + "bind", "");
    fs->addFile(driverFolder() + "module/uevent", "");
    fs->addFile(driverFolder() + kDevice + "/uevent", device.uevent);
    for (const std::string& child : device.children) {
      fs->addFile(driverFolder() + kDevice + "/" + child, std::nullopt);
    }
  }
};

TEST_P(HidrawKernelClaimTest, ClaimedBoardIsListedWithItsAdapterAndChipAndNeverOpened) {
  const BoundDevice& device = GetParam();
  fs->addBridge("hidraw0");
  bindToDriver(device);
  const std::string path = (fs->sysRoot() / "bus/hid/devices" / kDevice).string();

  ksthid_board_info* list = nullptr;
  const int count = ksthid_enumerate(&list);
  std::vector<std::string> listed;
  for (const ksthid_board_info* info = list; info; info = info->next) {
    listed.push_back(std::string(info->path) + "|" + info->serial + "|" + info->product + "|" +
                     std::to_string(info->error) + "|" + info->error_text);
  }
  ksthid_free_enumeration(list);
  std::vector<std::string> expected{fs->node("hidraw0") + "||USB HID bridge|0|"};
  if (!device.listedAs.empty()) expected.push_back(device.listedAs);
  for (std::string& entry : expected) {
    if (const auto at = entry.find("$PATH"); at != std::string::npos) entry.replace(at, 5, path);
    if (const auto at = entry.find("$SYS"); at != std::string::npos) {
      entry.replace(at, 4, fs->sysRoot().string());
    }
  }
  EXPECT_EQ(count, static_cast<int>(expected.size()));
  EXPECT_EQ(listed, expected);

  ksthid_board* board = nullptr;
  const int refused = device.listedAs.empty() ? KSTHID_E_NOT_FOUND : KSTHID_E_CLAIMED;
  EXPECT_EQ(ksthid_open(path.c_str(), &board), refused);
  EXPECT_EQ(board, nullptr);
  if (device.uevent.find("HID_UNIQ=KT0002") != std::string::npos) {
    EXPECT_EQ(ksthid_open("KT0002", &board), refused);
  }
  EXPECT_EQ(connect(), 1);
  EXPECT_EQ(libraryState().boardPaths, nodes({"hidraw0"}));
}

INSTANTIATE_TEST_SUITE_P(
    Devices, HidrawKernelClaimTest,
    ::testing::Values(
        BoundDevice{"Claimed",
                    kBridgeUevent + "HID_UNIQ=KT0002\n",
                    {"i2c-7", "gpiochip3", "power", "hidraw"},
                    "$PATH|KT0002|USB HID bridge|-10|claimed by the kernel driver as i2c-7 and "
                    "gpiochip3; `ksthid kernel release KT0002` gives it back"},
        BoundDevice{"ClaimedWithoutSerial",
                    kBridgeUevent,
                    {"i2c-12", "gpiochip0"},
                    "$PATH||USB HID bridge|-10|claimed by the kernel driver as i2c-12 and "
                    "gpiochip0; writing 0003:3A5C:4B17.0002 to "
                    "$SYS/bus/hid/drivers/ksthid/release gives it back"},
        // The serial is the device's word, never offered to a shell.
        BoundDevice{"ClaimedWithAnUnsafeSerial",
                    kBridgeUevent + "HID_UNIQ=KT$(reboot)\n",
                    {"i2c-7", "gpiochip3"},
                    "$PATH|KT$(reboot)|USB HID bridge|-10|claimed by the kernel driver as i2c-7 "
                    "and gpiochip3; writing 0003:3A5C:4B17.0002 to "
                    "$SYS/bus/hid/drivers/ksthid/release gives it back"},
        // A board with a hidraw node is the library's, whatever else it has.
        BoundDevice{"WithHidraw",
                    kBridgeUevent + "HID_UNIQ=KT0002\n",
                    {"hidraw/hidraw5", "i2c-7", "gpiochip3"},
                    ""},
        BoundDevice{"HalfwayThroughAClaim", kBridgeUevent + "HID_UNIQ=KT0002\n", {"i2c-7"}, ""},
        BoundDevice{"NoBridge",
                    "HID_ID=0003:0000046D:0000C52B\nHID_NAME=Other HID device\n",
                    {"i2c-7", "gpiochip3"},
                    ""}),
    [](const ::testing::TestParamInfo<BoundDevice>& info) { return info.param.what; });

}  // namespace
}  // namespace ksthid::testing
