#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
"""Writes the settings-file fixtures of this folder. Run it only to change them: the tests
compare what the program writes with these bytes, made independently of the program."""
from pathlib import Path

HERE = Path(__file__).resolve().parent

ROUTES_FULL = [
    ["東海道線", "traininfo.example.jp", "info/tokaido.html", "平常どおり運転しています",
     "info/tokaido-delay.html", "5:00", "23:30", "<h2>東海道線</h2>", "</table>"],
    ["  山手線 ", "www.example.co.jp", "unkou/yamanote,list.html", "\"平常\"運転",
     "a, b, \"c\"", " 6:00", "22:00 ", "", ""],
    ["京浜東北線&根岸線", "keihin.example.jp", "", "ダイヤ", "", "", "", "", ""],
    ["ﾊﾝｶｸ ｶﾀｶﾅ線", "10.0.0.1", "~user/index.html?x=1&y=2", "㈱①～", "", "", "", "", ""],
    [""] * 9,
]

ROUTES_RAIL = [
    ["中央線", "rail.example.jp", "chuo.html", "平常", "", "", "", "", ""],
    ["総武線", "", "", "", "", "", "", "", ""],
    ["", "", "", "", "", "", "", "", ""],
    ["", "", "", "", "", "", "", "", ""],
    ["埼京線", "saikyo.example.jp", "s.html", "平常", "", "", "", "", ""],
]

ROUTES_OTHER = [["使われない路線", "other.example.jp", "", "", "", "", "", "", ""]] + [[""] * 9] * 4

ROUTES_UTF8 = [["𠮷野線", "Café.example.jp", "", "平常", "", "", "", "", ""]] + [[""] * 9] * 4


def layout(line1, numbers, routes):
    return [line1] + [str(n) for n in numbers] + [v for block in routes for v in block]


def write(name, lines, coding="cp932"):
    text = "".join(line + "\r\n" for line in lines)
    data = text.encode("utf-8-sig" if coding == "utf-8" else "cp932")
    (HERE / name).write_bytes(data)


write("full.DEF", layout("", [60, 0, 1, 0], ROUTES_FULL))
write("priority-settings.DEF", layout("rail.DEF", [10, 0, 0, 0], ROUTES_OTHER))
write("rail.DEF", layout("other.DEF", [240, 0, 0, 1], ROUTES_RAIL))
write("other.DEF", layout("", [1440, 0, 1, 1], ROUTES_OTHER))
write("rail-exported.DEF", layout("", [240, 0, 0, 1], ROUTES_RAIL))
write("priority-saved.DEF", layout("rail.DEF", [240, 0, 0, 1], ROUTES_RAIL))
write("five-lines.DEF", ["", "120", "1", "1", "1"])
write("utf8.DEF", layout("", [30, 0, 0, 0], ROUTES_UTF8), coding="utf-8")
