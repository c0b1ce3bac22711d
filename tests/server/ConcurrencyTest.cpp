// Several clients at once on one database: every call is answered, no change is lost.

#include "ServerFixture.h"

#include <atomic>
#include <thread>

namespace nemora::test {
namespace {

class ConcurrencyTest : public ServerFixture {};

TEST_F(ConcurrencyTest, ParallelReadersAndWritersLoseNothing)
{
    for (int d = 0; d < 30; ++d)
        report(kS1, solarMoment(1403, 5, 17).addDays(-d), 1000 + d);

    constexpr int kThreads = 8;
    constexpr int kRounds = 25;
    std::atomic<int> failures{0};
    std::vector<std::string> messages(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRounds; ++i) {
                char serial[16];
                std::snprintf(serial, sizeof serial, "3%02d%012d", t, i);
                const Json replies[] = {
                    call("user_login", Json{{"user_name", "admin01"}, {"password", "secret01"}}),
                    call("set_new_device", Json{{"serial", serial}, {"create_date_eng", "2024/05/01"}, {"is_auto_valve_setting", false}}),
                    call("set_new_device_setting", Json{{"serial", kS1}, {"solenoid_valve", "55"}, {"openness_percent", i},
                                                        {"send_data_time", 600}, {"sended", true}}),
                    call("get_all_log_devices_of_user", Json{{"user_id", Server::kMainUserId}, {"from_shamsi_date", ""},
                                                             {"to_shamsi_date", ""}}),
                    call("get_consumed_list_daily_by_serial", Json{{"serial", kS1}}),
                };
                for (const auto& reply : replies) {
                    if (!ok(reply)) {
                        ++failures;
                        messages[t] = message(reply);
                    }
                }
                if (replies[3]["data"].size() != 30)
                    ++failures;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();

    for (const auto& m : messages)
        EXPECT_TRUE(m.empty()) << m;
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(count("SELECT login_count FROM users WHERE user_name = 'admin01'"), kThreads * kRounds);
    EXPECT_EQ(count("SELECT COUNT(*) FROM devices WHERE serial LIKE '3%'"), kThreads * kRounds);
    EXPECT_EQ(count("SELECT COUNT(*) FROM settings WHERE serial = '" + kS1 + "'"), kThreads * kRounds);
}

}  // namespace
}  // namespace nemora::test
