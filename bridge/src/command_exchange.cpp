#include "command_exchange.h"

#include <algorithm>

#include "connection.h"
#include "library_state.h"
#include "report_exchange.h"

namespace ksthid {

std::optional<Exchange> Exchange::open(std::int16_t hidNumber) {
  const std::vector<std::string>& paths = libraryState().boardPaths;
  if (hidNumber < 0 || static_cast<std::size_t>(hidNumber) >= paths.size()) return std::nullopt;
  Exchange exchange(hidNumber, paths[static_cast<std::size_t>(hidNumber)]);
  if (!ksthid::selectBoard(hidNumber)) return exchange;
  if (Board* board = libraryState().currentBoard) exchange.boardHeld_ = board->hold();
  Report stale;
  drainInput(stale, kLastReportIndex);
  return exchange;
}

void Exchange::release() {
  if (boardHeld_.owns_lock()) boardHeld_.unlock();
}

bool Exchange::selectBoard() {
  const std::vector<std::string>& paths = libraryState().boardPaths;
  const auto index = static_cast<std::size_t>(hidNumber_);
  if (index >= paths.size() || paths[index] != path_) {
    const auto found = std::find(paths.begin(), paths.end(), path_);
    if (found == paths.end()) return false;
    hidNumber_ = static_cast<std::int16_t>(found - paths.begin());
  }
  return ksthid::selectBoard(hidNumber_);
}

bool Exchange::write(const Report& request) {
  return selectBoard() && writeRequest(request);
}

// A board that has gone gets no I/O and no box.
std::int16_t Exchange::send(const Report& request) {
  if (!selectBoard()) return 0;
  const bool written = writeRequest(request);
  if (!written) release();
  const std::int16_t status = checkStatus(written ? 1 : 0);
  if (status != kXferOk) selectBoard();  // the box may have reconnected
  return status;
}

std::int16_t Exchange::read(Report& answer) {
  const std::int16_t result = readResponse(answer, hidNumber_);
  release();
  return result;
}

bool Exchange::awaitAnswer(Report& answer) {
  if (read(answer) != kXferReadFailed) return true;
  checkStatus(0);
  selectBoard();
  return false;
}

std::optional<std::int16_t> runSet(std::int16_t hidNumber, const Report& request) {
  if (validateHidNumber(hidNumber) != 0) return std::nullopt;
  return Exchange::open(hidNumber)->send(request);
}

Answer runQuery(std::int16_t hidNumber, const Report& request) {
  if (validateHidNumber(hidNumber) != 0) return {Answer::Outcome::kNoBoard};
  auto exchange = Exchange::open(hidNumber);
  if (exchange->send(request) != kXferOk) return {Answer::Outcome::kNotWritten};
  Answer answer{Answer::Outcome::kAnswered};
  if (!exchange->awaitAnswer(answer.report)) answer.outcome = Answer::Outcome::kTimedOut;
  return answer;
}

}  // namespace ksthid
