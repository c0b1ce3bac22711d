#pragma once
// Demo data for an empty database: a unit tree under "01", an administrator and an operator,
// about sixty meters with subscriber data, months of reports at each meter's send interval,
// setting histories and automatic schedules. Every date is relative to the day of the fill, so
// the consumption gauges show values on whatever day the server is started.

#include "Store.h"

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

// Fills the database when it is empty, in one transaction. Returns false (and changes nothing)
// when it already holds data.
bool fillDemo(Store& store);

// The demo meters that keep reporting while the server runs with --demo.
std::vector<std::string> demoLiveSerials();

}  // namespace nemora
