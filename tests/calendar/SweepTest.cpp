// Every day of seven decades through every routine: the conversion tables, the leap rule of the
// day arithmetic, the validator and the weekday formula must agree with each other and with the
// Gregorian calendar.
#include "calendar/DateProc.h"

#include <gtest/gtest.h>

using namespace DateProc;

TEST(DateProcSweep, EveryDayFrom1990To2060)
{
    const QDate first(1990, 1, 1);
    const QDate last(2060, 12, 31);
    int failures = 0;
    auto report = [&failures](const QDate& day, const std::string& what) {
        if (++failures <= 20)
            ADD_FAILURE() << day.toString(Qt::ISODate).toStdString() << ": " << what;
    };

    QString previous;   // yyyy/mm/dd of the day before
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        int y = day.year(), m = day.month(), d = day.day();
        GregorianToSolar(y, m, d);
        const int sy = y, sm = m, sd = d;
        SolarToGregorian(y, m, d);
        if (QDate(y, m, d) != day)
            report(day, "round trip gives " + std::to_string(y) + "-" + std::to_string(m) + "-"
                            + std::to_string(d));

        const QString plain = DateToSolarText(day);
        const QString padded = NormaliseSolarDate(plain);
        if (!IsValidSolarDate(plain) || !IsValidSolarDate(padded))
            report(day, "rejected " + padded.toStdString());
        if (SolarTextToDate(padded) != day)
            report(day, "text " + padded.toStdString() + " reads back as another day");
        if (SolarTextToGregorianText(padded) != day.toString("yyyy/MM/dd"))
            report(day, "Gregorian text " + SolarTextToGregorianText(padded).toStdString());
        if (!previous.isEmpty() && AddDaysToSolarDate(previous, 1) != padded)
            report(day, previous.toStdString() + " + 1 gives "
                            + AddDaysToSolarDate(previous, 1).toStdString() + ", not "
                            + padded.toStdString());
        if (!previous.isEmpty() && AddDaysToSolarDate(padded, -1) != previous)
            report(day, padded.toStdString() + " - 1 gives "
                            + AddDaysToSolarDate(padded, -1).toStdString());
        // QDate counts Monday as 1 ... Sunday as 7; the Persian week starts on Saturday.
        const int expectedWeekday = (day.dayOfWeek() + 1) % 7;
        if (SolarWeekdayIndex(sy, sm, sd) != expectedWeekday)
            report(day, "weekday " + std::to_string(SolarWeekdayIndex(sy, sm, sd)));
        previous = padded;
    }
    EXPECT_EQ(failures, 0);
}

TEST(DateProcSweep, ValidatorAcceptsExactlyTheDaysThatExist)
{
    // Walk the Solar years that cover the sweep: every valid yyyy/mm/dd is reached by day
    // arithmetic from the first day of the year, and every day it reaches is valid.
    for (int year = 1368; year <= 1439; ++year) {
        QString day = QString("%1/01/01").arg(year);
        int reached = 0;
        for (; day.startsWith(QString::number(year)); day = AddDaysToSolarDate(day, 1)) {
            ASSERT_TRUE(IsValidSolarDate(day)) << day.toStdString();
            ++reached;
        }
        EXPECT_EQ(reached, year % 4 == 3 ? 366 : 365) << year;
        const QString esfand30 = QString("%1/12/30").arg(year);
        EXPECT_EQ(IsValidSolarDate(esfand30), year % 4 == 3) << year;
    }
}
