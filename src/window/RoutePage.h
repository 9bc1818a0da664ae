// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteDefinition.h"
#include "route/RouteOptions.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace senrokan
{

class RouteOptionsBox;
class RouteWebView;

// The page of one route: the ten route fields Text<r>(1..10) with their labels Label<r>(1..9),
// the button Command<r>(1) "送信", the route's options from Senrokan.ini (RouteOptionsBox) and the
// area of the route's web view WebBrowser<r>. The
// controls are made when the window is first shown: until then the fields are kept as text.
class RoutePage : public QWidget
{
    Q_OBJECT
public:
    explicit RoutePage(int route, QWidget* parent = nullptr);

    // Field k exactly as it stands on the page, untrimmed.
    QString field(int element) const;
    void setField(int element, const QString& text);
    // Makes the controls with the fields set so far in their boxes; done once, before the
    // window is first shown.
    void makeControls();

    // The route's options as the page shows them, the port field among them; set before the
    // controls are made, they are kept until then.
    void setOptions(const RouteOptions& options);
    RouteOptions options() const;

    // The web view; only once the controls are made.
    RouteWebView* webBrowser() const { return m_webBrowser; }

Q_SIGNALS:
    // The button "送信" was clicked.
    void sendClicked();
    // The user changed an option: options() holds the new ones.
    void optionsEdited();

private:
    int m_route;
    // Fields set before the controls are made, kept as text: making a box lays out its text,
    // which loads the fonts and the text shaper, and Japanese text the Japanese font, megabytes
    // that a program that stays resident would hold for nothing.
    std::array<QString, RouteFieldCount + 1> m_fields{}; // [0] unused
    bool m_madeControls = false;
    std::array<QLineEdit*, RouteFieldCount + 1> m_text{}; // [0] unused
    std::array<QLabel*, RouteFieldCount> m_label{};       // [0] unused; field 10 has none
    RouteOptions m_unshownOptions;
    QPushButton* m_command = nullptr;
    RouteOptionsBox* m_options = nullptr;
    RouteWebView* m_webBrowser = nullptr;
};

} // namespace senrokan
