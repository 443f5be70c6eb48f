/* Wall and CPU time of one ksthid_gpio_write called from C, against which
 * gpio_set.py measures the same call from Python. Run with a virtual board:
 * KSTHID_SIMULATE=1 ksthid_gpio_set_bench [calls] */
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include "ksthid_api.h"

static double microseconds(clockid_t clock) {
  struct timespec now;
  clock_gettime(clock, &now);
  return (double)now.tv_sec * 1e6 + (double)now.tv_nsec / 1e3;
}

/* The first board present, opened; null when there is none. */
static ksthid_board* first_board(void) {
  struct ksthid_board_info* list = NULL;
  ksthid_board* board = NULL;
  if (ksthid_enumerate(&list) > 0) ksthid_open(list->path, &board);
  ksthid_free_enumeration(list);
  return board;
}

int main(int argc, char** argv) {
  const int calls = argc > 1 ? atoi(argv[1]) : 2000;
  ksthid_board* board = calls < 1 ? NULL : first_board();
  if (!board) {
    fprintf(stderr, "usage: KSTHID_SIMULATE=1 %s [calls]\n", argv[0]);
    return 2;
  }
  const double wall = microseconds(CLOCK_MONOTONIC);
  const double cpu = microseconds(CLOCK_PROCESS_CPUTIME_ID);
  for (int call = 0; call < calls; ++call) ksthid_gpio_write(board, 0x0050);
  printf("C: %.1f us wall, %.1f us CPU per call\n", (microseconds(CLOCK_MONOTONIC) - wall) / calls,
         (microseconds(CLOCK_PROCESS_CPUTIME_ID) - cpu) / calls);
  ksthid_close(board);
  return 0;
}
