// The delay chime: which notify.wav it plays, that the sound player is loaded only by a chime,
// that chimes survive a sleeping main thread, and that the committed notify.wav is the script's.
#include "desktop/Chime.h"

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

bool mapped(const QString& library)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        qFatal("cannot read /proc/self/maps");
    return QString::fromUtf8(maps.readAll()).contains(library);
}

// How many threads of this process carry the name the sound player gives its thread.
int chimeThreads()
{
    int count = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "SenrokanChime")
            ++count;
    }
    return count;
}

QString programDir()
{
    return QFileInfo(QStringLiteral(SENROKAN_EXE)).absolutePath();
}

void writeFile(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("RIFF");
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

quint16 u16(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 u32(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

} // namespace

class TestChime : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        // Chimes look in the current folder first; an empty one leaves the data folder to decide.
        QVERIFY(m_emptyDir.isValid());
        QVERIFY(QDir::setCurrent(m_emptyDir.path()));
        startSoundServer();
    }

    void cleanupTestCase()
    {
        m_soundServer.terminate();
        m_soundServer.waitForFinished();
    }

    void soundFile_data()
    {
        QTest::addColumn<QString>("inCurrent");
        QTest::addColumn<QString>("inData");
        QTest::addColumn<QString>("played");

        QTest::newRow("current folder wins") << "file"
                                             << "file"
                                             << "current";
        QTest::newRow("only in the current folder") << "file"
                                                    << "none"
                                                    << "current";
        QTest::newRow("only in the data folder") << "none"
                                                 << "file"
                                                 << "data";
        QTest::newRow("in neither") << "none"
                                    << "none"
                                    << "none";
        QTest::newRow("folder named notify.wav is no file") << "folder"
                                                            << "file"
                                                            << "data";
        QTest::newRow("folders named notify.wav in both") << "folder"
                                                          << "folder"
                                                          << "none";
    }

    void soundFile()
    {
        QFETCH(QString, inCurrent);
        QFETCH(QString, inData);
        QFETCH(QString, played);
        QTemporaryDir top;
        QVERIFY(top.isValid());
        QMap<QString, QString> dirs{{QStringLiteral("current"), top.filePath("current")},
                                    {QStringLiteral("data"), top.filePath("data")}};
        const QMap<QString, QString> contents{{QStringLiteral("current"), inCurrent},
                                              {QStringLiteral("data"), inData}};
        for (const QString& which : dirs.keys()) {
            const QString wav = QDir(dirs[which]).filePath("notify.wav");
            QVERIFY(QDir().mkpath(dirs[which]));
            if (contents[which] == "file")
                writeFile(wav);
            else if (contents[which] == "folder")
                QVERIFY(QDir().mkpath(wav));
        }

        const std::optional<QString> found = Chime::soundFile(dirs["current"], dirs["data"]);

        if (played == "none") {
            QVERIFY(!found.has_value());
        } else {
            QVERIFY(found.has_value());
            QCOMPARE(*found, QDir(dirs[played]).filePath("notify.wav"));
        }
    }

    // The built program finds its plugin and chime where the installed one would, relative to
    // its own folder.
    void buildTreeLayout()
    {
        const QString wav = QDir(Chime::programDataDir(programDir())).filePath("notify.wav");
        QCOMPARE(contentsOf(wav), contentsOf(QStringLiteral(COMMITTED_CHIME_WAV)));
#ifdef SENROKAN_WITH_MULTIMEDIA
        QVERIFY(QFileInfo(Chime::programPluginFile(programDir())).isFile());
#endif
    }

    // These come before anything that loads the plugin: once mapped, a library stays mapped.
    void nothingToPlayLoadsNothing()
    {
        QTemporaryDir noData;
        Chime chime(Chime::programPluginFile(programDir()), noData.path());
        chime.play();
        QVERIFY(!chime.pluginLoaded());
        QVERIFY(!mapped(QStringLiteral("libQt6Multimedia")));
    }

    void missingPluginBeeps()
    {
        Chime chime(m_emptyDir.filePath("senrokan_chime.so"), Chime::programDataDir(programDir()));
        chime.play();
        chime.play();
        QVERIFY(!chime.pluginLoaded());
    }

    void firstPlayLoadsPlugin()
    {
#ifndef SENROKAN_WITH_MULTIMEDIA
        QSKIP("built without Qt Multimedia");
#endif
        QVERIFY(!mapped(QStringLiteral("libQt6Multimedia")));
        Chime chime(Chime::programPluginFile(programDir()), Chime::programDataDir(programDir()));
        QVERIFY(!chime.pluginLoaded());
        QVERIFY(!mapped(QStringLiteral("libQt6Multimedia")));
        QCOMPARE(chimeThreads(), 0);

        chime.play();

        QVERIFY(chime.pluginLoaded());
        QVERIFY(mapped(QStringLiteral("libQt6Multimedia")));
        QVERIFY(mapped(QStringLiteral("senrokan_chime")));
    }

    // While the main thread is blocked the chime still reaches the sound server: it must not
    // wait for the main thread's event loop to load the sound or to feed it.
    void chimeSoundsWhileMainThreadBlocked()
    {
#ifndef SENROKAN_WITH_MULTIMEDIA
        QSKIP("built without Qt Multimedia");
#endif
        if (m_soundServer.state() != QProcess::Running)
            QSKIP("no sound server of our own (pulseaudio, pulseaudio-utils)");
        Chime chime(Chime::programPluginFile(programDir()), Chime::programDataDir(programDir()));
        chime.play();
        // pactl runs with this thread blocked in waitForFinished, handling no events.
        bool playing = false;
        for (int tries = 0; tries < 250 && !playing; ++tries) {
            QProcess pactl;
            pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("short"),
                                                  QStringLiteral("sink-inputs")});
            QVERIFY(pactl.waitForFinished());
            playing = !pactl.readAllStandardOutput().trimmed().isEmpty();
            if (!playing)
                QThread::msleep(20);
        }
        QVERIFY(playing);
    }

    // As the program chimes for a delay: the main thread sleeps between the chimes, and the
    // chime is destroyed right after, which must join its thread.
    void threeChimesWhileMainThreadSleeps()
    {
#ifndef SENROKAN_WITH_MULTIMEDIA
        QSKIP("built without Qt Multimedia");
#endif
        {
            Chime chime(Chime::programPluginFile(programDir()),
                        Chime::programDataDir(programDir()));
            chime.play();
            QThread::msleep(500);
            chime.play();
            QThread::msleep(500);
            chime.play();
            QCOMPARE(chimeThreads(), 1);
        }
        // The thread is joined; the system may take a moment more to forget it.
        QTRY_COMPARE_WITH_TIMEOUT(chimeThreads(), 0, 5000);
    }

    void regeneratedChimeIsCommitted()
    {
        QTemporaryDir out;
        const QString wav = out.filePath("notify.wav");
        QProcess python;
        python.start(QStringLiteral(PYTHON_EXE), {QStringLiteral(MAKE_CHIME_PY), wav});
        QVERIFY(python.waitForFinished(60000));
        QCOMPARE(python.exitStatus(), QProcess::NormalExit);
        QCOMPARE(python.exitCode(), 0);
        const QByteArray made = contentsOf(wav);
        QVERIFY(!made.isEmpty());
        QVERIFY2(made == contentsOf(QStringLiteral(COMMITTED_CHIME_WAV)),
                 "resources/notify.wav differs from what resources/make_chime.py writes");
    }

    void committedChimeIsShortPcm()
    {
        const QByteArray wav = contentsOf(QStringLiteral(COMMITTED_CHIME_WAV));
        QVERIFY(wav.size() > 44);
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(u32(wav, 4), quint32(wav.size() - 8));
        QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(u16(wav, 20), quint16(1)); // integer PCM
        QCOMPARE(u16(wav, 22), quint16(1)); // mono
        QCOMPARE(u32(wav, 24), quint32(22050));
        QCOMPARE(u16(wav, 34), quint16(16));
        QCOMPARE(wav.mid(36, 4), QByteArray("data"));
        const quint32 bytes = u32(wav, 40);
        QCOMPARE(qsizetype(bytes), wav.size() - 44);

        // Three chimes half a second apart must not overlap.
        const double seconds = bytes / 2 / 22050.0;
        QVERIFY2(seconds >= 0.2 && seconds <= 0.45, qPrintable(QString::number(seconds)));
        // Starting and ending at silence, so the speaker does not click.
        const auto sample = [&](quint32 n) { return qint16(u16(wav, 44 + 2 * n)); };
        QVERIFY(qAbs(sample(0)) < 64);
        QVERIFY(qAbs(sample(bytes / 2 - 1)) < 64);
    }

private:
    // A sound server of this test's own with one silent output, so chimes really play and can
    // be recorded on machines without a sound card. It must be set before the first chime: Qt
    // connects to the sound server once per process.
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
        m_soundServer.start(QStringLiteral("pulseaudio"),
                            {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                             "--log-level=0", "-L",
                             "module-native-protocol-unix auth-anonymous=1 socket=" + socket, "-L",
                             "module-null-sink sink_name=chime_test"});
        if (!m_soundServer.waitForStarted())
            return;
        qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
        // The server is ready once it answers.
        for (int tries = 0; tries < 100; ++tries) {
            QProcess pactl;
            pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
            if (pactl.waitForFinished() && pactl.exitStatus() == QProcess::NormalExit &&
                pactl.exitCode() == 0)
                return;
            QThread::msleep(100);
        }
        QFAIL("the test's sound server did not answer");
    }

    QTemporaryDir m_emptyDir;
    QTemporaryDir m_serverDir;
    QProcess m_soundServer;
};

QTEST_MAIN(TestChime)
#include "tst_chime.moc"
