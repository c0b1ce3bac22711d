// The consumption periods on their own: grouping, the reading before a period, and which periods
// are listed.

#include "calendar/DateProc.h"
#include "server/Consumption.h"
#include "server/Dates.h"

#include <gtest/gtest.h>

namespace nemora {
namespace {

QDate solarDay(int y, int m, int d)
{
    DateProc::SolarToGregorian(y, m, d);
    return QDate(y, m, d);
}

Reading at(const QDate& day, int64_t went)
{
    return Reading{day, dates::solarText(day), went};
}

TEST(Consumption, SeveralReportsADayAreMeasuredFromThePreviousDaysLastReading)
{
    const QDate today = solarDay(1403, 5, 17);
    const QDate yesterday = today.addDays(-1);
    const std::vector<Reading> readings = {at(yesterday, 100), at(yesterday, 130), at(today, 150), at(today, 190), at(today, 240)};
    const auto days = consumptionPeriods(PeriodKind::Daily, readings, today);
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0].from, "1403/05/17");
    EXPECT_EQ(days[0].minWentVolume, 130);
    EXPECT_EQ(days[0].maxWentVolume, 240);
    EXPECT_EQ(days[0].dataReceiveCount, 3);
    EXPECT_EQ(days[1].minWentVolume, 100);
    EXPECT_EQ(days[1].maxWentVolume, 130);
}

TEST(Consumption, DaysWithoutReportsAreLeftOutAndTheReadingCarriesOver)
{
    const QDate today = solarDay(1403, 5, 17);
    const std::vector<Reading> readings = {at(today.addDays(-10), 100), at(today.addDays(-1), 400)};
    const auto days = consumptionPeriods(PeriodKind::Daily, readings, today);
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0].to, "1403/05/16");   // yesterday: the status screen still shows it
    EXPECT_EQ(days[0].minWentVolume, 100);
    EXPECT_EQ(days[0].maxWentVolume, 400);

    // A meter silent for more than a week has no period ending today.
    const auto weeks = consumptionPeriods(PeriodKind::Weekly, {at(today.addDays(-9), 100)}, today);
    ASSERT_EQ(weeks.size(), 1u);
    EXPECT_EQ(weeks[0].to, "1403/05/10");
    EXPECT_EQ(weeks[0].from, "1403/05/04");
}

TEST(Consumption, TheCurrentMonthAndFutureReportsAreNotListed)
{
    const QDate today = solarDay(1403, 5, 17);
    EXPECT_TRUE(consumptionPeriods(PeriodKind::Monthly, {at(solarDay(1403, 5, 1), 10), at(today, 20)}, today).empty());
    const auto months = consumptionPeriods(PeriodKind::Monthly, {at(solarDay(1403, 3, 31), 5), at(solarDay(1403, 4, 1), 10),
                                                                 at(solarDay(1403, 4, 31), 30), at(today, 50)}, today);
    ASSERT_EQ(months.size(), 2u);
    EXPECT_EQ(months[0].from, "1403/04/01");
    EXPECT_EQ(months[0].to, "1403/05/01");
    EXPECT_EQ(months[0].minWentVolume, 5);
    EXPECT_EQ(months[0].maxWentVolume, 30);
    EXPECT_EQ(months[1].to, "1403/04/01");

    const auto days = consumptionPeriods(PeriodKind::Daily, {at(today, 1), at(today.addDays(1), 2)}, today);
    ASSERT_EQ(days.size(), 1u);
    EXPECT_TRUE(consumptionPeriods(PeriodKind::Weekly, {at(today.addDays(2), 2)}, today).empty());
}

TEST(Consumption, ACounterThatWentBackIsShownAsItIs)
{
    // A replaced or reset counter: the lowest reading counts, the screen shows what follows.
    const QDate today = solarDay(1403, 5, 17);
    const auto days = consumptionPeriods(PeriodKind::Daily, {at(today.addDays(-1), 900), at(today, 20), at(today, 50)}, today);
    EXPECT_EQ(days[0].minWentVolume, 20);
    EXPECT_EQ(days[0].maxWentVolume, 50);
}

TEST(Consumption, MonthLabelsRunIntoTheNextYear)
{
    const QDate today = solarDay(1404, 1, 3);
    const auto months = consumptionPeriods(PeriodKind::Monthly, {at(solarDay(1403, 12, 5), 1)}, today);
    ASSERT_EQ(months.size(), 1u);
    EXPECT_EQ(months[0].from, "1403/12/01");
    EXPECT_EQ(months[0].to, "1404/01/01");
}

}  // namespace
}  // namespace nemora
