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
  if (exchange.selectBoard() && exchange.board_) {
    exchange.held_.emplace(exchange.board_->hold());
    drainInput(*exchange.board_);
  }
  return exchange;
}

bool Exchange::selectBoard() {
  board_ = nullptr;
  const LibraryState& state = libraryState();
  const std::vector<std::string>& paths = state.boardPaths;
  auto index = static_cast<std::size_t>(hidNumber_);
  if (index >= paths.size() || paths[index] != path_) {
    const auto found = std::find(paths.begin(), paths.end(), path_);
    if (found == paths.end()) return false;
    index = static_cast<std::size_t>(found - paths.begin());
    hidNumber_ = static_cast<std::int16_t>(index);
  }
  if (index >= state.boardHandles.size()) return false;
  board_ = state.boardHandles[index].get();
  return true;
}

bool Exchange::write(const Report& request) {
  return selectBoard() && board_ && writeRequest(*board_, request);
}

// A board that has gone gets no I/O and no box.
std::int16_t Exchange::send(const Report& request) {
  if (!selectBoard()) return 0;
  const bool written = board_ && writeRequest(*board_, request);
  if (!written) release();
  const std::int16_t status = checkStatus(written ? 1 : 0);
  if (status != kXferOk) selectBoard();  // the box may have reconnected
  return status;
}

std::int16_t Exchange::read(Report& answer) {
  answer.fill(0);
  const std::int16_t result = board_ ? readResponse(*board_, answer) : kXferReadFailed;
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
