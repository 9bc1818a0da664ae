// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

// The record of checks as tests make and inspect it: records of their own, the whole record of a
// folder, and SQLite's own verdict on the file.
#include "history/CheckHistory.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

namespace senrokan::test
{

// A record of route at time (to the second, as the record keeps it) with a title of its own, as
// a page checked over HTTPS leaves it.
inline CheckRecord recordAt(const QDateTime& time, int route, int status,
                            const QString& title = QStringLiteral("路線"))
{
    CheckRecord record;
    record.time = QDateTime::fromSecsSinceEpoch(time.toSecsSinceEpoch(), Qt::UTC);
    record.route = route;
    record.title = title;
    record.status = status;
    record.coding = QStringLiteral("UTF-8");
    record.codingSource = QStringLiteral("meta");
    record.fetchMs = 120;
    return record;
}

// The record at path turned back into the file's first form, which had no column for the reason,
// as programs before it left it.
inline bool makeFirstForm(const QString& path)
{
    const QString name = QUuid::createUuid().toString();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QSqlQuery query(db);
        ok = db.open() && query.exec(QStringLiteral("ALTER TABLE checks DROP COLUMN reason")) &&
             query.exec(QStringLiteral("PRAGMA user_version = 1"));
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

// Every record of folder dir, oldest first; none when it cannot be read.
inline std::optional<QList<CheckRecord>> allRecords(const QString& dir)
{
    return CheckHistory(dir).records(QDateTime::fromSecsSinceEpoch(0, Qt::UTC));
}

// The answer of PRAGMA integrity_check: "ok" for a whole file. A connection of its own, read only.
inline QString integrityCheck(const QString& path)
{
    const QString name = QUuid::createUuid().toString();
    QString answer;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
        QSqlQuery query(db);
        if (db.open() && query.exec(QStringLiteral("PRAGMA integrity_check")) && query.next())
            answer = query.value(0).toString();
        else
            answer = db.lastError().text() + query.lastError().text();
    }
    QSqlDatabase::removeDatabase(name);
    return answer;
}

} // namespace senrokan::test
