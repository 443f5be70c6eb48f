// SPDX-License-Identifier: GPL-2.0
/*
 * The bridge's 16 GPIO lines as a chip: line n is bit n % 8 of value byte
 * n / 8. A configuration bit of 1 makes its line push-pull, an output; 0
 * makes it open-drain, which drives the line low while its latch is low and
 * releases it, an input, while its latch is high. The board takes all lines' configuration or latches in one report,
 * so the driver keeps what it last sent and changes it under the board's
 * lock; directions come from that copy, levels from the board.
 */
#include <linux/version.h>

#include "ksthid_driver.h"

/* Port 0 is value byte 1, port 1 value byte 2. */
static const char *const ksthid_gpio_names[KSTHID_GPIO_LINES] = {
	"P0_0", "P0_1", "P0_2", "P0_3", "P0_4", "P0_5", "P0_6", "P0_7",
	"P1_0", "P1_1", "P1_2", "P1_3", "P1_4", "P1_5", "P1_6", "P1_7",
};

static u16 ksthid_gpio_word(const u8 *bytes)
{
	return bytes[0] | bytes[1] << 8;
}

static int ksthid_gpio_send_latch(struct ksthid_board *board, u16 latch)
{
	u8 *request = ksthid_new_request(board, KSTHID_CMD_GPIO_VALUE);
	int ret;

	request[KSTHID_SET_FIELD_BYTE] = latch & 0xff;
	request[KSTHID_SET_FIELD_BYTE + 1] = latch >> 8;
	ret = ksthid_send(board);
	if (!ret) {
		board->gpio_latch[0] = latch & 0xff;
		board->gpio_latch[1] = latch >> 8;
	}
	return ret;
}

static int ksthid_gpio_send_config(struct ksthid_board *board, u16 outputs)
{
	u8 *request = ksthid_new_request(board, KSTHID_CMD_GPIO_CONFIG);
	int ret;

	request[KSTHID_SET_FIELD_BYTE] = outputs & 0xff;
	request[KSTHID_SET_FIELD_BYTE + 1] = outputs >> 8;
	request[KSTHID_SET_FIELD_BYTE + 2] = board->gpio_config[2];
	ret = ksthid_send(board);
	if (!ret) {
		board->gpio_config[0] = outputs & 0xff;
		board->gpio_config[1] = outputs >> 8;
	}
	return ret;
}

/* The configuration and the latches as the board has them now. */
static int ksthid_gpio_read_state(struct ksthid_board *board)
{
	u8 *request;
	int ret;

	request = ksthid_new_request(board, KSTHID_CMD_GPIO_CONFIG);
	request[KSTHID_DIRECTION_BYTE] = KSTHID_QUERY;
	ret = ksthid_query(board);
	if (ret)
		return ret;
	memcpy(board->gpio_config, board->answer + KSTHID_ANSWER_BYTE, KSTHID_GPIO_CONFIG_LEN);

	request = ksthid_new_request(board, KSTHID_CMD_GPIO_VALUE);
	request[KSTHID_DIRECTION_BYTE] = KSTHID_QUERY;
	ret = ksthid_query(board);
	if (!ret)
		memcpy(board->gpio_latch, board->answer + KSTHID_ANSWER_BYTE, KSTHID_GPIO_VALUE_LEN);
	return ret;
}

/* An open-drain line with its latch low drives it low: an output too. */
static int ksthid_gpio_get_direction(struct gpio_chip *chip, unsigned int offset)
{
	struct ksthid_board *board = gpiochip_get_data(chip);
	bool output;

	mutex_lock(&board->lock);
	output = (ksthid_gpio_word(board->gpio_config) | ~ksthid_gpio_word(board->gpio_latch)) &
		 BIT(offset);
	mutex_unlock(&board->lock);
	return output ? GPIO_LINE_DIRECTION_OUT : GPIO_LINE_DIRECTION_IN;
}

/*
 * Order matters on a line that a device watches: an input is made
 * open-drain before its latch is released, an output gets its level before
 * it is driven, so that no line shows a level it was not asked for.
 */
static int ksthid_gpio_direction_input(struct gpio_chip *chip, unsigned int offset)
{
	struct ksthid_board *board = gpiochip_get_data(chip);
	int ret;

	mutex_lock(&board->lock);
	ret = ksthid_gpio_send_config(board, ksthid_gpio_word(board->gpio_config) & ~BIT(offset));
	if (!ret)
		ret = ksthid_gpio_send_latch(board, ksthid_gpio_word(board->gpio_latch) | BIT(offset));
	mutex_unlock(&board->lock);
	return ret;
}

static int ksthid_gpio_direction_output(struct gpio_chip *chip, unsigned int offset, int value)
{
	struct ksthid_board *board = gpiochip_get_data(chip);
	u16 latch;
	int ret;

	mutex_lock(&board->lock);
	latch = ksthid_gpio_word(board->gpio_latch) & ~BIT(offset);
	ret = ksthid_gpio_send_latch(board, latch | (value ? BIT(offset) : 0));
	if (!ret)
		ret = ksthid_gpio_send_config(board, ksthid_gpio_word(board->gpio_config) | BIT(offset));
	mutex_unlock(&board->lock);
	return ret;
}

static int ksthid_gpio_get_multiple(struct gpio_chip *chip, unsigned long *mask,
				    unsigned long *bits)
{
	struct ksthid_board *board = gpiochip_get_data(chip);
	u8 *request;
	int ret;

	mutex_lock(&board->lock);
	request = ksthid_new_request(board, KSTHID_CMD_GPIO_VALUE);
	request[KSTHID_DIRECTION_BYTE] = KSTHID_QUERY;
	request[KSTHID_SET_FIELD_BYTE] = KSTHID_GPIO_LEVELS;
	ret = ksthid_query(board);
	if (!ret)
		*bits = (*bits & ~*mask) |
			(ksthid_gpio_word(board->answer + KSTHID_ANSWER_BYTE) & *mask);
	mutex_unlock(&board->lock);
	return ret;
}

static int ksthid_gpio_get(struct gpio_chip *chip, unsigned int offset)
{
	unsigned long mask = BIT(offset), bits = 0;
	int ret = ksthid_gpio_get_multiple(chip, &mask, &bits);

	return ret ? ret : !!(bits & mask);
}

static int ksthid_gpio_update_latch(struct gpio_chip *chip, unsigned long mask,
				    unsigned long bits)
{
	struct ksthid_board *board = gpiochip_get_data(chip);
	u16 latch;
	int ret;

	mutex_lock(&board->lock);
	latch = (ksthid_gpio_word(board->gpio_latch) & ~mask) | (bits & mask);
	ret = ksthid_gpio_send_latch(board, latch);
	mutex_unlock(&board->lock);
	if (ret)
		dev_err_ratelimited(chip->parent, "setting GPIO lines failed: %d\n", ret);
	return ret;
}

/* Since 6.17 the setters say whether they worked. */
#if LINUX_VERSION_CODE >= KERNEL_VERSION(6, 17, 0)
static int ksthid_gpio_set(struct gpio_chip *chip, unsigned int offset, int value)
{
	return ksthid_gpio_update_latch(chip, BIT(offset), value ? BIT(offset) : 0);
}

static int ksthid_gpio_set_multiple(struct gpio_chip *chip, unsigned long *mask,
				    unsigned long *bits)
{
	return ksthid_gpio_update_latch(chip, *mask, *bits);
}
#else
static void ksthid_gpio_set(struct gpio_chip *chip, unsigned int offset, int value)
{
	ksthid_gpio_update_latch(chip, BIT(offset), value ? BIT(offset) : 0);
}

static void ksthid_gpio_set_multiple(struct gpio_chip *chip, unsigned long *mask,
				     unsigned long *bits)
{
	ksthid_gpio_update_latch(chip, *mask, *bits);
}
#endif

int ksthid_gpio_add(struct ksthid_board *board, const char *label)
{
	struct gpio_chip *chip = &board->chip;
	int ret;

	mutex_lock(&board->lock);
	ret = ksthid_gpio_read_state(board);
	mutex_unlock(&board->lock);
	if (ret)
		return ret;

	chip->label = label;
	chip->parent = &board->hdev->dev;
	chip->owner = THIS_MODULE;
	chip->base = -1;
	chip->ngpio = KSTHID_GPIO_LINES;
	chip->names = ksthid_gpio_names;
	chip->can_sleep = true;
	chip->get_direction = ksthid_gpio_get_direction;
	chip->direction_input = ksthid_gpio_direction_input;
	chip->direction_output = ksthid_gpio_direction_output;
	chip->get = ksthid_gpio_get;
	chip->get_multiple = ksthid_gpio_get_multiple;
	chip->set = ksthid_gpio_set;
	chip->set_multiple = ksthid_gpio_set_multiple;
	ret = gpiochip_add_data(chip, board);
	board->chip_added = !ret;
	return ret;
}

void ksthid_gpio_remove(struct ksthid_board *board)
{
	if (board->chip_added)
		gpiochip_remove(&board->chip);
	board->chip_added = false;
}
