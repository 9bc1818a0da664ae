// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// Senrokan.ini: what a save keeps and adds, that it is the user's alone, and that it obeys the
// folder's rules for the settings file.
#include "settings/CompanionFile.h"

#include "render/RenderChoices.h"
#include "support/ForeignFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace senrokan;

class TstCompanionFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void saveKeepsWhatItDoesNotKnow_data();
    void saveKeepsWhatItDoesNotKnow();
    void renderChoices_data();
    void renderChoices();
    void readableByTheUserOnly();
    void anotherUsersFileRefused();
};

void TstCompanionFile::saveKeepsWhatItDoesNotKnow_data()
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
    QTest::newRow("section added, CR LF and byte-order mark read")
        << QByteArray("\xEF\xBB\xBF[Route2]\r\nRender=0\r\n")
        << QByteArray("[Route2]\nRender=0\n\n[Notify]\nTargets=ntfy://h/t\n");
}

void TstCompanionFile::saveKeepsWhatItDoesNotKnow()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString path = dir.filePath(CompanionFileName);
    if (!before.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    std::optional<CompanionFile> ini = CompanionFile::read(path);
    QVERIFY(ini);
    ini->setValue("Notify", "Targets", "ntfy://h/t");
    QVERIFY(ini->save(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), after);
    QCOMPARE(CompanionFile::read(path)->value("NOTIFY", "targets"), u"ntfy://h/t");
}

// "ブラウザで読む" as a hand-edited file may say it, and a route's choice saved beside the rest.
void TstCompanionFile::renderChoices_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("rendered"); // the routes read as the browser shows them

    QTest::newRow("none") << QByteArray("[Notify]\nTargets=json://h\n") << QString();
    QTest::newRow("usual spellings")
        << QByteArray("[Route1]\nRender=true\n[route2]\nrender = TRUE\n[Route3]\nRender=1\n"
                      "[Route4]\nRender=yes\n[Route5]\nRender=false\n[Notify]\nTargets=json://h\n")
        << QStringLiteral("1234");
    QTest::newRow("anything else is off")
        << QByteArray("[Route1]\nRender=on please\n[Route2]\nRender=\n[Route6]\nRender=true\n")
        << QString();
}

void TstCompanionFile::renderChoices()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, rendered);
    QTemporaryDir dir;
    const QString path = dir.filePath(CompanionFileName);
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(file);
    out.close();
    auto chosen = [&path] {
        const RenderChoices choices = RenderChoices::read(path);
        QString routes;
        for (int r = 0; r <= RouteCount + 1; ++r)
            if (choices.rendered(r))
                routes += QString::number(r);
        return routes;
    };
    QCOMPARE(chosen(), rendered);

    // Route 5 turned on and route 1 off; everything else in the file stays.
    QVERIFY(RenderChoices::save(path, 5, true).isEmpty());
    QVERIFY(RenderChoices::save(path, 1, false).isEmpty());
    QCOMPARE(chosen(), QString(rendered).remove(u'1') + u'5');
    const std::optional<CompanionFile> saved = CompanionFile::read(path);
    QVERIFY(saved);
    QCOMPARE(saved->value("Notify", "Targets"),
             file.contains("Targets") ? QStringLiteral("json://h") : QString());
}

void TstCompanionFile::readableByTheUserOnly()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(CompanionFileName);
    const mode_t old = ::umask(022);
    CompanionFile ini;
    ini.setValue("Notify", "Targets", "ntfy://u:p@h/t");
    const bool saved = ini.save(path);
    ::umask(old);
    QVERIFY(saved);
    struct stat st {
    };
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, mode_t(0600));
}

// Another user's file in a shared folder is neither read (it could plant targets) nor replaced
// through.
void TstCompanionFile::anotherUsersFileRefused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(CompanionFileName);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Notify]\nTargets=json://attacker.example/\n");
    file.close();
    QVERIFY(test::giveToNobody(path));
    QVERIFY(!CompanionFile::read(path));
}

QTEST_GUILESS_MAIN(TstCompanionFile)
#include "tst_companionfile.moc"
