// The consumption half of the status screen against the scripted server: the three tables with
// their calculated consumption, gauges on a fixed day, views, average, the per-table date
// filter, navigation, export, report and charts.
#include "StatusScreenFixture.h"

#include "core/widgets/ListGrid.h"
#include "core/widgets/Seams.h"
#include "core/widgets/SolarDateEdit.h"
#include "meters/ConsumptionReport.h"
#include "meters/ContorStatusTexts.h"
#include "meters/Gauge.h"
#include "meters/untChartCircle.h"
#include "meters/untChartLine.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using ContorStatus::DateFilter;
using ContorStatus::Period;
namespace T = ContorStatusText;

namespace {

// Daily rows ending today, weekly rows ending today, monthly rows starting this month.
const QByteArray kDaily = PeriodRowsJson({{"1402/05/17", "1402/05/17", 1000, 1010},
                                          {"1402/05/16", "1402/05/16", 989, 1000},
                                          {"1402/05/15", "1402/05/15", 977, 989}});
const QByteArray kWeekly = PeriodRowsJson({{"1402/05/11", "1402/05/17", 900, 1010},
                                           {"1402/05/04", "1402/05/10", 800, 900},
                                           {"1402/04/28", "1402/05/03", 500, 800},
                                           {"1402/04/21", "1402/04/27", 450, 500}});
const QByteArray kMonthly = PeriodRowsJson({{"1402/05/01", "1402/05/01", 700, 1010},
                                            {"1402/04/01", "1402/04/31", 100, 700}});

}  // namespace

class ConsumptionViewsTest : public StatusScreenTest {
protected:
    void loadAll()
    {
        scriptRefresh(JsonText({ReportRowObject(1)}), kDaily, kWeekly, kMonthly);
        refreshSerial();
    }
    ListGrid* grid() const { return find<ListGrid>("grd"); }
    TSolarDateEdit* fromDate() const { return find<TSolarDateEdit>("edtFromDate"); }
    TSolarDateEdit* toDate() const { return find<TSolarDateEdit>("edtToDate"); }
    QString average() const { return label("lblAvrage")->text(); }
    QString count() const { return label("lblCount")->text(); }
};

TEST_F(ConsumptionViewsTest, TablesHoldTheRepliesWithTheirConsumptionInOrder)
{
    loadAll();
    const ConsumptionRows daily = screen->periodRows(Period::Daily);
    ASSERT_EQ(daily.size(), 3);
    EXPECT_EQ(daily[0].FromDate, "1402/05/17");
    EXPECT_EQ(daily[2].Consumed(), 12);
    EXPECT_EQ(daily[0].DataReceiveCount, "1");
    EXPECT_EQ(screen->periodRows(Period::Weekly).size(), 4);
    EXPECT_EQ(screen->periodRows(Period::Monthly).size(), 2);
    // The daily view on the grid, columns in their order and titles.
    ASSERT_EQ(grid()->rowCount(), 3);
    const QStringList titles = {T::FromDateTitle, T::ToDateTitle, T::MinWentVolumeTitle, T::MaxWentVolumeTitle,
                                T::ConsumedTitle, T::DataReceiveCountTitle};
    for (int c = 0; c < titles.size(); ++c)
        EXPECT_EQ(grid()->model()->headerData(c, Qt::Horizontal).toString().startsWith(titles[c]), true) << c;
    EXPECT_EQ(grid()->cellText(0, 0), "1402/05/17");
    EXPECT_EQ(grid()->cellText(0, 4), "10");
    EXPECT_EQ(grid()->cellText(1, 4), "11");
    EXPECT_EQ(label("lblCaptionAvarage")->text(), T::DailyAverageCaption);
    EXPECT_EQ(average(), QStringLiteral("11 ") + T::Litre);
    EXPECT_EQ(count(), T::CountPrefix + "3");
}

TEST_F(ConsumptionViewsTest, GaugesShowOnlyTheCurrentPeriods)
{
    struct Case {
        const char* what;
        QByteArray daily, weekly, monthly;
        bool dailyFilled, weeklyFilled, monthlyFilled;
    };
    const Case cases[] = {
        {"current", kDaily, kWeekly, kMonthly, true, true, true},
        {"yesterday / last week / last month",
         PeriodRowsJson({{"1402/05/16", "1402/05/16", 0, 20}}), PeriodRowsJson({{"1402/05/10", "1402/05/16", 0, 20}}),
         PeriodRowsJson({{"1402/04/01", "1402/04/31", 0, 20}}), true, false, false},
        {"two days ago", PeriodRowsJson({{"1402/05/15", "1402/05/15", 0, 20}}), "[]", QByteArray(), false, false, false},
    };
    for (const Case& c : cases) {
        scriptRefresh(JsonText({ReportRowObject(1)}), c.daily, c.weekly, c.monthly);
        refreshSerial();
        const struct { const char* gauge; const char* value; const char* date; bool filled; } gauges[] = {
            {"GagetDaily", "lblDailyValue", "lblDailyDate", c.dailyFilled},
            {"GagetWeekly", "lblWeeklyValue", "lblWeeklyDate", c.weeklyFilled},
            {"GagetMonthly", "lblMonthlyValue", "lblMonthlyDate", c.monthlyFilled},
        };
        for (const auto& g : gauges) {
            auto* gauge = find<TGauge>(g.gauge);
            if (g.filled) {
                EXPECT_GT(gauge->value(), 0) << c.what << ' ' << g.gauge;
                EXPECT_TRUE(label(g.value)->text().endsWith(T::GaugeValueSuffix)) << c.what << ' ' << g.gauge;
                EXPECT_TRUE(label(g.date)->text().startsWith(T::GaugeDatePrefix)) << c.what << ' ' << g.gauge;
            } else {
                EXPECT_EQ(gauge->value(), 0) << c.what << ' ' << g.gauge;
                EXPECT_EQ(label(g.value)->text(), "0") << c.what << ' ' << g.gauge;
                EXPECT_TRUE(label(g.date)->text().isEmpty()) << c.what << ' ' << g.gauge;
            }
        }
    }
    // The exact texts of a filled gauge.
    loadAll();
    EXPECT_EQ(find<TGauge>("GagetWeekly")->value(), 110);
    EXPECT_EQ(label("lblWeeklyValue")->text(), QStringLiteral("110") + T::GaugeValueSuffix);
    EXPECT_EQ(label("lblWeeklyDate")->text(), T::GaugeDatePrefix + "1402/05/11" + T::GaugeDateJoin + "1402/05/17");
    EXPECT_EQ(find<TGauge>("GagetMonthly")->valueText(), "310.0");
}

TEST_F(ConsumptionViewsTest, ViewsSwitchTablesCaptionsAndAverages)
{
    loadAll();
    struct Case { const char* button; const char* type; QString caption; int rows; qint64 average; };
    const Case cases[] = {
        {"AdvSmoothButton2", "Weekly", T::WeeklyAverageCaption, 4, (110 + 100 + 300 + 50) / 4},
        {"AdvSmoothButton3", "Monthly", T::MonthlyAverageCaption, 2, (310 + 600) / 2},
        {"btnShowDaily", "Daily", T::DailyAverageCaption, 3, 11},
    };
    for (const Case& c : cases) {
        find<QToolButton>(c.button)->click();
        EXPECT_EQ(screen->fReportType, c.type);
        EXPECT_EQ(label("lblCaptionAvarage")->text(), c.caption);
        EXPECT_EQ(grid()->rowCount(), c.rows);
        EXPECT_EQ(count(), T::CountPrefix + QString::number(c.rows));
        EXPECT_EQ(average(), QString::number(c.average) + " " + T::Litre);
        EXPECT_EQ(grid()->currentRow(), 0) << c.type;
    }
    EXPECT_EQ(T::WeeklyAverageCaption.endsWith(QStringLiteral(": ")), true);
}

TEST_F(ConsumptionViewsTest, NegativeConsumptionLowersTheAverage)
{
    scriptRefresh(JsonText({ReportRowObject(1)}),
                  PeriodRowsJson({{"1402/05/17", "1402/05/17", 0, 1000}, {"1402/05/16", "1402/05/16", 500, 300}}));
    refreshSerial();
    EXPECT_EQ(grid()->cellText(1, 4), "-200");
    EXPECT_EQ(average(), QStringLiteral("400 ") + T::Litre);
}

TEST_F(ConsumptionViewsTest, EachTableKeepsItsOwnDateFilter)
{
    BoxRecorder boxes;
    loadAll();
    find<QToolButton>("AdvSmoothButton2")->click();   // weekly
    fromDate()->setText("1402/05/01");
    toDate()->setText("1402/05/17");
    screen->AdvSmoothButton12Click();
    EXPECT_TRUE(boxes.boxes.isEmpty());
    EXPECT_EQ(grid()->rowCount(), 2);
    EXPECT_EQ(count(), T::CountPrefix + "2");
    EXPECT_EQ(average(), QStringLiteral("105 ") + T::Litre);
    EXPECT_EQ(screen->dateFilter(Period::Weekly), (DateFilter{"1402/05/01", "1402/05/17"}));
    EXPECT_FALSE(screen->dateFilter(Period::Daily));
    EXPECT_FALSE(screen->dateFilter(Period::Monthly));

    find<QToolButton>("btnShowDaily")->click();
    EXPECT_EQ(grid()->rowCount(), 3);
    find<QToolButton>("AdvSmoothButton3")->click();
    EXPECT_EQ(grid()->rowCount(), 2);
    find<QToolButton>("AdvSmoothButton2")->click();
    EXPECT_EQ(grid()->rowCount(), 2);
    EXPECT_EQ(average(), QStringLiteral("105 ") + T::Litre);

    // A refresh reloads the rows and keeps the filter; the date boxes go back to the year.
    loadAll();
    EXPECT_EQ(screen->fReportType, "Daily");
    EXPECT_EQ(fromDate()->text(), "1402/01/01");
    find<QToolButton>("AdvSmoothButton2")->click();
    EXPECT_EQ(grid()->rowCount(), 2);

    // Clearing works on the current view only.
    screen->AdvSmoothButton13Click();
    EXPECT_EQ(grid()->rowCount(), 4);
    EXPECT_FALSE(screen->dateFilter(Period::Weekly));
    EXPECT_EQ(fromDate()->text(), "1402/01/01");
    EXPECT_EQ(toDate()->text(), kToday);
    EXPECT_EQ(count(), T::CountPrefix + "4");
}

TEST_F(ConsumptionViewsTest, AReversedRangeShowsTheErrorAndChangesNothing)
{
    BoxRecorder boxes;
    loadAll();
    fromDate()->setText("1402/05/16");
    toDate()->setText("1402/05/17");
    screen->AdvSmoothButton12Click();
    ASSERT_EQ(grid()->rowCount(), 2);
    const QString averageBefore = average();

    fromDate()->setText("1402/06/01");
    toDate()->setText("1402/05/01");
    screen->AdvSmoothButton12Click();
    ASSERT_EQ(boxes.boxes.size(), 1);
    EXPECT_EQ(boxes.boxes[0].text, T::StartAfterEndError);
    EXPECT_EQ(boxes.boxes[0].icon, int(miError));
    EXPECT_EQ(grid()->rowCount(), 2);
    EXPECT_EQ(average(), averageBefore);
    EXPECT_EQ(count(), T::CountPrefix + "2");
    EXPECT_EQ(screen->dateFilter(Period::Daily), (DateFilter{"1402/05/16", "1402/05/17"}));
}

TEST_F(ConsumptionViewsTest, EmptyDateBoxesFilterByTheYearSoFar)
{
    scriptRefresh(JsonText({ReportRowObject(1)}),
                  PeriodRowsJson({{"1402/05/17", "1402/05/17", 0, 5}, {"1401/12/29", "1401/12/29", 0, 7}}));
    refreshSerial();
    fromDate()->setText(QString());
    toDate()->setText(QString());
    screen->AdvSmoothButton12Click();
    EXPECT_EQ(fromDate()->text(), "1402/01/01");
    EXPECT_EQ(toDate()->text(), kToday);
    EXPECT_EQ(grid()->rowCount(), 1);
    EXPECT_EQ(average(), QStringLiteral("5 ") + T::Litre);
}

TEST_F(ConsumptionViewsTest, DateBoxesAreTidiedOnLeaving)
{
    loadAll();
    struct Case { const char* typed; const char* tidy; };
    const Case cases[] = {{"1402/5/7", "1402/05/07"}, {"", ""}};
    for (const Case& c : cases) {
        fromDate()->setText(c.typed);
        screen->edtFromDateExit();
        EXPECT_EQ(fromDate()->text(), c.tidy);
        toDate()->setText(c.typed);
        screen->edtToDateExit();
        EXPECT_EQ(toDate()->text(), c.tidy);
    }
}

TEST_F(ConsumptionViewsTest, NavigationStopsAtTheEnds)
{
    loadAll();
    struct Step { const char* button; int row; };
    const Step steps[] = {
        {"AdvSmoothButton6", 0},  {"AdvSmoothButton11", 1}, {"AdvSmoothButton9", 2},
        {"AdvSmoothButton11", 2}, {"AdvSmoothButton6", 1},  {"AdvSmoothButton10", 0},
    };
    for (const Step& s : steps) {
        find<QToolButton>(s.button)->click();
        EXPECT_EQ(grid()->currentRow(), s.row) << s.button;
    }
}

TEST_F(ConsumptionViewsTest, ExportWritesTheGridUnderTheScreenPrefix)
{
    loadAll();
    QTemporaryDir dir;
    FolderChooser previous = SetFolderChooser([&](QWidget*, const QString&) { return dir.path(); });
    BoxRecorder boxes(mrYes);
    find<QToolButton>("AdvSmoothButton2")->click();
    button("AdvSmoothButton7")->click();
    SetFolderChooser(previous);
    const QString file = QDir(dir.path()).filePath(QStringLiteral("Consumed_List 14020517.xlsx"));
    EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    ASSERT_FALSE(boxes.boxes.isEmpty());
    EXPECT_EQ(boxes.boxes.first().icon, int(miQuestion));
    EXPECT_EQ(boxes.boxes.last().icon, int(miInformation));
}

TEST_F(ConsumptionViewsTest, ReportListsTheGridRowsUnderTheMeterSerial)
{
    loadAll();
    ConsumptionReport shown;
    int previews = 0;
    ReportPreviewPresenter previous = SetReportPreviewPresenter([&](const ConsumptionReport& report, QWidget*) {
        shown = report;
        ++previews;
    });
    find<QToolButton>("AdvSmoothButton3")->click();
    button("AdvSmoothButton8")->click();
    SetReportPreviewPresenter(previous);
    ASSERT_EQ(previews, 1);
    EXPECT_EQ(shown.lblDate, kToday);
    EXPECT_EQ(shown.lblDeviceName, T::ReportMeterPrefix + kSerial);
    ASSERT_EQ(shown.rows.size(), 2);
    EXPECT_EQ(shown.rows[0].FromDate, "1402/05/01");
    EXPECT_EQ(shown.rows[1].Consumed(), 600);
}

TEST_F(ConsumptionViewsTest, ChartsOpenWithoutBlockingAndOnlyForRows)
{
    // No rows in the current view: nothing opens.
    scriptRefresh(JsonText({ReportRowObject(1)}), "[]", kWeekly, kMonthly);
    refreshSerial();
    button("AdvSmoothButton4")->click();
    button("AdvSmoothButton1")->click();
    EXPECT_TRUE(screen->findChildren<TfrmChartLine*>().isEmpty());
    EXPECT_TRUE(screen->findChildren<TfrmChartCircle*>().isEmpty());

    find<QToolButton>("AdvSmoothButton2")->click();
    fromDate()->setText("1402/05/01");
    toDate()->setText(kToday);
    screen->AdvSmoothButton12Click();
    button("AdvSmoothButton4")->click();
    button("AdvSmoothButton1")->click();
    button("AdvSmoothButton4")->click();
    const auto lines = screen->findChildren<TfrmChartLine*>();
    ASSERT_EQ(lines.size(), 2);   // several at once
    EXPECT_EQ(lines[0]->fReportType, "Weekly");
    EXPECT_EQ(lines[0]->ReportCount, 2);
    EXPECT_EQ(lines[0]->chartData().values.size(), 3);   // the leading zero and the two rows shown
    const auto pies = screen->findChildren<TfrmChartCircle*>();
    ASSERT_EQ(pies.size(), 1);
    EXPECT_EQ(pies[0]->chartData().pieSlots.size(), 2);
    EXPECT_TRUE(screen->isEnabled());   // the status screen stays usable
    lines[0]->close();
    QTest::qWait(10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(screen->findChildren<TfrmChartLine*>().size(), 1);   // destroyed when closed
}

TEST_F(ConsumptionViewsTest, TitleMarkersSortTheShownTableByEveryMarkedColumn)
{
    scriptRefresh(JsonText({ReportRowObject(1)}),
                  PeriodRowsJson({{"1402/05/17", "1402/05/17", 0, 20}, {"1402/05/16", "1402/05/16", 0, 30},
                                  {"1402/05/15", "1402/05/15", 0, 20}, {"1402/05/14", "1402/05/14", 0, 10}}),
                  kWeekly);
    refreshSerial();
    auto column = [this](int c) {
        QStringList texts;
        for (int r = 0; r < grid()->rowCount(); ++r)
            texts << grid()->cellText(r, c);
        return texts;
    };
    grid()->setSortMarkers({{4, true}});   // Consumed, descending
    EXPECT_EQ(column(4), (QStringList{"30", "20", "20", "10"}));
    grid()->setSortMarkers({{4, false}, {0, false}});   // then FromDate among equals
    EXPECT_EQ(column(4), (QStringList{"10", "20", "20", "30"}));
    EXPECT_EQ(column(0).mid(1, 2), (QStringList{"1402/05/15", "1402/05/17"}));
    // Another view starts unmarked, in its table's order, and its markers order it alone.
    find<QToolButton>("AdvSmoothButton2")->click();
    EXPECT_TRUE(grid()->sortMarkers().isEmpty());
    EXPECT_EQ(column(4), (QStringList{"110", "100", "300", "50"}));
    grid()->setSortMarkers({{4, false}});
    EXPECT_EQ(column(4), (QStringList{"50", "100", "110", "300"}));
    find<QToolButton>("btnShowDaily")->click();
    EXPECT_EQ(column(4), (QStringList{"20", "30", "20", "10"}));
    // The average does not depend on the order.
    EXPECT_EQ(average(), QStringLiteral("20 ") + T::Litre);
}
