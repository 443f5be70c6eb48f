/* Brings the QV6180's DVR register on a board to a value and stores it in
 * the chip's EEPROM.
 *
 *   KSTHID_SIMULATE=1 ./send_and_store DVR [BOARD]
 *
 * BOARD is a path or a serial number; the first board when not given. */
#include <ksthid_api.h>
#include <qv6180.h>
#include <stdio.h>
#include <stdlib.h>

static int fail(ksthid_board* board, const char* what, int code) {
  fprintf(stderr, "send_and_store: %s: %s (%s)\n", what, qv6180_strerror(code),
          board ? ksthid_last_error(board) : "");
  ksthid_close(board);
  return 1;
}

int main(int argc, char** argv) {
  struct ksthid_board_info* list = NULL;
  ksthid_board* board = NULL;
  char* end = NULL;
  const long dvr = argc > 1 ? strtol(argv[1], &end, 0) : -1;
  int result;

  if (argc < 2 || argc > 3 || *end != '\0' || dvr < QV6180_DVR_MIN || dvr > QV6180_DVR_MAX) {
    fprintf(stderr, "usage: send_and_store DVR [BOARD], DVR %d to %d\n", QV6180_DVR_MIN,
            QV6180_DVR_MAX);
    return 2;
  }
  if (argc == 3) {
    result = ksthid_open(argv[2], &board);
  } else {
    if (ksthid_enumerate(&list) < 1) return fail(NULL, "no board", KSTHID_E_NOT_FOUND);
    result = ksthid_open(list->path, &board);
    ksthid_free_enumeration(list);
  }
  if (result < 0) return fail(NULL, "open", result);

  result = qv6180_send(board, (int)dvr, NULL, NULL);
  if (result < 0) return fail(board, "send", result);
  result = qv6180_store(board);
  if (result < 0) return fail(board, "store", result);
  printf("%s: DVR %ld sent in %d calls and stored\n", ksthid_board_path(board), dvr,
         qv6180_send_calls((int)dvr));
  ksthid_close(board);
  return 0;
}
