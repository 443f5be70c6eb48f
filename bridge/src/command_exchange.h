// Running commands on a board. Most exports are one set or one query; the
// few that need several steps (the LED read-modify-write, SCL toggling, SPI
// and I2C transactions) drive an Exchange of their own.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "board.h"
#include "protocol.h"

namespace ksthid {

// One request to a board and its answer. Opening it selects the board and
// drains the input the board has already sent. A Retry in a connection box
// reconnects every board and may renumber them, so the exchange follows its
// board by path: later steps go to the board it was opened on, wherever the
// reconnect has put it.
//
// From the drain to the end of the read the exchange holds its Board, so that no other thread's
// request and answer come between; it lets go before a connection box, which may stay open for
// long.
class Exchange {
 public:
  // Empty, with no I/O and no box, when the HIDnumber names no board.
  static std::optional<Exchange> open(std::int16_t hidNumber);

  // Writes the request; false when it was not written, or the board has gone.
  bool write(const Report& request);
  // Writes the request and checks the write: kXferOk when the report left
  // the host; 0, after the connection box, when not.
  std::int16_t send(const Report& request);
  // Reads the answer, waiting up to 6000 ms: kXferOk or kXferDeviceError by
  // its status byte, or kXferReadFailed with the answer all zero.
  std::int16_t read(Report& answer);
  // Reads the answer; after a time-out shows the connection box and leaves
  // the answer all zero. False after a time-out.
  bool awaitAnswer(Report& answer);

 private:
  Exchange(std::int16_t hidNumber, std::string path)
      : hidNumber_(hidNumber), path_(std::move(path)) {}
  bool selectBoard();
  void release();

  std::int16_t hidNumber_;
  std::string path_;
  Board::Hold boardHeld_;
};

// A set command: empty when the HIDnumber names no board (after its box),
// otherwise the result of the write check.
std::optional<std::int16_t> runSet(std::int16_t hidNumber, const Report& request);

struct Answer {
  enum class Outcome { kNoBoard, kNotWritten, kTimedOut, kAnswered };
  Outcome outcome;
  // All zero unless answered.
  Report report{};

  bool written() const { return outcome == Outcome::kTimedOut || outcome == Outcome::kAnswered; }
};

// A query command; the HIDnumber is checked (with its box) first.
Answer runQuery(std::int16_t hidNumber, const Report& request);

}  // namespace ksthid
