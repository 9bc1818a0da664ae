// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "feed/OdptLines.h"

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace senrokan
{

class CompanionSettings;

// Reads the lines the ODPT API at an access lists, running the event loop meanwhile; the list
// shipped with the program, with why, when it cannot.
using LineReader = std::function<OdptLineList(const OdptAccess& access)>;

// "路線を選ぶ" (LinePicker): ODPT's railway lines under their operators (LineTree), narrowed as
// the search box (LineSearch) is typed in (銀座, Ginza and ぎんざ all find 銀座線). It opens on
// the list shipped with the program and reads the API's own at once, usable and closable
// meanwhile; where the list came from is said below it (LineSource). Without a consumer key in
// Senrokan.ini it asks for one (ConsumerKeyText), used for the next read ("一覧を読み直す") and
// saved when a line is chosen.
class LinePickerDialog : public QDialog
{
    Q_OBJECT
public:
    LinePickerDialog(const CompanionSettings& companion, LineReader readLines,
                     QWidget* parent = nullptr);

    // Once accepted: the line chosen, and the API as Senrokan.ini names it now, key and all.
    const OdptLine& chosenLine() const { return m_chosen; }
    const OdptAccess& access() const { return m_access; }

    // Takes the line selected; a key typed is saved first, and a save that fails keeps the
    // dialog open, saying why.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Reads the API's list, replacing the one shown; the event loop runs meanwhile.
    void readLines();
    // The lines the search finds, under their operators; an id typed whole that no list knows
    // is offered too.
    void showLines();
    void showSource();
    std::optional<OdptLine> selectedLine() const;

    const CompanionSettings& m_companion;
    LineReader m_readLines;
    OdptLineList m_list;
    QString m_listBase; // the API the list was read from, empty for the first, shipped one
    bool m_reading = false;
    OdptLine m_chosen;
    OdptAccess m_access;
    QLineEdit* m_search;
    QTreeWidget* m_tree;
    QLineEdit* m_key = nullptr;
    QString m_noHits; // a search that found no line
    QLabel* m_source;
    QPushButton* m_reload;
    QPushButton* m_ok;
};

} // namespace senrokan
