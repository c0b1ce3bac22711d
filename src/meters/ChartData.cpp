#include "meters/ChartData.h"

namespace {

// The texts of the chart windows.
const QString kLineDaily = QStringLiteral("نمودار مصرف آب یک ماه گذشته به تفکیک روز ");
const QString kLineWeekly = QStringLiteral("نمودار مصرف آب به تفکیک هفته ");
const QString kLineMonthly = QStringLiteral("نمودار مصرف آب به تفکیک ماه ");
const QString kPieDaily = QStringLiteral("نمودار دایره ای مصرف آب به تفکیک روز ");
const QString kPieWeekly = QStringLiteral("نمودار دایره ای مصرف آب به تفکیک هفته ");
const QString kPieMonthly = QStringLiteral("نمودار دایره ای مصرف آب به تفکیک ماه ");
const QString kFromDated = QStringLiteral("از مورخ ");
const QString kToDated = QStringLiteral("تا مورخ ");
const QString kSlotFrom = QStringLiteral(" از  ");
const QString kSlotTo = QStringLiteral("  تا  ");

// The daily charts look at one month of days at a time.
constexpr int kDailyVisiblePositions = 31;
constexpr int kDailySlices = 7;
constexpr int kOtherSlices = 6;

// The one of three that a period kind names, matched exactly; `unknown` for any other kind.
template <typename T>
const T& ForReportType(const QString& reportType, const T& daily, const T& weekly, const T& monthly,
                       const T& unknown)
{
    if (reportType == ReportTypeDaily)
        return daily;
    if (reportType == ReportTypeWeekly)
        return weekly;
    if (reportType == ReportTypeMonthly)
        return monthly;
    return unknown;
}

const QString kNoHeading;

bool IsKnownType(const QString& reportType)
{
    return reportType == ReportTypeDaily || reportType == ReportTypeWeekly || reportType == ReportTypeMonthly;
}

}  // namespace

const ConsumptionRows& ChartRowsFor(const QString& reportType, const ConsumptionRows& daily,
                                    const ConsumptionRows& weekly, const ConsumptionRows& monthly)
{
    static const ConsumptionRows none;
    return ForReportType(reportType, daily, weekly, monthly, none);
}

QString LineChartHeading(const QString& reportType)
{
    return ForReportType(reportType, kLineDaily, kLineWeekly, kLineMonthly, kNoHeading);
}

QString PieChartHeading(const QString& reportType)
{
    return ForReportType(reportType, kPieDaily, kPieWeekly, kPieMonthly, kNoHeading);
}

QString ChartHeadingWithRange(const QString& heading, const QString& fromDate, const QString& toDate)
{
    return heading + QLatin1Char(' ') + kFromDated + fromDate + QLatin1Char(' ') + kToDated + toDate;
}

QString ChartPointLabel(double value)
{
    return QString::asprintf("%g", value);
}

LineChartData BuildLineChartData(const QString& reportType, int reportCount, const ConsumptionRows& rows)
{
    LineChartData data;
    if (!IsKnownType(reportType))
        return data;
    data.known = true;
    data.visibleFrom = 1;
    data.visibleTo = reportType == ReportTypeDaily ? kDailyVisiblePositions : reportCount;

    data.values.reserve(rows.size() + 1);
    data.values.append(0.0);
    for (const ConsumptionRow& row : rows)
        data.values.append(double(row.Consumed()));

    const QString from = rows.isEmpty() ? QString() : rows.last().FromDate;
    const QString to = rows.isEmpty() ? QString() : rows.first().ToDate;
    data.heading = ChartHeadingWithRange(LineChartHeading(reportType), from, to);
    return data;
}

PieChartData BuildPieChartData(const QString& reportType, const ConsumptionRows& rows)
{
    PieChartData data;
    if (!IsKnownType(reportType))
        return data;
    data.known = true;

    const int limit = reportType == ReportTypeDaily ? kDailySlices : kOtherSlices;
    const int n = qMin(int(rows.size()), limit);
    data.pieSlots.reserve(n);
    for (int i = 0; i < n; ++i) {
        const ConsumptionRow& row = rows.at(i);
        PieSlot slot;
        slot.label = kSlotFrom + row.FromDate + kSlotTo + row.ToDate;
        slot.consumed = row.Consumed();
        slot.box = QString::number(slot.consumed);
        data.pieSlots.append(slot);
    }

    const QString from = n > 0 ? rows.at(n - 1).FromDate : QString();
    const QString to = rows.isEmpty() ? QString() : rows.first().ToDate;
    data.heading = ChartHeadingWithRange(PieChartHeading(reportType), from, to);
    return data;
}
