/* A program built against the installed library, as a user would build one:
 * with one virtual board (KSTHID_SIMULATE=1) it finds the board and sets its
 * GPIO values. Exits 0 when both work. */
#include <ksthid.h>
#include <stdio.h>

int main(void) {
  int16_t board = 0;
  uint8_t idle = 0x50, none = 0;
  const int16_t boards = kstHID_connect();
  const int16_t written = kstHID_setGPIOValue(&idle, &none, &board);
  printf("ksthid %d.%d.%d: %d board(s), GPIO set: %d\n", KSTHID_VERSION_MAJOR, KSTHID_VERSION_MINOR,
         KSTHID_VERSION_PATCH, boards, written);
  return boards == 1 && written == KSTHID_REPORT_WRITTEN ? 0 : 1;
}
