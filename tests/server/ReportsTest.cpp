// Reports of the meters: the latest report of one meter, all reports of a user's meters in a
// Solar period, the latest report of each, and the consumption lists as the status screen's
// gauges read them.

#include "RowShapes.h"
#include "ServerFixture.h"
#include "calendar/DateProc.h"
#include "server/ServerTexts.h"

#include <set>

namespace nemora::test {
namespace {

class ReportsTest : public ServerFixture {
protected:
    std::set<std::string> serialsOf(const Json& reply, const char* key = "Serial")
    {
        std::set<std::string> serials;
        for (const auto& row : reply["data"])
            serials.insert(row[key].get<std::string>());
        return serials;
    }
    Json logs(const std::string& user, const std::string& from, const std::string& to)
    {
        return call("get_all_log_devices_of_user", Json{{"user_id", user}, {"from_shamsi_date", from}, {"to_shamsi_date", to}});
    }
};

TEST_F(ReportsTest, LatestReportOfOneMeter)
{
    report(kS1, solarMoment(1403, 5, 16, 8), 1000, "55", "0", 3.3);
    report(kS1, solarMoment(1403, 5, 17, 8, 30, 5), 1250, "AA", "12", 2.85);
    report(kS3, solarMoment(1403, 5, 17, 9), 50);

    for (const Json& reply : {call("get_last_log_by_serial", Json{{"serial", kS1}}),
                              call("get_last_log_by_contractno", Json{{"contract_no", "C-1"}})}) {
        ASSERT_TRUE(ok(reply)) << message(reply);
        ASSERT_EQ(reply["data"].size(), 1u);
        const Json& row = reply["data"][0];
        EXPECT_TRUE(hasShape(row, kStatusRow));
        EXPECT_EQ(row["WentVolume"], 1250);
        EXPECT_EQ(row["ReceveShamsiDate"], "1403/05/17");
        EXPECT_EQ(row["ReceveTime"], "08:30:05");
        EXPECT_EQ(row["SolenoidValveStatus"], "AA");
        EXPECT_EQ(row["ErrorCode"], "12");
        EXPECT_EQ(row["DailyFlowMax"], "1.25");
        EXPECT_EQ(row["FluidTemperature"], "18.5");
        EXPECT_DOUBLE_EQ(row["BatteryVoltage"].get<double>(), 2.85);
    }

    const struct {
        const char* method;
        Json body;
        const char* expected;
    } refusals[] = {
        {"get_last_log_by_serial", {{"serial", ""}}, ServerTexts::kSerialEmpty},
        {"get_last_log_by_serial", {{"serial", "10000000000001"}}, ServerTexts::kSerialLength},
        {"get_last_log_by_serial", {{"serial", "1000000000000011"}}, ServerTexts::kSerialLength},
        {"get_last_log_by_serial", {{"serial", "999999999999999"}}, ServerTexts::kDeviceNotFound},
        {"get_last_log_by_serial", {{"serial", kS3}}, ServerTexts::kDeviceInactive},
        {"get_last_log_by_contractno", {{"contract_no", ""}}, ServerTexts::kContractEmpty},
        {"get_last_log_by_contractno", {{"contract_no", "C-3"}}, ServerTexts::kDeviceInactive},
        {"get_last_log_by_contractno", {{"contract_no", "C-99"}}, ServerTexts::kContractNotFound},
        {"get_consumed_list_daily_by_serial", {{"serial", kS3}}, ServerTexts::kDeviceInactive},
        {"get_consumed_list_monthly_by_contractno", {{"contract_no", ""}}, ServerTexts::kContractEmpty},
    };
    for (const auto& r : refusals) {
        const Json reply = call(r.method, r.body);
        EXPECT_FALSE(ok(reply)) << r.method << " " << r.body.dump();
        EXPECT_EQ(message(reply), r.expected) << r.method << " " << r.body.dump();
    }

    // A meter that never reported answers with no rows and says so.
    const Json none = call("get_last_log_by_serial", Json{{"serial", kS2}});
    EXPECT_TRUE(ok(none));
    EXPECT_TRUE(none["data"].empty());
    EXPECT_EQ(message(none), ServerTexts::kNoReports);
}

TEST_F(ReportsTest, AContractFollowsItsActiveMeterThatReportedLast)
{
    report(kS1, solarMoment(1403, 5, 10), 100);
    report(kS2, solarMoment(1403, 5, 12), 900);
    ASSERT_TRUE(ok(call("edit_contractno", Json{{"serial", kS2}, {"contract_no", "C-1"}, {"company", ""}, {"part_no", ""},
                                                {"national_no", ""}, {"mobile", ""}, {"private_code", ""}, {"tell", ""},
                                                {"address", ""}})));
    EXPECT_EQ(call("get_last_log_by_contractno", Json{{"contract_no", "C-1"}})["data"][0]["WentVolume"], 900);
    ASSERT_TRUE(ok(call("set_activated_device", Json{{"serial", kS2}, {"activated", false}})));
    EXPECT_EQ(call("get_last_log_by_contractno", Json{{"contract_no", "C-1"}})["data"][0]["WentVolume"], 100);
}

TEST_F(ReportsTest, PeriodIsInclusiveAndOnlyForActiveMetersOfTheUsersUnits)
{
    report(kS1, solarMoment(1403, 5, 10, 23, 59, 59), 10);
    report(kS1, solarMoment(1403, 5, 11, 0, 0, 0), 20);
    report(kS1, solarMoment(1403, 5, 12, 8), 30);
    report(kS2, solarMoment(1403, 5, 11, 9), 500);
    report(kS3, solarMoment(1403, 5, 11, 9), 70);   // inactive

    const std::string admin = Server::kMainUserId;
    const std::string oper = userId("oper0102");
    const struct {
        std::string user, from, to;
        size_t rows;
    } cases[] = {
        {admin, "1403/05/11", "1403/05/12", 3},
        {admin, "1403/05/10", "1403/05/10", 1},
        {admin, "1403/5/11", "1403/5/11", 2},      // unpadded texts as typed
        {admin, "1403/05/13", "1403/05/31", 0},
        {admin, "", "", 4},                        // no bounds
        {admin, "1403/05/12", "", 1},
        {admin, "1403/01/01", "1403/12/30", 4},    // the year preset, also in a year of 29 Esfand days
        {oper, "1403/05/01", "1403/05/31", 1},
    };
    for (const auto& c : cases) {
        const Json reply = logs(c.user, c.from, c.to);
        ASSERT_TRUE(ok(reply)) << message(reply);
        EXPECT_EQ(reply["data"].size(), c.rows) << c.from << " .. " << c.to;
        if (c.rows == 0) {
            EXPECT_EQ(message(reply), ServerTexts::kNoReportsInPeriod);
        }
    }
    EXPECT_EQ(serialsOf(logs(oper, "", "")), std::set<std::string>{kS2});

    const Json all = logs(admin, "1403/05/01", "1403/05/31");
    ASSERT_EQ(all["data"].size(), 4u);
    for (const auto& row : all["data"])
        EXPECT_TRUE(hasShape(row, kRetrievalRow));
    // Most recent first; the owner and unit data of the meter come along.
    const Json& newest = all["data"][0];
    EXPECT_EQ(newest["Serial"], kS1);
    EXPECT_EQ(newest["ReceveDateTime"], solarMoment(1403, 5, 12, 8).toString(Qt::ISODate).toStdString());
    EXPECT_EQ(newest["PastFewDays"], 5);
    EXPECT_EQ(newest["OrganCode"], "010101");
    EXPECT_EQ(newest["OrganName"], "unit A1");
    EXPECT_EQ(newest["ContractNo"], "C-1");
    EXPECT_EQ(all["data"][3]["PastFewDays"], 7);

    const struct {
        std::string user, from, to, expected;
    } refusals[] = {
        {admin, "1403/05/12", "1403/05/11", ServerTexts::kDateOrder},
        {admin, "1403-05-01", "1403/05/31", "1403-05-01"},
        {admin, "1403/13/01", "1403/05/31", "1403/13/01"},
        {admin, "1403/05/01", "tomorrow", "tomorrow"},
        {"nobody", "1403/05/01", "1403/05/31", ServerTexts::kUserNotFound},
        {userId("sleepy01"), "1403/05/01", "1403/05/31", ServerTexts::kUserInactive},
    };
    for (const auto& r : refusals) {
        const Json reply = logs(r.user, r.from, r.to);
        EXPECT_FALSE(ok(reply)) << r.from << " " << r.to;
        EXPECT_NE(message(reply).find(r.expected), std::string::npos) << message(reply);
    }
}

TEST_F(ReportsTest, LatestReportOfEachMeter)
{
    report(kS1, solarMoment(1403, 5, 10), 10);
    report(kS1, solarMoment(1403, 5, 14), 40);
    report(kS2, solarMoment(1403, 5, 16), 500);
    report(kS3, solarMoment(1403, 5, 17), 70);

    const Json admin = call("get_last_all_devices_log_of_user", Json{{"user_id", Server::kMainUserId}});
    ASSERT_TRUE(ok(admin));
    ASSERT_EQ(admin["data"].size(), 2u);
    EXPECT_EQ(admin["data"][0]["Serial"], kS2);
    EXPECT_EQ(admin["data"][1]["WentVolume"], 40);
    EXPECT_EQ(admin["data"][1]["PastFewDays"], 3);
    for (const auto& row : admin["data"])
        EXPECT_TRUE(hasShape(row, kRetrievalRow));
    EXPECT_EQ(serialsOf(call("get_last_all_devices_log_of_user", Json{{"user_id", userId("oper0102")}})),
              std::set<std::string>{kS2});
}

// What the status screen tests before it fills a gauge: the end of the first row against today.
struct GaugeCheck {
    static bool daily(const Json& rows, const std::string& today)
    {
        const std::string to = rows[0]["ToShamsiDate"];
        return to == today || to == DateProc::AddDaysToSolarDate(QString::fromStdString(today), -1).toStdString();
    }
    static bool weekly(const Json& rows, const std::string& today) { return rows[0]["ToShamsiDate"] == today; }
    static bool monthly(const Json& rows, const std::string& today)
    {
        return rows[0]["ToShamsiDate"] == today.substr(0, 7) + "/01";
    }
};

TEST_F(ReportsTest, ConsumptionAcrossASolarMonthBoundary)
{
    // One report a day at 08:00 from 1403/04/25 to 1403/05/17 (today), 100 litres a day.
    QDateTime at = solarMoment(1403, 4, 25, 8);
    int64_t went = 5000;
    while (at <= m_now) {
        report(kS1, at, went);
        went += 100;
        at = at.addDays(1);
    }
    const std::string today = "1403/05/17";
    const Json daily = call("get_consumed_list_daily_by_serial", Json{{"serial", kS1}});
    const Json weekly = call("get_consumed_list_weekly_by_contractno", Json{{"contract_no", "C-1"}});
    const Json monthly = call("get_consumed_list_monthly_by_serial", Json{{"serial", kS1}});
    for (const Json* reply : {&daily, &weekly, &monthly}) {
        ASSERT_TRUE(ok(*reply)) << message(*reply);
        for (const auto& row : (*reply)["data"])
            EXPECT_TRUE(hasShape(row, kConsumptionRow));
    }

    ASSERT_EQ(daily["data"].size(), 24u);   // 7 days of month 04 (31 days) and 17 of month 05
    EXPECT_TRUE(GaugeCheck::daily(daily["data"], today));
    EXPECT_EQ(daily["data"][0], Json({{"FromShamsiDate", today}, {"ToShamsiDate", today}, {"MinWentVolume", 7200},
                                      {"MaxWentVolume", 7300}, {"DataReceiveCount", 1}}));
    EXPECT_EQ(daily["data"][16]["FromShamsiDate"], "1403/05/01");
    EXPECT_EQ(daily["data"][17]["FromShamsiDate"], "1403/04/31");
    EXPECT_EQ(daily["data"][16]["MinWentVolume"], 5600);   // measured from the reading of 04/31
    EXPECT_EQ(daily["data"].back()["MinWentVolume"], 5000); // nothing before the first report

    ASSERT_GE(weekly["data"].size(), 3u);
    EXPECT_TRUE(GaugeCheck::weekly(weekly["data"], today));
    EXPECT_EQ(weekly["data"][0]["FromShamsiDate"], "1403/05/11");
    EXPECT_EQ(weekly["data"][0]["MaxWentVolume"].get<int64_t>() - weekly["data"][0]["MinWentVolume"].get<int64_t>(), 700);
    EXPECT_EQ(weekly["data"][0]["DataReceiveCount"], 7);
    EXPECT_EQ(weekly["data"][1]["FromShamsiDate"], "1403/05/04");
    EXPECT_EQ(weekly["data"][2]["FromShamsiDate"], "1403/04/28");
    EXPECT_EQ(weekly["data"][2]["ToShamsiDate"], "1403/05/03");

    // Only the complete month 04 is listed; it ends on the first day of the current month.
    ASSERT_EQ(monthly["data"].size(), 1u);
    EXPECT_TRUE(GaugeCheck::monthly(monthly["data"], today));
    EXPECT_EQ(monthly["data"][0], Json({{"FromShamsiDate", "1403/04/01"}, {"ToShamsiDate", "1403/05/01"},
                                        {"MinWentVolume", 5000}, {"MaxWentVolume", 5600}, {"DataReceiveCount", 7}}));
}

TEST_F(ReportsTest, ConsumptionAcrossASolarYearBoundary)
{
    setNow(solarMoment(1404, 1, 3, 21, 30));
    const std::string today = "1404/01/03";
    // Every six hours from 1403/11/20 on, 25 litres each time.
    QDateTime at = solarMoment(1403, 11, 20, 3);
    int64_t went = 0;
    while (at <= m_now) {
        report(kS2, at, went);
        went += 25;
        at = at.addSecs(6 * 3600);
    }
    const Json daily = call("get_consumed_list_daily_by_contractno", Json{{"contract_no", "C-2"}});
    const Json weekly = call("get_consumed_list_weekly_by_serial", Json{{"serial", kS2}});
    const Json monthly = call("get_consumed_list_monthly_by_contractno", Json{{"contract_no", "C-2"}});

    EXPECT_TRUE(GaugeCheck::daily(daily["data"], today));
    EXPECT_EQ(daily["data"][0]["DataReceiveCount"], 4);
    EXPECT_EQ(daily["data"][0]["MaxWentVolume"].get<int64_t>() - daily["data"][0]["MinWentVolume"].get<int64_t>(), 100);
    EXPECT_EQ(daily["data"][3]["ToShamsiDate"], DateProc::AddDaysToSolarDate("1404/01/01", -1).toStdString());

    EXPECT_TRUE(GaugeCheck::weekly(weekly["data"], today));
    EXPECT_EQ(weekly["data"][0]["FromShamsiDate"], DateProc::AddDaysToSolarDate("1404/01/03", -6).toStdString());
    EXPECT_EQ(weekly["data"][0]["DataReceiveCount"], 28);

    ASSERT_EQ(monthly["data"].size(), 2u);
    EXPECT_TRUE(GaugeCheck::monthly(monthly["data"], today));
    EXPECT_EQ(monthly["data"][0]["FromShamsiDate"], "1403/12/01");
    EXPECT_EQ(monthly["data"][0]["ToShamsiDate"], "1404/01/01");
    EXPECT_EQ(monthly["data"][1]["FromShamsiDate"], "1403/11/01");
    EXPECT_EQ(monthly["data"][1]["ToShamsiDate"], "1403/12/01");
    // Esfand's reports, measured from the last reading of Bahman.
    const int64_t esfandDays = DateProc::SolarTextToDate("1404/01/01").toJulianDay()
                               - DateProc::SolarTextToDate("1403/12/01").toJulianDay();
    EXPECT_EQ(monthly["data"][0]["DataReceiveCount"], 4 * esfandDays);
    EXPECT_EQ(monthly["data"][0]["MaxWentVolume"].get<int64_t>() - monthly["data"][0]["MinWentVolume"].get<int64_t>(),
              100 * esfandDays);
}

TEST_F(ReportsTest, ConsumptionOfAMeterWithoutReports)
{
    const Json reply = call("get_consumed_list_weekly_by_serial", Json{{"serial", kS2}});
    EXPECT_TRUE(ok(reply));
    EXPECT_TRUE(reply["data"].empty());
    EXPECT_EQ(message(reply), ServerTexts::kNoPeriods);
}

}  // namespace
}  // namespace nemora::test
