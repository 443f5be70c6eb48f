#include "command_exchange.h"

#include <algorithm>

#include "connection.h"
#include "library_state.h"
#include "report_exchange.h"

namespace ksthid {

std::optional<CommandTarget> beginCommand(Report& report, std::int16_t hidNumber) {
  if (validateHidNumber(hidNumber) != 0) return std::nullopt;
  CommandTarget target{hidNumber, libraryState().boardPaths[static_cast<std::size_t>(hidNumber)]};
  if (selectBoard(hidNumber)) drainInput(report, lastReportIndex);
  clearReport(report, lastReportIndex, 0);
  setReportId(report);
  return target;
}

bool selectTarget(CommandTarget& target) {
  const std::vector<std::string>& paths = libraryState().boardPaths;
  const auto index = static_cast<std::size_t>(target.hidNumber);
  if (index >= paths.size() || paths[index] != target.path) {
    const auto found = std::find(paths.begin(), paths.end(), target.path);
    if (found == paths.end()) return false;
    target.hidNumber = static_cast<std::int16_t>(found - paths.begin());
  }
  return selectBoard(target.hidNumber);
}

void fillCommand(Report& report, CommandCode code, std::uint8_t direction,
                 std::initializer_list<std::uint8_t> parameters) {
  report[1] = code;
  report[2] = direction;
  std::copy(parameters.begin(), parameters.end(), report.begin() + 3);
}

std::int16_t sendCommand(const Report& report, CommandTarget& target) {
  if (!selectTarget(target)) return 0;
  const bool written = writeRequest(report);
  const std::int16_t status = checkStatus(written ? 1 : 0);
  selectTarget(target);
  return status;
}

bool awaitAnswer(Report& report, CommandTarget& target) {
  if (readResponse(report, target.hidNumber) != xferReadFailed) return true;
  checkStatus(0);
  selectTarget(target);
  return false;
}

std::optional<std::int16_t> runSetCommand(std::int16_t hidNumber, CommandCode code,
                                          std::initializer_list<std::uint8_t> parameters) {
  Report report;
  auto target = beginCommand(report, hidNumber);
  if (!target) return std::nullopt;
  fillCommand(report, code, directionSet, parameters);
  return sendCommand(report, *target);
}

std::optional<Answer> runQuery(std::int16_t hidNumber, CommandCode code,
                               std::initializer_list<std::uint8_t> parameters) {
  Answer answer;
  auto target = beginCommand(answer.report, hidNumber);
  if (!target) return std::nullopt;
  fillCommand(answer.report, code, directionQuery, parameters);
  answer.written = sendCommand(answer.report, *target) == xferOk;
  if (answer.written) {
    answer.answered = awaitAnswer(answer.report, *target);
  } else {
    clearReport(answer.report, lastReportIndex, 0);
  }
  return answer;
}

Report queryResponse(std::int16_t hidNumber, CommandCode code) {
  return runQuery(hidNumber, code).value_or(Answer{}).report;
}

}  // namespace ksthid

namespace ksthid {

std::int16_t thousandsOf(std::uint8_t value) {
  return static_cast<std::int16_t>(std::min(value * 1000, 32767));
}

}  // namespace ksthid
