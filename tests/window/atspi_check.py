#!/usr/bin/python3
"""Senrokan through the accessibility bus (AT-SPI), the way a screen reader or an automation
tool uses it: fields read and typed, tab captions read, buttons pressed, a message box read and
dismissed. Starts its own D-Bus session, accessibility bus and Xvfb, so runs never meet.

usage: atspi_check.py SENROKAN DATA_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

# The accessibility bus keeps its socket under XDG_RUNTIME_DIR: each run gets a directory of
# its own before its D-Bus session starts the bus.
if os.environ.get("SENROKAN_ATSPI_SESSION") != "1":
    runtime = tempfile.mkdtemp(prefix="senrokan-atspi-")
    env = dict(os.environ, SENROKAN_ATSPI_SESSION="1", XDG_RUNTIME_DIR=runtime)
    code = subprocess.call(["dbus-run-session", "--", sys.executable] + sys.argv, env=env)
    shutil.rmtree(runtime, ignore_errors=True)
    sys.exit(code)

import gi  # noqa: E402

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

PROGRAM = sys.argv[1]
DATA = sys.argv[2]
# A guard against hanging only: every wait ends as soon as what it waits for is there.
LIMIT_SECONDS = 60
CAPTION = "Senrokan  Ver.1.20"


def until(find, what):
    deadline = time.monotonic() + LIMIT_SECONDS
    while time.monotonic() < deadline:
        found = find()
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


def application():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and any(w.get_name() == CAPTION for w in descendants(app)):
            return app
    return None


def control(app, name):
    """The control whose accessible description is its name in the program's tables."""
    return next((c for c in descendants(app) if c.get_description() == name), None)


def text_of(accessible):
    return Atspi.Text.get_text(accessible, 0, Atspi.Text.get_character_count(accessible))


def press(accessible):
    assert Atspi.Action.do_action(accessible, 0)


def enable_accessibility():
    """What a screen reader does when it starts: switch the accessibility bus on."""
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  GLib.Variant("(ssv)", ("org.a11y.Status", "IsEnabled",
                                         GLib.Variant("b", True))),
                  None, Gio.DBusCallFlags.NONE, -1, None)


class Session:
    """An X server and the program, started in a working directory."""

    def __init__(self, directory):
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24",
                                      "-nolisten", "tcp"], stdout=subprocess.PIPE)
        with self.xvfb.stdout:
            display = ":" + self.xvfb.stdout.readline().decode().strip()
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb")
        env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
        self.program = subprocess.Popen([PROGRAM], cwd=directory, env=env)
        self.app = until(application, "the program on the accessibility bus")

    def ended(self):
        try:
            return self.program.wait(LIMIT_SECONDS)
        finally:
            self.close()

    def close(self):
        if self.program.poll() is None:
            self.program.kill()
            self.program.wait()
        self.xvfb.terminate()
        self.xvfb.wait()


class AccessibilityTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        enable_accessibility()

    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.addCleanup(self.directory.cleanup)

    def start(self, directory, settings=None):
        if settings:
            with open(os.path.join(DATA, "settings", settings), "rb") as source, \
                    open(os.path.join(directory, "Senrokan.DEF"), "wb") as target:
                target.write(source.read())
        session = Session(directory)
        self.addCleanup(session.close)
        return session

    def test_read_type_and_end(self):
        session = self.start(self.directory.name, "full.DEF")
        app = session.app
        tabs = [c.get_name() for c in descendants(app) if c.get_role() == Atspi.Role.PAGE_TAB]
        self.assertEqual(tabs, ["設定", "東海道線", "  山手線 ", "京浜東北線&根岸線",
                                "ﾊﾝｶｸ ｶﾀｶﾅ線", ""])
        title = control(app, "Text1(1)")
        self.assertEqual(title.get_name(), "タイトル")
        self.assertEqual(text_of(title), "東海道線")
        self.assertEqual(text_of(control(app, "Text2(5)")), "80")
        self.assertTrue(text_of(control(app, "Text6")))
        option = control(app, "Option3")
        self.assertEqual(option.get_name(), " 1時間")
        self.assertTrue(option.get_state_set().contains(Atspi.StateType.CHECKED))

        self.assertTrue(Atspi.EditableText.set_text_contents(title, "総武快速線"))
        press(control(app, "Command13"))

        self.assertEqual(session.ended(), 0)
        with open(os.path.join(self.directory.name, "Senrokan.DEF"), "rb") as saved:
            lines = saved.read().decode("cp932").split("\r\n")
        self.assertEqual(lines[5], "総武快速線")

    def test_message_box_read_and_dismissed(self):
        # A working directory that is gone by the time "終了" saves: the save fails.
        gone = os.path.join(self.directory.name, "gone")
        os.mkdir(gone)
        root_had_file = os.path.exists("/Senrokan.DEF")
        session = self.start(gone)
        os.rmdir(gone)
        press(control(session.app, "Command13"))

        box = until(lambda: next((c for c in descendants(session.app)
                                  if c.get_role() in (Atspi.Role.DIALOG, Atspi.Role.ALERT)
                                  and c.get_name() == "メッセージ"), None),
                    "the message box")
        labels = [c for c in descendants(box) if c.get_role() == Atspi.Role.LABEL]
        self.assertIn("ファイルに書き込めません。", [c.get_name() for c in labels])
        buttons = [c for c in descendants(box) if c.get_role() == Atspi.Role.PUSH_BUTTON]
        self.assertEqual([b.get_name() for b in buttons], ["OK"])
        press(buttons[0])

        self.assertEqual(session.ended(), 0)
        self.assertEqual(os.listdir(self.directory.name), [])
        self.assertEqual(os.path.exists("/Senrokan.DEF"), root_had_file)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
