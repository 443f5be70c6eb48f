"""The chip's trains from Python, seen on the virtual chip."""

import ksthid
import pytest

import qv6180


def test_a_send_brings_the_register_to_its_value_in_the_calls_it_names(board, chip_seen):
    qv6180.Chip(board).send(0xA0)
    assert chip_seen().dvr == 160
    assert chip_seen().written == qv6180.send_calls(0xA0) == 706


@pytest.mark.parametrize("dvr, kind", [(256, ValueError), (-1, ValueError), (1.5, TypeError)])
def test_values_out_of_range_are_refused_with_nothing_sent(board, chip_seen, dvr, kind):
    with pytest.raises(kind):
        qv6180.Chip(board).send(dvr)
    with pytest.raises(kind):
        qv6180.Chip(board).step(0, dvr)
    assert chip_seen().written == 0


def test_steps_from_the_known_value_then_a_full_send_and_the_store(board, chip_seen):
    chip = qv6180.Chip(board)
    chip.send(100)
    chip.step(100, 104)
    chip.step(104, 98)
    assert chip_seen().dvr == 98
    chip.send(98)
    chip.store()
    assert chip_seen()[:2] == (98, 98)
    assert qv6180.step_calls(104, 98) == 2 + 2 * 6


def test_progress_is_told_each_step_and_its_exception_stops_the_send(board, chip_seen):
    chip = qv6180.Chip(board)
    chip.send(0)
    told = []

    def progress(done, in_all):
        told.append((done, in_all))
        if done == 3:
            raise KeyboardInterrupt

    with pytest.raises(KeyboardInterrupt):
        chip.send(200, progress)
    assert told == [(1, 312), (2, 312), (3, 312)]
    assert chip_seen().dvr == 3


def test_a_chip_opens_and_closes_a_board_it_is_given_by_name(board):
    with qv6180.Chip("sim:1") as chip:
        assert chip.board.path == "sim:1"
        chip.park()
    with pytest.raises(ValueError, match="closed"):
        chip.park()
    qv6180.Chip(board).close()
    qv6180.Chip(board).park()  # the caller's board stays open


def test_a_board_pulled_out_raises_the_ksthid_exception():
    with qv6180.Chip("sim:1") as chip:
        ksthid.unplug_virtual("sim:1")
        try:
            with pytest.raises(ksthid.BoardGone):
                chip.send(10)
            with pytest.raises(ksthid.BoardGone):
                chip.store()
        finally:
            ksthid.plug_in_virtual("sim:1")
