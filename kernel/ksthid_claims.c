// SPDX-License-Identifier: GPL-2.0
/*
 * The boards the kernel drives, by serial number (or, for a board without
 * one, its physical path). A board not listed stays the library's, reached
 * through hidraw; a listed board is driven by the kernel again when it comes
 * back after an unplug.
 */
#include <linux/list.h>
#include <linux/mutex.h>
#include <linux/slab.h>

#include "ksthid_driver.h"

struct ksthid_claim_entry {
	struct list_head node;
	char key[64];
};

static LIST_HEAD(ksthid_claims);
static DEFINE_MUTEX(ksthid_claims_lock);

static const char *ksthid_board_key(struct hid_device *hdev)
{
	return hdev->uniq[0] ? hdev->uniq : hdev->phys;
}

static struct ksthid_claim_entry *ksthid_find_claim(const char *key)
{
	struct ksthid_claim_entry *entry;

	list_for_each_entry(entry, &ksthid_claims, node)
		if (!strcmp(entry->key, key))
			return entry;
	return NULL;
}

bool ksthid_claimed(struct hid_device *hdev)
{
	bool claimed;

	mutex_lock(&ksthid_claims_lock);
	claimed = ksthid_find_claim(ksthid_board_key(hdev));
	mutex_unlock(&ksthid_claims_lock);
	return claimed;
}

/* 1 when the board changes hands, 0 when it stays whose it was. */
int ksthid_claim(struct hid_device *hdev, bool claim)
{
	const char *key = ksthid_board_key(hdev);
	struct ksthid_claim_entry *entry;
	int ret = 0;

	mutex_lock(&ksthid_claims_lock);
	entry = ksthid_find_claim(key);
	if (claim && !entry) {
		entry = kzalloc(sizeof(*entry), GFP_KERNEL);
		if (entry) {
			strscpy(entry->key, key, sizeof(entry->key));
			list_add(&entry->node, &ksthid_claims);
			ret = 1;
		} else {
			ret = -ENOMEM;
		}
	} else if (!claim && entry) {
		list_del(&entry->node);
		kfree(entry);
		ret = 1;
	}
	mutex_unlock(&ksthid_claims_lock);
	return ret;
}

void ksthid_forget_claims(void)
{
	struct ksthid_claim_entry *entry, *next;

	mutex_lock(&ksthid_claims_lock);
	list_for_each_entry_safe(entry, next, &ksthid_claims, node) {
		list_del(&entry->node);
		kfree(entry);
	}
	mutex_unlock(&ksthid_claims_lock);
}
