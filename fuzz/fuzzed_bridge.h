// A fuzzed bridge for the fuzz targets of the library: HID devices whose identity, answers,
// delays, failures and unplugs the fuzzer's bytes choose as the library meets them, on a
// virtual clock. Every request written is checked to be one well-formed report, and nothing may
// be written to a device that is no bridge.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "protocol.h"
#include "transport.h"
#include "virtual/clock.h"

namespace fuzz {

using ksthid::DeviceHandle;
using ksthid::HidAttributes;
using ksthid::ReadResult;
using ksthid::Report;
using std::chrono::milliseconds;

constexpr std::size_t kMostDevices = 4;
// The library waits for nothing longer: the 1 ms drain before a legacy request, and the time-out
// for an answer in slices, each ending in a look at whether the board has been pulled out. A wait
// of 0 takes only what has come: the drop of what is queued before a handle's request.
constexpr milliseconds kLongestWait{50};

[[noreturn]] inline void fail(const char* what, long value = 0) {
  std::fprintf(stderr, "%s (%ld)\n", what, value);
  std::abort();
}

inline void expectOneOf(long result, std::initializer_list<long> allowed, const char* what) {
  if (std::find(allowed.begin(), allowed.end(), result) == allowed.end()) fail(what, result);
}

inline void expectThousands(long result, const char* what) {
  if (result < 0 || result > 32767 || (result % 1000 != 0 && result != 32767)) fail(what, result);
}

inline void checkRequest(const Report& request) {
  using namespace ksthid;
  if (request[kReportIdByte] != kRequestReportId)
    fail("a request without its report ID", request[kReportIdByte]);
  const std::uint8_t command = request[kCommandByte];
  if (command > kCommandSPITransaction) fail("an unknown command", command);
  if (command == kCommandI2CTransaction) {
    const std::size_t count = request[kI2CCountByte];
    const std::size_t registerBytes = request[kI2CRegisterLengthByte];
    const bool read = (request[kI2CAddressByte] & kI2CReadBit) != 0;
    if (count == 0 || registerBytes > 1) fail("an I2C request of bad lengths", long(count));
    if (read ? count > kMaxI2CReadCount : registerBytes + count > kMaxI2CWriteLength) {
      fail("an I2C request that does not fit its reports", long(count));
    }
    return;
  }
  if (request[kDirectionByte] > kDirectionQuery) fail("a bad direction", request[kDirectionByte]);
  if (command == kCommandSPITransaction &&
      (request[kSPICountByte] == 0 || request[kSPICountByte] > kMaxSPICount)) {
    fail("an SPI request that does not fit one report", request[kSPICountByte]);
  }
}

// One HID device whose behaviour the fuzzer's bytes decide as the library meets it.
struct FuzzDevice {
  std::string path;
  std::optional<HidAttributes> identity;
  bool opens = true;
  bool present = true;
  Report lastRequest{};
  // Input reports with the virtual time at which each arrives.
  std::deque<std::pair<ksthid::Microseconds, Report>> input;

  bool isBridge() const {
    return identity && identity->vendorId == ksthid::kBridgeVendorId &&
           identity->productId == ksthid::kBridgeProductId;
  }
};

class FuzzTransport final : public ksthid::Transport {
 public:
  explicit FuzzTransport(FuzzedDataProvider& input) : input_(input) {
    const std::size_t devices = input.ConsumeIntegralInRange<std::size_t>(0, kMostDevices);
    for (std::size_t index = 0; index < devices; ++index) {
      FuzzDevice device;
      device.path = "fz:" + std::to_string(index);
      switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
          device.identity = HidAttributes{0x046D, 0xC52B, 1};
          break;
        case 1:
          device.identity = std::nullopt;
          break;
        default:
          device.identity = HidAttributes{ksthid::kBridgeVendorId, ksthid::kBridgeProductId, 0};
      }
      device.opens = input.ConsumeIntegralInRange(0, 7) != 0;
      devices_.push_back(std::move(device));
    }
  }

  std::vector<std::string> enumerateHidPaths() override {
    std::vector<std::string> paths;
    for (const FuzzDevice& device : devices_) {
      if (device.present) paths.push_back(device.path);
    }
    return paths;
  }

  std::unique_ptr<DeviceHandle> open(const std::string& path) override;

  // Events between reads: a report nobody asked for, or the board unplugged.
  void stir(FuzzDevice& device) {
    switch (input_.ConsumeIntegralInRange(0, 15)) {
      case 1:
        queue(device, randomReport());
        break;
      case 2:
        device.present = false;
        break;
      default:
        break;
    }
  }

  bool write(FuzzDevice& device, const Report& request) {
    if (!device.isBridge()) fail("a request written to a device that is no bridge");
    checkRequest(request);
    if (!device.present || input_.ConsumeIntegralInRange(0, 15) == 1) return false;
    device.lastRequest = request;
    // No answer, one, or the same twice; each one soon, late or too late.
    const int answers = input_.ConsumeIntegralInRange(0, 7) == 1 ? 0 : 1 + input_.ConsumeBool();
    const Report answer = input_.ConsumeBool() ? randomReport() : echo(request);
    for (int copy = 0; copy < answers; ++copy) queue(device, answer);
    return true;
  }

  ReadResult read(FuzzDevice& device, Report& into, milliseconds wait) {
    if (wait.count() < 0 || wait > kLongestWait) fail("a wait of its own", long(wait.count()));
    stir(device);
    if (!device.present || input_.ConsumeIntegralInRange(0, 31) == 1) return ReadResult::failed;
    const ksthid::Microseconds deadline = clock_.now() + wait;
    if (device.input.empty() || device.input.front().first > deadline) {
      clock_.sleepUntil(deadline);
      return ReadResult::timedOut;
    }
    clock_.sleepUntil(device.input.front().first);
    into = device.input.front().second;
    device.input.pop_front();
    return ReadResult::report;
  }

 private:
  static constexpr std::array kDelays{0, 1000, 5'999'000, 6'001'000, 20'000'000};

  void queue(FuzzDevice& device, const Report& report) {
    const auto delay = ksthid::Microseconds(input_.PickValueInArray(kDelays));
    device.input.emplace_back(clock_.now() + delay, report);
  }

  // The request sent back with a status byte of the fuzzer's choice, as the bridge answers.
  Report echo(const Report& request) {
    Report answer = request;
    answer[ksthid::kStatusByte] =
        input_.ConsumeIntegralInRange(0, 7) == 1 ? input_.ConsumeIntegral<std::uint8_t>() : 0;
    return answer;
  }

  Report randomReport() {
    Report report{};
    const auto bytes = input_.ConsumeBytes<std::uint8_t>(input_.ConsumeIntegralInRange(0, 64));
    std::copy(bytes.begin(), bytes.end(), report.begin());
    return report;
  }

  FuzzedDataProvider& input_;
  ksthid::VirtualClock clock_;
  std::deque<FuzzDevice> devices_;
};

class FuzzHandle final : public DeviceHandle {
 public:
  FuzzHandle(FuzzTransport& transport, FuzzDevice& device)
      : transport_(transport), device_(device) {}
  std::optional<HidAttributes> attributes() override { return device_.identity; }
  bool write(const Report& report) override { return transport_.write(device_, report); }
  ReadResult read(Report& into, milliseconds wait) override {
    return transport_.read(device_, into, wait);
  }
  bool gone() override { return !device_.present; }

 private:
  FuzzTransport& transport_;
  FuzzDevice& device_;
};

inline std::unique_ptr<DeviceHandle> FuzzTransport::open(const std::string& path) {
  for (FuzzDevice& device : devices_) {
    if (device.path == path && device.present && device.opens) {
      return std::make_unique<FuzzHandle>(*this, device);
    }
  }
  return nullptr;
}

}  // namespace fuzz
