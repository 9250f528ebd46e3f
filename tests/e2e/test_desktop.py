"""End-to-end tests of the program among a real window manager's windows:
the dialog belongs to the main window, message boxes to the window that shows
them, every window stands centred, and the title bars have an icon. Read from
what the window manager and the program set on the X windows. Run by run-e2e
with --wm; without a window manager there is nothing to test."""

import os
import sys
import unittest

from desk import Desk, X11, holds, offset, wait_for, xdotool
from deskcase import DeskTestCase

WM = os.environ.get("CORVALE_WM")

MAIN, DIALOG = Desk.MAIN_TITLE, Desk.DIALOG_TITLE
# How long a window manager gets to undo a wrong state before the state is
# taken as lasting.
SETTLE = 1.5
# Qt centres a message box on its window with whole pixels and the frame
# extents it estimated before the box was shown.
MESSAGE_TOLERANCE = 4
FRAME_TOLERANCE = 2


@unittest.skipUnless(WM, "needs a window manager (run-e2e --wm NAME)")
class DesktopTest(DeskTestCase):
    def setUp(self):
        super().setUp()
        self.x11 = X11()
        self.main = self.desk.main_window
        self.x11.wait_framed(self.main, "the main window's frame")

    def screen(self):
        width, height = self.x11.screen_size()
        return 0, 0, width, height

    def open_dialog(self):
        """Opens the customer dialog, and returns its window once framed."""
        self.desk.open_dialog()
        dialog = self.desk.window_id(DIALOG)
        self.x11.wait_framed(dialog, "the dialog's frame")
        return dialog

    def above(self, window, other):
        stack = self.x11.client_list()
        return window in stack and other in stack and stack.index(window) > stack.index(other)

    def assert_takes_keys(self):
        """The program still answers the keyboard: the dialog takes typing,
        and once it is closed the main window takes its commands."""
        desk = self.desk
        desk.key("alt+u")
        desk.type("K7")
        wait_for("typing in the dialog", lambda: desk.text("Customer ID") == "K7")
        desk.key("Escape")
        desk.wait_windows_closed()
        desk.key("alt+n")
        self.assertEqual(desk.wait_message(), ("Corvale", "There are 0 customers."))
        desk.close_message()

    def wait_centred(self, what, window, around, tolerance):
        """Waits until the window's frame is centred on the rect (the window
        manager may place it a moment after it appears); fails with the
        offset found."""
        found = []

        def centred():
            rect = self.x11.frame_rect(window)
            if rect is None:
                return False
            found[:] = [offset(rect, around())]
            return all(abs(d) <= tolerance for d in found[0])
        try:
            wait_for(what, centred, timeout=5)
        except AssertionError:
            self.fail(f"{what}: off by {found[0] if found else None} px under {WM}")

    # GIVEN the customer dialog open, THEN it is a modal dialog of the main
    # window, and the taskbar shows one entry: the main window.
    def test_dialog_belongs_to_main_window(self):
        dialog = self.open_dialog()
        x11 = self.x11
        self.assertEqual(x11.transient_for(dialog), self.main)
        self.assertEqual(x11.atoms(dialog, "_NET_WM_WINDOW_TYPE")[0],
                         "_NET_WM_WINDOW_TYPE_DIALOG")
        self.assertIn("_NET_WM_STATE_MODAL", x11.atoms(dialog, "_NET_WM_STATE"))
        entries = [w for w in x11.client_list() if x11.transient_for(w) is None
                   and "_NET_WM_STATE_SKIP_TASKBAR" not in x11.atoms(w, "_NET_WM_STATE")]
        self.assertEqual(entries, [self.main])

    # GIVEN the dialog open, WHEN the user clicks the main window or picks it
    # in the taskbar, THEN the dialog stays above it and takes the keys.
    def test_dialog_stays_above_main_window(self):
        x11 = self.x11
        dialog = self.open_dialog()
        self.assertTrue(self.above(dialog, self.main))
        # A spot of the main window that the dialog does not cover.
        x11.move_to_corner(self.main, "top left")
        mx, my, mwidth, mheight = x11.client_rect(self.main)
        spot = (mx + 8, my + mheight - 8)
        dx, dy, dwidth, dheight = x11.frame_rect(dialog)
        self.assertFalse(dx <= spot[0] < dx + dwidth and dy <= spot[1] < dy + dheight)
        for action in ("click", "activate"):
            with self.subTest(action):
                if action == "click":
                    xdotool("mousemove", "--sync", *spot)
                    xdotool("click", 1)
                else:
                    x11.activate(self.main)
                holds("the dialog above the main window", lambda: self.above(dialog, self.main))
        self.assert_takes_keys()

    # GIVEN the dialog open, WHEN the user minimizes it, THEN it does not
    # vanish from a main window that can no longer be used: either it stays,
    # or the main window goes with it; restored, the program takes keys.
    def test_dialog_cannot_be_stranded(self):
        x11 = self.x11
        dialog = self.open_dialog()
        x11.minimize(dialog)

        def stranded():
            return not x11.viewable(dialog) and x11.viewable(self.main)
        try:
            # The window manager's answer: the dialog or both windows unmapped,
            # or nothing at all if it refuses to minimize a modal dialog.
            wait_for("a window to be minimized", lambda: not x11.viewable(dialog)
                     or not x11.viewable(self.main), timeout=SETTLE)
        except AssertionError:
            pass
        try:
            # A window manager that minimizes both unmaps them one by one, and
            # a dialog minimized alone comes straight back.
            wait_for("the dialog back or both windows minimized", lambda: not stranded(),
                     timeout=3 * SETTLE)
            holds("the dialog shown or both windows minimized", lambda: not stranded())
        except AssertionError:
            self.fail(f"under {WM} the dialog was minimized alone; the main window is left "
                      "showing and takes no input")
        x11.activate(self.main)
        wait_for("both windows back", lambda: x11.viewable(self.main) and x11.viewable(dialog))
        wait_for("the dialog active", lambda: x11.active_window() == dialog)
        self.assert_takes_keys()

    # GIVEN the main window moved into a corner, WHEN it shows a message box,
    # THEN the box stands centred over it and belongs to it.
    def test_message_boxes_centred_over_their_window(self):
        desk, x11 = self.desk, self.x11
        for corner in ("top left", "bottom right"):
            x11.move_to_corner(self.main, corner)
            for key, title in (("alt+n", "Corvale"), ("alt+d", "Input Requested")):
                with self.subTest(corner=corner, key=key):
                    desk.key(key)
                    try:
                        self.assertEqual(desk.wait_message()[0], title)
                        box = desk.window_id(title)
                        self.wait_centred(
                            f"the {title!r} box over the main window in the {corner}", box,
                            lambda: x11.frame_rect(self.main), MESSAGE_TOLERANCE)
                        self.assertEqual(x11.transient_for(box), self.main)
                    finally:
                        desk.close_message()

    # GIVEN the dialog moved into a corner, WHEN it refuses a repeated ID,
    # THEN its message box stands centred over the dialog.
    def test_dialog_message_centred_over_dialog(self):
        desk, x11 = self.desk, self.x11
        desk.add_customer("C1")
        desk.wait_entries("C1")
        dialog = self.open_dialog()
        x11.move_to_corner(dialog, "bottom right")
        desk.type("C1")
        desk.key("Return")
        self.assertEqual(desk.wait_message()[0], "Corvale")
        box = desk.window_id("Corvale")
        self.wait_centred("the message box over the dialog in the corner", box,
                          lambda: x11.frame_rect(dialog), MESSAGE_TOLERANCE)
        self.assertEqual(x11.transient_for(box), dialog)
        desk.close_message()

    # GIVEN a fresh start, THEN each window, frame included, stands centred
    # on the screen.
    def test_windows_centred_on_screen(self):
        with self.subTest("main window"):
            self.wait_centred("the main window on the screen", self.main, self.screen,
                              FRAME_TOLERANCE)
        with self.subTest("dialog"):
            dialog = self.open_dialog()
            self.wait_centred("the dialog on the screen", dialog, self.screen,
                              FRAME_TOLERANCE)

    # GIVEN a fresh start, THEN the main window offers the window manager an
    # icon to show, in a size for title bars and one for task switchers.
    def test_window_icon(self):
        images = self.x11.icons(self.main)
        sizes = sorted((width, height) for width, height, _ in images)
        self.assertTrue(any(w == h and w <= 24 for w, h in sizes), sizes)
        self.assertTrue(any(w == h and w >= 32 for w, h in sizes), sizes)
        for width, height, pixels in images:
            opaque = sum(1 for pixel in pixels if (pixel >> 24) & 0xff)
            self.assertGreater(opaque, width * height // 4, f"{width}x{height} nearly empty")


if __name__ == "__main__":
    unittest.main(argv=sys.argv, verbosity=2)
