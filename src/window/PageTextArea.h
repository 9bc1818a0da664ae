// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QPlainTextEdit>
#include <QTimer>

namespace senrokan
{

// RichTextBox1: the page-text area, always plain text. A long page goes in a slice of lines at a
// time between events, so that the window keeps answering while a large page is laid out. A line
// longer than DisplayLineChars is shown broken into several: laying out one huge paragraph costs
// time that grows with the square of its length, and minified pages are a single line. The break
// is only on screen; the checks read the page text itself.
class PageTextArea : public QPlainTextEdit
{
    Q_OBJECT
public:
    static constexpr qsizetype DisplayLineChars = 4096;

    explicit PageTextArea(QWidget* parent = nullptr);

    // Replaces the whole text; a text given while an earlier one is still going in replaces it.
    void showText(const QString& text);
    // Whether part of the last text is still to come.
    bool isFilling() const { return !m_rest.isEmpty(); }

private:
    // The next slice: at most SliceChars, ending after a line end when there is one.
    QString takeSlice();
    // The slice as shown: a line break wherever a line reaches DisplayLineChars.
    QString displayed(const QString& slice);
    void appendSlice();

    QString m_rest;
    qsizetype m_restAt = 0;
    qsizetype m_shownLineChars = 0; // length of the last line shown so far
    QTimer m_filler;
};

} // namespace senrokan
