// SPDX-License-Identifier: GPL-2.0
/*
 * sysfs: on a board the kernel drives, its firmware version and its module
 * indicator (LED 0, which marks one board among several); on the driver,
 * claim and release, which take a board from the library or give it back.
 */
#include <linux/device.h>
#include <linux/kstrtox.h>
#include <linux/string.h>

#include "ksthid_driver.h"

static ssize_t firmware_version_show(struct device *dev, struct device_attribute *attr,
				     char *buf)
{
	struct ksthid_board *board = hid_get_drvdata(to_hid_device(dev));
	const u8 *version = board->answer + KSTHID_ANSWER_BYTE;
	u8 *request;
	int ret;

	mutex_lock(&board->lock);
	request = ksthid_new_request(board, KSTHID_CMD_VERSION);
	request[KSTHID_DIRECTION_BYTE] = KSTHID_QUERY;
	ret = ksthid_query(board);
	if (!ret)
		ret = sysfs_emit(buf, "%u.%u %04u-%02u-%02u\n", version[0], version[1],
				 version[2] << 8 | version[3], version[4], version[5]);
	mutex_unlock(&board->lock);
	return ret;
}
static DEVICE_ATTR_RO(firmware_version);

/* The LED pair now; callers hold board->lock. */
static int ksthid_read_leds(struct ksthid_board *board)
{
	u8 *request = ksthid_new_request(board, KSTHID_CMD_LEDS);
	int ret;

	request[KSTHID_DIRECTION_BYTE] = KSTHID_QUERY;
	ret = ksthid_query(board);
	return ret ? ret : board->answer[KSTHID_ANSWER_BYTE] & 0x03;
}

static ssize_t module_indicator_show(struct device *dev, struct device_attribute *attr,
				     char *buf)
{
	struct ksthid_board *board = hid_get_drvdata(to_hid_device(dev));
	int leds;

	mutex_lock(&board->lock);
	leds = ksthid_read_leds(board);
	mutex_unlock(&board->lock);
	if (leds < 0)
		return leds;
	return sysfs_emit(buf, "%d\n", !!(leds & KSTHID_INDICATOR_LED));
}

/* The other LED keeps its state. */
static ssize_t module_indicator_store(struct device *dev, struct device_attribute *attr,
				      const char *buf, size_t count)
{
	struct ksthid_board *board = hid_get_drvdata(to_hid_device(dev));
	bool on;
	int leds, ret;

	ret = kstrtobool(buf, &on);
	if (ret)
		return ret;
	mutex_lock(&board->lock);
	leds = ksthid_read_leds(board);
	ret = leds;
	if (leds >= 0) {
		u8 *request = ksthid_new_request(board, KSTHID_CMD_LEDS);

		request[KSTHID_SET_FIELD_BYTE] =
			(leds & ~KSTHID_INDICATOR_LED) | (on ? KSTHID_INDICATOR_LED : 0);
		ret = ksthid_send(board);
	}
	mutex_unlock(&board->lock);
	return ret ? ret : count;
}
static DEVICE_ATTR_RW(module_indicator);

static struct attribute *ksthid_board_attrs[] = {
	&dev_attr_firmware_version.attr,
	&dev_attr_module_indicator.attr,
	NULL,
};

static const struct attribute_group ksthid_board_group = {
	.attrs = ksthid_board_attrs,
};

const struct attribute_group *ksthid_board_groups[] = {
	&ksthid_board_group,
	NULL,
};

/*
 * A board is named as bind and unbind name it (0003:3A5C:4B17.0001); its
 * owner is remembered by its serial number and, when that changed, the driver
 * probes it again, which hands it to the kernel or back to hidraw.
 */
static ssize_t ksthid_switch_owner(struct device_driver *driver, const char *buf, size_t count,
				   bool claim)
{
	char name[32];
	struct device *dev;
	int ret;

	if (count >= sizeof(name))
		return -EINVAL;
	strscpy(name, buf, sizeof(name));
	dev = bus_find_device_by_name(&hid_bus_type, NULL, strim(name));
	if (!dev)
		return -ENODEV;
	ret = -ENODEV;
	if (dev->driver == driver) {
		ret = ksthid_claim(to_hid_device(dev), claim);
		if (ret > 0)
			ret = device_reprobe(dev);
	}
	put_device(dev);
	return ret ? ret : count;
}

static ssize_t claim_store(struct device_driver *driver, const char *buf, size_t count)
{
	return ksthid_switch_owner(driver, buf, count, true);
}
static DRIVER_ATTR_WO(claim);

static ssize_t release_store(struct device_driver *driver, const char *buf, size_t count)
{
	return ksthid_switch_owner(driver, buf, count, false);
}
static DRIVER_ATTR_WO(release);

static struct attribute *ksthid_driver_attrs[] = {
	&driver_attr_claim.attr,
	&driver_attr_release.attr,
	NULL,
};

static const struct attribute_group ksthid_driver_group = {
	.attrs = ksthid_driver_attrs,
};

const struct attribute_group *ksthid_driver_groups[] = {
	&ksthid_driver_group,
	NULL,
};
