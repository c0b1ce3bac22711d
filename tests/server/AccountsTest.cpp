// Login, user accounts and the tree of operating units.

#include "RowShapes.h"
#include "ServerFixture.h"
#include "server/ServerTexts.h"

namespace nemora::test {
namespace {

class AccountsTest : public ServerFixture {};

TEST_F(AccountsTest, LoginCountsAndRecordsEachSuccess)
{
    for (int n = 1; n <= 2; ++n) {
        const Json reply = call("user_login", Json{{"user_name", "admin01"}, {"password", "secret01"}});
        ASSERT_TRUE(ok(reply)) << message(reply);
        ASSERT_EQ(reply["data"].size(), 1u);
        const Json& row = reply["data"][0];
        EXPECT_TRUE(hasShape(row, kLoginRow));
        EXPECT_EQ(row["UserID"], Server::kMainUserId);
        EXPECT_EQ(row["Code"], "01");
        EXPECT_EQ(row["OrganName"], "main");
        EXPECT_EQ(row["OrganID"], unitId("01"));
        EXPECT_EQ(row["loginCount"], std::to_string(n));
    }
    const Json oper = call("user_login", Json{{"user_name", "oper0102"}, {"password", "secret02"}});
    EXPECT_EQ(oper["data"][0]["Code"], "0102");

    setNow(solarMoment(1403, 5, 18, 9, 5, 7));
    ASSERT_TRUE(ok(call("user_login", Json{{"user_name", "admin01"}, {"password", "secret01"}})));
    const Json users = get("get_all_users");
    for (const auto& user : users["data"]) {
        EXPECT_TRUE(hasShape(user, kUserRow));
        if (user["UserName"] == "admin01") {
            EXPECT_EQ(user["LoginCount"], "3");
            EXPECT_EQ(user["LastLoginDate"], "1403/05/18");
            EXPECT_EQ(user["LastLoginTime"], "09:05:07");
        }
    }
}

TEST_F(AccountsTest, LoginRefusals)
{
    const struct {
        const char* name;
        const char* password;
        const char* expected;
    } cases[] = {
        {"admin01", "wrong-pass", ServerTexts::kLoginWrong},
        {"admin01", "secret01 ", ServerTexts::kLoginWrong},   // typed text is not trimmed
        {"ADMIN01", "secret01", ServerTexts::kLoginWrong},    // the name matches exactly
        {"nobody99", "secret01", ServerTexts::kLoginWrong},
        {"sleepy01", "secret03", ServerTexts::kLoginInactive},
        {"sleepy01", "wrong-pass", ServerTexts::kLoginWrong}, // no hint that the account exists
        {"", "secret01", ServerTexts::kLoginEmpty},
    };
    const std::string before = snapshot();
    for (const auto& c : cases) {
        const Json reply = call("user_login", Json{{"user_name", c.name}, {"password", c.password}});
        EXPECT_FALSE(ok(reply)) << c.name;
        EXPECT_EQ(message(reply), c.expected) << c.name << " / " << c.password;
        EXPECT_TRUE(reply["data"].empty());
    }
    EXPECT_EQ(snapshot(), before);
}

TEST_F(AccountsTest, NewAndEditedUsers)
{
    const std::string unit = unitId("0101");
    const struct {
        std::string name, password, organisation, expected;
    } refusals[] = {
        {"newuser", "secret", "", ServerTexts::kOrganNotChosen},
        {"newuser", "secret", "no-such-unit", ServerTexts::kOrganNotFound},
        {"short", "secret", unit, ServerTexts::kUserNameShort},
        {"newuser", "five5", unit, ServerTexts::kPasswordShort},
        {"OPER0102", "secret", unit, ServerTexts::kUserExists},   // names are unique without regard to case
    };
    for (const auto& r : refusals) {
        const Json reply = call("set_new_user", Json{{"user_name", r.name}, {"password", r.password}, {"organisation_id", r.organisation}});
        EXPECT_EQ(message(reply), r.expected) << r.name;
        EXPECT_FALSE(ok(reply));
    }
    // Six characters are enough, counted as characters, not bytes.
    ASSERT_TRUE(ok(call("set_new_user", Json{{"user_name", "کاربرا"}, {"password", "رمزعبو"}, {"organisation_id", unit}})));
    ASSERT_TRUE(ok(call("user_login", Json{{"user_name", "کاربرا"}, {"password", "رمزعبو"}})));
    const std::string id = userId("کاربرا");

    Json edit = {{"user_name", "oper0102"}, {"password", "secret"}, {"organisation_id", unit}, {"activated", true}, {"user_id", id}};
    EXPECT_EQ(message(call("edit_user", edit)), ServerTexts::kUserExists);
    edit["user_name"] = "renamed1";
    edit["activated"] = false;
    ASSERT_TRUE(ok(call("edit_user", edit)));
    EXPECT_EQ(message(call("user_login", Json{{"user_name", "renamed1"}, {"password", "secret"}})), ServerTexts::kLoginInactive);
    edit["user_id"] = "no-such-user";
    EXPECT_EQ(message(call("edit_user", edit)), ServerTexts::kUserNotFound);

    ASSERT_TRUE(ok(call("delete_user", Json{{"user_id", id}})));
    EXPECT_EQ(message(call("delete_user", Json{{"user_id", id}})), ServerTexts::kUserNotFound);
}

TEST_F(AccountsTest, TheMainAccountStaysUsable)
{
    EXPECT_EQ(message(call("delete_user", Json{{"user_id", Server::kMainUserId}})), ServerTexts::kMainUserDelete);
    Json edit = {{"user_name", "admin01"}, {"password", "secret01"}, {"organisation_id", unitId("01")},
                 {"activated", false}, {"user_id", Server::kMainUserId}};
    EXPECT_EQ(message(call("edit_user", edit)), ServerTexts::kMainUserKeep);
    edit["activated"] = true;
    edit["organisation_id"] = unitId("0101");
    EXPECT_EQ(message(call("edit_user", edit)), ServerTexts::kMainUserKeep);
    edit["organisation_id"] = unitId("01");
    edit["password"] = "changed1";
    EXPECT_TRUE(ok(call("edit_user", edit)));
    EXPECT_TRUE(ok(call("user_login", Json{{"user_name", "admin01"}, {"password", "changed1"}})));
}

TEST_F(AccountsTest, UnitsAreListedByCodeAndSeenFromTheUsersUnitDown)
{
    const Json all = get("get_all_organisation");
    ASSERT_TRUE(ok(all));
    std::vector<std::string> codes;
    for (const auto& row : all["data"]) {
        EXPECT_TRUE(hasShape(row, kUnitRow));
        codes.push_back(row["Code"]);
    }
    EXPECT_EQ(codes, (std::vector<std::string>{"01", "0101", "010101", "0102"}));
    EXPECT_EQ(all["data"][2]["ParentID"], unitId("0101"));
    EXPECT_EQ(all["data"][0]["ParentID"], "");

    const Json mine = call("get_organisation_by_user", Json{{"user_id", userId("oper0102")}});
    ASSERT_EQ(mine["data"].size(), 1u);
    EXPECT_EQ(mine["data"][0]["Code"], "0102");
    EXPECT_EQ(call("get_organisation_by_user", Json{{"user_id", Server::kMainUserId}})["data"].size(), 4u);
    EXPECT_EQ(message(call("get_organisation_by_user", Json{{"user_id", userId("sleepy01")}})), ServerTexts::kUserInactive);
    EXPECT_EQ(message(call("get_organisation_by_user", Json{{"user_id", "nobody"}})), ServerTexts::kUserNotFound);
}

TEST_F(AccountsTest, NewUnitCodesKeepEveryPrefixASubtree)
{
    const std::string main = unitId("01");
    const std::string a = unitId("0101");
    const struct {
        std::string parent, code, name, expected;
    } refusals[] = {
        {"", "01", "second main", ServerTexts::kRootExists},
        {"missing", "0199", "x", ServerTexts::kParentNotFound},
        {main, "0201", "x", ServerTexts::kCodeInvalid},       // not under its parent's code
        {main, "011", "x", ServerTexts::kCodeInvalid},        // one digit more
        {main, "010101", "x", ServerTexts::kCodeInvalid},     // four digits more
        {main, "01ab", "x", ServerTexts::kCodeInvalid},
        {main, "0101", "x", ServerTexts::kCodeExists},
        {main, "01010", "x", ServerTexts::kCodeOverlaps},     // would fall inside 0101's subtree
        {main, "0103", "  ", ServerTexts::kOrganNameEmpty},
        {a, "", "x", ServerTexts::kOrganCodeEmpty},
    };
    const std::string before = snapshot();
    for (const auto& r : refusals) {
        const Json reply = call("set_new_organisation", Json{{"parent_id", r.parent}, {"code", r.code}, {"organ_name", r.name}});
        EXPECT_EQ(message(reply), r.expected) << r.code;
    }
    EXPECT_EQ(snapshot(), before);

    const Json made = call("set_new_organisation", Json{{"parent_id", a}, {"code", "010102"}, {"organ_name", "A2"}});
    ASSERT_TRUE(ok(made));
    EXPECT_TRUE(hasShape(made["data"][0], kUnitRow));
    EXPECT_TRUE(ok(call("set_new_organisation", Json{{"parent_id", main}, {"code", "01100"}, {"organ_name", "three digits"}})));
    // "0110" would now take in "01100", another unit's subtree.
    EXPECT_EQ(message(call("set_new_organisation", Json{{"parent_id", main}, {"code", "0110"}, {"organ_name", "x"}})),
              ServerTexts::kCodeOverlaps);
}

TEST_F(AccountsTest, EditingAUnitRenamesItOnly)
{
    const std::string id = unitId("010101");
    const std::string parent = unitId("0101");
    EXPECT_TRUE(ok(call("edit_organisation", Json{{"organ_id", id}, {"parent_id", parent}, {"code", "010101"}, {"organ_name", "A1 new"}})));
    EXPECT_EQ(get("get_all_organisation")["data"][2]["OrganName"], "A1 new");
    EXPECT_EQ(message(call("edit_organisation", Json{{"organ_id", id}, {"parent_id", parent}, {"code", "010102"}, {"organ_name", "x"}})),
              ServerTexts::kCodeChange);
    EXPECT_EQ(message(call("edit_organisation", Json{{"organ_id", id}, {"parent_id", unitId("01")}, {"code", "010101"}, {"organ_name", "x"}})),
              ServerTexts::kCodeChange);
    EXPECT_EQ(message(call("edit_organisation", Json{{"organ_id", "nope"}, {"parent_id", parent}, {"code", "010101"}, {"organ_name", "x"}})),
              ServerTexts::kOrganNotFound);
}

TEST_F(AccountsTest, UsageChecksAndPrefixDelete)
{
    const Json devices = call("used_in_device_from_organ", Json{{"organ_code", "0101"}});
    ASSERT_TRUE(ok(devices));
    ASSERT_EQ(devices["data"].size(), 2u);   // kS3 in 0101 and kS1 in 010101
    EXPECT_TRUE(hasShape(devices["data"][0], kUsedDeviceRow));
    EXPECT_TRUE(call("used_in_device_from_organ", Json{{"organ_code", "010102"}})["data"].empty());
    const Json users = call("used_in_user_from_organ", Json{{"organ_code", "0102"}});
    ASSERT_EQ(users["data"].size(), 1u);
    EXPECT_TRUE(hasShape(users["data"][0], kUsedUserRow));
    EXPECT_EQ(users["data"][0]["UserName"], "oper0102");

    EXPECT_EQ(message(call("delete_organisation", Json{{"organ_code", "01%"}})), ServerTexts::kMainUnitDelete);
    EXPECT_EQ(message(call("delete_organisation", Json{{"organ_code", "0101%"}})), ServerTexts::kOrganUsedByDevice);
    // Meters are named first, as the tree screen checks them first.
    EXPECT_EQ(message(call("delete_organisation", Json{{"organ_code", "0102%"}})), ServerTexts::kOrganUsedByDevice);
    ASSERT_TRUE(ok(call("set_new_organisation", Json{{"parent_id", unitId("01")}, {"code", "0103"}, {"organ_name", "C"}})));
    ASSERT_TRUE(ok(call("set_new_user", Json{{"user_name", "user0103"}, {"password", "secret"}, {"organisation_id", unitId("0103")}})));
    EXPECT_EQ(message(call("delete_organisation", Json{{"organ_code", "0103%"}})), ServerTexts::kOrganUsedByUser);
    EXPECT_EQ(message(call("delete_organisation", Json{{"organ_code", "0199%"}})), ServerTexts::kOrganNotFound);

    // A subtree without meters or users goes with all its sub-units, and only with them.
    const std::string b = unitId("0102");
    ASSERT_TRUE(ok(call("set_new_organisation", Json{{"parent_id", b}, {"code", "010201"}, {"organ_name", "B1"}})));
    ASSERT_TRUE(ok(call("set_new_organisation", Json{{"parent_id", unitId("010201")}, {"code", "01020101"}, {"organ_name", "B11"}})));
    ASSERT_TRUE(ok(call("set_new_organisation", Json{{"parent_id", b}, {"code", "010202"}, {"organ_name", "B2"}})));
    ASSERT_TRUE(ok(call("delete_organisation", Json{{"organ_code", "010201%"}})));
    std::vector<std::string> codes;
    const Json units = get("get_all_organisation");
    for (const auto& row : units["data"])
        codes.push_back(row["Code"]);
    EXPECT_EQ(codes, (std::vector<std::string>{"01", "0101", "010101", "0102", "010202", "0103"}));
}

}  // namespace
}  // namespace nemora::test
