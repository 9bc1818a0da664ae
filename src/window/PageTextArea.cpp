// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "PageTextArea.h"

#include <QTextCursor>

namespace senrokan
{

namespace
{

// About 2 ms of layout per slice on a slow machine.
constexpr qsizetype SliceChars = 32 * 1024;

} // namespace

PageTextArea::PageTextArea(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    m_filler.setInterval(0);
    connect(&m_filler, &QTimer::timeout, this, &PageTextArea::appendSlice);
}

void PageTextArea::showText(const QString& text)
{
    m_rest = text;
    m_restAt = 0;
    m_shownLineChars = 0;
    setPlainText(displayed(takeSlice()));
    if (isFilling())
        m_filler.start();
    else
        m_filler.stop();
}

QString PageTextArea::takeSlice()
{
    qsizetype end = m_rest.size();
    if (end - m_restAt > SliceChars) {
        // Cut after a line end, so that CR LF and surrogate pairs stay whole.
        const qsizetype lineEnd = m_rest.lastIndexOf(QLatin1Char('\n'), m_restAt + SliceChars - 1);
        end = lineEnd >= m_restAt ? lineEnd + 1 : m_restAt + SliceChars;
        if (end < m_rest.size() && m_rest.at(end - 1).isHighSurrogate())
            ++end;
    }
    const QString slice = m_rest.mid(m_restAt, end - m_restAt);
    m_restAt = end;
    if (m_restAt >= m_rest.size()) {
        m_rest.clear();
        m_restAt = 0;
    }
    return slice;
}

QString PageTextArea::displayed(const QString& slice)
{
    QString shown;
    shown.reserve(slice.size() + slice.size() / DisplayLineChars + 1);
    for (const QChar c : slice) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator) {
            m_shownLineChars = 0;
        } else {
            // Never between the two halves of a surrogate pair.
            if (m_shownLineChars >= DisplayLineChars && !c.isLowSurrogate()) {
                shown += QLatin1Char('\n');
                m_shownLineChars = 0;
            }
            ++m_shownLineChars;
        }
        shown += c;
    }
    return shown;
}

void PageTextArea::appendSlice()
{
    if (!isFilling()) {
        m_filler.stop();
        return;
    }
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(displayed(takeSlice()));
    if (!isFilling())
        m_filler.stop();
}

} // namespace senrokan
