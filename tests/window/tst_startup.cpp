// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The Startup buttons and the autostart entry behind them, in a temporary configuration folder.
// Entries are judged by real consumers: the freedesktop validator and GLib's launcher.
#include "base/Failure.h"
#include "platform/StartupEntry.h"
#include "settings/CompanionSettings.h"
#include "support/DiskFull.h"
#include "support/Files.h"
#include "support/ForeignFiles.h"
#include "support/ProcessRun.h"
#include "window/ModalWatcher.h"
#include "window/SettingsPage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

using namespace senrokan;
using senrokan::test::ModalWatcher;
using senrokan::test::readBytes;

namespace
{

const QString MessageTitle = QStringLiteral("メッセージ");
const QString RegisterQuestion = QStringLiteral("　スタートアップに登録するしてもいいですか？");
const QString RemoveQuestion = QStringLiteral("　スタートアップから削除してもいいですか？");
const QByteArray Register = "Command20";
const QByteArray Remove = "Command21";
const QString CannotWrite = QStringLiteral("ファイルに書き込めません。");
// Set for a copy of this program started from an entry: where it records how it was started.
const char* const RecordVariable = "SENROKAN_TEST_START_RECORD";

// What is at the entry's place: nothing, a folder, or a file and its bytes.
QByteArray entryState()
{
    const QFileInfo entry(platform::startupEntryPath());
    if (entry.isDir())
        return "folder";
    return entry.exists() ? "file:" + readBytes(entry.filePath()) : "none";
}

QString run(const QString& program, const QStringList& arguments, const QString& record = {})
{
    test::ProcessOptions options;
    options.environment.insert(QLatin1String(RecordVariable), record);
    const test::ProcessResult result = test::runProcess(program, arguments, options);
    const QString output = QString::fromUtf8(result.out + result.err);
    return result.exitCode == 0 ? output : QStringLiteral("failed: ") + output;
}

// The validator's complaints about the entry, else what the program started from it through GLib,
// as a session does at login, recorded: its path and its current folder.
QStringList startFromEntry(const QString& record)
{
    const QString entry = platform::startupEntryPath();
    if (const QString complaints = run(QStringLiteral(DESKTOP_FILE_VALIDATE_EXE), {entry});
        !complaints.isEmpty())
        return {complaints};
    const QString script = QStringLiteral(
        "import sys, gi; gi.require_version('Gio', '2.0'); from gi.repository import Gio; "
        "sys.exit(0 if Gio.DesktopAppInfo.new_from_filename(sys.argv[1]).launch([], None) else 1)");
    if (const QString launched = run(QStringLiteral(PYTHON_EXE), {"-c", script, entry}, record);
        !launched.isEmpty())
        return {launched};
    if (!QTest::qWaitFor([&record] { return QFile::exists(record); }, 10000))
        return {QStringLiteral("nothing was started")};
    return QString::fromUtf8(readBytes(record)).split(QLatin1Char('\n'));
}

// Clicks a button of a fresh settings page, answering its question; returns the boxes shown.
QList<ModalWatcher::Message> click(const QByteArray& name, QMessageBox::StandardButton answer,
                                   bool diskFull = false)
{
    SettingsValues values;
    const CompanionSettings companion(QDir::currentPath());
    SettingsPage page(values, companion);
    page.makeControls();
    ModalWatcher watcher;
    watcher.answerQuestion(answer);
    auto* button = page.findChild<QPushButton*>(QLatin1String(name));
    if (!button)
        qFatal("no button %s", name.constData());
    std::optional<test::DiskFull> full;
    if (diskFull)
        full.emplace();
    button->click();
    return watcher.messages;
}

enum class Setup {
    Nothing,
    OtherEntry,
    FolderAtEntry,
    ConfigUnderFile,
    DiskFullOverEntry,
    FolderNamedNotAsText
};

} // namespace

Q_DECLARE_METATYPE(Setup)

class TestStartup : public QObject
{
    Q_OBJECT
    QString path(const QString& name) const { return m_dir->filePath(name); }

    const QString m_startDir = QDir::currentPath();
    const QByteArray m_home = qgetenv("HOME");
    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        // Not there yet: registering has to make the configuration folder as well.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("config")));
    }

    void cleanup()
    {
        test::leaveFolderNamedNotAsText(m_dir->path(), m_startDir);
        qputenv("HOME", m_home);
        m_dir.reset();
    }

    void entryPath_data()
    {
        QTest::addColumn<QString>("configHome");
        QTest::addColumn<bool>("followed");
        QTest::newRow("absolute, decoded") << QStringLiteral("/srv/a b/設定") << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("relative") << QStringLiteral("cfg/senrokan") << false;
    }

    void entryPath()
    {
        QFETCH(QString, configHome);
        QFETCH(bool, followed);
        qputenv("HOME", "/home/someone");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome));
        const QString folder = followed ? configHome : QStringLiteral("/home/someone/.config");
        QCOMPARE(platform::startupEntryPath(), folder + "/autostart/Senrokan.desktop");
    }

    void registerThenRemove()
    {
        const QString folder = path(QStringLiteral("作業 \"$HOME\" 100%"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QDir::setCurrent(folder));

        QCOMPARE(click(Register, QMessageBox::Yes).size(), 1);
        QCOMPARE(startFromEntry(path("record")),
                 (QStringList{QCoreApplication::applicationFilePath(), QDir::currentPath(), ""}));
        QCOMPARE(click(Remove, QMessageBox::Yes).size(), 1);
        QCOMPARE(entryState(), QByteArray("none"));
    }

    void entrySurvivesPath_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("reserved characters quoted") << "it's  a;b&c|d<e>f*g?h#i(j)~k=l ";
        QTest::newRow("double quote escaped") << "say \"yes\"";
        QTest::newRow("backslash escaped in quote and file") << R"(back\slash \" \n)";
        QTest::newRow("dollar and backtick escaped") << "$HOME `id` ${x}";
        QTest::newRow("percent doubled") << "100% %f %% %U";
        QTest::newRow("tab") << "tab\there";
        QTest::newRow("UTF-8") << "線路 ｾﾝﾛ　運行";
    }

    void entrySurvivesPath()
    {
        QFETCH(QString, name);
        const QString program = path("bin-" + name + "/" + name);
        const QString folder = path("work-" + name);
        QVERIFY(QDir().mkpath(folder));
        // Started from there, this program records how. GLib 2.74 checks that the program exists
        // before it undoes %%; a twin under the doubled name passes that check, and the recorded
        // name still shows which of the two was started.
        for (const QString& link : {program, QString(program).replace("%", "%%")})
            QVERIFY(QDir().mkpath(QFileInfo(link).path()) &&
                    (QFile::exists(link) ||
                     QFile::link(QCoreApplication::applicationFilePath(), link)));

        platform::addStartupEntry(program, folder);

        QCOMPARE(startFromEntry(path("record")),
                 (QStringList{program, QFileInfo(folder).canonicalFilePath(), ""}));
    }

    void unwritablePath_data()
    {
        QTest::addColumn<QStringList>("programAndFolder");
        QTest::newRow("line break in program") << QStringList{"/opt/a\nb/senrokan", "/opt"};
        QTest::newRow("no program") << QStringList{"", "/opt"};
        QTest::newRow("relative folder") << QStringList{"/opt/senrokan", "opt"};
    }

    void unwritablePath()
    {
        QFETCH(QStringList, programAndFolder);
        try {
            platform::addStartupEntry(programAndFolder[0], programAndFolder[1]);
            QFAIL("an entry was written");
        } catch (const Failure& failure) {
            QCOMPARE(failure.kind(), FailureKind::InvalidArgument);
        }
        QVERIFY(!QFileInfo::exists(path("config")));
    }

    void boxes_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("text");
        QTest::newRow("register answered no")
            << Setup::OtherEntry << Register << false << RegisterQuestion;
        QTest::newRow("remove answered no")
            << Setup::OtherEntry << Remove << false << RemoveQuestion;
        QTest::newRow("remove with no entry")
            << Setup::Nothing << Remove << true << QStringLiteral("ファイルが見つかりません。");
        QTest::newRow("remove a folder in the entry's place")
            << Setup::FolderAtEntry << Remove << true
            << QStringLiteral("ファイルを削除できません。");
        QTest::newRow("register under a regular file")
            << Setup::ConfigUnderFile << Register << true << CannotWrite;
        QTest::newRow("register over an entry on a full disk")
            << Setup::DiskFullOverEntry << Register << true << CannotWrite;
        // Its decoded name would start the program in a folder that does not exist.
        QTest::newRow("register from a folder whose name is not text")
            << Setup::FolderNamedNotAsText << Register << true
            << QStringLiteral("引数が正しくありません。");
    }

    // The entry is left as it was, and the last box says why.
    void boxes()
    {
        QFETCH(Setup, setup);
        QFETCH(QByteArray, button);
        QFETCH(bool, yes);
        QFETCH(QString, text);
        if (setup == Setup::OtherEntry || setup == Setup::DiskFullOverEntry) {
            platform::addStartupEntry(QStringLiteral("/opt/other/senrokan"),
                                      QStringLiteral("/opt"));
        } else if (setup == Setup::FolderAtEntry) {
            QVERIFY(QDir().mkpath(platform::startupEntryPath() + "/inside"));
        } else if (setup == Setup::ConfigUnderFile) {
            QFile file(path("file"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("file/config")));
        } else if (setup == Setup::FolderNamedNotAsText) {
            QVERIFY(test::enterFolderNamedNotAsText(m_dir->path()));
        }
        const QByteArray before = entryState();

        const QList<ModalWatcher::Message> shown = click(
            button, yes ? QMessageBox::Yes : QMessageBox::No, setup == Setup::DiskFullOverEntry);

        QCOMPARE(entryState(), before);
        QCOMPARE(shown.size(), yes ? 2 : 1);
        QCOMPARE(shown.last().title, MessageTitle);
        QCOMPARE(shown.last().text, text);
        QCOMPARE(shown.last().icon, yes ? QMessageBox::Information : QMessageBox::NoIcon);
        QCOMPARE(shown.last().buttons, yes ? QMessageBox::StandardButtons(QMessageBox::Ok)
                                           : QMessageBox::Yes | QMessageBox::No);
    }
};

int main(int argc, char* argv[])
{
    // A copy started from an entry only records how it was started, published whole.
    if (const QString record = qEnvironmentVariable(RecordVariable); !record.isEmpty()) {
        QSaveFile file(record);
        if (file.open(QIODevice::WriteOnly))
            file.write((QFile::decodeName(argv[0]) + '\n' + QDir::currentPath() + '\n').toUtf8());
        return file.commit() ? 0 : 1;
    }
    // Set before anything reads it, so no test can reach the real autostart folder.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    QApplication app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
