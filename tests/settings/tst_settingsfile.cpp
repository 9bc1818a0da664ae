// The 50-line settings layout: reading with the priority redirect and partial results, writing
// bytes, and saves that never leave a half file.
#include "codec/Converter.h"
#include "settings/SettingsFile.h"
#include "support/DiskFull.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return m_dir->filePath(name); }

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

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
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
