// Meter settings: the manual setting (valve, opening, send interval), its history, the default
// setting of a new meter and the automatic valve schedules.

#include "Dates.h"
#include "Handlers.h"
#include "ServerTexts.h"

namespace nemora::handlers {

namespace {

// The setting a meter works with until it is given one: valve open, fully, one report a day.
constexpr const char* kDefaultValve = "55";
constexpr int64_t kDefaultPercent = 100;
constexpr int64_t kDefaultInterval = 86400;
// Seconds a meter keeps its link open after a report to take a waiting setting.
constexpr int64_t kOpenPortSeconds = 30;
constexpr int64_t kLongestInterval = 5184000;   // 60 days, the longest the setting dialogs offer

// "55" or "AA" (blanks and case ignored, as the settings list reads them).
std::string valveCode(const std::string& text)
{
    std::string code;
    for (char c : text)
        if (c != ' ')
            code += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (code != "55" && code != "AA")
        throw Refusal(ServerTexts::kValveInvalid);
    return code;
}

void requirePercent(int64_t percent)
{
    if (percent < 0 || percent > 100)
        throw Refusal(ServerTexts::kPercentRange);
}

void insertSetting(Connection& db, const std::string& serial, const std::string& valve, int64_t percent,
                   int64_t interval, bool sended)
{
    const QDateTime now = dates::now();
    db.prepare("INSERT INTO settings (serial, created_at, create_shamsi_date, create_time, solenoid_valve,"
               " openness_percent, send_data_time, open_port_time, sended) VALUES (?,?,?,?,?,?,?,?,?)")
        .bindAll(serial, dates::isoText(now), dates::solarText(now.date()), dates::timeText(now.time()), valve,
                 percent, interval, sended ? kOpenPortSeconds : int64_t{0}, sended)
        .run();
}

}  // namespace

Envelope get_all_device_setting_of_user(const Request& req, Connection& db)
{
    const UserScope scope = requireUserScope(db, req.text("user_id"));
    auto q = db.prepare(
        "SELECT d.serial, d.file_number, o.code, o.name, d.server_address, d.contract_no, d.company,"
        " d.national_no, d.mobile, d.part_no, d.private_code, d.is_auto_valve,"
        " s.id, s.create_shamsi_date, s.create_time, s.openness_percent, s.open_port_time, s.send_data_time,"
        " s.solenoid_valve, s.sended, r.valve_status, r.received_at"
        " FROM devices d JOIN organisations o ON o.id = d.organisation_id"
        " LEFT JOIN settings s ON s.id = (SELECT x.id FROM settings x WHERE x.serial = d.serial"
        "   ORDER BY x.created_at DESC, x.id DESC LIMIT 1)"
        " LEFT JOIN reports r ON r.id = (SELECT y.id FROM reports y WHERE y.serial = d.serial"
        "   ORDER BY y.received_at DESC, y.id DESC LIMIT 1)"
        " WHERE d.activated = 1 AND substr(o.code, 1, length(?1)) = ?1"
        " ORDER BY o.code, d.serial");
    q.bindAll(scope.code);
    const QDate today = dates::today();
    Row rows = Row::array();
    while (q.step()) {
        const bool hasSetting = !q.isNull(12);
        const bool hasReport = !q.isNull(21);
        rows.push_back(Row{
            {"CreateShamsiDate", hasSetting ? q.text(13) : ""},
            {"CreateTime", hasSetting ? q.text(14) : ""},
            {"DeviceSerial", q.text(0)},
            {"FileNumber", q.text(1)},
            {"OpennessPercent", hasSetting ? q.integer(15) : kDefaultPercent},
            {"OpenPortTime", hasSetting ? q.integer(16) : 0},
            {"OrganCode", q.text(2)},
            {"OrganName", q.text(3)},
            {"SendDataTime", hasSetting ? q.integer(17) : kDefaultInterval},
            {"ServerAddress", q.text(4)},
            {"SolenoidValve", hasSetting ? q.text(18) : kDefaultValve},
            // -1: the meter has never reported.
            {"PastFewDays", hasReport ? dates::daysBetween(dates::dayOfIso(q.text(21)), today) : -1},
            {"SolenoidValveStatus", hasReport ? q.text(20) : ""},
            {"Sended", hasSetting && q.integer(19) != 0},
            {"ContractNo", q.text(5)},
            {"Company", q.text(6)},
            {"NationalNo", q.text(7)},
            {"Mobile", q.text(8)},
            {"PartNo", q.text(9)},
            {"PrivateCode", q.text(10)},
            {"IsAutoValveSetting", q.integer(11) != 0}});
    }
    return listReply(std::move(rows), ServerTexts::kNoDevices);
}

Envelope set_new_device_setting(const Request& req, Connection& db)
{
    const std::string serial = req.text("serial");
    const std::string valveText = req.text("solenoid_valve");
    const int64_t percent = req.integer("openness_percent");
    const int64_t interval = req.integer("send_data_time");
    const bool sended = req.boolean("sended");

    Transaction tx(db);
    requireDevice(db, serial);
    const std::string valve = valveCode(valveText);
    requirePercent(percent);
    if (interval < 1 || interval > kLongestInterval)
        throw Refusal(ServerTexts::kIntervalRange);
    insertSetting(db, serial, valve, percent, interval, sended);
    tx.commit();
    return Envelope::ok(ServerTexts::kDone);
}

Envelope set_defult_device_setting(const Request& req, Connection& db)
{
    const std::string serial = req.text("serial");
    Transaction tx(db);
    requireDevice(db, serial);
    // The registration dialog sends this even when its registration was refused (for a serial
    // that exists already); the default must not replace a setting the meter has.
    auto existing = db.prepare("SELECT 1 FROM settings WHERE serial = ? LIMIT 1");
    existing.bindAll(serial);
    if (existing.step())
        throw Refusal(ServerTexts::kDefaultExists);
    insertSetting(db, serial, kDefaultValve, kDefaultPercent, kDefaultInterval, true);
    tx.commit();
    return Envelope::ok(ServerTexts::kDone);
}

Envelope get_period_setting_by_serial(const Request& req, Connection& db)
{
    const Device device = requireDevice(db, req.text("serial"));
    auto q = db.prepare("SELECT send_data_time FROM settings WHERE serial = ? ORDER BY created_at DESC, id DESC LIMIT 1");
    q.bindAll(device.serial);
    const int64_t period = q.step() ? q.integer(0) : kDefaultInterval;
    return Envelope::ok(ServerTexts::kDone, Row::array({Row{{"Period", period}, {"DeviceSerial", device.serial}}}));
}

Envelope get_all_auto_valve_setting(const Request& req, Connection& db)
{
    const Device device = requireDevice(db, req.text("serial"));
    auto q = db.prepare("SELECT created_fa, serial, activated, start_fa, solenoid_valve, openness_percent, sended,"
                        " days_no, litres_no, sended_fa FROM auto_settings WHERE serial = ?"
                        " ORDER BY created_at DESC, id DESC");
    q.bindAll(device.serial);
    Row rows = Row::array();
    while (q.step()) {
        rows.push_back(Row{{"Created_fa", q.text(0)},
                           {"DeviceSerial", q.text(1)},
                           {"Activated", q.integer(2) != 0},
                           {"SendDateTime_fa", q.text(3)},
                           {"SolenoidValve", q.text(4)},
                           {"OpennesPercent", q.integer(5)},
                           {"Sended", q.integer(6) != 0},
                           {"DaysNo", q.integer(7)},
                           {"LitresNo", q.integer(8)},
                           {"SendedDateTime_fa", q.text(9)}});
    }
    return listReply(std::move(rows), ServerTexts::kNoAutoSettings);
}

Envelope set_auto_valve_setting_by_serial(const Request& req, Connection& db)
{
    const std::string serial = req.text("serial");
    const bool activated = req.boolean("activated");
    const std::string valveText = req.text("solenoid_valve");
    const int64_t percent = req.integer("openness_percent");
    const int64_t days = req.integer("days_no");
    const int64_t litres = req.integer("litres_no");
    const std::string momentText = req.text("send_data_time");

    Transaction tx(db);
    const Device device = requireDevice(db, serial);
    if (!device.autoValve)
        throw Refusal(ServerTexts::kNotAutoValve);
    const std::string valve = valveCode(valveText);
    requirePercent(percent);
    if (days < 0 || litres < 0)
        throw Refusal(ServerTexts::kNegativeNumber);
    if (days > 365)
        throw Refusal(ServerTexts::kDaysRange);
    if (litres > 99999999)
        throw Refusal(ServerTexts::kLitresRange);
    const auto start = dates::gregorianMoment(momentText);
    if (!start)
        throw Refusal(fill(ServerTexts::kMomentInvalid, momentText));

    const QDateTime now = dates::now();
    db.prepare("INSERT INTO auto_settings (serial, created_at, created_fa, activated, solenoid_valve, openness_percent,"
               " days_no, litres_no, start_at, start_fa) VALUES (?,?,?,?,?,?,?,?,?,?)")
        .bindAll(serial, dates::isoText(now), dates::solarMomentText(now), activated, valve, percent, days, litres,
                 dates::isoText(*start),
                 dates::solarText(start->date()) + " " + start->time().toString("HH:mm").toStdString())
        .run();
    tx.commit();
    return Envelope::ok(ServerTexts::kDone);
}

Envelope get_device_setting_history(const Request& req, Connection& db)
{
    const Device device = requireDevice(db, req.text("serial_number"));
    auto q = db.prepare("SELECT create_shamsi_date, create_time, openness_percent, open_port_time, send_data_time,"
                        " solenoid_valve, sended FROM settings WHERE serial = ? ORDER BY created_at DESC, id DESC");
    q.bindAll(device.serial);
    Row rows = Row::array();
    while (q.step()) {
        rows.push_back(Row{{"CreateShamsiDate", q.text(0)},
                           {"CreateTime", q.text(1)},
                           {"OpennessPercent", q.integer(2)},
                           {"OpenPortTime", q.integer(3)},
                           {"SendDataTime", q.integer(4)},
                           {"SolenoidValve", q.text(5)},
                           {"Sended", q.integer(6) != 0}});
    }
    return listReply(std::move(rows), ServerTexts::kNoSettingHistory);
}

}  // namespace nemora::handlers
