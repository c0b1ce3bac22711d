// What every method does with a body it cannot use: it answers success "0" with a message that
// names the fault, and changes nothing.

#include "ServerFixture.h"
#include "server/ServerTexts.h"

#include <algorithm>
#include <functional>
#include <set>

namespace nemora::test {
namespace {

class RequestTest : public ServerFixture {};

TEST_F(RequestTest, EveryPostMethodRefusesBodiesThatAreNoJsonObject)
{
    const std::string before = snapshot();
    for (const auto& method : Server::methods()) {
        if (Server::verbOf(method) != Verb::Post)
            continue;
        for (const char* body : {"", "not json", "{\"serial\": ", "[1, 2]", "\"text\"", "42", "null"}) {
            const Json reply = call(method, std::string(body));
            EXPECT_FALSE(ok(reply)) << method << " accepted " << body;
            EXPECT_FALSE(message(reply).empty()) << method;
        }
        const Json empty = call(method, std::string("{}"));
        EXPECT_FALSE(ok(empty)) << method << " accepted {}";
        EXPECT_NE(message(empty).find("«"), std::string::npos) << method << ": " << message(empty);
    }
    EXPECT_EQ(snapshot(), before);
}

TEST_F(RequestTest, HostileBodiesAreRefusedWithoutHarm)
{
    const std::string deep = std::string(400000, '[') + std::string(400000, ']');
    EXPECT_EQ(message(call("user_login", deep)), ServerTexts::kNotObject);
    const std::string deepObject = "{\"user_name\": " + deep + ", \"password\": \"x\"}";
    EXPECT_FALSE(ok(call("user_login", deepObject)));
    EXPECT_EQ(message(call("user_login", std::string("{\"user_name\": \"\xff\xfe\", \"password\": \"x\"}"))),
              ServerTexts::kNotJson);
    EXPECT_EQ(message(call("user_login", std::string("{\"user_name\": \"a\0b\"}", 17))), ServerTexts::kNotJson);
}

TEST_F(RequestTest, VerbsAndUnknownMethods)
{
    EXPECT_TRUE(ok(get("get_all_users")));
    EXPECT_TRUE(ok(get("get_all_organisation")));
    const auto post = [this](const std::string& method) {
        return Json::parse(m_server->handle(Verb::Post, method, "{}").toJson());
    };
    EXPECT_FALSE(ok(post("get_all_users")));
    EXPECT_FALSE(ok(post("get_all_organisation")));
    EXPECT_FALSE(ok(get("user_login")));
    EXPECT_FALSE(ok(get("get_last_log_by_serial")));
    for (const char* unknown : {"", "nothing", "USER_LOGIN", "user_login/x", "user_login "}) {
        const Json reply = call(unknown, std::string("{}"));
        EXPECT_FALSE(ok(reply)) << unknown;
        EXPECT_TRUE(reply["data"].is_array());
    }
    EXPECT_EQ(Server::methods().size(), 37u);
}

// A well-formed body for every POST method, in an order in which each succeeds on the fixture's
// world. Every key is then dropped, and given a value of another JSON type, one at a time.
struct Case {
    std::string method;
    std::function<Json()> body;
    std::vector<std::string> optionalKeys;
};

TEST_F(RequestTest, EveryKeyIsRequiredWithItsJsonType)
{
    report(kS1, solarMoment(1403, 5, 16, 8), 1000);
    report(kS1, solarMoment(1403, 5, 17, 8), 1250);
    const std::string admin = Server::kMainUserId;
    const std::string serial9 = "100000000000009";
    const std::vector<Case> cases = {
        {"user_login", [] { return Json{{"user_name", "admin01"}, {"password", "secret01"}}; }, {}},
        {"get_last_log_by_serial", [] { return Json{{"serial", kS1}}; }, {}},
        {"get_last_log_by_contractno", [] { return Json{{"contract_no", "C-1"}}; }, {}},
        {"get_consumed_list_daily_by_serial", [] { return Json{{"serial", kS1}}; }, {}},
        {"get_consumed_list_weekly_by_serial", [] { return Json{{"serial", kS1}}; }, {}},
        {"get_consumed_list_monthly_by_serial", [] { return Json{{"serial", kS1}}; }, {}},
        {"get_consumed_list_daily_by_contractno", [] { return Json{{"contract_no", "C-1"}}; }, {}},
        {"get_consumed_list_weekly_by_contractno", [] { return Json{{"contract_no", "C-1"}}; }, {}},
        {"get_consumed_list_monthly_by_contractno", [] { return Json{{"contract_no", "C-1"}}; }, {}},
        {"get_all_log_devices_of_user",
         [&] { return Json{{"user_id", admin}, {"from_shamsi_date", "1403/05/01"}, {"to_shamsi_date", "1403/05/31"}}; }, {}},
        {"get_last_all_devices_log_of_user", [&] { return Json{{"user_id", admin}}; }, {}},
        {"get_all_device_setting_of_user", [&] { return Json{{"user_id", admin}}; }, {}},
        {"set_new_device_setting",
         [] { return Json{{"serial", kS1}, {"solenoid_valve", "AA"}, {"openness_percent", 40}, {"send_data_time", 3600}, {"sended", true}}; }, {}},
        {"get_period_setting_by_serial", [] { return Json{{"serial", kS1}}; }, {}},
        {"set_auto_valve_setting_by_serial",
         [] { return Json{{"serial", kS2}, {"activated", true}, {"solenoid_valve", "55"}, {"openness_percent", 100},
                          {"days_no", 3}, {"litres_no", 0}, {"send_data_time", "2024-08-10 14:30:00.000"}}; }, {}},
        {"get_all_auto_valve_setting", [] { return Json{{"serial", kS2}}; }, {}},
        {"get_device_setting_history", [] { return Json{{"serial_number", kS1}}; }, {}},
        {"get_all_register_device", [] { return Json{{"from_date", ""}, {"to_Date", ""}}; }, {}},
        {"set_activated_device", [] { return Json{{"serial", kS3}, {"activated", true}}; }, {}},
        {"set_new_device", [&] { return Json{{"serial", serial9}, {"create_date_eng", "2024/05/01"}, {"is_auto_valve_setting", false}}; }, {}},
        {"set_defult_device_setting", [&] { return Json{{"serial", serial9}}; }, {}},
        {"set_device_type", [&] { return Json{{"serial", serial9}, {"is_auto_valve_setting", true}}; }, {}},
        {"set_transfer_device",
         [&] { return Json{{"serial", kS4}, {"transfer_date_eng", "2024/07/01"}, {"organization_id", unitId("0102")},
                           {"file_number", "F4"}, {"connection_type", 2}, {"customer_name", "name"},
                           {"customer_phone", "021"}, {"customer_address", "addr"}, {"sim_card", "SIM4"},
                           {"description", "d"}, {"latitude", "35"}, {"longitude", "51"}, {"contract_no", "C-4"},
                           {"part_no", "p"}, {"national_no", "n"}, {"mobile", "m"}, {"private_code", "pc"},
                           {"company", "co"}}; }, {}},
        {"get_all_my_device_list", [&] { return Json{{"organ_id", unitId("01")}, {"from_date", ""}, {"to_Date", ""}}; },
         {"from_date", "to_Date"}},
        {"edit_contractno",
         [] { return Json{{"serial", kS1}, {"contract_no", "C-11"}, {"company", "c"}, {"part_no", "p"}, {"national_no", "n"},
                          {"mobile", "m"}, {"private_code", "pc"}, {"tell", "t"}, {"address", "a"}}; }, {}},
        {"delete_device", [&] { return Json{{"serial", serial9}}; }, {}},
        {"used_in_device_from_organ", [] { return Json{{"organ_code", "0101"}}; }, {}},
        {"used_in_user_from_organ", [] { return Json{{"organ_code", "0102"}}; }, {}},
        {"set_new_organisation", [&] { return Json{{"parent_id", unitId("0102")}, {"code", "010201"}, {"organ_name", "new"}}; }, {}},
        {"edit_organisation",
         [&] { return Json{{"organ_id", unitId("010201")}, {"parent_id", unitId("0102")}, {"code", "010201"}, {"organ_name", "renamed"}}; }, {}},
        {"delete_organisation", [] { return Json{{"organ_code", "010201%"}}; }, {}},
        {"get_organisation_by_user", [&] { return Json{{"user_id", userId("oper0102")}}; }, {}},
        {"set_new_user", [&] { return Json{{"user_name", "newuser1"}, {"password", "secret09"}, {"organisation_id", unitId("0101")}}; }, {}},
        {"edit_user",
         [&] { return Json{{"user_name", "newuser1"}, {"password", "secret10"}, {"organisation_id", unitId("0101")},
                           {"activated", true}, {"user_id", userId("newuser1")}}; }, {}},
        {"delete_user", [&] { return Json{{"user_id", userId("newuser1")}}; }, {}},
    };

    std::set<std::string> covered;
    for (const auto& c : cases) {
        covered.insert(c.method);
        const Json body = c.body();
        const std::string before = snapshot();
        for (const auto& [key, value] : body.items()) {
            const bool optional = std::find(c.optionalKeys.begin(), c.optionalKeys.end(), key) != c.optionalKeys.end();
            Json without = body;
            without.erase(key);
            const Json missing = call(c.method, without);
            if (!optional) {
                EXPECT_FALSE(ok(missing)) << c.method << " without " << key;
                EXPECT_NE(message(missing).find(key), std::string::npos) << c.method << ": " << message(missing);
            }
            Json wrong = body;
            wrong[key] = value.is_string() ? Json(15) : value.is_boolean() ? Json("true") : Json("15");
            const Json mistyped = call(c.method, wrong);
            EXPECT_FALSE(ok(mistyped)) << c.method << " with " << key << " = " << wrong[key].dump();
            EXPECT_NE(message(mistyped).find(key), std::string::npos) << c.method << ": " << message(mistyped);
            if (!optional) {
                EXPECT_EQ(snapshot(), before) << c.method << " changed data on a refused call (" << key << ")";
            }
        }
        const Json reply = call(c.method, body);
        EXPECT_TRUE(ok(reply)) << c.method << ": " << message(reply);
        EXPECT_TRUE(reply["data"].is_array()) << c.method;
    }
    for (const auto& method : Server::methods()) {
        if (Server::verbOf(method) == Verb::Post) {
            EXPECT_TRUE(covered.count(method)) << method << " has no case";
        }
    }
}

TEST_F(RequestTest, NumbersWrittenWithAFractionCountOnlyWhenWhole)
{
    Json body = {{"serial", kS1}, {"solenoid_valve", "55"}, {"openness_percent", 40.0}, {"send_data_time", 3600}, {"sended", false}};
    EXPECT_TRUE(ok(call("set_new_device_setting", body)));
    body["openness_percent"] = 40.5;
    EXPECT_FALSE(ok(call("set_new_device_setting", body)));
    body["openness_percent"] = 1e300;
    EXPECT_FALSE(ok(call("set_new_device_setting", body)));
}

TEST_F(RequestTest, ValuesNeverReachSqlAsText)
{
    const std::string hostile = "x' OR '1'='1";
    EXPECT_FALSE(ok(call("user_login", Json{{"user_name", hostile}, {"password", hostile}})));
    EXPECT_FALSE(ok(call("delete_organisation", Json{{"organ_code", "%"}})));
    EXPECT_FALSE(ok(call("delete_organisation", Json{{"organ_code", "0_%"}})));
    const Json units = get("get_all_organisation");
    EXPECT_EQ(units["data"].size(), 4u);
    // A unit code with a LIKE wildcard matches no subtree.
    EXPECT_TRUE(call("used_in_device_from_organ", Json{{"organ_code", "0_"}})["data"].empty());
}

}  // namespace
}  // namespace nemora::test
