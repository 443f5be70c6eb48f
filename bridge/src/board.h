// An opened bridge: one device, its time-out, and what its last exchange
// left behind. The handles of ksthid_api.h are boards, and so are the
// HIDnumbers of every thread. Every request and its answer are one step
// under the board's lock (board_lock.h), shared by all of them in the
// process and taken across processes through the device.
#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "board_lock.h"
#include "transport.h"

namespace ksthid {

class Board {
 public:
  Board(std::string path, std::string serialNumber, std::unique_ptr<DeviceHandle> device);
  ~Board();
  Board(const Board&) = delete;
  Board& operator=(const Board&) = delete;

  const std::string& path() const { return path_; }
  const std::string& serialNumber() const { return serialNumber_; }

  std::chrono::milliseconds timeout() const { return std::chrono::milliseconds(timeoutMs_.load()); }
  void setTimeout(std::chrono::milliseconds timeout) {
    timeoutMs_ = static_cast<int>(timeout.count());
  }

  // Each holds the board, drops what has come for it and not been read,
  // and runs its steps.
  // Writes one request that is not answered. 0 or a KSTHID_E_* code.
  int set(const Report& request);
  // Writes a request and reads its answer.
  int query(const Report& request, Report& answer);

  // The board held: no other thread or program reaches it until the hold
  // lets go (when destroyed, or by unlock), on the thread that took it.
  // Taking it waits for whoever holds it, however long. Movable, so that a
  // caller can keep it across steps.
  class Hold {
   public:
    Hold() = default;
    explicit Hold(Board& board) : lock_(&board.lock_) { board.take(); }
    Hold(Hold&& other) noexcept : lock_(std::exchange(other.lock_, nullptr)) {}
    Hold& operator=(Hold&& other) noexcept {
      if (this != &other) {
        unlock();
        lock_ = std::exchange(other.lock_, nullptr);
      }
      return *this;
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    ~Hold() { unlock(); }

    bool owns_lock() const { return lock_ != nullptr; }
    void unlock() {
      if (lock_) std::exchange(lock_, nullptr)->letGo();
    }

   private:
    // Not the board: a reconnect inside a hold may replace it.
    BoardLock* lock_ = nullptr;
  };

  // The steps of set and query, for a caller that holds the board across
  // steps of its own (the HIDnumber exports): no drain of their own, so the
  // caller drains what has come before its first request.
  [[nodiscard]] Hold hold() { return Hold(*this); }
  // Reads and discards what the board has already sent, waiting 1 ms for it:
  // the HIDnumber exports do so before every request.
  void drain();
  // Writes one request. 0 or a KSTHID_E_* code.
  int send(const Report& request);
  // Reads one answer, waiting up to the time-out. 0 or a KSTHID_E_* code.
  int receive(Report& answer);

  // Records the detail of a failure for the calling thread and returns code.
  int fail(int code, const std::string& detail);
  // Clears the calling thread's failure and returns result.
  int succeed(int result = 0);
  const char* lastError();

 private:
  // How the last hold was taken: inside another of this process, or with
  // the lock across processes free, or after a wait for another program.
  enum class Taken { inside, free, afterWait };
  void take();
  Hold startExchange();
  int write(const Report& request);
  int awaitAnswer(Report& answer);
  void drainIfAnswerMayCome();
  void discardInput();
  int failGone();

  const std::string path_;
  const std::string serialNumber_;
  BoardLock& lock_;
  std::unique_ptr<DeviceHandle> device_;
  std::atomic<int> timeoutMs_;
  // Under lock_: set once a request has gone without its answer (a time-out),
  // so that the answer coming late is not taken for the next one's.
  bool answerMayCome_ = false;
  Taken taken_ = Taken::inside;
  bool gone_ = false;
  std::mutex errorsMutex_;
  std::map<std::thread::id, std::string> errors_;
};

}  // namespace ksthid
