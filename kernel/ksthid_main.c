// SPDX-License-Identifier: GPL-2.0
/*
 * HID driver for the USB HID bridge of the QV6180 evaluation board.
 *
 * The driver binds every bridge, and by default does what hid-generic would:
 * it connects hidraw and leaves the board to the user-space library. A board
 * claimed through the driver's claim attribute is the kernel's instead: no
 * hidraw, an I2C adapter and a GPIO chip. Never both, since an answer carries
 * nothing that names its request.
 */
#include <linux/module.h>
#include <linux/slab.h>

#include "ksthid_driver.h"

static int ksthid_start(struct ksthid_board *board)
{
	struct hid_device *hdev = board->hdev;
	const char *name;
	int ret;

	name = devm_kasprintf(&hdev->dev, GFP_KERNEL, "ksthid %s %s", hdev->uniq, hdev->phys);
	if (!name)
		return -ENOMEM;
	ret = ksthid_i2c_add(board, name);
	if (ret)
		return ret;
	ret = ksthid_gpio_add(board, name);
	if (ret)
		goto remove_adapter;
	ret = sysfs_create_groups(&hdev->dev.kobj, ksthid_board_groups);
	if (ret)
		goto remove_chip;
	hid_info(hdev, "%s: i2c-%d\n", name, board->adapter.nr);
	return 0;

remove_chip:
	ksthid_gpio_remove(board);
remove_adapter:
	ksthid_i2c_remove(board);
	return ret;
}

/* Whatever is still waiting ends at once; nobody is inside when this returns. */
static void ksthid_stop(struct ksthid_board *board)
{
	ksthid_unplugged(board);
	sysfs_remove_groups(&board->hdev->dev.kobj, ksthid_board_groups);
	ksthid_i2c_remove(board);
	ksthid_gpio_remove(board);
	mutex_lock(&board->lock);
	mutex_unlock(&board->lock);
}

/* A claimed board: no hidraw; the I2C adapter, the GPIO chip and sysfs. */
static int ksthid_drive(struct hid_device *hdev)
{
	struct ksthid_board *board;
	int ret;

	board = devm_kzalloc(&hdev->dev, sizeof(*board), GFP_KERNEL);
	if (!board)
		return -ENOMEM;
	board->request = devm_kzalloc(&hdev->dev, KSTHID_REPORT_LEN, GFP_KERNEL);
	if (!board->request)
		return -ENOMEM;
	board->hdev = hdev;
	mutex_init(&board->lock);
	spin_lock_init(&board->answer_lock);
	init_completion(&board->answered);
	board->adapter.timeout = HZ;
	hid_set_drvdata(hdev, board);

	ret = hid_hw_start(hdev, 0);
	if (ret)
		return ret;
	ret = hid_hw_open(hdev);
	if (ret)
		goto stop_hw;
	/* Answers come through from here on, also during the rest of probe. */
	hid_device_io_start(hdev);
	ret = ksthid_start(board);
	if (ret)
		goto close_hw;
	return 0;

close_hw:
	hid_hw_close(hdev);
stop_hw:
	hid_hw_stop(hdev);
	return ret;
}

/*
 * A claimed board that cannot be driven (its firmware does not answer, say)
 * is left to hidraw rather than to no driver at all, so that it can still be
 * released or used by the library.
 */
static int ksthid_probe(struct hid_device *hdev, const struct hid_device_id *id)
{
	int ret;

	hid_set_drvdata(hdev, NULL);
	ret = hid_parse(hdev);
	if (ret)
		return ret;
	if (ksthid_claimed(hdev)) {
		ret = ksthid_drive(hdev);
		if (!ret)
			return 0;
		hid_set_drvdata(hdev, NULL);
		hid_err(hdev, "cannot drive the board (%d): hidraw has it\n", ret);
	}
	return hid_hw_start(hdev, HID_CONNECT_HIDRAW);
}

static void ksthid_remove(struct hid_device *hdev)
{
	struct ksthid_board *board = hid_get_drvdata(hdev);

	if (board) {
		ksthid_stop(board);
		hid_hw_close(hdev);
	}
	hid_hw_stop(hdev);
}

static int ksthid_hid_raw_event(struct hid_device *hdev, struct hid_report *report, u8 *data,
				int size)
{
	struct ksthid_board *board = hid_get_drvdata(hdev);

	return board ? ksthid_raw_event(board, data, size) : 0;
}

static const struct hid_device_id ksthid_devices[] = {
	{ HID_USB_DEVICE(KSTHID_VENDOR_ID, KSTHID_PRODUCT_ID) },
	{}
};
MODULE_DEVICE_TABLE(hid, ksthid_devices);

static struct hid_driver ksthid_driver = {
	.name = "ksthid",
	.id_table = ksthid_devices,
	.probe = ksthid_probe,
	.remove = ksthid_remove,
	.raw_event = ksthid_hid_raw_event,
	.driver = {
		.groups = ksthid_driver_groups,
	},
};

static int __init ksthid_init(void)
{
	return hid_register_driver(&ksthid_driver);
}

static void __exit ksthid_exit(void)
{
	hid_unregister_driver(&ksthid_driver);
	ksthid_forget_claims();
}

module_init(ksthid_init);
module_exit(ksthid_exit);

MODULE_DESCRIPTION("QV6180 evaluation board's USB HID bridge as I2C adapter and GPIO chip");
MODULE_LICENSE("GPL");
