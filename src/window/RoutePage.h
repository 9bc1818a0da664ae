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

class CompanionSettings;
struct OdptAccess;
struct OdptLine;
class RouteOptionsBox;
class RouteWebView;

// The page of one route: the ten route fields Text<r>(1..10) with their labels Label<r>(1..9),
// the button Command<r>(1) "送信", the button ChooseLine<r> "路線を選ぶ…" (LinePickerDialog), the
// route's options from Senrokan.ini (RouteOptionsBox) and the area of the route's web view
// WebBrowser<r>. The controls are made when the window is first shown: until then the fields are
// kept as text.
class RoutePage : public QWidget
{
    Q_OBJECT
public:
    // companion: Senrokan.ini, for the consumer key and the API the line picker reads.
    RoutePage(int route, const CompanionSettings& companion, QWidget* parent = nullptr);

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
    // A line was chosen with "路線を選ぶ…": the fields it set are on the page, and its options
    // were told by optionsEdited.
    void lineChosen();

private:
    void chooseLine();
    void useLine(const OdptLine& line, const OdptAccess& access);

    int m_route;
    const CompanionSettings& m_companion;
    // Fields set before the controls are made, kept as text: making a box lays out its text,
    // which loads the fonts and the text shaper, and Japanese text the Japanese font, megabytes
    // that a program that stays resident would hold for nothing.
    std::array<QString, RouteFieldCount + 1> m_fields{}; // [0] unused
    bool m_madeControls = false;
    std::array<QLineEdit*, RouteFieldCount + 1> m_text{}; // [0] unused
    std::array<QLabel*, RouteFieldCount> m_label{};       // [0] unused; field 10 has none
    RouteOptions m_unshownOptions;
    QPushButton* m_command = nullptr;
    QPushButton* m_chooseLine = nullptr;
    RouteOptionsBox* m_options = nullptr;
    RouteWebView* m_webBrowser = nullptr;
};

} // namespace senrokan
