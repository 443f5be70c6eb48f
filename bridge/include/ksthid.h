/* ksthid: drives the USB HID bridge boards of the QV6180 evaluation kit.
 *
 * Every board found by kstHID_connect is addressed by its index, the
 * HIDnumber (0 for the first). Every argument is passed by reference.
 * Integers are 16-bit signed, bytes 8-bit unsigned, flags 16-bit with
 * True = -1. The library keeps its state (board lists, handles) per calling
 * thread, and calls must not overlap within one thread's state. Threads may
 * share a board: each request and its answer go to the board as one step, so
 * every thread gets the answer to its own request.
 *
 * Programs may share a board too, on the same terms: from the drain before
 * its request to the end of its answer, a call holds the board against every
 * other program. A call that finds the board held waits until the other
 * program lets go, however long that takes, and then goes on as usual; the
 * 6000 ms wait for an answer begins only once its own request has gone, so
 * such a wait never shows the "Please check USB connection." box. A program
 * that ends, or is killed, lets go of the board at once.
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

/* This header's version. The shared library's file name carries the major
 * version (libksthid.so.1): it changes only when an export does. */
#define KSTHID_VERSION_MAJOR 1
#define KSTHID_VERSION_MINOR 0
#define KSTHID_VERSION_PATCH 0

/* Results that callers test. Each export below says which of them it
 * returns; a value not named there does not occur. */
#define KSTHID_TRUE (-1)         /* a flag argument set, as Basic writes True */
#define KSTHID_FALSE 0           /* a flag argument clear; any non-zero flag counts as set */
#define KSTHID_REPORT_WRITTEN 8  /* a setter's request left the host (no answer is read) */
#define KSTHID_NOT_WRITTEN 0     /* writing the request failed; the connection box was shown */
#define KSTHID_INVALID_BOARD 1   /* HIDnumber names no open board; nothing was sent */
#define KSTHID_REFUSED 1         /* the arguments were refused before anything was sent */
#define KSTHID_I2C_DONE 0        /* the bridge reported the I2C transaction done */
#define KSTHID_I2C_FAILED 1      /* the transaction failed or its arguments were refused */
#define KSTHID_QUERY_ATTEMPTED 1 /* a GPIO getter sent its query (its array holds the answer) */

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

/* Shows one modal box and returns the button the user chose (KSTHID_ID*).
 * Called with the exports' calling convention, so that a Basic host can hand
 * over a procedure of its own (AddressOf). text may hold a line break (CR LF);
 * caption is the library's, "ksthid"; style is a KSTHID_MB_* button set. */
typedef int(KSTHID_CALL* kstHID_MessageBoxHandler)(void* context, const char* text,
                                                   const char* caption, unsigned style);

/* The boxes every export may show (each export names those it shows besides):
 *  - "Invalid HID Number: " and the number, OK: HIDnumber names no open board.
 *  - "Please check USB connection." / "checkStatus", Retry and Cancel: a request
 *    could not be written, or no answer came within 6000 ms. Retry reconnects
 *    every board (kstHID_connect) from inside the call, which then goes on
 *    against the new board list; Cancel changes nothing.
 * Calls block: a setter until its 64-byte request is written, a query up to
 * 6000 ms more for the answer, and either as long as a box stays open.
 * Before each request the library reads and discards the reports the board has
 * already sent, at most 64: a board that keeps sending beyond that cannot hold
 * a call up. Each discarded report is an R line in the packet trace. */

/* Lets a host show the library's boxes itself; context is handed back to the
 * handler unchanged. A null handler restores the default: the system's message
 * box on Windows; elsewhere one line on standard error (line breaks shown as
 * " / ") answered with OK, Cancel or No, so that a script never blocks. The
 * handler serves every thread. */
KSTHID_API void KSTHID_CALL kstHID_setMessageBoxHandler(kstHID_MessageBoxHandler handler,
                                                        void* context);

/* ---- Connection ---- */

/* Finds every attached bridge board and opens it, closing the handles of the
 * previous connect first. Boards found before keep their HIDnumbers, in their
 * order, whether found at their path or, plugged back while their old node was
 * still held open, at another path with their serial number; boards that have
 * gone are dropped and those behind them move up; new boards come last. Returns the number of open boards, 0 when there is none
 * (no box). */
KSTHID_API int16_t KSTHID_CALL kstHID_connect(void);

/* Closes every board's handles. The boards stay known, so that the next
 * kstHID_connect keeps their HIDnumbers; until then commands to them send
 * nothing and return their failure values. Does nothing when no board was ever
 * found, and nothing the second time. */
KSTHID_API void KSTHID_CALL kstHID_closeHandles(void);

/* ---- Board commands (LEDs, module indicator, version, clock) ---- */

/* Asks the board for its LEDs. ledNumber 0 or 1. Returns 1 when that LED is
 * on, 0 when it is off, when HIDnumber is invalid, or when the query failed.
 * Any other ledNumber: once the query is written, "ledNumber must be 0 or 1"
 * (OK) is shown and 0 returned. */
KSTHID_API int16_t KSTHID_CALL kstHID_getLEDState(int16_t* ledNumber, int16_t* HIDnumber);

/* Switches one LED (ledNumber 0 or 1) to bit 0 of ledState and keeps the other
 * as the board reports it (an LED query first). Any other ledNumber shows
 * "ledNumber must be 0 or 1" (OK) and sends both LEDs off. Returns
 * KSTHID_INVALID_BOARD, else 0 (also when writing failed). */
KSTHID_API int16_t KSTHID_CALL kstHID_setLEDState(uint8_t* ledState, int16_t* ledNumber,
                                                  int16_t* HIDnumber);

/* Marks one board among several: both LEDs of every open board off, then LED
 * 0 of board HIDnumber on (2n + 1 LED settings for n boards). Returns
 * KSTHID_INVALID_BOARD without touching any LED, else 0. */
KSTHID_API int16_t KSTHID_CALL kstHID_indicateSelectedModule(int16_t* HIDnumber);

/* Asks the board for its firmware and shows it in a box (OK), for example
 * "Firmware Version 1.3 - 2009/February/27", the month named in the user's
 * language. After a failed or unanswered query the numbers are 0 and the month
 * is empty; for an invalid HIDnumber no version box is shown. */
KSTHID_API void KSTHID_CALL kstHID_showVersion(int16_t* HIDnumber);

/* The board's system clock value times 1000; 32767 when that does not fit
 * (values above 32). HIDnumber is a VARIANT holding a number of any numeric
 * type (directly or by reference; fractions rounded half to even); a number
 * beyond 16 bits is an invalid HIDnumber. Returns 0 when HIDnumber is invalid
 * or holds no number, when writing failed, and after an unanswered query. */
KSTHID_API int16_t KSTHID_CALL kstHID_getSystemClockFrequency(VARIANT* HIDnumber);

/* ---- I2C transactions ---- */

/* One transaction with the device at the 7-bit address (0 to 127) on the
 * board's I2C bus; the request is one report, so nothing is split.
 *
 * reg is the register address sent first; a read or write with reg 0 sends
 * none. reg + count must not exceed 255. registerBuffer is a working array,
 * another than data (one array passed as both is refused): once the other
 * arguments are accepted it is re-dimensioned to one element holding reg.
 *
 * kstHID_doI2CRead reads count bytes (1 to 62). Once board and address are
 * accepted, data is re-dimensioned to count elements (created when never
 * dimensioned), all 0 unless the read succeeds; then they hold the bytes
 * read.
 * kstHID_doI2CWrite sends data elements 0 to count - 1 (count 1 to 58 with a
 * register address, 1 to 59 without); data must hold at least count elements
 * and is not changed.
 *
 * quiet 0 shows "Invalid I2C address. Press Retry to return to GUI and enter
 * valid address or Cancel." (Retry, Cancel; both end the call) when the device
 * does not answer; any other value shows nothing. When the request cannot be
 * written or no answer comes within 6000 ms, "Please check USB connection." /
 * "USB WriteFile error." or "USB ReadFile error." (Retry, Cancel) is shown:
 * Retry reconnects every board and runs the transaction again.
 *
 * Returns KSTHID_I2C_DONE, or KSTHID_I2C_FAILED when the device did not
 * answer, the user cancelled, or the arguments were refused (then without a
 * box, except for an invalid HIDnumber). */
KSTHID_API int16_t KSTHID_CALL kstHID_doI2CRead(uint8_t* address, uint8_t* reg, uint8_t* count,
                                                SAFEARRAY** data, SAFEARRAY** registerBuffer,
                                                int16_t* HIDnumber, int16_t* quiet);
KSTHID_API int16_t KSTHID_CALL kstHID_doI2CWrite(uint8_t* address, uint8_t* reg, uint8_t* count,
                                                 SAFEARRAY** data, SAFEARRAY** registerBuffer,
                                                 int16_t* HIDnumber, int16_t* quiet);

/* Whether a device answers at the 7-bit address: a one-byte read after the
 * register byte, which is sent even when it is 0. Note the board comes second.
 * Returns KSTHID_I2C_DONE when it answers, else KSTHID_I2C_FAILED; never shows
 * the invalid-address box. The USB boxes are as for kstHID_doI2CRead. */
KSTHID_API int16_t KSTHID_CALL kstHID_probeI2CAddress(uint8_t* address, int16_t* HIDnumber,
                                                      uint8_t* reg);

/* ---- I2C and SMBus configuration ---- */

/* The bus frequency value the board reports, times 1000; 32767 when that does
 * not fit. 0 when HIDnumber is invalid, writing failed or no answer came. */
KSTHID_API int16_t KSTHID_CALL kstHID_getSMBusFrequency(int16_t* HIDnumber);

/* The SMBus timer count the board reports, 0 to 255; 0 when HIDnumber is
 * invalid, writing failed or no answer came. */
KSTHID_API int16_t KSTHID_CALL kstHID_getSMBusTimerCount(int16_t* HIDnumber);

/* Sends timerCount unchanged. Returns KSTHID_INVALID_BOARD, else 0 (also when
 * writing failed). */
KSTHID_API int16_t KSTHID_CALL kstHID_setSMBusTimerCount(uint8_t* timerCount, int16_t* HIDnumber);

/* The I2C option bits 0 to 2 the board reports (0 to 7); 0 when HIDnumber is
 * invalid, writing failed or no answer came. */
KSTHID_API uint8_t KSTHID_CALL kstHID_getI2COptions(int16_t* HIDnumber);

/* Sends bits 0 to 2 of i2cOptions (the others are dropped) and sclToggle
 * unchanged; reads no answer. Returns KSTHID_REPORT_WRITTEN,
 * KSTHID_NOT_WRITTEN or KSTHID_INVALID_BOARD. */
KSTHID_API int16_t KSTHID_CALL kstHID_setI2COptions(uint8_t* i2cOptions, uint8_t* sclToggle,
                                                    int16_t* HIDnumber);

/* Clocks SCL to free a bus whose SDA line a device holds low: reads the
 * options, writes them back with the toggle request and reads its answer.
 * Shows "SDA error" (OK) when SDA stays low; that box is the only outcome the
 * caller learns. When the options cannot be read nothing is sent. */
KSTHID_API void KSTHID_CALL kstHID_toggleSCL(int16_t* HIDnumber);

/* ---- SPI ---- */

/* Sends bits 0 to 2 of spiOptions (a VARIANT holding a number; the other bits
 * are dropped) to the board named by the VARIANT HIDnumber. Returns
 * KSTHID_REPORT_WRITTEN, KSTHID_NOT_WRITTEN, or KSTHID_INVALID_BOARD (also,
 * without a box, when either VARIANT holds no number). */
KSTHID_API int16_t KSTHID_CALL kstHID_setSPIOptions(VARIANT* spiOptions, VARIANT* HIDnumber);

/* The SPI options byte the board reports, whole. HIDnumber is a VARIANT
 * holding a number. 0 when it names no board, writing failed or no answer
 * came. */
KSTHID_API uint8_t KSTHID_CALL kstHID_getSPIOptions(VARIANT* HIDnumber);

/* Sends clockDivisor unchanged (every value 0 to 255). Returns
 * KSTHID_INVALID_BOARD, else 0 (also when writing failed). */
KSTHID_API int16_t KSTHID_CALL kstHID_setSPIClockDivisor(uint8_t* clockDivisor, int16_t* HIDnumber);

/* The SPI clock divisor the board reports. HIDnumber is a VARIANT holding a
 * number. 0 when it names no board, writing failed or no answer came. */
KSTHID_API uint8_t KSTHID_CALL kstHID_getSPIClockDivisor(VARIANT* HIDnumber);

/* One SPI transfer: sends spiData elements 0 to byteCount - 1 (1 to 57 bytes)
 * with spiFlag (sent as 0 or 1) and spiParam unchanged. When readBack is
 * non-zero, the bytes received replace elements 0 to byteCount - 1 (zeros when
 * no answer came within 6000 ms, after the connection box); later elements
 * keep their values. Note HIDnumber is the fourth argument. Returns
 * KSTHID_REFUSED, without a transfer and without a box, when byteCount is 0 or
 * above 57 or spiData holds fewer elements (or does not start at index 0);
 * KSTHID_INVALID_BOARD after the box; else 0, whether or not the transfer
 * went through. */
KSTHID_API int16_t KSTHID_CALL kstHID_doSPITransaction(uint8_t* byteCount, SAFEARRAY** spiData,
                                                       int16_t* readBack, int16_t* HIDnumber,
                                                       int16_t* spiFlag, uint8_t* spiParam);

/* ---- GPIO ---- */

/* The bytes pass to the bridge unchanged; which pin each bit drives is the
 * board's and the caller's business. */

/* Sets the configuration of all pins at once: configByte1, configByte2 and
 * configFlag (sent as 0 or 1). Returns KSTHID_REPORT_WRITTEN, else 0: writing
 * failed, or HIDnumber is invalid (0 here, not 1). */
KSTHID_API int16_t KSTHID_CALL kstHID_setGPIOConfiguration(uint8_t* configByte1,
                                                           uint8_t* configByte2,
                                                           int16_t* configFlag, int16_t* HIDnumber);

/* Re-dimensions gpioConfig to 4 zeroed elements first (created when never
 * dimensioned), then asks the board: elements 0 to 2 receive configuration
 * byte 1, byte 2 and the flag byte; element 3 stays 0. Returns 0 when HIDnumber
 * is invalid, else KSTHID_QUERY_ATTEMPTED, even when writing failed or no
 * answer came (the array is then all zero). */
KSTHID_API int16_t KSTHID_CALL kstHID_getGPIOConfiguration(SAFEARRAY** gpioConfig,
                                                           int16_t* HIDnumber);

/* Sets the values of all pins at once: valueByte1 and valueByte2. Returns
 * KSTHID_REPORT_WRITTEN, else 0: writing failed, or HIDnumber is invalid. */
KSTHID_API int16_t KSTHID_CALL kstHID_setGPIOValue(uint8_t* valueByte1, uint8_t* valueByte2,
                                                   int16_t* HIDnumber);

/* Re-dimensions gpioValues to 3 zeroed elements first, then asks the board
 * (valueFlag sent as 0 or 1): elements 0 and 1 receive value byte 1 and 2;
 * element 2 stays 0. Returns as kstHID_getGPIOConfiguration does. */
KSTHID_API int16_t KSTHID_CALL kstHID_getGPIOValue(SAFEARRAY** gpioValues, int16_t* valueFlag,
                                                   int16_t* HIDnumber);

#ifdef __cplusplus
}
#endif

#endif /* KSTHID_H */
