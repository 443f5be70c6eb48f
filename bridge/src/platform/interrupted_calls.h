// System calls that a signal may interrupt.
#pragma once

#include <cerrno>

namespace ksthid {

// A call that a signal interrupts is made again; a device that keeps
// answering "interrupted" is failing, and no call may spin on it.
inline constexpr int kAttemptsWhenInterrupted = 4;

template <typename Call>
auto retryInterrupted(Call call) {
  auto result = call();
  for (int attempt = 1; attempt < kAttemptsWhenInterrupted && result < 0 && errno == EINTR;
       ++attempt) {
    result = call();
  }
  return result;
}

}  // namespace ksthid
