/* Lists the bridge boards present: path, serial number, product, firmware
 * version, or why a board cannot be opened.
 *
 *   KSTHID_SIMULATE=2 ./list_boards */
#include <ksthid_api.h>
#include <stdio.h>

int main(void) {
  struct ksthid_board_info *list = NULL, *info;
  const int count = ksthid_enumerate(&list);
  if (count < 0) {
    fprintf(stderr, "list_boards: %s\n", ksthid_strerror(count));
    return 1;
  }
  for (info = list; info; info = info->next) {
    ksthid_board* board = NULL;
    struct ksthid_firmware version;
    printf("%s\t%s\t%s\t", info->path, info->serial, info->product);
    if (info->error != 0) {
      printf("cannot be opened: %s\n", info->error_text);
    } else if (ksthid_open(info->path, &board) == 0 &&
               ksthid_firmware_version(board, &version) == 0) {
      printf("firmware %u.%u of %u-%02u-%02u\n", version.major, version.minor, version.year,
             version.month, version.day);
    } else {
      printf("no firmware version: %s\n", ksthid_last_error(board));
    }
    ksthid_close(board);
  }
  ksthid_free_enumeration(list);
  printf("%d board%s\n", count, count == 1 ? "" : "s");
  return 0;
}
