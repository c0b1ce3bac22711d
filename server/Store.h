#pragma once
// The server's storage: one SQLite file in WAL mode, shared by every request thread through a
// pool of connections (one per concurrently running request). WAL lets readers run while one
// writer commits; writers take the write lock at BEGIN IMMEDIATE and queue on SQLite's busy
// timeout, so concurrent changes never interleave half-way.

#include "Db.h"

#include <QDateTime>
#include <cstdint>
#include <string>

namespace nemora {

// One report as a meter sends it.
struct MeterReport {
    std::string serial;
    QDateTime receivedAt;          // local time of receipt
    int64_t wentVolume = 0;        // litres
    int64_t returnVolume = 0;      // litres
    double dailyFlowMax = 0;       // m3/h
    int64_t workHours = 0;
    double fluidTemperature = 0;   // degrees C (or bar)
    double batteryVoltage = 0;     // volts
    std::string valveStatus = "55";
    std::string errorCode = "0";   // hexadecimal bit field; "0" when the meter has no error
    int64_t snr = 0;
    int64_t rssi = 0;
    int64_t opennessPercent = 100;
    int64_t remainingDays = 0;
    int64_t remainingLiters = 0;
};

class Store {
public:
    // Opens (and creates when missing) the database file and its schema.
    explicit Store(const std::string& path);

    ConnectionPool::Lease connection() { return m_pool.acquire(); }
    const std::string& path() const { return m_pool.path(); }

    // True when the database holds no unit, user or meter yet.
    bool isEmpty();

    // Stores a meter's report and marks the meter's pending automatic schedules as passed on,
    // as a real meter picks them up when it reports. Inside the caller's transaction if any.
    static void addReport(Connection& db, const MeterReport& report);

    // A new upper-case GUID text without braces.
    static std::string newId();

private:
    ConnectionPool m_pool;
};

}  // namespace nemora
