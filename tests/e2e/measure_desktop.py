"""Prints where the program's windows stand under the window manager that
run-e2e --wm started: each frame's offset from the screen's centre, and each
message box's offset from the centre of the window that showed it, in px
(x, y; positive: right of and below centre). Not a test: the figures are
for reading.
    sh tests/e2e/run-e2e --wm openbox build/app/corvale build/e2e measure_desktop.py"""

import os

from desk import Desk, X11, offset, wait_for

PROGRAM = os.environ["CORVALE_PROGRAM"]
WM = os.environ.get("CORVALE_WM", "no window manager")


def main():
    desk, x11 = Desk(PROGRAM), X11()
    try:
        width, height = x11.screen_size()
        screen = (0, 0, width, height)
        main_window = desk.main_window
        x11.wait_framed(main_window, "the main window's frame")

        def report(what, window, around):
            # Lets the window manager place the window first.
            rect = wait_for(what, lambda: x11.frame_rect(window))
            dx, dy = offset(rect, around)
            print(f"{WM}: {what}: {dx:+.1f}, {dy:+.1f} px  (frame {rect}, "
                  f"extents {x11.property(window, '_NET_FRAME_EXTENTS')})", flush=True)

        def message(key, title, owner, where):
            desk.key(key)
            desk.wait_message()
            box = desk.window_id(title)
            x11.wait_framed(box)
            report(f"{title!r} box from {where}, off its window's centre", box,
                   x11.frame_rect(owner))
            desk.close_message()

        report("main window, off the screen's centre", main_window, screen)
        message("alt+n", "Corvale", main_window, "the main window")
        x11.move_to_corner(main_window, "top left")
        message("alt+n", "Corvale", main_window, "the main window in the top left corner")
        message("alt+d", "Input Requested", main_window,
                "the main window in the top left corner")
        x11.move_to_corner(main_window, "bottom right")
        message("alt+n", "Corvale", main_window, "the main window in the bottom right corner")

        desk.open_dialog()
        dialog = desk.window_id(Desk.DIALOG_TITLE)
        x11.wait_framed(dialog)
        report("customer dialog, off the screen's centre", dialog, screen)
        desk.type("C1")
        desk.key("Return")
        desk.wait_entries("C1")
        desk.open_dialog()
        desk.type("C1")
        x11.move_to_corner(dialog, "top left")
        message("Return", "Corvale", dialog, "the dialog in the top left corner")
    finally:
        desk.close()


if __name__ == "__main__":
    main()
