"""What a blind user hears: the real program under a window manager, read
aloud by Orca, with everything Orca says taken from speech-dispatcher. Run by
run-e2e --wm.
What was said at each step is printed, for whoever reads the results."""

import os
import sys
import unittest

from desk import Desk, wait_for
from deskcase import PROGRAM, SHOTS, DeskTestCase
from screenreader import ScreenReader

# The program filled with customers before it shows (bench/corvale_filled.cpp).
FILLED = os.environ["CORVALE_FILLED"]
MAIN, DIALOG = Desk.MAIN_TITLE, Desk.DIALOG_TITLE
DIALOG_SAID = DIALOG + " dialog"
# Orca answers a key within a second or two even on a loaded machine.
HEAR_TIMEOUT = 10.0
# The same thing as Orca 43 and Orca 48 word it.
BUTTON = ("push button", "button")


class OrcaTest(DeskTestCase):
    @classmethod
    def setUpClass(cls):
        cls.orca = ScreenReader(SHOTS)

    @classmethod
    def tearDownClass(cls):
        cls.orca.stop()

    def setUp(self):
        self.first = self.orca.mark()
        super().setUp()

    def start(self, program=PROGRAM, **options):
        """Starts the program, and keeps what Orca says until it names the main window."""
        mark = self.orca.mark()
        desk = super().start(program, **options)
        self.started = self.orca.said(mark, lambda lines: any(MAIN in s for s in lines))
        return desk

    def tearDown(self):
        super().tearDown()
        # No caption is read with its access-key marker; nothing typed has one.
        self.assertEqual([s for s in self.orca.lines()[self.first:] if "&" in s], [])

    def hear(self, *keys, until=None):
        """Presses the keys one after the other, and returns all that Orca
        says after them, once it is quiet. until: a text to wait for."""
        mark = self.orca.mark()
        self.desk.key(*keys)
        condition = (lambda lines: until in " ".join(lines)) if until else None
        try:
            said = self.orca.said(mark, condition, timeout=HEAR_TIMEOUT)
        except AssertionError:
            # What was said instead is what the checks then report.
            said = self.orca.lines()[mark:]
        print(f"  {'+'.join(keys)}: {' | '.join(said)}", flush=True)
        return " ".join(said)

    def heard(self, what, said, *phrases, unwanted=(), once=(), opening=()):
        """Checks, without stopping the test, that each phrase was said in
        order, that no unwanted phrase was, and that each phrase of once was
        said only once. A phrase may be a tuple of its wordings, any of which
        will do. opening: the phrases of phrases that announce a window the
        keys opened, which Orca 48 may cut short (see below)."""
        # Orca 48 presents a window that is already active when it handles
        # the key that opened it, then stops speech for that same key: the
        # window's announcement is cut. Orca 43 presents a window as it
        # activates.
        cut = self.orca.version >= 48
        with self.subTest(what):
            position = 0
            for phrase in phrases:
                wordings = phrase if isinstance(phrase, tuple) else (phrase,)
                found = [(said.find(w, position), w) for w in wordings]
                found = min(((f, w) for f, w in found if f != -1), default=(-1, ""))
                if found[0] == -1 and cut and phrase in opening:
                    print(f"  ({phrase!r} cut by Orca)", flush=True)
                    continue
                self.assertNotEqual(found[0], -1, f"{phrase!r} not said in order in {said!r}")
                position = found[0] + len(found[1])
            for phrase in unwanted:
                self.assertNotIn(phrase, said)
            for phrase in once:
                count = said.count(phrase)
                if cut and phrase in opening:
                    self.assertLessEqual(count, 1, f"{phrase!r} in {said!r}")
                else:
                    self.assertEqual(count, 1, f"{phrase!r} in {said!r}")

    def add(self, *texts):
        self.hear("alt+a", until="Customer ID")
        self.desk.type_text(*texts)
        return self.hear("Return", until=MAIN)

    def focus_list(self):
        """Tabs to the list, and returns what Orca says on the way."""
        mark = self.orca.mark()
        self.desk.tab_to("Customer List")
        said = self.orca.said(mark, lambda lines: "Customer List" in " ".join(lines))
        print(f"  Tab to the list: {' | '.join(said)}", flush=True)
        return " ".join(said)

    def selected_entries(self):
        """Through the list's table: at any length, without visiting entries."""
        table = self.desk.control(MAIN, Desk.LIST_ROLE, "Customer List").queryTable()
        return [table.getAccessibleAt(row, 0).name for row in table.getSelectedRows()]

    def select_by_key(self, key, entry):
        """Presses a key in the list until it selects entry, and returns what
        Orca says meanwhile."""
        mark = self.orca.mark()
        self.desk.key(key)
        wait_for(f"{entry} selected", lambda: self.selected_entries() == [entry])
        said = self.orca.quiet(mark)
        print(f"  {key}: {' | '.join(said)}", flush=True)
        return " ".join(said)

    # GIVEN the program starting, THEN its window is announced as a frame
    # and its messages are read with their title and text.
    def test_start_and_messages(self):
        desk = self.desk
        print(f"  start: {' | '.join(self.started)}", flush=True)
        self.heard("start", " ".join(self.started), MAIN, tuple("Add Customer " + w for w in BUTTON))
        with self.subTest("the main window's role"):
            self.assertEqual(desk.frame(MAIN).getRoleName(), "frame")

        said = self.hear("alt+n", until="customers")
        self.heard("count message", said, "Corvale", "There are 0 customers.", unwanted=(MAIN,),
                   once=("There are 0 customers.",), opening=("Corvale", "There are 0 customers."))
        self.hear("Return", until=MAIN)
        for key in ("alt+r", "alt+d"):
            said = self.hear(key, until="Please Select")
            self.heard(f"{key} without a selection", said, "Input Requested",
                       "Please Select a Customer from the List", unwanted=(MAIN,),
                       once=("Input Requested", "Please Select a Customer from the List"),
                       opening=("Input Requested", "Please Select a Customer from the List"))
            self.hear("Escape", until=MAIN)

    # GIVEN customers added by keyboard, WHEN the user walks the list and
    # removes and displays entries, THEN each step is heard.
    def test_add_list_remove_display(self):
        desk = self.desk
        said = self.hear("alt+a", until="Customer ID")
        self.heard("Alt+A", said, DIALOG_SAID, "Add New Customer Info", "Customer ID text",
                   unwanted=(MAIN,), once=(DIALOG_SAID, "Add New Customer Info"),
                   opening=(DIALOG_SAID, "Add New Customer Info"))
        with self.subTest("the dialog's role"):
            self.assertEqual(desk.frame(DIALOG).getRoleName(), "dialog")
        desk.type_text("C3", "Smith")
        said = self.hear("Return", until=MAIN)
        self.heard("OK after an add", said, "Customer C3 added")
        said = self.add("B2", "Jones")
        self.heard("OK after a second add", said, "Customer B2 added",
                   unwanted=("Customer C3 added",))
        said = self.add("C3", "Other")
        self.heard("repeated ID message", said, 'There is already a customer with ID "C3".',
                   opening=('There is already a customer with ID "C3".',))
        self.hear("Return", until="Last Name")
        # The user goes back to the ID before cancelling; the dialog opens
        # next in the box that had the focus.
        self.hear("alt+u", until="Customer ID")
        self.hear("alt+c", until=MAIN)

        said = self.focus_list()
        self.heard("the list gets the focus", said, "Customer List", "table with 2 rows")
        said = self.select_by_key("Down", "B2")
        self.heard("first Down in the list", said, "B2")
        said = self.hear("Down", until="C3")
        self.heard("second Down in the list", said, "C3", unwanted=("B2",))
        said = self.hear("Up", until="B2")
        self.heard("Up in the list", said, "B2", unwanted=("C3",))
        said = self.select_by_key("End", "C3")
        self.heard("End in the list", said, "C3")
        said = self.select_by_key("Home", "B2")
        self.heard("Home in the list", said, "B2")

        said = self.hear("alt+r", until="B2")
        self.heard("Alt+R on B2", said, DIALOG_SAID, "Remove this record?", "B2",
                   unwanted=(MAIN,), once=(DIALOG_SAID, "Remove this record?"),
                   opening=(DIALOG_SAID, "Remove this record?"))
        said = self.hear("Return", until=MAIN)
        self.heard("OK after a remove", said, "Customer B2 removed")
        desk.wait_entries("C3")

        self.focus_list()
        self.select_by_key("Down", "C3")
        said = self.hear("alt+d", until="C3")
        self.heard("Alt+D on C3", said, DIALOG_SAID, "Customer Data Display", "C3",
                   unwanted=(MAIN,), once=(DIALOG_SAID, "Customer Data Display"),
                   opening=(DIALOG_SAID, "Customer Data Display"))
        said = self.hear("Tab", until="Last Name")
        self.heard("a field holding Smith", said, "Last Name text", "Smith")
        said = self.hear("Return", until=MAIN)
        self.heard("OK after a display", said, MAIN, unwanted=("added", "removed"),
                   opening=(MAIN,))

    # GIVEN ten thousand customers stored before the window shows, WHEN the
    # user walks the list and removes an entry, THEN each step is heard: the
    # list's name and size, each entry, the dialog and the announcement.
    def test_ten_thousand_customers(self):
        self.desk.close()
        self.desk = self.start(FILLED, args=["10000"], start_timeout=120)

        said = self.focus_list()
        self.heard("the list gets the focus", said, "Customer List", "table with 10000 rows")
        said = self.select_by_key("End", "C9999000")
        self.heard("End in the list", said, "C9999000")
        said = self.select_by_key("Home", "C0000000")
        self.heard("Home in the list", said, "C0000000")
        mark = self.orca.mark()
        self.desk.type("C05")
        wait_for("C0500000 selected", lambda: self.selected_entries() == ["C0500000"])
        said = " ".join(self.orca.quiet(mark))
        self.heard("type-to-find", said, "C0500000")
        said = self.hear("Down", until="C0501000")
        self.heard("Down in the list", said, "C0501000", unwanted=("C0500000",))

        said = self.hear("alt+r", until="C0501000")
        self.heard("Alt+R", said, DIALOG_SAID, "Remove this record?", "C0501000",
                   unwanted=(MAIN,), once=(DIALOG_SAID, "Remove this record?"),
                   opening=(DIALOG_SAID, "Remove this record?"))
        said = self.hear("Return", until=MAIN)
        self.heard("OK after a remove", said, "Customer C0501000 removed")
        said = self.focus_list()
        self.heard("the list after a remove", said, "Customer List", "table with 9999 rows")


if __name__ == "__main__":
    unittest.main(argv=sys.argv, verbosity=2)
