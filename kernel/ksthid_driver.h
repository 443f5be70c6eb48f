/* SPDX-License-Identifier: GPL-2.0 */
/*
 * The QV6180 evaluation board's USB HID bridge as an I2C adapter and a GPIO
 * chip: what the parts of the driver share.
 *
 * Every exchange is of 64-byte reports. A request is one output report: byte
 * 0 the report ID 1, byte 1 the command code, then the command's fields. An
 * answer is one input report, byte 0 the report ID 1, values from byte 2.
 * Nothing in an answer names its request, so answers are matched to requests
 * by order alone: one request is outstanding per board, under its lock.
 */
#ifndef KSTHID_DRIVER_H
#define KSTHID_DRIVER_H

#include <linux/completion.h>
#include <linux/gpio/driver.h>
#include <linux/hid.h>
#include <linux/i2c.h>
#include <linux/mutex.h>
#include <linux/spinlock.h>

#define KSTHID_VENDOR_ID 0x3a5c
#define KSTHID_PRODUCT_ID 0x4b17

#define KSTHID_REPORT_LEN 64
#define KSTHID_REPORT_ID 1

enum ksthid_command {
	KSTHID_CMD_VERSION = 0,
	KSTHID_CMD_LEDS = 1,
	KSTHID_CMD_GPIO_CONFIG = 2,
	KSTHID_CMD_GPIO_VALUE = 3,
	KSTHID_CMD_I2C = 6,
};

/* Fields of every request and answer. */
#define KSTHID_COMMAND_BYTE 1
#define KSTHID_DIRECTION_BYTE 2
#define KSTHID_QUERY 1
#define KSTHID_SET_FIELD_BYTE 3
#define KSTHID_STATUS_BYTE 1
#define KSTHID_ANSWER_BYTE 2

/* Firmware version answer: major, minor, year (two bytes), month, day. */
#define KSTHID_VERSION_LEN 6

/* LED pair: bit 0 is LED 0, the board's module indicator. */
#define KSTHID_INDICATOR_LED BIT(0)

/*
 * GPIO: two value bytes of eight lines each and, at the same places, two
 * configuration bytes (a bit of 1 makes its line push-pull, 0 open-drain)
 * and a configuration flag byte. The value query's own flag asks for the pin
 * levels rather than the output latches.
 */
#define KSTHID_GPIO_LINES 16
#define KSTHID_GPIO_CONFIG_LEN 3
#define KSTHID_GPIO_VALUE_LEN 2
#define KSTHID_GPIO_LEVELS 1

/*
 * I2C transaction: the 8-bit address (bit 0 set for a read), the data count,
 * the register-address length, then the register address and, for a write,
 * the data. The answer's status byte is 0 on success; read data follow it.
 */
#define KSTHID_I2C_ADDRESS_BYTE 2
#define KSTHID_I2C_COUNT_BYTE 3
#define KSTHID_I2C_REGISTER_LEN_BYTE 4
#define KSTHID_I2C_PAYLOAD_BYTE 5
#define KSTHID_I2C_READ_DATA_BYTE 2
#define KSTHID_I2C_MAX_READ (KSTHID_REPORT_LEN - KSTHID_I2C_READ_DATA_BYTE)
#define KSTHID_I2C_MAX_WRITE (KSTHID_REPORT_LEN - KSTHID_I2C_PAYLOAD_BYTE)
#define KSTHID_I2C_STATUS_NACK 0x01
#define KSTHID_I2C_STATUS_BUS_HELD 0x02

/* The firmware answers within this time or not at all. */
#define KSTHID_ANSWER_MS 6000

struct ksthid_board {
	struct hid_device *hdev;
	/* One request outstanding; also orders GPIO read-modify-writes. */
	struct mutex lock;

	/* What .raw_event shares with the waiting request. */
	spinlock_t answer_lock;
	struct completion answered;
	bool awaiting;
	/* A request timed out: its answer may still come until late_deadline. */
	bool late_pending;
	unsigned long late_deadline;
	bool gone;
	int answer_error;
	u8 answer[KSTHID_REPORT_LEN];
	/* Requests go out from here: heap memory of their own, for USB. */
	u8 *request;

	struct i2c_adapter adapter;
	bool adapter_added;
	struct gpio_chip chip;
	bool chip_added;
	/* Guarded by lock: what the board was last told. */
	u8 gpio_config[KSTHID_GPIO_CONFIG_LEN];
	u8 gpio_latch[KSTHID_GPIO_VALUE_LEN];
};

/* ksthid_exchange.c; callers hold board->lock. */
u8 *ksthid_new_request(struct ksthid_board *board, enum ksthid_command command);
int ksthid_send(struct ksthid_board *board);
int ksthid_query(struct ksthid_board *board);
int ksthid_raw_event(struct ksthid_board *board, const u8 *data, int size);
void ksthid_unplugged(struct ksthid_board *board);

/* ksthid_i2c.c */
int ksthid_i2c_add(struct ksthid_board *board, const char *name);
void ksthid_i2c_remove(struct ksthid_board *board);

/* ksthid_gpio.c */
int ksthid_gpio_add(struct ksthid_board *board, const char *label);
void ksthid_gpio_remove(struct ksthid_board *board);

/* ksthid_attributes.c */
extern const struct attribute_group *ksthid_board_groups[];
extern const struct attribute_group *ksthid_driver_groups[];

/* ksthid_claims.c: which boards the kernel drives, by serial number. */
bool ksthid_claimed(struct hid_device *hdev);
int ksthid_claim(struct hid_device *hdev, bool claim);
void ksthid_forget_claims(void);

#endif
