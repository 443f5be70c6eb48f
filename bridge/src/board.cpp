#include "board.h"

#include "ksthid_api.h"

namespace ksthid {
namespace {

// A wait for an answer looks at the device this often, so that a board
// pulled out ends the wait at once.
constexpr std::chrono::milliseconds kGoneCheckInterval{50};
constexpr std::chrono::milliseconds kDrainWait{1};
// As many reports as the platform queues for a device: a board that keeps
// sending beyond them cannot hold a request in its drain. The packet trace
// shows each discarded report as an R line.
constexpr int kMaxStaleReports = DeviceHandle::kMaxQueuedReports;

}  // namespace

Board::Board(std::string path, std::string serialNumber, std::unique_ptr<DeviceHandle> device)
    : path_(std::move(path)),
      serialNumber_(std::move(serialNumber)),
      lock_(boardLock(path_)),
      device_(std::move(device)),
      timeoutMs_(KSTHID_DEFAULT_TIMEOUT_MS) {}

int Board::set(const Report& request) {
  const Hold held = startExchange();
  drainIfAnswerMayCome();
  return send(request);
}

int Board::query(const Report& request, Report& answer) {
  const Hold held = startExchange();
  drainIfAnswerMayCome();
  if (const int written = send(request); written < 0) return written;
  return receive(answer);
}

void Board::drain() {
  const Hold held(*this);
  discardInput();
}

int Board::send(const Report& request) {
  const Hold held(*this);
  if (gone_) return failGone();
  const int written = write(request);
  return written < 0 ? written : succeed();
}

int Board::receive(Report& answer) {
  const Hold held(*this);
  if (gone_) return failGone();
  const int answered = awaitAnswer(answer);
  return answered < 0 ? answered : succeed();
}

// A board replaced while it is held (a reconnect inside an exchange) lets
// go of the lock across processes, and the next step takes it again. Only
// the thread that holds the board can be replacing the holder: when another
// thread holds it, there is nothing to do and no reason to wait.
Board::~Board() {
  if (!lock_.inProcess.try_lock()) return;
  if (lock_.holder == device_.get()) std::exchange(lock_.holder, nullptr)->unlockDevice();
  lock_.inProcess.unlock();
}

// The lock across processes is taken once per process, by the outermost
// hold on the path; the holds inside it are steps of the same exchange.
void Board::take() {
  lock_.inProcess.lock();
  ++lock_.holds;
  if (lock_.holder) {
    taken_ = Taken::inside;
    return;
  }
  taken_ = device_->lockDevice(false) ? Taken::free : Taken::afterWait;
  if (taken_ == Taken::afterWait) device_->lockDevice(true);
  lock_.holder = device_.get();
}

// A program that had to be waited for may have died between its request and
// the answer, which is then still on its way: the board is given the drain's
// wait to send it. Otherwise dropping what has come costs no wait.
Board::Hold Board::startExchange() {
  Hold held(*this);
  if (taken_ != Taken::inside && !gone_) {
    if (taken_ == Taken::afterWait) {
      discardInput();
    } else {
      device_->discardQueued();
    }
  }
  return held;
}

int Board::write(const Report& request) {
  if (device_->write(request)) return 0;
  if (device_->gone()) return failGone();
  return fail(KSTHID_E_IO, "the request could not be written to " + path_);
}

int Board::awaitAnswer(Report& answer) {
  const auto deadline = std::chrono::steady_clock::now() + timeout();
  for (std::chrono::milliseconds left = timeout(); left.count() > 0;) {
    switch (device_->read(answer, std::min(left, kGoneCheckInterval))) {
      case ReadResult::report:
        return 0;
      case ReadResult::failed:
        if (device_->gone()) return failGone();
        answerMayCome_ = true;
        return fail(KSTHID_E_IO, "the answer could not be read from " + path_);
      case ReadResult::timedOut:
        if (device_->gone()) return failGone();
        break;
    }
    left -= std::min(left, kGoneCheckInterval);
    // A virtual clock runs the waits without taking time: count them, but
    // stop early when the real clock says the time is up.
    if (std::chrono::steady_clock::now() > deadline) break;
  }
  answerMayCome_ = true;
  return fail(KSTHID_E_TIMEOUT,
              "no answer from " + path_ + " within " + std::to_string(timeout().count()) + " ms");
}

void Board::drainIfAnswerMayCome() {
  if (answerMayCome_) discardInput();
}

void Board::discardInput() {
  if (gone_) return;
  Report stale;
  for (int drained = 0;
       drained < kMaxStaleReports && device_->read(stale, kDrainWait) == ReadResult::report;
       ++drained) {
  }
  answerMayCome_ = false;
}

int Board::failGone() {
  gone_ = true;
  return fail(KSTHID_E_GONE, path_ + " was pulled out");
}

int Board::fail(int code, const std::string& detail) {
  std::lock_guard hold(errorsMutex_);
  errors_[std::this_thread::get_id()] = detail;
  return code;
}

int Board::succeed(int result) {
  std::lock_guard hold(errorsMutex_);
  errors_.erase(std::this_thread::get_id());
  return result;
}

const char* Board::lastError() {
  std::lock_guard hold(errorsMutex_);
  const auto found = errors_.find(std::this_thread::get_id());
  return found == errors_.end() ? "" : found->second.c_str();
}

}  // namespace ksthid
