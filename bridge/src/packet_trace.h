// The packet trace that KSTHID_TRACE=FILE asks for: one line per report
// written ("T W PATH HEX") or read ("T R PATH HEX"), one per device that
// could not be opened or identified ("T E PATH WHY"), so that a user who sees
// no board can tell a device they may not open from one that is absent, and
// one per change of a virtual chip ("T C PATH dvr=N eeprom=N"), where T is
// microseconds since the trace was opened. Each line is flushed at once.
#pragma once

#include <chrono>
#include <cstdio>
#include <map>
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
  Handle openWriteHandle(const std::string& path, const SecurityAttributes& security) override;
  Handle openReadHandle(const std::string& path, const SecurityAttributes& security) override;
  std::optional<HidAttributes> attributes(Handle handle) override;
  bool writeReport(Handle handle, const Report& report) override;
  Handle createReadEvent(const SecurityAttributes& security) override {
    return traced_.createReadEvent(security);
  }
  void startRead(Handle handle, Report& into, ReadRecord& record) override;
  WaitResult waitForRead(Handle event, std::uint32_t milliseconds) override;
  void resetReadEvent(Handle event) override { traced_.resetReadEvent(event); }
  void cancelRead(Handle handle) override { traced_.cancelRead(handle); }
  void closeHandle(Handle handle) override;
  std::string describeFailure(const std::string& path) override {
    return traced_.describeFailure(path);
  }

 private:
  struct PendingRead {
    std::string path;
    const Report* into;
  };

  Handle remember(Handle handle, const std::string& path);
  std::string pathOf(Handle handle);
  void traceFailure(const std::string& path, const std::string& what);

  Transport& traced_;
  PacketTrace& trace_;
  std::mutex mutex_;
  std::map<Handle, std::string> paths_;
  std::map<Handle, PendingRead> pendingByEvent_;
};

}  // namespace ksthid
