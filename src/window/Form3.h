// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "cycle/DelayReport.h"

#include <QWidget>

class QPushButton;
class QTextEdit;

namespace senrokan
{

// The delay popup "運行情報": the delayed routes above all other windows, each with the time of
// its check, its reason line by line, a button that opens its page and one that keeps its line
// quiet for today (今日は知らせない). It grows to show them
// whole, as far as its screen allows, and never takes the keyboard focus from what the user is
// typing in.
class Form3 : public QWidget
{
    Q_OBJECT
public:
    explicit Form3(QWidget* parent = nullptr);

    // Replaces what the popup shows and shows it where it was, on top.
    void showReport(const QList<PopupEntry>& entries);
    // All it shows, as plain text: per route its title and an ideographic space, the time of its
    // check, the lines of its reason.
    QString text() const;
    // The route's line is kept quiet (or no longer): its entry's button says so, and cannot be
    // pressed while it is.
    void markQuiet(int route, bool quiet);

Q_SIGNALS:
    // The button of this route's entry was pressed.
    void pageRequested(int route);
    // 今日は知らせない of this route's entry was pressed.
    void quietRequested(int route);
    // The user closed the popup.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void clearButtons();
    // Sized to what it holds, shown where it was, on top.
    void present();
    void fitToContents();
    void placeButtons();

    // A route's buttons, beside the blocks of its title and its check time.
    struct PageButton {
        int route;
        QPushButton* button;
        QPushButton* quiet;
        int firstBlock;
        int lastBlock;
    };

    QTextEdit* m_richTextBox1;
    QList<PageButton> m_buttons;
};

} // namespace senrokan
