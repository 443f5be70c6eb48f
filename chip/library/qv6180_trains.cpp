// The counter interface's exports: each call drives the board through a fresh CounterInterface,
// which parks the lines before its train.
#include <functional>

#include "board_gpio_port.h"
#include "counter_interface.h"
#include "counting_gpio_port.h"
#include "precise_waits.h"
#include "qv6180.h"

namespace {

using Train = std::function<CounterInterface::End(CounterInterface&)>;

bool isDvr(int value) {
  return value >= QV6180_DVR_MIN && value <= QV6180_DVR_MAX;
}

int run(ksthid_board* board, const Train& train) {
  if (!board) return KSTHID_E_INVALID_ARGUMENT;
  const PreciseWaits preciseWaits;
  BoardGpioPort pins(board);
  CounterInterface chip(pins);
  switch (train(chip)) {
    case CounterInterface::End::done:
      return 0;
    case CounterInterface::End::stopped:
      return QV6180_E_STOPPED;
    case CounterInterface::End::notTaken:
      break;
  }
  return pins.failure();
}

int callsOf(const Train& train) {
  CountingGpioPort counter;
  CounterInterface dryRun(counter);
  train(dryRun);
  return counter.calls();
}

CounterInterface::Progress toldTo(qv6180_progress progress, void* context) {
  if (!progress) return {};
  return [=](int done, int inAll) { return progress(done, inAll, context) == 0; };
}

}  // namespace

extern "C" {

int qv6180_send(ksthid_board* board, int dvr, qv6180_progress progress, void* context) {
  if (!isDvr(dvr)) return KSTHID_E_INVALID_ARGUMENT;
  return run(board,
             [&](CounterInterface& chip) { return chip.send(dvr, toldTo(progress, context)); });
}

int qv6180_step(ksthid_board* board, int from_dvr, int to_dvr) {
  if (!isDvr(from_dvr) || !isDvr(to_dvr)) return KSTHID_E_INVALID_ARGUMENT;
  return run(board, [&](CounterInterface& chip) { return chip.step(from_dvr, to_dvr); });
}

int qv6180_store(ksthid_board* board) {
  return run(board, [](CounterInterface& chip) { return chip.store(); });
}

int qv6180_park(ksthid_board* board) {
  return run(board, [](CounterInterface& chip) {
    return chip.park() ? CounterInterface::End::done : CounterInterface::End::notTaken;
  });
}

int qv6180_send_calls(int dvr) {
  if (!isDvr(dvr)) return KSTHID_E_INVALID_ARGUMENT;
  return callsOf([&](CounterInterface& chip) { return chip.send(dvr); });
}

int qv6180_step_calls(int from_dvr, int to_dvr) {
  if (!isDvr(from_dvr) || !isDvr(to_dvr)) return KSTHID_E_INVALID_ARGUMENT;
  return callsOf([&](CounterInterface& chip) { return chip.step(from_dvr, to_dvr); });
}

}  // extern "C"
