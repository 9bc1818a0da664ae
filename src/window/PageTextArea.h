// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>

#include <array>

namespace senrokan
{

class RoutePage;

// RichTextBox1: the page-text area, always plain text. A long page goes in a slice at a time
// between events, so that the window keeps answering while a large page is laid out, and only
// while the window is shown: a resident program that never shows it never lays a page out nor
// loads the fonts for it. The area holds the head of a page only; the checks read the page text
// itself, never the area.
// It marks where the match word occurs, and its context menu sets a selected text as a route's
// section start, section end or match word.
class PageTextArea : public QPlainTextEdit
{
    Q_OBJECT
public:
    // A line longer than this is shown broken into several: laying out one paragraph costs time
    // that grows faster than its length, every paint shapes each paragraph in view whole, and
    // minified pages are a single line.
    static constexpr qsizetype DisplayLineChars = 1024;
    // Likewise a letter carrying more marks than this: one such cluster costs time that grows
    // with the square of its length, however short the line.
    static constexpr qsizetype DisplayClusterChars = 32;
    // What the area holds of a page at most, as every line is a text block with memory of its
    // own: the first MaxLines lines (display breaks included) or MaxChars characters, then one
    // line that says how many characters were left out.
    static constexpr qsizetype MaxLines = 100000;
    static constexpr qsizetype MaxChars = 4 * 1024 * 1024;
    // The most occurrences marked: each mark is looked at on every paint.
    static constexpr qsizetype MaxMarks = 500;

    explicit PageTextArea(QWidget* parent = nullptr);

    // Replaces the whole text; a text given while an earlier one is still going in replaces it.
    void showText(const QString& text);
    // Whether part of the last text is still to come: being filled in, or waiting for the
    // window to be shown.
    bool isFilling() const { return !m_rest.isEmpty() || m_replacing; }

    // The last line of a page cut short.
    static QString omissionLine(qsizetype leftOut);

    // Marks the occurrences of word in the text shown, found as the checks find it, the first
    // MaxMarks of them, also in what is still to come; the next text shown has none until told
    // again. One broken on screen by a display break is not marked. With a section start, only
    // those from it to its end (or the page's end) are marked, as the check counts them.
    void markWord(const QString& word, const QString& sectionStart = {},
                  const QString& sectionEnd = {});
    // The route page whose section start (SubtitleStart), section end (SubtitleEnd) and match
    // word (MatchWord) the context menu sets; none: those entries are off.
    void setFieldTarget(RoutePage* page);

protected:
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The next slice as shown: about m_sliceChars of the page and as many lines in proportion,
    // with a line break wherever a line or a cluster reaches its display limit, and the omission
    // line once the area is full.
    QString takeSlice();
    void appendSlice();
    // Marks the occurrences in what was shown since the last search.
    void markShown();
    void enableFieldActions();

    QString m_rest;
    qsizetype m_restAt = 0;
    bool m_replacing = false;     // the next slice replaces what the area shows
    qsizetype m_lines = 0;        // lines shown so far
    qsizetype m_lineChars = 0;    // length of the last line shown so far
    qsizetype m_clusterChars = 0; // length of its last cluster
    qsizetype m_sliceChars;       // the most the next slice may hold
    QTimer m_filler;

    QString m_markWord;
    QString m_sectionStart;
    QString m_sectionEnd;
    // Where the text searched so far stands against the section.
    enum class InSection { Before, Inside, After } m_inSection = InSection::Inside;
    QList<QTextEdit::ExtraSelection> m_marks;
    int m_searchedTo = 0; // the document position the marks were searched to
    QPointer<RoutePage> m_fieldTarget;
    std::array<QAction*, 3> m_fieldActions{}; // section start, section end, match word
};

} // namespace senrokan
