// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteDefinition.h"

#include <QWidget>

#include <array>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace senrokan
{

class RouteWebView;

// The page of one route: the ten route fields Text<r>(1..10) with their labels Label<r>(1..9),
// the button Command<r>(1) "送信" and the area of the route's web view WebBrowser<r>.
class RoutePage : public QWidget
{
    Q_OBJECT
public:
    explicit RoutePage(int route, QWidget* parent = nullptr);

    // Field k exactly as it stands on the page, untrimmed.
    QString field(int element) const;
    void setField(int element, const QString& text);
    // Puts the fields set so far into their boxes; done once, before the window is first shown.
    void fillBoxes();

    QPushButton* command() const { return m_command; }
    // "ブラウザで読む": whether the route is read as the browser shows it.
    QCheckBox* renderBox() const { return m_render; }
    // The line saying the browser package is needed; shown only when it is not installed.
    QLabel* renderNote() const { return m_renderNote; }
    RouteWebView* webBrowser() const { return m_webBrowser; }

private:
    std::array<QLineEdit*, RouteFieldCount + 1> m_text{}; // [0] unused
    // Fields set while the window has never been shown, kept as text: a box lays out what it
    // is given, which loads the fonts and the text shaper, and Japanese text the Japanese font,
    // megabytes that a program that stays resident would hold for nothing.
    std::array<std::optional<QString>, RouteFieldCount + 1> m_unshown{};
    bool m_boxesFilled = false;
    std::array<QLabel*, RouteFieldCount> m_label{};       // [0] unused; field 10 has none
    QPushButton* m_command;
    QCheckBox* m_render;
    QLabel* m_renderNote;
    RouteWebView* m_webBrowser;
};

} // namespace senrokan
