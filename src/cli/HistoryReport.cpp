// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "HistoryReport.h"

#include "cycle/StatusSummary.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <array>

namespace senrokan
{

namespace
{

// Columns a character takes on a terminal: two for the East Asian wide and full-width ranges.
int displayWidth(const QString& text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4()) {
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                          (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                          (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                          (c >= 0xFFE0 && c <= 0xFFE6) || c >= 0x20000;
        width += wide ? 2 : 1;
    }
    return width;
}

QString sourceWords(CheckSource source)
{
    switch (source) {
    case CheckSource::Timed:
        return QStringLiteral("定時");
    case CheckSource::Button:
        return QStringLiteral("送信");
    case CheckSource::Checker:
        return QStringLiteral("senrokan-check");
    }
    return {};
}

// "2026-12-07T20:33:15+09:00": the local time with its offset, also when it is zero.
QString isoWithOffset(const QDateTime& time)
{
    const QDateTime local = time.toLocalTime();
    const int offset = local.offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           QStringLiteral("%1%2:%3")
               .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QJsonValue textOrNull(const QString& text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

} // namespace

QString historyTable(const QList<CheckRecord>& records)
{
    constexpr int Columns = 7;
    using Row = std::array<QString, Columns>;
    QList<Row> rows = {{QStringLiteral("時刻"), QStringLiteral("路線"), QStringLiteral("名前"),
                        QStringLiteral("状態"), QStringLiteral("実行"),
                        QStringLiteral("コーディング"), QStringLiteral("所要")}};
    for (const CheckRecord& record : records) {
        rows.append(
            {record.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
             QString::number(record.route), record.title, statusWords(record.status).mid(1),
             sourceWords(record.source),
             // A page the browser read has no coding of ours, only that source.
             record.coding.isEmpty()
                 ? (record.codingSource.isEmpty() ? QStringLiteral("-") : record.codingSource)
                 : QStringLiteral("%1 (%2)").arg(record.coding, record.codingSource),
             QStringLiteral("%1 ms").arg(record.fetchMs)});
    }
    std::array<int, Columns> widths{};
    for (const Row& row : rows)
        for (int c = 0; c < Columns; ++c)
            widths[c] = qMax(widths[c], displayWidth(row[c]));
    QString text;
    for (const Row& row : rows) {
        QString line;
        for (int c = 0; c < Columns; ++c) {
            line += row[c];
            if (c + 1 < Columns)
                line += QString(widths[c] - displayWidth(row[c]) + 2, QLatin1Char(' '));
        }
        text += line + QLatin1Char('\n');
    }
    return text;
}

QByteArray historyJson(const QList<CheckRecord>& records)
{
    QJsonArray array;
    for (const CheckRecord& record : records) {
        array.append(QJsonObject{{QStringLiteral("time"), isoWithOffset(record.time)},
                                 {QStringLiteral("route"), record.route},
                                 {QStringLiteral("title"), record.title},
                                 {QStringLiteral("status"), record.status},
                                 {QStringLiteral("source"), checkSourceName(record.source)},
                                 {QStringLiteral("coding"), textOrNull(record.coding)},
                                 {QStringLiteral("codingSource"), textOrNull(record.codingSource)},
                                 {QStringLiteral("fetchMs"), record.fetchMs},
                                 {QStringLiteral("reason"), record.reason}});
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

} // namespace senrokan
