"""The base of the end-to-end test cases: a run of the program for each test,
started before it and ended after it, with the check that it did not end by
itself meanwhile."""

import os
import unittest

from desk import Desk

PROGRAM = os.environ["CORVALE_PROGRAM"]
SHOTS = os.environ.get("CORVALE_SHOTS", ".")


class DeskTestCase(unittest.TestCase):
    """self.desk is the program's run. A test that ends the program says so
    with assert_exits_cleanly; in any other, the program must still run
    when the test is over."""

    def setUp(self):
        self.exited = False
        self.desk = self.start()

    def start(self, program=PROGRAM, **options):
        """Starts the program (options as Desk takes them); subclasses start
        it their way."""
        return Desk(program, **options)

    def tearDown(self):
        code = self.desk.process.poll()
        self.desk.close()
        if not self.exited:
            # A negative code is a signal: a crash, or someone's kill.
            self.assertIsNone(code, f"the program ended while the test ran (code {code})")

    def assert_exits_cleanly(self, timeout=10):
        """The program ends by itself, successfully (after Exit, say)."""
        self.assertEqual(self.desk.process.wait(timeout=timeout), 0)
        self.exited = True
