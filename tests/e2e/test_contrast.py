"""End-to-end test of how readable the windows are in each of the desktop's
looks: the real program, started in the look, screenshots of its real
windows, and each control's rectangle from the accessibility bus. Measures
WCAG contrast ratios: a text box's boundary against the window (3:1), the
list's selected entry against the list (3:1) and its text against the
selection (4.5:1), every caption against what is behind it (4.5:1, a
message box's too), and the focused text box's indicator (3:1 against the
window, and as much change against the same box unfocused). Run by run-e2e;
prints what it measured.
    sh tests/e2e/run-e2e build/app/corvale build/e2e test_contrast.py
    sh tests/e2e/run-e2e build/app/corvale build/e2e test_contrast.py ContrastTest.test_dark"""

import collections
import ctypes
import os
import re
import subprocess
import sys
import tempfile
import unittest

import pyatspi

from desk import Desk, X11, wait_for
from deskcase import PROGRAM, SHOTS, DeskTestCase

MAIN, DIALOG = Desk.MAIN_TITLE, Desk.DIALOG_TITLE

# Each look as a desktop gives it: the environment the program starts with
# ("env"); the GTK theme an XSettings manager announces ("xsettings": GNOME's
# high-contrast switch reaches GTK programs on X11 as that theme name); KDE's
# colour scheme ("kdeglobals", which Qt reads itself in a KDE session); a
# GNOME setting ("gsettings", through dconf, which the desktop portal passes
# on).
GTK = {"QT_QPA_PLATFORMTHEME": "gtk3"}
GNOME = {"XDG_CURRENT_DESKTOP": "GNOME", "GSETTINGS_BACKEND": "dconf"}
KDE = {"XDG_CURRENT_DESKTOP": "KDE", "KDE_FULL_SESSION": "true", "KDE_SESSION_VERSION": "6"}
KDE_WHITE_ON_BLACK = """[General]
ColorScheme=WhiteOnBlack
""" + "".join(f"""
[Colors:{group}]
BackgroundNormal={background}
ForegroundNormal={foreground}
""" for group, background, foreground in [("Window", "0,0,0", "255,255,255"),
                                          ("View", "0,0,0", "255,255,255"),
                                          ("Button", "0,0,0", "255,255,255"),
                                          ("Selection", "255,255,0", "0,0,0")])
LOOKS = {
    "light": {},
    "dark": {"env": dict(GTK, GTK_THEME="Adwaita:dark")},
    "GNOME_dark_style": {"env": GNOME, "gsettings": (
        "org.gnome.desktop.interface", "color-scheme", "prefer-dark")},
    "HighContrast": {"env": GTK, "xsettings": "HighContrast"},
    "HighContrastInverse": {"env": dict(GTK, GTK_THEME="HighContrastInverse")},
    "KDE_white_on_black": {"env": KDE, "kdeglobals": KDE_WHITE_ON_BLACK},
}
# Qt reads the desktop portal's colour scheme from 6.5 on.
PORTAL_QT = (6, 5)

BOUNDARY, TEXT = 3.0, 4.5
# Text is measured by its purest pixel: IDs whose letters have whole-pixel
# strokes at the form's size.
FIRST, SECOND = "TEE-1", "TEE-2"
# The frame's title, in px at 96 dpi, above the frame's own line.
TITLE_HEIGHT = 12


def luminance(colour):
    def channel(value):
        value /= 255
        return value / 12.92 if value <= 0.04045 else ((value + 0.055) / 1.055) ** 2.4
    red, green, blue = map(channel, colour)
    return 0.2126 * red + 0.7152 * green + 0.0722 * blue


def ratio(first, second):
    lighter, darker = sorted((luminance(first), luminance(second)), reverse=True)
    return (lighter + 0.05) / (darker + 0.05)


def qt_version():
    """The version of the Qt the program runs on."""
    core = ctypes.CDLL("libQt6Core.so.6")
    core.qVersion.restype = ctypes.c_char_p
    return tuple(int(part) for part in core.qVersion().decode().split(".")[:2])


def hex_colour(colour):
    return "#%02x%02x%02x" % colour


class Screen:
    """One screenshot of the whole X screen, read pixel by pixel."""

    def __init__(self, path):
        subprocess.run(["import", "-window", "root", path], check=True)
        data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                              capture_output=True).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
        self.width, self.height = int(header.group(1)), int(header.group(2))
        self.data = data[header.end():]

    def pixel(self, x, y):
        offset = 3 * (y * self.width + x)
        return tuple(self.data[offset:offset + 3])

    def area(self, rect):
        x, y, width, height = rect
        return [self.pixel(i, j) for j in range(y, y + height) for i in range(x, x + width)]

    def ring(self, rect, distance):
        """The pixels on the rectangle's edge moved outwards by distance
        (inwards if negative)."""
        x, y, width, height = rect
        left, top = x - distance, y - distance
        right, bottom = x + width - 1 + distance, y + height - 1 + distance
        points = {(i, j) for i in range(left, right + 1) for j in (top, bottom)}
        points |= {(i, j) for j in range(top, bottom + 1) for i in (left, right)}
        return [self.pixel(i, j) for i, j in sorted(points)]


def dominant(pixels):
    return collections.Counter(pixels).most_common(1)[0][0]


def inset(rect, by):
    x, y, width, height = rect
    return x + by, y + by, width - 2 * by, height - 2 * by


def text_contrast(screen, rect):
    """The contrast of the text in rect against its background: the most
    common colour is the background, and the text's own colour is the
    pixel that stands out most from it (its edges are blends of both)."""
    pixels = screen.area(rect)
    background = dominant(pixels)
    text = max(pixels, key=lambda pixel: ratio(pixel, background))
    return ratio(text, background), text, background


class ContrastTest(DeskTestCase):
    """One test for each look (test_<look>): the program started in it."""

    def setUp(self):
        self.look_name = next(name for name in LOOKS
                              if self._testMethodName == f"test_{name.lower()}")
        look = LOOKS[self.look_name]
        self.env = look.get("env", {})
        self.results = []
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        if "kdeglobals" in look:
            with open(os.path.join(folder.name, "kdeglobals"), "w", encoding="utf-8") as out:
                out.write(look["kdeglobals"])
            self.env = dict(self.env, XDG_CONFIG_HOME=folder.name)
        if "xsettings" in look:
            self.start_xsettings(folder.name, look["xsettings"])
        if "gsettings" in look:
            if qt_version() < PORTAL_QT:
                self.skipTest("Qt before 6.5 does not read the desktop portal")
            self.gsettings("set", *look["gsettings"])
            self.addCleanup(self.gsettings, "reset", *look["gsettings"][:2])
        super().setUp()

    def start(self, program=PROGRAM, **options):
        return Desk(program, env=self.env, **options)

    def measure(self, what, value, minimum, detail):
        self.results.append((what, value, minimum, detail))

    def look(self):
        self.measure_dialog(self.desk, self.look_name)
        self.measure_main_window(self.desk, self.look_name)
        self.measure_message(self.desk, self.look_name)
        print(f"\n{self.look_name}:", file=sys.stderr)
        for what, value, minimum, detail in self.results:
            mark = "" if value >= minimum else "   FAILS"
            print(f"  {what:40} {value:5.2f}:1 (>= {minimum}) {detail}{mark}", file=sys.stderr)
        failures = [f"{what} {value:.2f}:1 < {minimum}:1"
                    for what, value, minimum, _ in self.results if value < minimum]
        self.assertEqual(failures, [])

    def gsettings(self, *args):
        """Changes a GNOME setting, and waits until the desktop portal has
        started and passes on the colour scheme."""
        env = dict(os.environ, **self.env)
        subprocess.run(["gsettings", *args], env=env, check=True)
        subprocess.run(["gdbus", "call", "--session", "--dest", "org.freedesktop.portal.Desktop",
                        "--object-path", "/org/freedesktop/portal/desktop", "--method",
                        "org.freedesktop.portal.Settings.ReadOne", "org.freedesktop.appearance",
                        "color-scheme"], env=env, check=True, capture_output=True)

    def start_xsettings(self, folder, theme):
        """An XSettings manager announcing the theme, as a GNOME session's
        does; up once it owns the screen's settings selection."""
        config = os.path.join(folder, "xsettingsd.conf")
        with open(config, "w", encoding="utf-8") as out:
            out.write(f'Net/ThemeName "{theme}"\n')
        process = subprocess.Popen(["xsettingsd", "-c", config], stderr=subprocess.DEVNULL)
        self.addCleanup(process.wait)
        self.addCleanup(process.terminate)
        x11 = X11()
        x11.lib.XGetSelectionOwner.restype = ctypes.c_ulong
        x11.lib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        wait_for("the XSettings manager", lambda: x11.lib.XGetSelectionOwner(
            x11.display, x11.atom("_XSETTINGS_S0")))

    def measure_dialog(self, desk, name):
        # GIVEN the customer dialog open, the first box focused and empty
        desk.open_dialog()
        dialog = desk.frame(DIALOG)
        screen = Screen(os.path.join(SHOTS, f"contrast-{name}-dialog.png"))
        boxes = [node for node in desk.controls(dialog) if node.getRoleName() == "text"]
        focused = next(box for box in boxes if box.name == "Customer ID")
        others = [box for box in boxes if box is not focused]
        self.assertEqual(len(others), 6)
        # THEN the window turns dark where the desktop asks for dark (Qt
        # hears from the portal once it runs)
        if name == "GNOME_dark_style":
            caption = desk.extents(next(node for node in desk.controls(dialog)
                                        if node.getRoleName() == "label" and node.name))

            def dark():
                shot = Screen(os.path.join(SHOTS, f"contrast-{name}-dialog.png"))
                _, text, background = text_contrast(shot, caption)
                return shot if luminance(background) < luminance(text) else None
            screen = wait_for("the dialog dark", dark)
        # AND every box stands out from the window by its boundary or fill
        for box in boxes:
            rect = desk.extents(box)
            window = dominant(screen.ring(rect, 2) + screen.ring(rect, 3))
            edge = dominant(screen.ring(rect, 0))
            fill = dominant(screen.area(inset(rect, 3)))
            state = "focused" if box is focused else "empty"
            value = max(ratio(edge, window), ratio(fill, window))
            self.measure(f"{state} box {box.name!r} boundary", value, BOUNDARY,
                         f"{hex_colour(edge)}/{hex_colour(fill)} on {hex_colour(window)}")
        # AND the focused box shows it: its edge changes by 3:1 from how an
        # unfocused box looks there
        plain, marked = desk.extents(others[0]), desk.extents(focused)
        change = max(ratio(dominant(screen.ring(plain, -k)), dominant(screen.ring(marked, -k)))
                     for k in (0, 1))
        self.measure("focus indicator against unfocused", change, BOUNDARY,
                     f"{hex_colour(dominant(screen.ring(marked, 0)))}")
        # AND every caption reads against its background
        for node in desk.controls(dialog):
            if node.getRoleName() in ("label", "push button", "button") and node.name:
                self.measure_caption(desk, screen, node)

    def measure_caption(self, desk, screen, node):
        rect = desk.extents(node)
        if node.getRoleName() != "label":
            rect = inset(rect, 4)  # inside the button's bevel
        value, text, background = text_contrast(screen, rect)
        self.measure(f"caption {node.name!r}", value, TEXT,
                     f"{hex_colour(text)} on {hex_colour(background)}")

    def measure_main_window(self, desk, name):
        # GIVEN two customers, the second selected in the focused list
        desk.type(FIRST)
        desk.key("Return")
        desk.wait_windows_closed()
        desk.add_customer(SECOND)
        desk.wait_windows_closed()
        desk.wait_entries(FIRST, SECOND)
        desk.click_entry(SECOND)
        table = desk.control(MAIN, Desk.LIST_ROLE, "Customer List")
        wait_for("the entry selected in the focused list", lambda: desk.list_entries(
            pyatspi.STATE_SELECTED) == [SECOND] and table.getState().contains(
                pyatspi.STATE_FOCUSED))
        entry, other = (next(child for child in table if child is not None and child.name == id_)
                        for id_ in (SECOND, FIRST))
        screen = Screen(os.path.join(SHOTS, f"contrast-{name}-main.png"))
        # THEN the selected entry stands out from the list, its text from it
        list_colour = dominant(screen.area(inset(desk.extents(table), 3)))
        selected = screen.area(inset(desk.extents(entry), 1))
        selection = dominant(selected)
        self.measure("selected entry against the list", ratio(selection, list_colour), BOUNDARY,
                     f"{hex_colour(selection)} on {hex_colour(list_colour)}")
        value, text, _ = text_contrast(screen, inset(desk.extents(entry), 1))
        self.measure("selected entry's text", value, TEXT,
                     f"{hex_colour(text)} on {hex_colour(selection)}")
        value, text, background = text_contrast(screen, inset(desk.extents(other), 1))
        self.measure("entry's text", value, TEXT, f"{hex_colour(text)} on {hex_colour(background)}")
        # AND every caption reads against its background, the frame's title
        # (the top of the frame, above its line) among them
        for node in desk.controls(desk.frame(MAIN)):
            if node.getRoleName() in ("push button", "button") and node.name:
                self.measure_caption(desk, screen, node)
        frame = desk.control(MAIN, "panel", "Customer List")
        x, y, width, _ = desk.extents(frame)
        value, text, background = text_contrast(screen, (x, y, width, TITLE_HEIGHT))
        self.measure("caption 'Customer List'", value, TEXT,
                     f"{hex_colour(text)} on {hex_colour(background)}")


    def measure_message(self, desk, name):
        # GIVEN a message box, THEN its text and its button's caption read
        desk.key("alt+n")
        desk.wait_message()
        box = next(frame for frame in desk.frames() if frame.getRoleName() == "alert")
        screen = Screen(os.path.join(SHOTS, f"contrast-{name}-message.png"))
        captions = [node for node in desk.controls(box)
                    if node.getRoleName() in ("label", "push button", "button") and node.name]
        self.assertTrue(captions)
        for node in captions:
            self.measure_caption(desk, screen, node)
        desk.close_message()


for look_name in LOOKS:
    setattr(ContrastTest, f"test_{look_name.lower()}", ContrastTest.look)

if __name__ == "__main__":
    unittest.main(verbosity=2)
