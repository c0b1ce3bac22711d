// nemora-server [--host 127.0.0.1] [--port 3500] [--db PATH] [--demo]
// The reference meter-management server. Prints "listening on HOST:PORT" on standard output once
// it accepts connections (with --port 0 the port is a free one), and stops cleanly on SIGINT or
// SIGTERM.

#include "DemoData.h"
#include "HttpServer.h"
#include "LiveReporter.h"
#include "Server.h"
#include "Store.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <pthread.h>
#include <string>
#include <thread>

namespace {

struct Options {
    std::string host = "127.0.0.1";
    int port = 3500;
    std::string db;
    bool demo = false;
};

void usage(std::FILE* to)
{
    std::fprintf(to, "usage: nemora-server [--host 127.0.0.1] [--port 3500] [--db PATH] [--demo]\n"
                     "  --host  address to listen on (default 127.0.0.1, this machine only)\n"
                     "  --port  port to listen on; 0 picks a free one (default 3500)\n"
                     "  --db    SQLite database file (default ~/.local/share/Nemora/server.db)\n"
                     "  --demo  fill an empty database with demo data, or bring the demo's data up to\n"
                     "          today; some meters keep reporting\n");
}

std::string defaultDatabase()
{
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::filesystem::path(home) / ".local" / "share";
    else
        base = std::filesystem::current_path();
    return (base / "Nemora" / "server.db").string();
}

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--host") {
            if (!value(options.host))
                return false;
        } else if (arg == "--port") {
            if (!value(text))
                return false;
            char* end = nullptr;
            const long port = std::strtol(text.c_str(), &end, 10);
            if (*end != '\0' || port < 0 || port > 65535)
                return false;
            options.port = static_cast<int>(port);
        } else if (arg == "--db") {
            if (!value(options.db))
                return false;
        } else if (arg == "--demo") {
            options.demo = true;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        usage(stdout);
        return 0;
    }
    if (!parse(argc, argv, options)) {
        usage(stderr);
        return 2;
    }
    if (options.db.empty())
        options.db = defaultDatabase();

    // Signals go to one waiting thread, so that stopping never runs inside a signal handler.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        const auto folder = std::filesystem::path(options.db).parent_path();
        if (!folder.empty())
            std::filesystem::create_directories(folder);
        nemora::Store store(options.db);
        std::fprintf(stderr, "database %s\n", options.db.c_str());

        if (options.demo) {
            if (nemora::fillDemo(store)) {
                std::fprintf(stderr, "demo data written\n");
            } else if (const auto added = nemora::catchUpDemo(store)) {
                std::fprintf(stderr, "demo data brought up to date: %lld reports added\n", static_cast<long long>(*added));
            } else {
                std::fprintf(stderr, "the database holds no demo data; left as it is\n");
            }
            for (const auto& account : nemora::demoAccounts())
                std::printf("demo %s: user name %s, password %s (unit %s)\n", account.role.c_str(),
                            account.userName.c_str(), account.password.c_str(), account.unitCode.c_str());
        }

        nemora::Server server(store);
        nemora::HttpServer http(server);
        const int port = http.bind(options.host, options.port);
        if (port < 0) {
            std::fprintf(stderr, "nemora-server: cannot listen on %s:%d\n", options.host.c_str(), options.port);
            return 1;
        }

        nemora::LiveReporter live(store, nemora::demoLiveSerials(), std::chrono::seconds(30));
        if (options.demo)
            live.start();

        std::thread waiter([&http, stopSignals] {
            int received = 0;
            sigwait(&stopSignals, &received);
            http.stop();
        });

        std::printf("listening on %s:%d\n", options.host.c_str(), port);
        std::fflush(stdout);
        const bool served = http.run();

        // run() also ends when the socket fails; wake the waiter so that it can be joined.
        pthread_kill(waiter.native_handle(), SIGTERM);
        waiter.join();
        live.stop();
        std::fprintf(stderr, "stopped\n");
        return served ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "nemora-server: %s\n", error.what());
        return 1;
    }
}
