// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "PageTextArea.h"

#include "RoutePage.h"
#include "codec/TextSearch.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QMenu>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>

#include <algorithm>
#include <limits>
#include <memory>

namespace senrokan
{

namespace
{

// The most a slice holds: every line is a block to insert, which costs more than its
// characters, so a page of line ends is bounded by its lines. The time a slice takes depends
// on the script and the marks as much as on the length: each slice is sized by how long the
// one before took, halved over TurnMs, doubled under half of it.
constexpr qsizetype SliceChars = 32 * 1024;
constexpr qsizetype SliceLines = 2000;
constexpr qsizetype FirstSliceChars = 4096;
constexpr qsizetype LeastSliceChars = 512;
constexpr qint64 TurnMs = 12;

struct FieldEntry {
    int element;
    const char* name;
    const char16_t* caption;
};
// The context menu's entries, in the order of m_fieldActions.
constexpr std::array<FieldEntry, 3> FieldEntries = {{
    {SubtitleStart, "SetSubtitleStart", u"区間の始まり（サブタイトル）に設定"},
    {SubtitleEnd, "SetSubtitleEnd", u"区間の終わり（サブタイトルの右の欄）に設定"},
    {MatchWord, "SetMatchWord", u"一致ワードに設定"},
}};

// Where QTextCursor::insertText starts a new block (CR LF starts one).
bool endsBlock(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar(0xfdd0) ||
           c == QChar(0xfdd1);
}

} // namespace

PageTextArea::PageTextArea(QWidget* parent) : QPlainTextEdit(parent), m_sliceChars(FirstSliceChars)
{
    setReadOnly(true);
    m_filler.setInterval(0);
    connect(&m_filler, &QTimer::timeout, this, &PageTextArea::appendSlice);
    for (std::size_t i = 0; i < FieldEntries.size(); ++i) {
        const FieldEntry& entry = FieldEntries.at(i);
        auto* action = new QAction(QString::fromUtf16(entry.caption), this);
        action->setObjectName(QLatin1String(entry.name));
        connect(action, &QAction::triggered, this, [this, element = entry.element] {
            if (m_fieldTarget)
                m_fieldTarget->setField(element, textCursor().selectedText());
        });
        m_fieldActions.at(i) = action;
    }
    connect(this, &QPlainTextEdit::selectionChanged, this, &PageTextArea::enableFieldActions);
    enableFieldActions();
}

QString PageTextArea::omissionLine(qsizetype leftOut)
{
    return QStringLiteral("（以下 %1 文字は表示していません）").arg(leftOut);
}

void PageTextArea::showText(const QString& text)
{
    m_rest = text;
    m_restAt = 0;
    m_replacing = true;
    m_lines = 1;
    m_lineChars = 0;
    m_clusterChars = 0;
    m_sliceChars = FirstSliceChars;
    m_filler.stop();
    m_markWord.clear();
    m_searchedTo = 0;
    if (!m_marks.isEmpty()) {
        m_marks.clear();
        setExtraSelections(m_marks);
    }
    if (window()->isVisible())
        appendSlice();
    else if (!document()->isEmpty())
        clear(); // the earlier page's layout goes now; the new one waits for the window
}

void PageTextArea::showEvent(QShowEvent* event)
{
    QPlainTextEdit::showEvent(event);
    if (isFilling() && !m_filler.isActive())
        appendSlice();
}

QString PageTextArea::takeSlice()
{
    const qsizetype from = m_restAt;
    const qsizetype lineLimit = std::max<qsizetype>(1, m_sliceChars * SliceLines / SliceChars);
    // Clusters seen from one character before the slice, so that one going on from the slice
    // before goes on counting, to the end of the line that follows the slice.
    const qsizetype windowStart = std::max<qsizetype>(0, from - 1);
    const qsizetype windowEnd = std::min(m_rest.size(), from + m_sliceChars + DisplayLineChars + 2);
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme,
                                 QStringView(m_rest).sliced(windowStart, windowEnd - windowStart));
    const auto nextCluster = [&] {
        const qsizetype next = clusters.toNextBoundary();
        return next < 0 ? windowEnd : windowStart + next;
    };
    clusters.setPosition(from - windowStart);
    qsizetype clusterAt = clusters.isAtBoundary() ? from : nextCluster();

    QString shown;
    shown.reserve(windowEnd - from + (windowEnd - from) / DisplayClusterChars + 1);
    qsizetype sliceLines = 0;
    bool full = false;
    qsizetype at = from;
    for (; at < m_rest.size(); ++at) {
        const QChar c = m_rest.at(at);
        // Never between the halves of a surrogate pair, nor between CR and LF.
        const bool pairEnd =
            c.isLowSurrogate() || (c == u'\n' && at > 0 && m_rest.at(at - 1) == u'\r');
        if (!pairEnd && at >= MaxChars) {
            full = true;
            break;
        }
        if (at == clusterAt) {
            m_clusterChars = 0;
            clusterAt = nextCluster();
        }
        const bool lineEnd = endsBlock(c);
        if (!lineEnd && !c.isLowSurrogate() &&
            (m_lineChars >= DisplayLineChars || m_clusterChars >= DisplayClusterChars)) {
            if (m_lines >= MaxLines) {
                full = true;
                break;
            }
            shown += u'\n';
            ++m_lines;
            ++sliceLines;
            m_lineChars = 0;
            m_clusterChars = 0;
        }
        // A full slice ends where a line starts, so that every line is laid out once: the next
        // slice goes into a new block, and leaves the last one as it is.
        if (!pairEnd && m_lineChars == 0 && at > from &&
            (at - from >= m_sliceChars || sliceLines >= lineLimit))
            break;
        if (lineEnd && !pairEnd) {
            if (m_lines >= MaxLines) {
                full = true;
                break;
            }
            ++m_lines;
            ++sliceLines;
            m_lineChars = 0;
            m_clusterChars = 0;
        } else if (!lineEnd) {
            ++m_lineChars;
            ++m_clusterChars;
        }
        shown += c;
    }
    m_restAt = at;
    if (full)
        shown += u'\n' + omissionLine(m_rest.size() - m_restAt);
    if (full || m_restAt >= m_rest.size()) {
        m_rest.clear();
        m_restAt = 0;
    }
    return shown;
}

void PageTextArea::appendSlice()
{
    // Hidden meanwhile: the rest waits until the window is shown again.
    if (!window()->isVisible()) {
        m_filler.stop();
        return;
    }
    QElapsedTimer took;
    took.start();
    const QString slice = takeSlice();
    if (m_replacing) {
        m_replacing = false;
        setPlainText(slice);
    } else {
        QTextCursor cursor(document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(slice);
    }
    markShown();
    const qint64 ms = took.elapsed();
    if (ms > TurnMs)
        m_sliceChars = std::max(LeastSliceChars, m_sliceChars / 2);
    else if (ms < TurnMs / 2)
        m_sliceChars = std::min(SliceChars, m_sliceChars * 2);
    if (isFilling())
        m_filler.start();
    else
        m_filler.stop();
}

void PageTextArea::markWord(const QString& word, const QString& sectionStart,
                            const QString& sectionEnd)
{
    m_markWord = word;
    m_sectionStart = sectionStart;
    m_sectionEnd = sectionEnd;
    m_inSection = sectionStart.isEmpty() ? InSection::Inside : InSection::Before;
    m_searchedTo = 0;
    m_marks.clear();
    setExtraSelections(m_marks);
    markShown();
}

void PageTextArea::markShown()
{
    if (m_markWord.isEmpty() || m_marks.size() >= MaxMarks)
        return;
    // Every slice ends where a line starts, and no occurrence spans a line: the text shown since
    // the last search holds all the occurrences that were not searched yet.
    QTextCursor searched(document());
    searched.movePosition(QTextCursor::End);
    const int end = searched.position();
    searched.setPosition(m_searchedTo, QTextCursor::KeepAnchor);
    // One position for each line end, as in the document.
    const TextSearch search(searched.selectedText());
    const int from = m_searchedTo;
    m_searchedTo = end;
    const qsizetype before = m_marks.size();
    QTextCharFormat format;
    format.setBackground(QColor(255, 224, 102));
    format.setForeground(Qt::black);
    // The section as the check finds it: from its start's first place, to its end's first place
    // after that; the markers hold one line each, so neither spans two searches.
    qsizetype begin = 1;
    qsizetype limit = std::numeric_limits<qsizetype>::max();
    if (m_inSection == InSection::Before) {
        begin = search.find(m_sectionStart, 1);
        if (begin == 0)
            return;
        m_inSection = InSection::Inside;
    }
    if (m_inSection == InSection::After)
        return;
    if (!m_sectionStart.isEmpty() && !m_sectionEnd.isEmpty()) {
        if (const qsizetype end = search.find(m_sectionEnd, begin); end != 0) {
            limit = end;
            m_inSection = InSection::After;
        }
    }
    qsizetype after = 0;
    for (qsizetype at = search.find(m_markWord, begin, &after);
         at != 0 && at <= limit && m_marks.size() < MaxMarks;
         at = search.find(m_markWord, after, &after)) {
        QTextCursor mark(document());
        mark.setPosition(from + int(at) - 1);
        mark.setPosition(from + int(after) - 1, QTextCursor::KeepAnchor);
        m_marks.append({mark, format});
    }
    if (m_marks.size() > before)
        setExtraSelections(m_marks);
}

void PageTextArea::setFieldTarget(RoutePage* page)
{
    m_fieldTarget = page;
    enableFieldActions();
}

void PageTextArea::enableFieldActions()
{
    // A field holds one line.
    const QTextCursor cursor = textCursor();
    const bool oneLine = cursor.hasSelection() && document()->findBlock(cursor.selectionStart()) ==
                                                      document()->findBlock(cursor.selectionEnd());
    for (QAction* action : m_fieldActions)
        action->setEnabled(m_fieldTarget && oneLine);
}

void PageTextArea::contextMenuEvent(QContextMenuEvent* event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    menu->addSeparator();
    for (QAction* action : m_fieldActions)
        menu->addAction(action);
    menu->exec(event->globalPos());
}

} // namespace senrokan
