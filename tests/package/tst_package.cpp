// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The Debian packages as cpack builds them (senrokan and, with the browser, senrokan-browser),
// each unpacked into a scratch root: lintian accepts them, their control fields, that each one's
// Depends names the package of every library its own files link (and only the browser's names Qt
// WebEngine), that every installed file is where the desktop entry, the icon theme, the man
// reader and the program itself look, and that the copyright, the metadata, the manual pages and
// the programs' --help and --version agree on the licence, the options and the version.
#include "desktop/Chime.h"
#include "support/Files.h"
#include "support/InfoOptions.h"
#include "support/ProcessRun.h"
#include "window/WebViewLoader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using senrokan::Chime;
using senrokan::WebViewLoader;
using senrokan::test::readBytes;

namespace
{

constexpr int LimitMs = 600000; // hang guard only: cpack strips and runs dpkg-shlibdeps

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& args)
{
    senrokan::test::ProcessOptions options;
    // Wide man pages with English headings, whatever the machine's settings.
    options.environment.insert("MANWIDTH", "200");
    options.environment.insert("LC_ALL", "C.UTF-8");
    options.limitMs = LimitMs;
    const senrokan::test::ProcessResult result = senrokan::test::runProcess(program, args, options);
    return {result.exitCode, QString::fromUtf8(result.out), QString::fromUtf8(result.err)};
}

QStringList matches(const QString& pattern, const QString& text, int group = 0)
{
    QStringList found;
    const QRegularExpression expression(pattern, QRegularExpression::MultilineOption);
    for (auto it = expression.globalMatch(text); it.hasNext();)
        found << it.next().captured(group);
    return found;
}

// The installed package that holds the library the dynamic loader finds for a soname.
QString packageOfLibrary(const QString& soname)
{
    const QString cache = run(QStringLiteral("/sbin/ldconfig"), {"-p"}).out;
    for (const QString& path : matches(
             "^\\s*" + QRegularExpression::escape(soname) + " \\([^)]*\\) => (\\S+)$", cache, 1)) {
        // dpkg knows a library by the path its package ships it at, which merged /usr hides.
        for (const QString& candidate :
             {path, QFileInfo(path).canonicalFilePath(),
              QString(path).replace(QRegularExpression("^/usr/lib/"), "/lib/"),
              QString(path).replace(QRegularExpression("^/lib/"), "/usr/lib/")}) {
            if (const Run owner = run(QStringLiteral("dpkg"), {"-S", candidate});
                owner.exitCode == 0)
                return owner.out.section(QLatin1Char(':'), 0, 0);
        }
    }
    return {};
}

} // namespace

class TestPackage : public QObject
{
    Q_OBJECT
    // The unpacked package; both unpacked side by side are what an installation holds.
    QString root(const QString& package, const QString& path = {}) const
    {
        return QDir(m_work.filePath("root/" + package)).filePath(path);
    }
    QString programDir(const QString& package = Program) const { return root(package, "usr/bin"); }
    // The browser package's page reader, beside the browser plugin.
    QString renderProgram() const
    {
        return QDir::cleanPath(QFileInfo(WebViewLoader::programPluginFile(programDir(Browser)))
                                   .dir()
                                   .filePath(QStringLiteral("senrokan-render")));
    }
    QString field(const QString& package, const QString& name) const
    {
        return run(QStringLiteral("dpkg-deb"), {"--field", m_debs.value(package), name})
            .out.trimmed();
    }
    // The package names a field lists, alternatives included.
    QSet<QString> packagesIn(const QString& package, const QString& name) const
    {
        QSet<QString> names;
        for (const QString& found : matches("(?:^|[,|])\\s*([^\\s,|:(]+)", field(package, name), 1))
            names.insert(found);
        return names;
    }

    static inline const QString Program = QStringLiteral("senrokan");
    static inline const QString Browser = QStringLiteral("senrokan-browser");
    QTemporaryDir m_work;
    QMap<QString, QString> m_debs; // package name: its .deb

    static QStringList packages()
    {
#ifdef SENROKAN_WITH_WEBENGINE
        return {Program, Browser};
#else
        return {Program};
#endif
    }

    static void addPackageRows()
    {
        QTest::addColumn<QString>("package");
        for (const QString& package : packages())
            QTest::newRow(qPrintable(package)) << package;
    }

    // The two programs in the package senrokan.
    static void addProgramRows()
    {
        QTest::addColumn<QString>("program");
        for (const char* program : {"senrokan", "senrokan-check"})
            QTest::newRow(program) << QString::fromLatin1(program);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_work.isValid());
        const QString out = m_work.filePath("out");
        const Run cpack = run(CPACK_EXE, {"--config", CPACK_CONFIG, "-B", out});
        QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.out + cpack.err));
        for (const QString& deb : QDir(out).entryList({"*.deb"}))
            m_debs.insert(deb.section(QLatin1Char('_'), 0, 0), QDir(out).filePath(deb));
        QCOMPARE(m_debs.keys(), packages());
        for (auto it = m_debs.begin(); it != m_debs.end(); ++it) {
            QVERIFY(QDir().mkpath(root(it.key())));
            const Run unpack = run(QStringLiteral("dpkg"), {"-x", it.value(), root(it.key())});
            QVERIFY2(unpack.exitCode == 0, qPrintable(unpack.err));
        }
    }

    // Debian's own checks: no error and no warning (notes for information may stay). They also
    // refuse a package built for another architecture than its binaries'.
    void lintian_data()
    {
        addPackageRows();
    }

    void lintian()
    {
        QFETCH(QString, package);
        const Run lintian = run(LINTIAN_EXE, {"--fail-on", "error,warning", m_debs.value(package)});
        QVERIFY2(lintian.exitCode == 0 && matches("^[EW]: ", lintian.out).isEmpty(),
                 qPrintable(lintian.out + lintian.err));
    }

    // A minimal install stays free of Qt WebEngine: only the browser's package pulls it in, and
    // the program only recommends that package.
    void webEngineOnlyWithTheBrowser_data()
    {
        addPackageRows();
    }

    void webEngineOnlyWithTheBrowser()
    {
        QFETCH(QString, package);
        const QSet<QString> depends = packagesIn(package, "Depends");
        const bool webEngine = std::any_of(depends.begin(), depends.end(), [](const QString& name) {
            return name.contains(QStringLiteral("webengine"));
        });
        QVERIFY2(webEngine == (package == Browser), qPrintable(field(package, "Depends")));
        if (package == Browser)
            QVERIFY(depends.contains(Program));
#ifdef SENROKAN_WITH_WEBENGINE
        else
            QVERIFY(packagesIn(package, "Recommends").contains(Browser));
#endif
        // Reports to services the program does not reach itself go through apprise.
        if (package == Program)
            QVERIFY(packagesIn(package, "Suggests").contains(QStringLiteral("apprise")));
    }

    // Exactly what the programs need, where they look: no static libraries, headers or tests.
    void installedFiles_data()
    {
        addPackageRows();
    }

    void installedFiles()
    {
        QFETCH(QString, package);
        QStringList expected;
        for (const char* file : {"copyright", "changelog.gz"})
            expected << root(package, "usr/share/doc/" + package + "/" + file);
        const QString wav = QDir::cleanPath(Chime::programDataDir(programDir()) + "/notify.wav");
        if (package == Program) {
            expected << wav;
            for (const char* file :
                 {"usr/bin/senrokan", "usr/bin/senrokan-check",
                  "usr/share/applications/senrokan.desktop",
                  "usr/share/metainfo/org.senrokan.Senrokan.metainfo.xml",
                  "usr/share/icons/hicolor/scalable/apps/senrokan.svg",
                  "usr/share/icons/hicolor/scalable/status/senrokan-delay.svg",
                  "usr/share/icons/hicolor/scalable/status/senrokan-checking.svg",
                  "usr/share/icons/hicolor/scalable/status/senrokan-error.svg",
                  "usr/share/man/man1/senrokan.1.gz", "usr/share/man/man1/senrokan-check.1.gz",
                  "usr/lib/systemd/user/senrokan-check@.service",
                  "usr/lib/systemd/user/senrokan-check@.timer"})
                expected << root(package, file);
#ifdef SENROKAN_WITH_MULTIMEDIA
            expected << QDir::cleanPath(Chime::programPluginFile(programDir()));
#endif
        } else {
            // Where the program looks, once both packages are installed.
            expected << QDir::cleanPath(WebViewLoader::programPluginFile(programDir(Browser)))
                     << renderProgram();
        }
        QStringList found;
        for (QDirIterator it(root(package), QDir::Files | QDir::Hidden,
                             QDirIterator::Subdirectories);
             it.hasNext();)
            found << it.next();
        found.sort();
        expected.sort();
        QCOMPARE(found, expected);
        if (package == Program)
            QCOMPARE(readBytes(wav), readBytes(COMMITTED_CHIME_WAV));
    }

    void dependsCoverLinkedLibraries_data()
    {
        QTest::addColumn<QString>("package");
        QTest::addColumn<QString>("file");
        QTest::newRow("senrokan") << Program << root(Program, "usr/bin/senrokan");
        QTest::newRow("senrokan-check") << Program << root(Program, "usr/bin/senrokan-check");
#ifdef SENROKAN_WITH_MULTIMEDIA
        QTest::newRow("sound player plugin")
            << Program << QDir::cleanPath(Chime::programPluginFile(programDir()));
#endif
#ifdef SENROKAN_WITH_WEBENGINE
        QTest::newRow("browser plugin")
            << Browser << QDir::cleanPath(WebViewLoader::programPluginFile(programDir(Browser)));
        QTest::newRow("page reader") << Browser << renderProgram();
#endif
    }

    void dependsCoverLinkedLibraries()
    {
        QFETCH(QString, package);
        QFETCH(QString, file);
        const Run dynamic = run(QStringLiteral("readelf"), {"--dynamic", file});
        QVERIFY2(dynamic.exitCode == 0, qPrintable(dynamic.err));
        // A search path left from the build would point into a folder the user does not have.
        QVERIFY2(!dynamic.out.contains("RPATH") && !dynamic.out.contains("RUNPATH"),
                 qPrintable(dynamic.out));
        const QSet<QString> depends = packagesIn(package, "Depends");
        const QStringList sonames =
            matches("\\(NEEDED\\)\\s+Shared library: \\[([^]]+)\\]", dynamic.out, 1);
        QVERIFY(!sonames.isEmpty());
        for (const QString& soname : sonames) {
            const QString owner = packageOfLibrary(soname);
            QVERIFY2(depends.contains(owner),
                     qPrintable(soname + " comes from " + owner + ", which Depends does not name"));
        }
    }

    // Both validators accept the entry and the metadata, and each names what the package holds;
    // the metadata names the licence.
    void desktopEntryAndMetainfo()
    {
        const QString entry = root(Program, "usr/share/applications/senrokan.desktop");
        const Run validate = run(DESKTOP_FILE_VALIDATE_EXE, {entry});
        QVERIFY2(validate.exitCode == 0 && validate.out.isEmpty(),
                 qPrintable(validate.out + validate.err));
        QSettings desktop(entry, QSettings::IniFormat);
        desktop.beginGroup("Desktop Entry");
        // Exec and TryExec name the program as the launcher finds it on PATH, in the package's bin.
        for (const char* key : {"Exec", "TryExec"}) {
            const QString command = desktop.value(key).toString().section(QLatin1Char(' '), 0, 0);
            const QFileInfo program(QDir(programDir()).filePath(command));
            QVERIFY2(!command.contains('/') && program.isFile() && program.isExecutable(),
                     qPrintable(command));
        }
        QVERIFY(QFile::exists(root(Program, "usr/share/icons/hicolor/scalable/apps/" +
                                                desktop.value("Icon").toString() + ".svg")));

        const QString metainfo =
            root(Program, "usr/share/metainfo/org.senrokan.Senrokan.metainfo.xml");
        const Run appstream = run(APPSTREAMCLI_EXE, {"validate", "--no-net", metainfo});
        QVERIFY2(appstream.exitCode == 0 && matches("^[EWI]: ", appstream.out).isEmpty(),
                 qPrintable(appstream.out + appstream.err));
        const QString metadata = QString::fromUtf8(readBytes(metainfo));
        QCOMPARE(matches("<launchable type=\"desktop-id\">([^<]+)</launchable>", metadata, 1),
                 QStringList{"senrokan.desktop"});
        QCOMPARE(matches("<project_license>([^<]+)</project_license>", metadata, 1),
                 QStringList{"GPL-3.0-or-later"});
    }

    // Both pages render without warnings.
    void manPageRenders_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("senrokan(1)") << "senrokan";
        QTest::newRow("senrokan-check(1)") << "senrokan-check";
    }

    void manPageRenders()
    {
        QFETCH(QString, page);
        const Run man =
            run(QStringLiteral("man"),
                {"--warnings", "-l", root(Program, "usr/share/man/man1/" + page + ".1.gz")});
        QCOMPARE(man.exitCode, 0);
        QCOMPARE(man.err, QString());
        QVERIFY(man.out.contains("\nNAME\n       " + page + " - "));
    }

    // Both programs keep their record through Qt SQL's SQLite driver, a plugin that no library
    // links, so shlibdeps cannot find it.
    void sqliteDriverDepended()
    {
        QVERIFY2(packagesIn(Program, "Depends").contains(QStringLiteral("libqt6sql6-sqlite")),
                 qPrintable(field(Program, "Depends")));
    }

    // Each program's page describes every option and exit status its --help lists, and no other.
    void manPageMatchesHelp_data()
    {
        addProgramRows();
    }

    void manPageMatchesHelp()
    {
        QFETCH(QString, program);
        const Run man = run(QStringLiteral("man"),
                            {"-l", root(Program, "usr/share/man/man1/" + program + ".1.gz")});
        const Run help = run(QDir(programDir()).filePath(program), {"--help"});
        QCOMPARE(help.exitCode, 0);
        const QStringList options = senrokan::test::helpEntries(help.out, "Options");
        const QString optionsPart = manSection(man.out, "OPTIONS");
        QCOMPARE(matches("^ {7}-", optionsPart).size(), options.size());
        for (const QString& name : options)
            QVERIFY2(!matches("^ {7}" + QRegularExpression::escape(name) + "(\\s|$)", optionsPart)
                          .isEmpty(),
                     qPrintable(name));
        QCOMPARE(matches("^ {7}(\\d+)\\s", manSection(man.out, "EXIT STATUS"), 1),
                 senrokan::test::helpEntries(help.out, "Exit status"));
    }

    // The installed programs name the package's version, and the copyright and the licence.
    void versionIsThePackages_data()
    {
        addProgramRows();
    }

    void versionIsThePackages()
    {
        QFETCH(QString, program);
        const Run version = run(QDir(programDir()).filePath(program), {"--version"});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out.section('\n', 0, 0),
                 program + " (Senrokan) " + field(Program, "Version"));
        const QString problem =
            senrokan::test::infoOptionProblem(program, "--version", version.out.toUtf8());
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // Debian's machine-readable form: every file under GPL-3+, whose paragraph points at the
    // full text in common-licenses as Debian's policy asks.
    void copyright_data()
    {
        addPackageRows();
    }

    void copyright()
    {
        QFETCH(QString, package);
        const QString text =
            QString::fromUtf8(readBytes(root(package, "usr/share/doc/" + package + "/copyright")));
        const QStringList paragraphs = text.split("\n\n");
        QVERIFY2(
            paragraphs.first().startsWith(
                "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"),
            qPrintable(text));
        QStringList fileLicences;
        QStringList licences; // the stand-alone paragraphs
        for (const QString& paragraph : paragraphs) {
            if (paragraph.startsWith("Files: "))
                fileLicences << matches("^License: (.*)$", paragraph, 1);
            else if (paragraph.startsWith("License: "))
                licences << paragraph;
        }
        QVERIFY2(text.startsWith(paragraphs.first() + "\n\nFiles: *\n"), qPrintable(text));
        QCOMPARE(QSet<QString>(fileLicences.begin(), fileLicences.end()), QSet<QString>{"GPL-3+"});
        QCOMPARE(licences.size(), 1);
        const QString gpl = licences.first();
        QVERIFY(gpl.startsWith("License: GPL-3+\n"));
        QVERIFY2(gpl.contains("either version 3 of the License, or\n (at your option) any later "
                              "version.") &&
                     gpl.contains("\"/usr/share/common-licenses/GPL-3\""),
                 qPrintable(gpl));
    }

    // The licence at the top of the sources is the one the copyright points at, word for word.
    void licenceText()
    {
        const QByteArray gpl = readBytes("/usr/share/common-licenses/GPL-3");
        QVERIFY(gpl.contains("GNU GENERAL PUBLIC LICENSE\n                       Version 3"));
        QCOMPARE(readBytes(SOURCE_LICENSE), gpl);
    }

private:
    // A section of a rendered manual page, up to the next heading.
    static QString manSection(const QString& page, const QString& heading)
    {
        return page.section("\n" + heading + "\n", 1).section(QRegularExpression("\n[A-Z]"), 0, 0);
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
