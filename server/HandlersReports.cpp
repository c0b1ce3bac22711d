// Meter reports: the latest report of one meter, the consumption lists, and the reports of all
// the meters a user may see.

#include "Consumption.h"
#include "Dates.h"
#include "Handlers.h"
#include "ServerTexts.h"

namespace nemora::handlers {

namespace {

// Columns 0..16 of every report query.
constexpr const char* kReportColumns =
    "r.serial, r.went_volume, r.return_volume, r.daily_flow_max, r.work_hours, r.fluid_temperature,"
    " r.battery_voltage, r.valve_status, r.error_code, r.snr, r.rssi, r.received_at, r.shamsi_date,"
    " r.receive_time, r.openness_percent, r.remaining_days, r.remaining_liters";

// A stored real as the status screen shows it: the shortest text that reads back the same.
std::string realText(double value)
{
    return Json(value).dump();
}

// The status screen's row: some values are read there as text, the battery both as text and
// as a number (a JSON number serves both).
Row statusRow(const Statement& q)
{
    return Row{{"Serial", q.text(0)},
               {"WentVolume", q.integer(1)},
               {"ReturnVolume", q.integer(2)},
               {"DailyFlowMax", realText(q.real(3))},
               {"WorkHours", q.integer(4)},
               {"FluidTemperature", realText(q.real(5))},
               {"BatteryVoltage", q.real(6)},
               {"SolenoidValveStatus", q.text(7)},
               {"ErrorCode", q.text(8)},
               {"SNR", q.integer(9)},
               {"RSSI", q.integer(10)},
               {"ReceveShamsiDate", q.text(12)},
               {"ReceveTime", q.text(13)}};
}

// The retrieval screen's row; columns 17.. carry the meter's unit and owner data.
Row retrievalRow(const Statement& q, const QDate& today)
{
    return Row{{"Serial", q.text(0)},
               {"WentVolume", q.integer(1)},
               {"ReturnVolume", q.integer(2)},
               {"DailyFlowMax", q.real(3)},
               {"WorkHours", q.integer(4)},
               {"FluidTemperature", q.real(5)},
               {"BatteryVoltage", q.real(6)},
               {"SolenoidValveStatus", q.text(7)},
               {"ErrorCode", q.text(8)},
               {"SNR", q.integer(9)},
               {"RSSI", q.integer(10)},
               {"ReceveDateTime", q.text(11)},
               {"ReceveShamsiDate", q.text(12)},
               {"ReceveTime", q.text(13)},
               {"OrganName", q.text(17)},
               {"OrganCode", q.text(18)},
               {"FileNumber", q.text(19)},
               {"PastFewDays", dates::daysBetween(dates::dayOfIso(q.text(11)), today)},
               {"ContractNo", q.text(20)},
               {"Company", q.text(21)},
               {"Mobile", q.text(22)},
               {"PrivateCode", q.text(23)},
               {"PartNo", q.text(24)},
               {"NationalNo", q.text(25)},
               {"RemainingDays", q.integer(15)},
               {"RemainingLiters", q.integer(16)},
               {"OpennesPercent", q.integer(14)}};
}

constexpr const char* kOwnerColumns =
    "COALESCE(o.name, ''), COALESCE(o.code, ''), d.file_number, d.contract_no, d.company, d.mobile,"
    " d.private_code, d.part_no, d.national_no";

// The status and consumption screens show one activated meter.
std::string activeSerial(Connection& db, const std::string& serial)
{
    const Device device = requireDevice(db, serial);
    if (!device.activated)
        throw Refusal(ServerTexts::kDeviceInactive);
    return device.serial;
}

// Contract numbers may repeat when a meter is replaced; the activated meter that reported
// last stands for the contract.
std::string serialOfContract(Connection& db, const std::string& contractNo)
{
    if (contractNo.empty())
        throw Refusal(ServerTexts::kContractEmpty);
    auto q = db.prepare("SELECT d.serial FROM devices d WHERE d.contract_no = ? AND d.activated = 1"
                        " ORDER BY (SELECT MAX(r.received_at) FROM reports r WHERE r.serial = d.serial) DESC NULLS LAST,"
                        " d.serial LIMIT 1");
    q.bindAll(contractNo);
    if (q.step())
        return q.text(0);
    auto inactive = db.prepare("SELECT 1 FROM devices WHERE contract_no = ? LIMIT 1");
    inactive.bindAll(contractNo);
    if (inactive.step())
        throw Refusal(ServerTexts::kDeviceInactive);
    throw Refusal(ServerTexts::kContractNotFound);
}

Envelope lastLog(Connection& db, const std::string& serial)
{
    auto q = db.prepare((std::string("SELECT ") + kReportColumns
                         + " FROM reports r WHERE r.serial = ? ORDER BY r.received_at DESC, r.id DESC LIMIT 1")
                            .c_str());
    q.bindAll(serial);
    if (!q.step())
        return Envelope::ok(ServerTexts::kNoReports);
    return Envelope::ok(ServerTexts::kDone, Row::array({statusRow(q)}));
}

Envelope consumption(Connection& db, const std::string& serial, PeriodKind kind)
{
    auto q = db.prepare("SELECT received_at, shamsi_date, went_volume FROM reports WHERE serial = ?"
                        " ORDER BY received_at, id");
    q.bindAll(serial);
    std::vector<Reading> readings;
    while (q.step())
        readings.push_back(Reading{dates::dayOfIso(q.text(0)), q.text(1), q.integer(2)});
    const auto periods = consumptionPeriods(kind, readings, dates::today());
    if (periods.empty())
        return Envelope::ok(ServerTexts::kNoPeriods);
    Row rows = Row::array();
    for (const auto& p : periods)
        rows.push_back(Row{{"FromShamsiDate", p.from},
                           {"ToShamsiDate", p.to},
                           {"MinWentVolume", p.minWentVolume},
                           {"MaxWentVolume", p.maxWentVolume},
                           {"DataReceiveCount", p.dataReceiveCount}});
    return Envelope::ok(ServerTexts::kDone, std::move(rows));
}

Envelope bySerial(const Request& req, Connection& db, PeriodKind kind)
{
    return consumption(db, activeSerial(db, req.text("serial")), kind);
}

Envelope byContract(const Request& req, Connection& db, PeriodKind kind)
{
    return consumption(db, serialOfContract(db, req.text("contract_no")), kind);
}

}  // namespace

Envelope get_last_log_by_serial(const Request& req, Connection& db)
{
    return lastLog(db, activeSerial(db, req.text("serial")));
}

Envelope get_last_log_by_contractno(const Request& req, Connection& db)
{
    return lastLog(db, serialOfContract(db, req.text("contract_no")));
}

Envelope get_consumed_list_daily_by_serial(const Request& req, Connection& db)
{
    return bySerial(req, db, PeriodKind::Daily);
}

Envelope get_consumed_list_weekly_by_serial(const Request& req, Connection& db)
{
    return bySerial(req, db, PeriodKind::Weekly);
}

Envelope get_consumed_list_monthly_by_serial(const Request& req, Connection& db)
{
    return bySerial(req, db, PeriodKind::Monthly);
}

Envelope get_consumed_list_daily_by_contractno(const Request& req, Connection& db)
{
    return byContract(req, db, PeriodKind::Daily);
}

Envelope get_consumed_list_weekly_by_contractno(const Request& req, Connection& db)
{
    return byContract(req, db, PeriodKind::Weekly);
}

Envelope get_consumed_list_monthly_by_contractno(const Request& req, Connection& db)
{
    return byContract(req, db, PeriodKind::Monthly);
}

Envelope get_all_log_devices_of_user(const Request& req, Connection& db)
{
    const std::string userId = req.text("user_id");
    const std::string from = solarBoundOrEmpty(req.text("from_shamsi_date"));
    const std::string to = solarBoundOrEmpty(req.text("to_shamsi_date"));
    if (!from.empty() && !to.empty() && from > to)
        throw Refusal(ServerTexts::kDateOrder);
    const UserScope scope = requireUserScope(db, userId);

    auto q = db.prepare((std::string("SELECT ") + kReportColumns + ", " + kOwnerColumns
                         + " FROM reports r JOIN devices d ON d.serial = r.serial"
                           " JOIN organisations o ON o.id = d.organisation_id"
                           " WHERE d.activated = 1 AND substr(o.code, 1, length(?1)) = ?1"
                           " AND r.shamsi_date >= ?2 AND r.shamsi_date <= ?3"
                           " ORDER BY r.received_at DESC, r.id DESC")
                            .c_str());
    q.bindAll(scope.code, from, to.empty() ? std::string("9999/99/99") : to);
    const QDate today = dates::today();
    Row rows = Row::array();
    while (q.step())
        rows.push_back(retrievalRow(q, today));
    return listReply(std::move(rows), ServerTexts::kNoReportsInPeriod);
}

Envelope get_last_all_devices_log_of_user(const Request& req, Connection& db)
{
    const UserScope scope = requireUserScope(db, req.text("user_id"));
    auto q = db.prepare((std::string("SELECT ") + kReportColumns + ", " + kOwnerColumns
                         + " FROM devices d JOIN organisations o ON o.id = d.organisation_id"
                           " JOIN reports r ON r.id = (SELECT x.id FROM reports x WHERE x.serial = d.serial"
                           " ORDER BY x.received_at DESC, x.id DESC LIMIT 1)"
                           " WHERE d.activated = 1 AND substr(o.code, 1, length(?1)) = ?1"
                           " ORDER BY r.received_at DESC, r.id DESC")
                            .c_str());
    q.bindAll(scope.code);
    const QDate today = dates::today();
    Row rows = Row::array();
    while (q.step())
        rows.push_back(retrievalRow(q, today));
    return listReply(std::move(rows), ServerTexts::kNoDevicesReported);
}

}  // namespace nemora::handlers
