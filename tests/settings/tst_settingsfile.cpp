// The 50-line settings layout: reading with the priority redirect and partial results, writing
// bytes, saves that never leave a half file, and folders where other users plant files.
#include "codec/Converter.h"
#include "platform/LocalFiles.h"
#include "settings/SettingsFile.h"
#include "support/DiskFull.h"
#include "support/ForeignFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace senrokan;

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

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a hostile folder holds before the program reads and saves its settings there.
enum class Planted {
    ForeignLinkAsSettings, // Senrokan.DEF: someone else's link to a file of ours
    OwnLinkAsSettings,     // Senrokan.DEF: our own link to a file of ours
    ForeignSettingsFile,   // Senrokan.DEF: a regular file of someone else's
    ForeignLinkAsPriority, // line 1 names someone else's link to a good railway file
    FifoAsPriority,        // line 1 names a FIFO
    FifoAsSettings,        // Senrokan.DEF: a FIFO
    PriorityUpward,        // line 1: ../rail.DEF, a good railway file one folder up
    LineBreakInField,      // a route field holding CR LF
    FolderNamedNotAsText,  // the folder's name is not valid UTF-8
};

} // namespace

Q_DECLARE_METATYPE(Planted)

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
        writeFile(path(SettingsFileName), cp932Lines(sampleLines(QString())));
        const SettingsRead read = readSettings(m_dir->path());
        QVERIFY(read.complete);
        SettingsValues values;
        read.applyNumbers(values);
        QCOMPARE(values.CheckIntervalMinutes, 60);
        QCOMPARE(values.ResidentFlag, 1);
        QCOMPARE(values.MelodyFlag, 0);
        QCOMPARE(values.CheckOnResidentFlag, 1);
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
        writeFile(path(SettingsFileName), lines.isEmpty() ? QByteArray() : cp932Lines(lines));
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
        writeLayoutFile(file, QString(), SettingsValues(), routes);
        const QByteArray first = readFile(file);
        const SettingsRead read = readRailwayFile(file);
        QVERIFY(read.complete);
        QCOMPARE(read.routes[1][3], value);
        QCOMPARE(read.routes[1][4], QStringLiteral("after"));
        writeLayoutFile(file, QString(), SettingsValues(), read.routes);
        QCOMPARE(readFile(file), first);
    }

    void writtenBytes()
    {
        RouteBlocks routes;
        routes[0][0] = QStringLiteral("山手線");
        routes[0][1] = QStringLiteral("www.example.jp");
        routes[4][8] = QStringLiteral("終わり");
        SettingsValues values{45, 1, 0, -1};
        const QString file = path(SettingsFileName);
        writeLayoutFile(file, QStringLiteral("Senrokan000.DEF"), values, routes);
        QStringList expected{QStringLiteral("Senrokan000.DEF"), QStringLiteral("45"),
                             QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("-1")};
        for (const auto& block : routes)
            for (const QString& v : block)
                expected << v;
        QCOMPARE(expected.size(), SettingsLineCount);
        QCOMPARE(readFile(file), cp932Lines(expected));
    }

    void utf8FileStartsWithBom()
    {
        RouteBlocks routes;
        routes[2][2] = QStringLiteral("〜");
        const QString file = path(SettingsFileName);
        writeLayoutFile(file, QString(), SettingsValues(), routes);
        const QByteArray bytes = readFile(file);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF\r\n30\r\n"));
        QVERIFY(bytes.endsWith("\r\n"));
    }

    void priorityRedirect()
    {
        writeFile(path(SettingsFileName),
                  cp932Lines(sampleLines(QStringLiteral("rail.DEF"), QStringLiteral("10"))));
        QStringList rail = sampleLines(QStringLiteral("other.DEF"), QStringLiteral("1440"));
        rail[5] = QStringLiteral("鉄道ファイルの路線");
        writeFile(path(QStringLiteral("rail.DEF")), cp932Lines(rail));
        writeFile(path(QStringLiteral("other.DEF")),
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
        writeFile(path(QStringLiteral("rail.DEF")), cp932Lines(sampleLines(QString())));
        const QString line1 = name.contains(QLatin1String("%1")) ? name.arg(m_dir->path()) : name;
        writeFile(path(SettingsFileName), cp932Lines(sampleLines(line1)));
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
        writeFile(path(SettingsFileName), bytes);
        const SettingsRead read = readSettings(m_dir->path());
        QVERIFY(read.complete);
        QCOMPARE(read.routes[4][8], QStringLiteral("r5f9"));
    }

    void joinRule()
    {
        QCOMPARE(joinToDirectory(QStringLiteral("/"), QStringLiteral("a.DEF")),
                 QStringLiteral("/a.DEF"));
        QCOMPARE(joinToDirectory(QStringLiteral("/home/u"), QStringLiteral("a.DEF")),
                 QStringLiteral("/home/u/a.DEF"));
        QCOMPARE(trimBlanks(QStringLiteral("  a b  ")), QStringLiteral("a b"));
        QCOMPARE(trimBlanks(QStringLiteral("\u3000a ")), QStringLiteral("\u3000a"));
    }

    void diskFullLeavesOldFile()
    {
        const QString file = path(SettingsFileName);
        writeFile(file, "old contents\r\n");
        {
            test::DiskFull full;
            QVERIFY_THROWS_EXCEPTION(Failure, writeLayoutFile(file, {}, SettingsValues(),
                                                              RouteBlocks()));
        }
        QCOMPARE(readFile(file), QByteArray("old contents\r\n"));
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
        writeFile(file, "old contents\r\n");
        QVERIFY_THROWS_EXCEPTION(Failure, writeLayoutFile(file + QStringLiteral("/x.DEF"), {},
                                                          SettingsValues(), RouteBlocks()));
        QCOMPARE(readFile(file), QByteArray("old contents\r\n"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{SettingsFileName});
    }

    void hostileFolder_data()
    {
        QTest::addColumn<Planted>("planted");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<bool>("savable");
        QTest::newRow("settings file is someone else's link")
            << Planted::ForeignLinkAsSettings << false << false;
        QTest::newRow("settings file is our own link") << Planted::OwnLinkAsSettings << true << true;
        QTest::newRow("settings file is someone else's")
            << Planted::ForeignSettingsFile << false << false;
        QTest::newRow("priority file is someone else's link")
            << Planted::ForeignLinkAsPriority << false << true;
        QTest::newRow("FIFO on line 1") << Planted::FifoAsPriority << false << true;
        QTest::newRow("settings file is a FIFO") << Planted::FifoAsSettings << false << false;
        QTest::newRow("priority name ../") << Planted::PriorityUpward << false << true;
        QTest::newRow("field with CR LF") << Planted::LineBreakInField << true << true;
        QTest::newRow("folder name not UTF-8") << Planted::FolderNamedNotAsText << true << true;
    }

    // Refused files read like unreadable ones (and return at once), refused saves change
    // nothing anywhere, and what is allowed still reads and saves as 50 lines.
    void hostileFolder()
    {
        QFETCH(Planted, planted);
        QFETCH(bool, readable);
        QFETCH(bool, savable);
        QString dir = m_dir->path();
        const QString victim = path(QStringLiteral("victim"));
        const QByteArray precious = cp932Lines(sampleLines(QString()));
        writeFile(victim, precious);
        const QString settings = path(SettingsFileName);
        const auto settingsNaming = [&](const QString& line1) {
            writeFile(settings, cp932Lines(sampleLines(line1)));
        };
        RouteBlocks routes;
        switch (planted) {
        case Planted::ForeignLinkAsSettings:
        case Planted::OwnLinkAsSettings:
            QVERIFY(QFile::link(victim, settings));
            QVERIFY(planted == Planted::OwnLinkAsSettings || test::giveToNobody(settings));
            break;
        case Planted::ForeignSettingsFile:
            settingsNaming(QString());
            QVERIFY(test::giveToNobody(settings));
            break;
        case Planted::ForeignLinkAsPriority:
            settingsNaming(QStringLiteral("rail.DEF"));
            QVERIFY(QFile::link(victim, path(QStringLiteral("rail.DEF"))));
            QVERIFY(test::giveToNobody(path(QStringLiteral("rail.DEF"))));
            break;
        case Planted::FifoAsPriority:
            settingsNaming(QStringLiteral("fifo.DEF"));
            QCOMPARE(mkfifo(QFile::encodeName(path(QStringLiteral("fifo.DEF"))), 0666), 0);
            break;
        case Planted::FifoAsSettings:
            QCOMPARE(mkfifo(QFile::encodeName(settings), 0666), 0);
            break;
        case Planted::PriorityUpward:
            QVERIFY(QDir(dir).mkdir(QStringLiteral("inner")));
            dir = path(QStringLiteral("inner"));
            writeFile(path(QStringLiteral("rail.DEF")), precious);
            writeFile(path(QStringLiteral("inner/") + SettingsFileName),
                      cp932Lines(sampleLines(QStringLiteral("../rail.DEF"))));
            break;
        case Planted::LineBreakInField:
            settingsNaming(QString());
            routes[0][2] = QStringLiteral("a\r\nb");
            routes[1][0] = QStringLiteral("c\nd\re");
            break;
        case Planted::FolderNamedNotAsText:
            QVERIFY(test::enterFolderNamedNotAsText(dir));
            writeFile(SettingsFileName, precious);
            dir = platform::currentDirectory().value();
            break;
        }
        const QString target = joinToDirectory(dir, SettingsFileName);

        const SettingsRead read = readSettings(dir);
        QCOMPARE(read.complete, readable);
        if (!readable) {
            QCOMPARE(read.failure, std::optional<FailureKind>(FailureKind::CannotRead));
            QCOMPARE(read.failedLine, 0);
        }

        bool saved = true;
        try {
            writeLayoutFile(target, QString(), SettingsValues(), routes);
        } catch (const Failure& failure) {
            QCOMPARE(failure.kind(), FailureKind::CannotWrite);
            saved = false;
        }
        QCOMPARE(saved, savable);
        if (planted != Planted::OwnLinkAsSettings)
            QCOMPARE(readFile(victim), precious);
        if (saved) {
            QCOMPARE(readFile(target).count("\r\n"), SettingsLineCount);
            const SettingsRead back = readSettings(dir);
            QVERIFY(back.complete);
            QCOMPARE(back.routes[0][2], routes[0][2].isEmpty() ? QString() : QStringLiteral("a b"));
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
