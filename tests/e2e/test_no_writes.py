"""A whole session of the real program under strace: it must write, create,
rename and delete no file, and open no network connection; its only sockets
go to the X server and to the session's message buses. Run by run-e2e."""

import os
import re
import sys
import tempfile
import unittest

from deskcase import DeskTestCase

CALLS = ("open,openat,openat2,creat,mkdir,mkdirat,rename,renameat,renameat2,unlink,unlinkat,"
         "rmdir,link,linkat,symlink,symlinkat,truncate,mknod,mknodat,socket,connect,bind")
WRITE_FLAGS = re.compile(r"O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|O_APPEND")
CHANGES = re.compile(r"^(creat|mkdir|mkdirat|rename|renameat2?|unlink|unlinkat|rmdir|link|"
                     r"linkat|symlink|symlinkat|truncate|mknod|mknodat)\(")
# Writing to these changes no file: the terminal and the null device.
HARMLESS = re.compile(r'"/dev/(null|tty|pts/\d+)"')


def violations(trace):
    found = []
    for line in trace.splitlines():
        call = re.sub(r"^\d+\s+", "", line)
        failed = re.search(r"\) = -1 ", call)
        if call.startswith(("open", "openat")) and WRITE_FLAGS.search(call):
            if not failed and not HARMLESS.search(call):
                found.append(call)
        elif CHANGES.match(call) and not failed:
            found.append(call)
        elif call.startswith("socket(") and not call.startswith("socket(AF_UNIX"):
            found.append(call)
        elif call.startswith("connect(") and not failed:
            if not re.search(r'sun_path=@?"(/tmp/\.X11-unix/X\d+|/tmp/dbus-|/run/user/|'
                             + re.escape(os.environ["XDG_RUNTIME_DIR"]) + ")", call):
                found.append(call)
        elif call.startswith("bind("):
            found.append(call)
    return found


class NoWritesTest(DeskTestCase):
    def start(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.log = os.path.join(folder.name, "trace")
        return super().start(prefix=["strace", "-f", "-qq", "-o", self.log, "-e",
                                    "trace=" + CALLS])

    def test_session_writes_nothing(self):
        desk = self.desk
        desk.add_customer("C1", "Smith")
        desk.wait_entries("C1")
        for command in ("alt+d", "alt+r"):
            desk.click_entry("C1")
            desk.open_dialog(command, focus=None)
            desk.key("Return")
            desk.wait_windows_closed()
        desk.wait_entries()
        desk.key("alt+n")
        self.assertEqual(desk.wait_message()[1], "There are 0 customers.")
        desk.close_message()
        desk.key("alt+x")
        self.assert_exits_cleanly(timeout=20)
        with open(self.log, encoding="utf-8", errors="replace") as trace:
            text = trace.read()
        self.assertIn("connect(", text, "the trace recorded nothing")
        self.assertEqual(violations(text), [])


class CheckerTest(unittest.TestCase):
    def test_checker_sees_writes(self):
        # The checker itself: each kind of change is caught, reads are not.
        trace = "\n".join([
            '12 openat(AT_FDCWD, "/root/.cache/x", O_WRONLY|O_CREAT|O_CLOEXEC, 0666) = 5',
            '12 mkdir("/tmp/runtime-root", 0700) = 0',
            '12 renameat2(AT_FDCWD, "a", AT_FDCWD, "b", 0) = 0',
            '12 socket(AF_INET, SOCK_STREAM, 0) = 4',
            '12 connect(4, {sa_family=AF_UNIX, sun_path="/run/elsewhere"}, 20) = 0',
            '12 openat(AT_FDCWD, "/etc/fonts/fonts.conf", O_RDONLY|O_CLOEXEC) = 3',
            '12 openat(AT_FDCWD, "/dev/null", O_RDWR) = 3',
            '12 mkdir("/tmp/x", 0700) = -1 EEXIST (File exists)',
            '12 connect(3, {sa_family=AF_UNIX, sun_path=@"/tmp/.X11-unix/X99"}, 21) = 0',
        ])
        self.assertEqual(len(violations(trace)), 5)


if __name__ == "__main__":
    unittest.main(argv=sys.argv, verbosity=2)
