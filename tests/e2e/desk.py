"""Drives the real corvale in an X server as a person would: keys and mouse
through xdotool, and reads the screen the way a screen reader does, through
the accessibility bus."""

import ctypes
import os
import subprocess
import tempfile
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


def holds(what, fn, duration=1.5):
    """Polls fn for the duration; fails as soon as it is false."""
    deadline = time.monotonic() + duration
    while time.monotonic() < deadline:
        if not fn():
            raise AssertionError(f"no longer true: {what}")
        time.sleep(0.05)


def pump():
    """Lets the accessibility library take in what the bus has sent."""
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True,
                          capture_output=True, text=True).stdout


def burst(delay, *names):
    """Presses the keys named, delay ms apart, as one burst: as a barcode
    scanner or a hurried typist types them."""
    xdotool("key", "--delay", delay, *names)


def spelled(text):
    """The key names that type text (lower-case letters and digits)."""
    return list(text)


def cpu_seconds(pid):
    """The CPU time the process has taken so far, user and system."""
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def offset(rect, around):
    """How far rect's centre stands from around's: (dx, dy) in px."""
    (x, y, width, height), (ax, ay, awidth, aheight) = rect, around
    return x + width / 2 - (ax + awidth / 2), y + height / 2 - (ay + aheight / 2)


class Clipboard:
    """Owns an X selection with the given text until closed, as an editor
    that copied it would."""

    def __init__(self, text, selection="clipboard"):
        self.file = tempfile.TemporaryFile()
        self.file.write(text.encode())
        self.file.seek(0)
        self.process = subprocess.Popen(["xclip", "-quiet", "-selection", selection],
                                        stdin=self.file, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        wait_for("the selection", lambda: subprocess.run(
            ["xclip", "-o", "-selection", selection, "-t", "TARGETS"],
            capture_output=True).returncode == 0)

    def close(self):
        self.process.kill()
        self.process.wait()
        self.file.close()


class X11:
    """What xdotool does not offer, through Xlib: the properties a window
    manager and the program set on windows (EWMH, ICCCM), where each window
    and its frame stand, and the requests a window manager, a taskbar or a
    pager sends."""

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
                    ("pad", ctypes.c_long * 24)]

    class WindowAttributes(ctypes.Structure):
        _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                    ("height", ctypes.c_int), ("border_width", ctypes.c_int),
                    ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                    ("root", ctypes.c_ulong), ("c_class", ctypes.c_int),
                    ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                    ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                    ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                    ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                    ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                    ("your_event_mask", ctypes.c_long),
                    ("do_not_propagate_mask", ctypes.c_long),
                    ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]

    IS_VIEWABLE = 2
    ICONIC_STATE = 3
    # Windows come and go while they are read; a vanished one reads as absent
    # instead of ending the process, as Xlib's default handler would.
    _ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(
        lambda display, event: 0)

    def __init__(self):
        lib = self.lib = ctypes.cdll.LoadLibrary("libX11.so.6")
        lib.XOpenDisplay.restype = ctypes.c_void_p
        lib.XInternAtom.restype = ctypes.c_ulong
        lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        lib.XGetAtomName.restype = ctypes.c_void_p
        lib.XGetAtomName.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        lib.XFree.argtypes = [ctypes.c_void_p]
        lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                   ctypes.c_long, ctypes.c_void_p]
        lib.XFlush.argtypes = [ctypes.c_void_p]
        lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        lib.XDefaultRootWindow.restype = ctypes.c_ulong
        lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        lib.XGetWindowProperty.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
            ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
        lib.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_void_p]
        lib.XTranslateCoordinates.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_ulong)]
        lib.XSetErrorHandler(self._ERROR_HANDLER)
        self.display = lib.XOpenDisplay(None)
        assert self.display, "no X display"
        self.root = lib.XDefaultRootWindow(self.display)

    def atom(self, name):
        return self.lib.XInternAtom(self.display, name.encode(), 0)

    def atom_name(self, atom):
        pointer = self.lib.XGetAtomName(self.display, atom)
        if not pointer:
            return None
        name = ctypes.string_at(pointer).decode()
        self.lib.XFree(pointer)
        return name

    def property(self, window, name):
        """A 32-bit property's values (windows, atoms, cardinals), or None."""
        kind, format_, count, after = (ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(),
                                       ctypes.c_ulong())
        data = ctypes.c_void_p()
        status = self.lib.XGetWindowProperty(
            self.display, window, self.atom(name), 0, 1 << 22, 0, 0, ctypes.byref(kind),
            ctypes.byref(format_), ctypes.byref(count), ctypes.byref(after),
            ctypes.byref(data))
        if status != 0 or not data:
            return None
        try:
            if format_.value != 32:
                return None
            return list((ctypes.c_long * count.value).from_address(data.value))
        finally:
            self.lib.XFree(data)

    def atoms(self, window, name):
        return [self.atom_name(value) for value in self.property(window, name) or []]

    def transient_for(self, window):
        value = self.property(window, "WM_TRANSIENT_FOR")
        return value[0] if value else None

    def client_list(self):
        """The managed windows, bottom of the stack first."""
        return self.property(self.root, "_NET_CLIENT_LIST_STACKING") or []

    def viewable(self, window):
        attributes = self.WindowAttributes()
        if not self.lib.XGetWindowAttributes(self.display, window, ctypes.byref(attributes)):
            return False
        return attributes.map_state == self.IS_VIEWABLE

    def iconic(self, window):
        state = self.property(window, "WM_STATE")
        return bool(state) and state[0] == self.ICONIC_STATE

    def screen_size(self):
        attributes = self.WindowAttributes()
        self.lib.XGetWindowAttributes(self.display, self.root, ctypes.byref(attributes))
        return attributes.width, attributes.height

    def client_rect(self, window):
        """The window's client area on the screen: (x, y, width, height)."""
        attributes = self.WindowAttributes()
        if not self.lib.XGetWindowAttributes(self.display, window, ctypes.byref(attributes)):
            return None
        x, y, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        self.lib.XTranslateCoordinates(self.display, window, self.root, 0, 0,
                                       ctypes.byref(x), ctypes.byref(y), ctypes.byref(child))
        return x.value, y.value, attributes.width, attributes.height

    def frame_rect(self, window):
        """The window as the user sees it: its client area and the frame the
        window manager reports around it."""
        rect = self.client_rect(window)
        if rect is None:
            return None
        left, right, top, bottom = self.property(window, "_NET_FRAME_EXTENTS") or (0, 0, 0, 0)
        x, y, width, height = rect
        return x - left, y - top, width + left + right, height + top + bottom

    def icons(self, window):
        """The images of _NET_WM_ICON: (width, height, ARGB pixels) each."""
        values = self.property(window, "_NET_WM_ICON") or []
        images = []
        while len(values) >= 2:
            width, height = values[0], values[1]
            images.append((width, height, values[2:2 + width * height]))
            values = values[2 + width * height:]
        return images

    def send(self, window, message, *data, to=None):
        """Sends a client message, to the root window as EWMH asks for
        requests to the window manager."""
        event = self.ClientMessage()
        event.type = 33  # ClientMessage
        event.send_event = 1
        event.window = window
        event.message_type = self.atom(message)
        event.format = 32
        for index, value in enumerate(data):
            event.data[index] = value
        substructure = (1 << 19) | (1 << 20)  # SubstructureNotify, SubstructureRedirect
        target = self.root if to is None else to
        self.lib.XSendEvent(self.display, target, 0, substructure if to is None else 0,
                            ctypes.byref(event))
        self.lib.XFlush(self.display)

    def send_delete_window(self, window):
        self.send(window, "WM_PROTOCOLS", self.atom("WM_DELETE_WINDOW"), 0, to=window)

    def minimize(self, window):
        """What a title bar's Minimize button asks of the window manager."""
        self.send(window, "WM_CHANGE_STATE", self.ICONIC_STATE)

    def activate(self, window):
        """What a taskbar asks when its entry is clicked (source 2: a pager)."""
        self.send(window, "_NET_ACTIVE_WINDOW", 2, 0, 0)

    def wait_framed(self, window, what="the window's frame"):
        """Waits until the window manager has put its frame around the window."""
        wait_for(what, lambda: self.property(window, "_NET_FRAME_EXTENTS") is not None)

    def move_to_corner(self, window, corner):
        """Moves the window's frame into a corner of the screen ("top left",
        "bottom right", ...)."""
        _, _, width, height = self.frame_rect(window)
        screen_width, screen_height = self.screen_size()
        x = 0 if corner.endswith("left") else screen_width - width
        y = 0 if corner.startswith("top") else screen_height - height
        self.move(window, x, y)
        wait_for(f"the window in the {corner} corner",
                 lambda: self.frame_rect(window)[:2] == (x, y))

    def move(self, window, x, y):
        """Moves the window's frame, as a pager would (gravity: north-west)."""
        flags = 1 | (1 << 8) | (1 << 9) | (2 << 12)  # gravity 1, x and y given, from a pager
        self.send(window, "_NET_MOVERESIZE_WINDOW", flags, x, y, 0, 0)

    def active_window(self):
        value = self.property(self.root, "_NET_ACTIVE_WINDOW")
        return value[0] if value else None


def role_name(node):
    """A control's role by the name at-spi2-core gave it before 2.52
    (Debian 12), which calls a push button "button" since."""
    name = node.getRoleName()
    return "push button" if name == "button" else name


class Desk:
    """One run of the program."""

    MAIN_TITLE = "Parcelwick - Customer Information"
    DIALOG_TITLE = "Customer Data Form"
    # The customer list shows as a table of one column (see CListViewAccessible).
    LIST_ROLE = "table"

    def __init__(self, program, prefix=(), env=None, args=(), start_timeout=TIMEOUT,
                 stderr=None, stdout=None, platform="xcb", x11=True):
        """start_timeout: how long the program may take to show its window;
        platform: what the program is told to run on (QT_QPA_PLATFORM), or
        None to let it choose; x11: whether its windows are X11 windows."""
        pyatspi.Registry.getDesktop(0)  # the registry must be up before the program starts
        env = dict(os.environ, **(env or {}), QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        if platform:
            env["QT_QPA_PLATFORM"] = platform
        self.process = subprocess.Popen([*prefix, program, *args], env=env, stdout=stdout,
                                        stderr=stderr)
        self.app = wait_for("the program on the accessibility bus", self._find_app,
                            start_timeout)
        self.app.set_cache_mask(Atspi.Cache.NONE)
        self.main_window = self.window_id(self.MAIN_TITLE, start_timeout) if x11 else None
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
    def window_id(self, title, timeout=TIMEOUT):
        out = wait_for(f"window {title!r}", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
            capture_output=True, text=True).stdout.split(), timeout)
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
                # A list's entries are reached through the list: there may
                # be a million of them.
                if child.getRoleName() != self.LIST_ROLE:
                    walk(child)
        walk(frame)
        return found

    def control(self, frame_name, role, name):
        frame = wait_for(f"window {frame_name!r}", lambda: self.frame(frame_name))
        for node in self.controls(frame):
            if role_name(node) == role and node.name == name:
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
        """The message box showing: (title, text), or None, also for one
        closing while it is read (its objects gone from the bus)."""
        try:
            for frame in self.frames():
                if frame.getRoleName() == "alert":
                    texts = [n.name for n in self.controls(frame)
                             if n.getRoleName() == "label" and n.name]
                    return frame.name, " ".join(texts)
        except GLib.GError:
            pass
        return None

    def wait_message(self):
        return wait_for("a message box", self.message)

    def text(self, name):
        node = self.control(self.DIALOG_TITLE, "text", name)
        text = node.queryText()
        return text.getText(0, text.characterCount)

    def list_entries(self, state=None):
        """The list's entries, or only those in the state (selected, focused)."""
        node = self.control(self.MAIN_TITLE, self.LIST_ROLE, "Customer List")
        return [child.name for child in node
                if child is not None and (state is None or child.getState().contains(state))]

    def wait_entries(self, *entries, timeout=TIMEOUT):
        """Waits until the list shows exactly these entries, in this order;
        fails with those it shows."""
        expected = list(entries)
        try:
            wait_for(f"the list {expected}", lambda: self.list_entries() == expected, timeout)
        except AssertionError:
            raise AssertionError(f"the list shows {self.list_entries()}, not {expected}") from None

    def dialog_heading(self):
        """The dialog's heading, which names what it does (add, remove, display)."""
        labels = [node.name for node in self.controls(self.frame(self.DIALOG_TITLE))
                  if node.getRoleName() == "label" and node.name]
        return next((name for name in labels if name.endswith(("Info", "?", "Display"))), None)

    def extents(self, node):
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return (box.x, box.y, box.width, box.height)

    def dialog_showing(self):
        return self.frame(self.DIALOG_TITLE) is not None

    def wait_active(self, title):
        """Waits until the window has the keyboard, as the program sees it."""
        wait_for(f"{title!r} active", lambda: (frame := self.frame(title)) is not None
                 and frame.getState().contains(pyatspi.STATE_ACTIVE))

    def wait_windows_closed(self, timeout=TIMEOUT):
        """Waits until no dialog or message box is showing; fails with what
        still shows."""
        try:
            wait_for("the windows to close",
                     lambda: not self.dialog_showing() and self.message() is None, timeout)
        except AssertionError:
            state = {"message": self.message(), "list": self.list_entries()}
            if self.dialog_showing():
                state.update(heading=self.dialog_heading(), id=self.text("Customer ID"),
                             last_name=self.text("Last Name"))
            raise AssertionError(f"a window stayed open: {state}") from None

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

    def click_entry(self, entry, repeat=1):
        """Clicks the list's entry with the mouse: once selects it, twice displays it."""
        node = next(child for child in self.control(self.MAIN_TITLE, self.LIST_ROLE,
                                                    "Customer List")
                    if child is not None and child.name == entry)
        self.click(node, repeat)

    def tab_to(self, name, timeout=TIMEOUT):
        """Presses Tab, one key at a time, until the control named name has the focus."""
        for _ in range(8):
            before = self.focused_name()
            if before == name:
                return
            self.key("Tab")
            wait_for("the focus to move", lambda: self.focused_name() != before, timeout)
        raise AssertionError(f"{name} never had the focus")

    def open_dialog(self, key="alt+a", focus="Customer ID", timeout=TIMEOUT):
        """Presses the key that opens the customer dialog, and waits for it
        and for the keyboard in the box named focus (None: wherever it is;
        Remove and Display leave it where it was)."""
        self.key(key)
        wait_for("the dialog", self.dialog_showing, timeout)
        if focus:
            wait_for(f"focus on {focus}", lambda: self.focused_name() == focus, timeout)

    def type_text(self, *texts):
        """Types the texts into the dialog's boxes from the focused one on, Tab between."""
        for index, text in enumerate(texts):
            if index:
                self.key("Tab")
            self.type(text)

    def add_customer(self, *texts, open_key="alt+a", ok_key="Return"):
        """Adds a customer by keyboard: the dialog opened, the texts (ID, last
        name, ...) typed with Tab between, OK by its key. Waits for nothing
        after: the dialog may refuse the customer."""
        self.open_dialog(open_key)
        self.type_text(*texts)
        self.key(ok_key)

    def close_message(self, key="Return", timeout=TIMEOUT):
        """Answers the message box showing by the key, and waits for it to close."""
        self.key(key)
        wait_for("the message to close", lambda: self.message() is None, timeout)

    def screenshot(self, window, path):
        subprocess.run(["import", "-window", str(window), path], check=True)

    def screenshot_frame(self, x11, window, path):
        """The window as the user sees it, with the window manager's frame."""
        x, y, width, height = x11.frame_rect(window)
        subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}",
                        "+repage", path], check=True)
