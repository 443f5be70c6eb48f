// A platform without HID access: no device is ever found.
#include "../platform_transport.h"

namespace ksthid {
namespace {

class NoHidTransport final : public Transport {
 public:
  std::vector<std::string> enumerateHidPaths() override { return {}; }
  Handle openWriteHandle(const std::string&, const SecurityAttributes&) override {
    return invalidHandle;
  }
  Handle openReadHandle(const std::string&, const SecurityAttributes&) override {
    return invalidHandle;
  }
  std::optional<HidAttributes> attributes(Handle) override { return std::nullopt; }
  bool writeReport(Handle, const Report&) override { return false; }
  Handle createReadEvent(const SecurityAttributes&) override { return invalidHandle; }
  void startRead(Handle, Report&, ReadRecord&) override {}
  WaitResult waitForRead(Handle, std::uint32_t) override { return WaitResult::failed; }
  void resetReadEvent(Handle) override {}
  void cancelRead(Handle) override {}
  void closeHandle(Handle) override {}
};

}  // namespace

std::unique_ptr<Transport> makePlatformTransport() {
  return std::make_unique<NoHidTransport>();
}

}  // namespace ksthid
