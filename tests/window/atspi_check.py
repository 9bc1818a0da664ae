#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
"""Senrokan through the accessibility bus (AT-SPI), the way a screen reader or an automation
tool uses it: fields read and typed, tab captions read, buttons pressed, a message box read and
dismissed, a route checked on demand against nginx.

usage: senrokan-testenv display --atspi -- atspi_check.py SENROKAN DATA_DIR
"""
import os
import re
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop_session import (CAPTION, Atspi, Nginx, Session, control,  # noqa: E402
                             descendants, press, text_of, until, write_settings)

PROGRAM = os.path.abspath(sys.argv[1])
DATA = sys.argv[2]


def box_named(app, title):
    return next((c for c in descendants(app)
                 if c.get_role() in (Atspi.Role.DIALOG, Atspi.Role.ALERT)
                 and c.get_name() == title), None)


class AccessibilityTest(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.addCleanup(self.directory.cleanup)

    def start(self, directory, settings=None):
        if settings:
            shutil.copyfile(os.path.join(DATA, "settings", settings),
                            os.path.join(directory, "Senrokan.DEF"))
        session = Session(PROGRAM, directory)
        self.addCleanup(session.close)
        return session

    def answer_box(self, app, title, text):
        """Reads the message box titled title, finds text in it and presses its one button, OK."""
        box = until(lambda: box_named(app, title), "the box " + title)
        labels = [c.get_name() for c in descendants(box) if c.get_role() == Atspi.Role.LABEL]
        self.assertIn(text, labels)
        buttons = [c for c in descendants(box) if c.get_role() == Atspi.Role.PUSH_BUTTON]
        self.assertEqual([b.get_name() for b in buttons], ["OK"])
        press(buttons[0])
        until(lambda: box_named(app, title) is None, "the box gone")

    def test_read_type_and_end(self):
        session = self.start(self.directory.name, "full.DEF")
        app = session.app
        tabs = [c.get_name() for c in descendants(app) if c.get_role() == Atspi.Role.PAGE_TAB]
        self.assertEqual(tabs, ["設定", "東海道線", "  山手線 ", "京浜東北線&根岸線",
                                "ﾊﾝｶｸ ｶﾀｶﾅ線", "", "履歴"])
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
        self.answer_box(session.app, "メッセージ", "ファイルに書き込めません。")

        # The program stays, its window on screen, so nothing typed is lost.
        self.assertIsNone(session.program.poll())
        self.assertTrue(session.visible_windows("^" + re.escape(CAPTION) + "$"))
        self.assertEqual(os.listdir(self.directory.name), [])
        self.assertEqual(os.path.exists("/Senrokan.DEF"), root_had_file)

    def test_route_button_and_summary(self):
        if os.geteuid() != 0:
            self.skipTest("nginx needs root for port 80")
        host = "127.0.5.5"
        page = "<html><body><p>山手線</p><p>現在、平常運転です。</p></body></html>"
        nginx = Nginx(os.path.join(self.directory.name, "www"), host,
                      {"normal.html": page.encode("cp932")})
        self.addCleanup(nginx.stop)
        work = os.path.join(self.directory.name, "work")
        os.mkdir(work)
        write_settings(os.path.join(work, "Senrokan.DEF"), 30, 0, 0, 0,
                       ("山手線", host, "normal.html", "平常運転"))
        session = self.start(work)
        app = session.app

        tab = next(c for c in descendants(app)
                   if c.get_role() == Atspi.Role.PAGE_TAB and c.get_name() == "山手線")
        press(tab)
        press(control(app, "Command1(1)"))
        # The route's status is stored once the box has closed.
        self.answer_box(app, "運行情報", "平常運転です。")

        until(lambda: text_of(control(app, "Text8")) == "「平常運転」がページに1回あります。",
              "the status field", 10)
        press(control(app, "Command11"))
        summary = until(lambda: text_of(control(app, "RichTextBox1")).startswith("山手線"),
                        "the summary") and text_of(control(app, "RichTextBox1"))
        self.assertRegex(summary.splitlines()[0],
                         r"^山手線　平常運転です。   \d{4}年\d\d月\d\d日 \d\d時\d\d分\d\d秒$")
        press(control(app, "Command13"))
        self.assertEqual(session.ended(), 0)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
