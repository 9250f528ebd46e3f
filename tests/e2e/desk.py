"""Drives the real corvale in an X server as a person would: keys and mouse
through xdotool, and reads the screen the way a screen reader does, through
the accessibility bus."""

import ctypes
import os
import subprocess
import time
import warnings

import pyatspi
from gi.repository import Atspi, GLib

TIMEOUT = 10.0
# pyatspi still calls libatspi's older names; their warnings are not ours.
warnings.filterwarnings("ignore", category=DeprecationWarning)


def wait_for(what, fn, timeout=TIMEOUT):
    """Polls fn until it returns something true, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        pump()
        value = fn()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)


def pump():
    """Lets the accessibility library take in what the bus has sent."""
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True,
                          capture_output=True, text=True).stdout


class X11:
    """The little of Xlib that xdotool does not offer: sending a window the
    close request a window manager sends."""

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
                    ("pad", ctypes.c_long * 24)]

    def __init__(self):
        self.lib = ctypes.cdll.LoadLibrary("libX11.so.6")
        self.lib.XOpenDisplay.restype = ctypes.c_void_p
        self.lib.XInternAtom.restype = ctypes.c_ulong
        self.lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                        ctypes.c_long, ctypes.c_void_p]
        self.lib.XFlush.argtypes = [ctypes.c_void_p]
        self.display = self.lib.XOpenDisplay(None)
        assert self.display, "no X display"

    def send_delete_window(self, window):
        protocols = self.lib.XInternAtom(self.display, b"WM_PROTOCOLS", 0)
        delete = self.lib.XInternAtom(self.display, b"WM_DELETE_WINDOW", 0)
        event = self.ClientMessage()
        event.type = 33  # ClientMessage
        event.send_event = 1
        event.window = window
        event.message_type = protocols
        event.format = 32
        event.data[0] = delete
        event.data[1] = 0  # CurrentTime
        self.lib.XSendEvent(self.display, window, 0, 0, ctypes.byref(event))
        self.lib.XFlush(self.display)


class Desk:
    """One run of the program."""

    MAIN_TITLE = "Parcelwick - Customer Information"
    DIALOG_TITLE = "Customer Data Form"

    def __init__(self, program, prefix=()):
        pyatspi.Registry.getDesktop(0)  # the registry must be up before the program starts
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        self.process = subprocess.Popen([*prefix, program], env=env)
        self.app = wait_for("the program on the accessibility bus", self._find_app)
        self.app.set_cache_mask(Atspi.Cache.NONE)
        self.main_window = self.window_id(self.MAIN_TITLE)
        wait_for("the main window", lambda: self.frame(self.MAIN_TITLE))
        wait_for("the keyboard", lambda: self.focused() is not None)

    def _find_app(self):
        # Each test has its own bus, so the program is the only one there.
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "Corvale":
                return app
        return None

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    # What is on the screen.
    def window_id(self, title):
        out = wait_for(f"window {title!r}", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
            capture_output=True, text=True).stdout.split())
        return int(out[0])

    def window_name(self, window):
        return xdotool("getwindowname", window).rstrip("\n")

    def frames(self):
        """The program's top-level windows now showing, by role and name."""
        result = []
        for child in self.app:
            if child is not None and child.getState().contains(pyatspi.STATE_SHOWING):
                result.append(child)
        return result

    def frame(self, name):
        return next((f for f in self.frames() if f.name == name), None)

    def controls(self, frame):
        found = []

        def walk(node):
            for child in node:
                if child is None:
                    continue
                found.append(child)
                walk(child)
        walk(frame)
        return found

    def control(self, frame_name, role, name):
        frame = wait_for(f"window {frame_name!r}", lambda: self.frame(frame_name))
        for node in self.controls(frame):
            if node.getRoleName() == role and node.name == name:
                return node
        raise AssertionError(f"no {role} {name!r} in {frame_name!r}")

    def focused(self):
        """The control with the keyboard focus, in the active window."""
        for frame in self.frames():
            if not frame.getState().contains(pyatspi.STATE_ACTIVE):
                continue
            for node in self.controls(frame):
                if node.getState().contains(pyatspi.STATE_FOCUSED):
                    return node
        return None

    def focused_name(self):
        node = wait_for("a focused control", self.focused)
        return node.name

    def message(self):
        """The message box showing: (title, text), or None."""
        for frame in self.frames():
            if frame.getRoleName() == "alert":
                texts = [n.name for n in self.controls(frame)
                         if n.getRoleName() == "label" and n.name]
                return frame.name, " ".join(texts)
        return None

    def wait_message(self):
        return wait_for("a message box", self.message)

    def text(self, name):
        node = self.control(self.DIALOG_TITLE, "text", name)
        text = node.queryText()
        return text.getText(0, text.characterCount)

    def list_entries(self):
        node = self.control(self.MAIN_TITLE, "list", "Customer List")
        return [child.name for child in node if child is not None]

    def extents(self, node):
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return (box.x, box.y, box.width, box.height)

    def dialog_showing(self):
        return self.frame(self.DIALOG_TITLE) is not None

    # What a person does.
    def key(self, *keys):
        for key in keys:
            xdotool("key", "--clearmodifiers", key)
            time.sleep(0.05)

    def type(self, text):
        xdotool("type", "--delay", "10", text)

    def click(self, node, repeat=1):
        x, y, width, height = self.extents(node)
        xdotool("mousemove", "--sync", x + width // 2, y + height // 2)
        xdotool("click", "--repeat", repeat, "--delay", 80, 1)

    def screenshot(self, window, path):
        subprocess.run(["import", "-window", str(window), path], check=True)
