// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The delay chime: which notify.wav it plays, that the sound player is loaded only by a chime
// with a file to play, that chimes sound while the main thread sleeps, and that the committed
// notify.wav is the script's and short.
#include "desktop/Chime.h"
#include "support/Files.h"
#include "support/ProcessRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtEndian>

using namespace senrokan;

namespace
{

// Threads of this process with the name the sound player gives its thread.
int chimeThreads()
{
    int count = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        count += comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "SenrokanChime";
    }
    return count;
}

bool succeeds(const QString& program, const QStringList& arguments)
{
    return test::runProcess(program, arguments).exitCode == 0;
}

const QString ProgramDir = QFileInfo(QStringLiteral(SENROKAN_EXE)).absolutePath();
const QString PluginFile = Chime::programPluginFile(ProgramDir);
const QString DataDir = Chime::programDataDir(ProgramDir);

} // namespace

class TestChime : public QObject
{
    Q_OBJECT
    QTemporaryDir m_emptyDir;
    QTemporaryDir m_serverDir;
    QProcess m_soundServer;

private Q_SLOTS:
    void initTestCase()
    {
        // Chimes look in the current folder first; an empty one leaves the data folder to decide.
        QVERIFY(m_emptyDir.isValid() && QDir::setCurrent(m_emptyDir.path()));
        startSoundServer();
    }

    void cleanupTestCase() { test::stopHelper(m_soundServer, 30000); }

    void soundFile_data()
    {
        // What is named notify.wav in the current and the data folder, and which one plays.
        QTest::addColumn<QStringList>("files");
        QTest::newRow("current folder wins") << QStringList{"file", "file", "current"};
        QTest::newRow("only in the data folder") << QStringList{"none", "file", "data"};
        QTest::newRow("in neither") << QStringList{"none", "none", "none"};
        QTest::newRow("folder is no file") << QStringList{"folder", "file", "data"};
        QTest::newRow("oversized file passed over") << QStringList{"huge", "file", "data"};
    }

    void soundFile()
    {
        QFETCH(QStringList, files);
        const QString played = files[2];
        QTemporaryDir top;
        for (const auto& [dir, content] :
             {std::pair{"current", files[0]}, std::pair{"data", files[1]}}) {
            const QString wav = top.filePath(dir + QStringLiteral("/notify.wav"));
            QVERIFY(QDir().mkpath(content == "folder" ? wav : top.filePath(dir)));
            QFile file(wav);
            if (content == "file" || content == "huge")
                QVERIFY(file.open(QIODevice::WriteOnly));
            if (content == "huge")
                QVERIFY(file.resize(Chime::MaxSoundBytes + 1));
        }
        const std::optional<QString> found =
            Chime::soundFile(top.filePath("current"), top.filePath("data"));
        QCOMPARE(found.value_or("none"),
                 played == "none" ? played : top.filePath(played + "/notify.wav"));
    }

    // The built program finds its plugin and chime where the installed one would.
    void buildTreeLayout()
    {
        QCOMPARE(test::readBytes(DataDir + "/notify.wav"), test::readBytes(COMMITTED_CHIME_WAV));
#ifdef SENROKAN_WITH_MULTIMEDIA
        QVERIFY(QFileInfo(PluginFile).isFile());
#endif
    }

    // Before anything that loads the plugin: once mapped, a library stays mapped.
    void beepsWithoutLoading_data()
    {
        QTest::addColumn<QString>("pluginFile");
        QTest::addColumn<QString>("dataDir");
        QTest::newRow("nothing to play") << PluginFile << m_emptyDir.path();
        QTest::newRow("no plugin") << m_emptyDir.filePath("senrokan_chime.so") << DataDir;
    }

    void beepsWithoutLoading()
    {
        QFETCH(QString, pluginFile);
        QFETCH(QString, dataDir);
        Chime chime(pluginFile, dataDir);
        chime.play();
        chime.play();
        QVERIFY(!chime.pluginLoaded());
        QVERIFY(!test::libraryMapped("libQt6Multimedia"));
    }

    // Neither the multimedia libraries nor the sound thread before the first chime. As the
    // program chimes for a delay, the main thread sleeps between chimes and handles no events:
    // playback must not need it. Destroying the chime joins its thread.
    void chimesWhileMainThreadSleeps()
    {
#ifndef SENROKAN_WITH_MULTIMEDIA
        QSKIP("built without Qt Multimedia");
#endif
        {
            Chime chime(PluginFile, DataDir);
            QVERIFY(!chime.pluginLoaded() && !test::libraryMapped("libQt6Multimedia") &&
                    chimeThreads() == 0);
            chime.play();
            QVERIFY(chime.pluginLoaded() && test::libraryMapped("libQt6Multimedia"));
            if (m_soundServer.state() == QProcess::Running) {
                // The main thread is blocked in QProcess and sleep, never in an event loop.
                bool playing = false;
                for (int tries = 0; tries < 250 && !playing; ++tries) {
                    const test::ProcessResult sinks =
                        test::runProcess(QStringLiteral("pactl"), {"list", "short", "sink-inputs"});
                    QCOMPARE(sinks.exitCode, 0);
                    playing = !sinks.out.trimmed().isEmpty();
                    QThread::msleep(playing ? 500 : 20);
                }
                QVERIFY2(playing, "the chime never reached the sound server");
            } else {
                qWarning("no sound server of our own (pulseaudio, pulseaudio-utils)");
            }
            chime.play();
            QThread::msleep(500);
            chime.play();
            QCOMPARE(chimeThreads(), 1);
        }
        // Joined; the system may take a moment more to forget the thread.
        QTRY_COMPARE_WITH_TIMEOUT(chimeThreads(), 0, 5000);
    }

    // The committed notify.wav is what resources/make_chime.py writes, header (mono 16-bit PCM
    // at 22050 Hz) and all, and short: chimes half a second apart must not overlap.
    void committedChimeIsTheScripts()
    {
        QTemporaryDir out;
        QVERIFY(succeeds(PYTHON_EXE, {MAKE_CHIME_PY, out.filePath("notify.wav")}));
        const QByteArray wav = test::readBytes(COMMITTED_CHIME_WAV);
        QVERIFY2(wav.size() > 44 && test::readBytes(out.filePath("notify.wav")) == wav,
                 "resources/notify.wav differs from what resources/make_chime.py writes");
        const quint32 bytes = quint32(wav.size() - 44);
        const double seconds = bytes / 2 / 22050.0;
        QVERIFY2(seconds >= 0.2 && seconds <= 0.45, qPrintable(QString::number(seconds)));
        // Starting and ending at silence, so the speaker does not click.
        const auto sample = [&](quint32 n) {
            return qFromLittleEndian<qint16>(wav.constData() + 44 + 2 * n);
        };
        QVERIFY(qAbs(sample(0)) < 64 && qAbs(sample(bytes / 2 - 1)) < 64);
    }

private:
    // A sound server of this test's own with one silent output, so chimes really play on machines
    // without a sound card. Set before the first chime: Qt connects to it once per process.
    void startSoundServer()
    {
        QVERIFY(m_serverDir.isValid());
        const QString socket = m_serverDir.filePath("native");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_serverDir.path());
        env.insert("XDG_RUNTIME_DIR", m_serverDir.path());
        m_soundServer.setProcessEnvironment(env);
        m_soundServer.setStandardOutputFile(QProcess::nullDevice());
        m_soundServer.setStandardErrorFile(QProcess::nullDevice());
        senrokan::test::endsWithTest(m_soundServer);
        m_soundServer.start(QStringLiteral("pulseaudio"),
                            {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                             "--log-level=0", "-L",
                             "module-native-protocol-unix auth-anonymous=1 socket=" + socket, "-L",
                             "module-null-sink sink_name=chime_test"});
        if (!m_soundServer.waitForStarted())
            return;
        qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
        QTRY_VERIFY2_WITH_TIMEOUT(succeeds(QStringLiteral("pactl"), {QStringLiteral("info")}),
                                  "the test's sound server did not answer", 10000);
    }
};

QTEST_MAIN(TestChime)
#include "tst_chime.moc"
