#include "environment_transport.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "composite_transport.h"
#include "ksthid_api.h"
#include "packet_trace.h"
#include "simulation_control.h"
#include "virtual/virtual_transport.h"

namespace ksthid {
namespace {

// A whole number from the environment within 0 to `most`; empty when unset.
std::optional<int> countFromEnvironment(const char* variable, int most) {
  const char* setting = std::getenv(variable);
  if (!setting || !*setting) return std::nullopt;
  char* end = nullptr;
  const long count = std::strtol(setting, &end, 10);
  if (*end != '\0' || count < 0 || count > most) {
    std::fprintf(stderr, "ksthid: %s=%s ignored: give a whole number from 0 to %d\n", variable,
                 setting, most);
    return std::nullopt;
  }
  return static_cast<int>(count);
}

std::unique_ptr<PacketTrace> traceFromEnvironment() {
  const char* file = std::getenv("KSTHID_TRACE");
  if (!file || !*file) return nullptr;
  auto trace = PacketTrace::open(file);
  if (!trace) std::fprintf(stderr, "ksthid: cannot open the trace file %s\n", file);
  return trace;
}

class EnvironmentTransport {
 public:
  EnvironmentTransport() : platform_(makePlatformTransport()), trace_(traceFromEnvironment()) {
    Transport* active = platform_.get();
    if (const int boards =
            countFromEnvironment("KSTHID_SIMULATE", KSTHID_MAX_SIMULATED_BOARDS).value_or(0);
        boards > 0) {
      simulated_ = std::make_unique<VirtualTransport>(clock_);
      for (int board = 0; board < boards; ++board)
        addSimulatedBoard("sim:" + std::to_string(board));
      composite_ = std::make_unique<CompositeTransport>(
          std::vector<Transport*>{platform_.get(), simulated_.get()});
      active = composite_.get();
      if (const char* control = std::getenv("KSTHID_SIMULATE_CONTROL"); control && *control) {
        control_ = std::make_unique<SimulationControl>(control, *simulated_);
      }
    }
    if (trace_) {
      tracing_ = std::make_unique<TracingTransport>(*active, *trace_);
      active = tracing_.get();
    }
    active_ = active;
  }

  Transport& get() { return *active_; }
  VirtualTransport* simulated() { return simulated_.get(); }

 private:
  void addSimulatedBoard(const std::string& path) {
    VirtualBridge& board = simulated_->addBridge(path);
    if (const auto reports = countFromEnvironment("KSTHID_SIMULATE_UNPLUG_AFTER", INT_MAX)) {
      simulated_->unplugAfter(path, *reports);
    }
    if (const auto reports = countFromEnvironment("KSTHID_SIMULATE_FAIL_WRITES", INT_MAX)) {
      simulated_->failWrites(path, *reports);
    }
    if (trace_) {
      board.chip().setChangeListener(
          [trace = trace_.get(), path](int dvr, int eeprom) { trace->chip(path, dvr, eeprom); });
    }
  }

  SteadyClock clock_;
  std::unique_ptr<Transport> platform_;
  std::unique_ptr<PacketTrace> trace_;
  std::unique_ptr<VirtualTransport> simulated_;
  std::unique_ptr<CompositeTransport> composite_;
  std::unique_ptr<SimulationControl> control_;
  std::unique_ptr<TracingTransport> tracing_;
  Transport* active_ = nullptr;
};

// Never destroyed: a thread's library state closes its boards when the
// thread ends, which at process exit may come after static objects are gone.
// Trace lines are flushed as they are written, so nothing waits for a close.
EnvironmentTransport& environment() {
  static EnvironmentTransport* const environment = new EnvironmentTransport;
  return *environment;
}

}  // namespace

Transport& environmentTransport() {
  return environment().get();
}

VirtualTransport* environmentSimulatedBoards() {
  return environment().simulated();
}

}  // namespace ksthid
