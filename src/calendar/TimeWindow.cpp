// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "TimeWindow.h"

#include "base/Failure.h"

#include <QRegularExpression>

namespace senrokan
{

namespace
{

QString toHalfWidth(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= u'０' && u <= u'９')
            c = QChar(u'0' + (u - u'０'));
        else if (u == u'：')
            c = QLatin1Char(':');
        else if (u == u'\u3000')
            c = QLatin1Char(' ');
        else if ((u >= u'Ａ' && u <= u'Ｚ') || (u >= u'ａ' && u <= u'ｚ'))
            c = QChar(u - 0xFEE0);
    }
    return out;
}

} // namespace

QTime parseTimeOfDay(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral(
            R"(^\s*(午前|午後|AM|PM)?\s*(\d{1,2}):(\d{2})(?::(\d{2}))?\s*(午前|午後|AM|PM)?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(toHalfWidth(text));
    if (!m.hasMatch() || (m.hasCaptured(1) && m.hasCaptured(5)))
        throw Failure(FailureKind::BadTimeOfDay);

    int hour = m.captured(2).toInt();
    const int minute = m.captured(3).toInt();
    const int second = m.hasCaptured(4) ? m.captured(4).toInt() : 0;
    const QString half = (m.hasCaptured(1) ? m.captured(1) : m.captured(5)).toUpper();
    if (!half.isEmpty()) {
        if (hour > 12)
            throw Failure(FailureKind::BadTimeOfDay);
        const bool afternoon = half == QLatin1String("PM") || half == QStringLiteral("午後");
        hour = hour % 12 + (afternoon ? 12 : 0);
    }
    const QTime time(hour, minute, second);
    if (!time.isValid())
        throw Failure(FailureKind::BadTimeOfDay);
    return time;
}

int InTimeWindow(const QString& from, const QString& to, QTime now)
{
    const QTime start = parseTimeOfDay(from);
    const QTime end = parseTimeOfDay(to);
    const int sh = start.hour();
    int eh = end.hour();
    if (eh < sh)
        eh += 24;
    int nh = now.hour();
    if (nh < sh)
        nh += 24;
    const int s = sh * 60 + start.minute();
    const int e = eh * 60 + end.minute();
    const int n = nh * 60 + now.minute();
    if (n < s)
        return -1;
    return n <= e ? 1 : -1;
}

} // namespace senrokan
