/* ksthid: drives the USB HID bridge boards of the QV6180 evaluation kit.
 *
 * Every board found by kstHID_connect is addressed by its index, the
 * HIDnumber (0 for the first). Every argument is passed by reference.
 * Integers are 16-bit signed, bytes 8-bit unsigned, flags 16-bit with
 * True = -1. The library keeps its state (board lists, handles) per calling
 * thread, and calls must not overlap within one thread's state.
 *
 * Failures are reported in message boxes from inside the call; see
 * kstHID_setMessageBoxHandler. */
#ifndef KSTHID_H
#define KSTHID_H

#include <stdint.h>

#include "ksthid_ole.h"

#ifdef _WIN32
#define KSTHID_CALL __stdcall
#define KSTHID_API
#else
#define KSTHID_CALL
#define KSTHID_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Message box styles and answers, as the Win32 MessageBox uses them. */
#define KSTHID_MB_OK 0x0u
#define KSTHID_MB_OKCANCEL 0x1u
#define KSTHID_MB_YESNO 0x4u
#define KSTHID_MB_RETRYCANCEL 0x5u
#define KSTHID_MB_TYPEMASK 0xFu
#define KSTHID_MB_ICONQUESTION 0x20u
#define KSTHID_MB_ICONMASK 0xF0u
#define KSTHID_MB_DEFBUTTON2 0x100u
#define KSTHID_MB_DEFMASK 0xF00u

#define KSTHID_IDOK 1
#define KSTHID_IDCANCEL 2
#define KSTHID_IDRETRY 4
#define KSTHID_IDYES 6
#define KSTHID_IDNO 7

/* Shows one modal box and returns the button the user chose. Called with
 * the exports' calling convention, so that a Basic host can hand over a
 * procedure of its own (AddressOf). */
typedef int(KSTHID_CALL* kstHID_MessageBoxHandler)(void* context, const char* text,
                                                   const char* caption, unsigned style);

/* Lets a host show the library's boxes itself. A null handler restores the
 * default: the system's message box on Windows; elsewhere one line on standard
 * error (line breaks shown as " / ") answered with OK, Cancel or No, so that a
 * script never blocks. */
KSTHID_API void KSTHID_CALL kstHID_setMessageBoxHandler(kstHID_MessageBoxHandler handler,
                                                        void* context);

/* Connection. */
KSTHID_API int16_t KSTHID_CALL kstHID_connect(void);
KSTHID_API void KSTHID_CALL kstHID_closeHandles(void);

/* Board commands. */
KSTHID_API int16_t KSTHID_CALL kstHID_getLEDState(int16_t* ledNumber, int16_t* HIDnumber);
KSTHID_API int16_t KSTHID_CALL kstHID_setLEDState(uint8_t* ledState, int16_t* ledNumber,
                                                  int16_t* HIDnumber);
KSTHID_API int16_t KSTHID_CALL kstHID_indicateSelectedModule(int16_t* HIDnumber);
KSTHID_API void KSTHID_CALL kstHID_showVersion(int16_t* HIDnumber);
/* The clock value times 1000; 32767 when the board reports more than fits. */
KSTHID_API int16_t KSTHID_CALL kstHID_getSystemClockFrequency(VARIANT* HIDnumber);

/* GPIO. */
KSTHID_API int16_t KSTHID_CALL kstHID_setGPIOConfiguration(uint8_t* configByte1,
                                                           uint8_t* configByte2,
                                                           int16_t* configFlag, int16_t* HIDnumber);
KSTHID_API int16_t KSTHID_CALL kstHID_getGPIOConfiguration(SAFEARRAY** gpioConfig,
                                                           int16_t* HIDnumber);
KSTHID_API int16_t KSTHID_CALL kstHID_setGPIOValue(uint8_t* valueByte1, uint8_t* valueByte2,
                                                   int16_t* HIDnumber);
KSTHID_API int16_t KSTHID_CALL kstHID_getGPIOValue(SAFEARRAY** gpioValues, int16_t* valueFlag,
                                                   int16_t* HIDnumber);

#ifdef __cplusplus
}
#endif

#endif /* KSTHID_H */
