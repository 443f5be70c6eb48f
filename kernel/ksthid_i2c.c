// SPDX-License-Identifier: GPL-2.0
/*
 * The board's I2C bus as an adapter. The bridge makes one transaction per
 * request: a read or a write of one message, or a one-byte write followed by
 * a read of the same address (the register address of a read). The quirks
 * tell the I2C core so, which then refuses every other shape itself and
 * builds the SMBus transfers that fit from these.
 */
#include "ksthid_driver.h"

static const struct i2c_adapter_quirks ksthid_i2c_quirks = {
	.flags = I2C_AQ_COMB_WRITE_THEN_READ | I2C_AQ_NO_ZERO_LEN,
	.max_num_msgs = 2,
	.max_write_len = KSTHID_I2C_MAX_WRITE,
	.max_read_len = KSTHID_I2C_MAX_READ,
	.max_comb_1st_msg_len = 1,
	.max_comb_2nd_msg_len = KSTHID_I2C_MAX_READ,
};

/* Flags of a message that change nothing on the wire. */
#define KSTHID_I2C_PLAIN_FLAGS (I2C_M_RD | I2C_M_DMA_SAFE)

/* The status byte of an answer, as Documentation/i2c/fault-codes.rst says. */
static int ksthid_i2c_status(u8 status)
{
	switch (status) {
	case 0:
		return 0;
	case KSTHID_I2C_STATUS_NACK:
		return -ENXIO;
	case KSTHID_I2C_STATUS_BUS_HELD:
		return -EBUSY;
	default:
		return -EIO;
	}
}

/* The shapes the quirks let through, checked again at the report's edge. */
static bool ksthid_i2c_fits(const struct i2c_msg *msgs, int num)
{
	const struct i2c_msg *data = &msgs[num - 1];
	bool read = data->flags & I2C_M_RD;
	int i;

	for (i = 0; i < num; i++)
		if ((msgs[i].flags & ~KSTHID_I2C_PLAIN_FLAGS) || msgs[i].addr > 0x7f)
			return false;
	if (num == 2 && (msgs[0].len != 1 || (msgs[0].flags & I2C_M_RD) || !read ||
			 msgs[0].addr != data->addr))
		return false;
	return data->len && data->len <= (read ? KSTHID_I2C_MAX_READ : KSTHID_I2C_MAX_WRITE);
}

static int ksthid_i2c_xfer(struct i2c_adapter *adapter, struct i2c_msg *msgs, int num)
{
	struct ksthid_board *board = i2c_get_adapdata(adapter);
	const struct i2c_msg *data = &msgs[num - 1];
	bool read = data->flags & I2C_M_RD;
	u8 *request;
	int ret;

	if (num < 1 || num > 2 || !ksthid_i2c_fits(msgs, num))
		return -EOPNOTSUPP;

	mutex_lock(&board->lock);
	request = ksthid_new_request(board, KSTHID_CMD_I2C);
	request[KSTHID_I2C_ADDRESS_BYTE] = data->addr << 1 | (read ? 1 : 0);
	request[KSTHID_I2C_COUNT_BYTE] = data->len;
	if (num == 2) {
		request[KSTHID_I2C_REGISTER_LEN_BYTE] = 1;
		request[KSTHID_I2C_PAYLOAD_BYTE] = msgs[0].buf[0];
	} else if (!read) {
		memcpy(request + KSTHID_I2C_PAYLOAD_BYTE, data->buf, data->len);
	}
	ret = ksthid_query(board);
	if (!ret)
		ret = ksthid_i2c_status(board->answer[KSTHID_STATUS_BYTE]);
	if (!ret && read)
		memcpy(data->buf, board->answer + KSTHID_I2C_READ_DATA_BYTE, data->len);
	mutex_unlock(&board->lock);
	return ret ? ret : num;
}

/*
 * No quick command (no zero-length messages), no SMBus block read (its count
 * comes with the data), no process calls (their first message is longer than
 * a register address), no ten-bit addresses.
 */
static u32 ksthid_i2c_functionality(struct i2c_adapter *adapter)
{
	return I2C_FUNC_I2C | I2C_FUNC_SMBUS_BYTE | I2C_FUNC_SMBUS_BYTE_DATA |
	       I2C_FUNC_SMBUS_WORD_DATA | I2C_FUNC_SMBUS_WRITE_BLOCK_DATA |
	       I2C_FUNC_SMBUS_I2C_BLOCK | I2C_FUNC_SMBUS_PEC;
}

static const struct i2c_algorithm ksthid_i2c_algorithm = {
	.master_xfer = ksthid_i2c_xfer,
	.functionality = ksthid_i2c_functionality,
};

int ksthid_i2c_add(struct ksthid_board *board, const char *name)
{
	struct i2c_adapter *adapter = &board->adapter;
	int ret;

	adapter->owner = THIS_MODULE;
	adapter->algo = &ksthid_i2c_algorithm;
	adapter->quirks = &ksthid_i2c_quirks;
	adapter->dev.parent = &board->hdev->dev;
	strscpy(adapter->name, name, sizeof(adapter->name));
	/* Before adding: the core may probe the bus at once. */
	i2c_set_adapdata(adapter, board);
	ret = i2c_add_adapter(adapter);
	board->adapter_added = !ret;
	return ret;
}

void ksthid_i2c_remove(struct ksthid_board *board)
{
	if (board->adapter_added)
		i2c_del_adapter(&board->adapter);
	board->adapter_added = false;
}
