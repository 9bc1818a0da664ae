// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "CheckHistory.h"

#include "platform/HeldFile.h"
#include "platform/LocalFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QPluginLoader>
#include <QSqlDriver>
#include <QSqlDriverPlugin>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

namespace senrokan
{

namespace
{

// "SRKN": tells our database from any other SQLite file that happens to carry the name.
constexpr qint64 ApplicationId = 0x53524B4E;
// The form of the tables; PRAGMA user_version keeps it in the file.
constexpr int SchemaVersion = 2;
// Other writers hold the file for a millisecond at a time; a check never waits long for them.
constexpr int BusyTimeoutMs = 2000;
constexpr qint64 DaySecs = 24 * 60 * 60;
// SQLite's primary result codes of a file that is damaged or not a database.
constexpr int SqliteBusy = 5;
constexpr int SqliteCorrupt = 11;
constexpr int SqliteNotADatabase = 26;

// The engine's own files beside the database: they must be ours too, or it would write through
// whatever is planted there.
const QStringList EngineSuffixes = {QStringLiteral("-wal"), QStringLiteral("-shm"),
                                    QStringLiteral("-journal")};

// The tables of a new file, in the newest form.
const QString Schema[] = {
    QStringLiteral("CREATE TABLE IF NOT EXISTS checks ("
                   "time INTEGER NOT NULL," // seconds since 1970-01-01 UTC
                   "route INTEGER NOT NULL,"
                   "title TEXT NOT NULL,"
                   "status INTEGER NOT NULL," // as senrokan-check --json prints it
                   "source TEXT NOT NULL,"    // timed, button, checker
                   "coding TEXT,"             // NULL when no page was read
                   "coding_source TEXT,"
                   "fetch_ms INTEGER NOT NULL,"
                   "reason TEXT)"), // NULL when the check found none
    QStringLiteral("CREATE INDEX IF NOT EXISTS checks_by_time ON checks (time)"),
    QStringLiteral("CREATE TABLE IF NOT EXISTS housekeeping ("
                   "name TEXT PRIMARY KEY, value INTEGER NOT NULL) WITHOUT ROWID"),
    QStringLiteral("PRAGMA application_id = %1").arg(ApplicationId),
};

// Upgrades[n - 1] brings a file of form n to form n + 1 in place: its records stay, and a
// program of an earlier form still writes to it (it names the columns it knows).
const QString Upgrades[SchemaVersion - 1] = {
    QStringLiteral("ALTER TABLE checks ADD COLUMN reason TEXT"),
};

// Past this a rowid is no writer's but damage or a hand's: once the largest is taken SQLite gives
// new rows random smaller ones. Checks never count near it.
constexpr qint64 MaxRowid = qint64(1) << 62;

// What a file says of itself, read in one statement, so one snapshot: read apart, another process
// could make the tables between the reads, and its new record would look like another program's.
struct FileForm {
    qint64 id = 0;
    int objects = 0; // tables and indexes
    int version = 0;

    // Another program's database under our name, or a form no program of ours gives (below
    // none, or any but none on a file without tables), is kept aside like a damaged file. A form
    // above ours is a later program's, which this one still writes to.
    bool damaged() const
    {
        if (id == 0 ? objects != 0 : id != ApplicationId)
            return true;
        return version < 0 || (objects == 0 && version != 0);
    }
};

bool readForm(QSqlQuery& query, FileForm& form)
{
    if (!query.exec(QStringLiteral("SELECT (SELECT application_id FROM pragma_application_id), "
                                   "(SELECT count(*) FROM sqlite_master), "
                                   "(SELECT user_version FROM pragma_user_version)")) ||
        !query.next())
        return false;
    form = {query.value(0).toLongLong(), query.value(1).toInt(), query.value(2).toInt()};
    query.finish();
    return true;
}

// The engine is let go this long after its last use, so that the checks of one cycle share it.
constexpr int LingerMs = 10000;

QString refusedText(const QString& path)
{
    return QStringLiteral("履歴 %1 は自分のファイルではないため使いません").arg(path);
}

QVariant textOrNull(const QString& text)
{
    return text.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text);
}

} // namespace

CheckHistory::CheckHistory(const QString& dir, QObject* parent)
    : QObject(parent),
      m_path(dir.isEmpty() ? QString() : platform::joinToDirectory(dir, HistoryFileName)),
      m_connection(QStringLiteral("senrokan-history-%1").arg(quintptr(this), 0, 16))
{
    // A program that stays resident holds neither the file nor the engine between its checks.
    m_linger.setSingleShot(true);
    m_linger.setInterval(LingerMs);
    connect(&m_linger, &QTimer::timeout, this, &CheckHistory::closeDatabase);
}

CheckHistory::~CheckHistory()
{
    closeDatabase();
}

bool CheckHistory::append(const CheckRecord& record)
{
    // A file that turns out damaged only now is kept aside and the record goes into a new one.
    if (!retryAfterDamage([&] { return open() ? insert(record) : Opened::Failed; }))
        return false;
    m_told = false;
    Q_EMIT appended(record);
    return true;
}

bool CheckHistory::retryAfterDamage(const std::function<Opened()>& step)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        switch (step()) {
        case Opened::Ready:
            return true;
        case Opened::Failed:
            return false;
        case Opened::Damaged:
            if (!keepAside())
                return false;
            break;
        }
    }
    return false;
}

std::optional<QList<CheckRecord>> CheckHistory::records(const QDateTime& since, int route)
{
    if (m_path.isEmpty())
        return std::nullopt;
    // Reading makes no file: a folder without a record has an empty one.
    if (!m_db.isOpen() && platform::entryTrust(m_path) == platform::FileTrust::Missing)
        return QList<CheckRecord>();
    if (!open())
        return std::nullopt;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT time, route, title, status, source, coding, "
                                 "coding_source, fetch_ms, reason FROM checks WHERE time >= ?") +
                  (route != 0 ? QStringLiteral(" AND route = ?") : QString()) +
                  QStringLiteral(" ORDER BY time, rowid"));
    query.addBindValue(since.toSecsSinceEpoch());
    if (route != 0)
        query.addBindValue(route);
    if (!query.exec()) {
        if (failedWith(query.lastError()) == Opened::Damaged)
            keepAside();
        return std::nullopt;
    }
    QList<CheckRecord> result;
    while (query.next()) {
        result.append(CheckRecord{
            QDateTime::fromSecsSinceEpoch(query.value(0).toLongLong(), Qt::UTC),
            query.value(1).toInt(), query.value(2).toString(), query.value(3).toInt(),
            checkSourceFromName(query.value(4).toString()), query.value(5).toString(),
            query.value(6).toString(), query.value(7).toInt(), query.value(8).toString()});
    }
    query.finish();
    // A long read fills the engine's page cache, which the resident program does not need.
    exec(QStringLiteral("PRAGMA shrink_memory"));
    return result;
}

std::optional<QList<CheckRecord>> CheckHistory::lastDelayedRun(int route, int limit)
{
    if (m_path.isEmpty())
        return std::nullopt;
    if (!m_db.isOpen() && platform::entryTrust(m_path) == platform::FileTrust::Missing)
        return QList<CheckRecord>();
    if (!open())
        return std::nullopt;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT time, status, reason FROM checks WHERE route = ? AND "
                                 "status IN (%1, %2) ORDER BY rowid DESC LIMIT ?")
                      .arg(StatusNormal)
                      .arg(StatusDelayed));
    query.addBindValue(route);
    query.addBindValue(limit);
    if (!query.exec()) {
        if (failedWith(query.lastError()) == Opened::Damaged)
            keepAside();
        return std::nullopt;
    }
    // Read back only as far as the run goes.
    QList<CheckRecord> run;
    while (run.size() < limit && query.next() && query.value(1).toInt() == StatusDelayed) {
        CheckRecord record;
        record.time = QDateTime::fromSecsSinceEpoch(query.value(0).toLongLong(), Qt::UTC);
        record.route = route;
        record.status = StatusDelayed;
        record.reason = query.value(2).toString();
        run.prepend(record);
    }
    query.finish();
    return run;
}

bool CheckHistory::open()
{
    if (m_path.isEmpty())
        return false;
    // Another process may have kept the file aside: records go to the one the name leads to.
    if (m_db.isOpen() && !m_held->isAt(m_path))
        closeDatabase();
    if (!m_db.isOpen() && !retryAfterDamage([this] { return openDatabase(); })) {
        closeDatabase();
        return false;
    }
    m_linger.start();
    return true;
}

CheckHistory::Opened CheckHistory::openDatabase()
{
    for (const QString& suffix : EngineSuffixes) {
        if (platform::entryTrust(m_path + suffix) == platform::FileTrust::Refused) {
            tell(refusedText(m_path + suffix));
            return Opened::Failed;
        }
    }
    m_held = std::make_unique<platform::HeldFile>(m_path);
    if (m_held->trust() != platform::FileTrust::Own) {
        tell(m_held->trust() == platform::FileTrust::Refused
                 ? refusedText(m_path)
                 : QStringLiteral("履歴 %1 を作れません").arg(m_path));
        return Opened::Failed;
    }
    QSqlDriver* driver = loadDriver();
    if (!driver) {
        tell(QStringLiteral("履歴 %1 に記録できません: Qt SQL の SQLite ドライバがありません")
                 .arg(m_path));
        return Opened::Failed;
    }
    m_db = QSqlDatabase::addDatabase(driver, m_connection);
    m_db.setDatabaseName(m_path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!m_db.open())
        return failedWith(m_db.lastError());
    const Opened schema = prepareSchema();
    if (schema != Opened::Ready)
        return schema;
    // The last verdicts go by rowid, the order of writing, which a rowid past any writer's ends.
    QSqlQuery last(m_db);
    if (!last.exec(QStringLiteral("SELECT max(rowid) FROM checks")) || !last.next())
        return failedWith(last.lastError());
    if (last.value(0).toLongLong() > MaxRowid)
        return Opened::Damaged;
    last.finish();
    // Judged on the file the engine has open, not on the name looked at a moment before.
    if (!m_held->isAt(m_path)) {
        tell(refusedText(m_path));
        return Opened::Failed;
    }
    return Opened::Ready;
}

CheckHistory::Opened CheckHistory::prepareSchema()
{
    QSqlQuery query(m_db);
    FileForm form;
    if (!readForm(query, form))
        return failedWith(query.lastError());
    if (form.damaged())
        return Opened::Damaged;
    // Readers never wait for writers in WAL mode, and a process killed in a write leaves the
    // records before it whole. NORMAL syncs at checkpoints only: a crash of the machine may
    // lose the last records, never the file.
    // Two processes turning a new file to WAL at once can each hold the read lock the other
    // must wait out; SQLite then answers busy at once instead of waiting, so wait here.
    QElapsedTimer waited;
    waited.start();
    while (!exec(QStringLiteral("PRAGMA journal_mode = WAL"))) {
        if ((m_lastError.nativeErrorCode().toInt() & 0xff) != SqliteBusy ||
            waited.elapsed() > BusyTimeoutMs)
            return failedWith(m_lastError);
        QThread::msleep(5);
    }
    if (!exec(QStringLiteral("PRAGMA synchronous = NORMAL")))
        return failedWith(m_lastError);
    if (form.id == ApplicationId && form.version >= SchemaVersion)
        return Opened::Ready;
    // A new file, or one of an earlier form: whoever takes the write lock first makes or
    // upgrades it; the others find it done.
    if (!exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failedWith(m_lastError);
    QSqlQuery step(m_db);
    // Judged again on what the write lock sees: the upgrades are picked by the form.
    const bool read = readForm(step, form);
    if (!read || form.damaged()) {
        const QSqlError error = step.lastError();
        exec(QStringLiteral("ROLLBACK"));
        return read ? Opened::Damaged : failedWith(error);
    }
    const int found = form.version;
    QStringList statements;
    // Form 0 is a file without tables: they are made in the newest form at once.
    if (found == 0) {
        statements = QStringList(std::begin(Schema), std::end(Schema));
    } else {
        for (int from = found; from < SchemaVersion; ++from)
            statements << Upgrades[from - 1];
    }
    if (found < SchemaVersion)
        statements << QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion);
    for (const QString& statement : std::as_const(statements)) {
        if (!step.exec(statement)) {
            const QSqlError error = step.lastError();
            exec(QStringLiteral("ROLLBACK"));
            return failedWith(error);
        }
    }
    return exec(QStringLiteral("COMMIT")) ? Opened::Ready : failedWith(m_lastError);
}

bool CheckHistory::exec(const QString& statement)
{
    QSqlQuery query(m_db);
    if (query.exec(statement))
        return true;
    m_lastError = query.lastError();
    return false;
}

CheckHistory::Opened CheckHistory::failedWith(const QSqlError& error)
{
    const int code = error.nativeErrorCode().toInt() & 0xff;
    if (code == SqliteCorrupt || code == SqliteNotADatabase)
        return Opened::Damaged;
    tell(QStringLiteral("履歴 %1 に記録できません: %2").arg(m_path, error.text()));
    return Opened::Failed;
}

QSqlDriver* CheckHistory::loadDriver()
{
    // Loaded here rather than by name through Qt SQL, which would keep the plugin, and SQLite
    // with it, loaded for good.
    for (const QString& folder : QCoreApplication::libraryPaths()) {
        const QDir drivers(folder + QStringLiteral("/sqldrivers"));
        for (const QString& name : drivers.entryList(QDir::Files)) {
            auto plugin = std::make_unique<QPluginLoader>(drivers.filePath(name));
            // Qt keeps a plugin loaded for good unless told otherwise; this one defines nothing
            // that outlives the connection.
            plugin->setLoadHints(QLibrary::LoadHints());
            const QJsonArray keys = plugin->metaData()
                                        .value(QStringLiteral("MetaData"))
                                        .toObject()
                                        .value(QStringLiteral("Keys"))
                                        .toArray();
            if (!keys.contains(QStringLiteral("QSQLITE")))
                continue;
            auto* factory = qobject_cast<QSqlDriverPlugin*>(plugin->instance());
            if (QSqlDriver* driver =
                    factory ? factory->create(QStringLiteral("QSQLITE")) : nullptr) {
                m_driverPlugin = std::move(plugin);
                return driver;
            }
        }
    }
    return nullptr;
}

void CheckHistory::closeEngine()
{
    m_linger.stop();
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
    }
    // The connection took the driver with it; the plugin and SQLite go now.
    if (m_driverPlugin) {
        m_driverPlugin->unload();
        m_driverPlugin.reset();
    }
}

void CheckHistory::closeDatabase()
{
    closeEngine();
    // Only once the engine has let go: closing our descriptor drops its locks.
    m_held.reset();
}

bool CheckHistory::keepAside()
{
    closeEngine();
    // Another process may have kept it aside already and begun a new one, which stays.
    const bool ours = m_held && m_held->isAt(m_path);
    m_held.reset();
    if (!ours)
        return true;
    const QString stem =
        m_path + QStringLiteral(".broken-") +
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = stem;
    for (int n = 2; QFile::exists(aside); ++n)
        aside = stem + QStringLiteral("-%1").arg(n);
    // Never deleted: whoever wants its records can still try to save them.
    if (!QFile::rename(m_path, aside)) {
        tell(QStringLiteral("履歴 %1 が壊れていますが、別の名前にできません").arg(m_path));
        return false;
    }
    // Its log goes with it, or a new file would replay the old one's pages; the shared-memory
    // index is rebuilt from the log.
    QFile::rename(m_path + EngineSuffixes[0], aside + EngineSuffixes[0]);
    QFile::rename(m_path + EngineSuffixes[2], aside + EngineSuffixes[2]);
    QFile::remove(m_path + EngineSuffixes[1]);
    tell(QStringLiteral("履歴 %1 は読めないため %2 として残し、新しい履歴を始めます")
             .arg(m_path, aside));
    return true;
}

CheckHistory::Opened CheckHistory::insert(const CheckRecord& record)
{
    const qint64 time = record.time.toSecsSinceEpoch();
    if (!exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failedWith(m_lastError);
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("INSERT INTO checks (time, route, title, status, source, coding, "
                                 "coding_source, fetch_ms, reason) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    query.addBindValue(time);
    query.addBindValue(record.route);
    // A route never titled has an empty title, not none: the column takes no null.
    query.addBindValue(record.title.isNull() ? QStringLiteral("") : record.title);
    query.addBindValue(record.status);
    query.addBindValue(checkSourceName(record.source));
    query.addBindValue(textOrNull(record.coding));
    query.addBindValue(textOrNull(record.codingSource));
    query.addBindValue(record.fetchMs);
    query.addBindValue(textOrNull(record.reason));
    bool ok = query.exec();
    QSqlError error = query.lastError();
    // Old records go at most once a day, whichever writer comes first.
    // The prune goes by the clock, not by the record's time: a record from a clock set wrong into
    // the future neither prunes up to its time nor puts off the next prune. A prune dated after
    // now is not believed either.
    const qint64 now = m_clock().toSecsSinceEpoch();
    if (ok && !(m_nextPrune.isValid() && now < m_nextPrune.toSecsSinceEpoch())) {
        QSqlQuery prune(m_db);
        ok = prune.exec(QStringLiteral("SELECT value FROM housekeeping WHERE name = 'pruned'"));
        const qint64 pruned = ok && prune.next() ? prune.value(0).toLongLong() : 0;
        prune.finish();
        qint64 prunedAt = pruned;
        if (ok && (now - pruned >= DaySecs || pruned > now)) {
            prunedAt = now;
            ok = prune.exec(QStringLiteral("DELETE FROM checks WHERE time < %1")
                                .arg(now - HistoryKeptDays * DaySecs)) &&
                 prune.exec(QStringLiteral("INSERT OR REPLACE INTO housekeeping VALUES "
                                           "('pruned', %1)")
                                .arg(now));
        }
        if (ok)
            m_nextPrune = QDateTime::fromSecsSinceEpoch(prunedAt + DaySecs, Qt::UTC);
        else
            error = prune.lastError();
    }
    if (ok && exec(QStringLiteral("COMMIT")))
        return Opened::Ready;
    if (ok)
        error = m_lastError;
    exec(QStringLiteral("ROLLBACK"));
    return failedWith(error);
}

void CheckHistory::tell(const QString& text)
{
    if (m_told)
        return;
    m_told = true;
    Q_EMIT notice(text);
}

} // namespace senrokan
