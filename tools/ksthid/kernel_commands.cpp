// kernel claim and release: hands a board to the Linux kernel driver hid-ksthid, which makes it an
// I2C adapter and a GPIO chip, or gives it back to the library. The driver binds every bridge and
// names the ones bound to it in its sysfs folder; a board is named by its serial number, since a
// claimed board has no hidraw node and so no place in the library's list.
#include <filesystem>
#include <fstream>
#include <string>

#include "commands.h"

namespace ksthid_tool {
namespace {

namespace fs = std::filesystem;
using tools::ExitStatus;
using tools::Invocation;
using tools::ToolError;

const fs::path kDriverFolder = "/sys/bus/hid/drivers/ksthid";

// The HID device (0003:3A5C:4B17.000N) of the board with this serial.
std::string hidDeviceOf(const std::string& serial) {
  std::error_code error;
  if (!fs::is_directory(kDriverFolder, error)) {
    throw ToolError(ExitStatus::noSuchBoard,
                    "the kernel driver is not loaded (sudo modprobe hid-ksthid)");
  }
  for (const fs::directory_entry& entry : fs::directory_iterator(kDriverFolder, error)) {
    std::ifstream uevent(entry.path() / "uevent");
    for (std::string line; std::getline(uevent, line);) {
      if (line == "HID_UNIQ=" + serial) return entry.path().filename().string();
    }
  }
  throw ToolError(ExitStatus::noSuchBoard, "no board with serial " + serial + " on the driver");
}

// What the kernel made of a claimed board: i2c-N and gpiochipN.
std::string childNamed(const std::string& device, const std::string& prefix) {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(kDriverFolder / device, error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(prefix)) return name;
  }
  return {};
}

void switchOwner(Invocation& run, const std::string& attribute) {
  const std::string serial = run.text("SERIAL");
  const std::string device = hidDeviceOf(serial);
  std::ofstream control(kDriverFolder / attribute);
  control << device << std::flush;
  if (!control) {
    throw ToolError(ExitStatus::usbFailure,
                    "cannot " + attribute + " " + serial + " (" + device + "): that takes root");
  }
  const std::string adapter = childNamed(device, "i2c-"), chip = childNamed(device, "gpiochip");
  if (attribute == "claim" && (adapter.empty() || chip.empty())) {
    throw ToolError(ExitStatus::usbFailure, "the driver could not take " + serial +
                                                ", which stays the library's (see dmesg)");
  }
  if (attribute == "claim") {
    run.out() << serial << ": " << adapter << ' ' << chip << '\n';
  } else {
    run.out() << serial << ": the library's again\n";
  }
  run.result() = {{"serial", serial}, {"device", device}, {"adapter", adapter}, {"chip", chip}};
}

}  // namespace

void addKernelCommands(tools::CommandSet& set) {
  CLI::App* kernel =
      set.add(set.root(), "kernel", "Hand a board to the Linux kernel driver hid-ksthid, or back");
  CLI::App* claim =
      set.add(*kernel, "claim", "Make the board an I2C adapter and a GPIO chip of the kernel's",
              [](Invocation& run) { switchOwner(run, "claim"); });
  claim->add_option("SERIAL")->description("The board's serial number")->required();
  CLI::App* release = set.add(*kernel, "release", "Give the board back to the library",
                              [](Invocation& run) { switchOwner(run, "release"); });
  release->add_option("SERIAL")->description("The board's serial number")->required();
}

}  // namespace ksthid_tool
