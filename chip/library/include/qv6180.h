/* libqv6180: the QV6180 VCOM calibrator on its evaluation board, from C.
 *
 * The chip's DVR register (0 to 255) is set through its counter interface
 * on the bridge's GPIO pins: a send runs the register to an end of its range
 * and counts from there, since the register cannot be read back; a store
 * makes the chip copy the register into its EEPROM, from which it loads the
 * register at power-up. The boards are ksthid's (ksthid_api.h): open one
 * with ksthid_open, pass the handle here, close it with ksthid_close.
 *
 * Every call that talks to a board returns 0 or a negative code: one of
 * ksthid's KSTHID_E_* (from the GPIO call the board did not take; then
 * ksthid_last_error on the handle gives its detail) or a QV6180_E_* below.
 * qv6180_strerror names both. No call shows a box, writes to the standard
 * streams or changes anything process-wide.
 *
 * A train (send, step, store, park) is many GPIO calls in a row: run one
 * train at a time on a board. Trains on different boards may run in
 * parallel, from different threads.
 *
 * The calculator works on doubles in volts, ohms and amperes with the
 * formulas of the evaluation program. An input that the program would
 * correct or refuse, or a result that no finite double holds, is a code;
 * the outputs are then left as they were.
 *
 * Functions use the platform's default C calling convention (cdecl on
 * 32-bit Windows). */
#ifndef QV6180_H
#define QV6180_H

#include "ksthid_api.h"

#if defined(_WIN32) || !defined(__GNUC__)
#define QV6180_EXPORT
#else
#define QV6180_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define QV6180_VERSION_MAJOR 1
#define QV6180_VERSION_MINOR 0
#define QV6180_VERSION_PATCH 0

/* The DVR register's range. */
#define QV6180_DVR_MIN 0
#define QV6180_DVR_MAX 255

/* The most pairs qv6180_standard_pairs finds. */
#define QV6180_STANDARD_PAIRS_MAX 9

/* Failure codes of this library, all negative and apart from ksthid's. */
#define QV6180_E_STOPPED (-32)        /* the progress function stopped the train */
#define QV6180_E_AVDD (-33)           /* AVDD is not a number above 0 */
#define QV6180_E_RSET (-34)           /* Rset is not a number above 0 */
#define QV6180_E_R1 (-35)             /* R1 is not a number above 0 */
#define QV6180_E_R2 (-36)             /* R2 is not a number above 0 */
#define QV6180_E_VOUT_MAX (-37)       /* VOUTmax is above AVDD (or no number) */
#define QV6180_E_VOUT_MIN (-38)       /* VOUTmin is not below VOUTmax (or no number) */
#define QV6180_E_NO_DIVIDER (-39)     /* no positive R1 and R2 give the range */
#define QV6180_E_NO_OUTPUT (-40)      /* the divider gives no VCOM above 0 V */
#define QV6180_E_BEYOND_DOUBLES (-41) /* a result is too large or small to compute */

/* The library's version, "1.0.0". Static; never freed. */
QV6180_EXPORT const char* qv6180_version(void);

/* The name of a code: this library's own, else ksthid_strerror's. Static;
 * never freed. */
QV6180_EXPORT const char* qv6180_strerror(int code);

/* ---- The counter interface --------------------------------------------- */

/* Told after each step of a train: the steps done so far and the train's
 * steps in all, and the context given to the train. Non-zero stops the
 * train at once, with QV6180_E_STOPPED: the lines are left at rest and the
 * register's value is unknown. */
typedef int (*qv6180_progress)(int done, int in_all, void* context);

/* Brings the DVR register to `dvr` (QV6180_DVR_MIN to QV6180_DVR_MAX),
 * whatever it holds now: puts the lines at rest (2 GPIO calls), runs the
 * register to the nearer end (257 steps) and counts back to `dvr` (up to
 * 127 steps), each step two GPIO calls: qv6180_send_calls(dvr) calls, 516
 * to 770, each taking one USB frame. `progress` may be null; `context`
 * goes to it unread. Returns 0; KSTHID_E_INVALID_ARGUMENT (a null board or
 * `dvr` out of range) with nothing sent; QV6180_E_STOPPED; or the code of
 * the GPIO call the board did not take, which ends the train. After any
 * failure but KSTHID_E_INVALID_ARGUMENT the register's value is unknown:
 * send again. */
QV6180_EXPORT int qv6180_send(ksthid_board* board, int dvr, qv6180_progress progress,
                              void* context);

/* Counts the register from `from_dvr` to `to_dvr` (both QV6180_DVR_MIN to
 * QV6180_DVR_MAX) in |to_dvr - from_dvr| steps, after putting the lines at
 * rest: qv6180_step_calls(from_dvr, to_dvr) calls, for a calibration loop
 * that tries one value after another.
 *
 * Nothing can read the register: the step is right only when it holds
 * `from_dvr`, which is so after a successful qv6180_send or qv6180_step to
 * that value, and only as long as nothing else has driven the board's pins
 * since. A wrong `from_dvr` leaves a wrong value in the register, and
 * nothing says so. Before storing a value, bring the register there with a
 * full qv6180_send.
 *
 * Returns as qv6180_send does. */
QV6180_EXPORT int qv6180_step(ksthid_board* board, int from_dvr, int to_dvr);

/* Makes the chip copy the register into its EEPROM: the lines put at rest,
 * then a pulse on the store line (4 GPIO calls). Stores whatever the
 * register holds. Returns 0, KSTHID_E_INVALID_ARGUMENT (a null board) or the
 * code of the call the board did not take; then the EEPROM may hold the old
 * value or none. */
QV6180_EXPORT int qv6180_store(ksthid_board* board);

/* Puts both lines of the counter interface at rest (2 GPIO calls), as the
 * evaluation program does at start-up; every train does it first. Counts
 * nothing. Returns 0, KSTHID_E_INVALID_ARGUMENT or the code of a call the
 * board did not take. */
QV6180_EXPORT int qv6180_park(ksthid_board* board);

/* The GPIO calls that qv6180_send(dvr) and qv6180_step(from, to) make,
 * KSTHID_E_INVALID_ARGUMENT for a value out of range. */
QV6180_EXPORT int qv6180_send_calls(int dvr);
QV6180_EXPORT int qv6180_step_calls(int from_dvr, int to_dvr);

/* ---- The divider calculator -------------------------------------------- */

/* R1 runs from the supply AVDD to the VCOM node, R2 from there to ground;
 * the chip draws IOUT = AVDD / (20 Rset) x DVR / 256 from the node. DVR 0
 * gives the highest VCOM, VOUTmax, DVR 255 the lowest, VOUTmin. The
 * outputs may not be null. */

/* VOUTmax and VOUTmin from the supply, Rset and the resistors. Returns 0,
 * QV6180_E_AVDD, QV6180_E_RSET, QV6180_E_R1, QV6180_E_R2,
 * QV6180_E_NO_OUTPUT or QV6180_E_BEYOND_DOUBLES. */
QV6180_EXPORT int qv6180_range_from_resistors(double avdd, double rset, double r1, double r2,
                                              double* vout_max, double* vout_min);

/* R1 and R2 that give the range VOUTmax (at DVR 0) to VOUTmin (at DVR 255).
 * Returns 0, QV6180_E_AVDD, QV6180_E_RSET, QV6180_E_VOUT_MAX,
 * QV6180_E_VOUT_MIN, QV6180_E_NO_DIVIDER or QV6180_E_BEYOND_DOUBLES. */
QV6180_EXPORT int qv6180_resistors_from_range(double avdd, double rset, double vout_max,
                                              double vout_min, double* r1, double* r2);

/* VCOM (V), IOUT (A) and VRSET (V, at the top of Rset) at a DVR value.
 * Returns 0, KSTHID_E_INVALID_ARGUMENT (dvr out of range) or what
 * qv6180_range_from_resistors returns for the same divider. */
QV6180_EXPORT int qv6180_readouts(double avdd, double rset, double r1, double r2, int dvr,
                                  double* vcom, double* iout, double* vrset);

/* A divider of standard resistor values and the range it gives. */
struct qv6180_standard_pair {
  int series;           /* 24, 96 or 192: E24 (5 %), E96 (1 %), E192 (0.5 %) */
  double r1;            /* ohms */
  double r2;            /* ohms */
  double vout_max;      /* volts */
  double vout_min;      /* volts */
  double error_mv;      /* the larger deviation of its two ends, in millivolts */
  double error_percent; /* the same as a share of the wanted range's width */
};

/* The pairs of E24, E96 and E192 values nearest to the R1 and R2 of the
 * wanted range, best first; a pair whose values all belong to a coarser
 * series is listed once, under that series; none when R1 or R2 lies beyond
 * the series' values (1 ohm to 10 Mohm). Writes up to `capacity`
 * entries into `pairs` (QV6180_STANDARD_PAIRS_MAX hold them all) and
 * returns the number found, or what qv6180_resistors_from_range returns,
 * or KSTHID_E_INVALID_ARGUMENT (pairs null with a capacity, or a negative
 * capacity). */
QV6180_EXPORT int qv6180_standard_pairs(double avdd, double rset, double vout_max, double vout_min,
                                        struct qv6180_standard_pair* pairs, int capacity);

#ifdef __cplusplus
}
#endif

#endif /* QV6180_H */
