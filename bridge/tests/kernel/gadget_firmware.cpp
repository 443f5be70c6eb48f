// The bridge's firmware on the device side of a USB HID gadget: each output
// report the host sends arrives on /dev/hidgN, the virtual bridge carries it
// out, and its answer goes back as an input report. The host then meets the
// kernel's usbhid and hidraw exactly as with a board on a cable.
//
// A cable pulled out fails the node's reads and writes; the firmware keeps
// going, reopening the node, so the board answers again once plugged back.
//
// Usage: ksthid_gadget_firmware NODE [FIRST_ANSWER_DELAY_MS | babble]
// The first answer may be held back, as a firmware that stops answering
// for a while does; or the firmware may babble, sending a report of its
// own whenever no request has come for a millisecond.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "virtual/virtual_bridge.h"

namespace {

using ksthid::Report;

constexpr auto kReopenInterval = std::chrono::milliseconds(20);
constexpr int kBabbleIntervalMs = 1;

class GadgetNode {
 public:
  explicit GadgetNode(std::string path) : path_(std::move(path)) {}
  ~GadgetNode() { closeNode(); }

  // Waits for the next request, through any number of disconnects.
  Report nextRequest() {
    Report request{};
    while (!transfer([&](int fd) { return ::read(fd, request.data(), request.size()); })) {
    }
    return request;
  }

  // True when a request can be read within `waitMs`.
  bool requestWithin(int waitMs) {
    if (fd_ < 0) return true;  // nextRequest reopens the node
    pollfd node{fd_, POLLIN, 0};
    return ::poll(&node, 1, waitMs) != 0;
  }

  // An answer that cannot be sent is lost, as it is on a cable pulled out.
  void send(const Report& answer) {
    transfer([&](int fd) { return ::write(fd, answer.data(), answer.size()); });
  }

 private:
  template <typename Transfer>
  bool transfer(Transfer&& run) {
    if (fd_ < 0) fd_ = ::open(path_.c_str(), O_RDWR);
    if (fd_ >= 0) {
      ssize_t length = 0;
      do {
        length = run(fd_);
      } while (length < 0 && errno == EINTR);
      if (length == static_cast<ssize_t>(ksthid::kReportLength)) return true;
      closeNode();
    }
    std::this_thread::sleep_for(kReopenInterval);
    return false;
  }

  void closeNode() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  const std::string path_;
  int fd_ = -1;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s NODE [FIRST_ANSWER_DELAY_MS | babble]\n", argv[0]);
    return 2;
  }
  const bool babbles = argc == 3 && std::string_view(argv[2]) == "babble";
  std::chrono::milliseconds firstAnswerDelay(argc == 3 && !babbles ? std::atoi(argv[2]) : 0);
  GadgetNode node(argv[1]);
  ksthid::VirtualBridge bridge;
  Report babble{};
  babble.fill(0xEE);
  for (;;) {
    if (babbles && !node.requestWithin(kBabbleIntervalMs)) {
      node.send(babble);
      continue;
    }
    const std::optional<Report> answer = bridge.handleRequest(node.nextRequest());
    if (!answer) continue;
    std::this_thread::sleep_for(firstAnswerDelay);
    firstAnswerDelay = {};
    node.send(*answer);
  }
}
