"""Takes the README's pictures under a Wayland compositor: both windows and
a message box, each with the title bar the compositor gives it. Not a test;
run by run-wayland under sway (grim) or mutter (the program through
Xwayland, where mutter frames it; ImageMagick reads the frame):
    sh tests/e2e/run-wayland sway build/app/corvale docs take_wayland_screenshots.py
    sh tests/e2e/run-wayland mutter build/app/corvale docs take_wayland_screenshots.py"""

import os
import re
import subprocess

from desk import Desk, wait_for
from wayland import COMPOSITOR, Sway, WaylandDesk

PROGRAM = os.environ["CORVALE_PROGRAM"]
SHOTS = os.environ["CORVALE_SHOTS"]
CUSTOMERS = [("c10", "smith"), ("c9", "jones"), ("c1", "brown")]


def shoot(title, name):
    path = os.path.join(SHOTS, f"{name}-{COMPOSITOR}.png")
    if COMPOSITOR == "sway":
        window = next(w for w in Sway.windows() if w["title"] == title)
        rect, bar = window["rect"], window["title_bar"]["height"]
        subprocess.run(["grim", "-g", f"{rect['x']},{rect['y'] - bar} "
                        f"{rect['width']}x{rect['height'] + bar}", path], check=True)
        return
    window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                            check=True, capture_output=True, text=True).stdout.split()[0]
    tree = subprocess.run(["xwininfo", "-children", "-id", window], check=True,
                          capture_output=True, text=True).stdout
    frame = re.search(r"Parent window id: (0x[0-9a-f]+)", tree).group(1)
    subprocess.run(["import", "-window", frame, path], check=True)


def main():
    desk = WaylandDesk(PROGRAM, None, x11=COMPOSITOR == "mutter")
    try:
        for customer, name in CUSTOMERS:
            desk.add_customer(customer, name)
            wait_for("the entry", lambda: customer in desk.list_entries())
            wait_for("the main window's keyboard", lambda: desk.focused_name() == "Add Customer")
        shoot(Desk.MAIN_TITLE, "main-window")
        desk.key("alt+n")
        desk.wait_message()
        desk.wait_active("Corvale")
        shoot("Corvale", "message-box")
        desk.key("Return")
        wait_for("the main window's keyboard",
                 lambda: desk.focused_name() == "Number of Customers")
        desk.open_dialog()
        desk.type_text("c11", "hgjy")
        wait_for("the typing", lambda: desk.text("Last Name") == "hgjy")
        shoot(Desk.DIALOG_TITLE, "customer-dialog")
        desk.key("Escape")
    finally:
        desk.close()


if __name__ == "__main__":
    main()
