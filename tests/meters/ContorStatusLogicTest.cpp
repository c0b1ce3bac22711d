// The status screen's rules without a window: battery and valve texts, the latest-report row,
// gauges on a fixed calendar, the average, the date filter and row navigation.
#include "meters/ContorStatusLogic.h"
#include "meters/ContorStatusTexts.h"
#include "core/widgets/SolarDateEdit.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace ContorStatus;
namespace T = ContorStatusText;

namespace {

ConsumptionRow Row(const QString& from, const QString& to, qint32 min, qint32 max)
{
    ConsumptionRow r;
    r.FromDate = from;
    r.ToDate = to;
    r.MinWentVolume = min;
    r.MaxWentVolume = max;
    r.DataReceiveCount = QStringLiteral("1");
    return r;
}

QJsonObject ReportRow()
{
    return QJsonDocument::fromJson(R"({"WentVolume": 1200, "ReturnVolume": 3, "DailyFlowMax": "1.5",
        "WorkHours": 77, "FluidTemperature": "18.5", "BatteryVoltage": "3.5", "SolenoidValveStatus": "5501",
        "ErrorCode": "0003", "SNR": 9, "RSSI": -71, "ReceveShamsiDate": "1402/05/17", "ReceveTime": "10:42:00"})")
        .object();
}

}  // namespace

TEST(ContorStatusLogic, BatteryPercentInSinglePrecision)
{
    struct Case { double volts; const char* text; };
    const Case cases[] = {
        {2.79, "0"}, {2.8, "0"}, {2.9, "13"}, {3.2, "50"}, {3.5, "87"}, {3.6, "100"}, {3.61, "100"},
        {0.0, "0"}, {-1.0, "0"}, {12.0, "100"}, {std::nan(""), "0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BatteryPercentText(c.volts), QString::fromLatin1(c.text)) << c.volts;
}

TEST(ContorStatusLogic, ValveTextFromFirstTwoCharacters)
{
    struct Case { const char* status; bool open; };
    const Case cases[] = {{"55", true}, {"5501", true}, {"5", false}, {"00", false}, {"", false}, {"AA", false}, {" 55", false}};
    for (const Case& c : cases)
        EXPECT_EQ(ValveText(QString::fromLatin1(c.status)), c.open ? T::ValveOpen : T::ValveClosed) << c.status;
}

TEST(ContorStatusLogic, MeterChoiceNeedsFifteenCharactersOrAContract)
{
    EXPECT_FALSE(ChosenMeter(true, QString(14, QLatin1Char('1')), QString()));
    EXPECT_FALSE(ChosenMeter(true, QString(16, QLatin1Char('1')), QString()));
    const auto serial = ChosenMeter(true, QStringLiteral("abc 12345678901"), QStringLiteral("77"));
    ASSERT_TRUE(serial);
    EXPECT_EQ(serial->kind, KeyKind::Serial);
    EXPECT_EQ(serial->value, QStringLiteral("abc 12345678901"));
    EXPECT_FALSE(ChosenMeter(false, QString(15, QLatin1Char('1')), QString()));
    const auto contract = ChosenMeter(false, QString(), QStringLiteral("C-7"));
    ASSERT_TRUE(contract);
    EXPECT_EQ(contract->kind, KeyKind::ContractNo);
    EXPECT_EQ(MeterRequestBody(*contract).toJson(), QByteArray(R"({"contract_no":"C-7"})"));
    EXPECT_EQ(MeterRequestBody(*serial).toJson(), QByteArray(R"({"serial":"abc 12345678901"})"));
}

TEST(ContorStatusLogic, ReportRowFillsBoxesInReadOrder)
{
    QStringList order;
    QMap<QString, QString> shown;
    const LastReportTail tail = ReadLastReportRow(ReportRow(), [&](const QString& box, const QString& text) {
        order << box;
        shown[box] = text;
    });
    EXPECT_EQ(order, LastReportBoxes.mid(0, 11));
    EXPECT_EQ(tail.batteryVoltage, 3.5);
    EXPECT_EQ(tail.solenoidValveStatus, "5501");
    EXPECT_EQ(shown["edtWentVolume"], "1200");
    EXPECT_EQ(shown["edtRSSI"], "-71");
    EXPECT_EQ(shown["edtBatteryVoltage"], "3.5");
    EXPECT_EQ(shown["edtReceveTime"], "10:42:00");
}

TEST(ContorStatusLogic, BrokenReportRowKeepsWhatWasReadBeforeIt)
{
    struct Case { const char* key; QJsonValue value; int boxesBefore; };
    const Case cases[] = {
        {"WentVolume", QJsonValue(), 0},                        // missing first key: nothing shown
        {"BatteryVoltage", QJsonValue("no volts"), 6},           // text read succeeds, number read fails
        {"SNR", QJsonValue("x"), 7},
        {"ReceveTime", QJsonValue(), 10},
    };
    for (const Case& c : cases) {
        QJsonObject row = ReportRow();
        if (c.value.isUndefined() || c.value.isNull())
            row.remove(QLatin1String(c.key));
        else
            row[QLatin1String(c.key)] = c.value;
        QStringList order;
        EXPECT_THROW(ReadLastReportRow(row, [&](const QString& box, const QString&) { order << box; }), JsonFieldError) << c.key;
        EXPECT_EQ(order, LastReportBoxes.mid(0, c.boxesBefore)) << c.key;
    }
}

TEST(ContorStatusLogic, GaugesRecogniseTheCurrentPeriodOnly)
{
    const QString today = QStringLiteral("1402/05/17");
    struct Case { Period period; const char* toDate; bool filled; };
    const Case cases[] = {
        {Period::Daily, "1402/05/17", true},   {Period::Daily, "1402/05/16", true},
        {Period::Daily, "1402/05/15", false},  {Period::Weekly, "1402/05/17", true},
        {Period::Weekly, "1402/05/16", false}, {Period::Monthly, "1402/05/01", true},
        {Period::Monthly, "1402/05/17", false}, {Period::Monthly, "1402/04/01", false},
    };
    for (const Case& c : cases) {
        const ConsumptionRows rows = {Row("1402/05/10", QString::fromLatin1(c.toDate), 100, 1340), Row("1402/05/01", today, 0, 1)};
        const GaugeReading g = GaugeReadingFor(c.period, rows, today);
        EXPECT_EQ(g.filled, c.filled) << int(c.period) << c.toDate;
        if (c.filled) {
            EXPECT_EQ(g.value, 1240);
            EXPECT_EQ(g.valueText, QStringLiteral("1240") + T::GaugeValueSuffix);
            EXPECT_EQ(g.dateText, T::GaugeDatePrefix + "1402/05/10" + T::GaugeDateJoin + c.toDate);
        } else {
            EXPECT_EQ(g.value, 0);
            EXPECT_EQ(g.valueText, QStringLiteral("0"));
            EXPECT_TRUE(g.dateText.isEmpty());
        }
    }
    EXPECT_FALSE(GaugeReadingFor(Period::Daily, {}, today).filled);
    // Yesterday across a month and a year boundary comes from the calendar, not from the digits.
    EXPECT_TRUE(IsCurrentPeriod(Period::Daily, "1402/04/31", "1402/05/01"));
    EXPECT_TRUE(IsCurrentPeriod(Period::Daily, "1402/12/29", "1403/01/01"));
}

TEST(ContorStatusLogic, AverageTruncatesAndCountsNegativeConsumption)
{
    struct Case { std::vector<std::pair<qint32, qint32>> minMax; qint64 average; };
    const Case cases[] = {
        {{{0, 10}, {0, 11}, {0, 12}}, 11},
        {{{0, 1}, {0, 2}}, 1},
        {{}, 0},
        {{{0, 1000}, {500, 300}}, 400},   // -200 lowers the average
        {{{0, -3}, {0, 0}}, -1},          // toward zero, not toward minus infinity
        // Sums beyond 32 bits must not wrap.
        {{{0, 2000000000}, {0, 2000000000}, {0, 2000000000}}, 2000000000},
    };
    for (const Case& c : cases) {
        ConsumptionRows rows;
        for (auto [min, max] : c.minMax)
            rows << Row("1402/01/01", "1402/01/01", min, max);
        EXPECT_EQ(AverageConsumed(rows), c.average);
    }
    EXPECT_EQ(AverageText(11), QStringLiteral("11 ") + T::Litre);
    EXPECT_EQ(AverageText(0), QStringLiteral("0 ") + T::Litre);
}

TEST(ContorStatusLogic, DateFilterFillsEmptyBoxesAndRefusesAReversedRange)
{
    const QString today = QStringLiteral("1402/05/17");
    const DateFilterRequest empty = RequestDateFilter({}, {}, today);
    EXPECT_EQ(empty.fromText, "1402/01/01");
    EXPECT_EQ(empty.toText, today);
    ASSERT_TRUE(empty.filter);
    EXPECT_EQ(*empty.filter, (DateFilter{"1402/01/01", today}));

    const DateFilterRequest reversed = RequestDateFilter("1402/06/01", "1402/05/01", today);
    EXPECT_FALSE(reversed.filter);
    EXPECT_EQ(reversed.fromText, "1402/06/01");
    EXPECT_TRUE(RequestDateFilter("1402/05/01", "1402/05/01", today).filter);

}

TEST(ContorStatusLogic, DateBoxTidiedOnLeaving)
{
    EXPECT_EQ(TidySolarDateText(QString()), QString());
    EXPECT_EQ(TidySolarDateText("1402/5/7"), "1402/05/07");
    EXPECT_EQ(TidySolarDateText("14x2/5/7"), "14x2/5/7");
    EXPECT_EQ(TidySolarDateText("1402"), "1402");   // never replaced by a non-date
}

TEST(ContorStatusLogic, PeriodMethodsAndCaptions)
{
    EXPECT_EQ(ConsumptionMethod(Period::Weekly, KeyKind::ContractNo), Method::get_consumed_list_weekly_by_contractno);
    EXPECT_EQ(ConsumptionMethod(Period::Monthly, KeyKind::Serial), Method::get_consumed_list_monthly_by_serial);
    EXPECT_EQ(ReportTypeName(Period::Weekly), "Weekly");
    EXPECT_EQ(GaugeMaximum(Period::Monthly), 500000);
    EXPECT_EQ(UpdatedText("1402/05/17", "10:42"), T::UpdatedDatePrefix + "1402/05/17" + T::UpdatedTimePrefix + "10:42");
}
