// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// Senrokan.ini: what a save keeps and adds (byte for byte, whatever its coding), the routes'
// options as a hand-edited file may say them, that the file is the user's alone, and that it obeys
// the folder's rules for the settings file.
#include "settings/CompanionSettings.h"

#include "settings/CompanionFile.h"
#include "support/Files.h"
#include "support/ForeignFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace senrokan;

class TstCompanionSettings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void saveKeepsWhatItDoesNotKnow_data();
    void saveKeepsWhatItDoesNotKnow();
    void routeOptions_data();
    void routeOptions();
    void readableByTheUserOnly_data();
    void readableByTheUserOnly();
    void refusedFile_data();
    void refusedFile();
};

void TstCompanionSettings::saveKeepsWhatItDoesNotKnow_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("missing file") << QByteArray() << QByteArray("[Notify]\nTargets=ntfy://h/t\n");
    QTest::newRow("key replaced, other keys and comments kept")
        << QByteArray("; mine\n[notify]\nTheme=dark\ntargets = json://old\n\n[Route1]\nRender=1\n")
        << QByteArray("; mine\n[notify]\nTheme=dark\nTargets=ntfy://h/t\n\n[Route1]\nRender=1\n");
    QTest::newRow("key added at the end of its section, before the blank line")
        << QByteArray("[Notify]\nTheme=dark\n\n[Route1]\nRender=1\n")
        << QByteArray("[Notify]\nTheme=dark\nTargets=ntfy://h/t\n\n[Route1]\nRender=1\n");
    QTest::newRow("section added, CR LF and byte-order mark kept")
        << QByteArray("\xEF\xBB\xBF[Route2]\r\nRender=0\r\n")
        << QByteArray("\xEF\xBB\xBF[Route2]\r\nRender=0\r\n\r\n[Notify]\r\nTargets=ntfy://h/t\r\n");
    // [メモ] and 東京 written by hand in Shift_JIS, and a last line without its line end.
    QTest::newRow("a section in Shift_JIS kept byte for byte")
        << QByteArray("[\x83\x81\x83\x82]\nnote=\x93\x8c\x8b\x9e\n[Notify]\nTargets=json://old")
        << QByteArray("[\x83\x81\x83\x82]\nnote=\x93\x8c\x8b\x9e\n[Notify]\nTargets=ntfy://h/t");
}

void TstCompanionSettings::saveKeepsWhatItDoesNotKnow()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString path = dir.filePath(CompanionFileName);
    if (!before.isEmpty())
        test::writeBytes(path, before);
    std::optional<CompanionFile> ini = CompanionFile::read(path);
    QVERIFY(ini);
    ini->setValue("Notify", "Targets", "ntfy://h/t");
    QVERIFY(ini->save(path));
    QCOMPARE(test::readBytes(path), after);
    QCOMPARE(CompanionFile::read(path)->value("NOTIFY", "targets"), u"ntfy://h/t");
}

// Each route's options as a hand-edited file may say them, and one route's saved beside the rest.
void TstCompanionSettings::routeOptions_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("options");  // each route's options that are not the defaults
    QTest::addColumn<QStringList>("told"); // the keys whose values could not be read

    QTest::newRow("none") << QByteArray("[Notify]\nTargets=json://h\n") << QString()
                          << QStringList();
    QTest::newRow("usual spellings")
        << QByteArray("[Route1]\nRender=true\n[route2]\nrender = TRUE\n[Route3]\nRender=1\n"
                      "[Route4]\nRender=yes\n[Route5]\nRender=false\n[Notify]\nTargets=json://h\n")
        << QStringLiteral("1 render; 2 render; 3 render; 4 render") << QStringList();
    QTest::newRow("anything else is off")
        << QByteArray("[Route1]\nRender=on please\n[Route2]\nRender=\n[Route6]\nRender=true\n")
        << QString() << QStringList();
    QTest::newRow("feed, days, holidays and confirmation")
        << QByteArray("[Route2]\nFeed= https://h/f?acl:consumerKey=k \nFeedLine=odpt.Railway:X\n"
                      "Days=月火水木金\nHolidays=false\nConfirm=3\n[Route3]\nHolidays=no\n")
        << QStringLiteral(
               "2 feed=https://h/f?acl:consumerKey=k line=odpt.Railway:X days=月火水木金 "
               "no holidays confirm=3; 3 no holidays")
        << QStringList();
    QTest::newRow("confirmation kept within 1 to 10")
        << QByteArray("[Route1]\nConfirm=0\n[Route2]\nConfirm=99\n[Route3]\nConfirm=two\n")
        << QStringLiteral("2 confirm=10")
        << QStringList{"[Route1] Confirm", "[Route2] Confirm", "[Route3] Confirm"};
    // What cannot be read watches more, never less, and is told.
    QTest::newRow("days and holidays not understood")
        << QByteArray("[Route4]\nDays=平日\nHolidays=maybe\n[Route5]\nDays=土, 日\n")
        << QStringLiteral("5 days=土日") << QStringList{"[Route4] Days", "[Route4] Holidays"};
    QTest::newRow("port kept as written, an unreadable one told")
        << QByteArray("[Route1]\nPort= 8080 \n[Route2]\nPort=8O80\n[Route3]\nPort=\n")
        << QStringLiteral("1 port=8080; 2 port=8O80") << QStringList{"[Route2] Port"};
    // The consumer key goes with the official API's feeds only: not to the public endpoint, not
    // to a host or port that merely looks like the API's.
    QTest::newRow("consumer key, the official API")
        << QByteArray("[ODPT]\nConsumerKey=k\n[Route1]\nFeed=https://API.odpt.org:443/api/v4/x\n"
                      "[Route2]\nFeed=https://api-public.odpt.org/api/v4/x\n"
                      "[Route3]\nFeed=https://api.odpt.org.example/api/v4/x\n"
                      "[Route4]\nFeed=https://api.odpt.org:8443/api/v4/x\n")
        << QStringLiteral("1 feed=https://API.odpt.org:443/api/v4/x key=k; "
                          "2 feed=https://api-public.odpt.org/api/v4/x; "
                          "3 feed=https://api.odpt.org.example/api/v4/x; "
                          "4 feed=https://api.odpt.org:8443/api/v4/x")
        << QStringList();
    QTest::newRow("consumer key, a Base= of one's own")
        << QByteArray("[odpt]\nbase=http://h:8080/odpt\nConsumerKey=k\n[Route1]\n"
                      "Feed=http://h:8080/odpt/x\n[Route2]\nFeed=https://api.odpt.org/api/v4/x\n")
        << QStringLiteral("1 feed=http://h:8080/odpt/x key=k; 2 feed=https://api.odpt.org/api/v4/x")
        << QStringList();
}

namespace
{

QString describe(const RouteOptionsTable& table)
{
    QStringList routes;
    for (int r = 1; r <= RouteCount; ++r) {
        const RouteOptions& o = table[r];
        QStringList parts;
        if (o.render)
            parts << "render";
        if (!o.feed.isEmpty())
            parts << "feed=" + o.feed;
        if (!o.feedKey.isEmpty())
            parts << "key=" + o.feedKey;
        if (!o.feedLine.isEmpty())
            parts << "line=" + o.feedLine;
        if (!o.days.isEmpty())
            parts << "days=" + o.days;
        if (!o.holidays)
            parts << "no holidays";
        if (o.confirm != 1)
            parts << QStringLiteral("confirm=%1").arg(o.confirm);
        if (o.port != u"80")
            parts << "port=" + o.port;
        if (!parts.isEmpty())
            routes << QString::number(r) + u' ' + parts.join(u' ');
    }
    return routes.join(QStringLiteral("; "));
}

} // namespace

void TstCompanionSettings::routeOptions()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, options);
    QFETCH(QStringList, told);
    QTemporaryDir dir;
    test::writeBytes(dir.filePath(CompanionFileName), file);
    const CompanionSettings settings(dir.path());
    const CompanionValues values = settings.read();
    QCOMPARE(describe(values.routes), options);
    QCOMPARE(values.routeProblems.size(), told.size());
    for (qsizetype i = 0; i < told.size(); ++i)
        QVERIFY2(values.routeProblems.at(i).contains(told.at(i)),
                 qPrintable(values.routeProblems.at(i)));

    // Route 5 read as the browser shows it and route 1 not; everything else in the file stays.
    RouteOptions five = values.routes[5];
    five.render = true;
    RouteOptions one = values.routes[1];
    one.render = false;
    QVERIFY(settings.saveRouteOptions(5, five).done);
    QVERIFY(settings.saveRouteOptions(1, one).done);
    RouteOptionsTable expected = values.routes;
    expected[5] = five;
    expected[1] = one;
    const CompanionValues saved = settings.read();
    QCOMPARE(describe(saved.routes), describe(expected));
    QCOMPARE(saved.targetTexts, values.targetTexts);
}

// Targets hold passwords and tokens: a new file and one made by hand alike end up readable by
// the user only once the program has written them.
void TstCompanionSettings::readableByTheUserOnly_data()
{
    QTest::addColumn<int>("before"); // the file's mode, 0 for none
    QTest::newRow("new file") << 0;
    QTest::newRow("made by hand, readable by all") << 0644;
    QTest::newRow("made by hand, group may write") << 0660;
}

void TstCompanionSettings::readableByTheUserOnly()
{
    QFETCH(int, before);
    QTemporaryDir dir;
    const QString path = dir.filePath(CompanionFileName);
    const QByteArray name = QFile::encodeName(path);
    if (before != 0) {
        test::writeBytes(path, "; mine\n");
        QCOMPARE(::chmod(name.constData(), mode_t(before)), 0);
    }
    const mode_t old = ::umask(022);
    const QString error = CompanionSettings(dir.path()).addTarget("ntfy://u:p@h/t").failure;
    ::umask(old);
    QCOMPARE(error, QString());
    struct stat st {
    };
    QCOMPARE(::stat(name.constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, mode_t(0600));
}

// Another user's file in a shared folder is neither read (it could plant targets) nor replaced
// through; no file refused is read, and every route watched without its options is told.
void TstCompanionSettings::refusedFile_data()
{
    QTest::addColumn<QString>("planted");
    QTest::newRow("another user's file") << "nobody's file";
    QTest::newRow("another user's link") << "nobody's link";
    QTest::newRow("a FIFO") << "FIFO";
    QTest::newRow("a folder") << "folder";
    QTest::newRow("over 1 MiB") << "large";
}

void TstCompanionSettings::refusedFile()
{
    QFETCH(QString, planted);
    QTemporaryDir dir;
    const QString path = dir.filePath(CompanionFileName);
    QByteArray bytes("[Notify]\nTargets=json://attacker.example/\n[Route1]\nRender=true\n");
    if (planted == "large")
        bytes.append(QByteArray(1 << 20, ';'));
    if (planted == "FIFO") {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (planted == "folder") {
        QVERIFY(QDir(dir.path()).mkdir(CompanionFileName));
    } else {
        const QString written = planted.endsWith("link") ? dir.filePath("target") : path;
        test::writeBytes(written, bytes);
        QVERIFY(written == path || QFile::link(written, path));
    }
    QVERIFY(!planted.startsWith("nobody") || test::giveToNobody(path));
    const CompanionSettings settings(dir.path());
    const CompanionValues values = settings.read();
    QVERIFY(values.targetTexts.isEmpty() && values.targets.usable.isEmpty());
    QVERIFY(!values.routes[1].render);
    QVERIFY(values.targets.problems.contains(values.unreadable));
    QCOMPARE(values.routeProblems.size(), 1);
    QVERIFY(values.routeProblems.first().startsWith(values.unreadable));
    QCOMPARE(settings.addTarget("ntfy://h/t").failure, values.unreadable);
}

QTEST_GUILESS_MAIN(TstCompanionSettings)
#include "tst_companionsettings.moc"
