// The packet trace that KSTHID_TRACE=FILE asks for: one line per report
// written ("T W PATH HEX") or read ("T R PATH HEX"), one per device that
// could not be opened or identified ("T E PATH WHY"), so that a user who sees
// no board can tell a device they may not open from one that is absent, and
// one per change of a virtual chip ("T C PATH dvr=N eeprom=N"), where T is
// microseconds since the trace was opened. Each line is flushed at once.
#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "transport.h"

namespace ksthid {

class PacketTrace {
 public:
  // Null when the file cannot be opened.
  static std::unique_ptr<PacketTrace> open(const std::string& file);
  ~PacketTrace();

  void report(char direction, const std::string& path, const Report& report);
  void failure(const std::string& path, const std::string& why);
  void chip(const std::string& path, int dvr, int eeprom);

 private:
  explicit PacketTrace(std::FILE* file) : file_(file) {}
  void line(const std::string& text);

  std::FILE* file_;
  std::mutex mutex_;
  const std::chrono::steady_clock::time_point opened_ = std::chrono::steady_clock::now();
};

// Passes every call on to another transport and traces the reports.
class TracingTransport final : public Transport {
 public:
  TracingTransport(Transport& traced, PacketTrace& trace) : traced_(traced), trace_(trace) {}

  std::vector<std::string> enumerateHidPaths() override { return traced_.enumerateHidPaths(); }
  std::unique_ptr<DeviceHandle> open(const std::string& path) override;
  std::string describeFailure(const std::string& path) override {
    return traced_.describeFailure(path);
  }
  OpenFailure failureKind(const std::string& path) override { return traced_.failureKind(path); }
  std::optional<HidDeviceInfo> describe(const std::string& path) override {
    return traced_.describe(path);
  }
  std::vector<ClaimedBridge> claimedBridges() override { return traced_.claimedBridges(); }

 private:
  class TracedDevice;

  void traceFailure(const std::string& path, const std::string& what);

  Transport& traced_;
  PacketTrace& trace_;
};

}  // namespace ksthid
