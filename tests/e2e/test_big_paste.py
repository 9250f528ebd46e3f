"""A paste of several megabytes through the real clipboard into the real
program: it must stay responsive and lose nothing it held. The times and the
idle CPU are printed for the record, never asserted. Run by run-e2e.

CORVALE_PASTE_BYTES sets the size of the paste (5,000,000 by default)."""

import os
import subprocess
import sys
import tempfile
import time
import unittest

from desk import Desk, wait_for, xdotool

PROGRAM = os.environ["CORVALE_PROGRAM"]
BYTES = int(os.environ.get("CORVALE_PASTE_BYTES", "5000000"))
# Generous: only a frozen program reaches it.
SLOW = 600.0

MAIN, DIALOG = Desk.MAIN_TITLE, Desk.DIALOG_TITLE


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


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


class BigPasteTest(unittest.TestCase):
    def setUp(self):
        self.desk = Desk(PROGRAM)
        self.text = ("0123456789abcdefghijklmnopqrstuvwxyz" * (BYTES // 36 + 1))[:BYTES]
        self.clipboard = Clipboard(self.text)

    def tearDown(self):
        print(f"  program: {self.desk.process.poll()}", file=sys.stderr)
        self.clipboard.close()
        self.desk.close()

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

    def close_message(self):
        desk = self.desk
        desk.key("Return")
        wait_for("the message to close", lambda: desk.message() is None, timeout=SLOW)

    def text_length(self, field):
        node = self.desk.control(DIALOG, "text", field)
        return node.queryText().characterCount

    def open_add(self):
        desk = self.desk
        desk.key("alt+a")
        wait_for("the dialog", desk.dialog_showing, timeout=SLOW)
        wait_for("focus on Customer ID", lambda: desk.focused_name() == "Customer ID")

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
        self.close_message()
        self.assertEqual(self.text_length(field), before)
        return False

    # GIVEN an add with an ID typed, WHEN megabytes are pasted into Last Name,
    # THEN the program stays responsive and either holds them or refuses.
    def test_paste_into_last_name(self):
        desk = self.desk
        self.open_add()
        desk.type("C1")
        self.paste_into("alt+l", "Last Name")
        taken = self.refused_or_kept("Last Name", 0)
        self.back_to("alt+l", "Last Name")
        idle = self.idle_cpu("with the focus in Last Name")
        self.timed("OK", lambda: desk.key("Return"), lambda: not desk.dialog_showing())
        self.assertEqual(desk.list_entries(), ["C1"])
        row = next(c for c in desk.control(MAIN, Desk.LIST_ROLE, "Customer List") if c.name == "C1")
        desk.click(row)
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
        self.open_add()
        self.paste_into("alt+u", "Customer ID")
        taken = self.refused_or_kept("Customer ID", 0)
        self.back_to("alt+u", "Customer ID")
        if not taken:
            desk.type("C2")
        self.idle_cpu("with the focus in Customer ID")
        self.timed("OK", lambda: desk.key("Return"), lambda: not desk.dialog_showing())
        wait_for("the entry", lambda: len(desk.list_entries()) == 1)
        desk.key("Tab", "Tab", "Tab", "Tab")
        wait_for("the list", lambda: desk.focused_name() == "Customer List")
        desk.key("space")
        self.timed("Display", lambda: desk.key("alt+d"), desk.dialog_showing)
        self.timed("closing Display", lambda: desk.key("Return"),
                   lambda: not desk.dialog_showing())
        if not taken:
            return
        self.open_add()
        self.paste_into("alt+u", "Customer ID")
        self.timed("the repeated-ID message", lambda: desk.key("Return"), desk.message)
        title, text = desk.message()
        print(f"  message: {text[:200]}", file=sys.stderr)
        self.assertLess(len(text), 1000)
        self.close_message()
        desk.key("Escape")
        wait_for("the dialog to close", lambda: not desk.dialog_showing(), timeout=SLOW)

    # GIVEN a box with text, WHEN megabytes come by middle click (the
    # selection of the window system), THEN the box refuses them and keeps
    # its text.
    def test_middle_click(self):
        desk = self.desk
        self.open_add()
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
            self.close_message()
            self.assertEqual(desk.text("Last Name"), "Smith")
        finally:
            selection.close()
        desk.key("Return")
        wait_for("the entry", lambda: desk.list_entries() == ["C1"])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
