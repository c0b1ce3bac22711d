// Today's date, the long date and the clock texts, read through the clock seam.
#include "calendar/DateProc.h"

#include <gtest/gtest.h>

using namespace DateProc;

namespace {

class DateProcTexts : public ::testing::Test {
protected:
    void TearDown() override { ResetClock(); }
    static void at(int y, int mo, int d, int h = 12, int mi = 0, int s = 0)
    {
        SetFixedNow(QDateTime(QDate(y, mo, d), QTime(h, mi, s)));
    }
};

}  // namespace

TEST_F(DateProcTexts, TodayAndLongDate)
{
    const struct {
        QDate date;
        const char *today, *longDate;
    } cases[] = {
        {QDate(2024, 3, 20), "1403/01/01", "چهارشنبه 01 فروردين 1403"},
        {QDate(2024, 1, 14), "1402/10/24", "يكشنبه 24 دي 1402"},
    };
    for (const auto& c : cases) {
        SetFixedNow(QDateTime(c.date, QTime(8, 30)));
        EXPECT_EQ(TodaySolar(), c.today);
        EXPECT_EQ(SolarLongDate(TodaySolar()), QString::fromUtf8(c.longDate)) << c.today;
    }
}

TEST_F(DateProcTexts, TodayRollsOverAtMidnight)
{
    at(2024, 3, 19, 23, 59, 59);
    EXPECT_EQ(TodaySolar(), "1402/12/29");
    at(2024, 3, 20, 0, 0, 0);
    EXPECT_EQ(TodaySolar(), "1403/01/01");
}

TEST_F(DateProcTexts, ClockTexts)
{
    const struct {
        QTime time;
        const char *hm, *hms;
    } cases[] = {
        {QTime(9, 5, 7), "09:05", "09:05:07"},
        {QTime(0, 0, 0), "00:00", "00:00:00"},
        {QTime(23, 59, 59), "23:59", "23:59:59"},
        {QTime(12, 10, 0), "12:10", "12:10:00"},
    };
    for (const auto& c : cases) {
        SetFixedNow(QDateTime(QDate(2024, 3, 20), c.time));
        EXPECT_EQ(NowHourMinute(), c.hm);
        EXPECT_EQ(NowHourMinuteSecond(), c.hms);
    }
}

TEST_F(DateProcTexts, ClockSeamTakesAFunctionAndResets)
{
    int calls = 0;
    SetClock([&calls] {
        ++calls;
        return QDateTime(QDate(2024, 1, 14), QTime(7, 3, 0));
    });
    EXPECT_EQ(NowHourMinute(), "07:03");
    EXPECT_EQ(calls, 1);
    ResetClock();
    EXPECT_LE(qAbs(CurrentDateTime().secsTo(QDateTime::currentDateTime())), 5);
}

TEST(DateProcFormat, HourMinute)
{
    const struct {
        const char *text, *formatted;
    } cases[] = {
        {"7:3", "07:03"}, {"12:45", "12:45"}, {"1245", ""}, {"", ""}, {":", "00:00"},
        {"7:345", "07:34"},  // at most two minute characters
        {"123:4", "123:04"}, // a long hour stays whole
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatHourMinute(c.text), c.formatted) << c.text;
}

TEST(DateProcNames, MonthAndWeekdayNames)
{
    const QStringList months = {QString::fromUtf8("فروردين"), QString::fromUtf8("ارديبهشت"), QString::fromUtf8("خرداد"), QString::fromUtf8("تير"), QString::fromUtf8("مرداد"), QString::fromUtf8("شهريور"), QString::fromUtf8("مهر"), QString::fromUtf8("آبان"), QString::fromUtf8("آذر"), QString::fromUtf8("دي"), QString::fromUtf8("بهمن"), QString::fromUtf8("اسفند")};
    const QStringList weekdays = {QString::fromUtf8("شنبه"), QString::fromUtf8("يكشنبه"), QString::fromUtf8("دوشنبه"), QString::fromUtf8("سه شنبه"), QString::fromUtf8("چهارشنبه"), QString::fromUtf8("پنج شنبه"), QString::fromUtf8("جمعه")};
    EXPECT_EQ(SolarMonthNames, months);
    EXPECT_EQ(SolarWeekdayNames, weekdays);
    // The names use the Arabic forms of yeh and kaf, never the Persian ones.
    for (const QString& name : SolarMonthNames + SolarWeekdayNames) {
        EXPECT_FALSE(name.contains(QChar(0x06CC))) << name.toStdString();
        EXPECT_FALSE(name.contains(QChar(0x06A9))) << name.toStdString();
    }
}

TEST(DateProcNames, WeekdayName)
{
    const struct {
        const char* text;
        int index;   // -1: no name
    } cases[] = {
        {"1403/12/30", 5}, {"1402/12/30", -1}, {"1403/1/1", 4}, {"1402/10/24", 1},
        {"", -1},          {"garbage", -1},    {"99/1/1", 6},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SolarWeekdayName(c.text), c.index < 0 ? QString() : SolarWeekdayNames.at(c.index))
            << c.text;
    EXPECT_EQ(SolarWeekdayName("1403/12/30"), QString::fromUtf8("پنج شنبه"));
}

TEST(DateProcNames, LongDateOfMalformedTextIsEmpty)
{
    for (const char* text : {"", "1402/12/30", "1403/1/1x"})
        EXPECT_TRUE(SolarLongDate(text).isEmpty()) << text;
}

TEST(DateProcNames, CachedTodayStartsEmptyAndKeepsItsValue)
{
    EXPECT_TRUE(CachedToday().isEmpty());
    CachedToday() = "1403/01/01";
    EXPECT_EQ(CachedToday(), "1403/01/01");
    CachedToday().clear();
}
