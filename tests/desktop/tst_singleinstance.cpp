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
private Q_SLOTS:
    void initTestCase();
    void key_data();
    void key();
    void keyOfDeepFolderIsShort();
    void laterStart_data();
    void laterStart();
    void requests_data();
    void requests();
    void silentOwner();
    void noLockPossible_data();
    void noLockPossible();

private:
    QTemporaryDir m_dir;
    QString m_folder;
};

void TestSingleInstance::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Locks and sockets of this run stay in a temporary folder of its own.
    QVERIFY(QDir(m_dir.path()).mkpath("tmp"));
    qputenv("TMPDIR", QFile::encodeName(m_dir.filePath("tmp")));
    QVERIFY(QDir(m_dir.path()).mkpath("a/inner"));
    QVERIFY(QDir(m_dir.path()).mkpath("b"));
    QVERIFY(QFile::link(m_dir.filePath("a"), m_dir.filePath("link-to-a")));
    m_folder = m_dir.filePath("a");
}

void TestSingleInstance::key_data()
{
    QTest::addColumn<QString>("other");
    QTest::addColumn<bool>("same");
    QTest::newRow("same spelling") << "a" << true;
    QTest::newRow("through a symbolic link") << "link-to-a" << true;
    QTest::newRow("with dot and dot-dot") << "a/./inner/.." << true;
    QTest::newRow("with a trailing slash") << "a/" << true;
    QTest::newRow("another folder") << "b" << false;
    QTest::newRow("a folder inside") << "a/inner" << false;
    QTest::newRow("a folder that does not exist") << "gone" << false;
}

void TestSingleInstance::key()
{
    QFETCH(QString, other);
    QFETCH(bool, same);
    QCOMPARE(SingleInstance::key(m_dir.filePath(other)) == SingleInstance::key(m_folder), same);
}

void TestSingleInstance::keyOfDeepFolderIsShort()
{
    // A socket path has about a hundred bytes on Unix; the folder's own path may be far longer.
    const QString deep =
        m_dir.filePath(QString(200, QLatin1Char('x')) + "/" + QString(200, QLatin1Char('y')) + "/" +
                       QString(200, QLatin1Char('z')));
    QVERIFY(QDir().mkpath(deep));
    const QString key = SingleInstance::key(deep);
    QVERIFY2(key.size() <= 48, qPrintable(key));
    SingleInstance instance(deep);
    QCOMPARE(instance.claim(), Claim::Owner);
}

void TestSingleInstance::laterStart_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<Claim>("claim");
    QTest::addColumn<int>("activations");
    QTest::newRow("same folder") << "a" << Claim::Forwarded << 1;
    QTest::newRow("same folder through a symbolic link") << "link-to-a" << Claim::Forwarded << 1;
    QTest::newRow("another folder") << "b" << Claim::Owner << 0;
}

void TestSingleInstance::laterStart()
{
    QFETCH(QString, folder);
    QFETCH(Claim, claim);
    QFETCH(int, activations);
    SingleInstance owner(m_folder);
    QCOMPARE(owner.claim(), Claim::Owner);
    QSignalSpy asked(&owner, &SingleInstance::activationRequested);

    SingleInstance later(m_dir.filePath(folder));
    QCOMPARE(later.claim(), claim);
    if (activations > 0)
        QVERIFY(asked.wait());
    QCOMPARE(asked.size(), activations);
}

void TestSingleInstance::requests_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("activations");
    QTest::newRow("the request") << QByteArray("activate\n") << 1;
    QTest::newRow("another line") << QByteArray("quit\n") << 0;
    QTest::newRow("the request with more on its line") << QByteArray("activate now\n") << 0;
    QTest::newRow("a long text without a line end") << QByteArray(100, 'a') << 0;
}

void TestSingleInstance::requests()
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

void TestSingleInstance::silentOwner()
{
    // A lock held by a live process that never listens: the later start gives up rather than
    // becoming a second writer.
    QLockFile held(SingleInstance::lockPath(SingleInstance::key(m_folder)));
    QVERIFY(held.tryLock(0));
    SingleInstance later(m_folder);
    QCOMPARE(later.claim(200), Claim::OwnerSilent);
}

void TestSingleInstance::noLockPossible_data()
{
    QTest::addColumn<QString>("temp");
    QTest::newRow("temporary folder under a regular file") << "plain/tmp";
    QTest::newRow("temporary folder is a regular file") << "plain";
}

void TestSingleInstance::noLockPossible()
{
    // No lock can be made, even as root; the program runs unguarded and leaves nothing in its
    // own folder.
    QFETCH(QString, temp);
    QFile plain(m_dir.filePath("plain"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QByteArray savedTemp = qgetenv("TMPDIR");
    const QString savedCurrent = QDir::currentPath();
    qputenv("TMPDIR", QFile::encodeName(m_dir.filePath(temp)));
    QVERIFY(QDir::setCurrent(m_folder));
    Claim claim = Claim::Owner;
    {
        SingleInstance instance(m_folder);
        claim = instance.claim(200);
        QDir::setCurrent(savedCurrent);
        qputenv("TMPDIR", savedTemp);
    }
    QCOMPARE(claim, Claim::Unguarded);
    QCOMPARE(QDir(m_folder).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
