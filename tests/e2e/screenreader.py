"""Orca reading through speech-dispatcher, whose every utterance goes to a
file instead of a sound card. For tests run by run-e2e (a private X server
and session bus), under a window manager as a blind user has it."""

import json
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

from desk import wait_for

# Orca is quiet once nothing new has been spoken for this long.
QUIET = 1.5
# Orca on a loaded machine may take this long to start speaking.
SPEECH_TIMEOUT = 30.0

SPEECHD_CONF = """\
LogLevel 3
LogDir "{logs}"
AudioOutputMethod "alsa"
AudioALSADevice "null"
AddModule "capture" "sd_generic" "capture.conf"
DefaultModule capture
LanguageDefaultModule "en" "capture"
"""
# speech-dispatcher quotes $DATA for the shell itself.
CAPTURE_CONF = """\
GenericExecuteSynth "printf '%s\\\\n' '$DATA' >> {spoken}"
GenericLanguage "en" "en" "utf-8"
AddVoice "en" "MALE1" "capture"
DefaultVoice "capture"
"""
# Key echo would read out every key the test presses; sounds need an output.
ORCA_SETTINGS = {
    "general": {"enableKeyEcho": False, "enableSound": False},
    "profiles": {"default": {"profile": ["Default", "default"],
                             "enableKeyEcho": False, "enableSound": False}},
    "pronunciations": {}, "keybindings": {},
}


class ScreenReader:
    """Orca over speech-dispatcher, each in a private home, so that the
    user's own settings and any other Orca stay out of it."""

    def __init__(self, keep_logs_in):
        self.keep_logs_in = keep_logs_in
        self.home = tempfile.mkdtemp(prefix="corvale-orca-")
        self.spoken_file = os.path.join(self.home, "spoken")
        self.orca_log = os.path.join(self.home, "orca-debug.log")
        config = os.path.join(self.home, "config")
        data = os.path.join(self.home, "data")
        speechd = os.path.join(config, "speech-dispatcher")
        logs = os.path.join(self.home, "speechd-logs")
        for folder in (os.path.join(speechd, "modules"), os.path.join(data, "orca"), logs):
            os.makedirs(folder)
        with open(os.path.join(speechd, "speechd.conf"), "w") as out:
            out.write(SPEECHD_CONF.format(logs=logs))
        with open(os.path.join(speechd, "modules", "capture.conf"), "w") as out:
            out.write(CAPTURE_CONF.format(spoken=self.spoken_file))
        with open(os.path.join(data, "orca", "user-settings.conf"), "w") as out:
            json.dump(ORCA_SETTINGS, out)
        open(self.spoken_file, "w").close()
        version = subprocess.run(["orca", "--version"], capture_output=True, text=True).stdout
        # The major version, as "orca --version" prints it: "43.1", "Orca 48.1".
        self.version = int(re.search(r"(\d+)\.", version).group(1))
        socket = os.path.join(self.home, "speechd.sock")
        self.env = dict(os.environ, HOME=self.home, XDG_CONFIG_HOME=config,
                        XDG_DATA_HOME=data, XDG_CACHE_HOME=os.path.join(self.home, "cache"),
                        SPEECHD_ADDRESS=f"unix_socket:{socket}", GSETTINGS_BACKEND="memory")
        self.speechd = subprocess.Popen(
            ["speech-dispatcher", "--run-single", "--timeout", "0", "--config-dir", speechd,
             "--communication-method", "unix_socket", "--socket-path", socket],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("speech-dispatcher", lambda: os.path.exists(socket))
        self.orca = self.launcher = None
        try:
            self._start_orca()
            self.said(wait_for=lambda lines: "Screen reader on." in lines)
        except BaseException:
            self.stop()
            raise

    def _start_orca(self):
        # Orca refuses to start while the user runs another Orca anywhere, so
        # it gets a process namespace of its own where it is the only one.
        # Stopped by its own id (never by name, never with --replace).
        command = ["orca", f"--debug-file={self.orca_log}"]
        namespace = ["unshare", "--pid", "--fork", "--mount-proc", "--kill-child=SIGTERM"]
        if subprocess.run([*namespace, "true"], capture_output=True).returncode == 0:
            command = namespace + command
        self.launcher = subprocess.Popen(command, env=self.env, stdout=subprocess.DEVNULL,
                                         stderr=subprocess.DEVNULL)
        if command[0] == "unshare":
            self.orca = int(wait_for("Orca", lambda: subprocess.run(
                ["pgrep", "-P", str(self.launcher.pid)], capture_output=True,
                text=True).stdout.split())[0])
        else:
            self.orca = self.launcher.pid

    def lines(self):
        with open(self.spoken_file, encoding="utf-8", errors="replace") as spoken:
            return [line.rstrip("\n") for line in spoken]

    def mark(self):
        return len(self.lines())

    def said(self, since=None, wait_for=None, timeout=SPEECH_TIMEOUT):
        """Waits until Orca has said something since the mark that satisfies
        wait_for (by default: anything), then until it has been quiet for a
        moment, and returns what it said since the mark."""
        since = self.mark() if since is None else since
        condition = wait_for or bool
        deadline = time.monotonic() + timeout
        while not condition(self.lines()[since:]):
            if self.launcher and self.launcher.poll() is not None:
                raise AssertionError("Orca has stopped")
            if time.monotonic() > deadline:
                raise AssertionError(f"Orca said only {self.lines()[since:]!r}")
            time.sleep(0.1)
        return self.quiet(since)

    def quiet(self, since):
        """Waits until nothing new has been said for QUIET seconds and returns
        what was said since the mark."""
        count, last_change = len(self.lines()), time.monotonic()
        deadline = last_change + SPEECH_TIMEOUT
        while time.monotonic() - last_change < QUIET:
            time.sleep(0.1)
            now = len(self.lines())
            if now != count:
                count, last_change = now, time.monotonic()
            if time.monotonic() > deadline:
                raise AssertionError("Orca never fell quiet")
        return self.lines()[since:]

    def stop(self):
        """Ends Orca cleanly, so that its debug log is complete, then
        speech-dispatcher; keeps both logs for whoever reads the results."""
        if self.orca and self.launcher.poll() is None:
            os.kill(self.orca, signal.SIGTERM)
            try:
                self.launcher.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self.launcher.kill()
                self.launcher.wait()
        if self.speechd.poll() is None:
            self.speechd.terminate()
            self.speechd.wait(timeout=15)
        os.makedirs(self.keep_logs_in, exist_ok=True)
        for name, kept in (("spoken", "orca-spoken.txt"), ("orca-debug.log", "orca-debug.log")):
            source = os.path.join(self.home, name)
            if os.path.exists(source):
                shutil.copy(source, os.path.join(self.keep_logs_in, kept))
        shutil.rmtree(self.home, ignore_errors=True)
