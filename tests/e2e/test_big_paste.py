"""A paste of several megabytes through the real clipboard into the real
program: it must stay responsive and lose nothing it held. The times and the
idle CPU are printed for the record, never asserted. Run by run-e2e.

CORVALE_PASTE_BYTES sets the size of the paste (5,000,000 by default)."""

import os
import sys
import time
import unittest

from desk import Clipboard, Desk, cpu_seconds, wait_for, xdotool
from deskcase import DeskTestCase

BYTES = int(os.environ.get("CORVALE_PASTE_BYTES", "5000000"))
# Generous: only a frozen program reaches it.
SLOW = 600.0

DIALOG = Desk.DIALOG_TITLE


class BigPasteTest(DeskTestCase):
    def setUp(self):
        super().setUp()
        self.text = ("0123456789abcdefghijklmnopqrstuvwxyz" * (BYTES // 36 + 1))[:BYTES]
        self.clipboard = Clipboard(self.text)
        self.addCleanup(self.clipboard.close)

    def timed(self, what, action, until):
        start = time.monotonic()
        action()
        wait_for(what, until, timeout=SLOW)
        seconds = time.monotonic() - start
        print(f"  {BYTES} bytes, {what}: {seconds:.2f} s", file=sys.stderr)
        return seconds

    def idle_cpu(self, where):
        """The share of a core the program takes while the user does nothing."""
        pid = self.desk.process.pid
        time.sleep(1.0)
        before, start = cpu_seconds(pid), time.monotonic()
        time.sleep(4.0)
        share = (cpu_seconds(pid) - before) / (time.monotonic() - start)
        print(f"  {BYTES} bytes, idle CPU {where}: {share:.0%}", file=sys.stderr)
        return share

    def focus_is(self, field):
        node = self.desk.focused()
        return node is not None and node.name == field

    def paste_into(self, label_key, field):
        """Pastes into a box, then proves the program took in every key
        after it: either a message answers, or the focus moves on by key."""
        desk = self.desk
        desk.key(label_key)
        wait_for(f"focus on {field}", lambda: self.focus_is(field))
        other, other_key = ("First Name", "alt+f") if field != "First Name" else ("City", "alt+i")

        def paste():
            xdotool("key", "--clearmodifiers", "ctrl+v")
            desk.key(other_key)

        self.timed(f"paste into {field}", paste,
                   lambda: desk.message() or self.focus_is(other))

    def back_to(self, label_key, field):
        self.desk.key(label_key)
        wait_for(f"focus on {field}", lambda: self.focus_is(field), timeout=SLOW)

    def text_length(self, field):
        node = self.desk.control(DIALOG, "text", field)
        return node.queryText().characterCount

    def refused_or_kept(self, field, before):
        """A paste either went in whole, or was refused with a message that
        states the limit and left the box as it was. Returns True if taken."""
        desk = self.desk
        message = desk.message()
        if message is None:
            self.assertEqual(self.text_length(field), before + BYTES)
            return True
        print(f"  refused: {message[1]}", file=sys.stderr)
        self.assertRegex(message[1], r"\d")
        desk.close_message(timeout=SLOW)
        self.assertEqual(self.text_length(field), before)
        return False

    # GIVEN an add with an ID typed, WHEN megabytes are pasted into Last Name,
    # THEN the program stays responsive and either holds them or refuses.
    def test_paste_into_last_name(self):
        desk = self.desk
        desk.open_dialog(timeout=SLOW)
        desk.type("C1")
        self.paste_into("alt+l", "Last Name")
        taken = self.refused_or_kept("Last Name", 0)
        self.back_to("alt+l", "Last Name")
        idle = self.idle_cpu("with the focus in Last Name")
        self.timed("OK", lambda: desk.key("Return"), lambda: not desk.dialog_showing())
        self.assertEqual(desk.list_entries(), ["C1"])
        desk.click_entry("C1")
        self.timed("Display", lambda: desk.key("alt+d"),
                   lambda: desk.frame(DIALOG) and desk.text("Customer ID") == "C1")
        self.assertEqual(self.text_length("Last Name"), BYTES if taken else 0)
        self.timed("closing Display", lambda: desk.key("Return"),
                   lambda: not desk.dialog_showing())
        # A share of CPU is no time: the program's own use, whatever the load.
        self.assertLess(idle, 0.5)

    # GIVEN an add, WHEN megabytes are pasted as the Customer ID, THEN OK,
    # Display and the repeated-ID message all answer.
    def test_paste_into_customer_id(self):
        desk = self.desk
        desk.open_dialog(timeout=SLOW)
        self.paste_into("alt+u", "Customer ID")
        taken = self.refused_or_kept("Customer ID", 0)
        self.back_to("alt+u", "Customer ID")
        if not taken:
            desk.type("C2")
        self.idle_cpu("with the focus in Customer ID")
        self.timed("OK", lambda: desk.key("Return"), lambda: not desk.dialog_showing())
        wait_for("the entry", lambda: len(desk.list_entries()) == 1)
        desk.tab_to("Customer List")
        desk.key("space")
        self.timed("Display", lambda: desk.key("alt+d"), desk.dialog_showing)
        self.timed("closing Display", lambda: desk.key("Return"),
                   lambda: not desk.dialog_showing())
        if not taken:
            return
        desk.open_dialog(timeout=SLOW)
        self.paste_into("alt+u", "Customer ID")
        self.timed("the repeated-ID message", lambda: desk.key("Return"), desk.message)
        title, text = desk.message()
        print(f"  message: {text[:200]}", file=sys.stderr)
        self.assertLess(len(text), 1000)
        desk.close_message(timeout=SLOW)
        desk.key("Escape")
        desk.wait_windows_closed(timeout=SLOW)

    # GIVEN a box with text, WHEN megabytes come by middle click (the
    # selection of the window system), THEN the box refuses them and keeps
    # its text.
    def test_middle_click(self):
        desk = self.desk
        desk.open_dialog(timeout=SLOW)
        desk.type("C1")
        desk.key("alt+l")
        desk.type("Smith")
        box = desk.control(DIALOG, "text", "Last Name")
        selection = Clipboard(self.text, "primary")
        try:
            x, y, width, height = desk.extents(box)
            xdotool("mousemove", "--sync", x + width // 2, y + height // 2)
            self.timed("middle click", lambda: xdotool("click", 2), desk.message)
            print(f"  refused: {desk.message()[1]}", file=sys.stderr)
            desk.close_message(timeout=SLOW)
            self.assertEqual(desk.text("Last Name"), "Smith")
        finally:
            selection.close()
        desk.key("Return")
        desk.wait_entries("C1")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
