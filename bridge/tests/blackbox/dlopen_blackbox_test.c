/* Drives libksthid.so as another program would: loaded by name with dlopen,
 * every export looked up with dlsym, against virtual boards
 * (KSTHID_SIMULATE=2), with the packet trace (KSTHID_TRACE) as the witness
 * of what went over the wire. */
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "ksthid.h"

static int passed, failed;

#define CHECK(condition)                                                      \
  do {                                                                        \
    if (condition) {                                                          \
      ++passed;                                                               \
    } else {                                                                  \
      ++failed;                                                               \
      fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
    }                                                                         \
  } while (0)

static void* library;

static void* resolve(const char* name) {
  void* symbol = dlsym(library, name);
  if (!symbol) {
    fprintf(stderr, "missing export %s\n", name);
    exit(1);
  }
  return symbol;
}

/* POSIX guarantees that a symbol's address converts to a function pointer;
 * ISO C does not, so the bits are copied. */
#define BIND(name)                       \
  name##_t name;                         \
  do {                                   \
    void* symbol = resolve(#name);       \
    memcpy(&name, &symbol, sizeof name); \
  } while (0)

typedef void (*kstHID_setMessageBoxHandler_t)(kstHID_MessageBoxHandler, void*);
typedef int16_t (*kstHID_connect_t)(void);
typedef void (*kstHID_closeHandles_t)(void);
typedef int16_t (*kstHID_getLEDState_t)(int16_t*, int16_t*);
typedef int16_t (*kstHID_setLEDState_t)(uint8_t*, int16_t*, int16_t*);
typedef int16_t (*kstHID_indicateSelectedModule_t)(int16_t*);
typedef void (*kstHID_showVersion_t)(int16_t*);
typedef int16_t (*kstHID_getSystemClockFrequency_t)(VARIANT*);
typedef int16_t (*kstHID_setGPIOConfiguration_t)(uint8_t*, uint8_t*, int16_t*, int16_t*);
typedef int16_t (*kstHID_getGPIOConfiguration_t)(SAFEARRAY**, int16_t*);
typedef int16_t (*kstHID_setGPIOValue_t)(uint8_t*, uint8_t*, int16_t*);
typedef int16_t (*kstHID_getGPIOValue_t)(SAFEARRAY**, int16_t*, int16_t*);
typedef int16_t (*kstHID_doI2CRead_t)(uint8_t*, uint8_t*, uint8_t*, SAFEARRAY**, SAFEARRAY**,
                                      int16_t*, int16_t*);
typedef int16_t (*kstHID_doI2CWrite_t)(uint8_t*, uint8_t*, uint8_t*, SAFEARRAY**, SAFEARRAY**,
                                       int16_t*, int16_t*);
typedef int16_t (*kstHID_probeI2CAddress_t)(uint8_t*, int16_t*, uint8_t*);
typedef int16_t (*kstHID_getSMBusFrequency_t)(int16_t*);
typedef int16_t (*kstHID_getSMBusTimerCount_t)(int16_t*);
typedef int16_t (*kstHID_setSMBusTimerCount_t)(uint8_t*, int16_t*);
typedef uint8_t (*kstHID_getI2COptions_t)(int16_t*);
typedef int16_t (*kstHID_setI2COptions_t)(uint8_t*, uint8_t*, int16_t*);
typedef void (*kstHID_toggleSCL_t)(int16_t*);
typedef int16_t (*kstHID_setSPIOptions_t)(VARIANT*, VARIANT*);
typedef uint8_t (*kstHID_getSPIOptions_t)(VARIANT*);
typedef int16_t (*kstHID_setSPIClockDivisor_t)(uint8_t*, int16_t*);
typedef uint8_t (*kstHID_getSPIClockDivisor_t)(VARIANT*);
typedef int16_t (*kstHID_doSPITransaction_t)(uint8_t*, SAFEARRAY**, int16_t*, int16_t*, int16_t*,
                                             uint8_t*);
typedef HRESULT (*SafeArrayDestroy_t)(SAFEARRAY*);
typedef SAFEARRAY* (*SafeArrayCreateVector_t)(VARTYPE, LONG, ULONG);
typedef HRESULT (*SafeArrayGetUBound_t)(SAFEARRAY*, UINT, LONG*);
typedef void (*VariantInit_t)(VARIANT*);

static char lastBox[256];
static int boxCount;

static int recordBox(void* context, const char* text, const char* caption, unsigned style) {
  (void)context;
  (void)style;
  ++boxCount;
  snprintf(lastBox, sizeof lastBox, "%s|%s", text, caption);
  return KSTHID_IDCANCEL;
}

static int traceHas(const char* file, const char* needle) {
  FILE* trace = fopen(file, "r");
  char line[512];
  int found = 0;
  if (!trace) return 0;
  while (!found && fgets(line, sizeof line, trace)) found = strstr(line, needle) != NULL;
  fclose(trace);
  return found;
}

/* I2C, SMBus and SPI against the virtual board's devices: an EEPROM at I2C
 * address 0x50 and a serial memory on SPI (0x02 write, 0x03 read). */
static void checkBusCommands(VariantInit_t VariantInit, SafeArrayDestroy_t SafeArrayDestroy) {
  BIND(kstHID_doI2CRead);
  BIND(kstHID_doI2CWrite);
  BIND(kstHID_probeI2CAddress);
  BIND(kstHID_getSMBusFrequency);
  BIND(kstHID_getSMBusTimerCount);
  BIND(kstHID_setSMBusTimerCount);
  BIND(kstHID_getI2COptions);
  BIND(kstHID_setI2COptions);
  BIND(kstHID_toggleSCL);
  BIND(kstHID_setSPIOptions);
  BIND(kstHID_getSPIOptions);
  BIND(kstHID_setSPIClockDivisor);
  BIND(kstHID_getSPIClockDivisor);
  BIND(kstHID_doSPITransaction);
  BIND(SafeArrayCreateVector);

  int16_t board = 1, loud = 0;
  uint8_t eeprom = 0x50, nobody = 0x51, reg = 0x10, three = 3;
  SAFEARRAY* data = SafeArrayCreateVector(VT_UI1, 0, 3);
  SAFEARRAY* registerBuffer = NULL; /* never dimensioned */
  memcpy(data->pvData, "\x12\x34\x56", 3);
  CHECK(kstHID_doI2CWrite(&eeprom, &reg, &three, &data, &registerBuffer, &board, &loud) ==
        KSTHID_I2C_DONE);
  CHECK(registerBuffer && ((const uint8_t*)registerBuffer->pvData)[0] == 0x10);
  SAFEARRAY* readBack = NULL; /* never dimensioned: the read creates it */
  CHECK(kstHID_doI2CRead(&eeprom, &reg, &three, &readBack, &registerBuffer, &board, &loud) ==
        KSTHID_I2C_DONE);
  CHECK(readBack && memcmp(readBack->pvData, "\x12\x34\x56", 3) == 0);
  CHECK(kstHID_probeI2CAddress(&eeprom, &board, &reg) == KSTHID_I2C_DONE);
  CHECK(kstHID_probeI2CAddress(&nobody, &board, &reg) == KSTHID_I2C_FAILED);
  CHECK(boxCount == 0);
  uint8_t tooMany = 63;
  CHECK(kstHID_doI2CRead(&eeprom, &reg, &tooMany, &readBack, &registerBuffer, &board, &loud) ==
        KSTHID_I2C_FAILED);
  SAFEARRAY* missing = NULL;
  CHECK(kstHID_doI2CWrite(&eeprom, &reg, &three, &missing, &registerBuffer, &board, &loud) ==
        KSTHID_I2C_FAILED);
  CHECK(boxCount == 0);
  CHECK(kstHID_doI2CRead(&nobody, &reg, &three, &readBack, &registerBuffer, &board, &loud) ==
        KSTHID_I2C_FAILED);
  CHECK(boxCount == 1 && strncmp(lastBox, "Invalid I2C address.", 20) == 0);

  uint8_t timer = 200, options = 0x05, noToggle = 0;
  CHECK(kstHID_setSMBusTimerCount(&timer, &board) == 0);
  CHECK(kstHID_getSMBusTimerCount(&board) == 200);
  CHECK(kstHID_getSMBusFrequency(&board) == 10000);
  CHECK(kstHID_setI2COptions(&options, &noToggle, &board) == KSTHID_REPORT_WRITTEN);
  CHECK(kstHID_getI2COptions(&board) == 0x05);
  kstHID_toggleSCL(&board);
  CHECK(boxCount == 1); /* the bus is free: no "SDA error" */

  VARIANT spiBoard, spiOptions;
  VariantInit(&spiBoard);
  VariantInit(&spiOptions);
  spiBoard.vt = VT_I2;
  spiBoard.iVal = 1;
  spiOptions.vt = VT_I4;
  spiOptions.lVal = 0x0F;
  CHECK(kstHID_setSPIOptions(&spiOptions, &spiBoard) == KSTHID_REPORT_WRITTEN);
  CHECK(kstHID_getSPIOptions(&spiBoard) == 0x07);
  uint8_t divisor = 12;
  CHECK(kstHID_setSPIClockDivisor(&divisor, &board) == 0);
  CHECK(kstHID_getSPIClockDivisor(&spiBoard) == 12);

  int16_t readIt = KSTHID_TRUE, noFlag = KSTHID_FALSE;
  uint8_t noParam = 0, four = 4;
  SAFEARRAY* spi = SafeArrayCreateVector(VT_UI1, 0, 4);
  memcpy(spi->pvData, "\x02\x20\xAB\xCD", 4); /* write 0xAB 0xCD at 0x20 */
  CHECK(kstHID_doSPITransaction(&four, &spi, &readIt, &board, &noFlag, &noParam) == 0);
  memcpy(spi->pvData, "\x03\x20\x00\x00", 4); /* read them back */
  CHECK(kstHID_doSPITransaction(&four, &spi, &readIt, &board, &noFlag, &noParam) == 0);
  CHECK(memcmp((const uint8_t*)spi->pvData + 2, "\xAB\xCD", 2) == 0);
  uint8_t none = 0;
  CHECK(kstHID_doSPITransaction(&none, &spi, &readIt, &board, &noFlag, &noParam) == KSTHID_REFUSED);
  CHECK(boxCount == 1);

  SafeArrayDestroy(spi);
  SafeArrayDestroy(data);
  SafeArrayDestroy(readBack);
  SafeArrayDestroy(registerBuffer);
  boxCount = 0;
}

int main(void) {
  const char* traceFile = getenv("KSTHID_TRACE");
  if (!traceFile || !getenv("KSTHID_SIMULATE")) {
    fprintf(stderr, "run with KSTHID_SIMULATE=2 and KSTHID_TRACE=FILE\n");
    return 1;
  }
  remove(traceFile);
  library = dlopen("libksthid.so", RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    fprintf(stderr, "dlopen: %s\n", dlerror());
    return 1;
  }
  BIND(kstHID_setMessageBoxHandler);
  BIND(kstHID_connect);
  BIND(kstHID_closeHandles);
  BIND(kstHID_getLEDState);
  BIND(kstHID_setLEDState);
  BIND(kstHID_indicateSelectedModule);
  BIND(kstHID_showVersion);
  BIND(kstHID_getSystemClockFrequency);
  BIND(kstHID_setGPIOConfiguration);
  BIND(kstHID_getGPIOConfiguration);
  BIND(kstHID_setGPIOValue);
  BIND(kstHID_getGPIOValue);
  BIND(SafeArrayDestroy);
  BIND(SafeArrayGetUBound);
  BIND(VariantInit);

  kstHID_setMessageBoxHandler(recordBox, NULL);
  CHECK(kstHID_connect() == 2);
  checkBusCommands(VariantInit, SafeArrayDestroy);

  int16_t board0 = 0, board1 = 1, board2 = 2, on = KSTHID_TRUE, off = 0;
  uint8_t idle = 0x50, low = 0x10, zero = 0, config = 0xBF, pushPull = 0xFF;
  CHECK(kstHID_setGPIOValue(&idle, &zero, &board0) == KSTHID_REPORT_WRITTEN);
  CHECK(kstHID_setGPIOConfiguration(&config, &pushPull, &on, &board0) == KSTHID_REPORT_WRITTEN);
  for (int step = 0; step < 3; ++step) {
    kstHID_setGPIOValue(&low, &zero, &board0);
    kstHID_setGPIOValue(&idle, &zero, &board0);
  }
  CHECK(traceHas(traceFile, " C sim:0 dvr=3 eeprom=0"));
  CHECK(traceHas(traceFile, " W sim:0 010200bfff01000000"));

  SAFEARRAY* configuration = NULL; /* never dimensioned: the getter creates it */
  CHECK(kstHID_getGPIOConfiguration(&configuration, &board0) == KSTHID_QUERY_ATTEMPTED);
  LONG upper = 0;
  CHECK(configuration != NULL && SafeArrayGetUBound(configuration, 1, &upper) == S_OK);
  CHECK(upper == 3);
  const uint8_t* bytes = configuration ? (const uint8_t*)configuration->pvData : NULL;
  CHECK(bytes && bytes[0] == 0xBF && bytes[1] == 0xFF && bytes[2] == 0x01 && bytes[3] == 0);
  SafeArrayDestroy(configuration);

  SAFEARRAY* values = NULL;
  CHECK(kstHID_getGPIOValue(&values, &on, &board0) == KSTHID_QUERY_ATTEMPTED);
  CHECK(values && ((const uint8_t*)values->pvData)[0] == 0x50);
  CHECK(traceHas(traceFile, " W sim:0 01030101"));
  SafeArrayDestroy(values);

  VARIANT board;
  VariantInit(&board);
  board.vt = VT_I2;
  board.iVal = 1;
  CHECK(kstHID_getSystemClockFrequency(&board) == 24000);
  CHECK(traceHas(traceFile, " R sim:1 010818"));

  CHECK(kstHID_indicateSelectedModule(&board1) == 0);
  CHECK(kstHID_getLEDState(&off, &board1) == 1);
  CHECK(kstHID_getLEDState(&off, &board0) == 0);
  uint8_t lit = 1;
  int16_t led1 = 1;
  CHECK(kstHID_setLEDState(&lit, &led1, &board0) == 0);
  CHECK(kstHID_getLEDState(&led1, &board0) == 1);
  CHECK(boxCount == 0);

  kstHID_showVersion(&board0);
  CHECK(strcmp(lastBox, "Firmware Version 1.0 - 2026/December/1|ksthid") == 0);

  CHECK(kstHID_setGPIOValue(&idle, &zero, &board2) == 0);
  CHECK(strcmp(lastBox, "Invalid HID Number: 2|ksthid") == 0);

  kstHID_closeHandles();
  boxCount = 0;
  CHECK(kstHID_setGPIOValue(&idle, &zero, &board0) == 0);
  CHECK(boxCount == 0);
  CHECK(kstHID_connect() == 2);
  CHECK(kstHID_getLEDState(&off, &board1) == 1);

  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
