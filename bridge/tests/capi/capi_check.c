/* ksthid_api.h as a C program sees it, with KSTHID_SIMULATE=2 and
 * KSTHID_TRACE set: two virtual boards, every answer checked. Prints one
 * line per failed check and exits 1; prints nothing when all pass. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "ksthid.h" /* the version macros only */
#include "ksthid_api.h"

#ifdef _WIN32
#include <windows.h>
typedef HANDLE worker_thread;
#define WORKER_RESULT DWORD WINAPI
#else
#include <pthread.h>
#include <time.h>
typedef pthread_t worker_thread;
#define WORKER_RESULT void*
#endif

static int failures;

#define CHECK(condition)                                     \
  do {                                                       \
    if (!(condition)) {                                      \
      printf("%s:%d: %s\n", __FILE__, __LINE__, #condition); \
      ++failures;                                            \
    }                                                        \
  } while (0)

static double now_ms(void) {
#ifdef _WIN32
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * (double)count.QuadPart / (double)frequency.QuadPart;
#else
  struct timespec time;
  clock_gettime(CLOCK_MONOTONIC, &time);
  return time.tv_sec * 1000.0 + time.tv_nsec / 1e6;
#endif
}

static long trace_writes(void) {
  const char* name = getenv("KSTHID_TRACE");
  FILE* trace = name ? fopen(name, "r") : NULL;
  char line[512];
  long writes = 0;
  if (!trace) return -1;
  while (fgets(line, sizeof line, trace)) writes += strstr(line, " W ") != NULL;
  fclose(trace);
  return writes;
}

/* Each worker writes bytes of its own to its own register range and reads
 * them back through the shared handle. */
struct worker {
  ksthid_board* board;
  int index;
  int mismatches;
};

static WORKER_RESULT run_worker(void* argument) {
  struct worker* worker = (struct worker*)argument;
  int round;
  for (round = 0; round < 10; ++round) {
    uint8_t written[4], read[4];
    int i;
    for (i = 0; i < 4; ++i) written[i] = (uint8_t)(worker->index * 16 + round + i);
    if (ksthid_i2c_write(worker->board, 0x50, 0x80 + worker->index * 4, written, 4) != 0 ||
        ksthid_i2c_read(worker->board, 0x50, 0x80 + worker->index * 4, read, 4) != 0 ||
        memcmp(written, read, 4) != 0) {
      ++worker->mismatches;
    }
  }
  return 0;
}

static worker_thread start_worker(struct worker* worker) {
#ifdef _WIN32
  return CreateThread(NULL, 0, run_worker, worker, 0, NULL);
#else
  pthread_t thread;
  pthread_create(&thread, NULL, run_worker, worker);
  return thread;
#endif
}

static void join_worker(worker_thread thread) {
#ifdef _WIN32
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
#else
  pthread_join(thread, NULL);
#endif
}

static void check_enumeration(void) {
  struct ksthid_board_info* list = NULL;
  CHECK(ksthid_enumerate(&list) == 2);
  CHECK(list && strcmp(list->path, "sim:0") == 0 && list->error == 0 && *list->error_text == 0);
  CHECK(list && list->vendor_id == KSTHID_VENDOR_ID && list->product_id == KSTHID_PRODUCT_ID);
  CHECK(list && list->next && strcmp(list->next->path, "sim:1") == 0 && !list->next->next);
  CHECK(list && list->next && *list->serial && strcmp(list->serial, list->next->serial) != 0);
  ksthid_free_enumeration(list);
}

/* The library built is the one the header describes. */
static void check_version(void) {
  char header_version[32];
  snprintf(header_version, sizeof header_version, "%d.%d.%d", KSTHID_VERSION_MAJOR,
           KSTHID_VERSION_MINOR, KSTHID_VERSION_PATCH);
  CHECK(strcmp(ksthid_version(), header_version) == 0);
}

static void check_board(ksthid_board* board) {
  const uint8_t calibrated[] = "calibrated";
  uint8_t read[sizeof calibrated] = {0};
  uint8_t sixty[60] = {0};
  long writes;
  CHECK(ksthid_i2c_write(board, 0x50, 0x10, calibrated, sizeof calibrated) == 0);
  CHECK(ksthid_i2c_read(board, 0x50, 0x10, read, sizeof read) == 0);
  CHECK(memcmp(read, calibrated, sizeof calibrated) == 0);
  CHECK(ksthid_i2c_probe(board, 0x50) == 1);
  CHECK(ksthid_i2c_probe(board, 0x33) == 0);
  CHECK(ksthid_i2c_read(board, 0x33, 0, read, 1) == KSTHID_E_NACK);
  CHECK(*ksthid_last_error(board) != 0);

  writes = trace_writes();
  CHECK(writes > 0);
  CHECK(ksthid_i2c_read(board, 0x80, 0, read, 1) == KSTHID_E_INVALID_ARGUMENT);
  CHECK(ksthid_i2c_write(board, 0x50, -1, sixty, sizeof sixty) == KSTHID_E_INVALID_ARGUMENT);
  CHECK(ksthid_i2c_read(board, 0x50, 0, sixty, sizeof sixty + 3) == KSTHID_E_INVALID_ARGUMENT);
  CHECK(strstr(ksthid_last_error(board), "count 63") != NULL);
  CHECK(ksthid_spi_transfer_flagged(board, sixty, NULL, 1, 2, 0) == KSTHID_E_INVALID_ARGUMENT);
  CHECK(trace_writes() == writes);
}

static void check_shared_handle(ksthid_board* board) {
  struct worker workers[4];
  worker_thread threads[4];
  int i;
  for (i = 0; i < 4; ++i) {
    workers[i].board = board;
    workers[i].index = i;
    workers[i].mismatches = 0;
    threads[i] = start_worker(&workers[i]);
  }
  for (i = 0; i < 4; ++i) {
    join_worker(threads[i]);
    CHECK(workers[i].mismatches == 0);
  }
}

/* The HIDnumbers belong to kstHID_connect of ksthid.h: this thread has none. */
static void check_hid_number_paths(void) {
  char path[8];
  CHECK(ksthid_hid_number_path(0, path, sizeof path) == KSTHID_E_NOT_FOUND);
  CHECK(ksthid_hid_number_path(0, NULL, sizeof path) == KSTHID_E_INVALID_ARGUMENT);
}

static void check_unplug(ksthid_board* board) {
  ksthid_monitor* monitor = NULL;
  struct ksthid_board_info* info = NULL;
  int event = 0;
  uint16_t values;
  double unplugged;
  CHECK(ksthid_monitor_open(&monitor) == 0);
  unplugged = now_ms();
  CHECK(ksthid_virtual_unplug("sim:1") == 0);
  CHECK(ksthid_gpio_read(board, &values) == KSTHID_E_GONE);
  CHECK(now_ms() - unplugged <= 100.0);
  CHECK(ksthid_gpio_write(board, 0) == KSTHID_E_GONE);
  CHECK(ksthid_monitor_next(monitor, 1000, &event, &info) == 1);
  CHECK(event == KSTHID_LEFT && info && strcmp(info->path, "sim:1") == 0);
  ksthid_free_enumeration(info);

  CHECK(ksthid_virtual_plug_in("sim:1") == 0);
  CHECK(ksthid_monitor_next(monitor, 1000, &event, &info) == 1);
  CHECK(event == KSTHID_ARRIVED && info && strcmp(info->path, "sim:1") == 0);
  ksthid_free_enumeration(info);
  CHECK(ksthid_gpio_read(board, &values) == KSTHID_E_GONE);
  ksthid_monitor_close(monitor);
}

int main(void) {
  ksthid_board* boards[2] = {NULL, NULL};
  ksthid_board* missing = NULL;
  check_version();
  check_enumeration();
  check_hid_number_paths();
  CHECK(ksthid_open("sim:0", &boards[0]) == 0);
  CHECK(ksthid_open("sim:1", &boards[1]) == 0);
  CHECK(ksthid_open("sim:9", &missing) == KSTHID_E_NOT_FOUND && missing == NULL);
  if (!boards[0] || !boards[1]) return 1;
  CHECK(strcmp(ksthid_board_path(boards[1]), "sim:1") == 0);
  CHECK(ksthid_get_timeout(boards[0]) == KSTHID_DEFAULT_TIMEOUT_MS);
  check_board(boards[0]);
  check_board(boards[1]);
  check_shared_handle(boards[0]);
  check_unplug(boards[1]);
  ksthid_close(boards[0]);
  ksthid_close(boards[1]);
  return failures ? 1 : 0;
}
