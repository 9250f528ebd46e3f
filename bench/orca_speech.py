"""Orca over a long list: for each number of customers, the program filled
that far before it shows (corvale_filled), then a blind user's steps, each
timed from the key (xdotool) to Orca's first word of what the step should
say (speech-dispatcher writing to a file, as in the Orca test), with the
program's CPU time from /proc from the key until Orca is quiet, and the
longest time in that span that the program's event loop did not turn (the
longest hold: what a user waits for a key to take effect). Then the
program's resident memory before and after a screen reader visits the
list's entries one by one. Prints one table.
Run under a window manager, through the end-to-end runner:

    sh tests/e2e/run-e2e --wm openbox build/bench/corvale_filled build/bench-orca \\
        ../../bench/orca_speech.py 10000 100000 1000000

A step that Orca leaves unsaid for STEP_TIMEOUT seconds reads "-". With
--without-orca first, no screen reader runs: each step reads "-", with the
program's CPU time over the same QUIET seconds, to compare with.
"""

import os
import sys
import tempfile
import time

from desk import Desk, cpu_seconds, wait_for, xdotool
from screenreader import QUIET, ScreenReader

PROGRAM = os.environ["CORVALE_PROGRAM"]
OUT = os.environ.get("CORVALE_SHOTS", ".")
MAIN = Desk.MAIN_TITLE
STEP_TIMEOUT = 120.0
# A screen reader's walk of the entries stops after this many.
WALKED = 100_000


def rss_mb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0.0


def load():
    with open("/proc/loadavg") as loadavg:
        return loadavg.read().split()[0]


class NoScreenReader:
    """Stands in for Orca: hears nothing, and is quiet after QUIET seconds."""

    def mark(self):
        return 0

    def lines(self):
        return []

    def said(self, since=None, wait_for=None, timeout=None):
        return self.quiet(since)

    def quiet(self, since):
        time.sleep(QUIET)
        return []

    def stop(self):
        pass


class Run:
    """The program at one size, read by Orca."""

    def __init__(self, orca, count):
        self.orca, self.count = orca, count
        self.step_size = 10_000_000 // count
        self.errors = tempfile.TemporaryFile(mode="w+")
        mark = orca.mark()
        started = time.monotonic()
        self.holds = tempfile.NamedTemporaryFile(mode="r", suffix=".holds")
        self.desk = Desk(PROGRAM, args=[str(count), self.holds.name], start_timeout=3600,
                         stderr=self.errors)
        self.pid = self.desk.process.pid
        orca.said(mark, lambda lines: any(MAIN in s for s in lines), timeout=STEP_TIMEOUT)
        if isinstance(orca, NoScreenReader):
            wait_for("the keyboard", lambda: self.desk.focused() is not None, STEP_TIMEOUT)
        self.start_seconds = time.monotonic() - started
        self.results = {}

    def id(self, row):
        return f"C{row * self.step_size:07d}"

    def settle(self, *keys):
        """Presses keys, each once Orca has finished with the one before."""
        for key in keys:
            mark = self.orca.mark()
            xdotool("key", "--clearmodifiers", key)
            try:
                self.orca.said(mark, timeout=STEP_TIMEOUT)
            except AssertionError:
                pass

    def focus(self, name):
        """Tabs until the control named name has the focus, and Orca is quiet."""
        self.desk.tab_to(name, STEP_TIMEOUT)
        self.orca.quiet(self.orca.mark())

    def step(self, name, keys, expected, typed=None, then=()):
        """Times from the first key to Orca's first word, and the program's
        CPU until Orca is quiet; checks that expected was said."""
        mark = self.orca.mark()
        cpu = cpu_seconds(self.pid) * 1000
        started = time.monotonic()
        if typed:
            xdotool("type", "--delay", "10", typed)
        for key in keys:
            xdotool("key", "--clearmodifiers", key)
        after_keys = time.monotonic()
        for key in then:
            xdotool("key", "--clearmodifiers", key)
        if then:
            started = after_keys
        delay = None
        deadline = time.monotonic() + (0 if isinstance(self.orca, NoScreenReader)
                                       else STEP_TIMEOUT)
        while time.monotonic() < deadline:
            if expected in " ".join(self.orca.lines()[mark:]):
                delay = time.monotonic() - started
                break
            time.sleep(0.005)
        said = self.orca.quiet(mark)
        spent = cpu_seconds(self.pid) * 1000 - cpu
        held = self.longest_hold(started, time.monotonic())
        print(f"  {self.count} {name}: {' | '.join(said)[:160]}", flush=True)
        self.results[name] = (delay, spent, held, load())

    def longest_hold(self, started, ended):
        """The longest the event loop stood still between the two times, in ms."""
        self.holds.seek(0)
        longest = 0.0
        for line in self.holds:
            end, length = map(float, line.split())
            if started * 1000 <= end <= ended * 1000 + 100:
                longest = max(longest, length)
        return longest

    def walk(self):
        """A screen reader visiting the entries one by one."""
        node = None
        for role in (Desk.LIST_ROLE, "list"):
            try:
                node = self.desk.control(MAIN, role, "Customer List")
                break
            except AssertionError:
                continue
        before = rss_mb(self.pid)
        started = time.monotonic()
        walked = min(node.childCount, WALKED)
        for index in range(walked):
            child = node.getChildAtIndex(index)
            if child is not None:
                child.name
        self.results["walk"] = (before, rss_mb(self.pid), walked, time.monotonic() - started)

    def key_waits(self):
        """Keys that Qt held for Orca's keyboard listener until its timeout."""
        self.errors.seek(0)
        return sum("keyEventError" in line for line in self.errors)

    def close(self):
        self.desk.close()
        self.errors.close()
        self.holds.close()


STEPS = ["Tab into the list", "End", 'type "C05"', "Down", "PageDown", "Home",
         "Down, right after re-entering the list", "Alt+N (message box)",
         "Enter on Add", "Alt+R (remove dialog)", "Enter on Remove"]


def measure(orca, count):
    run = Run(orca, count)
    try:
        run.results["rss at start"] = rss_mb(run.pid)
        run.focus("Exit")
        run.step("Tab into the list", ["Tab"], "Customer List")
        run.step("End", ["End"], run.id(count - 1))
        run.step('type "C05"', [], run.id(count // 20), typed="C05")
        run.step("Down", ["Down"], run.id(count // 20 + 1))
        run.step("PageDown", ["Next"], "C")
        run.step("Home", ["Home"], run.id(0))
        run.focus("Exit")
        run.step("Down, right after re-entering the list", ["Tab"], run.id(1), then=["Down"])
        run.step("Alt+N (message box)", ["alt+n"], "customers")
        run.settle("Return")
        run.settle("alt+a")
        xdotool("type", "--delay", "10", "C0000000x")
        run.settle("Tab")
        xdotool("type", "--delay", "10", "Smith")
        run.step("Enter on Add", ["Return"], "added")
        run.focus("Customer List")
        run.settle("Home")
        run.step("Alt+R (remove dialog)", ["alt+r"], "Remove this record?")
        run.step("Enter on Remove", ["Return"], "removed")
        run.walk()
        run.results["key waits"] = run.key_waits()
        run.results["start"] = run.start_seconds
    finally:
        run.close()
    return run.results


def main():
    arguments = sys.argv[1:]
    without = arguments[:1] == ["--without-orca"]
    counts = [int(arg) for arg in arguments[without:]] or [10_000, 100_000, 1_000_000]
    orca = NoScreenReader() if without else ScreenReader(OUT)
    columns = {}
    try:
        for count in counts:
            columns[count] = measure(orca, count)
    finally:
        orca.stop()
    print()
    print("| step: speech delay s (program CPU ms; longest hold ms) [load] | "
          + " | ".join(f"{count:,}" for count in counts) + " |")
    print("|---" * (len(counts) + 1) + "|")
    for name in STEPS:
        cells = []
        for count in counts:
            delay, spent, held, at_load = columns[count].get(name, (None, 0, 0, "?"))
            shown = "-" if delay is None else f"{delay:.2f}"
            cells.append(f"{shown} ({spent:.0f}; {held:.0f}) [{at_load}]")
        print(f"| {name} | " + " | ".join(cells) + " |")
    print("| RSS MB at start / before / after visiting entries (entries, s) | " + " | ".join(
        "{:.0f} / {:.0f} / {:.0f} ({:,}, {:.0f})".format(columns[count]["rss at start"],
                                                       *columns[count]["walk"])
        for count in counts) + " |")
    print("| keys Qt held for Orca until its timeout | "
          + " | ".join(str(columns[count]["key waits"]) for count in counts) + " |")
    print("| start to main window heard, s | "
          + " | ".join(f"{columns[count]['start']:.1f}" for count in counts) + " |")


if __name__ == "__main__":
    main()
