/* Writes a text into the EEPROM at I2C address 0x50 of the first board and
 * reads it back.
 *
 *   KSTHID_SIMULATE=1 ./eeprom [TEXT] */
#include <ksthid_api.h>
#include <stdio.h>
#include <string.h>

enum { kEeprom = 0x50, kRegister = 0x10 };

static int fail(ksthid_board* board, const char* what, int code) {
  fprintf(stderr, "eeprom: %s: %s (%s)\n", what, ksthid_strerror(code),
          board ? ksthid_last_error(board) : "");
  ksthid_close(board);
  return 1;
}

int main(int argc, char** argv) {
  const char* text = argc > 1 ? argv[1] : "calibrated";
  const size_t length = strlen(text);
  struct ksthid_board_info* list = NULL;
  ksthid_board* board = NULL;
  uint8_t read[KSTHID_I2C_MAX_READ] = {0};
  int result;

  if (length == 0 || length > KSTHID_I2C_MAX_WRITE_WITH_REGISTER) {
    fprintf(stderr, "eeprom: give 1 to %d characters\n", KSTHID_I2C_MAX_WRITE_WITH_REGISTER);
    return 2;
  }
  if (ksthid_enumerate(&list) < 1) return fail(NULL, "no board", KSTHID_E_NOT_FOUND);
  result = ksthid_open(list->path, &board);
  ksthid_free_enumeration(list);
  if (result != 0) return fail(NULL, "open", result);

  result = ksthid_i2c_write(board, kEeprom, kRegister, (const uint8_t*)text, length);
  if (result != 0) return fail(board, "write", result);
  result = ksthid_i2c_read(board, kEeprom, kRegister, read, length);
  if (result != 0) return fail(board, "read", result);
  printf("0x%02x at 0x%02x: %.*s\n", kEeprom, kRegister, (int)length, (const char*)read);
  ksthid_close(board);
  return memcmp(read, text, length) == 0 ? 0 : 1;
}
