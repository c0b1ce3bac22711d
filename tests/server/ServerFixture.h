#pragma once
// A server on a temporary database with a small known world and a fixed clock (1403/05/17,
// a Wednesday, 12:00):
//   01 main unit            admin01 / secret01 (the main account)
//     0101 unit A           sleepy01 / secret03 (inactive)
//       010101 unit A1
//     0102 unit B           oper0102 / secret02
// Meters: kS1 in 010101 (contract C-1), kS2 in 0102 (automatic valve, contract C-2),
// kS3 in 0101 (inactive, contract C-3), kS4 registered but never deployed. No reports.

#include "server/Server.h"
#include "server/Store.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <filesystem>
#include <memory>
#include <string>

namespace nemora::test {

inline const std::string kS1 = "100000000000001";
inline const std::string kS2 = "100000000000002";
inline const std::string kS3 = "100000000000003";
inline const std::string kS4 = "100000000000004";

// A moment given by its Solar date, converted with the program's calendar.
QDateTime solarMoment(int year, int month, int day, int hour = 12, int minute = 0, int second = 0);

class ServerFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // POST-style call with a JSON body; the reply parsed back from its JSON text, as a client sees it.
    Json call(const std::string& method, const Json& body);
    Json call(const std::string& method, const std::string& rawBody);
    Json get(const std::string& method);
    static bool ok(const Json& reply) { return reply["settings"]["success"] == "1"; }
    static std::string message(const Json& reply) { return reply["settings"]["message"].get<std::string>(); }

    // Stores a report of a meter (volumes in litres).
    void report(const std::string& serial, const QDateTime& at, int64_t wentVolume, const std::string& valve = "55",
                const std::string& errorCode = "0", double voltage = 3.6);
    // Runs one SQL statement that yields one integer (test inspection only).
    int64_t count(const std::string& sql);
    // Every row of every table as text, to show that a refused call changed nothing.
    std::string snapshot();
    void setNow(const QDateTime& now);

    std::string unitId(const std::string& code);
    std::string userId(const std::string& userName);

    std::filesystem::path m_dir;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<Server> m_server;
    QDateTime m_now;
};

}  // namespace nemora::test
