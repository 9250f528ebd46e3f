"""Blank and look-alike customer IDs through the real program: typed or
pasted, refused with a message that names the stored ID, and the user's
texts kept for correction. Run by run-e2e."""

import sys
import unittest

from desk import Clipboard, wait_for
from deskcase import DeskTestCase

FIELDS = ["Customer ID", "Last Name"]


class LookAlikeTest(DeskTestCase):
    def paste(self, text):
        clipboard = Clipboard(text)
        try:
            self.desk.key("ctrl+v")
            wait_for("the paste", lambda: self.desk.text("Customer ID") == text)
        finally:
            clipboard.close()

    def try_add(self, id_text, pasted=False):
        """Adds by keyboard: Alt+A, the ID typed or pasted, a last name, Enter.
        Returns the message shown, or None once the dialog has closed."""
        desk = self.desk
        desk.open_dialog()
        if pasted:
            self.paste(id_text)
        else:
            desk.type(id_text)
        desk.key("Tab")
        desk.type("Name")
        desk.key("Return")
        return wait_for("a message or the dialog to close",
                        lambda: desk.message() or (not desk.dialog_showing() and "closed"))

    def answer(self, id_text):
        """Closes the message; the dialog stays with every text as typed."""
        desk = self.desk
        desk.close_message()
        self.assertTrue(desk.dialog_showing())
        self.assertEqual([desk.text(name) for name in FIELDS], [id_text, "Name"])
        desk.key("Escape")
        desk.wait_windows_closed()

    # GIVEN stored IDs, WHEN blank IDs and IDs that differ only invisibly are
    # entered, THEN each is refused with its message and the list stays.
    def test_blank_and_look_alike_ids(self):
        desk = self.desk
        # Letters outside the keyboard map come by the clipboard: xdotool
        # would have to remap a key for each, which a busy X server may miss.
        for id_text, pasted in (("C1", False), ("café", True)):
            self.assertEqual(self.try_add(id_text, pasted), "closed")
        wait_for("two entries", lambda: len(desk.list_entries()) == 2)
        self.assertEqual(sorted(desk.list_entries()), ["C1", "café"])

        blanks = [("   ", False), ("\t", True), ("\u00a0\u3000", True), ("\u200b", True)]
        for id_text, pasted in blanks:
            with self.subTest(blank=repr(id_text)):
                self.assertEqual(self.try_add(id_text, pasted),
                                 ("Corvale", "Please enter a Customer ID."))
                self.answer(id_text)

        look_alikes = [
            ("C1 ", False, '"C1", which looks the same as "C1 "'),
            (" C1", False, '"C1", which looks the same as " C1"'),
            ("C1\u00a0", True, '"C1", which looks the same as "C1<U+00A0>"'),
            ("C\u200b1", True, '"C1", which looks the same as "C<U+200B>1"'),
            ("cafe\u0301", True, '"café", which looks the same as "cafe\u0301"'),
        ]
        for id_text, pasted, quoted in look_alikes:
            with self.subTest(look_alike=repr(id_text)):
                self.assertEqual(self.try_add(id_text, pasted),
                                 ("Corvale", f"There is already a customer with ID {quoted}."))
                self.answer(id_text)
        self.assertEqual(sorted(desk.list_entries()), ["C1", "café"])

        # Visible differences, letter case included, make new customers.
        for id_text in ("c1", "C 1", "cafe"):
            self.assertEqual(self.try_add(id_text), "closed")
        wait_for("five entries", lambda: len(desk.list_entries()) == 5)
        self.assertEqual(sorted(desk.list_entries()), sorted(["C1", "café", "c1", "C 1", "cafe"]))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
