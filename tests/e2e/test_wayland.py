"""End-to-end tests under a Wayland compositor (run by run-wayland): the
program on the window system it picks for the desktop, or the one that
CORVALE_QPA names (QT_QPA_PLATFORM), a keyboard session typed with no pause
between keys, the modal dialog back in front when its window is activated,
the windows as the compositor or the program's protocol trace tells them,
and nothing the compositor complains about while the program runs."""

import os
import sys
import unittest

import pyatspi

from desk import Desk, X11, holds, spelled, wait_for
from deskcase import PROGRAM, DeskTestCase
from wayland import APP_ID, COMPOSITOR, Sway, WaylandDesk, toplevels

FORCED = os.environ.get("CORVALE_QPA") or None
# GNOME's compositor draws no title bars for Wayland windows: there the
# program runs through Xwayland and GNOME frames its windows.
EXPECTED = FORCED or ("xcb" if COMPOSITOR == "mutter" else "wayland")
MAIN, DIALOG = Desk.MAIN_TITLE, Desk.DIALOG_TITLE


class WaylandTest(DeskTestCase):
    def setUp(self):
        super().setUp()
        self.x11 = X11() if EXPECTED == "xcb" else None

    def start(self):
        return WaylandDesk(PROGRAM, self.id().rpartition(".")[2], platform=FORCED,
                           x11=EXPECTED == "xcb")

    def tearDown(self):
        # Checked while the program still runs: sway's X11 window manager
        # reports the program's windows gone as it ends, which is not ours.
        complaints = self.desk.complaints()
        super().tearDown()
        self.assertEqual(complaints, [], f"{COMPOSITOR} complained")

    def dialog_in_front(self):
        """Whether the compositor shows the dialog above the main window and
        gives it the keyboard; None where it cannot be asked (mutter)."""
        if COMPOSITOR == "sway":
            windows = Sway.windows()
            titles = [window["title"] for window in windows]
            focused = [window["title"] for window in windows if window["focused"]]
            return (focused == [DIALOG] and DIALOG in titles and MAIN in titles
                    and titles.index(DIALOG) > titles.index(MAIN))
        if self.x11:
            dialog = self.desk.window_id(DIALOG)
            stack = self.x11.client_list()
            return (self.x11.active_window() == dialog and dialog in stack
                    and self.desk.main_window in stack
                    and stack.index(dialog) > stack.index(self.desk.main_window))
        return None

    # GIVEN the desktop's session, THEN the program runs on the window system
    # chosen for it, and each window names the program and, for the dialog
    # and message boxes, the main window as the one it belongs to.
    def test_windows_belong_to_the_program(self):
        desk = self.desk
        desk.open_dialog()
        desk.key("Return")  # with no ID: a message box of the dialog's
        desk.wait_message()
        desk.wait_active(desk.message()[0])
        if EXPECTED == "wayland":
            windows = [(w["title"], w["app_id"], w["parent"]) for w in toplevels(desk.trace)]
            self.assertEqual(windows, [(MAIN, APP_ID, None), (DIALOG, APP_ID, MAIN),
                                       ("Corvale", APP_ID, DIALOG)])
        else:
            # The program's own windows are X11 windows, none a Wayland one.
            self.assertEqual(toplevels(desk.trace), [])
            dialog, box = desk.window_id(DIALOG), desk.window_id("Corvale")
            self.assertEqual(self.x11.transient_for(dialog), desk.main_window)
            self.assertEqual(self.x11.transient_for(box), dialog)
        if COMPOSITOR == "sway":
            windows = {w["title"]: w["app_id"] for w in Sway.windows()}
            app_id = APP_ID if EXPECTED == "wayland" else "Corvale"
            self.assertEqual(windows, {MAIN: app_id, DIALOG: app_id, "Corvale": app_id})
        desk.close_message()
        desk.key("Escape")
        desk.wait_windows_closed()

    # GIVEN a fresh start, WHEN a whole session is typed, each window's keys
    # with no pause between them (three customers out of order, display,
    # remove with its question, count, exit), THEN every key lands where it
    # was meant to.
    def test_keyboard_session(self):
        desk = self.desk
        customers = (("c3", "smith"), ("c1", "jones"), ("c2", "brown"))
        if COMPOSITOR == "sway":
            # One burst: each dialog's keys typed as it opens, the next
            # Alt+A as it closes; first OK with no ID, and the message box
            # that refuses it closed as it opens.
            keys = ["alt+a", "Return", "Return"]
            for customer, name in customers:
                keys += [*spelled(customer), "Tab", *spelled(name), "Return", "alt+a"]
            desk.key(*keys[:-1])
            desk.wait_entries("c1", "c2", "c3")
        else:
            for customer, name in customers:
                if self.x11:
                    # mutter loses some keys typed through Xwayland while a
                    # window opens, before they reach the program.
                    desk.open_dialog()
                else:
                    desk.key("alt+a")
                desk.key(*spelled(customer), "Tab", *spelled(name), "Return")
                wait_for(f"{customer} in the list", lambda: customer in desk.list_entries())
                # mutter may give the main window the keyboard back after
                # the next key, which then goes to no window.
                desk.wait_active(MAIN)
        desk.wait_windows_closed()
        self.assertEqual(desk.list_entries(), ["c1", "c2", "c3"])
        # Tab to the list, its first entry, the next one, Display.
        desk.key("Tab", "Tab", "Tab", "Tab", "Home", "Down")
        wait_for("c2 selected", lambda: desk.list_entries(pyatspi.STATE_SELECTED) == ["c2"])
        desk.open_dialog("alt+d", focus=None)
        desk.control(DIALOG, "label", "Customer Data Display")
        self.assertEqual((desk.text("Customer ID"), desk.text("Last Name")), ("c2", "brown"))
        # Each burst from here starts once the main window has the keyboard
        # back: on Wayland, keys typed while a window closes may be lost.
        desk.key("Escape")
        wait_for("the keyboard back on Display",
                 lambda: desk.focused_name() == "Display Customer Data")
        # Exit and the list are next.
        desk.key("Tab", "Tab", "Home", "Down")
        wait_for("c2 selected", lambda: desk.list_entries(pyatspi.STATE_SELECTED) == ["c2"])
        desk.open_dialog("alt+r", focus=None)
        desk.control(DIALOG, "label", "Remove this record?")
        self.assertEqual(desk.text("Customer ID"), "c2")
        desk.key("Return")
        wait_for("the keyboard back on Remove",
                 lambda: desk.focused_name() == "Remove Customer")
        desk.key("alt+n")
        self.assertEqual(desk.wait_message(), ("Corvale", "There are 2 customers."))
        self.assertEqual(desk.list_entries(), ["c1", "c3"])
        desk.wait_active("Corvale")
        desk.close_message()
        complaints = desk.complaints()
        desk.key("alt+x")
        self.assert_exits_cleanly()
        self.assertEqual(complaints, [], f"{COMPOSITOR} complained")

    # GIVEN the dialog open with an ID typed, WHEN the user activates the main
    # window (a click on it, its taskbar entry), THEN the dialog comes back in
    # front with the keyboard, and what is typed next goes into it; WHEN the
    # main window's close button is pressed meanwhile (sway), THEN nothing
    # happens: the dialog is still in front.
    def test_dialog_comes_back_in_front(self):
        desk = self.desk
        desk.open_dialog()
        desk.type("c1")
        wait_for("the typed ID", lambda: desk.text("Customer ID") == "c1")
        if self.dialog_in_front() is None:
            self.skipTest(f"{COMPOSITOR} offers no way to activate a window of a Wayland "
                          "program from outside")
        wait_for("the dialog in front", self.dialog_in_front)
        if COMPOSITOR == "sway":
            Sway.focus(MAIN)
        else:
            self.x11.activate(desk.main_window)
        wait_for("the dialog back in front", self.dialog_in_front)
        holds("the dialog in front", self.dialog_in_front)
        desk.type("x")
        wait_for("the key in the dialog", lambda: desk.text("Customer ID") == "c1x")
        if COMPOSITOR == "sway":
            Sway.close(MAIN)
            holds("the program running with the dialog in front",
                  lambda: desk.process.poll() is None and self.dialog_in_front())
        desk.key("Escape")
        desk.wait_windows_closed()
        self.assertEqual(desk.list_entries(), [])


if __name__ == "__main__":
    unittest.main(argv=sys.argv, verbosity=2)
