"""Bus time of the chip's pulse trains from Python, beside tools/bench's
send_bench.cpp for the same trains from C: the longest send (DVR 127), and a
calibration search of eight trials made with full sends against one made with
steps from the value last sent. The virtual boards keep real time, one report
per 1 ms USB frame. Run with
``KSTHID_SIMULATE=1 python3 qv6180_send.py [repetitions]``."""

import sys
import time

import ksthid
import qv6180

kLongestSend = 127
# A search as examples/calibrate.py makes it: a coarse sweep, then the neighbours of the best.
kTrials = (64, 96, 128, 160, 192, 150, 155, 152)


def timed(action) -> float:
    start = time.perf_counter()
    action()
    return time.perf_counter() - start


def main() -> None:
    repetitions = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    with qv6180.Chip(0) as chip:
        calls = qv6180.send_calls(kLongestSend)
        best = min(timed(lambda: chip.send(kLongestSend)) for _ in range(repetitions))
        print(f"send {kLongestSend}: {calls} reports in {best * 1e3:.1f} ms, "
              f"{best * 1e3 / calls:.3f} ms a report")

        def by_sends() -> None:
            for trial in kTrials:
                chip.send(trial)

        def by_steps() -> None:
            chip.send(kTrials[0])
            for known, trial in zip(kTrials, kTrials[1:]):
                chip.step(known, trial)

        send_reports = sum(qv6180.send_calls(trial) for trial in kTrials)
        step_reports = qv6180.send_calls(kTrials[0]) + sum(
            qv6180.step_calls(a, b) for a, b in zip(kTrials, kTrials[1:]))
        for name, search, reports in (("sends", by_sends, send_reports),
                                      ("steps", by_steps, step_reports)):
            best = min(timed(search) for _ in range(repetitions))
            print(f"eight trials by {name}: {reports} reports in {best * 1e3:.0f} ms")


if __name__ == "__main__":
    main()
