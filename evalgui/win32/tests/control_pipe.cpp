#include "control_pipe.h"

namespace {

constexpr DWORD kConnectMilliseconds = 20000;

}  // namespace

// One pipe per driver: the cases run one after another.
ControlPipe::ControlPipe()
    : name_(L"\\\\.\\pipe\\qv6180eval-driver-" + std::to_wstring(GetCurrentProcessId())),
      pipe_(CreateNamedPipeW(name_.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                             PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr)),
      done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

// The program's library reads to the end of the pipe and then lets it go.
ControlPipe::~ControlPipe() {
  if (pipe_ != INVALID_HANDLE_VALUE) CloseHandle(pipe_);
  if (done_) CloseHandle(done_);
}

bool ControlPipe::waitForProgram() {
  if (pipe_ == INVALID_HANDLE_VALUE) return false;
  OVERLAPPED connect{};
  connect.hEvent = done_;
  if (ConnectNamedPipe(pipe_, &connect)) return true;
  switch (GetLastError()) {
    case ERROR_PIPE_CONNECTED:
      return true;
    case ERROR_IO_PENDING:
      if (WaitForSingleObject(done_, kConnectMilliseconds) == WAIT_OBJECT_0) return true;
      CancelIo(pipe_);
      return false;
    default:
      return false;
  }
}

bool ControlPipe::send(const std::string& lines) {
  OVERLAPPED write{};
  write.hEvent = done_;
  DWORD written = 0;
  if (!WriteFile(pipe_, lines.data(), static_cast<DWORD>(lines.size()), nullptr, &write) &&
      GetLastError() != ERROR_IO_PENDING) {
    return false;
  }
  return GetOverlappedResult(pipe_, &write, &written, TRUE) && written == lines.size();
}
