"""Prints how many entries typed ahead in bursts arrive whole: for each pace
(ms between keys), CORVALE_BURSTS bursts (default 10) of two entries each
(Alt+A, the ID, Tab, a name, Enter), then the entries the list shows as typed
and those missing or mangled. Not a test: the figures are for reading.
    sh tests/e2e/run-e2e --wm openbox build/app/corvale build/e2e measure_fast_keys.py"""

import os
import time

from desk import Desk, burst

PROGRAM = os.environ["CORVALE_PROGRAM"]
WM = os.environ.get("CORVALE_WM", "no window manager")
BURSTS = int(os.environ.get("CORVALE_BURSTS", "10"))
DELAYS = (0, 5, 15, 30)


def settle(desk):
    """Waits for the windows to close; closes what stays open. Returns
    whether anything had to be closed."""
    try:
        desk.wait_windows_closed(timeout=3)
        return False
    except AssertionError:
        for _ in range(4):
            if not desk.dialog_showing() and desk.message() is None:
                break
            desk.key("Escape")
            time.sleep(0.3)
        return True


def main():
    desk = Desk(PROGRAM)
    try:
        before = set()
        for delay in DELAYS:
            expected, stuck = [], 0
            for number in range(BURSTS):
                keys = []
                for suffix in "ab":
                    customer = f"k{delay}x{number}{suffix}"
                    expected.append(customer)
                    keys += ["alt+a", *customer, "Tab", "n", "Return"]
                burst(delay, *keys)
                stuck += settle(desk)
            time.sleep(0.3)
            entries = set(desk.list_entries()) - before
            before |= entries
            whole = len(entries & set(expected))
            print(f"{WM}: {delay} ms a key: {whole} of {len(expected)} entries whole, "
                  f"{len(expected) - whole} lost or mangled {sorted(entries - set(expected))}, "
                  f"{stuck} bursts left a window open", flush=True)
    finally:
        desk.close()


if __name__ == "__main__":
    main()
