// The Solar Hijri date picker: typing and tidying, the month grid and choosing a day.

#include "MeterViewsFixtures.h"
#include "calendar/DateProc.h"
#include "core/widgets/SolarDateEdit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// 24 March 2024 is 1403/01/05, a Sunday.
class SolarDateEditOnFixedDay : public ::testing::Test {
protected:
    void SetUp() override { DateProc::SetFixedNow(QDateTime(QDate(2024, 3, 24), QTime(10, 0))); }
    void TearDown() override { DateProc::ResetClock(); }
};

TEST(TidySolarDateText, NormalisesDatesAndKeepsWhatItCannotRead)
{
    const std::pair<const char*, const char*> cases[] = {
        {"14020105", "1402/01/05"},
        {"1403/1/5", "1403/01/05"},
        {"99/1/1", "1399/01/01"},
        {"1403/12/30", "1403/12/30"},
        {"", ""},
        // Not dates: shown as typed, so the operator sees what to correct.
        {"1402", "1402"},          // the normalisation would make this "//"
        {"1402/05", "1402/05"},
        {"1402/ab/01", "1402/ab/01"},   // the normalisation raises here
        {"1402/00/05", "1402/00/05"},
        {"1402/12/30", "1402/12/30"},   // no Esfand 30 in 1402
        {"/05/01", "/05/01"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TidySolarDateText(QString::fromLatin1(c.first)), QString::fromLatin1(c.second)) << c.first;
}

TEST(SolarMonthLayout, FirstWeekdayColumnAndLength)
{
    const struct {
        int year, month, firstColumn, days;
    } cases[] = {
        {1403, 1, 4, 31},    // Wednesday
        {1404, 1, 6, 31},    // Friday
        {1402, 10, 6, 30},   // 1402/10/24 is a Sunday, so the 1st is a Friday
        {1403, 7, 1, 30},
        {1403, 12, 4, 30},   // leap year: Esfand has 30 days
        {1402, 12, 3, 29},
    };
    for (const auto& c : cases) {
        const SolarMonthGrid g = SolarMonthLayout(c.year, c.month);
        EXPECT_EQ(g.firstColumn, DateProc::SolarWeekdayIndex(c.year, c.month, 1));
        EXPECT_EQ(g.firstColumn, c.firstColumn) << c.year << "/" << c.month;
        EXPECT_EQ(g.dayCount, c.days) << c.year << "/" << c.month;
    }
}

TEST(StepSolarMonth, CrossesYearEnds)
{
    int y = 1402, m = 12;
    StepSolarMonth(y, m, 1);
    EXPECT_EQ(std::make_pair(y, m), std::make_pair(1403, 1));
    StepSolarMonth(y, m, -1);
    EXPECT_EQ(std::make_pair(y, m), std::make_pair(1402, 12));
    StepSolarMonth(y, m, -12);
    EXPECT_EQ(std::make_pair(y, m), std::make_pair(1401, 12));
}

TEST_F(SolarDateEditOnFixedDay, TypingIsTidiedWhenTheOperatorPressesEnter)
{
    TSolarDateEdit edit;
    edit.show();
    QSignalSpy finished(&edit, &TSolarDateEdit::editingFinished);
    QTest::keyClicks(edit.lineEdit(), QStringLiteral("14030105"));
    QTest::keyClick(edit.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(edit.text(), QStringLiteral("1403/01/05"));
    EXPECT_TRUE(edit.hasAcceptableText());
    EXPECT_GE(finished.count(), 1);
}

TEST_F(SolarDateEditOnFixedDay, UnreadableTypingStaysAndIsMarked)
{
    TSolarDateEdit edit;
    edit.show();
    QTest::keyClicks(edit.lineEdit(), QStringLiteral("1402/ab/01"));
    QTest::keyClick(edit.lineEdit(), Qt::Key_Return);   // must not throw out of the handler
    EXPECT_EQ(edit.text(), QStringLiteral("1402/ab/01"));
    EXPECT_FALSE(edit.hasAcceptableText());

    edit.setText(QString());
    EXPECT_TRUE(edit.hasAcceptableText());
}

TEST_F(SolarDateEditOnFixedDay, PopupShowsTheBoxMonthWithTodayAndTheValueMarked)
{
    TSolarDateEdit edit;
    edit.setLayoutDirection(Qt::RightToLeft);
    edit.setText(QStringLiteral("1403/01/05"));
    edit.show();
    QTest::mouseClick(edit.dropButton(), Qt::LeftButton);

    TSolarCalendarPopup* popup = edit.popup();
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->findChild<QLabel*>(QStringLiteral("lblMonthTitle"))->text(), QStringLiteral("فروردين") + QLatin1String(" 1403"));

    // Weeks start on Saturday, at the right; 1403/01/01 is a Wednesday and sits under its heading.
    auto* saturday = popup->findChild<QLabel*>(QStringLiteral("lblWeekday0"));
    auto* friday = popup->findChild<QLabel*>(QStringLiteral("lblWeekday6"));
    auto* wednesday = popup->findChild<QLabel*>(QStringLiteral("lblWeekday4"));
    ASSERT_TRUE(saturday && friday && wednesday);
    EXPECT_EQ(saturday->text(), DateProc::SolarWeekdayNames[0].left(1));
    EXPECT_GT(saturday->x(), friday->x());
    QPushButton* first = popup->dayButton(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->geometry().center().x(), wednesday->geometry().center().x());
    EXPECT_NE(popup->dayButton(31), nullptr);
    EXPECT_EQ(popup->dayButton(32), nullptr);

    EXPECT_TRUE(popup->dayButton(5)->property("today").toBool());
    EXPECT_TRUE(popup->dayButton(5)->property("selected").toBool());
    EXPECT_FALSE(popup->dayButton(6)->property("today").toBool());
}

TEST_F(SolarDateEditOnFixedDay, ChoosingADayInAnotherMonthSetsTheText)
{
    TSolarDateEdit edit;
    edit.setText(QStringLiteral("1403/01/05"));
    edit.show();
    QSignalSpy chosen(&edit, &TSolarDateEdit::dateChosen);
    edit.showPopup();
    TSolarCalendarPopup* popup = edit.popup();

    QTest::mouseClick(popup->findChild<QToolButton*>(QStringLiteral("btnPrevMonth")), Qt::LeftButton);
    EXPECT_EQ(popup->headerText(), QStringLiteral("اسفند") + QLatin1String(" 1402"));
    EXPECT_NE(popup->dayButton(29), nullptr);
    EXPECT_EQ(popup->dayButton(30), nullptr);   // 1402 is no leap year
    EXPECT_FALSE(popup->dayButton(5)->property("selected").toBool());

    QTest::mouseClick(popup->dayButton(17), Qt::LeftButton);
    EXPECT_EQ(edit.text(), QStringLiteral("1402/12/17"));
    EXPECT_FALSE(popup->isVisible());
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.first().first().toString(), QStringLiteral("1402/12/17"));

    // Two steps forward from Esfand 1402 reach Ordibehesht 1403.
    edit.showPopup();
    EXPECT_TRUE(popup->dayButton(17)->property("selected").toBool());
    QTest::mouseClick(popup->findChild<QToolButton*>(QStringLiteral("btnNextMonth")), Qt::LeftButton);
    QTest::mouseClick(popup->findChild<QToolButton*>(QStringLiteral("btnNextMonth")), Qt::LeftButton);
    EXPECT_EQ(popup->headerText(), QStringLiteral("ارديبهشت") + QLatin1String(" 1403"));
}

TEST_F(SolarDateEditOnFixedDay, PopupOfAnInvalidTextOpensOnTodaysMonthWithoutSelection)
{
    TSolarDateEdit edit;
    edit.setText(QStringLiteral("1402/ab/01"));
    edit.show();
    edit.showPopup();
    EXPECT_EQ(edit.popup()->shownYear(), 1403);
    EXPECT_EQ(edit.popup()->shownMonth(), 1);
    EXPECT_EQ(edit.text(), QStringLiteral("1402/ab/01"));
    for (int d = 1; d <= 31; ++d)
        EXPECT_FALSE(edit.popup()->dayButton(d)->property("selected").toBool()) << d;
}

TEST_F(SolarDateEditOnFixedDay, TypedCompactDateOpensOnItsMonth)
{
    TSolarDateEdit edit;
    edit.show();
    edit.lineEdit()->setText(QStringLiteral("14031220"));
    edit.showPopup();
    EXPECT_EQ(edit.text(), QStringLiteral("1403/12/20"));
    EXPECT_EQ(edit.popup()->headerText(), QStringLiteral("اسفند") + QLatin1String(" 1403"));
    EXPECT_NE(edit.popup()->dayButton(30), nullptr);   // leap year
}

}  // namespace
