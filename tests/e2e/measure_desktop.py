"""Prints where the program's windows stand under the window manager that
run-e2e --wm started: each frame's offset from the screen's centre, and each
message box's offset from the centre of the window that showed it, in px
(x, y; positive: right of and below centre). Not a test: the figures are
for reading.
    sh tests/e2e/run-e2e --wm openbox build/app/corvale build/e2e measure_desktop.py"""

import os

from desk import Desk, X11, wait_for
from test_desktop import offset

PROGRAM = os.environ["CORVALE_PROGRAM"]
WM = os.environ.get("CORVALE_WM", "no window manager")


def main():
    desk, x11 = Desk(PROGRAM), X11()
    try:
        width, height = x11.screen_size()
        screen = (0, 0, width, height)
        main_window = desk.main_window
        wait_for("the main window's frame",
                 lambda: x11.property(main_window, "_NET_FRAME_EXTENTS") is not None)

        def report(what, window, around):
            # Lets the window manager place the window first.
            rect = wait_for(what, lambda: x11.frame_rect(window))
            dx, dy = offset(rect, around)
            print(f"{WM}: {what}: {dx:+.1f}, {dy:+.1f} px  (frame {rect}, "
                  f"extents {x11.property(window, '_NET_FRAME_EXTENTS')})", flush=True)

        def message(key, title, owner, where):
            desk.key(key)
            wait_for("a message box", desk.message)
            box = desk.window_id(title)
            wait_for("its frame", lambda: x11.property(box, "_NET_FRAME_EXTENTS") is not None)
            report(f"{title!r} box from {where}, off its window's centre", box,
                   x11.frame_rect(owner))
            desk.key("Return")
            wait_for("the message to close", lambda: desk.message() is None)

        report("main window, off the screen's centre", main_window, screen)
        message("alt+n", "Corvale", main_window, "the main window")
        _, _, frame_width, frame_height = x11.frame_rect(main_window)
        x11.move(main_window, 0, 0)
        wait_for("the move", lambda: x11.frame_rect(main_window)[:2] == (0, 0))
        message("alt+n", "Corvale", main_window, "the main window in the top left corner")
        message("alt+d", "Input Requested", main_window,
                "the main window in the top left corner")
        corner = (width - frame_width, height - frame_height)
        x11.move(main_window, *corner)
        wait_for("the move", lambda: x11.frame_rect(main_window)[:2] == corner)
        message("alt+n", "Corvale", main_window, "the main window in the bottom right corner")

        desk.key("alt+a")
        wait_for("the dialog", desk.dialog_showing)
        dialog = desk.window_id(Desk.DIALOG_TITLE)
        wait_for("its frame", lambda: x11.property(dialog, "_NET_FRAME_EXTENTS") is not None)
        report("customer dialog, off the screen's centre", dialog, screen)
        desk.type("C1")
        desk.key("Return")
        wait_for("the entry", lambda: desk.list_entries() == ["C1"])
        desk.key("alt+a")
        wait_for("the dialog", desk.dialog_showing)
        desk.type("C1")
        _, _, dialog_width, dialog_height = x11.frame_rect(dialog)
        x11.move(dialog, 0, 0)
        wait_for("the move", lambda: x11.frame_rect(dialog)[:2] == (0, 0))
        message("Return", "Corvale", dialog, "the dialog in the top left corner")
    finally:
        desk.close()


if __name__ == "__main__":
    main()
