// The device registry: registration, the registered list, activation, type, deployment, owner
// data, deletion, and a unit's own meters.

#include "RowShapes.h"
#include "ServerFixture.h"
#include "server/ServerTexts.h"

#include <set>

namespace nemora::test {
namespace {

class RegistryTest : public ServerFixture {
protected:
    Json registerDevice(const std::string& serial, const std::string& date, bool autoValve = false)
    {
        return call("set_new_device", Json{{"serial", serial}, {"create_date_eng", date}, {"is_auto_valve_setting", autoValve}});
    }
    Json registered(const std::string& from, const std::string& to)
    {
        return call("get_all_register_device", Json{{"from_date", from}, {"to_Date", to}});
    }
    Json find(const Json& reply, const std::string& serial)
    {
        for (const auto& row : reply["data"])
            if (row["SerialNumber"] == serial)
                return row;
        return Json();
    }
    Json transfer(const std::string& serial, const std::string& date, const std::string& unit, int connection)
    {
        return call("set_transfer_device",
                    Json{{"serial", serial}, {"transfer_date_eng", date}, {"organization_id", unit}, {"file_number", "F9"},
                         {"connection_type", connection}, {"customer_name", "مشترک"}, {"customer_phone", "021"},
                         {"customer_address", "addr"}, {"sim_card", "SIM9"}, {"description", "d"}, {"latitude", "35.1"},
                         {"longitude", "51.2"}, {"contract_no", "C-9"}, {"part_no", "p9"}, {"national_no", "n9"},
                         {"mobile", "0912"}, {"private_code", "pc9"}, {"company", "co9"}});
    }
};

TEST_F(RegistryTest, RegistrationChecksSerialDateAndDuplicates)
{
    const struct {
        std::string serial, date, expected;
    } refusals[] = {
        {"", "2024/05/01", ServerTexts::kSerialEmpty},
        {"12345678901234", "2024/05/01", ServerTexts::kSerialLength},
        {"1234567890123456", "2024/05/01", ServerTexts::kSerialLength},
        {kS1, "2024/05/01", ServerTexts::kDeviceExists},
        {"200000000000001", "2024/02/30", "2024/02/30"},
        {"200000000000001", "1403/05/01", "1403/05/01"},
        {"200000000000001", "", "«»"},
        {"200000000000001", "2024/08/08", ServerTexts::kFutureProductionDate},   // tomorrow
    };
    const std::string before = snapshot();
    for (const auto& r : refusals) {
        const Json reply = registerDevice(r.serial, r.date);
        EXPECT_FALSE(ok(reply)) << r.serial << " " << r.date;
        EXPECT_NE(message(reply).find(r.expected), std::string::npos) << message(reply);
    }
    EXPECT_EQ(snapshot(), before);

    // Fifteen characters, not fifteen bytes; today is allowed.
    const std::string persian = "۱۲۳۴۵۶۷۸۹۰۱۲۳۴۵";
    ASSERT_TRUE(ok(registerDevice(persian, "2024/08/07", true)));
    ASSERT_TRUE(ok(registerDevice("200000000000001", "2024-03-20")));
    const Json all = registered("", "");
    ASSERT_TRUE(ok(all));
    for (const auto& row : all["data"])
        EXPECT_TRUE(hasShape(row, kRegisteredRow));
    const Json row = find(all, persian);
    EXPECT_EQ(row["CreateDate"], "1403/05/17");
    EXPECT_EQ(row["Activated"], true);
    EXPECT_EQ(row["Transferred"], false);
    EXPECT_EQ(row["TransferDate"], "");
    EXPECT_EQ(row["OrganizationCategoryID"], "");
    EXPECT_EQ(row["IsAutoValveSetting"], true);
    EXPECT_EQ(find(all, "200000000000001")["CreateDate"], "1403/01/01");
}

TEST_F(RegistryTest, RegisteredListByProductionPeriod)
{
    // Fixture meters were made on 2024/01/10 (1403/10/20 of the year before: 1402/10/20) and 2024/03/05.
    ASSERT_TRUE(ok(registerDevice("200000000000002", "2024/04/20")));   // 1403/02/01
    ASSERT_TRUE(ok(registerDevice("200000000000003", "2024/05/20")));   // 1403/02/31
    const struct {
        std::string from, to;
        std::set<std::string> serials;
    } cases[] = {
        {"1403/02/01", "1403/02/31", {"200000000000002", "200000000000003"}},
        {"1403/02/01", "1403/02/01", {"200000000000002"}},
        {"1403/02/02", "1403/12/30", {"200000000000003"}},
        {"", "1402/12/29", {kS1, kS2, kS3, kS4}},
    };
    for (const auto& c : cases) {
        std::set<std::string> serials;
        const Json reply = registered(c.from, c.to);
        for (const auto& row : reply["data"])
            serials.insert(row["SerialNumber"].get<std::string>());
        EXPECT_EQ(serials, c.serials) << c.from << " .. " << c.to << ": " << message(reply);
    }
    const Json empty = registered("1403/03/01", "1403/03/31");
    EXPECT_TRUE(ok(empty));
    EXPECT_EQ(message(empty), ServerTexts::kNoDevices);
    EXPECT_EQ(message(registered("1403/03/02", "1403/03/01")), ServerTexts::kDateOrder);
}

TEST_F(RegistryTest, ActivationTypeAndDeploymentChangeTheLists)
{
    report(kS1, solarMoment(1403, 5, 16), 10);
    const auto admin = [this] { return call("get_last_all_devices_log_of_user", Json{{"user_id", Server::kMainUserId}}); };
    ASSERT_EQ(admin()["data"].size(), 1u);
    ASSERT_TRUE(ok(call("set_activated_device", Json{{"serial", kS1}, {"activated", false}})));
    EXPECT_TRUE(admin()["data"].empty());
    EXPECT_EQ(find(registered("", ""), kS1)["Activated"], false);
    ASSERT_TRUE(ok(call("set_activated_device", Json{{"serial", kS1}, {"activated", true}})));
    EXPECT_EQ(admin()["data"].size(), 1u);
    EXPECT_EQ(message(call("set_activated_device", Json{{"serial", "999999999999999"}, {"activated", true}})),
              ServerTexts::kDeviceNotFound);

    ASSERT_TRUE(ok(call("set_device_type", Json{{"serial", kS1}, {"is_auto_valve_setting", true}})));
    EXPECT_EQ(find(registered("", ""), kS1)["IsAutoValveSetting"], true);

    const std::string b = unitId("0102");
    const struct {
        std::string date, unit;
        int connection;
        std::string expected;
    } refusals[] = {
        {"", b, 0, ServerTexts::kDateMissing},
        {"2024/13/01", b, 0, "2024/13/01"},
        {"2024/07/01", "", 0, ServerTexts::kOrganNotChosen},
        {"2024/07/01", "no-such-unit", 0, ServerTexts::kOrganNotFound},
        {"2024/07/01", b, 4, ServerTexts::kConnectionType},
    };
    const std::string before = snapshot();
    for (const auto& r : refusals)
        EXPECT_NE(message(transfer(kS4, r.date, r.unit, r.connection)).find(r.expected), std::string::npos) << r.date;
    EXPECT_EQ(snapshot(), before);

    ASSERT_TRUE(ok(transfer(kS4, "2024/07/01", b, 3)));   // 1403/04/11
    const Json row = find(registered("", ""), kS4);
    EXPECT_EQ(row["Transferred"], true);
    EXPECT_EQ(row["TransferDate"], "1403/04/11");
    EXPECT_EQ(row["OrganizationCategoryID"], b);
    EXPECT_EQ(row["OrganName"], "unit B");
    EXPECT_EQ(row["ConnectionType"], 3);
    EXPECT_EQ(row["CustomerName"], "مشترک");
    EXPECT_EQ(row["Address"], "addr");
    EXPECT_EQ(row["SimCard"], "SIM9");
    EXPECT_EQ(row["ContractNo"], "C-9");

    const Json mine = call("get_all_my_device_list", Json{{"organ_id", b}});
    std::set<std::string> serials;
    for (const auto& m : mine["data"]) {
        EXPECT_TRUE(hasShape(m, kMyDeviceRow));
        serials.insert(m["SerialNumber"].get<std::string>());
    }
    EXPECT_EQ(serials, (std::set<std::string>{kS2, kS4}));
}

TEST_F(RegistryTest, MyDevicesByUnitSubtreeAndStartUpPeriod)
{
    const std::string a = unitId("0101");
    const auto serials = [this](const Json& body) {
        std::set<std::string> result;
        const Json reply = call("get_all_my_device_list", body);
        for (const auto& row : reply["data"])
            result.insert(row["SerialNumber"].get<std::string>());
        return result;
    };
    // The unit with its sub-units, inactive meters included; never-deployed meters belong to no unit.
    EXPECT_EQ(serials({{"organ_id", a}}), (std::set<std::string>{kS1, kS3}));
    EXPECT_EQ(serials({{"organ_id", unitId("01")}, {"from_date", ""}, {"to_Date", ""}}), (std::set<std::string>{kS1, kS2, kS3}));
    // Fixture meters started on 2024/02/01 = 1402/11/12.
    EXPECT_EQ(serials({{"organ_id", a}, {"from_date", "1402/11/12"}, {"to_Date", "1402/11/12"}}), (std::set<std::string>{kS1, kS3}));
    EXPECT_TRUE(serials({{"organ_id", a}, {"from_date", "1402/11/13"}, {"to_Date", ""}}).empty());
    EXPECT_EQ(message(call("get_all_my_device_list", Json{{"organ_id", ""}})), ServerTexts::kOrganNotChosen);
    EXPECT_EQ(message(call("get_all_my_device_list", Json{{"organ_id", "nope"}})), ServerTexts::kOrganNotFound);

    const Json row = call("get_all_my_device_list", Json{{"organ_id", a}})["data"][1];
    EXPECT_EQ(row["SerialNumber"], kS1);
    EXPECT_EQ(row["Activated"], true);
    EXPECT_EQ(row["TransferDate"], "1402/11/12");
}

TEST_F(RegistryTest, OwnerDataEditChangesWhatTheListsShow)
{
    const Json body = {{"serial", kS1}, {"contract_no", "قرارداد-7"}, {"company", "شرکت"}, {"part_no", "12/3"},
                       {"national_no", "0012345678"}, {"mobile", "09121234567"}, {"private_code", "X1"},
                       {"tell", "02188776655"}, {"address", "نشانی تازه"}};
    ASSERT_TRUE(ok(call("edit_contractno", body)));
    Json row;
    const Json list = call("get_all_my_device_list", Json{{"organ_id", unitId("010101")}});
    for (const auto& r : list["data"])
        row = r;
    EXPECT_EQ(row["ContractNo"], "قرارداد-7");
    EXPECT_EQ(row["Tell"], "02188776655");
    EXPECT_EQ(row["Address"], "نشانی تازه");
    EXPECT_EQ(row["PartNo"], "12/3");
    report(kS1, solarMoment(1403, 5, 17, 6), 42);
    EXPECT_EQ(call("get_last_log_by_contractno", Json{{"contract_no", "قرارداد-7"}})["data"][0]["WentVolume"], 42);
    Json unknown = body;
    unknown["serial"] = "999999999999999";
    EXPECT_EQ(message(call("edit_contractno", unknown)), ServerTexts::kDeviceNotFound);
}

TEST_F(RegistryTest, DeletingAMeterRemovesAllItsData)
{
    report(kS2, solarMoment(1403, 5, 16), 10);
    report(kS2, solarMoment(1403, 5, 17), 20);
    ASSERT_TRUE(ok(call("set_new_device_setting", Json{{"serial", kS2}, {"solenoid_valve", "55"}, {"openness_percent", 1},
                                                       {"send_data_time", 600}, {"sended", true}})));
    ASSERT_TRUE(ok(call("set_auto_valve_setting_by_serial",
                        Json{{"serial", kS2}, {"activated", true}, {"solenoid_valve", "55"}, {"openness_percent", 1},
                             {"days_no", 1}, {"litres_no", 0}, {"send_data_time", "2024-08-08 10:00:00.000"}})));
    report(kS1, solarMoment(1403, 5, 17), 30);

    ASSERT_TRUE(ok(call("delete_device", Json{{"serial", kS2}})));
    for (const char* table : {"devices", "reports", "settings", "auto_settings"})
        EXPECT_EQ(count(std::string("SELECT COUNT(*) FROM ") + table + " WHERE serial = '" + kS2 + "'"), 0) << table;
    EXPECT_EQ(count("SELECT COUNT(*) FROM reports"), 1);
    EXPECT_EQ(message(call("delete_device", Json{{"serial", kS2}})), ServerTexts::kDeviceNotFound);
    EXPECT_EQ(message(call("get_last_log_by_serial", Json{{"serial", kS2}})), ServerTexts::kDeviceNotFound);
}

}  // namespace
}  // namespace nemora::test
