/* Wall and CPU time of one kstHID_setGPIOValue called from C, against which
 * gpio_set.py measures the same call from Python. Run with a virtual board:
 * KSTHID_SIMULATE=1 ksthid_gpio_set_bench [calls] */
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include "ksthid.h"

static double microseconds(clockid_t clock) {
  struct timespec now;
  clock_gettime(clock, &now);
  return (double)now.tv_sec * 1e6 + (double)now.tv_nsec / 1e3;
}

int main(int argc, char** argv) {
  const int calls = argc > 1 ? atoi(argv[1]) : 2000;
  if (calls < 1 || kstHID_connect() < 1) {
    fprintf(stderr, "usage: KSTHID_SIMULATE=1 %s [calls]\n", argv[0]);
    return 2;
  }
  uint8_t first = 0x50;
  uint8_t second = 0x00;
  int16_t board = 0;
  const double wall = microseconds(CLOCK_MONOTONIC);
  const double cpu = microseconds(CLOCK_PROCESS_CPUTIME_ID);
  for (int call = 0; call < calls; ++call) kstHID_setGPIOValue(&first, &second, &board);
  printf("C: %.1f us wall, %.1f us CPU per call\n", (microseconds(CLOCK_MONOTONIC) - wall) / calls,
         (microseconds(CLOCK_PROCESS_CPUTIME_ID) - cpu) / calls);
  return 0;
}
