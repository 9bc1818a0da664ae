// The Debian package as cpack builds it, unpacked into a scratch root: its control fields, that
// Depends names the package of every library its programs link, and that every installed file is
// where the desktop entry, the icon theme, the man reader and the program itself look.
#include "desktop/Chime.h"
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

using senrokan::Chime;
using senrokan::WebViewLoader;

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

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    QString root(const QString& path = {}) const { return QDir(m_root).filePath(path); }
    QString programDir() const { return root("usr/bin"); }
    QString field(const QString& name) const
    {
        return run(QStringLiteral("dpkg-deb"), {"--field", m_deb, name}).out.trimmed();
    }

    QTemporaryDir m_work;
    QString m_deb;
    QString m_root = m_work.filePath("root");

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_work.isValid());
        const QString out = m_work.filePath("out");
        const Run cpack = run(CPACK_EXE, {"--config", CPACK_CONFIG, "-B", out});
        QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.out + cpack.err));
        const QStringList debs = QDir(out).entryList({"senrokan_*.deb"});
        QCOMPARE(debs.size(), 1);
        m_deb = QDir(out).filePath(debs.first());
        const Run unpack = run(QStringLiteral("dpkg"), {"-x", m_deb, m_root});
        QVERIFY2(unpack.exitCode == 0, qPrintable(unpack.err));
    }

    void controlFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("pattern");
        // A package for another architecture does not install here.
        QTest::newRow("architecture of this machine")
            << "Architecture" << run("dpkg", {"--print-architecture"}).out.trimmed();
    }

    void controlFields()
    {
        QFETCH(QString, field);
        QFETCH(QString, pattern);
        const QString value = this->field(field);
        QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(pattern))
                     .match(value)
                     .hasMatch(),
                 qPrintable(field + ": " + value));
    }

    // Exactly what the programs need, where they look: no static libraries, headers or tests.
    void installedFiles()
    {
        const QString wav = QDir::cleanPath(Chime::programDataDir(programDir()) + "/notify.wav");
        QStringList expected = {wav};
        for (const char* file : {"usr/bin/senrokan", "usr/bin/senrokan-check",
                                 "usr/share/applications/senrokan.desktop",
                                 "usr/share/metainfo/org.senrokan.Senrokan.metainfo.xml",
                                 "usr/share/icons/hicolor/scalable/apps/senrokan.svg",
                                 "usr/share/icons/hicolor/scalable/status/senrokan-delay.svg",
                                 "usr/share/icons/hicolor/scalable/status/senrokan-checking.svg",
                                 "usr/share/icons/hicolor/scalable/status/senrokan-error.svg",
                                 "usr/share/man/man1/senrokan-check.1.gz"})
            expected << root(file);
#ifdef SENROKAN_WITH_MULTIMEDIA
        expected << QDir::cleanPath(Chime::programPluginFile(programDir()));
#endif
#ifdef SENROKAN_WITH_WEBENGINE
        expected << QDir::cleanPath(WebViewLoader::programPluginFile(programDir()));
#endif
        QStringList found;
        for (QDirIterator it(m_root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
             it.hasNext();)
            found << it.next();
        found.sort();
        expected.sort();
        QCOMPARE(found, expected);
        QCOMPARE(readFile(wav), readFile(COMMITTED_CHIME_WAV));
    }

    void dependsCoverLinkedLibraries_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("senrokan") << root("usr/bin/senrokan");
        QTest::newRow("senrokan-check") << root("usr/bin/senrokan-check");
#ifdef SENROKAN_WITH_MULTIMEDIA
        QTest::newRow("sound player plugin") << Chime::programPluginFile(programDir());
#endif
#ifdef SENROKAN_WITH_WEBENGINE
        QTest::newRow("browser plugin") << WebViewLoader::programPluginFile(programDir());
#endif
    }

    void dependsCoverLinkedLibraries()
    {
        QFETCH(QString, file);
        const Run dynamic = run(QStringLiteral("readelf"), {"--dynamic", file});
        QVERIFY2(dynamic.exitCode == 0, qPrintable(dynamic.err));
        // A search path left from the build would point into a folder the user does not have.
        QVERIFY2(!dynamic.out.contains("RPATH") && !dynamic.out.contains("RUNPATH"),
                 qPrintable(dynamic.out));
        QSet<QString> depends; // package names, alternatives included
        for (const QString& name : matches("(?:^|[,|])\\s*([^\\s,|:(]+)", field("Depends"), 1))
            depends.insert(name);
        const QStringList sonames =
            matches("\\(NEEDED\\)\\s+Shared library: \\[([^]]+)\\]", dynamic.out, 1);
        QVERIFY(!sonames.isEmpty());
        for (const QString& soname : sonames) {
            const QString package = packageOfLibrary(soname);
            QVERIFY2(depends.contains(package), qPrintable(soname + " comes from " + package +
                                                           ", which Depends does not name"));
        }
    }

    // Both validators accept the entry and the metadata, and each names what the package holds.
    void desktopEntryAndMetainfo()
    {
        const QString entry = root("usr/share/applications/senrokan.desktop");
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
        QVERIFY(QFile::exists(root("usr/share/icons/hicolor/scalable/apps/" +
                                   desktop.value("Icon").toString() + ".svg")));

        const QString metainfo = root("usr/share/metainfo/org.senrokan.Senrokan.metainfo.xml");
        const Run appstream = run(APPSTREAMCLI_EXE, {"validate", "--no-net", metainfo});
        QVERIFY2(appstream.exitCode == 0, qPrintable(appstream.out + appstream.err));
        QCOMPARE(matches("<launchable type=\"desktop-id\">([^<]+)</launchable>",
                         QString::fromUtf8(readFile(metainfo)), 1),
                 QStringList{"senrokan.desktop"});
    }

    // The page renders without warnings and describes every option and exit status of the
    // installed checker.
    void manPage()
    {
        const Run man = run(QStringLiteral("man"),
                            {"--warnings", "-l", root("usr/share/man/man1/senrokan-check.1.gz")});
        QCOMPARE(man.exitCode, 0);
        QCOMPARE(man.err, QString());
        const Run help = run(root("usr/bin/senrokan-check"), {"--help"});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.startsWith("usage: senrokan-check "));
        const QStringList options = QStringList{"--help"} + matches("--[a-z]+", help.out);
        QCOMPARE(options.size(), 5);
        const QString optionsPart =
            man.out.section("\nOPTIONS\n", 1).section("\nEXIT STATUS\n", 0, 0);
        for (const QString& name : options)
            QVERIFY2(!matches("^\\s+(-h, )?" + name + "\\b", optionsPart).isEmpty(),
                     qPrintable(name));
        const QString exitPart =
            man.out.section("\nEXIT STATUS\n", 1).section(QRegularExpression("\n[A-Z]"), 0, 0);
        QCOMPARE(matches("^ {7}(\\d+)\\s", exitPart, 1), (QStringList{"0", "1", "2", "3", "64"}));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
