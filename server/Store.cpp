#include "Store.h"

#include "Dates.h"

#include <cstdio>
#include <random>

namespace nemora {

namespace {

const char* const kSchema = R"SQL(
CREATE TABLE IF NOT EXISTS organisations (
    id          TEXT PRIMARY KEY,
    parent_id   TEXT NOT NULL DEFAULT '',
    name        TEXT NOT NULL,
    code        TEXT NOT NULL UNIQUE
);
CREATE TABLE IF NOT EXISTS users (
    id              TEXT PRIMARY KEY,
    user_name       TEXT NOT NULL UNIQUE COLLATE NOCASE,
    password        TEXT NOT NULL,
    organisation_id TEXT NOT NULL,
    activated       INTEGER NOT NULL DEFAULT 1,
    create_date     TEXT NOT NULL DEFAULT '',
    create_time     TEXT NOT NULL DEFAULT '',
    last_login_date TEXT NOT NULL DEFAULT '',
    last_login_time TEXT NOT NULL DEFAULT '',
    login_count     INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS devices (
    serial           TEXT PRIMARY KEY,
    create_date      TEXT NOT NULL,             -- Solar yyyy/mm/dd (production date)
    create_date_eng  TEXT NOT NULL,             -- Gregorian yyyy-mm-dd
    activated        INTEGER NOT NULL DEFAULT 1,
    is_auto_valve    INTEGER NOT NULL DEFAULT 0,
    transferred      INTEGER NOT NULL DEFAULT 0,
    transfer_date    TEXT NOT NULL DEFAULT '',  -- Solar yyyy/mm/dd
    transfer_date_eng TEXT NOT NULL DEFAULT '', -- Gregorian yyyy-mm-dd
    organisation_id  TEXT NOT NULL DEFAULT '',
    file_number      TEXT NOT NULL DEFAULT '',
    connection_type  INTEGER NOT NULL DEFAULT 0,
    customer_name    TEXT NOT NULL DEFAULT '',
    customer_phone   TEXT NOT NULL DEFAULT '',
    address          TEXT NOT NULL DEFAULT '',
    sim_card         TEXT NOT NULL DEFAULT '',
    description      TEXT NOT NULL DEFAULT '',
    latitude         TEXT NOT NULL DEFAULT '',
    longitude        TEXT NOT NULL DEFAULT '',
    contract_no      TEXT NOT NULL DEFAULT '',
    part_no          TEXT NOT NULL DEFAULT '',
    company          TEXT NOT NULL DEFAULT '',
    national_no      TEXT NOT NULL DEFAULT '',
    private_code     TEXT NOT NULL DEFAULT '',
    mobile           TEXT NOT NULL DEFAULT '',
    tell             TEXT NOT NULL DEFAULT '',
    server_address   TEXT NOT NULL DEFAULT '127.0.0.1:3500'
);
CREATE INDEX IF NOT EXISTS devices_organisation ON devices(organisation_id);
CREATE INDEX IF NOT EXISTS devices_contract ON devices(contract_no);
CREATE TABLE IF NOT EXISTS reports (
    id                INTEGER PRIMARY KEY,
    serial            TEXT NOT NULL REFERENCES devices(serial) ON DELETE CASCADE,
    received_at       TEXT NOT NULL,            -- Gregorian yyyy-MM-ddTHH:mm:ss
    shamsi_date       TEXT NOT NULL,            -- Solar yyyy/mm/dd of the same day
    receive_time      TEXT NOT NULL,            -- HH:mm:ss
    went_volume       INTEGER NOT NULL,
    return_volume     INTEGER NOT NULL,
    daily_flow_max    REAL NOT NULL,
    work_hours        INTEGER NOT NULL,
    fluid_temperature REAL NOT NULL,
    battery_voltage   REAL NOT NULL,
    valve_status      TEXT NOT NULL,
    error_code        TEXT NOT NULL,
    snr               INTEGER NOT NULL,
    rssi              INTEGER NOT NULL,
    openness_percent  INTEGER NOT NULL,
    remaining_days    INTEGER NOT NULL,
    remaining_liters  INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS reports_serial_time ON reports(serial, received_at);
CREATE INDEX IF NOT EXISTS reports_day ON reports(shamsi_date);
CREATE TABLE IF NOT EXISTS settings (
    id                 INTEGER PRIMARY KEY,
    serial             TEXT NOT NULL REFERENCES devices(serial) ON DELETE CASCADE,
    created_at         TEXT NOT NULL,           -- Gregorian yyyy-MM-ddTHH:mm:ss
    create_shamsi_date TEXT NOT NULL,
    create_time        TEXT NOT NULL,
    solenoid_valve     TEXT NOT NULL,
    openness_percent   INTEGER NOT NULL,
    send_data_time     INTEGER NOT NULL,
    open_port_time     INTEGER NOT NULL,
    sended             INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS settings_serial_time ON settings(serial, created_at);
CREATE TABLE IF NOT EXISTS auto_settings (
    id               INTEGER PRIMARY KEY,
    serial           TEXT NOT NULL REFERENCES devices(serial) ON DELETE CASCADE,
    created_at       TEXT NOT NULL,
    created_fa       TEXT NOT NULL,             -- Solar yyyy/mm/dd HH:mm:ss
    activated        INTEGER NOT NULL,
    solenoid_valve   TEXT NOT NULL,
    openness_percent INTEGER NOT NULL,
    days_no          INTEGER NOT NULL,
    litres_no        INTEGER NOT NULL,
    start_at         TEXT NOT NULL,             -- Gregorian yyyy-MM-ddTHH:mm:ss
    start_fa         TEXT NOT NULL,             -- Solar yyyy/mm/dd HH:mm
    sended           INTEGER NOT NULL DEFAULT 0,
    sended_fa        TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IF NOT EXISTS auto_settings_serial ON auto_settings(serial, created_at);
CREATE TABLE IF NOT EXISTS meta (
    key   TEXT PRIMARY KEY,                     -- e.g. demo_filled_at: the demo filled this database
    value TEXT NOT NULL
);
)SQL";

}  // namespace

Store::Store(const std::string& path) : m_pool(path)
{
    auto db = m_pool.acquire();
    db->exec("PRAGMA journal_mode = WAL");
    db->exec(kSchema);
}

bool Store::isEmpty()
{
    auto db = connection();
    auto q = db->prepare("SELECT (SELECT COUNT(*) FROM organisations) + (SELECT COUNT(*) FROM users)"
                         " + (SELECT COUNT(*) FROM devices)");
    q.step();
    return q.integer(0) == 0;
}

void Store::addReport(Connection& db, const MeterReport& r)
{
    const std::string at = dates::isoText(r.receivedAt);
    db.prepare("INSERT INTO reports (serial, received_at, shamsi_date, receive_time, went_volume, return_volume,"
               " daily_flow_max, work_hours, fluid_temperature, battery_voltage, valve_status, error_code, snr,"
               " rssi, openness_percent, remaining_days, remaining_liters)"
               " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
        .bindAll(r.serial, at, dates::solarText(r.receivedAt.date()), dates::timeText(r.receivedAt.time()),
                 r.wentVolume, r.returnVolume, r.dailyFlowMax, r.workHours, r.fluidTemperature, r.batteryVoltage,
                 r.valveStatus, r.errorCode, r.snr, r.rssi, r.opennessPercent, r.remainingDays, r.remainingLiters)
        .run();
    db.prepare("UPDATE auto_settings SET sended = 1, sended_fa = ? WHERE serial = ? AND sended = 0 AND created_at <= ?")
        .bindAll(dates::solarMomentText(r.receivedAt), r.serial, at)
        .run();
}

std::string Store::newId()
{
    thread_local std::mt19937_64 engine{std::random_device{}()};
    const uint64_t a = engine();
    const uint64_t b = engine();
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%08X-%04X-4%03X-%04X-%012llX", static_cast<unsigned>(a >> 32),
                  static_cast<unsigned>((a >> 16) & 0xFFFF), static_cast<unsigned>(a & 0x0FFF),
                  static_cast<unsigned>(0x8000 | ((b >> 48) & 0x3FFF)),
                  static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFULL));
    return buffer;
}

}  // namespace nemora
