// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// Saving the settings file while the process is killed: a child saves two versions in turn
// without end and is killed with SIGKILL at a random moment; the file must then be exactly one
// of the two versions, whole.
#include "settings/SettingsFile.h"
#include "support/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

#include <cstdio>
#include <cstring>

using namespace senrokan;

namespace
{

constexpr int TrialsPerRow = 120;

// Version 0 or 1 of the file; the second is longer, and with needsUtf8 it holds a character
// that CP932 has no code for, so that it is written as UTF-8 with a byte-order mark.
RouteBlocks version(int which, bool needsUtf8)
{
    RouteBlocks routes;
    for (int r = 0; r < RouteCount; ++r) {
        routes[r][0] = QStringLiteral("路線%1 版%2").arg(r + 1).arg(which);
        routes[r][1] = QStringLiteral("www.example%1.jp").arg(r);
        routes[r][2] = QStringLiteral("info/line%1.html").arg(r).repeated(which + 1);
        routes[r][3] =
            which == 1 && needsUtf8 ? QStringLiteral("平常運転🚃") : QStringLiteral("平常運転");
        routes[r][5] = QStringLiteral("6:00");
        routes[r][6] = QStringLiteral("23:30");
    }
    return routes;
}

void save(const QString& path, int which, bool needsUtf8)
{
    if (!writeLayoutFile(path, QString(), {which == 0 ? 30 : 1440, which},
                         version(which, needsUtf8))
             .done)
        std::abort();
}

// The child: announces itself, then saves the two versions in turn until it is killed.
int saveLoop(const char* path, bool needsUtf8)
{
    const QString file = QString::fromLocal8Bit(path);
    std::fputs("saving\n", stdout);
    std::fflush(stdout);
    for (int i = 1;; ++i)
        save(file, i % 2, needsUtf8);
}

} // namespace

class DurabilitySettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedWhileSaving_data()
    {
        QTest::addColumn<bool>("needsUtf8");
        QTest::newRow("CP932 versions") << false;
        QTest::newRow("CP932 and UTF-8 versions") << true;
    }

    void killedWhileSaving()
    {
        QFETCH(bool, needsUtf8);
        QTemporaryDir dir;
        const QString path = dir.filePath(SettingsFileName);
        QByteArray expected[2];
        for (int which : {0, 1}) {
            save(path, which, needsUtf8);
            expected[which] = senrokan::test::readBytes(path);
        }
        QVERIFY(expected[0] != expected[1]);
        QVERIFY(expected[0].size() != expected[1].size());

        QRandomGenerator random(needsUtf8 ? 7 : 3);
        int corrupt = 0;
        int found[2] = {0, 0};
        for (int trial = 0; trial < TrialsPerRow; ++trial) {
            save(path, 0, needsUtf8);
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--save-loop"), path,
                         needsUtf8 ? QStringLiteral("utf8") : QStringLiteral("cp932")});
            QVERIFY(child.waitForReadyRead(10000));
            QThread::usleep(random.bounded(20000));
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(10000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);

            const QByteArray now = senrokan::test::readBytes(path);
            const int which = now == expected[0] ? 0 : now == expected[1] ? 1 : -1;
            if (which < 0) {
                ++corrupt;
                qWarning("trial %d: %lld bytes, neither version", trial, qlonglong(now.size()));
                continue;
            }
            ++found[which];
            const SettingsRead read = readSettingsFile(path, dir.path());
            QVERIFY(read.complete);
            // Temporary files of the killed saves are left behind; they must not pile up here.
            for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
                if (name != SettingsFileName)
                    QFile::remove(dir.filePath(name));
        }
        qInfo("%d kills: %d old, %d new, %d corrupt", TrialsPerRow, found[0], found[1], corrupt);
        QCOMPARE(corrupt, 0);
        // The kills landed at different points of the loop, not all before its first save.
        QVERIFY(found[0] > 0 && found[1] > 0);
    }
};

int main(int argc, char* argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "--save-loop") == 0)
        return saveLoop(argv[2], std::strcmp(argv[3], "utf8") == 0);
    QCoreApplication app(argc, argv);
    DurabilitySettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "durability_settings.moc"
