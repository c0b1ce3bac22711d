#pragma once
// Internal to the server: the request reader, shared lookups and one function per method.

#include "Server.h"

#include <stdexcept>

namespace nemora::handlers {

// Ends a call with success "0" and this message; the caller's transaction rolls back.
class Refusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the keys of a request body with their JSON types; a missing key or another type is a
// Refusal that names the key.
class Request {
public:
    explicit Request(const Json& body) : m_body(body) {}

    std::string text(const char* key) const;
    std::optional<std::string> optionalText(const char* key) const;   // absent key: nullopt
    int64_t integer(const char* key) const;    // a JSON number with no fraction
    bool boolean(const char* key) const;       // true or false, nothing else

private:
    const Json& value(const char* key) const;
    const Json& m_body;
};

// "%1" in a message template replaced by a value.
std::string fill(const char* message, const std::string& value);
// Length in characters (code points) of a UTF-8 text.
size_t characters(const std::string& utf8);

// Refuses an empty serial or one that is not 15 characters long.
void requireSerial(const std::string& serial);

struct Device {
    std::string serial;
    bool activated = false;
    bool autoValve = false;
};
// The meter, or a Refusal when no meter has this serial (after requireSerial).
Device requireDevice(Connection& db, const std::string& serial);

// The unit whose code begins every code the user may see, from an activated account.
struct UserScope {
    std::string userId;
    std::string organId;
    std::string code;
};
UserScope requireUserScope(Connection& db, const std::string& userId);

// A Solar period bound: empty text for none, otherwise padded; refuses anything else.
std::string solarBoundOrEmpty(const std::string& text);

// The reply of a list method: the rows with the done message, or no rows with `noneMessage`
// when the list is empty.
Envelope listReply(Row rows, const char* noneMessage);

using Handler = Envelope (*)(const Request&, Connection&);

// --- accounts and organisations (HandlersAccounts.cpp) ---
Envelope user_login(const Request&, Connection&);
Envelope get_all_users(const Request&, Connection&);
Envelope delete_user(const Request&, Connection&);
Envelope set_new_user(const Request&, Connection&);
Envelope edit_user(const Request&, Connection&);
Envelope get_all_organisation(const Request&, Connection&);
Envelope delete_organisation(const Request&, Connection&);
Envelope used_in_device_from_organ(const Request&, Connection&);
Envelope used_in_user_from_organ(const Request&, Connection&);
Envelope set_new_organisation(const Request&, Connection&);
Envelope edit_organisation(const Request&, Connection&);
Envelope get_organisation_by_user(const Request&, Connection&);

// --- reports and consumption (HandlersReports.cpp) ---
Envelope get_last_log_by_serial(const Request&, Connection&);
Envelope get_last_log_by_contractno(const Request&, Connection&);
Envelope get_consumed_list_daily_by_serial(const Request&, Connection&);
Envelope get_consumed_list_weekly_by_serial(const Request&, Connection&);
Envelope get_consumed_list_monthly_by_serial(const Request&, Connection&);
Envelope get_consumed_list_daily_by_contractno(const Request&, Connection&);
Envelope get_consumed_list_weekly_by_contractno(const Request&, Connection&);
Envelope get_consumed_list_monthly_by_contractno(const Request&, Connection&);
Envelope get_all_log_devices_of_user(const Request&, Connection&);
Envelope get_last_all_devices_log_of_user(const Request&, Connection&);

// --- settings (HandlersSettings.cpp) ---
Envelope get_all_device_setting_of_user(const Request&, Connection&);
Envelope set_new_device_setting(const Request&, Connection&);
Envelope get_period_setting_by_serial(const Request&, Connection&);
Envelope get_all_auto_valve_setting(const Request&, Connection&);
Envelope set_auto_valve_setting_by_serial(const Request&, Connection&);
Envelope get_device_setting_history(const Request&, Connection&);
Envelope set_defult_device_setting(const Request&, Connection&);

// --- device registry (HandlersDevices.cpp) ---
Envelope get_all_register_device(const Request&, Connection&);
Envelope set_activated_device(const Request&, Connection&);
Envelope delete_device(const Request&, Connection&);
Envelope set_new_device(const Request&, Connection&);
Envelope set_device_type(const Request&, Connection&);
Envelope set_transfer_device(const Request&, Connection&);
Envelope get_all_my_device_list(const Request&, Connection&);
Envelope edit_contractno(const Request&, Connection&);

}  // namespace nemora::handlers
