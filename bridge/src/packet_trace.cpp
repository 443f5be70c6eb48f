#include "packet_trace.h"

#include <memory>

namespace ksthid {
namespace {

void appendHex(std::string& text, std::uint8_t byte) {
  static constexpr char kDigits[] = "0123456789abcdef";
  text += kDigits[byte >> 4];
  text += kDigits[byte & 0x0F];
}

// Device names and paths are the device's and the system's words, with any
// bytes in them: all but printable ASCII is written as \xNN, so that a line
// stays one printable line whatever a device calls itself.
std::string printable(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      escaped += c;
    } else {
      escaped += "\\x";
      appendHex(escaped, byte);
    }
  }
  return escaped;
}

}  // namespace

std::unique_ptr<PacketTrace> PacketTrace::open(const std::string& file) {
  std::FILE* opened = std::fopen(file.c_str(), "a");
  if (!opened) return nullptr;
  return std::unique_ptr<PacketTrace>(new PacketTrace(opened));
}

PacketTrace::~PacketTrace() {
  std::fclose(file_);
}

void PacketTrace::report(char direction, const std::string& path, const Report& report) {
  std::string hex;
  hex.reserve(2 * report.size());
  for (const std::uint8_t byte : report) appendHex(hex, byte);
  line(std::string(1, direction) + " " + path + " " + hex);
}

void PacketTrace::failure(const std::string& path, const std::string& why) {
  line("E " + printable(path) + " " + printable(why));
}

void PacketTrace::chip(const std::string& path, int dvr, int eeprom) {
  line("C " + path + " dvr=" + std::to_string(dvr) + " eeprom=" + std::to_string(eeprom));
}

void PacketTrace::line(const std::string& text) {
  const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - opened_);
  std::lock_guard lock(mutex_);
  std::fprintf(file_, "%lld %s\n", static_cast<long long>(elapsed.count()), text.c_str());
  std::fflush(file_);
}

class TracingTransport::TracedDevice final : public DeviceHandle {
 public:
  TracedDevice(TracingTransport& transport, std::unique_ptr<DeviceHandle> traced, std::string path)
      : transport_(transport), traced_(std::move(traced)), path_(std::move(path)) {}

  std::optional<HidAttributes> attributes() override {
    auto attributes = traced_->attributes();
    if (!attributes) transport_.traceFailure(path_, "cannot identify");
    return attributes;
  }

  bool write(const Report& report) override {
    const bool written = traced_->write(report);
    if (written) transport_.trace_.report('W', path_, report);
    return written;
  }

  ReadResult read(Report& into, std::chrono::milliseconds wait) override {
    const ReadResult result = traced_->read(into, wait);
    if (result == ReadResult::report) transport_.trace_.report('R', path_, into);
    return result;
  }

  bool gone() override { return traced_->gone(); }
  bool lockDevice(bool wait) override { return traced_->lockDevice(wait); }
  void unlockDevice() override { traced_->unlockDevice(); }

 private:
  TracingTransport& transport_;
  std::unique_ptr<DeviceHandle> traced_;
  const std::string path_;
};

std::unique_ptr<DeviceHandle> TracingTransport::open(const std::string& path) {
  std::unique_ptr<DeviceHandle> opened = traced_.open(path);
  if (!opened) {
    traceFailure(path, "cannot open");
    return nullptr;
  }
  return std::make_unique<TracedDevice>(*this, std::move(opened), path);
}

void TracingTransport::traceFailure(const std::string& path, const std::string& what) {
  const std::string why = traced_.describeFailure(path);
  trace_.failure(path, why.empty() ? what : what + ": " + why);
}

}  // namespace ksthid
