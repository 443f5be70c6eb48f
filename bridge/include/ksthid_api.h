/* ksthid's own C interface: boards as handles, failures as codes.
 *
 * A program finds the bridges with ksthid_enumerate, opens one by its path
 * with ksthid_open and drives it through the handle. Every call that talks
 * to a board returns 0 (or a count, or a flag, as it says) on success and a
 * negative KSTHID_E_* code on failure; ksthid_strerror names a code and
 * ksthid_last_error gives the detail of a handle's last failure. No call
 * shows a box, writes to the standard streams, ends the process or changes
 * anything process-wide.
 *
 * Threads: a handle may be used from any thread, and from several at once;
 * the calls on one board take turns (each request and its answer form one
 * step), calls on different boards run in parallel. Closing a handle while
 * another thread still uses it is the caller's error.
 *
 * The board handles of this interface and the HIDnumbers of ksthid.h are
 * independent: both may be open on the same board at once;
 * ksthid_hid_number_path tells which board a HIDnumber names.
 *
 * Programs: several may have one board open at once, and each gets only the
 * answers to its own requests. Each step (a request and its answer, or a
 * request that has none) holds the board against every other program; a
 * call waits for another program's step to end, however long that takes,
 * before its own begins, and the wait is not part of its time-out: a call
 * may then return later than the time-out says, and KSTHID_E_TIMEOUT still
 * means only that the board did not answer. A program that ends, or is
 * killed, lets go of the board at once.
 *
 * Functions use the platform's default C calling convention (cdecl on
 * 32-bit Windows). */
#ifndef KSTHID_API_H
#define KSTHID_API_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) || !defined(__GNUC__)
#define KSTHID_EXPORT
#else
#define KSTHID_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Failure codes, all negative. */
#define KSTHID_E_INVALID_ARGUMENT (-1) /* refused before anything was sent */
#define KSTHID_E_NOT_FOUND (-2)        /* no such board */
#define KSTHID_E_ACCESS (-3)           /* the system refused to open the board */
#define KSTHID_E_GONE (-4)             /* the board was pulled out; the handle can only be closed */
#define KSTHID_E_TIMEOUT (-5)          /* no answer within the handle's time-out */
#define KSTHID_E_NACK (-6)             /* the I2C device did not answer */
#define KSTHID_E_BUS (-7)              /* the I2C bus is held (SDA stays low) or lost */
#define KSTHID_E_IO (-8)               /* a report could not be written or read */
#define KSTHID_E_NO_MEMORY (-9)        /* the library could not allocate what it needed */
#define KSTHID_E_CLAIMED (-10)         /* the kernel driver hid-ksthid drives the board */

/* Hot-plug events. */
#define KSTHID_ARRIVED 1
#define KSTHID_LEFT 2

/* USB identity of a bridge board. */
#define KSTHID_VENDOR_ID 0x3A5C
#define KSTHID_PRODUCT_ID 0x4B17

/* The most an I2C read returns, and the most an I2C write carries with and
 * without a register address, and the most one SPI transfer carries. */
#define KSTHID_I2C_MAX_READ 62
#define KSTHID_I2C_MAX_WRITE 59
#define KSTHID_I2C_MAX_WRITE_WITH_REGISTER 58
#define KSTHID_SPI_MAX_TRANSFER 57

/* Time-out for an answer that a new handle starts with. */
#define KSTHID_DEFAULT_TIMEOUT_MS 6000

/* An opened bridge board. */
typedef struct ksthid_board ksthid_board;
/* A watch for boards coming and going. */
typedef struct ksthid_monitor ksthid_monitor;

/* One bridge present. Every string is UTF-8 (or ASCII), never null, and
 * belongs to the list (or monitor event) it came in. */
struct ksthid_board_info {
  const char* path;       /* for ksthid_open: "/dev/hidraw3", a Windows device path, "sim:0" */
  const char* serial;     /* the USB serial number; "" when the board gives none */
  const char* product;    /* the USB product string; "" when the system cannot tell */
  uint16_t vendor_id;     /* KSTHID_VENDOR_ID */
  uint16_t product_id;    /* KSTHID_PRODUCT_ID */
  int error;              /* 0 when the board can be opened, else what ksthid_open gives */
  const char* error_text; /* why it cannot be opened, in words; "" when error is 0 */
  struct ksthid_board_info* next; /* the next board, null after the last */
};

/* Firmware version and date of a bridge. */
struct ksthid_firmware {
  uint8_t major;
  uint8_t minor;
  uint16_t year;
  uint8_t month; /* 1 to 12 */
  uint8_t day;
};

/* The library's version as the KSTHID_VERSION_* macros of ksthid.h give it,
 * "1.0.0". Static; never freed. */
KSTHID_EXPORT const char* ksthid_version(void);

/* The name of a code: "success" for 0 (and any non-negative value), a short
 * sentence for each KSTHID_E_*, "unknown error" otherwise. Static; never
 * freed. */
KSTHID_EXPORT const char* ksthid_strerror(int code);

/* ---- Finding and opening boards ---------------------------------------- */

/* Lists every bridge present, in the order a first kstHID_connect numbers
 * them (real boards in the system's order, then KSTHID_SIMULATE's virtual
 * boards; ksthid_hid_number_path tells the numbers of later connects),
 * including those that cannot be opened (their error says why), then those
 * the Linux kernel driver has claimed (KSTHID_E_CLAIMED), which have no
 * HIDnumber. *list gets
 * the first entry, null when there is none; the caller frees the list with
 * ksthid_free_enumeration. Returns the count, or KSTHID_E_INVALID_ARGUMENT
 * (list null) or KSTHID_E_NO_MEMORY, leaving *list null. */
KSTHID_EXPORT int ksthid_enumerate(struct ksthid_board_info** list);

/* Frees a list of ksthid_enumerate (null is allowed). */
KSTHID_EXPORT void ksthid_free_enumeration(struct ksthid_board_info* list);

/* Opens a bridge: `name` is a path from the enumeration or, when no board
 * has that path, a serial number (a path wins over a serial). *board gets the
 * handle, which the caller closes with ksthid_close; null on failure.
 * Returns 0, KSTHID_E_INVALID_ARGUMENT (a null argument), KSTHID_E_NOT_FOUND
 * (no bridge by that path or serial), KSTHID_E_ACCESS, KSTHID_E_CLAIMED
 * (the enumeration's error text names the adapter and chip the kernel made
 * of it), KSTHID_E_IO or KSTHID_E_NO_MEMORY. */
KSTHID_EXPORT int ksthid_open(const char* name, ksthid_board** board);

/* The path of the board that `hid_number` names for the HIDnumber exports of
 * ksthid.h in the calling thread, as its last kstHID_connect (or the Retry of
 * a library box) numbered them: known boards keep their numbers, new ones
 * come after them, so that the enumeration's order is not the numbers' once
 * a board has gone. The path is the one ksthid_open takes. Returns the path's
 * length in bytes, without its terminating NUL, and writes the path with the
 * NUL to `path` when it fits in `size` bytes; a return of `size` or more
 * means it did not fit, and then `path` gets "" (when size is not 0).
 * `path` may be null with size 0, to learn the length. Returns
 * KSTHID_E_NOT_FOUND when no board has that number in this thread (nothing
 * connected, or the number is out of range; no box is shown), or
 * KSTHID_E_INVALID_ARGUMENT (`path` null with a size). */
KSTHID_EXPORT int ksthid_hid_number_path(int hid_number, char* path, size_t size);

/* Closes a handle (null is allowed). No call on it may be running. */
KSTHID_EXPORT void ksthid_close(ksthid_board* board);

/* The board's path and serial number, valid until ksthid_close; never null. */
KSTHID_EXPORT const char* ksthid_board_path(ksthid_board* board);
KSTHID_EXPORT const char* ksthid_board_serial(ksthid_board* board);

/* How long a call waits for an answer, in milliseconds (1 to 600000; 6000 at
 * first), once its request has gone; not the wait for another program that
 * holds the board (see the top of this file). Applies to later calls on the
 * handle from every thread. Returns 0 or KSTHID_E_INVALID_ARGUMENT. */
KSTHID_EXPORT int ksthid_set_timeout(ksthid_board* board, int milliseconds);
/* The handle's time-out in milliseconds, or KSTHID_E_INVALID_ARGUMENT. */
KSTHID_EXPORT int ksthid_get_timeout(ksthid_board* board);

/* What went wrong in the calling thread's last failed call on this handle,
 * in words; "" when that call succeeded or there was none. Each thread sees
 * its own. The text stays valid until the same thread's next call on the
 * handle, or ksthid_close; never null. */
KSTHID_EXPORT const char* ksthid_last_error(ksthid_board* board);

/* ---- Board ------------------------------------------------------------- */

/* Every call below returns 0 or a negative code: KSTHID_E_INVALID_ARGUMENT
 * (a null handle or pointer, a value out of range: nothing was sent; on a
 * handle, ksthid_last_error names the argument and why it was refused),
 * KSTHID_E_GONE, KSTHID_E_TIMEOUT or KSTHID_E_IO, and others where named.
 * A call that only sets something writes one report and returns once it has
 * left the host; a query waits for its answer. Output arguments are written
 * only on success. */

KSTHID_EXPORT int ksthid_firmware_version(ksthid_board* board, struct ksthid_firmware* version);

/* The two LEDs: bit 0 is LED 0, bit 1 LED 1, set when lit. */
KSTHID_EXPORT int ksthid_leds_read(ksthid_board* board, uint8_t* leds);
KSTHID_EXPORT int ksthid_leds_write(ksthid_board* board, uint8_t leds);

/* Shows that this is the board meant: LED 0 lit, LED 1 dark. */
KSTHID_EXPORT int ksthid_indicate(ksthid_board* board);

/* The system clock value the bridge reports, times 1000 (the unit is the
 * firmware's). */
KSTHID_EXPORT int ksthid_system_clock(ksthid_board* board, uint32_t* clock);

/* ---- GPIO -------------------------------------------------------------- */

/* The 16 pins' values: the low byte of `values` is the first byte on the
 * wire (pins 0 to 7), the high byte the second (pins 8 to 15). */
KSTHID_EXPORT int ksthid_gpio_write(ksthid_board* board, uint16_t values);
KSTHID_EXPORT int ksthid_gpio_read(ksthid_board* board, uint16_t* values);

/* The pins' configuration as the bridge keeps it: two bytes (low byte first
 * on the wire, as for the values) and a flag (0 or 1). Their meaning is the
 * bridge's. */
KSTHID_EXPORT int ksthid_gpio_configure(ksthid_board* board, uint16_t configuration, int flag);
KSTHID_EXPORT int ksthid_gpio_configuration(ksthid_board* board, uint16_t* configuration,
                                            int* flag);

/* ---- I2C and SMBus ----------------------------------------------------- */

/* One I2C transaction each. `address` is the 7-bit address (0 to 127); `reg`
 * a register address (0 to 255) sent first, or -1 for none; reg + count must
 * stay within 255. A read takes 1 to KSTHID_I2C_MAX_READ bytes, a write 1 to
 * KSTHID_I2C_MAX_WRITE (KSTHID_I2C_MAX_WRITE_WITH_REGISTER with a register).
 * KSTHID_E_NACK when the device did not answer; `data` is written only on
 * success. */
KSTHID_EXPORT int ksthid_i2c_read(ksthid_board* board, uint8_t address, int reg, uint8_t* data,
                                  size_t count);
KSTHID_EXPORT int ksthid_i2c_write(ksthid_board* board, uint8_t address, int reg,
                                   const uint8_t* data, size_t count);

/* 1 when a device answers at `address` (a one-byte read of register 0), 0
 * when none does, or a negative code. */
KSTHID_EXPORT int ksthid_i2c_probe(ksthid_board* board, uint8_t address);

/* The bridge's I2C option bits (0 to 7; their meaning is the bridge's). */
KSTHID_EXPORT int ksthid_i2c_options_read(ksthid_board* board, uint8_t* options);
KSTHID_EXPORT int ksthid_i2c_options_write(ksthid_board* board, uint8_t options);

/* Clocks SCL to free a bus whose SDA line a device holds low, keeping the
 * options. KSTHID_E_BUS when SDA still stays low. */
KSTHID_EXPORT int ksthid_i2c_toggle_scl(ksthid_board* board);

/* The SMBus bus frequency value the bridge reports, times 1000 (the unit is
 * the firmware's), and its timer count (0 to 255). */
KSTHID_EXPORT int ksthid_smbus_frequency(ksthid_board* board, uint32_t* frequency);
KSTHID_EXPORT int ksthid_smbus_timer_read(ksthid_board* board, uint8_t* count);
KSTHID_EXPORT int ksthid_smbus_timer_write(ksthid_board* board, uint8_t count);

/* ---- SPI --------------------------------------------------------------- */

/* The bridge's SPI option bits (0 to 7; their meaning is the bridge's) and
 * clock divisor (0 to 255). */
KSTHID_EXPORT int ksthid_spi_options_read(ksthid_board* board, uint8_t* options);
KSTHID_EXPORT int ksthid_spi_options_write(ksthid_board* board, uint8_t options);
KSTHID_EXPORT int ksthid_spi_divisor_read(ksthid_board* board, uint8_t* divisor);
KSTHID_EXPORT int ksthid_spi_divisor_write(ksthid_board* board, uint8_t divisor);

/* One SPI transfer of 1 to KSTHID_SPI_MAX_TRANSFER bytes: `out` goes out;
 * the bytes received are stored in `in` when it is not null (then the call
 * waits for them), otherwise the call returns once the request is written.
 * `in` may be `out`. */
KSTHID_EXPORT int ksthid_spi_transfer(ksthid_board* board, const uint8_t* out, uint8_t* in,
                                      size_t count);

/* As ksthid_spi_transfer, with the transfer's flag byte (0 or 1) and
 * parameter byte (0 to 255); their meaning is the bridge's.
 * ksthid_spi_transfer sends both as 0. */
KSTHID_EXPORT int ksthid_spi_transfer_flagged(ksthid_board* board, const uint8_t* out, uint8_t* in,
                                              size_t count, int flag, uint8_t parameter);

/* ---- Hot-plug ---------------------------------------------------------- */

/* Starts watching: the boards present now are known, later arrivals and
 * departures become events. *monitor gets the monitor, closed by the caller
 * with ksthid_monitor_close. Returns 0, KSTHID_E_INVALID_ARGUMENT,
 * KSTHID_E_IO (the system's watch could not start) or KSTHID_E_NO_MEMORY.
 * On Linux it watches udev. On Windows 8 and later the system tells it of
 * HID devices arriving and leaving (CM_Register_Notification); under Wine,
 * which delivers no such notifications, on Windows 7, and where the system
 * refuses the registration, it looks every 250 ms instead. Each monitor
 * writes which to the debugger's output as it opens, "ksthid: monitor:
 * device notification" or "ksthid: monitor: looking every 250 ms: " and why
 * (DebugView shows it; Wine with WINEDEBUG=+debugstr). Notified, ksthid.dll
 * stays loaded until the monitor is closed. Virtual boards take part
 * everywhere, at once. */
KSTHID_EXPORT int ksthid_monitor_open(ksthid_monitor** monitor);

/* A descriptor that poll() reports readable when ksthid_monitor_next may
 * have an event; -1 on Windows, where ksthid_monitor_next waits itself.
 * Owned by the monitor: do not read or close it. */
KSTHID_EXPORT int ksthid_monitor_fd(ksthid_monitor* monitor);

/* Waits up to timeout_ms (0: do not wait; negative: wait without end) for
 * the next arrival or departure. Returns 1 with *event KSTHID_ARRIVED or
 * KSTHID_LEFT and *info a one-entry list the caller frees with
 * ksthid_free_enumeration; 0 when nothing happened in time; or a negative
 * code. */
KSTHID_EXPORT int ksthid_monitor_next(ksthid_monitor* monitor, int timeout_ms, int* event,
                                      struct ksthid_board_info** info);

/* Stops watching and frees the monitor (null is allowed). */
KSTHID_EXPORT void ksthid_monitor_close(ksthid_monitor* monitor);

/* ---- Virtual boards ---------------------------------------------------- */

/* The most virtual boards KSTHID_SIMULATE=N asks for, behind any real ones. */
#define KSTHID_MAX_SIMULATED_BOARDS 16

/* Pulls a virtual board (KSTHID_SIMULATE) out, or plugs it back in, as a
 * user would the real one: handles on it get KSTHID_E_GONE, monitors see it
 * leave and arrive. Returns 0, KSTHID_E_INVALID_ARGUMENT or
 * KSTHID_E_NOT_FOUND (no virtual board has that path). */
KSTHID_EXPORT int ksthid_virtual_unplug(const char* path);
KSTHID_EXPORT int ksthid_virtual_plug_in(const char* path);

#ifdef __cplusplus
}
#endif

#endif /* KSTHID_API_H */
