// Devices coming and going on Linux: udev's monitor of the hidraw nodes and
// an eventfd for the signs of the virtual boards, behind one epoll descriptor.
#include <libudev.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include "../device_watch.h"

namespace ksthid {
namespace {

class UdevDeviceWatch final : public DeviceWatch {
 public:
  UdevDeviceWatch()
      : epoll_(::epoll_create1(EPOLL_CLOEXEC)), signal_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    watchDescriptor(signal_);
    startUdev();
  }

  ~UdevDeviceWatch() override {
    if (monitor_) udev_monitor_unref(monitor_);
    if (udev_) udev_unref(udev_);
    ::close(signal_);
    ::close(epoll_);
  }

  bool usable() const { return epoll_ >= 0 && signal_ >= 0; }

  int descriptor() const override { return epoll_; }

  void wake() override {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(signal_, &one, sizeof one);
  }

  bool wait(int timeoutMs) override {
    epoll_event ready[2];
    if (::epoll_wait(epoll_, ready, 2, timeoutMs) <= 0) return false;
    std::uint64_t count;
    while (::read(signal_, &count, sizeof count) > 0) {
    }
    while (monitor_) {
      udev_device* device = udev_monitor_receive_device(monitor_);
      if (!device) break;
      udev_device_unref(device);
    }
    return true;
  }

 private:
  void watchDescriptor(int fd) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event);
  }

  // Without udev (a container, say) only the virtual boards are watched.
  void startUdev() {
    udev_ = udev_new();
    if (!udev_) return;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (!monitor_ ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
      if (monitor_) udev_monitor_unref(monitor_);
      monitor_ = nullptr;
      return;
    }
    watchDescriptor(udev_monitor_get_fd(monitor_));
  }

  const int epoll_;
  const int signal_;
  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
};

}  // namespace

std::unique_ptr<DeviceWatch> openDeviceWatch() {
  auto watch = std::make_unique<UdevDeviceWatch>();
  if (!watch->usable()) return nullptr;
  return watch;
}

}  // namespace ksthid
