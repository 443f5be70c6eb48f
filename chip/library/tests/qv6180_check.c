/* libqv6180 as a C program links it, against two virtual boards whose chips
 * the packet trace shows (KSTHID_TRACE): each check that fails prints a line. */
#include <qv6180.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures;

#define CHECK(condition)                                             \
  do {                                                               \
    if (!(condition)) {                                              \
      printf("%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
      ++failures;                                                    \
    }                                                                \
  } while (0)

/* The trace's last chip line of a board ("C sim:0 dvr=160 eeprom=0"), and
 * the reports written to it so far. */
struct seen {
  int dvr;
  int eeprom;
  int written;
};

static struct seen look(const char* path) {
  struct seen seen = {-1, -1, 0};
  char line[512], chip[64], report[64];
  FILE* trace = fopen(getenv("KSTHID_TRACE"), "r");
  snprintf(chip, sizeof chip, " C %s dvr=", path);
  snprintf(report, sizeof report, " W %s ", path);
  while (trace && fgets(line, sizeof line, trace)) {
    const char* at = strstr(line, chip);
    if (at) sscanf(at + strlen(chip), "%d eeprom=%d", &seen.dvr, &seen.eeprom);
    if (strstr(line, report)) ++seen.written;
  }
  if (trace) fclose(trace);
  return seen;
}

static int stop_after_three(int done, int in_all, void* context) {
  *(int*)context = in_all;
  return done == 3;
}

static void trains(ksthid_board* board) {
  const int before = look("sim:0").written;
  CHECK(qv6180_send(board, 256, NULL, NULL) == KSTHID_E_INVALID_ARGUMENT);
  CHECK(qv6180_send(board, -1, NULL, NULL) == KSTHID_E_INVALID_ARGUMENT);
  CHECK(qv6180_step(board, 0, 300) == KSTHID_E_INVALID_ARGUMENT);
  CHECK(qv6180_send(NULL, 5, NULL, NULL) == KSTHID_E_INVALID_ARGUMENT);
  CHECK(look("sim:0").written == before);

  CHECK(qv6180_send(board, 0xA0, NULL, NULL) == 0);
  CHECK(look("sim:0").dvr == 160);
  CHECK(look("sim:0").written == before + qv6180_send_calls(0xA0));
  CHECK(qv6180_send_calls(127) == 770 && qv6180_send_calls(255) == 516);

  CHECK(qv6180_step(board, 160, 163) == 0);
  CHECK(look("sim:0").dvr == 163);
  CHECK(qv6180_step(board, 163, 150) == 0);
  CHECK(look("sim:0").dvr == 150);
  CHECK(qv6180_step_calls(163, 150) == 2 + 2 * 13);
  CHECK(qv6180_store(board) == 0);
  CHECK(look("sim:0").eeprom == 150);

  int in_all = 0;
  CHECK(qv6180_send(board, 200, stop_after_three, &in_all) == QV6180_E_STOPPED);
  CHECK(in_all == 257 + 55);
  CHECK(look("sim:0").dvr == 153);
}

static void gone_board(void) {
  ksthid_board* board = NULL;
  CHECK(ksthid_open("sim:1", &board) == 0);
  CHECK(ksthid_virtual_unplug("sim:1") == 0);
  CHECK(qv6180_send(board, 10, NULL, NULL) == KSTHID_E_GONE);
  CHECK(qv6180_store(board) == KSTHID_E_GONE);
  ksthid_close(board);
  CHECK(ksthid_virtual_plug_in("sim:1") == 0);
}

static void calculator(void) {
  double high = -1, low = -1, vcom = 0, iout = 0, vrset = 0, r1 = 0, r2 = 0;
  CHECK(qv6180_range_from_resistors(18, 10000, 24900, 39200, &high, &low) == 0);
  CHECK(high > 11.0015 && high < 11.0025 && low > 9.6365 && low < 9.6375);
  CHECK(qv6180_readouts(18, 10000, 24900, 39200, 255, &vcom, &iout, &vrset) == 0);
  CHECK(vrset > 0.8955 && vrset < 0.8965);
  CHECK(qv6180_readouts(18, 10000, 24900, 39200, 256, &vcom, &iout, &vrset) ==
        KSTHID_E_INVALID_ARGUMENT);
  CHECK(qv6180_resistors_from_range(18, 10000, 12, 10, &r1, &r2) == 0);
  CHECK(r1 > 33442.15 && r1 < 33442.25 && r2 > 67015.65 && r2 < 67015.75);

  /* Refused, with the outputs left as they were. */
  high = low = -1;
  CHECK(qv6180_range_from_resistors(18, 10000, 1e300, 1e300, &high, &low) == QV6180_E_NO_OUTPUT);
  CHECK(qv6180_range_from_resistors(0, 10000, 1, 1, &high, &low) == QV6180_E_AVDD);
  CHECK(high == -1 && low == -1);
  CHECK(qv6180_resistors_from_range(18, 10000, 5, 5, &r1, &r2) == QV6180_E_VOUT_MIN);
  CHECK(qv6180_resistors_from_range(18, 10000, 18, 0, &r1, &r2) == QV6180_E_NO_DIVIDER);
  CHECK(strcmp(qv6180_strerror(QV6180_E_AVDD), "AVDD needs to be greater than 0") == 0);
  CHECK(strcmp(qv6180_strerror(KSTHID_E_GONE), ksthid_strerror(KSTHID_E_GONE)) == 0);

  struct qv6180_standard_pair pairs[QV6180_STANDARD_PAIRS_MAX];
  const int found = qv6180_standard_pairs(18, 10000, 7, 3.5, pairs, QV6180_STANDARD_PAIRS_MAX);
  CHECK(found > 0 && found <= QV6180_STANDARD_PAIRS_MAX);
  CHECK(pairs[0].series == 192 && pairs[0].r1 == 100000 && pairs[0].r2 == 64200);
  CHECK(qv6180_standard_pairs(18, 10000, 7, 3.5, NULL, 0) == found);
}

int main(void) {
  ksthid_board* board = NULL;
  CHECK(strcmp(qv6180_version(), "1.0.0") == 0);
  CHECK(ksthid_open("sim:0", &board) == 0);
  if (board) trains(board);
  ksthid_close(board);
  gone_board();
  calculator();
  return failures ? 1 : 0;
}
