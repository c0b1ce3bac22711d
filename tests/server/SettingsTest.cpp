// Manual settings, their history, the default setting and the automatic valve schedules.

#include "RowShapes.h"
#include "ServerFixture.h"
#include "server/ServerTexts.h"

namespace nemora::test {
namespace {

class SettingsTest : public ServerFixture {
protected:
    Json setting(const std::string& serial, const std::string& valve, int percent, int interval, bool sended)
    {
        return call("set_new_device_setting", Json{{"serial", serial}, {"solenoid_valve", valve}, {"openness_percent", percent},
                                                   {"send_data_time", interval}, {"sended", sended}});
    }
    Json settingRow(const std::string& user, const std::string& serial)
    {
        const Json reply = call("get_all_device_setting_of_user", Json{{"user_id", user}});
        for (const auto& row : reply["data"])
            if (row["DeviceSerial"] == serial)
                return row;
        return Json();
    }
    Json schedule(const std::string& serial, int days, int litres, const std::string& moment, const std::string& valve = "AA")
    {
        return call("set_auto_valve_setting_by_serial",
                    Json{{"serial", serial}, {"activated", true}, {"solenoid_valve", valve}, {"openness_percent", 60},
                         {"days_no", days}, {"litres_no", litres}, {"send_data_time", moment}});
    }
};

TEST_F(SettingsTest, ANewSettingBecomesCurrentAndEntersTheHistory)
{
    // Before any setting the list shows the default a meter works with.
    Json row = settingRow(Server::kMainUserId, kS1);
    ASSERT_TRUE(hasShape(row, kSettingListRow)) << row.dump();
    EXPECT_EQ(row["SolenoidValve"], "55");
    EXPECT_EQ(row["SendDataTime"], 86400);
    EXPECT_EQ(row["CreateShamsiDate"], "");
    EXPECT_EQ(row["PastFewDays"], -1);

    report(kS1, solarMoment(1403, 5, 15, 7), 100, "55");
    ASSERT_TRUE(ok(setting(kS1, "AA", 30, 7200, true)));
    setNow(solarMoment(1403, 5, 17, 14, 5, 9));
    ASSERT_TRUE(ok(setting(kS1, " a a", 40, 3600, false)));   // blanks and case as the list reads them

    row = settingRow(Server::kMainUserId, kS1);
    ASSERT_TRUE(hasShape(row, kSettingListRow));
    EXPECT_EQ(row["SolenoidValve"], "AA");
    EXPECT_EQ(row["OpennessPercent"], 40);
    EXPECT_EQ(row["SendDataTime"], 3600);
    EXPECT_EQ(row["Sended"], false);
    EXPECT_EQ(row["CreateShamsiDate"], "1403/05/17");
    EXPECT_EQ(row["CreateTime"], "14:05:09");
    EXPECT_EQ(row["PastFewDays"], 2);
    EXPECT_EQ(row["SolenoidValveStatus"], "55");
    EXPECT_EQ(row["OrganCode"], "010101");
    EXPECT_EQ(row["IsAutoValveSetting"], false);
    EXPECT_EQ(settingRow(Server::kMainUserId, kS2)["IsAutoValveSetting"], true);
    // Inactive meters are not in the list; an operator sees only the meters of the unit.
    EXPECT_TRUE(settingRow(Server::kMainUserId, kS3).is_null());
    EXPECT_TRUE(settingRow(userId("oper0102"), kS1).is_null());

    const Json history = call("get_device_setting_history", Json{{"serial_number", kS1}});
    ASSERT_EQ(history["data"].size(), 2u);
    for (const auto& h : history["data"])
        EXPECT_TRUE(hasShape(h, kHistoryRow));
    EXPECT_EQ(history["data"][0]["SendDataTime"], 3600);
    EXPECT_EQ(history["data"][1]["SolenoidValve"], "AA");
    EXPECT_EQ(history["data"][1]["Sended"], true);

    const Json period = call("get_period_setting_by_serial", Json{{"serial", kS1}});
    ASSERT_TRUE(hasShape(period["data"][0], kPeriodRow));
    EXPECT_EQ(period["data"][0]["Period"], 3600);
}

TEST_F(SettingsTest, SettingRefusals)
{
    const struct {
        std::string serial, valve;
        int percent, interval;
        const char* expected;
    } cases[] = {
        {"", "55", 50, 600, ServerTexts::kSerialEmpty},
        {"12345", "55", 50, 600, ServerTexts::kSerialLength},
        {"999999999999999", "55", 50, 600, ServerTexts::kDeviceNotFound},
        {kS1, "BB", 50, 600, ServerTexts::kValveInvalid},
        {kS1, "", 50, 600, ServerTexts::kValveInvalid},
        {kS1, "55", 101, 600, ServerTexts::kPercentRange},
        {kS1, "55", -1, 600, ServerTexts::kPercentRange},
        {kS1, "55", 50, 0, ServerTexts::kIntervalRange},
        {kS1, "55", 50, 5184001, ServerTexts::kIntervalRange},
    };
    const std::string before = snapshot();
    for (const auto& c : cases)
        EXPECT_EQ(message(setting(c.serial, c.valve, c.percent, c.interval, true)), c.expected) << c.serial << c.valve;
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(ok(setting(kS1, "55", 0, 5184000, true)));
}

TEST_F(SettingsTest, EmptyHistoryAndDefaultSetting)
{
    const Json empty = call("get_device_setting_history", Json{{"serial_number", kS4}});
    EXPECT_TRUE(ok(empty));
    EXPECT_TRUE(empty["data"].empty());
    EXPECT_EQ(message(empty), ServerTexts::kNoSettingHistory);
    EXPECT_EQ(message(call("get_device_setting_history", Json{{"serial_number", ""}})), ServerTexts::kSerialEmpty);
    EXPECT_EQ(call("get_period_setting_by_serial", Json{{"serial", kS4}})["data"][0]["Period"], 86400);

    ASSERT_TRUE(ok(call("set_defult_device_setting", Json{{"serial", kS4}})));
    const Json history = call("get_device_setting_history", Json{{"serial_number", kS4}});
    ASSERT_EQ(history["data"].size(), 1u);
    EXPECT_EQ(history["data"][0]["SolenoidValve"], "55");
    EXPECT_EQ(history["data"][0]["OpennessPercent"], 100);
    EXPECT_EQ(history["data"][0]["SendDataTime"], 86400);

    // A refused registration of an existing serial is followed by this call; it must not
    // overwrite the meter's own setting.
    ASSERT_TRUE(ok(setting(kS1, "AA", 10, 600, true)));
    EXPECT_EQ(message(call("set_defult_device_setting", Json{{"serial", kS1}})), ServerTexts::kDefaultExists);
    EXPECT_EQ(settingRow(Server::kMainUserId, kS1)["SolenoidValve"], "AA");
}

TEST_F(SettingsTest, SchedulesAreStoredListedAndMarkedSentByTheNextReport)
{
    const Json none = call("get_all_auto_valve_setting", Json{{"serial", kS2}});
    EXPECT_TRUE(ok(none));
    EXPECT_EQ(message(none), ServerTexts::kNoAutoSettings);

    ASSERT_TRUE(ok(schedule(kS2, 30, 0, "2024-08-10 14:30:00.000")));   // 1403/05/20
    setNow(m_now.addSecs(60));
    ASSERT_TRUE(ok(schedule(kS2, 0, 0, "2024-08-07 12:01:00.000", "55")));
    Json list = call("get_all_auto_valve_setting", Json{{"serial", kS2}});
    ASSERT_EQ(list["data"].size(), 2u);
    for (const auto& row : list["data"])
        EXPECT_TRUE(hasShape(row, kScheduleRow));
    const Json& older = list["data"][1];
    EXPECT_EQ(older["SendDateTime_fa"], "1403/05/20 14:30");
    EXPECT_EQ(older["Created_fa"], "1403/05/17 12:00:00");
    EXPECT_EQ(older["DaysNo"], 30);
    EXPECT_EQ(older["SolenoidValve"], "AA");
    EXPECT_EQ(older["Sended"], false);
    EXPECT_EQ(older["SendedDateTime_fa"], "");

    report(kS2, solarMoment(1403, 5, 17, 12, 30), 10);
    list = call("get_all_auto_valve_setting", Json{{"serial", kS2}});
    for (const auto& row : list["data"]) {
        EXPECT_EQ(row["Sended"], true);
        EXPECT_EQ(row["SendedDateTime_fa"], "1403/05/17 12:30:00");
    }

    const struct {
        std::string serial;
        int days, litres;
        std::string moment;
        std::string expected;
    } refusals[] = {
        {kS1, 1, 0, "2024-08-10 14:30:00.000", ServerTexts::kNotAutoValve},
        {kS2, 366, 0, "2024-08-10 14:30:00.000", ServerTexts::kDaysRange},
        {kS2, 0, 100000000, "2024-08-10 14:30:00.000", ServerTexts::kLitresRange},
        {kS2, -1, 0, "2024-08-10 14:30:00.000", ServerTexts::kNegativeNumber},
        {kS2, 1, 0, "1403-05-20 14:30:00.000", "1403-05-20"},   // the moment is Gregorian
        {kS2, 1, 0, "2024-08-10 25:30", "25:30"},
        {kS2, 1, 0, "", "«»"},
    };
    for (const auto& r : refusals) {
        const Json reply = schedule(r.serial, r.days, r.litres, r.moment);
        EXPECT_FALSE(ok(reply)) << r.moment;
        EXPECT_NE(message(reply).find(r.expected), std::string::npos) << message(reply);
    }
    EXPECT_TRUE(ok(schedule(kS2, 365, 99999999, "2024/08/10 06:00")));
}

}  // namespace
}  // namespace nemora::test
