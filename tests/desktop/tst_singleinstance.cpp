// SingleInstance in one process: which spellings of a folder meet, what a later start is told,
// what the owner accepts on its socket, and what happens when no lock can be made.
#include "desktop/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using senrokan::SingleInstance;
using Claim = SingleInstance::Claim;

class TestSingleInstance : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    const QString m_folder = m_dir.filePath("a");

private Q_SLOTS:
    void initTestCase()
    {
        // Locks and sockets of this run stay in a temporary folder of its own.
        QVERIFY(QDir(m_dir.path()).mkpath("tmp") && QDir(m_dir.path()).mkpath("a/inner") &&
                QDir(m_dir.path()).mkpath("b"));
        qputenv("TMPDIR", QFile::encodeName(m_dir.filePath("tmp")));
        QVERIFY(QFile::link(m_folder, m_dir.filePath("link-to-a")));
    }

    void key_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<bool>("same");
        QTest::newRow("through a symbolic link") << QStringList{"a", "link-to-a"} << true;
        QTest::newRow("dot, dot-dot and trailing slash")
            << QStringList{"a", "a/./inner/../"} << true;
        QTest::newRow("another folder") << QStringList{"a", "b"} << false;
        QTest::newRow("two folders that do not exist") << QStringList{"gone", "lost"} << false;
    }

    void key()
    {
        QFETCH(QStringList, folders);
        QFETCH(bool, same);
        QCOMPARE(SingleInstance::key(m_dir.filePath(folders[0])) ==
                     SingleInstance::key(m_dir.filePath(folders[1])),
                 same);
    }

    // A socket path has about a hundred bytes; the folder's own path may be far longer.
    void keyOfDeepFolderIsShort()
    {
        const QString deep = m_dir.filePath(QString(200, 'x') + "/" + QString(200, 'y'));
        QVERIFY(QDir().mkpath(deep));
        QVERIFY2(SingleInstance::key(deep).size() <= 48, qPrintable(SingleInstance::key(deep)));
        QCOMPARE(SingleInstance(deep).claim(), Claim::Owner);
    }

    void laterStart_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<Claim>("claim");
        QTest::newRow("same folder") << "a" << Claim::Forwarded;
        QTest::newRow("another folder") << "b" << Claim::Owner;
    }

    void laterStart()
    {
        QFETCH(QString, folder);
        QFETCH(Claim, claim);
        SingleInstance owner(m_folder);
        QCOMPARE(owner.claim(), Claim::Owner);
        QSignalSpy asked(&owner, &SingleInstance::activationRequested);

        QCOMPARE(SingleInstance(m_dir.filePath(folder)).claim(), claim);
        if (claim == Claim::Forwarded)
            QVERIFY(asked.wait());
        QCOMPARE(asked.size(), claim == Claim::Forwarded ? 1 : 0);
    }

    void requests_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("activations");
        QTest::newRow("the request") << QByteArray("activate\n") << 1;
        QTest::newRow("the request with more on its line") << QByteArray("activate now\n") << 0;
        QTest::newRow("a long text without a line end") << QByteArray(100, 'a') << 0;
    }

    void requests()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, activations);
        SingleInstance owner(m_folder);
        QCOMPARE(owner.claim(), Claim::Owner);
        QSignalSpy asked(&owner, &SingleInstance::activationRequested);
        QLocalSocket client;
        QSignalSpy closed(&client, &QLocalSocket::disconnected);
        client.connectToServer(SingleInstance::key(m_folder));
        QVERIFY(client.waitForConnected());
        client.write(request);
        QVERIFY(client.waitForBytesWritten());
        // The owner hangs up once it has judged the request, whatever it was.
        QVERIFY(closed.wait());
        QCOMPARE(asked.size(), activations);
    }

    // A live holder that never listens: the later start gives up rather than become a second
    // writer.
    void silentOwner()
    {
        QLockFile held(SingleInstance::lockPath(SingleInstance::key(m_folder)));
        QVERIFY(held.tryLock(0));
        QCOMPARE(SingleInstance(m_folder).claim(200), Claim::OwnerSilent);
    }

    void noLockPossible_data()
    {
        QTest::addColumn<QString>("temp");
        QTest::newRow("temporary folder missing") << "plain/tmp";
        QTest::newRow("temporary folder is a regular file") << "plain";
    }

    // Even as root; the program runs unguarded and leaves nothing in its own folder.
    void noLockPossible()
    {
        QFETCH(QString, temp);
        QFile plain(m_dir.filePath("plain"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        const QByteArray savedTemp = qgetenv("TMPDIR");
        const QString savedCurrent = QDir::currentPath();
        qputenv("TMPDIR", QFile::encodeName(m_dir.filePath(temp)));
        QVERIFY(QDir::setCurrent(m_folder));
        const Claim claim = SingleInstance(m_folder).claim(200);
        QDir::setCurrent(savedCurrent);
        qputenv("TMPDIR", savedTemp);
        QCOMPARE(claim, Claim::Unguarded);
        QCOMPARE(QDir(m_folder).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
