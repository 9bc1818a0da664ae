// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The record of checks on real SQLite files in a temporary folder: what is written reads back in
// order, made for the user only; old records go once a day; writers in several processes at once
// or killed at random lose nothing; a damaged or foreign database is kept aside and the record
// goes on in a new one; a file or link of another user is never written.
#include "support/Files.h"
#include "support/ForeignFiles.h"
#include "support/HistoryFiles.h"
#include "support/ProcessRun.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace senrokan;
using namespace senrokan::test;

namespace
{

const QString Victim = QStringLiteral("victim");
const QByteArray VictimBytes = "a file of the user's that no link may lead the record into\n";

QDateTime secondsAgo(qint64 secs)
{
    return QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch() - secs, Qt::UTC);
}

constexpr qint64 Day = 24 * 60 * 60;

QStringList titlesOf(const QList<CheckRecord>& records)
{
    QStringList titles;
    for (const CheckRecord& record : records)
        titles << record.title;
    return titles;
}

QList<CheckRecord> readBack(CheckHistory& history, const QDateTime& since, int route = 0)
{
    return history.records(since, route).value_or(QList<CheckRecord>());
}

QProcess* startWriter(QObject* parent, const QString& dir, int route, int count)
{
    auto* writer = new QProcess(parent);
    writer->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    writer->start(QStringLiteral(SENROKAN_TESTENV_EXE),
                  {QStringLiteral("record"), dir, QString::number(route), QString::number(count)});
    return writer;
}

} // namespace

class TestCheckHistory : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;

    QString dir() const { return m_dir->path(); }
    QString file(const QString& name = HistoryFileName) const { return m_dir->filePath(name); }
    QStringList keptAside() const
    {
        return QDir(dir()).entryList({HistoryFileName + QStringLiteral(".broken-*")}, QDir::Files);
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    // Between uses the record holds neither its file nor SQLite, which a program that stays
    // resident would otherwise carry for good. First: a read elsewhere loads SQLite for good.
    void engineLetGoBetweenUses()
    {
        CheckHistory history(dir());
        QVERIFY(history.append(recordAt(secondsAgo(0), 1, StatusNormal)));
        QVERIFY(libraryMapped("libsqlite3"));
        QTRY_VERIFY_WITH_TIMEOUT(!libraryMapped("libsqlite3"), 20000);
        QVERIFY(!QFile::exists(file() + QStringLiteral("-wal")));
        QVERIFY(history.append(recordAt(secondsAgo(0), 2, StatusNormal)));
        QCOMPARE(readBack(history, secondsAgo(Day)).size(), 2);
    }

    void readsBackInOrder()
    {
        QCOMPARE(allRecords(dir())->size(), 0);
        QVERIFY2(!QFile::exists(file()), "reading made a file");

        CheckHistory history(dir());
        QSignalSpy appended(&history, &CheckHistory::appended);
        const QDateTime t = secondsAgo(2 * Day);
        const CheckRecord first = recordAt(t, 1, StatusNormal, QStringLiteral("東海道線"));
        const CheckRecord button{t.addSecs(60),
                                 2,
                                 QStringLiteral("山手線"),
                                 StatusDelayed,
                                 CheckSource::Button,
                                 QStringLiteral("EUC-JP"),
                                 QStringLiteral("header"),
                                 4012,
                                 QStringLiteral("人身事故の影響で")};
        // Without a page: no coding. Written later but older: read in time order.
        const CheckRecord older{t.addSecs(-3600),
                                1,
                                QStringLiteral("東海道線"),
                                StatusConnectFailed,
                                CheckSource::Checker,
                                {},
                                {},
                                2003};
        const CheckRecord sameMoment = recordAt(t.addSecs(60), 1, StatusOutOfHours);
        for (const CheckRecord& record : {first, button, older, sameMoment})
            QVERIFY(history.append(record));
        QCOMPARE(appended.size(), 4);
        QCOMPARE(appended.at(1).at(0).value<CheckRecord>(), button);

        QCOMPARE(readBack(history, t.addDays(-1)),
                 (QList<CheckRecord>{older, first, button, sameMoment}));
        QCOMPARE(readBack(history, t, 1), (QList<CheckRecord>{first, sameMoment}));
        QVERIFY(history.records(t.addSecs(61)).value().isEmpty());
        // Another process's view is the same.
        QCOMPARE(allRecords(dir())->size(), 4);

        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(file()).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0600));
        QVERIFY2(QFile::exists(file() + QStringLiteral("-wal")), "not in WAL mode");
    }

    // Old records go 400 days after them, at most once a day, whichever writer comes first.
    void prunedOnceADay()
    {
        const QDateTime now = secondsAgo(0);
        QList<CheckRecord> kept;
        {
            CheckHistory history(dir());
            QVERIFY(history.append(recordAt(now.addDays(-401), 1, StatusNormal, "401 days")));
            kept << recordAt(now.addSecs(-3600), 1, StatusNormal, "pruning");
            QVERIFY(history.append(kept.last()));
            // Within the day of that prune: stays, however old.
            QVERIFY(history.append(recordAt(now.addDays(-500), 1, StatusNormal, "500 days")));
        }
        CheckHistory another(dir());
        QVERIFY(another.append(recordAt(now.addSecs(-1800), 1, StatusNormal, "same day")));
        QCOMPARE(titlesOf(readBack(another, now.addDays(-600))),
                 (QStringList{"500 days", "pruning", "same day"}));
        another.setClock([now] { return now.addDays(1); });
        QVERIFY(another.append(recordAt(now.addDays(1), 1, StatusNormal, "next day")));
        QCOMPARE(titlesOf(readBack(another, now.addDays(-600))),
                 (QStringList{"pruning", "same day", "next day"}));
    }

    // One record whose time a wrong clock put far ahead, written among right ones: the last state
    // is the last written, and the prune neither empties the record nor stops.
    void futureRecord_data()
    {
        QTest::addColumn<QList<int>>("after"); // the statuses of route 1 written after it
        QTest::addColumn<int>("last");
        QTest::newRow("normal runs after a delayed future record") << QList<int>{0, 0, 0} << 0;
        QTest::newRow("a delay after it") << QList<int>{0, 1} << 1;
        QTest::newRow("only failures after it") << QList<int>{2, 4} << 1;
    }

    void futureRecord()
    {
        QFETCH(QList<int>, after);
        QFETCH(int, last);
        const QDateTime now = secondsAgo(0);
        CheckHistory history(dir());
        QVERIFY(history.append(recordAt(now.addDays(-30), 1, StatusNormal, "a month ago")));
        QVERIFY(history.append(
            recordAt(QDateTime({2100, 1, 1}, {0, 0}, Qt::UTC), 1, StatusDelayed, "2100")));
        for (int status : after)
            QVERIFY(history.append(recordAt(now, 1, status)));
        QCOMPARE(history.lastDelayedRun(1, 10).value().size(), last == StatusDelayed ? 1 : 0);
        QVERIFY(titlesOf(readBack(history, now.addDays(-60))).contains("a month ago"));

        // A day later another writer still prunes what is over 400 days old.
        CheckHistory later(dir());
        later.setClock([now] { return now.addDays(1); });
        QVERIFY(later.append(recordAt(now.addDays(-401), 1, StatusNormal, "old")));
        QVERIFY(later.append(recordAt(now.addDays(1), 1, StatusNormal, "next day")));
        QVERIFY(!titlesOf(readBack(later, now.addDays(-600))).contains("old"));
    }

    // Four writers start on a folder without a record, or with one of the file's first form, a
    // few rounds over, so that they also race to make or upgrade the file: none fails, none takes
    // the file for another's, nothing is lost, and the upgraded file keeps reasons.
    void fourWritersAtOnce_data()
    {
        QTest::addColumn<bool>("firstForm");
        QTest::newRow("no record yet") << false;
        QTest::newRow("a record of the first form, upgraded in place") << true;
    }

    void fourWritersAtOnce()
    {
        QFETCH(bool, firstForm);
        constexpr int Writers = 4;
        constexpr int Rounds = 8;
        constexpr int Count = 40;
        QStringList expected;
        for (int i = 1; i <= Count; ++i)
            expected << QString::number(i);
        for (int round = 0; round < Rounds; ++round) {
            QTemporaryDir folder;
            const QString path = folder.filePath(HistoryFileName);
            if (firstForm) {
                QVERIFY(CheckHistory(folder.path())
                            .append(recordAt(secondsAgo(60), 5, StatusDelayed, "前の形")));
                QVERIFY(makeFirstForm(path));
            }
            QList<QProcess*> writers;
            for (int route = 1; route <= Writers; ++route)
                writers << startWriter(this, folder.path(), route, Count);
            for (QProcess* writer : writers) {
                QVERIFY(writer->waitForFinished(60000));
                QVERIFY2(writer->exitCode() == 0, writer->readAllStandardError().constData());
            }
            CheckHistory history(folder.path());
            for (int route = 1; route <= Writers; ++route)
                QCOMPARE(titlesOf(readBack(history, secondsAgo(Day), route)), expected);
            QCOMPARE(QDir(folder.path()).entryList({QStringLiteral("*.broken-*")}), QStringList());
            QCOMPARE(integrityCheck(path), QStringLiteral("ok"));
            if (!firstForm)
                continue;
            CheckRecord delayed = recordAt(secondsAgo(0), 5, StatusDelayed);
            delayed.reason = QStringLiteral("信号確認の影響で");
            QVERIFY(history.append(delayed));
            const QList<CheckRecord> route5 = readBack(history, secondsAgo(Day), 5);
            QCOMPARE(titlesOf(route5), (QStringList{"前の形", delayed.title}));
            QCOMPARE(route5.first().reason, QString());
            QCOMPARE(route5.last(), delayed);
        }
    }

    // Each round a writer dies by SIGKILL wherever it is: what the rounds before wrote stays,
    // and its own records are a whole run from the first.
    void killedWriters()
    {
        QList<CheckRecord> before;
        for (int round = 0; round < 20; ++round) {
            QProcess* writer = startWriter(this, dir(), 1, 1000000);
            QTest::qWait(int(QRandomGenerator::global()->bounded(20, 200)));
            writer->kill();
            QVERIFY(writer->waitForFinished(10000));
            QCOMPARE(integrityCheck(file()), QStringLiteral("ok"));
            const QList<CheckRecord> after = *allRecords(dir());
            QCOMPARE(after.mid(0, before.size()), before);
            const QStringList added = titlesOf(after.mid(before.size()));
            for (int i = 0; i < added.size(); ++i)
                QCOMPARE(added.at(i), QString::number(i + 1));
            before = after;
        }
        QVERIFY2(!before.isEmpty(), "no writer wrote anything before it was killed");
    }

    void damagedKeptAside_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("statement"); // run on the file afterwards by another program
        auto row = [](const char* name, const char* damage, const char* statement = "") {
            QTest::newRow(name) << QString::fromUtf8(damage) << QString::fromUtf8(statement);
        };
        row("not SQLite", "text");
        row("header overwritten", "header");
        row("pages overwritten", "pages");
        row("another program's database", "none", "CREATE TABLE notes (text TEXT)");
        row("another program's empty database of its own form", "none", "PRAGMA user_version = 3");
        row("a form below the first", "records", "PRAGMA user_version = -1");
        // SQLite gives the rows after it random smaller rowids: the order of writing is lost.
        row("a row at the largest rowid", "records",
            "INSERT INTO checks (rowid, time, route, title, status, source, fetch_ms) "
            "VALUES (9223372036854775807, 0, 1, '', 1, 'timed', 0)");
    }

    void damagedKeptAside()
    {
        QFETCH(QString, damage);
        QFETCH(QString, statement);
        if (damage == QLatin1String("text")) {
            writeBytes(file(), "Senrokan の履歴ではありません\n");
        } else if (damage != QLatin1String("none")) {
            {
                CheckHistory history(dir());
                for (int i = 0; i < 300; ++i)
                    QVERIFY(history.append(recordAt(secondsAgo(Day - i), 1, StatusNormal)));
            }
            QByteArray bytes = readBytes(file());
            if (damage == QLatin1String("header"))
                bytes.replace(0, 100, QByteArray(100, '\0'));
            else if (damage == QLatin1String("pages"))
                bytes.replace(4096, bytes.size() - 4096, QByteArray(bytes.size() - 4096, '\xA5'));
            writeBytes(file(), bytes);
        }
        if (!statement.isEmpty()) {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), damage);
            db.setDatabaseName(file());
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(statement));
            db.close();
        }
        QSqlDatabase::removeDatabase(damage);
        const QByteArray damaged = readBytes(file());

        CheckHistory history(dir());
        QSignalSpy notices(&history, &CheckHistory::notice);
        const CheckRecord record = recordAt(secondsAgo(0), 2, StatusDelayed);
        QVERIFY(history.append(record));
        QCOMPARE(readBack(history, secondsAgo(Day)), QList<CheckRecord>{record});

        const QStringList aside = keptAside();
        QCOMPARE(aside.size(), 1);
        QCOMPARE(readBytes(file(aside.first())), damaged);
        QCOMPARE(notices.size(), 1);
        QVERIFY2(notices.first().first().toString().contains(aside.first()),
                 qPrintable(notices.first().first().toString()));
        QCOMPARE(integrityCheck(file()), QStringLiteral("ok"));
    }

    // Nothing is written through a link or into another user's file; the trouble is told once.
    void refused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("link");
        QTest::addColumn<bool>("foreign");
        QTest::newRow("another user's link") << HistoryFileName << true << true;
        QTest::newRow("a link of the user's own") << HistoryFileName << true << false;
        QTest::newRow("another user's file") << HistoryFileName << false << true;
        QTest::newRow("another user's link as the log") << HistoryFileName + "-wal" << true << true;
    }

    void refused()
    {
        QFETCH(QString, name);
        QFETCH(bool, link);
        QFETCH(bool, foreign);
        writeBytes(file(Victim), VictimBytes);
        if (link)
            QVERIFY(QFile::link(file(Victim), file(name)));
        else
            writeBytes(file(name), QByteArray());
        if (foreign)
            QVERIFY(giveToNobody(file(name)));

        CheckHistory history(dir());
        QSignalSpy notices(&history, &CheckHistory::notice);
        QVERIFY(!history.append(recordAt(secondsAgo(0), 1, StatusNormal)));
        QVERIFY(!history.append(recordAt(secondsAgo(0), 1, StatusNormal)));
        QCOMPARE(notices.size(), 1);
        QCOMPARE(readBytes(file(Victim)), VictimBytes);
        QCOMPARE(QFileInfo(file(name)).size(), link ? VictimBytes.size() : 0);
        // Nothing made beside them either, nothing kept aside.
        QCOMPARE(QDir(dir()).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name),
                 (QStringList{name, Victim}));
    }
};

QTEST_GUILESS_MAIN(TestCheckHistory)
#include "tst_checkhistory.moc"
