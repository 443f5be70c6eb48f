// SPDX-License-Identifier: GPL-2.0
/*
 * Requests and answers of one board. Callers hold board->lock, so one request
 * is outstanding at a time; .raw_event hands its answer over under
 * answer_lock. Whatever the device sends is checked before use, and a report
 * that comes when no answer is awaited is dropped.
 *
 * An answer that comes after its request timed out must not be taken for the
 * answer of the next request: until it has come, or the firmware's time to
 * answer is over, the next query waits.
 */
#include <linux/jiffies.h>
#include <linux/minmax.h>

#include "ksthid_driver.h"

u8 *ksthid_new_request(struct ksthid_board *board, enum ksthid_command command)
{
	memset(board->request, 0, KSTHID_REPORT_LEN);
	board->request[0] = KSTHID_REPORT_ID;
	board->request[KSTHID_COMMAND_BYTE] = command;
	return board->request;
}

int ksthid_send(struct ksthid_board *board)
{
	int ret;

	if (READ_ONCE(board->gone))
		return -ENODEV;
	ret = hid_hw_output_report(board->hdev, board->request, KSTHID_REPORT_LEN);
	if (READ_ONCE(board->gone))
		return -ENODEV;
	if (ret < 0)
		return ret;
	return ret == KSTHID_REPORT_LEN ? 0 : -EIO;
}

static int ksthid_wait_out_late_answer(struct ksthid_board *board)
{
	unsigned long flags;
	long left = 0;

	spin_lock_irqsave(&board->answer_lock, flags);
	if (board->late_pending && time_before(jiffies, board->late_deadline))
		left = board->late_deadline - jiffies;
	else
		board->late_pending = false;
	spin_unlock_irqrestore(&board->answer_lock, flags);
	if (!left)
		return 0;

	left = wait_for_completion_killable_timeout(&board->answered, left);
	if (left < 0)
		return left;
	spin_lock_irqsave(&board->answer_lock, flags);
	board->late_pending = false;
	spin_unlock_irqrestore(&board->answer_lock, flags);
	return 0;
}

/* Sends the request and waits for its answer, which is in board->answer. */
int ksthid_query(struct ksthid_board *board)
{
	unsigned long timeout = min_t(unsigned long, READ_ONCE(board->adapter.timeout),
				      msecs_to_jiffies(KSTHID_ANSWER_MS));
	unsigned long flags, sent;
	bool delivered;
	long left;
	int ret;

	ret = ksthid_wait_out_late_answer(board);
	if (ret)
		return ret;

	spin_lock_irqsave(&board->answer_lock, flags);
	if (board->gone) {
		spin_unlock_irqrestore(&board->answer_lock, flags);
		return -ENODEV;
	}
	reinit_completion(&board->answered);
	board->awaiting = true;
	board->answer_error = 0;
	spin_unlock_irqrestore(&board->answer_lock, flags);

	sent = jiffies;
	ret = ksthid_send(board);
	delivered = !ret;
	if (delivered) {
		left = wait_for_completion_killable_timeout(&board->answered, timeout);
		ret = left > 0 ? 0 : left == 0 ? -ETIMEDOUT : left;
	}

	spin_lock_irqsave(&board->answer_lock, flags);
	if (board->gone) {
		ret = -ENODEV;
	} else if (!board->awaiting) {
		ret = board->answer_error;
	} else {
		/* Unanswered: a request that reached the board may be answered late. */
		board->awaiting = false;
		board->late_pending = delivered;
		board->late_deadline = sent + msecs_to_jiffies(KSTHID_ANSWER_MS);
	}
	spin_unlock_irqrestore(&board->answer_lock, flags);
	return ret;
}

/*
 * In the USB completion's context. The awaited answer is a whole report with
 * the report ID; anything else in its place fails the request.
 */
int ksthid_raw_event(struct ksthid_board *board, const u8 *data, int size)
{
	unsigned long flags;

	spin_lock_irqsave(&board->answer_lock, flags);
	if (board->awaiting) {
		if (size == KSTHID_REPORT_LEN && data[0] == KSTHID_REPORT_ID) {
			memcpy(board->answer, data, KSTHID_REPORT_LEN);
			board->answer_error = 0;
		} else {
			board->answer_error = -EPROTO;
		}
		board->awaiting = false;
		complete(&board->answered);
	} else if (board->late_pending) {
		board->late_pending = false;
		complete(&board->answered);
	}
	spin_unlock_irqrestore(&board->answer_lock, flags);
	return 0;
}

/* Ends the outstanding request at once; every later one fails. */
void ksthid_unplugged(struct ksthid_board *board)
{
	unsigned long flags;

	spin_lock_irqsave(&board->answer_lock, flags);
	WRITE_ONCE(board->gone, true);
	board->awaiting = false;
	board->late_pending = false;
	complete_all(&board->answered);
	spin_unlock_irqrestore(&board->answer_lock, flags);
}
