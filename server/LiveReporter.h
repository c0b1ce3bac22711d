#pragma once
// Stands in for meters in the field: every interval, each of the given meters sends a new
// report, continuing its counters from its last report and obeying its current valve setting.

#include "Store.h"

#include <condition_variable>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nemora {

class LiveReporter {
public:
    LiveReporter(Store& store, std::vector<std::string> serials, std::chrono::milliseconds interval);
    ~LiveReporter();   // stops and joins

    void start();
    void stop();

    // One round of reports, now (also what each tick of the thread does). Returns how many
    // meters reported; meters that are missing or inactive are skipped.
    int reportOnce();

private:
    void run();

    Store& m_store;
    std::vector<std::string> m_serials;
    std::chrono::milliseconds m_interval;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
};

}  // namespace nemora
