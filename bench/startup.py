"""Start-up: from process start to the main window mapped on the X server,
for corvale and for a minimal Qt Widgets program, alternating, several runs;
prints the medians and their ratio. Run inside an X server (tests/with-xvfb).

    startup.py CORVALE MINIMAL [RUNS]
"""

import ctypes
import statistics
import subprocess
import sys
import time

MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x11.XPending.argtypes = [ctypes.c_void_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]


def time_to_window(display, command):
    """Seconds from starting command to its first top-level window mapped."""
    event = (ctypes.c_long * 24)()
    while x11.XPending(display):
        x11.XNextEvent(display, event)
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = start + 30
        while time.perf_counter() < deadline:
            if x11.XPending(display):
                x11.XNextEvent(display, event)
                if ctypes.cast(event, ctypes.POINTER(ctypes.c_int))[0] == MAP_NOTIFY:
                    return time.perf_counter() - start
            else:
                time.sleep(0.0002)
        raise RuntimeError(f"{command} showed no window")
    finally:
        process.kill()
        process.wait()


def main():
    corvale, minimal = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 15
    display = x11.XOpenDisplay(None)
    x11.XSelectInput(display, x11.XDefaultRootWindow(display), SUBSTRUCTURE_NOTIFY_MASK)
    commands = {"corvale": [corvale], "minimal": [minimal], "text": [minimal, "--text"]}
    times = {name: [] for name in commands}
    for _ in range(runs):
        for name, command in commands.items():
            times[name].append(time_to_window(display, command))
    ours, floor, text = (statistics.median(times[name]) * 1000 for name in commands)
    print(f"start-up over {runs} runs: corvale {ours:.1f} ms, minimal Qt window {floor:.1f} ms;"
          f" corvale/minimal {ours / floor:.2f}; minimal window with one line of text"
          f" {text:.1f} ms, corvale/that {ours / text:.2f}")


if __name__ == "__main__":
    main()
