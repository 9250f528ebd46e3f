"""End-to-end tests: the built corvale in a real X server, driven by keyboard
and mouse, read through the accessibility bus. Run by run-e2e."""

import os
import sys
import unittest

import pyatspi

from desk import Desk, X11, wait_for
from deskcase import SHOTS, DeskTestCase

MAIN, DIALOG = Desk.MAIN_TITLE, Desk.DIALOG_TITLE
LAYOUT_PIXELS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "layout-pixels.txt")
FIELDS = ["Customer ID", "Last Name", "First Name", "Address", "City", "State", "Zip Code"]


def layout_pixels(form):
    """{control: (x, y, width, height)} of the form's window ("window") and
    controls, in pixels at 96 dpi, relative to the window's client area: the
    table the Qt tests share."""
    rows = {}
    with open(LAYOUT_PIXELS, encoding="utf-8") as table:
        for line in table:
            fields = line.split()
            if len(fields) == 7 and fields[0] == form:
                rows[fields[1]] = (fields[2], *map(int, fields[3:]))
    pixels = {}
    for control, (parent, x, y, width, height) in rows.items():
        if parent != "-":
            x, y = x + rows[parent][1], y + rows[parent][2]
        pixels[control] = (x, y, width, height)
    return pixels


class DeskTest(DeskTestCase):
    # GIVEN a fresh start, THEN the windows stand as laid out, at 96 dpi.
    def test_titles_and_layout(self):
        desk = self.desk
        self.assertEqual(desk.window_name(desk.main_window), MAIN)
        _, _, width, height = desk.extents(desk.frame(MAIN))
        pixels = layout_pixels("frmMain")
        self.assertEqual((width, height), pixels["window"][2:])
        accessible = {
            "cmdAdd": ("push button", "Add Customer"),
            "cmdRemove": ("push button", "Remove Customer"),
            "cmdDisplay": ("push button", "Display Customer Data"),
            "cmdCount": ("push button", "Number of Customers"),
            "cmdExit": ("push button", "Exit"),
            "Frame1": ("panel", "Customer List"),
            "lstCustomer": (Desk.LIST_ROLE, "Customer List"),
        }

        def placed(role, name):
            # The window manager may still move the window as it frames it:
            # the window and the control are read together, until they agree.
            x, y, _, _ = desk.extents(desk.frame(MAIN))
            cx, cy, cw, ch = desk.extents(desk.control(MAIN, role, name))
            return (cx - x, cy - y, cw, ch)

        for control, (role, name) in accessible.items():
            try:
                wait_for(name, lambda: placed(role, name) == pixels[control])
            except AssertionError:
                self.assertEqual(placed(role, name), pixels[control], name)
        self.assertEqual(desk.list_entries(), [])

        desk.open_dialog()
        dialog = desk.window_id(DIALOG)
        self.assertEqual(desk.window_name(dialog), DIALOG)
        dx, dy, dwidth, dheight = desk.extents(desk.frame(DIALOG))
        pixels = layout_pixels("frmCustomer")
        self.assertEqual((dwidth, dheight), pixels["window"][2:])
        heading = desk.control(DIALOG, "label", "Add New Customer Info")
        hx, hy, _, _ = desk.extents(heading)
        self.assertEqual((hx - dx, hy - dy), pixels["lblCommand"][:2])
        desk.screenshot(dialog, os.path.join(SHOTS, "customer-dialog.png"))
        desk.key("Escape")
        desk.wait_windows_closed()

    def test_messages(self):
        desk = self.desk
        desk.key("alt+n")
        self.assertEqual(desk.wait_message(), ("Corvale", "There are 0 customers."))
        desk.close_message()
        for key in ("alt+r", "alt+d"):
            desk.key(key)
            self.assertEqual(desk.wait_message(),
                             ("Input Requested", "Please Select a Customer from the List"))
            self.assertFalse(desk.dialog_showing())
            desk.close_message("Escape")
        desk.add_customer("C1", "Smith")
        desk.wait_entries("C1")
        desk.key("alt+n")
        self.assertEqual(desk.wait_message(), ("Corvale", "There are 1 customers."))
        desk.key("Return")

    def test_tab_order_and_access_keys(self):
        desk = self.desk
        order = [desk.focused_name()]
        for _ in range(6):
            desk.key("Tab")
            order.append(wait_for("focus to move", lambda: desk.focused_name() != order[-1]
                                  and desk.focused_name()))
        self.assertEqual(order, ["Add Customer", "Remove Customer", "Display Customer Data",
                                 "Exit", "Customer List", "Number of Customers",
                                 "Add Customer"])
        # In the dialog, each label's access key reaches its box; the focus
        # starts in the first, so its key comes last.
        desk.open_dialog()
        for letter, name in zip("lfaiszu", FIELDS[1:] + FIELDS[:1]):
            desk.key(f"alt+{letter}")
            wait_for(f"focus on {name}", lambda: desk.focused_name() == name)
        desk.key("alt+c")
        desk.wait_windows_closed()
        self.assertEqual(desk.list_entries(), [])

    def test_add_display_remove(self):
        desk = self.desk
        customer = ["C10", "Smith", "Ann", "1 High St", "Leeds", "WY", "LS1 4AB"]
        desk.add_customer(*customer)
        desk.add_customer("c9", "Jones")
        # Enter with the focus in the list runs Add too.
        desk.tab_to("Customer List")
        desk.add_customer("C1", "Brown", open_key="Return", ok_key="alt+o")
        desk.wait_entries("C1", "c9", "C10")
        desk.screenshot(desk.main_window, os.path.join(SHOTS, "main-window.png"))

        # Display by double-click shows the record, without Cancel; Esc closes.
        desk.click_entry("C10", repeat=2)
        wait_for("the dialog", desk.dialog_showing)
        desk.control(DIALOG, "label", "Customer Data Display")
        self.assertEqual([desk.text(name) for name in FIELDS], customer)
        cancel = desk.control(DIALOG, "push button", "Cancel")
        self.assertFalse(cancel.getState().contains(pyatspi.STATE_SHOWING))
        desk.key("Escape")
        desk.wait_windows_closed()

        # Remove by Alt+R after a click; the typed edit is not what is removed.
        desk.click_entry("c9")
        desk.open_dialog("alt+r", focus=None)
        desk.control(DIALOG, "label", "Remove this record?")
        self.assertEqual(desk.text("Last Name"), "Jones")
        desk.control(DIALOG, "push button", "Cancel")
        desk.key("alt+u", "End", "x", "Return")
        desk.wait_entries("C1", "C10")
        desk.key("alt+x")
        self.assert_exits_cleanly()

    # GIVEN entries in the list and the focus on it, WHEN the user types the
    # start of an ID, THEN the first entry that starts so is selected and is
    # what a screen reader is told has the focus.
    def test_type_to_find(self):
        desk = self.desk
        for customer in ["C9", "C10", "Adams", "Baker"]:
            desk.add_customer(customer)
        wait_for("four entries", lambda: len(desk.list_entries()) == 4)
        desk.tab_to("Customer List")

        # One key, so that no pause between keys can start a new search.
        desk.type("c")
        wait_for("C9 selected", lambda: desk.list_entries(pyatspi.STATE_SELECTED) == ["C9"])
        wait_for("C9 focused", lambda: desk.list_entries(pyatspi.STATE_FOCUSED) == ["C9"])
        # A text that no entry starts with leaves the selection as it was.
        desk.type("z")
        desk.key("alt+n")
        self.assertEqual(desk.wait_message()[1], "There are 4 customers.")
        desk.close_message()
        self.assertEqual(desk.list_entries(pyatspi.STATE_SELECTED), ["C9"])
        desk.key("alt+x")
        self.assert_exits_cleanly()

    def test_repeated_id_is_refused(self):
        desk = self.desk
        desk.add_customer("C1", "Smith")
        desk.wait_entries("C1")
        desk.add_customer("C1", "Other", "Person")
        self.assertEqual(desk.wait_message(),
                         ("Corvale", 'There is already a customer with ID "C1".'))
        desk.close_message()
        # Nothing typed is lost; the user corrects the ID.
        self.assertTrue(desk.dialog_showing())
        self.assertEqual([desk.text(n) for n in FIELDS[:3]], ["C1", "Other", "Person"])
        desk.key("alt+u", "End", "2", "Return")
        desk.wait_entries("C1", "C12")

    def test_frame_close(self):
        desk = self.desk
        x11 = X11()
        desk.add_customer("C1", "Smith")
        desk.wait_entries("C1")
        # The dialog's frame close cancels: the record stays and shows again.
        desk.open_dialog()
        dialog = desk.window_id(DIALOG)
        desk.type("C2")
        x11.send_delete_window(dialog)
        desk.wait_windows_closed()
        self.assertEqual(desk.list_entries(), ["C1"])
        desk.click_entry("C1")
        desk.open_dialog("alt+d", focus=None)
        self.assertEqual(desk.text("Last Name"), "Smith")
        desk.key("Return")
        desk.wait_windows_closed()
        # The main window's frame close ends the program as Exit does.
        x11.send_delete_window(desk.main_window)
        self.assert_exits_cleanly()

    def test_exit_first(self):
        self.desk.key("alt+x")
        self.assert_exits_cleanly()


if __name__ == "__main__":
    unittest.main(argv=sys.argv, verbosity=2)
