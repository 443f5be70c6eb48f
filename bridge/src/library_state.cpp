#include "library_state.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "composite_transport.h"
#include "packet_trace.h"
#include "platform_transport.h"
#include "virtual/virtual_transport.h"

namespace ksthid {
namespace {

constexpr int maxSimulatedBoards = 16;

// How many virtual boards KSTHID_SIMULATE asks for.
int simulatedBoardCount() {
  const char* setting = std::getenv("KSTHID_SIMULATE");
  if (!setting || !*setting) return 0;
  char* end = nullptr;
  const long count = std::strtol(setting, &end, 10);
  if (*end != '\0' || count < 0 || count > maxSimulatedBoards) {
    std::fprintf(stderr, "ksthid: KSTHID_SIMULATE=%s ignored: give a number of boards, 0 to %d\n",
                 setting, maxSimulatedBoards);
    return 0;
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

// The platform's devices, then the virtual boards asked for, traced when a
// trace is asked for. Built on first use and kept for the whole process.
class DefaultTransport {
 public:
  DefaultTransport() : platform_(makePlatformTransport()), trace_(traceFromEnvironment()) {
    Transport* active = platform_.get();
    if (const int boards = simulatedBoardCount(); boards > 0) {
      simulated_ = std::make_unique<VirtualTransport>(clock_);
      for (int board = 0; board < boards; ++board)
        addSimulatedBoard("sim:" + std::to_string(board));
      composite_ = std::make_unique<CompositeTransport>(
          std::vector<Transport*>{platform_.get(), simulated_.get()});
      active = composite_.get();
    }
    if (trace_) {
      tracing_ = std::make_unique<TracingTransport>(*active, *trace_);
      active = tracing_.get();
    }
    active_ = active;
  }

  Transport& get() { return *active_; }

 private:
  void addSimulatedBoard(const std::string& path) {
    VirtualBridge& board = simulated_->addBridge(path);
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
  std::unique_ptr<TracingTransport> tracing_;
  Transport* active_ = nullptr;
};

Transport* replacement = nullptr;

}  // namespace

LibraryState& libraryState() {
  thread_local LibraryState state;
  return state;
}

Transport& transport() {
  if (replacement) return *replacement;
  static DefaultTransport defaultTransport;
  return defaultTransport.get();
}

void useTransport(Transport* transport) {
  replacement = transport;
  libraryState() = LibraryState{};
}

}  // namespace ksthid
