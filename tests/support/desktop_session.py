# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
"""What the tests of the real program on a real X server share: reading the program through
AT-SPI the way a screen reader does, and the test fixtures of senrokan-testenv.

Run the calling script under `senrokan-testenv display --atspi --`: an X server, a D-Bus session
and an accessibility bus of its own, so runs never meet.
"""
import os
import re
import subprocess
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# A guard against hanging only: every wait ends as soon as what it waits for is there.
LIMIT_SECONDS = 60
CAPTION = "Senrokan  Ver.1.20"
TESTENV = os.environ["SENROKAN_TESTENV"]


def until(find, what, limit=LIMIT_SECONDS):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        try:
            found = find()
        except GLib.Error:
            # An object went away while the tree was read (a box closing): read it again.
            found = None
        if found:
            return found
        time.sleep(0.05)
    raise AssertionError("gave up waiting for " + what)


def descendants(node):
    todo = [node]
    while todo:
        current = todo.pop(0)
        for i in range(current.get_child_count()):
            child = current.get_child_at_index(i)
            if child is not None:
                yield child
                todo.append(child)


def application(pid):
    """The program's process on the accessibility bus; one that ended may linger there a while."""
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def control(app, name):
    """The control whose accessible description is its name in the program's tables."""
    return next((c for c in descendants(app) if c.get_description() == name), None)


def text_of(accessible):
    return Atspi.Text.get_text(accessible, 0, Atspi.Text.get_character_count(accessible))


def press(accessible):
    assert Atspi.Action.do_action(accessible, 0)


class Fixture:
    """A senrokan-testenv fixture that runs until stop(): "tray", or "serve FOLDER HOST"."""

    def __init__(self, *command, env=None):
        self.process = subprocess.Popen([TESTENV, *command], env=env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True)
        if self.process.stdout.readline().strip() != "ready":
            self.stop()
            raise AssertionError("senrokan-testenv " + " ".join(command) + " did not come up")

    def stop(self):
        self.process.stdin.close()
        self.process.stdout.close()
        self.process.wait()


def write_settings(path, interval, resident, chime, at_once, *routes):
    """A settings file; each route given as (title, server, directory, match word)."""
    fields = [str(value) for value in (interval, resident, chime, at_once)]
    subprocess.run([TESTENV, "settings", path, *fields, *(f for r in routes for f in r)],
                   check=True)


class Nginx(Fixture):
    """nginx serving pages (name: bytes) on port 80 of a loopback address; needs root."""

    def __init__(self, root, host, pages):
        os.makedirs(root)
        for name, content in pages.items():
            with open(os.path.join(root, name), "wb") as page:
                page.write(content)
        super().__init__("serve", root, host)


class Session:
    """The program started in a working directory on the test's X server, optionally with a
    notification area."""

    def __init__(self, program, directory, tray=False, wait_for_window=True):
        self.env = dict(os.environ)
        self.env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
        self.tray = None
        if tray:
            self.start_tray()
        self.program = subprocess.Popen([program], cwd=directory, env=self.env)
        self.app = until(lambda: application(self.program.pid),
                         "the program on the accessibility bus")
        if wait_for_window:
            until(lambda: any(w.get_name() == CAPTION for w in descendants(self.app)),
                  "the main window")

    def start_tray(self):
        """trayer as the notification area, once it is on screen."""
        self.tray = Fixture("tray", env=self.env)

    def x(self, *command):
        """Runs an X client on this display; its output, or None when it failed."""
        result = subprocess.run(command, env=self.env, capture_output=True, text=True)
        return result.stdout if result.returncode == 0 else None

    def tree(self):
        return self.x("xwininfo", "-root", "-tree") or ""

    def visible_windows(self, name, by="--name"):
        """Mapped windows whose name (or with by="--class", class) matches."""
        found = self.x("xdotool", "search", "--onlyvisible", by, name)
        return [int(w) for w in found.split()] if found else []

    def main_window(self):
        """The main window, in a list, while it is on screen."""
        return self.visible_windows("^" + re.escape(CAPTION) + "$")

    def ended(self):
        try:
            return self.program.wait(LIMIT_SECONDS)
        finally:
            self.close()

    def close(self):
        if self.program.poll() is None:
            self.program.kill()
            self.program.wait()
        if self.tray is not None:
            self.tray.stop()
            self.tray = None
