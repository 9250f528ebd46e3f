"""End-to-end tests of keys typed fast, as a barcode scanner or a hurried
typist types them: each key reaches the window in front, in order, even while
a window opens or closes; the main window's access keys never act behind a
window that has just opened; Alt, Ctrl and Super keys never type text. Run
by run-e2e, with or without a window manager."""

import os
import sys
import time
import unittest

from desk import Desk, wait_for, xdotool

PROGRAM = os.environ["CORVALE_PROGRAM"]
MAIN, DIALOG = Desk.MAIN_TITLE, Desk.DIALOG_TITLE
# Milliseconds between keys, from a scanner's pace to a fast typist's.
DELAYS = (0, 5, 15, 30)


def keys(delay, *names):
    """Types the keys named, delay ms apart, as one burst."""
    xdotool("key", "--delay", delay, *names)


def spelled(text):
    """The key names that type text (lower-case letters and digits)."""
    return list(text)


class FastKeysTest(unittest.TestCase):
    def setUp(self):
        self.desk = Desk(PROGRAM)

    def tearDown(self):
        self.desk.close()

    def settled(self):
        """Waits until no dialog or message box is showing."""
        desk = self.desk
        try:
            wait_for("the windows to close", lambda: not desk.dialog_showing()
                     and desk.message() is None)
        except AssertionError:
            state = {"message": desk.message(), "list": desk.list_entries()}
            if desk.dialog_showing():
                state.update(heading=self.heading(), id=desk.text("Customer ID"),
                             last_name=desk.text("Last Name"))
            raise AssertionError(f"a window stayed open: {state}") from None

    def heading(self):
        labels = [node.name for node in self.desk.controls(self.desk.frame(DIALOG))
                  if node.getRoleName() == "label" and node.name]
        return next((name for name in labels if name.endswith(("Info", "?", "Display"))), None)

    # GIVEN whole entries typed ahead, WHEN the keys come faster than windows
    # open and close, THEN every entry is stored with every character
    def test_entries_typed_ahead(self):
        # The first burst also opens the dialog for the first time, when it
        # is built.
        expected = []
        for delay in DELAYS:
            burst = []
            for suffix in "ab":
                customer, name = f"k{delay}{suffix}", f"n{suffix}"
                expected.append(customer)
                burst += ["alt+a", *spelled(customer), "Tab", *spelled(name), "Return"]
            keys(delay, *burst)
            self.settled()
        try:
            wait_for("every entry in the list",
                     lambda: sorted(self.desk.list_entries()) == sorted(expected))
        except AssertionError:
            self.assertEqual(sorted(self.desk.list_entries()), sorted(expected))

    # GIVEN the dialog open with a name typed, WHEN command keys are pressed
    # that nothing in the dialog claims, THEN none of them becomes text
    def test_command_keys_never_type(self):
        desk = self.desk
        desk.key("alt+a")
        wait_for("the dialog", desk.dialog_showing)
        keys(5, *spelled("smith"), "alt+x", "alt+n", "alt+r", "alt+d", "alt+e", "alt+1",
             "super+k", "ctrl+k")
        wait_for("the typed ID", lambda: desk.text("Customer ID") == "smith")
        time.sleep(0.3)
        self.assertEqual(desk.text("Customer ID"), "smith")
        self.assertIsNone(desk.process.poll())
        desk.key("Escape")
        self.settled()
        self.assertEqual(desk.list_entries(), [])

    # GIVEN a command that opens a window, WHEN the main window's access keys
    # follow it at once, THEN they reach the new window, which ignores them
    def test_access_keys_never_act_behind_a_new_window(self):
        desk = self.desk
        keys(5, "alt+n", "alt+x")
        self.assertEqual(desk.wait_message()[1], "There are 0 customers.")
        time.sleep(0.3)
        self.assertIsNone(desk.process.poll(), "Alt+X ended the program behind the message")
        keys(5, "Return")
        self.settled()

        keys(5, "alt+a", "alt+r")
        wait_for("the dialog", desk.dialog_showing)
        time.sleep(0.3)
        self.assertEqual(self.heading(), "Add New Customer Info")
        keys(5, *spelled("c1"), "Return")
        self.settled()
        wait_for("the entry", lambda: desk.list_entries() == ["c1"])

        # The Enter meant for the count message must not remove the customer.
        desk.key("Tab", "Tab", "Tab", "Tab", "Down")
        keys(5, "alt+n", "alt+r", "Return")
        self.settled()
        time.sleep(0.3)
        self.assertFalse(desk.dialog_showing())
        self.assertEqual(desk.list_entries(), ["c1"])

    # GIVEN Alt+N held down on key repeat, THEN one count message opens and
    # the repeats go to it; Enter closes it and nothing was added
    def test_repeated_access_key(self):
        desk = self.desk
        xdotool("key", "--repeat", 15, "--delay", 5, "alt+n")
        keys(5, "Return")
        self.settled()
        time.sleep(0.3)
        self.assertIsNone(desk.message())
        self.assertEqual(desk.list_entries(), [])
        self.assertIsNone(desk.process.poll())


if __name__ == "__main__":
    unittest.main(argv=sys.argv, verbosity=2)
