#pragma once
// The keys and JSON types that the client's screens read from each kind of reply row.

#include "server/Server.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace nemora::test {

enum class JsonKind { Text, Integer, Number, Boolean };
using RowShape = std::vector<std::pair<const char*, JsonKind>>;

inline ::testing::AssertionResult hasShape(const Json& row, const RowShape& shape)
{
    for (const auto& [key, kind] : shape) {
        const auto it = row.find(key);
        if (it == row.end())
            return ::testing::AssertionFailure() << "missing key " << key << " in " << row.dump();
        const bool fits = kind == JsonKind::Text      ? it->is_string()
                          : kind == JsonKind::Integer ? it->is_number_integer()
                          : kind == JsonKind::Number  ? it->is_number()
                                                      : it->is_boolean();
        if (!fits)
            return ::testing::AssertionFailure() << "key " << key << " has the wrong JSON type: " << it->dump();
    }
    return ::testing::AssertionSuccess();
}

constexpr auto S = JsonKind::Text;
constexpr auto I = JsonKind::Integer;
constexpr auto R = JsonKind::Number;
constexpr auto B = JsonKind::Boolean;

inline const RowShape kLoginRow = {{"UserID", S}, {"UserName", S}, {"loginCount", S}, {"Code", S}, {"OrganName", S}, {"OrganID", S}};
// The status screen reads the battery both as text and as a number; a JSON number serves both.
inline const RowShape kStatusRow = {{"WentVolume", I}, {"ReturnVolume", I}, {"DailyFlowMax", S}, {"WorkHours", I},
                                    {"FluidTemperature", S}, {"BatteryVoltage", R}, {"SolenoidValveStatus", S},
                                    {"ErrorCode", S}, {"SNR", I}, {"RSSI", I}, {"ReceveShamsiDate", S}, {"ReceveTime", S}};
inline const RowShape kConsumptionRow = {{"FromShamsiDate", S}, {"ToShamsiDate", S}, {"MinWentVolume", I},
                                         {"MaxWentVolume", I}, {"DataReceiveCount", I}};
inline const RowShape kRetrievalRow = {
    {"Serial", S}, {"WentVolume", I}, {"ReturnVolume", I}, {"DailyFlowMax", R}, {"WorkHours", I},
    {"FluidTemperature", R}, {"BatteryVoltage", R}, {"SolenoidValveStatus", S}, {"ErrorCode", S}, {"SNR", I},
    {"RSSI", I}, {"ReceveDateTime", S}, {"ReceveShamsiDate", S}, {"ReceveTime", S}, {"OrganName", S},
    {"OrganCode", S}, {"FileNumber", S}, {"PastFewDays", I}, {"ContractNo", S}, {"Company", S}, {"Mobile", S},
    {"PrivateCode", S}, {"PartNo", S}, {"NationalNo", S}, {"RemainingDays", I}, {"RemainingLiters", I},
    {"OpennesPercent", I}};
inline const RowShape kSettingListRow = {
    {"CreateShamsiDate", S}, {"CreateTime", S}, {"DeviceSerial", S}, {"FileNumber", S}, {"OpennessPercent", I},
    {"OpenPortTime", I}, {"OrganCode", S}, {"OrganName", S}, {"SendDataTime", I}, {"ServerAddress", S},
    {"SolenoidValve", S}, {"PastFewDays", I}, {"SolenoidValveStatus", S}, {"Sended", B}, {"ContractNo", S},
    {"Company", S}, {"NationalNo", S}, {"Mobile", S}, {"PartNo", S}, {"PrivateCode", S}, {"IsAutoValveSetting", B}};
inline const RowShape kPeriodRow = {{"Period", I}};
inline const RowShape kScheduleRow = {{"Created_fa", S}, {"DeviceSerial", S}, {"Activated", B}, {"SendDateTime_fa", S},
                                      {"SolenoidValve", S}, {"OpennesPercent", I}, {"Sended", B}, {"DaysNo", I},
                                      {"LitresNo", I}, {"SendedDateTime_fa", S}};
inline const RowShape kHistoryRow = {{"CreateShamsiDate", S}, {"CreateTime", S}, {"OpennessPercent", I},
                                     {"OpenPortTime", I}, {"SendDataTime", I}, {"SolenoidValve", S}, {"Sended", B}};
inline const RowShape kRegisteredRow = {
    {"CreateDate", S}, {"SerialNumber", S}, {"FileNumber", S}, {"OrganName", S}, {"Activated", B},
    {"Transferred", B}, {"TransferDate", S}, {"Latitude", S}, {"Longitude", S}, {"OrganizationCategoryID", S},
    {"ConnectionType", I}, {"CustomerName", S}, {"CustomerPhone", S}, {"Description", S}, {"Address", S},
    {"SimCard", S}, {"ContractNo", S}, {"PartNo", S}, {"Company", S}, {"NationalNo", S}, {"PrivateCode", S},
    {"Mobile", S}, {"IsAutoValveSetting", B}};
inline const RowShape kMyDeviceRow = {{"SerialNumber", S}, {"FileNumber", S}, {"OrganName", S}, {"Activated", B},
                                      {"Transferred", B}, {"TransferDate", S}, {"Latitude", S}, {"Longitude", S},
                                      {"ContractNo", S}, {"Company", S}, {"PartNo", S}, {"PrivateCode", S},
                                      {"NationalNo", S}, {"Mobile", S}, {"Tell", S}, {"Address", S}};
inline const RowShape kUnitRow = {{"ID", S}, {"ParentID", S}, {"OrganName", S}, {"Code", S}};
inline const RowShape kUsedDeviceRow = {{"SerialNumber", S}};
inline const RowShape kUsedUserRow = {{"UserName", S}};
inline const RowShape kUserRow = {{"UserID", S}, {"UserName", S}, {"Password", S}, {"OrganisationID", S},
                                  {"Activated", B}, {"CreateDate", S}, {"CreateTime", S}, {"LastLoginDate", S},
                                  {"LastLoginTime", S}, {"LoginCount", S}, {"OrganName", S}};

}  // namespace nemora::test
