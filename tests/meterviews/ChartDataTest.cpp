// What the line and pie charts draw, for the table sizes that hit their limits.

#include "MeterViewsFixtures.h"
#include "meters/ChartData.h"

#include <gtest/gtest.h>

namespace {

const QString kLineDaily = QStringLiteral("نمودار مصرف آب یک ماه گذشته به تفکیک روز ");
const QString kLineWeekly = QStringLiteral("نمودار مصرف آب به تفکیک هفته ");
const QString kPieDaily = QStringLiteral("نمودار دایره ای مصرف آب به تفکیک روز ");
const QString kPieWeekly = QStringLiteral("نمودار دایره ای مصرف آب به تفکیک هفته ");
const QString kPieMonthly = QStringLiteral("نمودار دایره ای مصرف آب به تفکیک ماه ");

QString Range(const QString& from, const QString& to)
{
    return QLatin1String(" ") + QStringLiteral("از مورخ ") + from + QLatin1String(" ") + QStringLiteral("تا مورخ ") + to;
}

TEST(LineChartData, FortyDailyRowsGiveFortyPointsAfterTheLeadingZeroAndAWindowOf31)
{
    const ConsumptionRows rows = MakeConsumptionRows(40, 1);
    const LineChartData line = BuildLineChartData(ReportTypeDaily, 40, rows);

    ASSERT_TRUE(line.known);
    ASSERT_EQ(line.values.size(), 41);
    EXPECT_EQ(line.values[0], 0.0);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(line.values[i + 1], rows[i].Consumed()) << "position " << i + 1;
    EXPECT_EQ(line.visibleFrom, 1);
    EXPECT_EQ(line.visibleTo, 31);
    EXPECT_EQ(rows[39].FromDate, QStringLiteral("1403/04/23"));
    EXPECT_EQ(line.heading, kLineDaily + Range(QStringLiteral("1403/04/23"), QStringLiteral("1403/05/31")));
}

TEST(LineChartData, WeeklyAndMonthlyWindowsEndAtTheFilteredRowCount)
{
    // The window follows ReportCount (the rows the operator sees), not the rows in the table.
    const ConsumptionRows weekly = MakeConsumptionRows(3, 7);
    EXPECT_EQ(BuildLineChartData(ReportTypeWeekly, 3, weekly).visibleTo, 3);
    EXPECT_EQ(BuildLineChartData(ReportTypeMonthly, 5, MakeConsumptionRows(12, 30)).visibleTo, 5);

    const LineChartData line = BuildLineChartData(ReportTypeWeekly, 3, weekly);
    EXPECT_EQ(line.heading, kLineWeekly + Range(QStringLiteral("1403/05/11"), QStringLiteral("1403/05/31")));
}

TEST(LineChartData, NegativeConsumptionIsDrawnAsIs)
{
    ConsumptionRows rows = MakeConsumptionRows(2, 1);
    rows[1].MinWentVolume = 500;
    rows[1].MaxWentVolume = 300;
    const LineChartData line = BuildLineChartData(ReportTypeDaily, 2, rows);
    ASSERT_EQ(line.values.size(), 3);
    EXPECT_EQ(line.values[2], -200.0);
}

TEST(ChartPointLabel, WritesValuesAsPrintfG)
{
    const std::pair<double, const char*> cases[] = {
        {0, "0"}, {10, "10"}, {-200, "-200"}, {123456, "123456"}, {1234567, "1.23457e+06"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChartPointLabel(c.first), QString::fromLatin1(c.second)) << c.first;
}

TEST(ChartData, PeriodKindIsMatchedExactly)
{
    const ConsumptionRows rows = MakeConsumptionRows(3, 1);
    for (const QString& kind : {QStringLiteral("daily"), QStringLiteral("DAILY"), QString(), QStringLiteral("Yearly")}) {
        EXPECT_FALSE(BuildLineChartData(kind, 3, rows).known) << kind.toStdString();
        EXPECT_FALSE(BuildPieChartData(kind, rows).known) << kind.toStdString();
        EXPECT_TRUE(ChartRowsFor(kind, rows, rows, rows).isEmpty());
    }
    const ConsumptionRows d = MakeConsumptionRows(1, 1), w = MakeConsumptionRows(2, 7), m = MakeConsumptionRows(3, 30);
    EXPECT_EQ(ChartRowsFor(ReportTypeDaily, d, w, m).size(), 1);
    EXPECT_EQ(ChartRowsFor(ReportTypeWeekly, d, w, m).size(), 2);
    EXPECT_EQ(ChartRowsFor(ReportTypeMonthly, d, w, m).size(), 3);
}

struct PieCase {
    const char* name;
    QString kind;
    int rows;
    int periodDays;
    int slices;
};

class PieChartSlices : public ::testing::TestWithParam<PieCase> {};

TEST_P(PieChartSlices, MostRecentPeriodsUpToTheLimitAndTheRestHidden)
{
    const PieCase c = GetParam();
    const ConsumptionRows rows = MakeConsumptionRows(c.rows, c.periodDays);
    const PieChartData pie = BuildPieChartData(c.kind, rows);

    ASSERT_TRUE(pie.known);
    ASSERT_EQ(pie.pieSlots.size(), c.slices);
    for (int k = 1; k <= PieSlotCount; ++k)
        EXPECT_EQ(pie.slotHidden(k), k > c.slices) << "slot " << k;
    for (int i = 0; i < c.slices; ++i) {
        EXPECT_EQ(pie.pieSlots[i].label, QStringLiteral(" از  ") + rows[i].FromDate + QStringLiteral("  تا  ") + rows[i].ToDate);
        EXPECT_EQ(pie.pieSlots[i].box, QString::number(10 * (i + 1)));
        EXPECT_EQ(pie.pieSlots[i].sliceValue(), 10.0 * (i + 1));
    }
    // The range runs from the oldest slice shown to the newest period.
    const QString heading = c.kind == ReportTypeDaily ? kPieDaily : c.kind == ReportTypeWeekly ? kPieWeekly : kPieMonthly;
    EXPECT_EQ(pie.heading, heading + Range(rows[c.slices - 1].FromDate, rows[0].ToDate));
}

INSTANTIATE_TEST_SUITE_P(
    PieLimits, PieChartSlices,
    ::testing::Values(PieCase{"ThreeWeekly", ReportTypeWeekly, 3, 7, 3},
                      PieCase{"TwelveMonthly", ReportTypeMonthly, 12, 30, 6},
                      PieCase{"NineDaily", ReportTypeDaily, 9, 1, 7},
                      PieCase{"SevenWeeklyStopsAtSix", ReportTypeWeekly, 7, 7, 6},
                      PieCase{"OneDaily", ReportTypeDaily, 1, 1, 1}),
    [](const ::testing::TestParamInfo<PieCase>& info) { return std::string(info.param.name); });

TEST(PieChartData, ThreeWeeklyRowsHeadingAndFirstSlotAsWritten)
{
    const PieChartData pie = BuildPieChartData(ReportTypeWeekly, MakeConsumptionRows(3, 7));
    EXPECT_EQ(pie.heading, kPieWeekly + Range(QStringLiteral("1403/05/11"), QStringLiteral("1403/05/31")));
    ASSERT_FALSE(pie.pieSlots.isEmpty());
    EXPECT_EQ(pie.pieSlots[0].label, QStringLiteral(" از  ") + QLatin1String("1403/05/25") + QStringLiteral("  تا  ") + QLatin1String("1403/05/31"));
}

TEST(PieChartData, NegativeConsumptionShowsInTheBoxButTakesNoArea)
{
    ConsumptionRows rows = MakeConsumptionRows(2, 7);
    rows[0].MinWentVolume = 500;
    rows[0].MaxWentVolume = 300;
    const PieChartData pie = BuildPieChartData(ReportTypeWeekly, rows);
    ASSERT_EQ(pie.pieSlots.size(), 2);
    EXPECT_EQ(pie.pieSlots[0].box, QStringLiteral("-200"));
    EXPECT_EQ(pie.pieSlots[0].sliceValue(), 0.0);
}

TEST(PieChartData, EmptyTableHidesEverySlot)
{
    const PieChartData pie = BuildPieChartData(ReportTypeMonthly, {});
    EXPECT_TRUE(pie.known);
    EXPECT_TRUE(pie.pieSlots.isEmpty());
    EXPECT_TRUE(pie.slotHidden(1));
}

}  // namespace
