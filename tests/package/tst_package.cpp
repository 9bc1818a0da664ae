// The Debian package as cpack builds it, unpacked into a scratch root: its control fields, that
// shlibdeps named the package of every library its programs link, and that every installed file
// is where the desktop entry, the icon theme, the man reader and the program itself look.
#include "desktop/Chime.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using senrokan::Chime;

namespace
{

constexpr int LimitMs = 600000; // hang guard only: cpack strips and runs dpkg-shlibdeps

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    Run result;
    if (process.waitForFinished(LimitMs) && process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Package names in a Depends field, alternatives included, versions left out.
QSet<QString> dependedPackages(const QString& depends)
{
    QSet<QString> names;
    for (const QString& part : depends.split(QRegularExpression(QStringLiteral("[,|]")))) {
        const QString name = part.trimmed().section(QLatin1Char(' '), 0, 0);
        if (!name.isEmpty())
            names.insert(name.section(QLatin1Char(':'), 0, 0));
    }
    return names;
}

// The installed package that holds the library the dynamic loader finds for a soname.
QString packageOfLibrary(const QString& soname)
{
    const Run cache = run(QStringLiteral("/sbin/ldconfig"), {"-p"});
    const QRegularExpression entry(
        QStringLiteral("^\\s*%1 \\([^)]*\\) => (\\S+)$").arg(QRegularExpression::escape(soname)),
        QRegularExpression::MultilineOption);
    for (auto it = entry.globalMatch(QString::fromLocal8Bit(cache.out)); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        // dpkg knows a library by the path its package ships it at, which merged /usr hides.
        const QString path = match.captured(1);
        for (const QString& candidate :
             {path, QFileInfo(path).canonicalFilePath(),
              QString(path).replace(QRegularExpression(QStringLiteral("^/usr/lib/")), "/lib/"),
              QString(path).replace(QRegularExpression(QStringLiteral("^/lib/")), "/usr/lib/")}) {
            const Run owner = run(QStringLiteral("dpkg"), {"-S", candidate});
            if (owner.exitCode == 0)
                return QString::fromLocal8Bit(owner.out).section(QLatin1Char(':'), 0, 0);
        }
    }
    return {};
}

} // namespace

class TestPackage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void controlFields_data();
    void controlFields();
    void installedFiles();
    void dependsCoverLinkedLibraries_data();
    void dependsCoverLinkedLibraries();
    void desktopEntry();
    void metainfo();
    void chimeWhereTheProgramLooks_data();
    void chimeWhereTheProgramLooks();
    void manPage();

private:
    QString root(const QString& path = {}) const { return QDir(m_root).filePath(path); }
    QString programDir() const { return root("usr/bin"); }

    QTemporaryDir m_work;
    QString m_deb;
    QString m_root;
    QMap<QString, QString> m_fields;
};

void TestPackage::initTestCase()
{
    QVERIFY(m_work.isValid());
    const Run cpack = run(QStringLiteral(CPACK_EXE),
                          {"--config", QStringLiteral(CPACK_CONFIG), "-B", m_work.filePath("out")});
    QVERIFY2(cpack.exitCode == 0, cpack.out + cpack.err);
    const QStringList debs = QDir(m_work.filePath("out")).entryList({"senrokan_*.deb"});
    QCOMPARE(debs.size(), 1);
    m_deb = QDir(m_work.filePath("out")).filePath(debs.first());
    m_root = m_work.filePath("root");
    const Run unpack = run(QStringLiteral("dpkg"), {"-x", m_deb, m_root});
    QVERIFY2(unpack.exitCode == 0, unpack.err);

    const Run info = run(QStringLiteral("dpkg-deb"), {"--field", m_deb});
    QVERIFY2(info.exitCode == 0, info.err);
    QString field;
    for (const QString& line : QString::fromUtf8(info.out).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char(' ')) && !field.isEmpty())
            m_fields[field] += QLatin1Char('\n') + line;
        else if (line.contains(QLatin1Char(':'))) {
            field = line.section(QLatin1Char(':'), 0, 0);
            m_fields[field] = line.section(QLatin1Char(':'), 1).trimmed();
        }
    }
}

void TestPackage::controlFields_data()
{
    const QString arch =
        QString::fromLatin1(run(QStringLiteral("dpkg"), {"--print-architecture"}).out.trimmed());
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("name") << "Package"
                          << "senrokan";
    QTest::newRow("version of the project") << "Version" << QStringLiteral(PROJECT_VERSION);
    QTest::newRow("section") << "Section"
                             << "utils";
    QTest::newRow("architecture of this machine") << "Architecture" << arch;
    QTest::newRow("maintainer with an address") << "Maintainer"
                                                << "[^<>]+ <[^@ ]+@[^@ ]+\\.\\w+>";
    QTest::newRow("description in English")
        << "Description"
        << "watch railway status pages[^\\n]*\\n [A-Za-z][\\s\\S]*";
    QTest::newRow("libraries from shlibdeps") << "Depends"
                                              << ".*libc6 \\(>= [^)]+\\).*";
}

void TestPackage::controlFields()
{
    QFETCH(QString, field);
    QFETCH(QString, pattern);
    const QRegularExpression expected(QRegularExpression::anchoredPattern(pattern));
    QVERIFY2(expected.match(m_fields.value(field)).hasMatch(),
             qPrintable(field + ": " + m_fields.value(field)));
}

void TestPackage::installedFiles()
{
    // Exactly what the programs need: no static libraries, headers or tests.
    const QString dataDir = QDir::cleanPath(Chime::programDataDir(programDir()));
    QStringList expected = {
        root("usr/bin/senrokan"),
        root("usr/bin/senrokan-check"),
        QDir(dataDir).filePath("notify.wav"),
        root("usr/share/applications/senrokan.desktop"),
        root("usr/share/metainfo/org.senrokan.Senrokan.metainfo.xml"),
        root("usr/share/icons/hicolor/scalable/apps/senrokan.svg"),
        root("usr/share/icons/hicolor/scalable/status/senrokan-delay.svg"),
        root("usr/share/icons/hicolor/scalable/status/senrokan-checking.svg"),
        root("usr/share/icons/hicolor/scalable/status/senrokan-error.svg"),
        root("usr/share/man/man1/senrokan-check.1.gz"),
    };
#ifdef SENROKAN_WITH_MULTIMEDIA
    expected << QDir::cleanPath(Chime::programPluginFile(programDir()));
#endif
    QStringList found;
    for (QDirIterator it(m_root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();)
        found << it.next();
    found.sort();
    QStringList sortedExpected = expected;
    sortedExpected.sort();
    QCOMPARE(found, sortedExpected);
    QCOMPARE(readFile(QDir(dataDir).filePath("notify.wav")),
             readFile(QStringLiteral(COMMITTED_CHIME_WAV)));
}

void TestPackage::dependsCoverLinkedLibraries_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("senrokan") << "usr/bin/senrokan";
    QTest::newRow("senrokan-check") << "usr/bin/senrokan-check";
#ifdef SENROKAN_WITH_MULTIMEDIA
    QTest::newRow("sound player plugin")
        << QDir(m_root).relativeFilePath(QDir::cleanPath(Chime::programPluginFile(programDir())));
#endif
}

void TestPackage::dependsCoverLinkedLibraries()
{
    QFETCH(QString, file);
    const Run dynamic = run(QStringLiteral("readelf"), {"--dynamic", root(file)});
    QVERIFY2(dynamic.exitCode == 0, dynamic.err);
    const QString section = QString::fromLocal8Bit(dynamic.out);
    // A search path left from the build would point into a folder the user does not have.
    QVERIFY2(!section.contains(QLatin1String("RUNPATH")) &&
                 !section.contains(QLatin1String("RPATH")),
             qPrintable(section));
    const QSet<QString> depends = dependedPackages(m_fields.value("Depends"));
    const QRegularExpression needed(
        QStringLiteral("\\(NEEDED\\)\\s+Shared library: \\[([^]]+)\\]"));
    int libraries = 0;
    for (auto it = needed.globalMatch(section); it.hasNext(); ++libraries) {
        const QString soname = it.next().captured(1);
        const QString package = packageOfLibrary(soname);
        QVERIFY2(!package.isEmpty(), qPrintable("no package holds " + soname));
        QVERIFY2(depends.contains(package),
                 qPrintable(soname + " comes from " + package + ", which Depends does not name"));
    }
    QVERIFY(libraries > 0);
}

void TestPackage::desktopEntry()
{
    const QString entry = root("usr/share/applications/senrokan.desktop");
    const Run validate = run(QStringLiteral(DESKTOP_FILE_VALIDATE_EXE), {entry});
    QVERIFY2(validate.exitCode == 0 && validate.out.isEmpty(), validate.out + validate.err);

    QSettings desktop(entry, QSettings::IniFormat);
    desktop.beginGroup("Desktop Entry");
    // Exec and TryExec name the program as the launcher finds it on PATH, in the package's bin.
    for (const char* key : {"Exec", "TryExec"}) {
        const QString command = desktop.value(key).toString().section(QLatin1Char(' '), 0, 0);
        QVERIFY2(!command.contains(QLatin1Char('/')), qPrintable(command));
        const QFileInfo program(QDir(programDir()).filePath(command));
        QVERIFY2(program.isFile() && program.isExecutable(), qPrintable(program.filePath()));
    }
    // Icon names a picture of the hicolor theme's applications.
    const QString icon = desktop.value("Icon").toString();
    QCOMPARE(icon, QStringLiteral("senrokan"));
    QVERIFY(QFile::exists(root("usr/share/icons/hicolor/scalable/apps/" + icon + ".svg")));
}

void TestPackage::metainfo()
{
    const QString file = root("usr/share/metainfo/org.senrokan.Senrokan.metainfo.xml");
    const Run validate = run(QStringLiteral(APPSTREAMCLI_EXE), {"validate", "--no-net", file});
    QVERIFY2(validate.exitCode == 0, validate.out + validate.err);
    const QRegularExpression launchable(
        QStringLiteral("<launchable type=\"desktop-id\">([^<]+)</launchable>"));
    const QRegularExpressionMatch match = launchable.match(QString::fromUtf8(readFile(file)));
    QVERIFY(match.hasMatch());
    QVERIFY(QFile::exists(root("usr/share/applications/" + match.captured(1))));
}

void TestPackage::chimeWhereTheProgramLooks_data()
{
    QTest::addColumn<QString>("file");
#ifdef SENROKAN_WITH_MULTIMEDIA
    QTest::newRow("sound player plugin") << Chime::programPluginFile(programDir());
#endif
    QTest::newRow("default chime")
        << QDir(Chime::programDataDir(programDir())).filePath("notify.wav");
}

void TestPackage::chimeWhereTheProgramLooks()
{
    // The paths the installed program builds from its own folder, usr/bin.
    QFETCH(QString, file);
    QVERIFY2(QFileInfo(file).isFile(), qPrintable(file));
}

void TestPackage::manPage()
{
    const QString page = root("usr/share/man/man1/senrokan-check.1.gz");
    QVERIFY(QFile::exists(page));
    QProcess man;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MANWIDTH", "200");
    env.insert("LC_ALL", "C.UTF-8");
    man.setProcessEnvironment(env);
    man.start(QStringLiteral("man"), {"--warnings", "-l", page});
    QVERIFY(man.waitForFinished(LimitMs));
    QCOMPARE(man.exitCode(), 0);
    QCOMPARE(man.readAllStandardError(), QByteArray());
    const QString text = QString::fromUtf8(man.readAllStandardOutput());

    // Every option of the installed checker's usage line, and --help, is described.
    const Run help = run(root("usr/bin/senrokan-check"), {"--help"});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.startsWith("usage: senrokan-check "));
    const QRegularExpression option(QStringLiteral("--[a-z]+"));
    QStringList options{QStringLiteral("--help")};
    for (auto it = option.globalMatch(QString::fromUtf8(help.out)); it.hasNext();)
        options << it.next().captured();
    QCOMPARE(options.size(), 5);
    const QString optionsPart = text.section(QLatin1String("\nOPTIONS\n"), 1)
                                    .section(QLatin1String("\nEXIT STATUS\n"), 0, 0);
    for (const QString& name : options)
        QVERIFY2(optionsPart.contains(QRegularExpression(QStringLiteral("^\\s+(-h, )?") + name +
                                                             QStringLiteral("\\b"),
                                                         QRegularExpression::MultilineOption)),
                 qPrintable(name));

    // The exit statuses, each as a term of its own.
    const QString exitPart = text.section(QLatin1String("\nEXIT STATUS\n"), 1)
                                 .section(QRegularExpression("\n[A-Z]"), 0, 0);
    QStringList statuses;
    for (auto it = QRegularExpression(QStringLiteral("^ {7}(\\d+)\\s"),
                                      QRegularExpression::MultilineOption)
                       .globalMatch(exitPart);
         it.hasNext();)
        statuses << it.next().captured(1);
    QCOMPARE(statuses, (QStringList{"0", "1", "2", "3", "64"}));
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
