// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

// Page texts that once held the window for seconds or took gigabytes to show, any server being
// free to send them within the reply cap: nothing but line ends, one line without any, and one
// letter under a run of combining marks.
#include <QString>

namespace senrokan::test
{

inline QString lineEndsText(qsizetype chars)
{
    return QString(chars, u'\n');
}

inline QString oneLineText(qsizetype chars)
{
    const QString cell = QStringLiteral("<td>列車の遅れ</td>");
    return cell.repeated(chars / cell.size());
}

inline QString markRunText(qsizetype marks)
{
    return u'a' + QString(marks, QChar(0x0301));
}

} // namespace senrokan::test
