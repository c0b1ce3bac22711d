// The demo data: the accounts log in, every method answers with its rows, and the status
// screen's gauges find a latest period for the meters, whatever day the data was made on.

#include "RowShapes.h"
#include "calendar/DateProc.h"
#include "server/DemoData.h"
#include "server/LiveReporter.h"
#include "server/Server.h"

#include <filesystem>
#include <random>
#include <set>

namespace nemora::test {
namespace {

class DemoTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() / ("nemora-demo-test-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(m_dir);
        int y = 0, m = 0, d = 0;
        std::sscanf(GetParam(), "%d/%d/%d", &y, &m, &d);
        DateProc::SolarToGregorian(y, m, d);
        DateProc::SetFixedNow(QDateTime(QDate(y, m, d), QTime(10, 15)));
        m_store = std::make_unique<Store>((m_dir / "demo.db").string());
        ASSERT_TRUE(fillDemo(*m_store));
        m_server = std::make_unique<Server>(*m_store);
    }
    void TearDown() override
    {
        DateProc::ResetClock();
        m_server.reset();
        m_store.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    Json call(const std::string& method, const Json& body) { return Json::parse(m_server->handle(method, body.dump()).toJson()); }
    Json get(const std::string& method) { return Json::parse(m_server->handle(Verb::Get, method, "").toJson()); }
    Json login(const DemoAccount& account)
    {
        return call("user_login", Json{{"user_name", account.userName}, {"password", account.password}});
    }

    std::filesystem::path m_dir;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<Server> m_server;
};

TEST_P(DemoTest, AccountsUnitsAndMeters)
{
    EXPECT_FALSE(fillDemo(*m_store));   // only an empty database is filled

    const auto& accounts = demoAccounts();
    const Json admin = login(accounts[0]);
    ASSERT_EQ(admin["settings"]["success"], "1");
    EXPECT_EQ(admin["data"][0]["Code"], "01");
    EXPECT_EQ(admin["data"][0]["UserID"], Server::kMainUserId);
    const Json oper = login(accounts[1]);
    ASSERT_EQ(oper["settings"]["success"], "1");
    EXPECT_EQ(oper["data"][0]["Code"].get<std::string>().size(), 4u);
    EXPECT_EQ(login(accounts[2])["settings"]["success"], "0");
    for (const auto& account : accounts) {
        EXPECT_GE(account.userName.size(), 6u);
        EXPECT_GE(account.password.size(), 6u);
    }

    size_t deepest = 0;
    const Json units = get("get_all_organisation");
    for (const auto& unit : units["data"])
        deepest = std::max(deepest, unit["Code"].get<std::string>().size() / 2);
    EXPECT_GE(deepest, 4u);

    const Json devices = call("get_all_register_device", Json{{"from_date", ""}, {"to_Date", ""}});
    int autoValve = 0, inactive = 0, undeployed = 0;
    for (const auto& row : devices["data"]) {
        EXPECT_TRUE(hasShape(row, kRegisteredRow));
        autoValve += row["IsAutoValveSetting"].get<bool>();
        inactive += !row["Activated"].get<bool>();
        undeployed += !row["Transferred"].get<bool>();
        EXPECT_LE(row["CreateDate"].get<std::string>(), GetParam());
    }
    EXPECT_GE(devices["data"].size(), 55u);
    EXPECT_GE(autoValve, 5);
    EXPECT_GE(inactive, 2);
    EXPECT_GE(undeployed, 2);
}

TEST_P(DemoTest, ReportsHistoryAndGauges)
{
    const std::string today = GetParam();
    const std::string yesterday = DateProc::AddDaysToSolarDate(QString::fromStdString(today), -1).toStdString();
    const std::string longAgo = DateProc::AddDaysToSolarDate(QString::fromStdString(today), -120).toStdString();
    const Json latest = call("get_last_all_devices_log_of_user", Json{{"user_id", Server::kMainUserId}});
    ASSERT_GE(latest["data"].size(), 45u);

    int errors = 0, lowBattery = 0, closed = 0;
    for (const auto& row : latest["data"]) {
        ASSERT_TRUE(hasShape(row, kRetrievalRow));
        errors += row["ErrorCode"] != "0";
        lowBattery += row["BatteryVoltage"].get<double>() < 2.9;
        closed += row["SolenoidValveStatus"] != "55";
        const std::string serial = row["Serial"];

        const Json daily = call("get_consumed_list_daily_by_serial", Json{{"serial", serial}});
        const Json weekly = call("get_consumed_list_weekly_by_serial", Json{{"serial", serial}});
        const Json monthly = call("get_consumed_list_monthly_by_serial", Json{{"serial", serial}});
        ASSERT_FALSE(daily["data"].empty()) << serial;
        const std::string dailyEnd = daily["data"][0]["ToShamsiDate"];
        EXPECT_TRUE(dailyEnd == today || dailyEnd == yesterday) << serial << " " << dailyEnd;
        EXPECT_EQ(weekly["data"][0]["ToShamsiDate"], today) << serial;
        EXPECT_EQ(monthly["data"][0]["ToShamsiDate"], today.substr(0, 7) + "/01") << serial;
        EXPECT_LE(daily["data"].back()["FromShamsiDate"].get<std::string>(), longAgo) << serial;
        for (const auto& r : weekly["data"])
            EXPECT_LE(r["MinWentVolume"], r["MaxWentVolume"]);
    }
    EXPECT_GE(errors, 2);
    EXPECT_GE(lowBattery, 1);
    EXPECT_GE(closed, 2);

    const Json settings = call("get_all_device_setting_of_user", Json{{"user_id", Server::kMainUserId}});
    int schedules = 0, histories = 0;
    for (const auto& row : settings["data"]) {
        ASSERT_TRUE(hasShape(row, kSettingListRow));
        const std::string serial = row["DeviceSerial"];
        histories += call("get_device_setting_history", Json{{"serial_number", serial}})["data"].size() > 1;
        if (row["IsAutoValveSetting"].get<bool>()) {
            const Json list = call("get_all_auto_valve_setting", Json{{"serial", serial}});
            for (const auto& s : list["data"])
                EXPECT_TRUE(hasShape(s, kScheduleRow));
            schedules += static_cast<int>(list["data"].size());
        }
    }
    EXPECT_GE(histories, 5);
    EXPECT_GE(schedules, 5);
}

TEST_P(DemoTest, LiveMetersReportAndObeyTheirValve)
{
    const auto serials = demoLiveSerials();
    LiveReporter live(*m_store, serials, std::chrono::seconds(30));
    const std::string meter = serials[0];
    Json before = call("get_last_log_by_serial", Json{{"serial", meter}})["data"][0];
    ASSERT_EQ(call("set_new_device_setting", Json{{"serial", meter}, {"solenoid_valve", "AA"}, {"openness_percent", 100},
                                                  {"send_data_time", 600}, {"sended", true}})["settings"]["success"], "1");
    DateProc::SetFixedNow(DateProc::CurrentDateTime().addSecs(30));
    EXPECT_EQ(live.reportOnce(), static_cast<int>(serials.size()));
    const Json after = call("get_last_log_by_serial", Json{{"serial", meter}})["data"][0];
    EXPECT_EQ(after["SolenoidValveStatus"], "AA");
    EXPECT_EQ(after["WentVolume"], before["WentVolume"]);
    EXPECT_EQ(after["ReceveShamsiDate"], GetParam());
    EXPECT_EQ(after["ReceveTime"], "10:15:30");

    // The thread starts and stops without a tick.
    live.start();
    live.stop();
}

// A day in the middle of a month, the first day of a year, and the last day of a year.
INSTANTIATE_TEST_SUITE_P(Days, DemoTest, ::testing::Values("1403/05/17", "1404/01/01", "1403/12/30"));

}  // namespace
}  // namespace nemora::test
