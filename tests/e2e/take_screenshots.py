"""Takes the README's pictures of both windows, frame included, at 100% and
at 200% (QT_SCALE_FACTOR=2), or at 100% in each look named (dark,
high-contrast) through GTK's theme. Not a test; run under a window manager:
    sh tests/e2e/run-e2e --wm openbox build/app/corvale docs take_screenshots.py
    sh tests/e2e/run-e2e --wm openbox build/app/corvale docs take_screenshots.py dark"""

import os
import sys

import pyatspi

from desk import Desk, X11, wait_for

PROGRAM = os.environ["CORVALE_PROGRAM"]
SHOTS = os.environ["CORVALE_SHOTS"]
CUSTOMERS = [("C10", "Smith", "Ann", "1 High St", "Leeds", "WY", "LS1 4AB"),
             ("c9", "Jones"), ("C1", "Brown"), ("ACME-CUSTOMER-000123", "Acme Ltd")]


LOOKS = {"dark": "Adwaita:dark", "high-contrast": "HighContrast"}


def shoot(scale, suffix, env=None):
    desk, x11 = Desk(PROGRAM, env=dict(env or {}, QT_SCALE_FACTOR=scale)), X11()
    try:
        for customer in CUSTOMERS:
            desk.add_customer(*customer)
            desk.wait_windows_closed()
        wait_for("the entries", lambda: len(desk.list_entries()) == len(CUSTOMERS))
        if env:
            # The selection's colours too.
            desk.click_entry("C10")
            wait_for("the entry selected",
                     lambda: desk.list_entries(pyatspi.STATE_SELECTED) == ["C10"])
        x11.wait_framed(desk.main_window)
        desk.screenshot_frame(x11, desk.main_window,
                              os.path.join(SHOTS, f"main-window{suffix}.png"))
        desk.open_dialog()
        desk.type_text("C11", "Hgjy")
        wait_for("the typing", lambda: desk.text("Last Name") == "Hgjy")
        dialog = desk.window_id(Desk.DIALOG_TITLE)
        x11.wait_framed(dialog)
        desk.screenshot_frame(x11, dialog, os.path.join(SHOTS, f"customer-dialog{suffix}.png"))
        desk.key("Escape")
    finally:
        desk.close()


if __name__ == "__main__":
    for look in sys.argv[1:]:
        shoot("1", f"-{look}", {"QT_QPA_PLATFORMTHEME": "gtk3", "GTK_THEME": LOOKS[look]})
    if len(sys.argv) == 1:
        shoot("1", "")
        shoot("2", "-200")
