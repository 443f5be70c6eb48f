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

/* I2C transactions with the 7-bit address of a device (0 to 127). reg is
 * the register address sent first; a read or write with reg 0 sends none, a
 * probe always sends it. A read returns up to 62 bytes into data, which it
 * resizes to count elements; a write sends data elements 0 to count - 1, at
 * most 58 bytes with a register address and 59 without. registerBuffer is
 * resized to one element holding reg. quiet 0 shows a box when the device
 * does not answer. After a USB failure, Retry reconnects every board and runs
 * the transaction again. 0: done; 1: failed or the arguments were refused. */
KSTHID_API int16_t KSTHID_CALL kstHID_doI2CRead(uint8_t* address, uint8_t* reg, uint8_t* count,
                                                SAFEARRAY** data, SAFEARRAY** registerBuffer,
                                                int16_t* HIDnumber, int16_t* quiet);
KSTHID_API int16_t KSTHID_CALL kstHID_doI2CWrite(uint8_t* address, uint8_t* reg, uint8_t* count,
                                                 SAFEARRAY** data, SAFEARRAY** registerBuffer,
                                                 int16_t* HIDnumber, int16_t* quiet);
KSTHID_API int16_t KSTHID_CALL kstHID_probeI2CAddress(uint8_t* address, int16_t* HIDnumber,
                                                      uint8_t* reg);

/* I2C and SMBus configuration. The getters return 0 when they cannot ask;
 * kstHID_getSMBusFrequency returns the frequency value times 1000, 32767 when
 * the board reports more than fits. kstHID_setSMBusTimerCount returns 1 for
 * an unknown board, else 0; kstHID_setI2COptions returns 8 when the request
 * was written, 0 when not and 1 for an unknown board. Only bits 0 to 2 of the
 * I2C options travel. */
KSTHID_API int16_t KSTHID_CALL kstHID_getSMBusFrequency(int16_t* HIDnumber);
KSTHID_API int16_t KSTHID_CALL kstHID_getSMBusTimerCount(int16_t* HIDnumber);
KSTHID_API int16_t KSTHID_CALL kstHID_setSMBusTimerCount(uint8_t* timerCount, int16_t* HIDnumber);
KSTHID_API uint8_t KSTHID_CALL kstHID_getI2COptions(int16_t* HIDnumber);
KSTHID_API int16_t KSTHID_CALL kstHID_setI2COptions(uint8_t* i2cOptions, uint8_t* sclToggle,
                                                    int16_t* HIDnumber);
/* Clocks SCL to free a bus whose SDA line is held low; shows "SDA error" when
 * it stays low. */
KSTHID_API void KSTHID_CALL kstHID_toggleSCL(int16_t* HIDnumber);

/* SPI. The setters return as the I2C ones do; kstHID_setSPIOptions also
 * returns 1 when a variant holds no 16-bit number. The getters return 0 when
 * they cannot ask. Only bits 0 to 2 of the SPI options travel. kstHID_doSPITransaction
 * sends spiData elements 0 to byteCount - 1 (1 to 57 bytes) and, when
 * readBack is non-zero, replaces them with the bytes received. It returns 1
 * when it refuses the call before any transfer, else 0. */
KSTHID_API int16_t KSTHID_CALL kstHID_setSPIOptions(VARIANT* spiOptions, VARIANT* HIDnumber);
KSTHID_API uint8_t KSTHID_CALL kstHID_getSPIOptions(VARIANT* HIDnumber);
KSTHID_API int16_t KSTHID_CALL kstHID_setSPIClockDivisor(uint8_t* clockDivisor, int16_t* HIDnumber);
KSTHID_API uint8_t KSTHID_CALL kstHID_getSPIClockDivisor(VARIANT* HIDnumber);
KSTHID_API int16_t KSTHID_CALL kstHID_doSPITransaction(uint8_t* byteCount, SAFEARRAY** spiData,
                                                       int16_t* readBack, int16_t* HIDnumber,
                                                       int16_t* spiFlag, uint8_t* spiParam);

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
