// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The commuter's calendar: the computed holidays of 2000-2030 against the official list and the
// rules' edges; a route's "Days=", "Holidays=" and "Hours=", the days and times they leave out and
// where the route's day ends.
#include "calendar/CheckDays.h"
#include "calendar/Holidays.h"
#include "support/HolidayList.h"

#include <QRegularExpression>
#include <QTest>

using namespace senrokan;

class TestCalendar : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void officialList_data()
    {
        QTest::addColumn<int>("year");
        for (int year = 2000; year <= 2030; ++year)
            QTest::addRow("%d", year) << year;
    }

    // The list names a substitute holiday after the Sunday's holiday in some years and after the
    // last of the run in others (5/6 of 2009 and of 2020, both after a Sunday 5/3); law names
    // none, so only that it is one is compared.
    void officialList()
    {
        QFETCH(int, year);
        static const QRegularExpression named(QStringLiteral("^(\\S+) \\S+ 振替休日$"));
        QStringList computed;
        for (const Holiday& holiday : holidaysOf(year))
            computed << holiday.date.toString(Qt::ISODate) + u' ' + holiday.name;
        const QStringList listed = test::officialHolidayLines(year);
        QVERIFY(!listed.isEmpty());
        QCOMPARE(computed.replaceInStrings(named, QStringLiteral("\\1 振替休日")),
                 QStringList(listed).replaceInStrings(named, QStringLiteral("\\1 振替休日")));
    }

    void ruleEdges_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("name"); // empty: a working day
        auto row = [](const char* tag, int y, int m, int d, const char* name) {
            QTest::newRow(tag) << QDate(y, m, d) << QString::fromUtf8(name);
        };
        row("Sunday holiday, then holidays: first free day", 2020, 5, 6, "憲法記念日 振替休日");
        row("citizens' holiday in September", 2026, 9, 22, "休日");
        row("no citizens' holiday on a Sunday before 2007", 2003, 5, 4, "");
        row("autumn equinox on Sunday", 2024, 9, 23, "秋分の日 振替休日");
        row("autumn equinox on Saturday: no substitute", 2023, 9, 25, "");
        row("spring equinox first on 3/19", 2092, 3, 19, "春分の日");
        row("accession day", 2019, 5, 1, "休日（祝日扱い）");
        row("between Showa Day and the accession", 2019, 4, 30, "休日");
        row("Sports Day's Monday in 2020, moved", 2020, 10, 12, "");
        row("after the years computed", 2100, 1, 1, "");
    }

    void ruleEdges()
    {
        QFETCH(QDate, date);
        QFETCH(QString, name);
        QCOMPARE(holidayName(date).value_or(QString()), name);
    }

    void offDays_data()
    {
        QTest::addColumn<QString>("days");     // as "Days=" says
        QTest::addColumn<QString>("holidays"); // as "Holidays=" says
        QTest::addColumn<QString>("hours");    // as "Hours=" says
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("reason"); // empty: watched; "error": the setting refused
        QTest::addColumn<int>("dayEnd");     // minutes from the date's start to the day's end
        static constexpr int Midnight = 24 * 60;
        auto row = [](const char* tag, const char* days, const char* holidays, QDate date,
                      const char* reason) {
            QTest::newRow(tag) << QString::fromUtf8(days) << QString::fromUtf8(holidays)
                               << QString() << date << QTime(12, 0) << QString::fromUtf8(reason)
                               << Midnight;
        };
        auto bands = [](const char* tag, const char* hours, QTime time, const char* reason,
                        int dayEnd) {
            QTest::newRow(tag) << QString() << QString() << QString::fromUtf8(hours)
                               << QDate(2026, 12, 7) << time << QString::fromUtf8(reason) << dayEnd;
        };
        const QDate monday(2026, 12, 7), sunday(2026, 12, 6), holiday(2026, 11, 23);
        row("Monday, weekdays", "月火水木金", "", monday, "");
        row("Sunday, weekdays", "金 木、水,火・月", "", sunday, "曜日外");
        row("Sunday, every day", "", "", sunday, "");
        row("holiday watched", "月火水木金", "", holiday, "");
        row("Holidays=false", "月火水木金", "False", holiday, "祝日");
        row("substitute holiday, Holidays=false", "", "0", QDate(2026, 5, 6), "祝日");
        row("Sunday holiday, both left out", "月火水木金", "no", QDate(2026, 5, 3), "曜日外");
        row("day names", "月曜,火曜", "", monday, "error");
        row("holiday mark", "月火祝", "", monday, "error");
        row("Holidays=なし", "", "なし", monday, "error");
        const char* twoBands = "07:00-09:30,17:30-19:30";
        bands("two bands, in the first", twoBands, QTime(8, 0), "", 19 * 60 + 31);
        bands("two bands, the last minute of the first", twoBands, QTime(9, 30, 59), "",
              19 * 60 + 31);
        bands("two bands, between them", twoBands, QTime(9, 31), "時間帯外", 19 * 60 + 31);
        bands("two bands, after the last: the day ends at midnight", twoBands, QTime(20, 0),
              "時間帯外", Midnight);
        bands("across midnight, before it", "23:00-01:00", QTime(23, 30), "", Midnight + 61);
        bands("across midnight, after it: yesterday's day", "23:00-01:00", QTime(0, 30), "", 61);
        bands("across midnight, after its end", "23:00-01:00", QTime(1, 1), "時間帯外",
              Midnight + 61);
        bands("full-width, 〜 and 、 with a morning band after midnight's",
              "２３：００〜１：００、５:３０～７:００", QTime(6, 0), "", Midnight + 61);
        bands("unreadable band: watched all day", "7時-9時", QTime(12, 0), "error", Midnight);
        bands("a band without its end: watched all day", "07:00,17:30-19:30", QTime(12, 0), "error",
              Midnight);
    }

    void offDays()
    {
        QFETCH(QString, days);
        QFETCH(QString, holidays);
        QFETCH(QString, hours);
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(QString, reason);
        QFETCH(int, dayEnd);
        QString error;
        const std::optional<QString> parsedDays = parseCheckDays(days, &error);
        const std::optional<bool> parsedHolidays = parseHolidaysValue(holidays, &error);
        const std::optional<QList<HourBand>> parsedHours = parseHours(hours, &error);
        QCOMPARE(error.isEmpty(), parsedDays && parsedHolidays && parsedHours);
        RouteOptions options;
        options.days = parsedDays.value_or(QString());
        options.holidays = parsedHolidays.value_or(true);
        options.hours = hours;
        const QString off =
            dayOffReason(options, date).value_or(hoursOffReason(options, time).value_or(QString()));
        QCOMPARE(error.isEmpty() ? off : "error", reason);
        // Bands that cannot be read leave the route watched all day.
        if (!parsedHours)
            QCOMPARE(off, QString());
        QCOMPARE(senrokan::dayEnd(options, QDateTime(date, time)),
                 date.startOfDay().addSecs(60 * dayEnd));
    }
};

QTEST_GUILESS_MAIN(TestCalendar)
#include "tst_calendar.moc"
