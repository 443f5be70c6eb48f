"""Wall and CPU time of one ``gpio.set`` from Python, against which
gpio_set.c measures the same call from C. Run with a virtual board:
``KSTHID_SIMULATE=1 python3 gpio_set.py [calls]``."""

import sys
import time

import ksthid


def main() -> None:
    calls = int(sys.argv[1]) if len(sys.argv) > 1 else 2000
    with ksthid.open(0) as board:
        wall, cpu = time.perf_counter(), time.process_time()
        for _ in range(calls):
            board.gpio.set(0x50, 0x00)
        wall, cpu = time.perf_counter() - wall, time.process_time() - cpu
    print(f"Python: {wall / calls * 1e6:.1f} us wall, {cpu / calls * 1e6:.1f} us CPU per call")


if __name__ == "__main__":
    main()
