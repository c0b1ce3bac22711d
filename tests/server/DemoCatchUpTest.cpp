// A demo database started again on a later day: the meters' missed reports are added at their
// send intervals, so that the status screen's gauges find their newest periods again, while a
// database that the demo did not fill stays exactly as it was.

#include "ServerFixture.h"
#include "calendar/DateProc.h"
#include "server/Dates.h"
#include "server/DemoData.h"
#include "server/LiveReporter.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <random>

namespace nemora::test {
namespace {

// Demo serials: …100 reports daily at 01:00 and is of the automatic type, …102 daily,
// …103 every three hours, …104 daily, …106 and …142 and …154 daily and automatic, …112 daily,
// automatic, with a schedule made two hours before the fill that it has not picked up yet.
std::string demoSerial(int index)
{
    return std::to_string(140312000000100LL + index);
}

QDateTime solarAt(const std::string& solar, int hour, int minute)
{
    int y = 0, m = 0, d = 0;
    std::sscanf(solar.c_str(), "%d/%d/%d", &y, &m, &d);
    DateProc::SolarToGregorian(y, m, d);
    return QDateTime(QDate(y, m, d), QTime(hour, minute));
}

class DemoCatchUpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() / ("nemora-catchup-test-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(m_dir);
        m_store = std::make_unique<Store>((m_dir / "demo.db").string());
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
    void fillOn(const QDateTime& moment)
    {
        DateProc::SetFixedNow(moment);
        m_filledAt = moment;
        ASSERT_TRUE(fillDemo(*m_store));
    }
    void moveClock(int days, int minutes = 0)
    {
        DateProc::SetFixedNow(m_filledAt.addDays(days).addSecs(minutes * 60));
    }
    Json call(const std::string& method, const Json& body) { return Json::parse(m_server->handle(method, body.dump()).toJson()); }
    Json rows(const std::string& method, const std::string& serial) { return call(method, Json{{"serial", serial}})["data"]; }
    int64_t count(const std::string& sql, const std::string& value = std::string())
    {
        auto db = m_store->connection();
        auto q = db->prepare(sql.c_str());
        if (!value.empty())
            q.bindAll(value);
        q.step();
        return q.integer(0);
    }

    // What keeps the status screen's gauge of each period at 0 for the meter; empty when its
    // daily list ends today or yesterday, its weekly list today and its monthly list on the first
    // day of the current month.
    std::string gaugeFault(const std::string& serial)
    {
        const std::string today = dates::solarText(dates::today());
        const std::string yesterday = dates::solarText(dates::today().addDays(-1));
        const auto newestEnd = [&](const char* method) {
            const Json list = rows(method, serial);
            return list.empty() ? std::string("(none)") : list[0]["ToShamsiDate"].get<std::string>();
        };
        std::string fault;
        const std::string daily = newestEnd("get_consumed_list_daily_by_serial");
        if (daily != today && daily != yesterday)
            fault += " daily ends " + daily;
        const std::string weekly = newestEnd("get_consumed_list_weekly_by_serial");
        if (weekly != today)
            fault += " weekly ends " + weekly;
        const std::string monthly = newestEnd("get_consumed_list_monthly_by_serial");
        if (monthly != today.substr(0, 7) + "/01")
            fault += " monthly ends " + monthly;
        return fault.empty() ? fault : serial + ":" + fault;
    }
    // The serials of every meter that the report lists show (active and deployed, with reports).
    std::vector<std::string> listedMeters()
    {
        std::vector<std::string> serials;
        const Json latest = call("get_last_all_devices_log_of_user", Json{{"user_id", Server::kMainUserId}});
        for (const auto& row : latest["data"])
            serials.push_back(row["Serial"]);
        std::sort(serials.begin(), serials.end());
        return serials;
    }
    // The meter's row of that day in its daily list; an empty object when it has none.
    Json dailyRowOf(const std::string& serial, const QDate& day)
    {
        for (const auto& row : rows("get_consumed_list_daily_by_serial", serial))
            if (row["FromShamsiDate"] == dates::solarText(day))
                return row;
        return Json::object();
    }
    int64_t reportsAfterFill(const std::string& serial)
    {
        auto db = m_store->connection();
        auto q = db->prepare("SELECT COUNT(*) FROM reports WHERE serial = ? AND received_at > ?");
        q.bindAll(serial, dates::isoText(m_filledAt));
        q.step();
        return q.integer(0);
    }
    // Starts over on a new, empty database file.
    void reopen()
    {
        m_server.reset();
        m_store.reset();
        m_store = std::make_unique<Store>((m_dir / ("demo" + std::to_string(++m_files) + ".db")).string());
        m_server = std::make_unique<Server>(*m_store);
    }

    std::filesystem::path m_dir;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<Server> m_server;
    QDateTime m_filledAt;
    int m_files = 0;
};

// Ten days on in the middle of a month, forty days on (the previous month then has no report of
// the fill at all), and ten days on across the year's end.
struct LaterStart {
    const char* fillDay;
    int days;
};

std::ostream& operator<<(std::ostream& out, const LaterStart& start)
{
    return out << start.fillDay << " + " << start.days << " days";
}

class DemoCatchUpLaterTest : public DemoCatchUpTest, public ::testing::WithParamInterface<LaterStart> {};

TEST_P(DemoCatchUpLaterTest, GaugesFindTheNewestPeriodsAgain)
{
    fillOn(solarAt(GetParam().fillDay, 10, 15));
    const auto meters = listedMeters();
    ASSERT_GE(meters.size(), 45u);
    const int64_t before = count("SELECT COUNT(*) FROM reports");
    moveClock(GetParam().days, -35);
    EXPECT_NE(gaugeFault(demoSerial(2)), "") << "the stale demo data shows the fault";

    const auto added = catchUpDemo(*m_store);
    ASSERT_TRUE(added.has_value());
    EXPECT_EQ(*added, count("SELECT COUNT(*) FROM reports") - before);
    EXPECT_EQ(listedMeters(), meters);
    for (const auto& serial : meters)
        EXPECT_EQ(gaugeFault(serial), "");

    // At each meter's send interval, one report a day for a daily meter, eight for one that
    // reports every three hours, on every day since the fill.
    const QDate yesterday = dates::today().addDays(-1);
    for (const auto& [serial, perDay] : {std::pair{demoSerial(2), 1}, std::pair{demoSerial(3), 8}}) {
        for (QDate day = m_filledAt.date().addDays(1); day <= yesterday; day = day.addDays(1))
            EXPECT_EQ(dailyRowOf(serial, day).value("DataReceiveCount", -1), perDay) << serial << " " << dates::solarText(day);
    }
    // The counters go on from the fill's: no meter's reading ever goes back.
    EXPECT_EQ(count("SELECT COUNT(*) FROM (SELECT went_volume - LAG(went_volume) OVER (PARTITION BY serial"
                    " ORDER BY received_at, id) AS step FROM reports) WHERE step < 0"),
              0);
    // Water keeps flowing through an open valve (…102 is a shop's meter, in use every day).
    const Json newest = dailyRowOf(demoSerial(2), yesterday);
    ASSERT_TRUE(newest.contains("MaxWentVolume"));
    EXPECT_GT(newest["MaxWentVolume"].get<int64_t>(), newest["MinWentVolume"].get<int64_t>());
    // An inactive meter is not caught up.
    EXPECT_EQ(reportsAfterFill(demoSerial(7)), 0);
    EXPECT_GT(reportsAfterFill(demoSerial(8)), 0);

    // Once caught up, a second start the same day adds nothing.
    EXPECT_EQ(catchUpDemo(*m_store), std::optional<int64_t>(0));
}

INSTANTIATE_TEST_SUITE_P(Days, DemoCatchUpLaterTest,
                         ::testing::Values(LaterStart{"1403/05/17", 10}, LaterStart{"1403/05/25", 40},
                                           LaterStart{"1403/12/25", 10}));

TEST_F(DemoCatchUpTest, MissedReportsFollowWhatWasSetAfterTheFill)
{
    fillOn(solarAt("1403/05/17", 10, 15));
    struct Case {
        std::string serial;
        std::string valve;
        int64_t interval;
        int perDay;   // reports on a whole day
    } cases[] = {
        {demoSerial(2), "AA", 3600, 24},
        {demoSerial(4), "55", 60, 144},   // a very short interval is held to ten minutes
    };
    for (const auto& c : cases) {
        const Json reply = call("set_new_device_setting", Json{{"serial", c.serial}, {"solenoid_valve", c.valve},
                                                               {"openness_percent", 100}, {"send_data_time", c.interval},
                                                               {"sended", true}});
        ASSERT_EQ(reply["settings"]["success"], "1") << reply.dump();
    }
    const std::string pending = demoSerial(12);
    auto unsent = [&] {
        int n = 0;
        for (const auto& s : rows("get_all_auto_valve_setting", pending))
            n += !s["Sended"].get<bool>();
        return n;
    };
    ASSERT_EQ(unsent(), 1);

    moveClock(3);
    ASSERT_GT(catchUpDemo(*m_store).value_or(0), 0);
    const QDate wholeDay = dates::today().addDays(-1);
    for (const auto& c : cases) {
        const Json day = dailyRowOf(c.serial, wholeDay);
        EXPECT_EQ(day.value("DataReceiveCount", -1), c.perDay) << c.serial;
        EXPECT_EQ(rows("get_last_log_by_serial", c.serial)[0]["SolenoidValveStatus"], c.valve) << c.serial;
        if (c.valve == "AA") {
            EXPECT_EQ(day["MinWentVolume"], day["MaxWentVolume"]) << "no water through a closed valve";
        }
    }

    // The waiting schedule is passed on with the meter's first report after the fill.
    EXPECT_EQ(unsent(), 0);
    const QDateTime firstNew = QDateTime(m_filledAt.date().addDays(1), QTime(3, 24, 24));
    bool found = false;
    for (const auto& s : rows("get_all_auto_valve_setting", pending))
        found |= s["SendedDateTime_fa"] == dates::solarMomentText(firstNew);
    EXPECT_TRUE(found) << rows("get_all_auto_valve_setting", pending).dump();
}

// A meter of the automatic type obeys the latest order, a manual setting or a schedule action,
// in the reports of the catch-up and in those it sends live alike.
TEST_F(DemoCatchUpTest, TheLatestValveOrderWinsForCatchUpAndLiveReportsAlike)
{
    fillOn(solarAt("1403/05/17", 10, 15));
    struct Case {
        std::string serial;
        const char* first;    // "manual" or "schedule"
        const char* firstValve;
        const char* thenValve;
    } cases[] = {
        {demoSerial(0), "manual", "AA", "55"},
        {demoSerial(6), "schedule", "AA", "55"},
        {demoSerial(42), "manual", "55", "AA"},
        {demoSerial(54), "schedule", "55", "AA"},
    };
    const auto order = [&](const std::string& serial, bool manual, const char* valve, int minutesAfterFill) {
        const QDateTime at = m_filledAt.addSecs(minutesAfterFill * 60);
        DateProc::SetFixedNow(at);
        const Json reply =
            manual ? call("set_new_device_setting", Json{{"serial", serial}, {"solenoid_valve", valve}, {"openness_percent", 100},
                                                         {"send_data_time", 86400}, {"sended", true}})
                   : call("set_auto_valve_setting_by_serial",
                          Json{{"serial", serial}, {"activated", true}, {"solenoid_valve", valve}, {"openness_percent", 100},
                               {"days_no", 0}, {"litres_no", 0},
                               {"send_data_time", at.toString("yyyy-MM-dd HH:mm:ss").toStdString()}});
        ASSERT_EQ(reply["settings"]["success"], "1") << serial << " " << reply.dump();
    };
    for (const auto& c : cases) {
        const bool manualFirst = std::string(c.first) == "manual";
        order(c.serial, manualFirst, c.firstValve, 60);
        order(c.serial, !manualFirst, c.thenValve, 120);
    }

    moveClock(2);
    ASSERT_GT(catchUpDemo(*m_store).value_or(0), 0);
    for (const auto& c : cases)
        EXPECT_EQ(rows("get_last_log_by_serial", c.serial)[0]["SolenoidValveStatus"], c.thenValve) << c.serial << " caught up";

    std::vector<std::string> serials;
    for (const auto& c : cases)
        serials.push_back(c.serial);
    LiveReporter live(*m_store, serials, std::chrono::seconds(30));
    moveClock(2, 1);
    ASSERT_EQ(live.reportOnce(), static_cast<int>(serials.size()));
    for (const auto& c : cases)
        EXPECT_EQ(rows("get_last_log_by_serial", c.serial)[0]["SolenoidValveStatus"], c.thenValve) << c.serial << " live";
}

// Years later only the newest days are made up, and the meter was silent before them.
TEST_F(DemoCatchUpTest, CatchUpIsBounded)
{
    fillOn(solarAt("1403/05/17", 10, 15));
    moveClock(1000);
    ASSERT_GT(catchUpDemo(*m_store).value_or(0), 0);
    const std::string filled = dates::isoText(m_filledAt);
    const std::string cutoff = dates::isoText(dates::now().addDays(-kDemoCatchUpDays));
    auto db = m_store->connection();
    auto q = db->prepare("SELECT COUNT(*) FROM reports WHERE received_at > ? AND received_at < ?");
    q.bindAll(filled, cutoff);
    q.step();
    EXPECT_EQ(q.integer(0), 0);
    for (const auto& serial : listedMeters())
        EXPECT_EQ(gaugeFault(serial), "");
}

// A demo database of before the marker is still known by its main account and first meter; with
// that account changed it is no longer taken for one.
TEST_F(DemoCatchUpTest, AnUnmarkedDemoDatabaseIsKnownByItsAccountAndMeter)
{
    const struct {
        const char* change;
        bool caughtUp;
    } cases[] = {
        {"DELETE FROM meta", true},
        {"UPDATE users SET password = 'changed1' WHERE user_name = 'admin01'", false},
    };
    for (const auto& c : cases) {
        reopen();
        fillOn(solarAt("1403/05/17", 10, 15));
        {
            auto db = m_store->connection();
            db->exec("DELETE FROM meta");
            db->exec(c.change);
        }
        moveClock(5);
        const int64_t reports = count("SELECT COUNT(*) FROM reports");
        const auto added = catchUpDemo(*m_store);
        EXPECT_EQ(added.has_value(), c.caughtUp) << c.change;
        EXPECT_EQ(count("SELECT COUNT(*) FROM reports") - reports, added.value_or(0)) << c.change;
        EXPECT_EQ(count("SELECT COUNT(*) FROM meta"), c.caughtUp ? 1 : 0) << c.change;
        if (c.caughtUp) {
            EXPECT_GT(*added, 0);
        }
    }
}

// A database of real meters, stale for days: --demo must never add a report to it.
class CatchUpOfOtherDataTest : public ServerFixture {};

TEST_F(CatchUpOfOtherDataTest, ADatabaseTheDemoDidNotFillIsLeftAsItIs)
{
    for (int day = 10; day >= 5; --day)
        report(kS1, m_now.addDays(-day), 1000 + 100 * (10 - day));
    report(kS2, m_now.addDays(-3), 500, "AA");
    setNow(m_now.addDays(10));
    const std::string before = snapshot();
    EXPECT_EQ(catchUpDemo(*m_store), std::nullopt);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(count("SELECT COUNT(*) FROM meta"), 0);
}

}  // namespace
}  // namespace nemora::test
