// nemora_server_bench [--clients 8] [--calls 300] [--seconds 30] [--port PORT]
//
// Several clients call the server at once over loopback, each with its own connection, through a
// mix of what the screens ask for (login, a meter's status and consumption, the lists of all
// meters, a setting). Without --port it starts a server of its own on a free port over a fresh
// demo database. Each client stops after its number of calls or when the time is up. Prints calls
// per second, errors and the mean time of each method.

#include "calendar/DateProc.h"
#include "server/Dates.h"
#include "server/DemoData.h"
#include "server/HttpServer.h"
#include "server/Server.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

using namespace nemora;
using Clock = std::chrono::steady_clock;

namespace {

struct Call {
    std::string method;
    bool get;
    std::string body;
};

struct Tally {
    int64_t calls = 0;
    int64_t errors = 0;
    double ms = 0;
};

std::vector<Call> mix(const std::string& serial, int client)
{
    const std::string admin = Server::kMainUserId;
    const std::string today = dates::solarText(dates::today());
    const std::string weekAgo = DateProc::AddDaysToSolarDate(QString::fromStdString(today), -6).toStdString();
    const Json setting = {{"serial", serial}, {"solenoid_valve", "55"}, {"openness_percent", 50 + client},
                          {"send_data_time", 86400}, {"sended", true}};
    return {
        {"user_login", false, Json{{"user_name", "admin01"}, {"password", "nemora01"}}.dump()},
        {"get_last_log_by_serial", false, Json{{"serial", serial}}.dump()},
        {"get_consumed_list_daily_by_serial", false, Json{{"serial", serial}}.dump()},
        {"get_consumed_list_weekly_by_serial", false, Json{{"serial", serial}}.dump()},
        {"get_consumed_list_monthly_by_serial", false, Json{{"serial", serial}}.dump()},
        {"get_last_all_devices_log_of_user", false, Json{{"user_id", admin}}.dump()},
        {"get_all_log_devices_of_user", false,
         Json{{"user_id", admin}, {"from_shamsi_date", weekAgo}, {"to_shamsi_date", today}}.dump()},
        {"get_all_device_setting_of_user", false, Json{{"user_id", admin}}.dump()},
        {"get_all_organisation", true, ""},
        {"set_new_device_setting", false, setting.dump()},
    };
}

}  // namespace

int main(int argc, char** argv)
{
    int clients = 8;
    int callsPerClient = 300;
    int seconds = 30;
    int port = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const int value = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--clients"))
            clients = std::max(1, value);
        else if (!std::strcmp(argv[i], "--calls"))
            callsPerClient = std::max(1, value);
        else if (!std::strcmp(argv[i], "--seconds"))
            seconds = std::max(1, value);
        else if (!std::strcmp(argv[i], "--port"))
            port = value;
    }

    std::unique_ptr<Store> store;
    std::unique_ptr<Server> server;
    std::unique_ptr<HttpServer> http;
    std::thread serving;
    const auto dir = std::filesystem::temp_directory_path() / ("nemora-server-bench-" + std::to_string(::getpid()));
    if (port == 0) {
        std::filesystem::create_directories(dir);
        store = std::make_unique<Store>((dir / "bench.db").string());
        const auto filling = Clock::now();
        fillDemo(*store);
        std::printf("demo data: %.0f ms\n", std::chrono::duration<double, std::milli>(Clock::now() - filling).count());
        server = std::make_unique<Server>(*store);
        http = std::make_unique<HttpServer>(*server);
        http->setLogging(false);
        port = http->bind("127.0.0.1", 0);
        serving = std::thread([&] { http->run(); });
    }
    const std::vector<std::string> serials = demoLiveSerials();

    std::mutex mutex;
    std::map<std::string, Tally> tallies;
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    const auto started = Clock::now();
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            httplib::Client client("127.0.0.1", port);
            client.set_read_timeout(60, 0);
            const auto calls = mix(serials[c % serials.size()], c);
            std::map<std::string, Tally> mine;
            for (int i = 0; i < callsPerClient && Clock::now() < deadline; ++i) {
                const Call& call = calls[(i + c) % calls.size()];
                const auto t0 = Clock::now();
                auto result = call.get ? client.Get(("/ws/" + call.method).c_str())
                                       : client.Post(("/ws/" + call.method).c_str(), call.body, "application/json");
                Tally& tally = mine[call.method];
                tally.ms += std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
                ++tally.calls;
                bool good = result && result->status == 200;
                if (good) {
                    const Json reply = Json::parse(result->body, nullptr, false);
                    good = reply.is_object() && reply["settings"]["success"] == "1";
                }
                tally.errors += good ? 0 : 1;
            }
            std::lock_guard<std::mutex> lock(mutex);
            for (const auto& [method, t] : mine) {
                tallies[method].calls += t.calls;
                tallies[method].errors += t.errors;
                tallies[method].ms += t.ms;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    const double elapsed = std::chrono::duration<double>(Clock::now() - started).count();

    Tally total;
    std::printf("%-40s %8s %8s %10s\n", "method", "calls", "errors", "mean ms");
    for (const auto& [method, t] : tallies) {
        std::printf("%-40s %8lld %8lld %10.2f\n", method.c_str(), static_cast<long long>(t.calls),
                    static_cast<long long>(t.errors), t.ms / std::max<int64_t>(1, t.calls));
        total.calls += t.calls;
        total.errors += t.errors;
    }
    std::printf("clients %d, calls %lld, errors %lld, %.2f s, %.0f calls/s\n", clients,
                static_cast<long long>(total.calls), static_cast<long long>(total.errors), elapsed,
                total.calls / elapsed);

    if (http) {
        http->stop();
        serving.join();
        http.reset();
        server.reset();
        store.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    return total.errors == 0 ? 0 : 1;
}
