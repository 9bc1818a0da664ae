#include "cycle/StatusSummary.h"

#include <QTest>

using namespace senrokan;

class TestStatusSummary : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void afterStartUp()
    {
        RouteStates states;
        const QString line = QStringLiteral("　不明です。   \r\n\r\n");
        QCOMPARE(statusSummaryText(states), line.repeated(5));
    }

    void entries_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("checkTime");
        QTest::addColumn<QString>("entry");
        QTest::newRow("normal, two-digit date parts")
            << QStringLiteral("山手線") << 0 << QStringLiteral("2026-03-05T14:07:09")
            << QStringLiteral("山手線　平常運転です。   2026年03月05日 14時07分09秒");
        QTest::newRow("delayed, morning hour padded")
            << QStringLiteral("中央線") << 1 << QStringLiteral("2026-12-07T09:05:03")
            << QStringLiteral("中央線　遅れがあります。   2026年12月07日 09時05分03秒");
        QTest::newRow("connect failed")
            << QStringLiteral("A") << 2 << QStringLiteral("2026-12-07T23:59:59")
            << QStringLiteral("A　接続失敗しました。   2026年12月07日 23時59分59秒");
        QTest::newRow("no server, no time") << QStringLiteral("B") << 3 << QString()
                                            << QStringLiteral("B　サーバが未設定です。   ");
        QTest::newRow("out of hours")
            << QString() << 4 << QStringLiteral("2026-01-02T00:00:00")
            << QStringLiteral("　時間外です。   2026年01月02日 00時00分00秒");
        QTest::newRow("unknown value")
            << QStringLiteral("C") << 9 << QString() << QStringLiteral("C　不明です。   ");
    }

    void entries()
    {
        QFETCH(QString, title);
        QFETCH(int, status);
        QFETCH(QString, checkTime);
        QFETCH(QString, entry);
        RouteStates states;
        states[3] = {title, checkTime, status};
        const QStringList parts = statusSummaryText(states).split(QStringLiteral("\r\n\r\n"));
        QCOMPARE(parts.size(), 6);
        QCOMPARE(parts.at(2), entry);
        QCOMPARE(parts.at(5), QString());
    }
};

QTEST_GUILESS_MAIN(TestStatusSummary)
#include "tst_statussummary.moc"
