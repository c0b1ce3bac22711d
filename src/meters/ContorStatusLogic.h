#pragma once
// The rules of the meter status screen that need no window: which meter a refresh asks for and
// with which requests, how a latest-report row becomes box texts, the battery and valve texts,
// the gauges of the newest periods, the average and the date filter of the consumption views.
// The window only moves these results into its controls.

#include "core/untDm.h"
#include "meters/ConsumptionData.h"

#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace ContorStatus {

// --- the meter choice -------------------------------------------------------------------------

// How the operator named the meter.
enum class KeyKind { Serial, ContractNo };

// The meter one refresh is for.
struct MeterKey {
    KeyKind kind = KeyKind::Serial;
    QString value;
    bool operator==(const MeterKey& other) const { return kind == other.kind && value == other.value; }
    bool operator!=(const MeterKey& other) const { return !(*this == other); }
};

// A serial is any text of exactly 15 characters.
constexpr int SerialLength = 15;
// The key a refresh goes by, or nullopt when the choice asks for nothing (a serial of another
// length, an empty contract number).
std::optional<MeterKey> ChosenMeter(bool bySerial, const QString& serialText, const QString& contractText);

// The one-key request body of every method of the screen: {"serial": ..} or {"contract_no": ..}.
JsonBody MeterRequestBody(const MeterKey& key);
// The latest-report method for the key's kind.
QString LastReportMethod(KeyKind kind);

// --- the latest report --------------------------------------------------------------------

// Boxes of the latest-report panel, by object name, in the order a row fills them; the last two
// are computed from the row.
extern const QStringList LastReportBoxes;

// What a row leaves for the two computed boxes: the voltage read as a number and the valve status.
struct LastReportTail {
    double batteryVoltage = 0;
    QString solenoidValveStatus;
};

// Reads one row in the fixed order of its keys and hands each box text to `show` as soon as its
// key is read; the battery percentage and the valve text are the caller's, from the tail. A key
// that is missing or of the wrong type raises JsonFieldError at that point; the boxes handed over
// before it keep their new texts, which is why the texts are not collected first.
LastReportTail ReadLastReportRow(const QJsonValue& row, const std::function<void(const QString& box, const QString& text)>& show);

// Battery percentage of a voltage: single precision as the meters report it, "0" below 2.8 V or
// for no number, "100" above 3.6 V, linear in between with halves rounded to even.
QString BatteryPercentText(double voltage);
// "باز است" when the status begins with "55", "بسته است" for anything else.
QString ValveText(const QString& solenoidValveStatus);
// The label of the last refresh: date and time texts with the screen's prefixes.
QString UpdatedText(const QString& todaySolar, const QString& timeText);

// Interval of the repeated refresh, and the delay of the first one after the screen opens.
constexpr int RefreshIntervalMs = 30000;
constexpr int FirstRefreshDelayMs = 1000;

// --- consumption periods --------------------------------------------------------------------

enum class Period { Daily, Weekly, Monthly };
constexpr Period AllPeriods[] = {Period::Daily, Period::Weekly, Period::Monthly};

// The consumption method of a period for the key's kind.
QString ConsumptionMethod(Period period, KeyKind kind);
// "Daily", "Weekly" or "Monthly": the report type the chart windows receive.
QString ReportTypeName(Period period);
// The average label's caption in the period's view.
QString AverageCaption(Period period);
// Top of the period's gauge scale, in litres.
double GaugeMaximum(Period period);

// One reply row as a table row; raises JsonFieldError like every reader.
ConsumptionRow ReadConsumptionRow(const QJsonValue& row);

// What a period's gauge and its two labels show.
struct GaugeReading {
    double value = 0;
    QString dateText;               // empty unless filled
    QString valueText = QStringLiteral("0");
    bool filled = false;
};
// True when a period whose newest row ends on `toDate` is the current one: the daily row ends
// today or yesterday, the weekly row today, the monthly row on the first day of this month.
bool IsCurrentPeriod(Period period, const QString& toDate, const QString& todaySolar);
// The gauge after a load: the first row's consumption when that row is the current period,
// the reset reading otherwise (no rows included).
GaugeReading GaugeReadingFor(Period period, const ConsumptionRows& rows, const QString& todaySolar);

// Sum of Consumed in 64 bits divided by the row count, truncated toward zero; 0 for no rows.
qint64 AverageConsumed(const ConsumptionRows& rows);
// The average label: the number, a blank and the unit.
QString AverageText(qint64 average);
// The row-count label.
QString CountText(int rows);

// --- the date filter --------------------------------------------------------------------------

// The first day of today's Solar year: "yyyy/" of today and "01/01".
QString YearStart(const QString& todaySolar);

// One table's date filter: the rows whose FromDate is at or after `from` and whose ToDate is at
// or before `to`, both compared as texts (yyyy/mm/dd sorts like the dates, so the table's SQL
// condition compares them as stored).
struct DateFilter {
    QString from;
    QString to;
    bool operator==(const DateFilter& other) const { return from == other.from && to == other.to; }
};

// The outcome of pressing "apply": the date boxes as they end up, and the filter to set, or no
// filter when the start lies after the end (the old filter then stays).
struct DateFilterRequest {
    QString fromText;
    QString toText;
    std::optional<DateFilter> filter;
};
// Empty boxes become the year's first day and today; then the start must not come after the end.
DateFilterRequest RequestDateFilter(const QString& fromText, const QString& toText, const QString& todaySolar);

}  // namespace ContorStatus
