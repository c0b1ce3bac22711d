#pragma once
// What the client does with each server method: the gateway operation its screen calls it with,
// and every key the screen reads from a reply row together with the ReadJsonField reader it
// uses. A row passes when each of these reads succeeds, which is exactly what the screen needs
// to load it; a value the reader cannot convert fails, whatever JSON type it has.

#include "core/untDm.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QString>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace e2e {

// The ReadJsonField reader a screen applies to a key.
enum class Reader { Text, Integer, Real, SmallInt, Int64, DateTime, Boolean };
// The gateway operation a screen calls a method with.
enum class Call { PostRows, PostNoRows, Get };

// The keys of a row in the order the screen reads them, each with its reader.
using RowReads = std::vector<std::pair<const char*, Reader>>;

// One method as the client uses it.
struct MethodUse {
    QString method;
    Call call;
    RowReads reads;   // empty for a method whose reply rows are not read
};

// The reader's name in failure texts.
inline const char* readerName(Reader reader)
{
    switch (reader) {
    case Reader::Text: return "text";
    case Reader::Integer: return "integer";
    case Reader::Real: return "real";
    case Reader::SmallInt: return "small integer";
    case Reader::Int64: return "64-bit integer";
    case Reader::DateTime: return "date-time";
    case Reader::Boolean: return "Boolean";
    }
    return "?";
}

// Reads one key as the screen does; raises JsonFieldError as the reader does.
inline void readAs(const QJsonValue& row, const QString& key, Reader reader)
{
    switch (reader) {
    case Reader::Text: ReadJsonField::AsString(row, key); break;
    case Reader::Integer: ReadJsonField::AsInteger(row, key); break;
    case Reader::Real: ReadJsonField::AsFloat(row, key); break;
    case Reader::SmallInt: ReadJsonField::AsSmallInt(row, key); break;
    case Reader::Int64: ReadJsonField::AsInt64(row, key); break;
    case Reader::DateTime: ReadJsonField::AsDateTime(row, key); break;
    case Reader::Boolean: ReadJsonField::AsBoolean(row, key); break;
    }
}

// Every read of every row; the failures are grouped by key (with the first row that shows
// each), so that a mistyped column gives one line and not one per row.
inline ::testing::AssertionResult rowsReadable(const QJsonArray& rows, const RowReads& reads)
{
    std::vector<std::pair<QString, QString>> failures;   // key -> first failure text
    for (qsizetype i = 0; i < rows.size(); ++i) {
        for (const auto& [key, reader] : reads) {
            const QString name = QString::fromLatin1(key);
            bool known = false;
            for (const auto& failure : failures)
                known = known || failure.first == name;
            if (known)
                continue;
            try {
                readAs(rows.at(i), name, reader);
            } catch (const JsonFieldError& error) {
                const QString value = rows.at(i).isObject() && rows.at(i).toObject().contains(name)
                                          ? QString::fromUtf8(QJsonDocument(QJsonArray{rows.at(i).toObject().value(name)})
                                                                  .toJson(QJsonDocument::Compact))
                                          : QStringLiteral("(missing)");
                failures.emplace_back(name, QStringLiteral("%1 read as %2 fails in row %3: %4; value %5")
                                                .arg(name, QLatin1String(readerName(reader)))
                                                .arg(i)
                                                .arg(QString::fromStdString(error.what()), value));
            }
        }
    }
    if (failures.empty())
        return ::testing::AssertionSuccess();
    auto result = ::testing::AssertionFailure();
    for (const auto& failure : failures)
        result << "\n  " << failure.second.toStdString();
    return result;
}

constexpr auto T = Reader::Text;
constexpr auto I = Reader::Integer;
constexpr auto R = Reader::Real;
constexpr auto SI = Reader::SmallInt;
constexpr auto I64 = Reader::Int64;
constexpr auto DT = Reader::DateTime;
constexpr auto B = Reader::Boolean;

// The login dialog fills the current user from these.
inline const RowReads kLoginReads = {{"UserID", T},   {"UserName", T},  {"loginCount", T},
                                     {"Code", T},     {"OrganName", T}, {"OrganID", T}};

// The status screen's latest report, in its reading order; the battery is read as text for its
// box and then as a number for the percentage.
inline const RowReads kLastReportReads = {
    {"WentVolume", I},   {"ReturnVolume", I},    {"DailyFlowMax", T}, {"WorkHours", I},
    {"FluidTemperature", T}, {"BatteryVoltage", T}, {"BatteryVoltage", R}, {"SolenoidValveStatus", T},
    {"ErrorCode", T},    {"SNR", I},             {"RSSI", I},         {"ReceveShamsiDate", T},
    {"ReceveTime", T}};

inline const RowReads kConsumptionReads = {{"FromShamsiDate", T}, {"ToShamsiDate", T}, {"MinWentVolume", I},
                                           {"MaxWentVolume", I},  {"DataReceiveCount", I}};

// The data retrieval screen, both of its methods.
inline const RowReads kReportReads = {
    {"Serial", T},          {"WentVolume", I},       {"ReturnVolume", I},   {"DailyFlowMax", R},
    {"WorkHours", I},       {"FluidTemperature", R}, {"BatteryVoltage", R}, {"SolenoidValveStatus", T},
    {"ErrorCode", T},       {"SNR", I},              {"RSSI", I},           {"ReceveDateTime", DT},
    {"ReceveShamsiDate", T}, {"ReceveTime", T},      {"OrganName", T},      {"OrganCode", T},
    {"FileNumber", T},      {"PastFewDays", I},      {"ContractNo", T},     {"Company", T},
    {"Mobile", T},          {"PrivateCode", T},      {"PartNo", T},         {"NationalNo", T},
    {"RemainingDays", SI},  {"RemainingLiters", I64}, {"OpennesPercent", SI}};

inline const RowReads kSettingListReads = {
    {"CreateShamsiDate", T}, {"CreateTime", T},    {"DeviceSerial", T},        {"FileNumber", T},
    {"OpennessPercent", I},  {"OpenPortTime", I},  {"OrganCode", T},           {"OrganName", T},
    {"SendDataTime", I},     {"ServerAddress", T}, {"SolenoidValve", T},       {"PastFewDays", I},
    {"SolenoidValveStatus", T}, {"Sended", B},     {"ContractNo", T},          {"Company", T},
    {"NationalNo", T},       {"Mobile", T},        {"PartNo", T},              {"PrivateCode", T},
    {"IsAutoValveSetting", B}};

inline const RowReads kPeriodReads = {{"Period", I}};

inline const RowReads kScheduleReads = {{"Created_fa", T},    {"DeviceSerial", T}, {"Activated", B},
                                        {"SendDateTime_fa", T}, {"SolenoidValve", T}, {"OpennesPercent", I},
                                        {"Sended", B},        {"DaysNo", I},       {"LitresNo", I64},
                                        {"SendedDateTime_fa", T}};

inline const RowReads kHistoryReads = {{"CreateShamsiDate", T}, {"CreateTime", T},   {"OpennessPercent", I},
                                       {"OpenPortTime", I},     {"SendDataTime", I}, {"SolenoidValve", T},
                                       {"Sended", B}};

inline const RowReads kRegisteredReads = {
    {"CreateDate", T},   {"SerialNumber", T}, {"FileNumber", T},  {"OrganName", T},
    {"Activated", B},    {"Transferred", B},  {"TransferDate", T}, {"Latitude", T},
    {"Longitude", T},    {"OrganizationCategoryID", T}, {"ConnectionType", I}, {"CustomerName", T},
    {"CustomerPhone", T}, {"Description", T}, {"Address", T},     {"SimCard", T},
    {"ContractNo", T},   {"PartNo", T},       {"Company", T},     {"NationalNo", T},
    {"PrivateCode", T},  {"Mobile", T},       {"IsAutoValveSetting", B}};

// The my-devices screen; the meter picker reads a subset of these keys with the same readers.
inline const RowReads kMyDeviceReads = {
    {"SerialNumber", T}, {"FileNumber", T}, {"OrganName", T},  {"Activated", B},
    {"Transferred", B},  {"TransferDate", T}, {"Latitude", T}, {"Longitude", T},
    {"ContractNo", T},   {"Company", T},    {"PartNo", T},     {"PrivateCode", T},
    {"NationalNo", T},   {"Mobile", T},     {"Tell", T},       {"Address", T}};

// The organisation tree and the unit picker.
inline const RowReads kUnitReads = {{"ID", T}, {"ParentID", T}, {"OrganName", T}, {"Code", T}};
inline const RowReads kUsedDeviceReads = {{"SerialNumber", T}};
inline const RowReads kUsedUserReads = {{"UserName", T}};

inline const RowReads kUserReads = {{"UserID", T},        {"UserName", T},      {"Password", T},
                                    {"OrganisationID", T}, {"Activated", B},    {"CreateDate", T},
                                    {"CreateTime", T},    {"LastLoginDate", T}, {"LastLoginTime", T},
                                    {"LoginCount", T},    {"OrganName", T}};

// Every method the client calls, in the order of the client's method list.
inline const std::vector<MethodUse>& clientMethods()
{
    static const std::vector<MethodUse> uses = {
        {Method::user_login, Call::PostRows, kLoginReads},
        {Method::get_last_log_by_serial, Call::PostRows, kLastReportReads},
        {Method::get_last_log_by_contractno, Call::PostRows, kLastReportReads},
        {Method::get_consumed_list_daily_by_serial, Call::PostRows, kConsumptionReads},
        {Method::get_consumed_list_weekly_by_serial, Call::PostRows, kConsumptionReads},
        {Method::get_consumed_list_monthly_by_serial, Call::PostRows, kConsumptionReads},
        {Method::get_consumed_list_daily_by_contractno, Call::PostRows, kConsumptionReads},
        {Method::get_consumed_list_weekly_by_contractno, Call::PostRows, kConsumptionReads},
        {Method::get_consumed_list_monthly_by_contractno, Call::PostRows, kConsumptionReads},
        {Method::get_all_log_devices_of_user, Call::PostRows, kReportReads},
        {Method::get_last_all_devices_log_of_user, Call::PostRows, kReportReads},
        {Method::get_all_device_setting_of_user, Call::PostRows, kSettingListReads},
        {Method::set_new_device_setting, Call::PostNoRows, {}},
        {Method::get_period_setting_by_serial, Call::PostRows, kPeriodReads},
        {Method::get_all_auto_valve_setting, Call::PostRows, kScheduleReads},
        {Method::set_auto_valve_setting_by_serial, Call::PostNoRows, {}},
        {Method::get_device_setting_history, Call::PostRows, kHistoryReads},
        {Method::get_all_register_device, Call::PostRows, kRegisteredReads},
        {Method::set_activated_device, Call::PostNoRows, {}},
        {Method::delete_device, Call::PostNoRows, {}},
        {Method::set_new_device, Call::PostNoRows, {}},
        {Method::set_defult_device_setting, Call::PostNoRows, {}},
        {Method::set_device_type, Call::PostNoRows, {}},
        {Method::set_transfer_device, Call::PostNoRows, {}},
        {Method::get_all_my_device_list, Call::PostRows, kMyDeviceReads},
        {Method::edit_contractno, Call::PostNoRows, {}},
        {Method::get_all_organisation, Call::Get, kUnitReads},
        {Method::delete_organisation, Call::PostNoRows, {}},
        {Method::used_in_device_from_organ, Call::PostRows, kUsedDeviceReads},
        {Method::used_in_user_from_organ, Call::PostRows, kUsedUserReads},
        {Method::set_new_organisation, Call::PostNoRows, {}},
        {Method::edit_organisation, Call::PostNoRows, {}},
        {Method::get_organisation_by_user, Call::PostRows, kUnitReads},
        {Method::get_all_users, Call::Get, kUserReads},
        {Method::delete_user, Call::PostNoRows, {}},
        {Method::set_new_user, Call::PostNoRows, {}},
        {Method::edit_user, Call::PostNoRows, {}},
    };
    return uses;
}

// The entry of a method, or nullptr for a name the client does not call.
inline const MethodUse* useOf(const QString& method)
{
    for (const MethodUse& use : clientMethods())
        if (use.method == method)
            return &use;
    return nullptr;
}

}  // namespace e2e
