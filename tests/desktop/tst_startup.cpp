// The Startup buttons on the settings page and the autostart entry behind them, in a temporary
// configuration folder. The entries are judged by real consumers: the freedesktop validator, and
// GLib's launcher, which starts what an entry names where the entry says.
#include "platform/StartupEntry.h"
#include "route/Failure.h"
#include "support/DiskFull.h"
#include "window/ModalWatcher.h"
#include "window/SettingsPage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

using namespace senrokan;
using senrokan::test::ModalWatcher;

namespace
{

const QString Title = QStringLiteral("メッセージ");
const QString RegisterQuestion = QStringLiteral("　スタートアップに登録するしてもいいですか？");
const QString RemoveQuestion = QStringLiteral("　スタートアップから削除してもいいですか？");
// Set for a copy of this program started from an entry: where it records how it was started.
const char* const RecordVariable = "SENROKAN_TEST_START_RECORD";

// Writes the program path and the current folder, one a line, published by a rename so that a
// reader never sees half of it.
void writeRecord(const QString& record, const QString& program, const QString& folder)
{
    QFile part(record + QLatin1String(".part"));
    if (part.open(QIODevice::WriteOnly)) {
        part.write((program + QLatin1Char('\n') + folder + QLatin1Char('\n')).toUtf8());
        part.close();
        part.rename(record);
    }
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What is at the entry's place: nothing, a folder, or a file and its bytes.
QByteArray entryState()
{
    const QFileInfo entry(platform::startupEntryPath());
    if (entry.isDir())
        return "folder";
    return entry.exists() ? "file:" + readBytes(entry.filePath()) : "none";
}

struct Run {
    int exitCode;
    QString output;
};

Run run(const QString& program, const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return {-1, QStringLiteral("did not finish")};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

Run validate(const QString& entry)
{
    return run(QStringLiteral(DESKTOP_FILE_VALIDATE_EXE), {entry});
}

// Starts the entry as a session does at login, through GLib; the program runs on its own.
Run launch(const QString& entry, const QString& record)
{
    static const QString script =
        QStringLiteral("import sys, gi\n"
                       "gi.require_version('Gio', '2.0')\n"
                       "from gi.repository import Gio\n"
                       "app = Gio.DesktopAppInfo.new_from_filename(sys.argv[1])\n"
                       "sys.exit(0 if app.launch([], None) else 1)\n");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(RecordVariable), record);
    return run(QStringLiteral(PYTHON_EXE), {QStringLiteral("-c"), script, entry}, environment);
}

QStringList waitForRecord(const QString& record)
{
    if (!QTest::qWaitFor([&record] { return QFile::exists(record); }, 10000))
        return {QStringLiteral("nothing was started")};
    return QString::fromUtf8(readBytes(record)).split(QLatin1Char('\n'));
}

// Puts this program at path under another name; started from there, it records how.
bool placeRecorder(const QString& path)
{
    return QDir().mkpath(QFileInfo(path).path()) &&
           QFile::link(QCoreApplication::applicationFilePath(), path);
}

QPushButton* button(const SettingsPage& page, const char* name)
{
    auto* found = page.findChild<QPushButton*>(QLatin1String(name));
    if (!found)
        qFatal("no button %s", name);
    return found;
}

enum class Setup { Nothing, FolderAtEntry, ConfigUnderFile, DiskFullOverEntry };

} // namespace

Q_DECLARE_METATYPE(Setup)

class TestStartup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void entryPath_data();
    void entryPath();
    void answeredNo_data();
    void answeredNo();
    void registerStartsThisProgramHere();
    void entrySurvivesPath_data();
    void entrySurvivesPath();
    void unwritablePath_data();
    void unwritablePath();
    void removeAfterRegister();
    void failureShown_data();
    void failureShown();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }

    QString m_startDir;
    QByteArray m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestStartup::initTestCase()
{
    m_startDir = QDir::currentPath();
    m_home = qgetenv("HOME");
}

void TestStartup::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // Not there yet: registering has to make the configuration folder as well.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("config")));
}

void TestStartup::cleanup()
{
    QDir::setCurrent(m_startDir);
    qputenv("HOME", m_home);
    m_dir.reset();
}

void TestStartup::entryPath_data()
{
    QTest::addColumn<std::optional<QString>>("configHome");
    QTest::addColumn<bool>("followed");
    QTest::newRow("absolute") << std::optional<QString>("/srv/a b/cfg") << true;
    QTest::newRow("absolute, Japanese") << std::optional<QString>("/設定/構成") << true;
    QTest::newRow("unset") << std::optional<QString>() << false;
    QTest::newRow("empty") << std::optional<QString>("") << false;
    QTest::newRow("relative") << std::optional<QString>("cfg/senrokan") << false;
    QTest::newRow("dot relative") << std::optional<QString>("./cfg") << false;
}

void TestStartup::entryPath()
{
    QFETCH(std::optional<QString>, configHome);
    QFETCH(bool, followed);
    qputenv("HOME", "/home/someone");
    if (configHome)
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(*configHome));
    else
        qunsetenv("XDG_CONFIG_HOME");

    const QString folder = followed ? *configHome : QStringLiteral("/home/someone/.config");
    QCOMPARE(platform::startupEntryPath(), folder + "/autostart/Senrokan.desktop");
}

void TestStartup::answeredNo_data()
{
    QTest::addColumn<QByteArray>("buttonName");
    QTest::addColumn<QString>("question");
    QTest::newRow("register") << QByteArray("Command20") << RegisterQuestion;
    QTest::newRow("remove") << QByteArray("Command21") << RemoveQuestion;
}

void TestStartup::answeredNo()
{
    QFETCH(QByteArray, buttonName);
    QFETCH(QString, question);
    // Some entry of another start, which neither button may touch.
    platform::addStartupEntry(QStringLiteral("/opt/other/senrokan"), QStringLiteral("/opt"));
    const QByteArray before = entryState();
    SettingsValues values;
    SettingsPage page(values);
    ModalWatcher watcher;
    watcher.answerQuestion(QMessageBox::No);

    button(page, buttonName)->click();

    QCOMPARE(entryState(), before);
    QCOMPARE(watcher.messages.size(), 1);
    const ModalWatcher::Message& box = watcher.messages.first();
    QCOMPARE(box.title, Title);
    QCOMPARE(box.text, question);
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
}

void TestStartup::registerStartsThisProgramHere()
{
    const QString folder = path(QStringLiteral("作業 \"$HOME\" 100%"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QDir::setCurrent(folder));
    SettingsValues values;
    SettingsPage page(values);
    ModalWatcher watcher;
    watcher.answerQuestion(QMessageBox::Yes);

    button(page, "Command20")->click();

    QCOMPARE(watcher.messages.size(), 1);
    QCOMPARE(watcher.messages.first().text, RegisterQuestion);
    const QString entry = platform::startupEntryPath();
    const Run validated = validate(entry);
    QVERIFY2(validated.exitCode == 0 && validated.output.isEmpty(), qPrintable(validated.output));
    const QString record = path("record");
    const Run launched = launch(entry, record);
    QVERIFY2(launched.exitCode == 0, qPrintable(launched.output));
    QCOMPARE(waitForRecord(record),
             (QStringList{QCoreApplication::applicationFilePath(), QDir::currentPath(), ""}));
}

void TestStartup::entrySurvivesPath_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "senrokan";
    QTest::newRow("spaces") << "two  spaces ";
    QTest::newRow("double quotes") << "say \"yes\"";
    QTest::newRow("single quote") << "it's";
    QTest::newRow("backslashes") << R"(back\slash \\ \" \n)";
    QTest::newRow("dollar and backtick") << "$HOME `id` ${x}";
    QTest::newRow("percent and field codes") << "100% %f %% %U";
    QTest::newRow("Japanese") << "線路 ｾﾝﾛ　運行";
    QTest::newRow("shell specials") << "a;b&c|d<e>f*g?h#i(j)~k=l";
    QTest::newRow("tab") << "tab\there";
    QTest::newRow("everything") << R"( 線 "it's" \$HOME `x` 50% %% ; \\ )";
}

void TestStartup::entrySurvivesPath()
{
    QFETCH(QString, name);
    const QString record = path("record");
    const QString program = path("bin-" + name + "/" + name);
    const QString folder = path("work-" + name);
    QVERIFY(placeRecorder(program));
    QVERIFY(QDir().mkpath(folder));
    // GLib 2.74 checks that the program exists before it undoes %%; a twin under the doubled
    // name passes that check, and the recorded name still shows which of the two was started.
    if (program.contains('%')) {
        const QString twin = QString(program).replace("%", "%%");
        QVERIFY(placeRecorder(twin));
    }

    platform::addStartupEntry(program, folder);

    const QString entry = platform::startupEntryPath();
    const Run validated = validate(entry);
    QVERIFY2(validated.exitCode == 0 && validated.output.isEmpty(), qPrintable(validated.output));
    const Run launched = launch(entry, record);
    QVERIFY2(launched.exitCode == 0, qPrintable(launched.output));
    QCOMPARE(waitForRecord(record),
             (QStringList{program, QFileInfo(folder).canonicalFilePath(), ""}));
}

void TestStartup::unwritablePath_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("folder");
    QTest::newRow("line break in program") << "/opt/a\nb/senrokan"
                                           << "/opt";
    QTest::newRow("no program") << ""
                                << "/opt";
    QTest::newRow("relative folder") << "/opt/senrokan"
                                     << "opt";
    QTest::newRow("no folder") << "/opt/senrokan"
                               << "";
}

void TestStartup::unwritablePath()
{
    QFETCH(QString, program);
    QFETCH(QString, folder);
    try {
        platform::addStartupEntry(program, folder);
        QFAIL("an entry was written");
    } catch (const Failure& failure) {
        QCOMPARE(failure.kind(), FailureKind::InvalidArgument);
    }
    QVERIFY(!QFileInfo::exists(path("config")));
}

void TestStartup::removeAfterRegister()
{
    SettingsValues values;
    SettingsPage page(values);
    ModalWatcher watcher;
    watcher.answerQuestion(QMessageBox::Yes);
    watcher.answerQuestion(QMessageBox::Yes);

    button(page, "Command20")->click();
    QVERIFY(QFileInfo(platform::startupEntryPath()).isFile());
    button(page, "Command21")->click();

    QCOMPARE(entryState(), QByteArray("none"));
    QCOMPARE(watcher.messages.size(), 2);
    QCOMPARE(watcher.messages.at(0).text, RegisterQuestion);
    QCOMPARE(watcher.messages.at(1).text, RemoveQuestion);
}

void TestStartup::failureShown_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QByteArray>("buttonName");
    QTest::addColumn<QString>("text");
    QTest::newRow("remove with no entry")
        << Setup::Nothing << QByteArray("Command21") << "ファイルが見つかりません。";
    QTest::newRow("remove a folder in the entry's place")
        << Setup::FolderAtEntry << QByteArray("Command21") << "ファイルを削除できません。";
    QTest::newRow("register under a regular file")
        << Setup::ConfigUnderFile << QByteArray("Command20") << "ファイルに書き込めません。";
    QTest::newRow("register over an entry on a full disk")
        << Setup::DiskFullOverEntry << QByteArray("Command20") << "ファイルに書き込めません。";
}

void TestStartup::failureShown()
{
    QFETCH(Setup, setup);
    QFETCH(QByteArray, buttonName);
    QFETCH(QString, text);
    if (setup == Setup::FolderAtEntry) {
        QVERIFY(QDir().mkpath(platform::startupEntryPath() + "/inside"));
    } else if (setup == Setup::ConfigUnderFile) {
        QFile file(path("file"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("file/config")));
    } else if (setup == Setup::DiskFullOverEntry) {
        platform::addStartupEntry(QStringLiteral("/opt/other/senrokan"), QStringLiteral("/opt"));
    }
    const QByteArray before = entryState();
    SettingsValues values;
    SettingsPage page(values);
    ModalWatcher watcher;
    watcher.answerQuestion(QMessageBox::Yes);

    {
        std::optional<test::DiskFull> full;
        if (setup == Setup::DiskFullOverEntry)
            full.emplace();
        button(page, buttonName)->click();
    }

    QCOMPARE(entryState(), before);
    QCOMPARE(watcher.messages.size(), 2);
    const ModalWatcher::Message& box = watcher.messages.at(1);
    QCOMPARE(box.title, Title);
    QCOMPARE(box.text, text);
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

int main(int argc, char* argv[])
{
    // A copy started from an entry: it only says how it was started.
    if (const QString record = qEnvironmentVariable(RecordVariable); !record.isEmpty()) {
        writeRecord(record, QFile::decodeName(argv[0]), QDir::currentPath());
        return 0;
    }
    // Set before anything reads it, so no test can reach the real autostart folder.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    QApplication app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
