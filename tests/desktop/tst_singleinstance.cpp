// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// SingleInstance in one process: which spellings of a folder meet, what a later start is told,
// what the owner accepts on its socket, what happens when no lock can be made, and that another
// user's lock neither stops a start nor draws it to a stranger's socket.
#include "desktop/SingleInstance.h"
#include "support/ForeignFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
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
        // Locks and sockets of this run stay in a runtime folder of its own; the shared temporary
        // folder, where they once were, is one of its own too.
        QVERIFY(QDir(m_dir.path()).mkpath("tmp") && QDir(m_dir.path()).mkpath("run") &&
                QDir(m_dir.path()).mkpath("a/inner") && QDir(m_dir.path()).mkpath("b"));
        QVERIFY(QFile::setPermissions(m_dir.filePath("run"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("TMPDIR", QFile::encodeName(m_dir.filePath("tmp")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir.filePath("run")));
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
        client.connectToServer(SingleInstance::socketPath(SingleInstance::key(m_folder)));
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
        // $XDG_RUNTIME_DIR (empty: unset), or else the private folder Qt makes in the temporary
        // folder: what is there already.
        QTest::addColumn<QString>("runtime");
        QTest::addColumn<QString>("fallback");
        QTest::addColumn<Claim>("claim");
        QTest::newRow("runtime folder a regular file, fallback made")
            << QStringLiteral("plain") << QString() << Claim::Owner;
        QTest::newRow("none named, fallback another user's")
            << QString() << QStringLiteral("foreign") << Claim::Unguarded;
        QTest::newRow("runtime folder another user's, fallback a regular file")
            << QStringLiteral("foreign") << QStringLiteral("plain") << Claim::Unguarded;
    }

    // Even as root; never the shared temporary folder itself, and nothing in the program's own
    // folder.
    void noLockPossible()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, fallback);
        QFETCH(Claim, claim);
        // Short, so that the socket's path stays within its limit.
        QTemporaryDir temp(m_dir.filePath("t-XXXXXX"));
        QFile plain(temp.filePath("plain"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        QVERIFY(QDir(temp.path()).mkpath("foreign") &&
                senrokan::test::giveToNobody(temp.filePath("foreign")));
        const QString fallbackFolder = temp.filePath("runtime-root");
        if (!fallback.isEmpty())
            QVERIFY(QFile::rename(temp.filePath(fallback), fallbackFolder));
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray savedTemp = qgetenv("TMPDIR");
        const QString savedCurrent = QDir::currentPath();
        if (runtime.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(temp.filePath(runtime)));
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        QVERIFY(QDir::setCurrent(m_folder));
        const Claim claimed = SingleInstance(m_folder).claim(200);
        const QString lock = SingleInstance::lockPath(SingleInstance::key(m_folder));
        QDir::setCurrent(savedCurrent);
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        qputenv("TMPDIR", savedTemp);
        QCOMPARE(claimed, claim);
        if (claim == Claim::Owner)
            QCOMPARE(QFileInfo(lock).path(), fallbackFolder);
        QCOMPARE(QDir(m_folder).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void strangersLock_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<Claim>("claim");
        QTest::newRow("in the shared temporary folder") << "tmp" << Claim::Owner;
        QTest::newRow("in the runtime folder") << "run" << Claim::ForeignLock;
    }

    // Another user's live lock, with a socket of theirs listening beside it.
    void strangersLock()
    {
        QFETCH(QString, where);
        QFETCH(Claim, claim);
        const QString key = SingleInstance::key(m_folder);
        const QString planted = m_dir.filePath(where + "/" + key);
        QLockFile stranger(planted + ".lock");
        QVERIFY(stranger.tryLock(0) && senrokan::test::giveToNobody(planted + ".lock"));
        QLocalServer strangersSocket;
        QVERIFY(strangersSocket.listen(planted));

        SingleInstance start(m_folder);
        QCOMPARE(start.claim(200), claim);
        QVERIFY(!strangersSocket.waitForNewConnection(0));
        if (claim == Claim::Owner) {
            QCOMPARE(QFileInfo(SingleInstance::lockPath(key)).path(), m_dir.filePath("run"));
            QVERIFY(QFileInfo::exists(SingleInstance::lockPath(key)));
            QVERIFY(QFileInfo::exists(SingleInstance::socketPath(key)));
        }
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
