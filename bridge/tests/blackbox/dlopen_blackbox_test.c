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
typedef HRESULT (*SafeArrayDestroy_t)(SAFEARRAY*);
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

  int16_t board0 = 0, board1 = 1, board2 = 2, on = -1, off = 0;
  uint8_t idle = 0x50, low = 0x10, zero = 0, config = 0xBF, pushPull = 0xFF;
  CHECK(kstHID_setGPIOValue(&idle, &zero, &board0) == 8);
  CHECK(kstHID_setGPIOConfiguration(&config, &pushPull, &on, &board0) == 8);
  for (int step = 0; step < 3; ++step) {
    kstHID_setGPIOValue(&low, &zero, &board0);
    kstHID_setGPIOValue(&idle, &zero, &board0);
  }
  CHECK(traceHas(traceFile, " C sim:0 dvr=3 eeprom=0"));
  CHECK(traceHas(traceFile, " W sim:0 010200bfff01000000"));

  SAFEARRAY* configuration = NULL; /* never dimensioned: the getter creates it */
  CHECK(kstHID_getGPIOConfiguration(&configuration, &board0) == 1);
  LONG upper = 0;
  CHECK(configuration != NULL && SafeArrayGetUBound(configuration, 1, &upper) == S_OK);
  CHECK(upper == 3);
  const uint8_t* bytes = configuration ? (const uint8_t*)configuration->pvData : NULL;
  CHECK(bytes && bytes[0] == 0xBF && bytes[1] == 0xFF && bytes[2] == 0x01 && bytes[3] == 0);
  SafeArrayDestroy(configuration);

  SAFEARRAY* values = NULL;
  CHECK(kstHID_getGPIOValue(&values, &on, &board0) == 1);
  CHECK(values && ((const uint8_t*)values->pvData)[0] == 0x50);
  CHECK(traceHas(traceFile, " W sim:0 01030101"));
  SafeArrayDestroy(values);

  VARIANT board;
  VariantInit(&board);
  board.vt = VT_I2;
  board.iVal = 1;
  CHECK(kstHID_getSystemClockFrequency(&board) == 24000);
  CHECK(traceHas(traceFile, " R sim:1 01081800"));

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
