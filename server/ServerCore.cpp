#include "Handlers.h"
#include "Dates.h"
#include "ServerTexts.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <unordered_map>

namespace nemora {

using namespace handlers;

Envelope Envelope::ok(std::string message, Row rows)
{
    Envelope e;
    e.success = true;
    e.message = std::move(message);
    e.data = std::move(rows);
    return e;
}

Envelope Envelope::refused(std::string message, int httpStatus)
{
    Envelope e;
    e.success = false;
    e.message = std::move(message);
    e.httpStatus = httpStatus;
    return e;
}

std::string Envelope::toJson() const
{
    Row root = Row::object();
    root["settings"] = Row{{"success", success ? "1" : "0"}, {"message", message}};
    root["data"] = data;
    return root.dump(-1, ' ', false, Row::error_handler_t::replace);
}

namespace handlers {

const Json& Request::value(const char* key) const
{
    const auto it = m_body.find(key);
    if (it == m_body.end())
        throw Refusal(fill(ServerTexts::kMissingKey, key));
    return *it;
}

std::string Request::text(const char* key) const
{
    const Json& v = value(key);
    if (!v.is_string())
        throw Refusal(fill(ServerTexts::kWantString, key));
    return v.get<std::string>();
}

std::optional<std::string> Request::optionalText(const char* key) const
{
    if (m_body.find(key) == m_body.end())
        return std::nullopt;
    return text(key);
}

int64_t Request::integer(const char* key) const
{
    const Json& v = value(key);
    if (v.is_number_integer())
        return v.get<int64_t>();
    if (v.is_number_unsigned()) {
        const auto u = v.get<uint64_t>();
        if (u <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
            return static_cast<int64_t>(u);
    }
    if (v.is_number_float()) {
        // Some JSON writers render every number with a fraction ("100.0"); a whole one is fine.
        const double d = v.get<double>();
        if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9.0e15)
            return static_cast<int64_t>(d);
    }
    throw Refusal(fill(ServerTexts::kWantInteger, key));
}

bool Request::boolean(const char* key) const
{
    const Json& v = value(key);
    if (!v.is_boolean())
        throw Refusal(fill(ServerTexts::kWantBoolean, key));
    return v.get<bool>();
}

std::string fill(const char* message, const std::string& value)
{
    std::string text = message;
    const auto at = text.find("%1");
    if (at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

size_t characters(const std::string& utf8)
{
    size_t n = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

void requireSerial(const std::string& serial)
{
    if (serial.empty())
        throw Refusal(ServerTexts::kSerialEmpty);
    if (characters(serial) != 15)
        throw Refusal(ServerTexts::kSerialLength);
}

Device requireDevice(Connection& db, const std::string& serial)
{
    requireSerial(serial);
    auto q = db.prepare("SELECT activated, is_auto_valve FROM devices WHERE serial = ?");
    q.bindAll(serial);
    if (!q.step())
        throw Refusal(ServerTexts::kDeviceNotFound);
    return Device{serial, q.integer(0) != 0, q.integer(1) != 0};
}

UserScope requireUserScope(Connection& db, const std::string& userId)
{
    auto q = db.prepare("SELECT u.activated, u.organisation_id, o.code FROM users u"
                        " LEFT JOIN organisations o ON o.id = u.organisation_id WHERE u.id = ?");
    q.bindAll(userId);
    if (!q.step())
        throw Refusal(ServerTexts::kUserNotFound);
    if (q.integer(0) == 0)
        throw Refusal(ServerTexts::kUserInactive);
    if (q.isNull(2))
        throw Refusal(ServerTexts::kOrganNotFound);
    return UserScope{userId, q.text(1), q.text(2)};
}

std::string solarBoundOrEmpty(const std::string& text)
{
    if (text.empty())
        return {};
    const auto bound = dates::solarBound(text);
    if (!bound)
        throw Refusal(fill(ServerTexts::kDateInvalid, text));
    return *bound;
}

Envelope listReply(Row rows, const char* noneMessage)
{
    if (rows.empty())
        return Envelope::ok(noneMessage);
    return Envelope::ok(ServerTexts::kDone, std::move(rows));
}

}  // namespace handlers

namespace {

struct MethodEntry {
    const char* name;
    Verb verb;
    Handler handler;
};

const std::vector<MethodEntry>& table()
{
    static const std::vector<MethodEntry> entries = {
        {"user_login", Verb::Post, handlers::user_login},
        {"get_last_log_by_serial", Verb::Post, handlers::get_last_log_by_serial},
        {"get_last_log_by_contractno", Verb::Post, handlers::get_last_log_by_contractno},
        {"get_consumed_list_daily_by_serial", Verb::Post, handlers::get_consumed_list_daily_by_serial},
        {"get_consumed_list_weekly_by_serial", Verb::Post, handlers::get_consumed_list_weekly_by_serial},
        {"get_consumed_list_monthly_by_serial", Verb::Post, handlers::get_consumed_list_monthly_by_serial},
        {"get_consumed_list_daily_by_contractno", Verb::Post, handlers::get_consumed_list_daily_by_contractno},
        {"get_consumed_list_weekly_by_contractno", Verb::Post, handlers::get_consumed_list_weekly_by_contractno},
        {"get_consumed_list_monthly_by_contractno", Verb::Post, handlers::get_consumed_list_monthly_by_contractno},
        {"get_all_log_devices_of_user", Verb::Post, handlers::get_all_log_devices_of_user},
        {"get_last_all_devices_log_of_user", Verb::Post, handlers::get_last_all_devices_log_of_user},
        {"get_all_device_setting_of_user", Verb::Post, handlers::get_all_device_setting_of_user},
        {"set_new_device_setting", Verb::Post, handlers::set_new_device_setting},
        {"get_period_setting_by_serial", Verb::Post, handlers::get_period_setting_by_serial},
        {"get_all_auto_valve_setting", Verb::Post, handlers::get_all_auto_valve_setting},
        {"set_auto_valve_setting_by_serial", Verb::Post, handlers::set_auto_valve_setting_by_serial},
        {"get_device_setting_history", Verb::Post, handlers::get_device_setting_history},
        {"get_all_register_device", Verb::Post, handlers::get_all_register_device},
        {"set_activated_device", Verb::Post, handlers::set_activated_device},
        {"delete_device", Verb::Post, handlers::delete_device},
        {"set_new_device", Verb::Post, handlers::set_new_device},
        {"set_defult_device_setting", Verb::Post, handlers::set_defult_device_setting},
        {"set_device_type", Verb::Post, handlers::set_device_type},
        {"set_transfer_device", Verb::Post, handlers::set_transfer_device},
        {"get_all_my_device_list", Verb::Post, handlers::get_all_my_device_list},
        {"edit_contractno", Verb::Post, handlers::edit_contractno},
        {"get_all_organisation", Verb::Get, handlers::get_all_organisation},
        {"delete_organisation", Verb::Post, handlers::delete_organisation},
        {"used_in_device_from_organ", Verb::Post, handlers::used_in_device_from_organ},
        {"used_in_user_from_organ", Verb::Post, handlers::used_in_user_from_organ},
        {"set_new_organisation", Verb::Post, handlers::set_new_organisation},
        {"edit_organisation", Verb::Post, handlers::edit_organisation},
        {"get_organisation_by_user", Verb::Post, handlers::get_organisation_by_user},
        {"get_all_users", Verb::Get, handlers::get_all_users},
        {"delete_user", Verb::Post, handlers::delete_user},
        {"set_new_user", Verb::Post, handlers::set_new_user},
        {"edit_user", Verb::Post, handlers::edit_user},
    };
    return entries;
}

const MethodEntry* find(const std::string& method)
{
    static const auto index = [] {
        std::unordered_map<std::string, const MethodEntry*> map;
        for (const auto& e : table())
            map.emplace(e.name, &e);
        return map;
    }();
    const auto it = index.find(method);
    return it == index.end() ? nullptr : it->second;
}

}  // namespace

Server::Server(Store& store) : m_store(store) {}

const std::vector<std::string>& Server::methods()
{
    static const auto names = [] {
        std::vector<std::string> list;
        for (const auto& e : table())
            list.emplace_back(e.name);
        return list;
    }();
    return names;
}

std::optional<Verb> Server::verbOf(const std::string& method)
{
    const MethodEntry* entry = find(method);
    if (!entry)
        return std::nullopt;
    return entry->verb;
}

Envelope Server::wrongVerb(const std::string& method)
{
    const MethodEntry* entry = find(method);
    if (!entry)
        return Envelope::refused(fill(ServerTexts::kUnknownMethod, method), 404);
    return Envelope::refused(fill(entry->verb == Verb::Get ? ServerTexts::kUseGet : ServerTexts::kUsePost, method), 405);
}

Envelope Server::handle(Verb verb, const std::string& method, const std::string& body)
{
    const MethodEntry* entry = find(method);
    if (!entry || entry->verb != verb)
        return wrongVerb(method);
    return handle(method, body);
}

Envelope Server::handle(const std::string& method, const std::string& body)
{
    const MethodEntry* entry = find(method);
    if (!entry)
        return Envelope::refused(fill(ServerTexts::kUnknownMethod, method), 404);

    Json parsed = Json::object();
    if (entry->verb == Verb::Post) {
        parsed = Json::parse(body, nullptr, false);
        if (parsed.is_discarded())
            return Envelope::refused(ServerTexts::kNotJson);
        if (!parsed.is_object())
            return Envelope::refused(ServerTexts::kNotObject);
    }
    try {
        auto db = m_store.connection();
        return entry->handler(Request(parsed), *db);
    } catch (const Refusal& refusal) {
        return Envelope::refused(refusal.what());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: internal error: %s\n", method.c_str(), error.what());
        return Envelope::refused(ServerTexts::kInternal);
    }
}

}  // namespace nemora
