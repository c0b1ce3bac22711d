// The chart windows as an operator meets them: non-blocking, several at once, gone when closed or
// with their owner, and drawing what the chart data says.

#include "MeterViewsFixtures.h"
#include "meters/untChartCircle.h"
#include "meters/untChartLine.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPieSeries>
#include <QPointer>
#include <QTest>
#include <QValueAxis>
#include <gtest/gtest.h>

namespace {

void ProcessDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class ChartWindows : public ::testing::Test {
protected:
    void TearDown() override { delete owner; ProcessDeferredDeletes(); }

    QWidget* owner = new QWidget;
    ConsumptionRows daily = MakeConsumptionRows(40, 1);
    ConsumptionRows weekly = MakeConsumptionRows(3, 7);
    ConsumptionRows monthly = MakeConsumptionRows(12, 30);
};

TEST_F(ChartWindows, NothingOpensForAnEmptyView)
{
    EXPECT_EQ(TfrmChartLine::Open(owner, ReportTypeDaily, 0, daily, weekly, monthly), nullptr);
    EXPECT_EQ(TfrmChartCircle::Open(owner, ReportTypeDaily, 0, daily, weekly, monthly), nullptr);
    EXPECT_TRUE(owner->findChildren<TfrmChartLine*>().isEmpty());
    EXPECT_TRUE(owner->findChildren<TfrmChartCircle*>().isEmpty());
}

TEST_F(ChartWindows, LineWindowDrawsTheDailyLineWithItsHeadingAndWindow)
{
    TfrmChartLine* w = TfrmChartLine::Open(owner, ReportTypeDaily, 40, daily, weekly, monthly);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->isWindow());
    EXPECT_EQ(w->windowModality(), Qt::NonModal);
    EXPECT_TRUE(w->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("نمودار خطی"));

    auto* heading = w->findChild<QLabel*>(QStringLiteral("lblReportType"));
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->text(), QStringLiteral("نمودار مصرف آب یک ماه گذشته به تفکیک روز ") + QLatin1String(" ") + QStringLiteral("از مورخ ") + QLatin1String("1403/04/23 ") + QStringLiteral("تا مورخ ") + QLatin1String("1403/05/31"));

    auto* view = w->findChild<QChartView*>(QStringLiteral("AdvChartView1"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->chart()->title(), QStringLiteral("نمودار روزانه مصرف آب"));
    EXPECT_FALSE(view->chart()->legend()->isVisible());
    ASSERT_EQ(view->chart()->series().size(), 1);
    auto* line = qobject_cast<QLineSeries*>(view->chart()->series().first());
    ASSERT_NE(line, nullptr);
    ASSERT_EQ(line->count(), 41);
    EXPECT_EQ(line->at(0), QPointF(0, 0));
    EXPECT_EQ(line->at(1), QPointF(1, daily[0].Consumed()));
    EXPECT_EQ(line->at(40), QPointF(40, daily[39].Consumed()));
    EXPECT_TRUE(line->pointsVisible());

    const auto horizontal = view->chart()->axes(Qt::Horizontal);
    ASSERT_EQ(horizontal.size(), 1);
    auto* x = qobject_cast<QValueAxis*>(horizontal.first());
    ASSERT_NE(x, nullptr);
    // Positions 1 to 31 in view, the leading zero and position 32 outside.
    EXPECT_LT(x->min(), 1);
    EXPECT_GT(x->min(), 0);
    EXPECT_GT(x->max(), 31);
    EXPECT_LT(x->max(), 32);
    const auto vertical = view->chart()->axes(Qt::Vertical);
    ASSERT_EQ(vertical.size(), 1);
    EXPECT_EQ(vertical.first()->titleText(), QStringLiteral("میزان مصرف"));
}

TEST_F(ChartWindows, TheDailyWindowScrollsOverTheOlderDaysAndNoFurther)
{
    TfrmChartLine* w = TfrmChartLine::Open(owner, ReportTypeDaily, 40, daily, weekly, monthly);
    ASSERT_NE(w, nullptr);
    auto* view = w->findChild<QChartView*>(QStringLiteral("AdvChartView1"));
    auto* x = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).first());
    const double span = x->max() - x->min();

    QTest::keyClick(view, Qt::Key_PageDown);
    QTest::keyClick(view, Qt::Key_PageDown);
    EXPECT_DOUBLE_EQ(x->max() - x->min(), span);
    EXPECT_GT(x->max(), 40);    // the oldest day is in view
    EXPECT_LT(x->max(), 41);    // and nothing past it

    QTest::keyClick(view, Qt::Key_PageUp);
    QTest::keyClick(view, Qt::Key_PageUp);
    EXPECT_GT(x->min(), 0);     // back at the most recent day, the leading zero still outside
    EXPECT_LT(x->min(), 1);
}

TEST_F(ChartWindows, UnknownPeriodKindKeepsTheInitialHeadingAndDrawsNothing)
{
    auto* w = new TfrmChartLine(owner);
    w->fReportType = QStringLiteral("daily");
    w->ReportCount = 40;
    w->SetSourceTables(daily, weekly, monthly);
    w->show();
    EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("lblReportType"))->text(), QStringLiteral("نوع نمودار خطی"));
    EXPECT_TRUE(w->findChild<QChartView*>(QStringLiteral("AdvChartView1"))->chart()->series().isEmpty());
}

TEST_F(ChartWindows, PieWindowFillsThreeSlotsAndHidesTheRest)
{
    TfrmChartCircle* w = TfrmChartCircle::Open(owner, ReportTypeWeekly, 3, daily, weekly, monthly);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowModality(), Qt::NonModal);
    EXPECT_TRUE(w->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("نمودار دایره ای"));
    EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("lblReportType"))->text(),
              QStringLiteral("نمودار دایره ای مصرف آب به تفکیک هفته ") + QLatin1String(" ") + QStringLiteral("از مورخ ") + QLatin1String("1403/05/11 ") + QStringLiteral("تا مورخ ") + QLatin1String("1403/05/31"));

    for (int k = 1; k <= 7; ++k) {
        auto* lbl = w->findChild<QLabel*>(QStringLiteral("lbl%1").arg(k));
        auto* edt = w->findChild<QLineEdit*>(QStringLiteral("edt%1").arg(k));
        ASSERT_NE(lbl, nullptr) << k;
        ASSERT_NE(edt, nullptr) << k;
        EXPECT_EQ(lbl->isVisible(), k <= 3) << k;
        EXPECT_EQ(edt->isVisible(), k <= 3) << k;
        EXPECT_TRUE(edt->isReadOnly());
        if (k <= 3) {
            EXPECT_EQ(lbl->text(), QStringLiteral(" از  ") + weekly[k - 1].FromDate + QStringLiteral("  تا  ") + weekly[k - 1].ToDate);
            EXPECT_EQ(edt->text(), QString::number(weekly[k - 1].Consumed()));
        } else {
            EXPECT_EQ(lbl->text(), QStringLiteral("راهنمای نمودار :"));
        }
    }
    auto* view = w->findChild<QChartView*>(QStringLiteral("AdvChartView1"));
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->chart()->series().size(), 1);
    auto* pie = qobject_cast<QPieSeries*>(view->chart()->series().first());
    ASSERT_NE(pie, nullptr);
    ASSERT_EQ(pie->count(), 3);
    EXPECT_EQ(pie->slices().at(2)->value(), weekly[2].Consumed());
    EXPECT_TRUE(pie->slices().at(0)->isLabelVisible());
    EXPECT_FALSE(view->chart()->legend()->isVisible());
}

TEST_F(ChartWindows, SeveralOpenAtOnceAndEachGoesWhenClosed)
{
    QPointer<TfrmChartLine> a = TfrmChartLine::Open(owner, ReportTypeDaily, 40, daily, weekly, monthly);
    QPointer<TfrmChartLine> b = TfrmChartLine::Open(owner, ReportTypeMonthly, 12, daily, weekly, monthly);
    QPointer<TfrmChartCircle> c = TfrmChartCircle::Open(owner, ReportTypeDaily, 40, daily, weekly, monthly);
    ASSERT_TRUE(a && b && c);
    // Opening one must not block: we got here with all three up at once.
    EXPECT_TRUE(a->isVisible() && b->isVisible() && c->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    a->close();
    ProcessDeferredDeletes();
    EXPECT_TRUE(a.isNull());
    EXPECT_FALSE(b.isNull());

    // The owner takes the rest with it.
    delete owner;
    owner = nullptr;
    EXPECT_TRUE(b.isNull());
    EXPECT_TRUE(c.isNull());
}

TEST_F(ChartWindows, AnOpenChartIgnoresLaterChangesOfTheOwnersRows)
{
    TfrmChartCircle* w = TfrmChartCircle::Open(owner, ReportTypeWeekly, 3, daily, weekly, monthly);
    ASSERT_NE(w, nullptr);
    w->SetSourceTables(daily, MakeConsumptionRows(1, 7), monthly);
    w->hide();
    w->show();
    EXPECT_TRUE(w->findChild<QLineEdit*>(QStringLiteral("edt3"))->isVisible());
    EXPECT_EQ(w->chartData().pieSlots.size(), 3);
}

}  // namespace
