#include "ServerFixture.h"

#include "calendar/DateProc.h"
#include "server/Db.h"

#include <random>

namespace nemora::test {

QDateTime solarMoment(int year, int month, int day, int hour, int minute, int second)
{
    DateProc::SolarToGregorian(year, month, day);
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

void ServerFixture::SetUp()
{
    std::random_device random;
    m_dir = std::filesystem::temp_directory_path() / ("nemora-server-test-" + std::to_string(random()));
    std::filesystem::create_directories(m_dir);
    m_store = std::make_unique<Store>((m_dir / "server.db").string());
    m_server = std::make_unique<Server>(*m_store);
    setNow(solarMoment(1403, 5, 17));

    const auto must = [this](const std::string& method, const Json& body) {
        const Json reply = call(method, body);
        ASSERT_TRUE(ok(reply)) << method << ": " << message(reply);
    };
    must("set_new_organisation", {{"parent_id", ""}, {"code", "01"}, {"organ_name", "main"}});
    must("set_new_organisation", {{"parent_id", unitId("01")}, {"code", "0101"}, {"organ_name", "unit A"}});
    must("set_new_organisation", {{"parent_id", unitId("0101")}, {"code", "010101"}, {"organ_name", "unit A1"}});
    must("set_new_organisation", {{"parent_id", unitId("01")}, {"code", "0102"}, {"organ_name", "unit B"}});
    {
        auto db = m_store->connection();
        db->prepare("INSERT INTO users (id, user_name, password, organisation_id) VALUES (?, 'admin01', 'secret01', ?)")
            .bindAll(std::string(Server::kMainUserId), unitId("01"))
            .run();
    }
    must("set_new_user", {{"user_name", "oper0102"}, {"password", "secret02"}, {"organisation_id", unitId("0102")}});
    must("set_new_user", {{"user_name", "sleepy01"}, {"password", "secret03"}, {"organisation_id", unitId("0101")}});
    must("edit_user", {{"user_name", "sleepy01"}, {"password", "secret03"}, {"organisation_id", unitId("0101")},
                       {"activated", false}, {"user_id", userId("sleepy01")}});

    const struct {
        std::string serial, unit, contract;
        bool autoValve;
    } meters[] = {{kS1, "010101", "C-1", false}, {kS2, "0102", "C-2", true}, {kS3, "0101", "C-3", false}};
    for (const auto& m : meters) {
        must("set_new_device", {{"serial", m.serial}, {"create_date_eng", "2024/01/10"}, {"is_auto_valve_setting", m.autoValve}});
        must("set_transfer_device",
             {{"serial", m.serial}, {"transfer_date_eng", "2024/02/01"}, {"organization_id", unitId(m.unit)},
              {"file_number", "F" + m.serial.substr(14)}, {"connection_type", 1}, {"customer_name", "customer"},
              {"customer_phone", "0210000"}, {"customer_address", "street"}, {"sim_card", "SIM" + m.serial.substr(14)},
              {"description", ""}, {"latitude", "35.7"}, {"longitude", "51.4"}, {"contract_no", m.contract},
              {"part_no", "12"}, {"national_no", "0012345678"}, {"mobile", "09120000000"}, {"private_code", "PC"},
              {"company", "co"}});
    }
    must("set_new_device", {{"serial", kS4}, {"create_date_eng", "2024/03/05"}, {"is_auto_valve_setting", false}});
    must("set_activated_device", {{"serial", kS3}, {"activated", false}});
}

void ServerFixture::TearDown()
{
    DateProc::ResetClock();
    m_server.reset();
    m_store.reset();
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

void ServerFixture::setNow(const QDateTime& now)
{
    m_now = now;
    DateProc::SetFixedNow(now);
}

Json ServerFixture::call(const std::string& method, const Json& body)
{
    return call(method, body.dump());
}

Json ServerFixture::call(const std::string& method, const std::string& rawBody)
{
    return Json::parse(m_server->handle(method, rawBody).toJson());
}

Json ServerFixture::get(const std::string& method)
{
    return Json::parse(m_server->handle(Verb::Get, method, "").toJson());
}

void ServerFixture::report(const std::string& serial, const QDateTime& at, int64_t wentVolume, const std::string& valve,
                           const std::string& errorCode, double voltage)
{
    MeterReport r;
    r.serial = serial;
    r.receivedAt = at;
    r.wentVolume = wentVolume;
    r.returnVolume = 7;
    r.dailyFlowMax = 1.25;
    r.workHours = 100;
    r.fluidTemperature = 18.5;
    r.batteryVoltage = voltage;
    r.valveStatus = valve;
    r.errorCode = errorCode;
    r.snr = 12;
    r.rssi = -80;
    r.opennessPercent = 100;
    auto db = m_store->connection();
    Store::addReport(*db, r);
}

int64_t ServerFixture::count(const std::string& sql)
{
    auto db = m_store->connection();
    auto q = db->prepare(sql.c_str());
    q.step();
    return q.integer(0);
}

std::string ServerFixture::snapshot()
{
    auto db = m_store->connection();
    std::string all;
    for (const char* table : {"organisations", "users", "devices", "reports", "settings", "auto_settings"}) {
        auto q = db->prepare((std::string("SELECT * FROM ") + table + " ORDER BY rowid").c_str());
        all += table;
        all += ':';
        while (q.step()) {
            for (int c = 0; c < q.columnCount(); ++c)
                all += q.text(c) + '|';
            all += '\n';
        }
    }
    return all;
}

std::string ServerFixture::unitId(const std::string& code)
{
    auto db = m_store->connection();
    auto q = db->prepare("SELECT id FROM organisations WHERE code = ?");
    q.bindAll(code);
    return q.step() ? q.text(0) : std::string();
}

std::string ServerFixture::userId(const std::string& userName)
{
    auto db = m_store->connection();
    auto q = db->prepare("SELECT id FROM users WHERE user_name = ?");
    q.bindAll(userName);
    return q.step() ? q.text(0) : std::string();
}

}  // namespace nemora::test
