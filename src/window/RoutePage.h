// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "LinePickerDialog.h"
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
class RouteSettings;
class RouteWebView;

// The page of one route: the ten route fields Text<r>(1..10) with their labels Label<r>(1..9),
// the button Command<r>(1) "送信", the button ChooseLine<r> "路線を選ぶ…" (LinePickerDialog), the
// route's options from Senrokan.ini (RouteOptionsBox) and the area of the route's web view
// WebBrowser<r>. It edits the route in its owner: each field as it is typed. The controls are made
// when the window is first shown.
class RoutePage : public QWidget
{
    Q_OBJECT
public:
    // routes: the route's owner, Senrokan.ini's consumer key and API among it; readLines: how
    // the line picker reads the API's list.
    RoutePage(int route, RouteSettings& routes, LineReader readLines, QWidget* parent = nullptr);

    // Field k exactly as it stands, untrimmed.
    QString field(int element) const;
    // An edit of field k, as if typed.
    void setField(int element, const QString& text);
    // The boxes show the route's fields as its owner has them now.
    void showFields();
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
    // A line was chosen with "路線を選ぶ…": the route holds it, its fields and options shown.
    void lineChosen();
    // What was typed in a field cannot be taken, and why; it is not saved.
    void fieldRefused(const QString& why);

private:
    void chooseLine();
    // The port typed: full-width digits read as digits; anything but 1 to 65535 refused.
    void takePort();

    int m_route;
    RouteSettings& m_routes;
    LineReader m_readLines;
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
