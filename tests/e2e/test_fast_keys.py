"""End-to-end tests of keys typed fast, as a barcode scanner or a hurried
typist types them: each key reaches the window in front, in order, even while
a window opens or closes; the main window's access keys never act behind a
window that has just opened; Alt, Ctrl and Super keys never type text. Run
by run-e2e, with or without a window manager."""

import sys
import time
import unittest

from desk import burst, spelled, wait_for, xdotool
from deskcase import DeskTestCase

# Milliseconds between keys, from a scanner's pace to a fast typist's.
DELAYS = (0, 5, 15, 30)


class FastKeysTest(DeskTestCase):
    # GIVEN whole entries typed ahead, WHEN the keys come faster than windows
    # open and close, THEN every entry is stored with every character
    def test_entries_typed_ahead(self):
        # The first burst also opens the dialog for the first time, when it
        # is built.
        expected = []
        for delay in DELAYS:
            keys = []
            for suffix in "ab":
                customer, name = f"k{delay}{suffix}", f"n{suffix}"
                expected.append(customer)
                keys += ["alt+a", *spelled(customer), "Tab", *spelled(name), "Return"]
            burst(delay, *keys)
            self.desk.wait_windows_closed()
        try:
            wait_for("every entry in the list",
                     lambda: sorted(self.desk.list_entries()) == sorted(expected))
        except AssertionError:
            self.assertEqual(sorted(self.desk.list_entries()), sorted(expected))

    # GIVEN the dialog open with a name typed, WHEN command keys are pressed
    # that nothing in the dialog claims, THEN none of them becomes text
    def test_command_keys_never_type(self):
        desk = self.desk
        desk.open_dialog()
        burst(5, *spelled("smith"), "alt+x", "alt+n", "alt+r", "alt+d", "alt+e", "alt+1",
              "super+k", "ctrl+k")
        wait_for("the typed ID", lambda: desk.text("Customer ID") == "smith")
        time.sleep(0.3)
        self.assertEqual(desk.text("Customer ID"), "smith")
        self.assertIsNone(desk.process.poll())
        desk.key("Escape")
        desk.wait_windows_closed()
        self.assertEqual(desk.list_entries(), [])

    # GIVEN a command that opens a window, WHEN the main window's access keys
    # follow it at once, THEN they reach the new window, which ignores them
    def test_access_keys_never_act_behind_a_new_window(self):
        desk = self.desk
        burst(5, "alt+n", "alt+x")
        self.assertEqual(desk.wait_message()[1], "There are 0 customers.")
        time.sleep(0.3)
        self.assertIsNone(desk.process.poll(), "Alt+X ended the program behind the message")
        burst(5, "Return")
        desk.wait_windows_closed()

        burst(5, "alt+a", "alt+r")
        wait_for("the dialog", desk.dialog_showing)
        time.sleep(0.3)
        self.assertEqual(desk.dialog_heading(), "Add New Customer Info")
        burst(5, *spelled("c1"), "Return")
        desk.wait_windows_closed()
        desk.wait_entries("c1")

        # The Enter meant for the count message must not remove the customer.
        desk.key("Tab", "Tab", "Tab", "Tab", "Down")
        burst(5, "alt+n", "alt+r", "Return")
        desk.wait_windows_closed()
        time.sleep(0.3)
        self.assertFalse(desk.dialog_showing())
        self.assertEqual(desk.list_entries(), ["c1"])

    # GIVEN Alt+N held down on key repeat, THEN one count message opens and
    # the repeats go to it; Enter closes it and nothing was added
    def test_repeated_access_key(self):
        desk = self.desk
        xdotool("key", "--repeat", 15, "--delay", 5, "alt+n")
        burst(5, "Return")
        desk.wait_windows_closed()
        time.sleep(0.3)
        self.assertIsNone(desk.message())
        self.assertEqual(desk.list_entries(), [])


if __name__ == "__main__":
    unittest.main(argv=sys.argv, verbosity=2)
