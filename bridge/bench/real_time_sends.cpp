// How long a run of GPIO set calls takes against the virtual boards of
// KSTHID_SIMULATE, which keep real time like a full-speed USB board (1 ms per
// report, plus the library's 1 ms drain wait): the same figure on every
// platform shows that the virtual board keeps time there too.
//
//   KSTHID_SIMULATE=1 real_time_sends [CALLS]   (704 calls by default: a send of DVR 160)
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "ksthid.h"

int main(int argc, char** argv) {
  const long calls = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 704;
  if (kstHID_connect() < 1) {
    std::fprintf(stderr, "no board: run with KSTHID_SIMULATE=1\n");
    return 1;
  }
  std::uint8_t idle = 0x50, low = 0x00;
  std::int16_t board = 0;
  const auto start = std::chrono::steady_clock::now();
  for (long call = 0; call < calls; ++call) kstHID_setGPIOValue(&idle, &low, &board);
  const std::chrono::duration<double, std::milli> elapsed =
      std::chrono::steady_clock::now() - start;
  std::printf("%ld set calls: %.1f ms (%.3f ms a call)\n", calls, elapsed.count(),
              elapsed.count() / static_cast<double>(calls));
  return 0;
}
