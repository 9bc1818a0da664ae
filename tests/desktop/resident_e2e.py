#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
"""Senrokan left resident, end to end: a real X server with a notification area (trayer), nginx
on a loopback address at port 80 serving a status page without its match word, and the real
program started resident with a check at once. Within 30 seconds the delay popup must be on
screen with the route's title, without the keyboard focus, the main window hidden and one icon
in the notification area; the icon's menu opens, a double-click brings the main window back, and
the menu's "終了" ends the program and saves.

usage: senrokan-testenv display --atspi -- resident_e2e.py SENROKAN
"""
import os
import pathlib
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop_session import (Nginx, Session, control, press,  # noqa: E402
                             text_of, until, write_settings)

PROGRAM = os.path.abspath(sys.argv[1])
HOST = "127.0.5.3"
TITLE = "山手線"
DELAY_LIMIT_SECONDS = 30
DELAYED_PAGE = ("<html><head><meta charset=\"utf-8\"></head><body><p>山手線</p>"
                "<p>運転を見合わせています。</p></body></html>").encode("utf-8")


class ResidentTest(unittest.TestCase):
    def setUp(self):
        if os.geteuid() != 0:
            self.skipTest("nginx needs root for port 80")
        directory = tempfile.TemporaryDirectory()
        self.addCleanup(directory.cleanup)
        self.work = os.path.join(directory.name, "work")
        os.makedirs(self.work)
        nginx = Nginx(os.path.join(directory.name, "www"), HOST, {"delayed.html": DELAYED_PAGE})
        self.addCleanup(nginx.stop)

    def start(self, resident, tray=True):
        # Interval 10 minutes, resident as asked, chime on, check at once; route 1 on nginx.
        settings = os.path.join(self.work, "Senrokan.DEF")
        write_settings(settings, 10, resident, 1, 1, (TITLE, HOST, "delayed.html", "平常運転"))
        self.written = pathlib.Path(settings).read_bytes()
        session = Session(PROGRAM, self.work, tray=tray, wait_for_window=resident != "1")
        self.addCleanup(session.close)
        return session

    @staticmethod
    def tray_icons(session):
        """The windows of ours embedded in trayer's panel."""
        icons, panel_depth = [], None
        for line in session.tree().splitlines():
            depth = len(line) - len(line.lstrip())
            if '("panel" "trayer")' in line:
                panel_depth = depth
            elif panel_depth is not None and depth <= panel_depth and line.strip():
                panel_depth = None
            elif panel_depth is not None and '("senrokan" "Senrokan")' in line:
                icons.append(int(line.split()[0], 16))
        return icons

    def test_delay_popup_from_a_resident_start(self):
        started = time.monotonic()
        session = self.start("1")

        popup = until(lambda: control(session.app, "Form3"), "the delay popup",
                      DELAY_LIMIT_SECONDS)
        self.assertLess(time.monotonic() - started, DELAY_LIMIT_SECONDS)
        self.assertEqual(popup.get_name(), "運行情報")
        text = text_of(control(popup, "Form3.RichTextBox1"))
        lines = text.splitlines()
        self.assertEqual(lines[0], TITLE + "　")
        self.assertRegex(lines[1], "^確認時刻 [0-2][0-9]:[0-5][0-9]$")
        self.assertEqual(len(lines), 2)
        shown = until(lambda: session.visible_windows("^運行情報$"), "the popup on screen", 5)
        self.assertEqual(len(shown), 1)
        # It asks window managers not to give it the keyboard focus: a user time of 0.
        self.assertEqual(session.x("xprop", "-id", str(shown[0]), "_NET_WM_USER_TIME"),
                         "_NET_WM_USER_TIME(CARDINAL) = 0\n")

        self.assertEqual(session.main_window(), [])
        icons = self.tray_icons(session)
        self.assertEqual(len(icons), 1, session.tree())

        # The right button opens the menu; Escape closes it.
        self.right_click(session, icons[0])
        session.x("xdotool", "key", "Escape")
        until(lambda: not self.menu_shown(session), "the menu closed", 10)

        self.double_click(session, icons[0])
        until(lambda: session.main_window(), "the main window after a double-click", 10)
        # Shown from the icon, the icon's clicks do nothing until the program goes resident.
        self.right_click(session, icons[0], expect_menu=False)

        press(control(session.app, "Command22"))
        until(lambda: not session.main_window(), "the main window hidden again", 10)
        self.assertEqual(self.tray_icons(session), icons)
        # "終了" is the menu's third entry, after "今すぐチェック": it ends the program and saves.
        self.right_click(session, icons[0])
        session.x("xdotool", "key", "Down", "Down", "Down", "Return")
        self.assertEqual(session.ended(), 0)
        self.assertEqual(pathlib.Path(self.work, "Senrokan.DEF").read_bytes(), self.written)

    @staticmethod
    def menu_shown(session):
        """The icon's menu: a window of ours on screen that is none of the others."""
        others = (ResidentTest.tray_icons(session) + session.visible_windows("^運行情報$")
                  + session.main_window())
        return [w for w in session.visible_windows("^senrokan$", by="--class")
                if w not in others]

    def right_click(self, session, icon, expect_menu=True):
        session.x("xdotool", "mousemove", "--window", str(icon), "11", "11", "click", "3")
        if expect_menu:
            until(lambda: self.menu_shown(session), "the icon's menu", 10)
        else:
            time.sleep(1)
            self.assertEqual(self.menu_shown(session), [])

    @staticmethod
    def double_click(session, icon):
        session.x("xdotool", "mousemove", "--window", str(icon), "11", "11",
                  "click", "--repeat", "2", "--delay", "80", "1")

    def test_notification_area_that_comes_later(self):
        # A login session whose panel starts after the program: the icon goes there once it
        # comes, and the window stays hidden.
        session = self.start("1", tray=False)
        time.sleep(3)
        session.start_tray()
        until(lambda: self.tray_icons(session), "the icon in the late notification area", 10)
        self.assertEqual(session.main_window(), [])

    def test_going_resident_twice_keeps_one_icon(self):
        session = self.start("0")
        command22 = control(session.app, "Command22")
        press(command22)
        until(lambda: self.tray_icons(session), "the icon", 10)
        until(lambda: not session.main_window(), "the main window hidden", 10)
        self.double_click(session, self.tray_icons(session)[0])
        until(lambda: session.main_window(), "the main window back", 10)
        press(command22)
        until(lambda: not session.main_window(), "the main window hidden again", 10)
        self.assertEqual(len(self.tray_icons(session)), 1, session.tree())


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
