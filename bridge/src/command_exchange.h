// The command exchange: one request report and, for a query, one response,
// in the same order of steps for every command of the command set.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "report.h"

namespace ksthid {

// The board a command talks to. A Retry in a connection box reconnects every
// board and may renumber them, so the board is known by its path as well.
struct CommandTarget {
  std::int16_t hidNumber;
  std::string path;
};

// Validates the HIDnumber, selects the board, drains stale input, clears the
// report and stamps its ID. Empty, with no I/O, when the HIDnumber names no
// board (after its message).
std::optional<CommandTarget> beginCommand(Report& report, std::int16_t hidNumber);

// Selects the target's board wherever a reconnect has put it; false, selecting
// nothing, when it is gone or has no open handles.
bool selectTarget(CommandTarget& target);

// Fills byte 1 (command), byte 2 (direction) and the parameters from byte 3.
void fillCommand(Report& report, CommandCode code, std::uint8_t direction,
                 std::initializer_list<std::uint8_t> parameters);

// Writes the request to the target's board and checks the write: xferOk when
// the report left the host, 0 when not. A board that is gone (closed, or lost
// in a reconnect) gets no I/O and gives 0.
std::int16_t sendCommand(const Report& report, CommandTarget& target);

// Reads the board's answer into the report, waiting up to 6000 ms; false
// after a time-out, when the report is all zero and the connection box has
// been shown.
bool awaitAnswer(Report& report, CommandTarget& target);

struct Answer {
  bool written = false;
  bool answered = false;
  // The response; all zero when the request was not written or no response
  // came in time.
  Report report{};
};

// A whole set command; empty when the HIDnumber names no board, otherwise
// the result of the write check.
std::optional<std::int16_t> runSetCommand(std::int16_t hidNumber, CommandCode code,
                                          std::initializer_list<std::uint8_t> parameters);

// A whole query; empty when the HIDnumber names no board.
std::optional<Answer> runQuery(std::int16_t hidNumber, CommandCode code,
                               std::initializer_list<std::uint8_t> parameters = {});

// The response to a whole query; all zero when the HIDnumber names no board,
// the request was not written or no response came in time.
Report queryResponse(std::int16_t hidNumber, CommandCode code);

}  // namespace ksthid

namespace ksthid {

// A frequency byte of a response, which the bridge gives in thousands, as a
// 16-bit result. Bytes above 32 would overflow it and give 32767, the
// largest value the result can hold, rather than a wrapped-around number.
std::int16_t thousandsOf(std::uint8_t value);

}  // namespace ksthid
