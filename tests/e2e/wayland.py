"""Drives the real corvale under a Wayland compositor (see run-wayland), as
a native Wayland client or through Xwayland: keys through what each
compositor offers, windows read back from the compositor (sway), from the X
server (Xwayland) or from the program's own protocol trace (WAYLAND_DEBUG)."""

import json
import os
import re
import subprocess

from gi.repository import Gio

from desk import Desk, X11, burst, wait_for

COMPOSITOR = os.environ.get("CORVALE_COMPOSITOR", "")
COMPOSITOR_LOG = os.environ.get("CORVALE_COMPOSITOR_LOG", "")
# The desktop each compositor is the heart of, as its session names it.
DESKTOPS = {"sway": "sway", "mutter": "GNOME", "kwin": "KDE", "weston": "weston"}
APP_ID = "com.corvale.Corvale"

# X keysyms of the keys the tests press by name; a character is its own.
KEYSYMS = {"Return": 0xFF0D, "Tab": 0xFF09, "Escape": 0xFF1B, "Up": 0xFF52, "Down": 0xFF54,
           "Home": 0xFF50, "End": 0xFF57, "BackSpace": 0xFF08, "alt": 0xFFE9, "shift": 0xFFE1,
           "ctrl": 0xFFE3}


class MutterKeyboard:
    """Keys through mutter's remote desktop interface on the session bus, as
    GNOME's remote desktop sends them: each key by its keysym."""

    BUS_NAME = "org.gnome.Mutter.RemoteDesktop"

    def __init__(self):
        bus = Gio.bus_get_sync(Gio.BusType.SESSION)
        remote = Gio.DBusProxy.new_sync(bus, Gio.DBusProxyFlags.NONE, None, self.BUS_NAME,
                                        "/org/gnome/Mutter/RemoteDesktop", self.BUS_NAME)
        path = remote.CreateSession()
        self.session = Gio.DBusProxy.new_sync(bus, Gio.DBusProxyFlags.NONE, None,
                                              self.BUS_NAME, path,
                                              self.BUS_NAME + ".Session")
        self.session.Start()
        # The first key of a new virtual keyboard is lost.
        self._keysym(KEYSYMS["shift"], True)
        self._keysym(KEYSYMS["shift"], False)

    def _keysym(self, keysym, pressed):
        self.session.NotifyKeyboardKeysym("(ub)", keysym, pressed)

    def keys(self, *names):
        """Presses the keys named (xdotool's names: "alt+a", "Tab", "x"), one
        after the other with no pause."""
        for name in names:
            *modifiers, key = name.split("+")
            keysym = KEYSYMS.get(key) or ord(key)
            for modifier in modifiers:
                self._keysym(KEYSYMS[modifier], True)
            self._keysym(keysym, True)
            self._keysym(keysym, False)
            for modifier in reversed(modifiers):
                self._keysym(KEYSYMS[modifier], False)

    def close(self):
        self.session.Stop()


class WtypeKeyboard:
    """Keys through the virtual keyboard protocol, as wtype sends them. A
    seat whose only keyboard is each wtype's own would lose the keyboard, and
    the program its active window, as each wtype ends, and the first key of
    the next one would come pressed within the keyboard's entry: a wtype that
    only waits keeps a keyboard on the seat meanwhile."""

    def __init__(self):
        self.holder = subprocess.Popen(["wtype", "-s", "2000000000"],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def close(self):
        self.holder.kill()
        self.holder.wait()

    def keys(self, *names):
        # wtype puts a space between two texts: each run of characters is one.
        args, text = [], ""
        for name in names:
            if len(name) == 1:
                text += name
                continue
            if text:
                args.append(text)
                text = ""
            *modifiers, key = name.split("+")
            for modifier in modifiers:
                args += ["-M", modifier]
            args += ["-k", key] if key in KEYSYMS else [key]
            for modifier in reversed(modifiers):
                args += ["-m", modifier]
        subprocess.run(["wtype", *args, *([text] if text else [])], check=True)


class XdotoolKeyboard:
    """Keys into Xwayland through XTEST: wtype's keymaps have no Alt for X11
    programs."""

    def keys(self, *names):
        burst(0, *names)

    def close(self):
        pass


class Sway:
    """The windows as sway has them: floating windows bottom first."""

    @staticmethod
    def windows():
        tree = json.loads(subprocess.run(["swaymsg", "-t", "get_tree"], check=True,
                                         capture_output=True, text=True).stdout)
        found = []

        def walk(node):
            if node.get("type") in ("con", "floating_con") and node.get("pid"):
                properties = node.get("window_properties") or {}
                found.append({"title": node.get("name"), "focused": node.get("focused"),
                              "app_id": node.get("app_id") or properties.get("class"),
                              "transient_for": properties.get("transient_for"),
                              "window": node.get("window"), "rect": node.get("rect"),
                              "title_bar": node.get("deco_rect")})
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)
        walk(tree)
        return found

    @staticmethod
    def focus(title):
        Sway.command(title, "focus")

    @staticmethod
    def close(title):
        """Asks the window to close, as its close button would."""
        Sway.command(title, "kill")

    @staticmethod
    def command(title, command):
        subprocess.run(["swaymsg", f'[title="^{re.escape(title)}$"] {command}'], check=True,
                       capture_output=True)


def toplevels(trace):
    """The toplevel windows in a WAYLAND_DEBUG=client trace, in the order
    they were made: title, app_id and the title of the parent of each."""
    windows, live = [], {}
    pattern = re.compile(r"-> (xdg_toplevel@\d+)\.(set_title|set_app_id|set_parent|destroy)"
                         r"\((.*)\)")
    with open(trace, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            found = pattern.search(line)
            if not found:
                continue
            toplevel, request, argument = found.groups()
            if request == "destroy":
                live.pop(toplevel, None)
                continue
            if toplevel not in live:
                live[toplevel] = {"title": None, "app_id": None, "parent": None}
                windows.append(live[toplevel])
            window = live[toplevel]
            if request == "set_parent":
                parent = live.get(argument)
                window["parent"] = parent["title"] if parent else argument
            else:
                window[request[4:]] = json.loads(argument)
    return windows


# What mutter says of the tests' own request to activate a window, sent as a
# pager sends it (see X11.activate), without a timestamp.
ACTIVATION_BY_TEST = "Buggy client sent a _NET_ACTIVE_WINDOW message with a timestamp of 0"


# The X11 window manager within sway (wlroots') logs as an error each request
# it makes about a window that the X server has just destroyed (BadWindow,
# code 3), or giving the keyboard to one just hidden (SetInputFocus, op 42,
# BadMatch, code 8): X11 programs may hide and destroy windows at any time,
# as Qt does with a message box once it is answered.
XWM_RACES = r"\[xwayland/xwm\.c:\d+\] xcb error: op (\d+:0, code 3|42:0, code 8),"


def compositor_complaints(since):
    """The warnings, criticals and errors the compositor logged from the
    offset since on."""
    if not COMPOSITOR_LOG:
        return []
    with open(COMPOSITOR_LOG, encoding="utf-8", errors="replace") as log:
        log.seek(since)
        return [line.rstrip() for line in log
                if re.search(r"CRITICAL|WARNING|warning|\[ERROR\]|error", line)
                and not re.search(XWM_RACES, line)
                and not re.search(ACTIVATION_BY_TEST, line)]


class WaylandDesk(Desk):
    """One run of the program under the compositor, in a session like the
    desktop's own. What the program asks of the compositor (WAYLAND_DEBUG)
    goes to SHOTS/trace_name.trace, or, with no name, where it is not kept.
    platform is what the program is told to run on, or None to let it
    choose; x11, whether its windows are then X11 windows."""

    def __init__(self, program, trace_name, platform=None, x11=False, env=None):
        self.trace = os.path.join(os.environ["CORVALE_SHOTS"] if trace_name else
                                  os.environ["XDG_RUNTIME_DIR"], f"{trace_name}.trace")
        self.log_start = os.path.getsize(COMPOSITOR_LOG) if COMPOSITOR_LOG else 0
        session = {"XDG_SESSION_TYPE": "wayland",
                   "XDG_CURRENT_DESKTOP": DESKTOPS.get(COMPOSITOR, COMPOSITOR),
                   "WAYLAND_DEBUG": "client"}
        session.update(env or {})
        # The keyboard first: a virtual keyboard is not ready at once.
        if COMPOSITOR == "mutter":
            self.keyboard = MutterKeyboard()
        elif x11:
            self.keyboard = XdotoolKeyboard()
        else:
            self.keyboard = WtypeKeyboard()
        with open(self.trace, "w") as output:
            super().__init__(program, env=session, platform=platform, x11=x11, stdout=output,
                             stderr=output)

    def close(self):
        super().close()
        self.keyboard.close()
        # The compositor is done with the program's windows before the next
        # run starts to count what the compositor says.
        wait_for("the windows gone", lambda: not self.compositor_windows())

    def compositor_windows(self):
        if COMPOSITOR == "sway":
            return Sway.windows()
        if self.main_window is not None:
            self.x11 = getattr(self, "x11", None) or X11()
            return self.x11.client_list()
        return []

    def key(self, *keys):
        self.keyboard.keys(*keys)

    def type(self, text):
        self.keyboard.keys(*text)

    def complaints(self):
        return compositor_complaints(self.log_start)
