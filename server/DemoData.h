#pragma once
// Demo data for an empty database: a unit tree under "01", an administrator and an operator,
// about sixty meters with subscriber data, months of reports at each meter's send interval,
// setting histories and automatic schedules. Every date is relative to the day of the fill, and
// a demo database started again on a later day is caught up to that day, so the consumption
// gauges show values on whatever day the server is started.

#include "Store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nemora {

struct DemoAccount {
    std::string userName;
    std::string password;
    std::string role;        // what the account is for, in English for the console
    std::string unitCode;
};

// The demo's log-in accounts, as printed at start and listed in the README.
const std::vector<DemoAccount>& demoAccounts();

// Fills the database when it is empty, in one transaction, and marks it as the demo's. Returns
// false (and changes nothing) when it already holds data.
bool fillDemo(Store& store);

// The most days of reports that catchUpDemo adds for a meter (the newest ones).
constexpr int kDemoCatchUpDays = 400;

// Brings a database that the demo filled up to now, in one transaction: every active, deployed
// meter gets the reports it missed since its last one, at its send interval and following its
// stored settings, with its counters going on as in the fill. A meter that never reported is
// left alone. Returns how many reports were added, or nullopt (and changes nothing) when the
// demo did not fill the database.
std::optional<int64_t> catchUpDemo(Store& store);

// The demo meters that keep reporting while the server runs with --demo.
std::vector<std::string> demoLiveSerials();

}  // namespace nemora
