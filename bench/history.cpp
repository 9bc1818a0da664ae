// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The record of checks at full size: 400 days of five routes checked every 10 minutes (288 000
// records, a few of them delayed around the rush hours). Prints the size of Senrokan.db, what one
// more record costs (the first, which opens the file, and the ones after), how long the 履歴 page
// takes from being shown to being drawn, how long `senrokan-check --history --days 7` takes, and
// what loading Qt SQL and SQLite adds to a process's resident memory.
// Usage: history [folder]  (a temporary folder by default; an existing record there is used)
#include "history/CheckHistory.h"
#include "window/HistoryPage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace senrokan;

namespace
{

constexpr int Days = 400;
constexpr int IntervalMinutes = 10;
const QStringList Titles = {"東海道線", "山手線", "京浜東北線", "中央線快速", "総武線各駅停車"};

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The records of the full 400 days, written in one transaction beside the program's own schema.
void fill(const QString& path, const QDateTime& end)
{
    const QString name = QStringLiteral("fill");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("BEGIN"));
        query.prepare(QStringLiteral("INSERT INTO checks (time, route, title, status, source, "
                                     "coding, coding_source, fetch_ms, reason) VALUES (?, ?, ?, "
                                     "?, 'timed', 'UTF-8', 'meta', ?, ?)"));
        // A delay as pages tell it, at the length they usually take.
        const QString reason =
            QStringLiteral("人身事故の影響で、一部の列車に遅れや運休が出ています。");
        const qint64 last = end.toSecsSinceEpoch();
        for (qint64 t = last - qint64(Days) * 24 * 3600; t < last; t += IntervalMinutes * 60) {
            const int hour = QDateTime::fromSecsSinceEpoch(t).time().hour();
            for (int r = 1; r <= Titles.size(); ++r) {
                const bool rush = hour == 8 || hour == 18;
                const int status = rush && (t / 600 + r) % 7 == 0 ? StatusDelayed : StatusNormal;
                query.addBindValue(t + r);
                query.addBindValue(r);
                query.addBindValue(Titles.at(r - 1));
                query.addBindValue(status);
                query.addBindValue(int(4000 + t % 97));
                query.addBindValue(status == StatusDelayed
                                       ? QVariant(reason)
                                       : QVariant(QMetaType(QMetaType::QString)));
                query.exec();
            }
        }
        query.exec(QStringLiteral("COMMIT"));
        query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString path = QFileInfo(dir + QLatin1Char('/') + HistoryFileName).absoluteFilePath();
    const bool existing = QFile::exists(path);

    const long before = residentKb();
    CheckRecord record{now,
                       1,
                       Titles.first(),
                       StatusNormal,
                       CheckSource::Timed,
                       QStringLiteral("UTF-8"),
                       QStringLiteral("meta"),
                       4012,
                       {}};
    {
        CheckHistory history(dir);
        history.append(record);
        std::printf("Qt SQL and SQLite loaded, one record written: resident memory +%ld KB\n",
                    residentKb() - before);
    }
    std::printf("the record closed, its engine let go: resident memory +%ld KB\n",
                residentKb() - before);
    if (!existing) {
        QElapsedTimer filling;
        filling.start();
        fill(path, now);
        std::printf("filled %d days x %lld routes every %d minutes in %.1f s\n", Days,
                    Titles.size(), IntervalMinutes, filling.elapsed() / 1000.0);
    }
    const qint64 wal = QFileInfo(path + QStringLiteral("-wal")).size();
    std::printf("Senrokan.db: %.1f MB (%lld records)\n", (QFileInfo(path).size() + wal) / 1e6,
                qint64(CheckHistory(dir).records(now.addDays(-Days - 1))->size()));

    // Appends as a writer makes them: the first opens the file, the others find it open.
    {
        CheckHistory history(dir);
        QElapsedTimer timer;
        timer.start();
        history.append(record);
        const double first = timer.nsecsElapsed() / 1e6;
        std::vector<double> ms;
        for (int i = 0; i < 200; ++i) {
            timer.restart();
            record.time = record.time.addSecs(1);
            history.append(record);
            ms.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("append: first %.2f ms (opens the file), then median %.3f ms, longest %.3f ms"
                    " (target < 1 ms)\n",
                    first, median(ms), *std::max_element(ms.begin(), ms.end()));
    }

    // The page from being shown to being drawn, each time a page of its own over a fresh read.
    {
        std::vector<double> ms;
        for (int i = 0; i < 5; ++i) {
            CheckHistory history(dir);
            HistoryPage page(history, [](int r) { return Titles.value(r - 1); });
            page.resize(610, 300);
            QElapsedTimer timer;
            timer.start();
            page.show();
            page.repaint();
            ms.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("履歴 page shown and drawn: median %.1f ms, first %.1f ms (target < 300 ms)\n",
                    median(ms), ms.front());
    }

    // The checker as a user runs it, output read to its end.
    {
        std::vector<double> ms;
        qint64 bytes = 0;
        for (int i = 0; i < 5; ++i) {
            QProcess checker;
            checker.setWorkingDirectory(dir);
            QElapsedTimer timer;
            timer.start();
            checker.start(
                QStringLiteral(SENROKAN_CHECK_EXE),
                {QStringLiteral("--history"), QStringLiteral("--days"), QStringLiteral("7")});
            checker.waitForFinished(60000);
            bytes = checker.readAllStandardOutput().size();
            ms.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("senrokan-check --history --days 7: median %.1f ms for %lld bytes "
                    "(target < 200 ms)\n",
                    median(ms), bytes);
    }
    return 0;
}
