#include "meters/ContorStatusLogic.h"

#include "calendar/DateProc.h"
#include "meters/ContorStatusTexts.h"

#include <cmath>

namespace ContorStatus {

namespace T = ContorStatusText;

std::optional<MeterKey> ChosenMeter(bool bySerial, const QString& serialText, const QString& contractText)
{
    if (bySerial) {
        if (serialText.size() == SerialLength)
            return MeterKey{KeyKind::Serial, serialText};
        return std::nullopt;
    }
    if (!contractText.isEmpty())
        return MeterKey{KeyKind::ContractNo, contractText};
    return std::nullopt;
}

JsonBody MeterRequestBody(const MeterKey& key)
{
    JsonBody body;
    body.add(key.kind == KeyKind::Serial ? QStringLiteral("serial") : QStringLiteral("contract_no"), key.value);
    return body;
}

QString LastReportMethod(KeyKind kind)
{
    return kind == KeyKind::Serial ? Method::get_last_log_by_serial : Method::get_last_log_by_contractno;
}

const QStringList LastReportBoxes = {
    QStringLiteral("edtWentVolume"),     QStringLiteral("edtReturnVolume"),     QStringLiteral("edtDailyFlowMax"),
    QStringLiteral("edtWorkHours"),      QStringLiteral("edtFluidTemperature"), QStringLiteral("edtBatteryVoltage"),
    QStringLiteral("edtErrorCode"),      QStringLiteral("edtSNR"),              QStringLiteral("edtRSSI"),
    QStringLiteral("edtReceiveDate"),    QStringLiteral("edtReceveTime"),       QStringLiteral("edtPercent"),
    QStringLiteral("edtSolenoidValveStatus"),
};

LastReportTail ReadLastReportRow(const QJsonValue& row, const std::function<void(const QString&, const QString&)>& show)
{
    using namespace ReadJsonField;
    show(QStringLiteral("edtWentVolume"), QString::number(AsInteger(row, QStringLiteral("WentVolume"))));
    show(QStringLiteral("edtReturnVolume"), QString::number(AsInteger(row, QStringLiteral("ReturnVolume"))));
    show(QStringLiteral("edtDailyFlowMax"), AsString(row, QStringLiteral("DailyFlowMax")));
    show(QStringLiteral("edtWorkHours"), QString::number(AsInteger(row, QStringLiteral("WorkHours"))));
    show(QStringLiteral("edtFluidTemperature"), AsString(row, QStringLiteral("FluidTemperature")));
    show(QStringLiteral("edtBatteryVoltage"), AsString(row, QStringLiteral("BatteryVoltage")));
    LastReportTail tail;
    tail.batteryVoltage = AsFloat(row, QStringLiteral("BatteryVoltage"));
    tail.solenoidValveStatus = AsString(row, QStringLiteral("SolenoidValveStatus"));
    show(QStringLiteral("edtErrorCode"), AsString(row, QStringLiteral("ErrorCode")));
    show(QStringLiteral("edtSNR"), QString::number(AsInteger(row, QStringLiteral("SNR"))));
    show(QStringLiteral("edtRSSI"), QString::number(AsInteger(row, QStringLiteral("RSSI"))));
    show(QStringLiteral("edtReceiveDate"), AsString(row, QStringLiteral("ReceveShamsiDate")));
    show(QStringLiteral("edtReceveTime"), AsString(row, QStringLiteral("ReceveTime")));
    return tail;
}

QString BatteryPercentText(double voltage)
{
    // The meters measure in single precision; the limits are compared in extended precision, so
    // 2.8 V (2.79999995 as a float) counts as empty while 3.6 V (3.59999990) is still computed.
    const float v = static_cast<float>(voltage);
    const long double lv = v;
    if (std::isnan(v) || lv < 2.8L)
        return QStringLiteral("0");
    if (lv > 3.6L)
        return QStringLiteral("100");
    const float p = static_cast<float>(lv - 2.8L);
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const long double percent = std::nearbyint(static_cast<long double>(p) * 100.0L / 0.8L);
    return QString::number(static_cast<qint64>(percent));
}

QString ValveText(const QString& solenoidValveStatus)
{
    return solenoidValveStatus.left(2) == QLatin1String("55") ? T::ValveOpen : T::ValveClosed;
}

QString UpdatedText(const QString& todaySolar, const QString& timeText)
{
    return T::UpdatedDatePrefix + todaySolar + T::UpdatedTimePrefix + timeText;
}

QString ConsumptionMethod(Period period, KeyKind kind)
{
    const bool bySerial = kind == KeyKind::Serial;
    switch (period) {
    case Period::Daily:
        return bySerial ? Method::get_consumed_list_daily_by_serial : Method::get_consumed_list_daily_by_contractno;
    case Period::Weekly:
        return bySerial ? Method::get_consumed_list_weekly_by_serial : Method::get_consumed_list_weekly_by_contractno;
    case Period::Monthly:
        break;
    }
    return bySerial ? Method::get_consumed_list_monthly_by_serial : Method::get_consumed_list_monthly_by_contractno;
}

QString ReportTypeName(Period period)
{
    switch (period) {
    case Period::Daily: return ReportTypeDaily;
    case Period::Weekly: return ReportTypeWeekly;
    case Period::Monthly: break;
    }
    return ReportTypeMonthly;
}

QString AverageCaption(Period period)
{
    switch (period) {
    case Period::Daily: return T::DailyAverageCaption;
    case Period::Weekly: return T::WeeklyAverageCaption;
    case Period::Monthly: break;
    }
    return T::MonthlyAverageCaption;
}

double GaugeMaximum(Period period)
{
    switch (period) {
    case Period::Daily: return 5000;
    case Period::Weekly: return 50000;
    case Period::Monthly: break;
    }
    return 500000;
}

ConsumptionRow ReadConsumptionRow(const QJsonValue& row)
{
    using namespace ReadJsonField;
    ConsumptionRow r;
    r.FromDate = AsString(row, QStringLiteral("FromShamsiDate"));
    r.ToDate = AsString(row, QStringLiteral("ToShamsiDate"));
    r.MinWentVolume = AsInteger(row, QStringLiteral("MinWentVolume"));
    r.MaxWentVolume = AsInteger(row, QStringLiteral("MaxWentVolume"));
    r.DataReceiveCount = QString::number(AsInteger(row, QStringLiteral("DataReceiveCount")));
    return r;
}

bool IsCurrentPeriod(Period period, const QString& toDate, const QString& todaySolar)
{
    switch (period) {
    case Period::Daily:
        return toDate == todaySolar || toDate == DateProc::AddDaysToSolarDate(todaySolar, -1);
    case Period::Weekly:
        return toDate == todaySolar;
    case Period::Monthly:
        break;
    }
    return toDate == todaySolar.left(7) + QStringLiteral("/01");
}

GaugeReading GaugeReadingFor(Period period, const ConsumptionRows& rows, const QString& todaySolar)
{
    GaugeReading reading;
    if (rows.isEmpty())
        return reading;
    const ConsumptionRow& newest = rows.first();
    if (!IsCurrentPeriod(period, newest.ToDate, todaySolar))
        return reading;
    reading.filled = true;
    reading.value = newest.Consumed();
    reading.dateText = T::GaugeDatePrefix + newest.FromDate + T::GaugeDateJoin + newest.ToDate;
    reading.valueText = QString::number(newest.Consumed()) + T::GaugeValueSuffix;
    return reading;
}

qint64 AverageConsumed(const ConsumptionRows& rows)
{
    if (rows.isEmpty())
        return 0;
    qint64 sum = 0;
    for (const ConsumptionRow& row : rows)
        sum += row.Consumed();
    return sum / rows.size();   // C++ integer division truncates toward zero
}

QString AverageText(qint64 average)
{
    return QString::number(average) + QLatin1Char(' ') + T::Litre;
}

QString CountText(int rows)
{
    return T::CountPrefix + QString::number(rows);
}

QString YearStart(const QString& todaySolar)
{
    return todaySolar.left(5) + QStringLiteral("01/01");
}

DateFilterRequest RequestDateFilter(const QString& fromText, const QString& toText, const QString& todaySolar)
{
    DateFilterRequest request;
    request.fromText = fromText.isEmpty() ? YearStart(todaySolar) : fromText;
    request.toText = toText.isEmpty() ? todaySolar : toText;
    if (QString::compare(request.fromText, request.toText, Qt::CaseSensitive) <= 0)
        request.filter = DateFilter{request.fromText, request.toText};
    return request;
}

}  // namespace ContorStatus
