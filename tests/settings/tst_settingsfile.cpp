// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The 50-line settings layout: reading with the priority redirect and partial results, writing
// bytes, saves that never leave a half file, and folders where other users plant files.
#include "codec/Converter.h"
#include "platform/LocalFiles.h"
#include "settings/SettingsFile.h"
#include "support/DiskFull.h"
#include "support/Files.h"
#include "support/ForeignFiles.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace senrokan;
using senrokan::test::readBytes;
using senrokan::test::writeBytes;

namespace
{

QStringList sampleLines(const QString& line1, const QString& interval = QStringLiteral("60"))
{
    QStringList lines{line1, interval, QStringLiteral("1"), QStringLiteral("0"),
                      QStringLiteral("1")};
    for (int r = 1; r <= 5; ++r)
        for (int k = 1; k <= 9; ++k)
            lines << QStringLiteral("r%1f%2").arg(r).arg(k);
    return lines;
}

QByteArray cp932Lines(const QStringList& lines)
{
    return Converter(coding::Cp932)
        .encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    const QString m_startDir = QDir::currentPath();

    QString path(const QString& name) const { return m_dir->filePath(name); }

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() { test::leaveFolderNamedNotAsText(m_dir->path(), m_startDir); }

    void fullFile()
    {
        writeBytes(path(SettingsFileName), cp932Lines(sampleLines(QString())));
        const SettingsRead read = readSettings(m_dir->path());
        QVERIFY(read.complete);
        SettingsValues values;
        read.applyNumbers(values);
        QCOMPARE((QList<int>{values.CheckIntervalMinutes, values.ResidentFlag, values.MelodyFlag,
                             values.CheckOnResidentFlag}),
                 (QList<int>{60, 1, 0, 1}));
        QCOMPARE(read.routes[0][0], QStringLiteral("r1f1"));
        QCOMPARE(read.routes[4][8], QStringLiteral("r5f9"));
    }

    void partialReads_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("numbersRead");
        QTest::addColumn<int>("failedLine");
        const QStringList full = sampleLines(QString());
        QTest::newRow("5 lines") << full.mid(0, 5) << 4 << 6;
        QTest::newRow("49 lines") << full.mid(0, 49) << 4 << 50;
        QTest::newRow("empty file") << QStringList() << 0 << 1;
        QStringList badFlag = full;
        badFlag[2] = QStringLiteral("yes");
        QTest::newRow("line 3 not a number") << badFlag << 1 << 3;
        QStringList tooBig = full;
        tooBig[1] = QStringLiteral("2147483648");
        QTest::newRow("line 2 over 32 bits") << tooBig << 0 << 2;
    }

    void partialReads()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, numbersRead);
        QFETCH(int, failedLine);
        writeBytes(path(SettingsFileName), lines.isEmpty() ? QByteArray() : cp932Lines(lines));
        const SettingsRead read = readSettings(m_dir->path());
        QVERIFY(!read.complete);
        QCOMPARE(read.failedLine, failedLine);
        int stored = 0;
        while (stored < 4 && read.numbers[stored])
            ++stored;
        QCOMPARE(stored, numbersRead);
    }

    void valuesKept_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("blanks at both ends") << QStringLiteral("  山手線  ");
        QTest::newRow("commas and quotes") << QStringLiteral("a,\"b\",c");
        QTest::newRow("half-width katakana") << QStringLiteral("ﾀﾞｲﾔ");
        QTest::newRow("empty") << QString();
        QTest::newRow("wave dash needs UTF-8") << QStringLiteral("6時〜9時");
        QTest::newRow("emoji needs UTF-8") << QStringLiteral("🚃 遅延");
    }

    void valuesKept()
    {
        QFETCH(QString, value);
        RouteBlocks routes;
        routes[1][3] = value;
        routes[1][4] = QStringLiteral("after");
        const QString file = path(QStringLiteral("rail.DEF"));
        QVERIFY(writeLayoutFile(file, QString(), SettingsValues(), routes).done);
        const QByteArray first = readBytes(file);
        const SettingsRead read = readRailwayFile(file);
        QVERIFY(read.complete);
        QCOMPARE(read.routes[1][3], value);
        QCOMPARE(read.routes[1][4], QStringLiteral("after"));
        QVERIFY(writeLayoutFile(file, QString(), SettingsValues(), read.routes).done);
        QCOMPARE(readBytes(file), first);
    }

    void writtenBytes()
    {
        RouteBlocks routes;
        routes[0][0] = QStringLiteral("山手線");
        routes[0][1] = QStringLiteral("www.example.jp");
        routes[4][8] = QStringLiteral("終わり");
        SettingsValues values{45, 1, 0, -1};
        const QString file = path(SettingsFileName);
        QVERIFY(writeLayoutFile(file, QStringLiteral("Senrokan000.DEF"), values, routes).done);
        QStringList expected{QStringLiteral("Senrokan000.DEF"), QStringLiteral("45"),
                             QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("-1")};
        for (const auto& block : routes)
            for (const QString& v : block)
                expected << v;
        QCOMPARE(expected.size(), SettingsLineCount);
        QCOMPARE(readBytes(file), cp932Lines(expected));
    }

    void utf8FileStartsWithBom()
    {
        RouteBlocks routes;
        routes[2][2] = QStringLiteral("〜");
        const QString file = path(SettingsFileName);
        QVERIFY(writeLayoutFile(file, QString(), SettingsValues(), routes).done);
        const QByteArray bytes = readBytes(file);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF\r\n30\r\n"));
        QVERIFY(bytes.endsWith("\r\n"));
    }

    void priorityRedirect()
    {
        writeBytes(path(SettingsFileName),
                   cp932Lines(sampleLines(QStringLiteral("rail.DEF"), QStringLiteral("10"))));
        QStringList rail = sampleLines(QStringLiteral("other.DEF"), QStringLiteral("1440"));
        rail[5] = QStringLiteral("鉄道ファイルの路線");
        writeBytes(path(QStringLiteral("rail.DEF")), cp932Lines(rail));
        writeBytes(path(QStringLiteral("other.DEF")),
                   cp932Lines(sampleLines(QString(), QStringLiteral("240"))));
        const SettingsRead read = readSettings(m_dir->path());
        QVERIFY(read.complete);
        QCOMPARE(read.priorityName, QStringLiteral("rail.DEF"));
        QCOMPARE(*read.numbers[0], 1440); // from the railway file, whose own line 1 is not followed
        QCOMPARE(read.routes[0][0], QStringLiteral("鉄道ファイルの路線"));
    }

    void priorityNameMissingOrFullPath_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing file") << QStringLiteral("nothere.DEF");
        QTest::newRow("full path is still taken relative") << QStringLiteral("%1/rail.DEF");
    }

    void priorityNameMissingOrFullPath()
    {
        QFETCH(QString, name);
        // The railway file exists beside the settings file, but a full path names it relative
        // to the directory, where it is not.
        writeBytes(path(QStringLiteral("rail.DEF")), cp932Lines(sampleLines(QString())));
        const QString line1 = name.contains(QLatin1String("%1")) ? name.arg(m_dir->path()) : name;
        writeBytes(path(SettingsFileName), cp932Lines(sampleLines(line1)));
        const SettingsRead read = readSettings(m_dir->path());
        QVERIFY(!read.complete);
        QCOMPARE(read.priorityName, line1);
        QCOMPARE(read.failedLine, 0);
        QVERIFY(!read.numbers[0]);
    }

    void noSettingsFile()
    {
        const SettingsRead read = readSettings(m_dir->path());
        QVERIFY(!read.complete);
        QCOMPARE(read.failure, std::optional<FailureKind>(FailureKind::FileNotFound));
        SettingsValues values;
        read.applyNumbers(values);
        QCOMPARE(values.CheckIntervalMinutes, 30);
    }

    void linesAfter50AndLooseLineEnds()
    {
        QStringList lines = sampleLines(QString());
        lines << QStringLiteral("line 51") << QStringLiteral("line 52");
        QByteArray bytes = Converter(coding::Cp932).encode(lines.join(QLatin1Char('\n')));
        writeBytes(path(SettingsFileName), bytes);
        const SettingsRead read = readSettings(m_dir->path());
        QVERIFY(read.complete);
        QCOMPARE(read.routes[4][8], QStringLiteral("r5f9"));
    }

    void joinRule()
    {
        QCOMPARE(platform::joinToDirectory(QStringLiteral("/"), QStringLiteral("a.DEF")),
                 QStringLiteral("/a.DEF"));
        QCOMPARE(platform::joinToDirectory(QStringLiteral("/home/u"), QStringLiteral("a.DEF")),
                 QStringLiteral("/home/u/a.DEF"));
        QCOMPARE(trimBlanks(QStringLiteral("  a b  ")), QStringLiteral("a b"));
        QCOMPARE(trimBlanks(QStringLiteral("\u3000a ")), QStringLiteral("\u3000a"));
    }

    void diskFullLeavesOldFile()
    {
        const QString file = path(SettingsFileName);
        writeBytes(file, "old contents\r\n");
        {
            test::DiskFull full;
            QVERIFY(!writeLayoutFile(file, {}, SettingsValues(), RouteBlocks()).done);
        }
        QCOMPARE(readBytes(file), QByteArray("old contents\r\n"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{SettingsFileName});
    }

    void removedCurrentDirectoryReadsNothing()
    {
        const SettingsRead read = readSettings(QString());
        QVERIFY(!read.complete);
        QCOMPARE(read.failure, std::optional<FailureKind>(FailureKind::FileNotFound));
    }

    void failedSaveLeavesOldFile()
    {
        // As root, permissions do not stop a write; a parent that is a regular file does.
        const QString file = path(SettingsFileName);
        writeBytes(file, "old contents\r\n");
        QVERIFY(
            !writeLayoutFile(file + QStringLiteral("/x.DEF"), {}, SettingsValues(), RouteBlocks())
                 .done);
        QCOMPARE(readBytes(file), QByteArray("old contents\r\n"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{SettingsFileName});
    }

    void hostileFolder_data()
    {
        // With line 1 empty the settings file is what is planted, else rail.DEF, which line 1
        // names.
        QTest::addColumn<QString>("line1");
        QTest::addColumn<QString>("planted"); // someone's link / file, or a FIFO
        QTest::addColumn<QString>("field");   // a route field to save, and as it reads back
        QTest::addColumn<QString>("fieldRead");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<bool>("savable");
        auto row = [](const char* name, const QString& line1, const char* planted, bool readable,
                      bool savable, const QString& field = {}, const QString& fieldRead = {}) {
            QTest::newRow(name) << line1 << QString::fromUtf8(planted) << field << fieldRead
                                << readable << savable;
        };
        const QString rail = QStringLiteral("rail.DEF");
        row("settings file is another user's link", {}, "nobody's link", false, false);
        row("settings file is our own link", {}, "own link", true, true);
        row("settings file is another user's", {}, "nobody's file", false, false);
        row("settings file is a FIFO", {}, "FIFO", false, false);
        row("line 1 names another user's link", rail, "nobody's link", false, true);
        row("FIFO on line 1", rail, "FIFO", false, true);
        row("priority name ../",
            QStringLiteral("../%1/rail.DEF").arg(QDir(m_dir->path()).dirName()), "own file", false,
            true);
        row("field with CR LF", {}, "own file", true, true, QStringLiteral("a\r\nb\rc\nd"),
            QStringLiteral("a b c d"));
    }

    // Refused files read like unreadable ones, and at once; a refused save changes nothing
    // anywhere; what is allowed still reads, and saves as 50 lines.
    void hostileFolder()
    {
        QFETCH(QString, line1);
        QFETCH(QString, planted);
        QFETCH(QString, field);
        QFETCH(QString, fieldRead);
        QFETCH(bool, readable);
        QFETCH(bool, savable);
        const QString victim = path(QStringLiteral("victim"));
        const QByteArray precious = cp932Lines(sampleLines(QString()));
        writeBytes(victim, precious);
        const QString settings = path(SettingsFileName);
        const QString target = line1.isEmpty() ? settings : path(QStringLiteral("rail.DEF"));
        if (!line1.isEmpty())
            writeBytes(settings, cp932Lines(sampleLines(line1)));
        if (planted.endsWith(QLatin1String("link")))
            QVERIFY(QFile::link(victim, target));
        else if (planted == QLatin1String("FIFO"))
            QCOMPARE(mkfifo(QFile::encodeName(target), 0600), 0);
        else
            writeBytes(target, precious);
        QVERIFY(!planted.startsWith(QLatin1String("nobody")) || test::giveToNobody(target));

        const SettingsRead read = readSettings(m_dir->path());
        QCOMPARE(read.complete, readable);
        QCOMPARE(read.failure,
                 readable ? std::nullopt : std::optional<FailureKind>(FailureKind::CannotRead));
        RouteBlocks routes;
        routes[0][2] = field;
        const SettingsWrite written =
            writeLayoutFile(settings, QString(), SettingsValues(), routes);
        const bool saved = written.done;
        QVERIFY(saved || written.failure == failureDescription(FailureKind::CannotWrite));
        QCOMPARE(saved, savable);
        if (planted != QLatin1String("own link"))
            QCOMPARE(readBytes(victim), precious);
        if (saved) {
            QCOMPARE(readBytes(settings).count("\r\n"), SettingsLineCount);
            QCOMPARE(readSettings(m_dir->path()).routes[0][2], fieldRead);
        }
    }

    // Saves and reads racing another user who keeps putting a link of theirs at the name: the
    // file it leads to is never written nor read as the settings, whoever wins each round.
    void linkRace()
    {
        const QString victim = path(QStringLiteral("victim"));
        const QByteArray precious = cp932Lines(sampleLines(QStringLiteral("victim's line 1")));
        writeBytes(victim, precious);
        const QString settings = path(SettingsFileName);
        RouteBlocks routes;
        routes[0][0] = QStringLiteral("ours");
        int saved = 0;
        {
            test::LinkFlipper attacker(settings, victim);
            // Until both sides have had a few thousand turns, however the threads are scheduled.
            for (int round = 0; round < 3000 || (attacker.flips() < 3000 && round < 300000);
                 ++round) {
                if (writeLayoutFile(settings, QString(), SettingsValues(), routes).done)
                    ++saved;
                const SettingsRead read = readSettings(m_dir->path());
                QVERIFY(read.priorityName.isEmpty());
                QVERIFY(!read.complete || read.routes[0][0] == routes[0][0]);
            }
            QVERIFY2(attacker.flips() >= 3000, "the attacker never got going");
        }
        QCOMPARE(readBytes(victim), precious);
        QVERIFY(saved > 0);
        const QStringList left = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden);
        QVERIFY2(QSet<QString>(left.begin(), left.end())
                     .subtract({QStringLiteral("victim"), SettingsFileName})
                     .isEmpty(),
                 qPrintable(left.join(u' ')));
    }

    void savedPermissions_data()
    {
        QTest::addColumn<int>("before"); // -1: no file yet
        QTest::addColumn<bool>("userOnly");
        QTest::addColumn<int>("after");
        QTest::newRow("new file as the umask says") << -1 << false << (0666 & ~022);
        QTest::newRow("new file for the user only") << -1 << true << 0600;
        QTest::newRow("existing file keeps its mode") << 0640 << false << 0640;
        // A file that holds secrets loses what group and others were given by hand.
        QTest::newRow("existing file made user-only") << 0644 << true << 0600;
    }

    void savedPermissions()
    {
        QFETCH(int, before);
        QFETCH(bool, userOnly);
        QFETCH(int, after);
        const mode_t umaskWas = umask(022);
        const QString file = path(QStringLiteral("saved"));
        if (before >= 0) {
            writeBytes(file, "old");
            QCOMPARE(chmod(QFile::encodeName(file), mode_t(before)), 0);
        }
        const bool written = platform::writeOwnFile(file, "new",
                                                    userOnly ? platform::NewFileAccess::UserOnly
                                                             : platform::NewFileAccess::AsUmask);
        umask(umaskWas);
        QVERIFY(written);
        struct stat st;
        QCOMPARE(stat(QFile::encodeName(file), &st), 0);
        QCOMPARE(int(st.st_mode & 07777), after);
        QCOMPARE(readBytes(file), QByteArray("new"));
    }

    // Decoded, the folder's name would be one that does not exist; the settings are read and
    // saved all the same.
    void folderNamedNotAsText()
    {
        QVERIFY(test::enterFolderNamedNotAsText(m_dir->path()));
        writeBytes(SettingsFileName, cp932Lines(sampleLines(QString())));
        const QString dir = platform::currentDirectory().value();
        QVERIFY(readSettings(dir).complete);
        QVERIFY(writeLayoutFile(platform::joinToDirectory(dir, SettingsFileName), QString(), {45},
                                RouteBlocks())
                    .done);
        QCOMPARE(readSettings(dir).numbers[0], std::optional<int>(45));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
