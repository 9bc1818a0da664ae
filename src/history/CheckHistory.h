// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "base/Clock.h"
#include "route/CheckRecord.h"
#include "route/RouteState.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QPluginLoader;
class QSqlDriver;

namespace senrokan
{

namespace platform
{
class HeldFile;
}

inline const QString HistoryFileName = QStringLiteral("Senrokan.db");
// Records older than this go, at most once a day.
inline constexpr int HistoryKeptDays = 400;

// The record of every route check, "Senrokan.db" beside "Senrokan.DEF": an SQLite database
// (through Qt SQL) in WAL mode, which the resident program and any number of senrokan-check runs
// in the same folder write at the same time. Opened at its first use and closed, its engine
// unloaded, 10 seconds after its last.
//
// The file obeys the folder's rules for the settings file: it and the engine's files beside it
// (-wal, -shm, -journal) must be missing or the user's own regular files, never links; it is made
// readable by the user only. A file that is not SQLite, is another program's database or is
// damaged (a form or a rowid none of our programs gives included) is renamed to
// "Senrokan.db.broken-<UTC time>" and a new record begun. None of this ever
// fails a check: a record that cannot be written is left out, with one notice.
class CheckHistory : public QObject
{
    Q_OBJECT
public:
    // The record in folder dir; an empty dir (the current directory is gone) keeps none.
    explicit CheckHistory(const QString& dir, QObject* parent = nullptr);
    ~CheckHistory() override;

    QString path() const { return m_path; }

    // Appends a record; false when it could not be written. Waits for other writers at most
    // the busy timeout.
    bool append(const CheckRecord& record);
    // The records from since on, of route (0: every route), oldest first; none when the record
    // cannot be read. A missing file is an empty record and stays missing.
    std::optional<QList<CheckRecord>> records(const QDateTime& since, int route = 0);
    // The route's delayed verdicts since its last normal one (at most the last limit), in the
    // order they were written, oldest first: the order of the checks' verdicts whatever their
    // clocks said (a record whose time a wrong clock set in the future is not the last for ever).
    // Each with its time, status and reason. None when the record cannot be read.
    std::optional<QList<CheckRecord>> lastDelayedRun(int route, int limit);
    // The clock the daily prune trusts no record's time beyond.
    void setClock(Clock clock) { m_clock = std::move(clock); }

Q_SIGNALS:
    void appended(const CheckRecord& record);
    // One message when the record runs into trouble (refused, kept aside, not writable); the
    // same trouble is not told again until the record has worked in between.
    void notice(const QString& text);

private:
    enum class Opened { Ready, Damaged, Failed };

    bool open();
    // Runs step, and once more after keeping a damaged file aside; true when it came out ready.
    bool retryAfterDamage(const std::function<Opened()>& step);
    Opened openDatabase();
    Opened prepareSchema();
    QSqlDriver* loadDriver();
    void closeEngine();
    void closeDatabase();
    // Renames a damaged file out of the way; false when it has to stay.
    bool keepAside();
    bool exec(const QString& statement);
    // The failure of a statement: damage to keep aside, or trouble to tell.
    Opened failedWith(const QSqlError& error);
    Opened insert(const CheckRecord& record);
    void tell(const QString& text);

    QString m_path;
    QString m_connection;
    QSqlDatabase m_db;
    std::unique_ptr<platform::HeldFile> m_held;
    std::unique_ptr<QPluginLoader> m_driverPlugin;
    QTimer m_linger;
    QSqlError m_lastError; // of the last statement exec() ran
    QDateTime m_nextPrune; // no prune is due before this, as far as this process knows
    Clock m_clock = systemClock;
    bool m_told = false;
};

} // namespace senrokan
