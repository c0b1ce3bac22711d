// Every server method the client knows, called through the client's own gateway against the
// real server process: the call must succeed, and each reply row must load with the readers of
// the screen that asks for it. The mutating methods work on a unit, a user and a meter that the
// run creates itself and removes again, so the demo data stays as it was.

#include "ClientReads.h"
#include "ServerSuite.h"

#include "calendar/DateProc.h"
#include "core/MSGs.h"
#include "core/untDm.h"

#include <QJsonObject>
#include <QSet>

#include <functional>
#include <iostream>
#include <optional>

namespace {

using e2e::Call;
using e2e::MethodUse;

// What the run learns on its way and the later calls send.
struct Context {
    QString userId, organId;             // the administrator, after login
    QString serial, contractNo;          // a deployed, active demo meter with reports
    QStringList unitCodes, serials;
    QString unitCode, unitId;            // the unit the run creates
    QString userName = QStringLiteral("e2e_operator");
    QString userId2;                     // the user the run creates
    QString testSerial;                  // the meter the run registers
};

struct Step {
    QString method;
    bool rowsGuaranteed;   // the demo data or an earlier step makes at least one row certain
    std::function<JsonBody(const Context&)> body;
    std::function<void(const QJsonArray&, Context&)> after;   // takes what later steps need
};

QString text(const QJsonValue& row, const char* key)
{
    return row.toObject().value(QLatin1String(key)).toString();
}

QString todayGregorian()
{
    return DateProc::SolarTextToGregorianText(DateProc::TodaySolar());
}

// The first "01NN" code that is free and that no other code begins with.
QString freeUnitCode(const QStringList& codes)
{
    for (int n = 99; n >= 10; --n) {
        const QString code = QStringLiteral("01%1").arg(n);
        bool clash = false;
        for (const QString& existing : codes)
            clash = clash || existing.startsWith(code);
        if (!clash)
            return code;
    }
    return {};
}

QString freeSerial(const QStringList& serials)
{
    for (qint64 n = 990000000000001; n < 990000000000100; ++n) {
        const QString serial = QString::number(n);
        if (!serials.contains(serial))
            return serial;
    }
    return {};
}

JsonBody serialBody(const QString& serial) { return JsonBody().add("serial", serial); }
JsonBody contractBody(const QString& contract) { return JsonBody().add("contract_no", contract); }

// Each step sends what its calling screen sends, keys in the screen's order.
std::vector<Step> scenario()
{
    std::vector<Step> steps;
    const auto add = [&steps](const QString& method, bool rows, std::function<JsonBody(const Context&)> body,
                              std::function<void(const QJsonArray&, Context&)> after = {}) {
        steps.push_back({method, rows, std::move(body), std::move(after)});
    };

    // --- the administrator's session and the demo meters --------------------------------------
    add(Method::user_login, true,
        [](const Context&) { return JsonBody().add("user_name", "admin01").add("password", "nemora01"); },
        [](const QJsonArray& rows, Context& c) {
            c.userId = text(rows.at(0), "UserID");
            c.organId = text(rows.at(0), "OrganID");
            EXPECT_EQ(text(rows.at(0), "Code"), QStringLiteral("01"));
        });
    // The meter picker sends the unit alone.
    add(Method::get_all_my_device_list, true,
        [](const Context& c) { return JsonBody().add("organ_id", c.organId); },
        [](const QJsonArray& rows, Context& c) {
            for (const QJsonValue& row : rows) {
                const QJsonObject o = row.toObject();
                if (o.value("Activated").toBool() && o.value("Transferred").toBool() &&
                    !o.value("ContractNo").toString().isEmpty()) {
                    c.serial = o.value("SerialNumber").toString();
                    c.contractNo = o.value("ContractNo").toString();
                    break;
                }
            }
            ASSERT_FALSE(c.serial.isEmpty()) << "no active deployed meter with a contract number";
        });
    // The my-devices screen adds its two date bounds.
    add(Method::get_all_my_device_list, true, [](const Context& c) {
        return JsonBody().add("organ_id", c.organId).add("from_date", "").add("to_Date", "");
    });

    // --- status and consumption of a demo meter -------------------------------------------------
    add(Method::get_last_log_by_serial, true, [](const Context& c) { return serialBody(c.serial); });
    add(Method::get_last_log_by_contractno, true, [](const Context& c) { return contractBody(c.contractNo); });
    // The gauges take the newest period only when it ends where the screen looks for it.
    const auto newestEndsToday = [](const QJsonArray& rows, Context&) {
        const QString today = DateProc::TodaySolar();
        EXPECT_EQ(text(rows.at(0), "ToShamsiDate"), today);
    };
    const auto newestEndsTodayOrYesterday = [](const QJsonArray& rows, Context&) {
        const QString today = DateProc::TodaySolar();
        const QString end = text(rows.at(0), "ToShamsiDate");
        EXPECT_TRUE(end == today || end == DateProc::AddDaysToSolarDate(today, -1)) << end.toStdString();
    };
    const auto newestEndsOnTheMonthsFirst = [](const QJsonArray& rows, Context&) {
        EXPECT_EQ(text(rows.at(0), "ToShamsiDate"), DateProc::TodaySolar().left(7) + QLatin1String("/01"));
    };
    add(Method::get_consumed_list_daily_by_serial, true, [](const Context& c) { return serialBody(c.serial); },
        newestEndsTodayOrYesterday);
    add(Method::get_consumed_list_weekly_by_serial, true, [](const Context& c) { return serialBody(c.serial); },
        newestEndsToday);
    add(Method::get_consumed_list_monthly_by_serial, true, [](const Context& c) { return serialBody(c.serial); },
        newestEndsOnTheMonthsFirst);
    add(Method::get_consumed_list_daily_by_contractno, true,
        [](const Context& c) { return contractBody(c.contractNo); }, newestEndsTodayOrYesterday);
    add(Method::get_consumed_list_weekly_by_contractno, true,
        [](const Context& c) { return contractBody(c.contractNo); }, newestEndsToday);
    add(Method::get_consumed_list_monthly_by_contractno, true,
        [](const Context& c) { return contractBody(c.contractNo); }, newestEndsOnTheMonthsFirst);

    // --- lists of the administrator's screens ---------------------------------------------------
    add(Method::get_all_log_devices_of_user, true,
        [](const Context& c) {
            const QString today = DateProc::TodaySolar();
            return JsonBody()
                .add("user_id", c.userId)
                .add("from_shamsi_date", DateProc::AddDaysToSolarDate(today, -6))
                .add("to_shamsi_date", today);
        },
        [](const QJsonArray& rows, Context&) {
            const QString today = DateProc::TodaySolar();
            const QString first = DateProc::AddDaysToSolarDate(today, -6);
            for (const QJsonValue& row : rows) {
                const QString day = text(row, "ReceveShamsiDate");
                if (day < first || day > today) {
                    ADD_FAILURE() << "a report of " << day.toStdString() << " outside the period";
                    break;
                }
            }
        });
    add(Method::get_last_all_devices_log_of_user, true, [](const Context& c) { return JsonBody().add("user_id", c.userId); });
    add(Method::get_all_device_setting_of_user, true, [](const Context& c) { return JsonBody().add("user_id", c.userId); });
    add(Method::get_all_register_device, true,
        [](const Context&) { return JsonBody().add("from_date", "").add("to_Date", ""); },
        [](const QJsonArray& rows, Context& c) {
            for (const QJsonValue& row : rows)
                c.serials << text(row, "SerialNumber");
            c.testSerial = freeSerial(c.serials);
        });
    add(Method::get_all_organisation, true, {}, [](const QJsonArray& rows, Context& c) {
        for (const QJsonValue& row : rows)
            c.unitCodes << text(row, "Code");
        c.unitCode = freeUnitCode(c.unitCodes);
        ASSERT_FALSE(c.unitCode.isEmpty()) << "no free unit code under 01";
    });
    add(Method::get_all_users, true, {}, [](const QJsonArray& rows, Context& c) {
        for (const QJsonValue& row : rows)
            EXPECT_NE(text(row, "UserName").toLower(), c.userName) << "the run's user name is taken";
    });

    // --- a unit of the run's own ---------------------------------------------------------------
    add(Method::set_new_organisation, false, [](const Context& c) {
        return JsonBody().add("parent_id", c.organId).add("code", c.unitCode).add("organ_name", "E2E unit");
    });
    // The unit picker finds it among the administrator's units.
    add(Method::get_organisation_by_user, true,
        [](const Context& c) { return JsonBody().add("user_id", c.userId); },
        [](const QJsonArray& rows, Context& c) {
            for (const QJsonValue& row : rows)
                if (text(row, "Code") == c.unitCode) {
                    c.unitId = text(row, "ID");
                    EXPECT_EQ(text(row, "ParentID"), c.organId);
                }
            ASSERT_FALSE(c.unitId.isEmpty()) << "the new unit " << c.unitCode.toStdString() << " is not listed";
        });
    add(Method::edit_organisation, false, [](const Context& c) {
        return JsonBody()
            .add("organ_id", c.unitId)
            .add("parent_id", c.organId)
            .add("code", c.unitCode)
            .add("organ_name", "E2E unit renamed");
    });
    add(Method::get_all_organisation, true, {}, [](const QJsonArray& rows, Context& c) {
        QString name;
        for (const QJsonValue& row : rows)
            if (text(row, "ID") == c.unitId)
                name = text(row, "OrganName");
        EXPECT_EQ(name, QStringLiteral("E2E unit renamed"));
    });

    // --- a user in it --------------------------------------------------------------------------
    add(Method::set_new_user, false, [](const Context& c) {
        return JsonBody().add("user_name", c.userName).add("password", "secret1").add("organisation_id", c.unitId);
    });
    add(Method::get_all_users, true, {}, [](const QJsonArray& rows, Context& c) {
        for (const QJsonValue& row : rows)
            if (text(row, "UserName") == c.userName) {
                c.userId2 = text(row, "UserID");
                EXPECT_EQ(text(row, "OrganisationID"), c.unitId);
            }
        ASSERT_FALSE(c.userId2.isEmpty()) << "the new user is not listed";
    });
    add(Method::edit_user, false, [](const Context& c) {
        return JsonBody()
            .add("user_name", c.userName)
            .add("password", "secret2")
            .add("organisation_id", c.unitId)
            .add("activated", true)
            .add("user_id", c.userId2);
    });
    // The edited password is the one that works now.
    add(Method::user_login, true,
        [](const Context& c) { return JsonBody().add("user_name", c.userName).add("password", "secret2"); },
        [](const QJsonArray& rows, Context& c) {
            EXPECT_EQ(text(rows.at(0), "UserID"), c.userId2);
            EXPECT_EQ(text(rows.at(0), "Code"), c.unitCode);
            EXPECT_EQ(text(rows.at(0), "OrganID"), c.unitId);
        });

    // --- a meter: registered, typed, deployed into the unit, given owner data --------------------
    add(Method::set_new_device, false, [](const Context& c) {
        return JsonBody()
            .add("serial", c.testSerial)
            .add("create_date_eng", todayGregorian())
            .add("is_auto_valve_setting", false);
    });
    add(Method::set_defult_device_setting, false, [](const Context& c) { return serialBody(c.testSerial); });
    add(Method::set_device_type, false,
        [](const Context& c) { return JsonBody().add("serial", c.testSerial).add("is_auto_valve_setting", true); });
    add(Method::set_transfer_device, false, [](const Context& c) {
        return JsonBody()
            .add("serial", c.testSerial)
            .add("transfer_date_eng", todayGregorian())
            .add("organization_id", c.unitId)
            .add("file_number", "F-1")
            .add("connection_type", 1)
            .add("customer_name", "E2E customer")
            .add("customer_phone", "02100000000")
            .add("customer_address", "E2E address")
            .add("sim_card", "0912000000")
            .add("description", "")
            .add("latitude", "35.7")
            .add("longitude", "51.4")
            .add("contract_no", "C-1")
            .add("part_no", "P-1")
            .add("national_no", "N-1")
            .add("mobile", "09120000000")
            .add("private_code", "K-1")
            .add("company", "E2E company");
    });
    add(Method::set_activated_device, false,
        [](const Context& c) { return JsonBody().add("serial", c.testSerial).add("activated", false); });
    add(Method::set_activated_device, false,
        [](const Context& c) { return JsonBody().add("serial", c.testSerial).add("activated", true); });
    add(Method::edit_contractno, false, [](const Context& c) {
        return JsonBody()
            .add("serial", c.testSerial)
            .add("contract_no", "C-2")
            .add("company", "E2E company 2")
            .add("part_no", "P-2")
            .add("national_no", "N-2")
            .add("mobile", "09120000002")
            .add("private_code", "K-2")
            .add("tell", "02100000002")
            .add("address", "E2E address 2");
    });
    add(Method::get_all_my_device_list, true,
        [](const Context& c) { return JsonBody().add("organ_id", c.unitId).add("from_date", "").add("to_Date", ""); },
        [](const QJsonArray& rows, Context& c) {
            ASSERT_EQ(rows.size(), 1);
            EXPECT_EQ(text(rows.at(0), "SerialNumber"), c.testSerial);
            EXPECT_EQ(text(rows.at(0), "ContractNo"), QStringLiteral("C-2"));
            EXPECT_EQ(text(rows.at(0), "Tell"), QStringLiteral("02100000002"));
            EXPECT_TRUE(rows.at(0).toObject().value("Activated").toBool());
        });

    // --- its settings --------------------------------------------------------------------------
    add(Method::set_new_device_setting, false, [](const Context& c) {
        return JsonBody()
            .add("serial", c.testSerial)
            .add("solenoid_valve", "AA")
            .add("openness_percent", 40)
            .add("send_data_time", 3600)
            .add("sended", true);
    });
    add(Method::get_period_setting_by_serial, true, [](const Context& c) { return serialBody(c.testSerial); },
        [](const QJsonArray& rows, Context&) { EXPECT_EQ(ReadJsonField::AsInteger(rows.at(0), "Period"), 3600); });
    add(Method::get_device_setting_history, true,
        [](const Context& c) { return JsonBody().add("serial_number", c.testSerial); },
        [](const QJsonArray& rows, Context&) {
            EXPECT_EQ(text(rows.at(0), "SolenoidValve"), QStringLiteral("AA"));
            EXPECT_EQ(ReadJsonField::AsInteger(rows.at(0), "OpennessPercent"), 40);
        });
    add(Method::set_auto_valve_setting_by_serial, false, [](const Context& c) {
        // The schedule dialog's start moment: Gregorian date, blank, hh:mm and ":00.000".
        QString start = todayGregorian() + QLatin1Char(' ') + DateProc::NowHourMinute() + QLatin1String(":00.000");
        start.replace(QLatin1Char('/'), QLatin1Char('-'));
        return JsonBody()
            .add("serial", c.testSerial)
            .add("activated", true)
            .add("solenoid_valve", "55")
            .add("openness_percent", 100)
            .add("days_no", 3)
            .add("litres_no", 0)
            .add("send_data_time", start);
    });
    add(Method::get_all_auto_valve_setting, true, [](const Context& c) { return serialBody(c.testSerial); },
        [](const QJsonArray& rows, Context& c) {
            EXPECT_EQ(text(rows.at(0), "DeviceSerial"), c.testSerial);
            EXPECT_EQ(ReadJsonField::AsInteger(rows.at(0), "DaysNo"), 3);
        });

    // --- what the tree screen checks before deleting the unit ------------------------------------
    add(Method::used_in_device_from_organ, true, [](const Context& c) { return JsonBody().add("organ_code", c.unitCode); },
        [](const QJsonArray& rows, Context& c) { EXPECT_EQ(text(rows.at(0), "SerialNumber"), c.testSerial); });
    add(Method::used_in_user_from_organ, true, [](const Context& c) { return JsonBody().add("organ_code", c.unitCode); },
        [](const QJsonArray& rows, Context& c) { EXPECT_EQ(text(rows.at(0), "UserName"), c.userName); });

    // --- and away again ------------------------------------------------------------------------
    add(Method::delete_device, false, [](const Context& c) { return serialBody(c.testSerial); });
    add(Method::delete_user, false, [](const Context& c) { return JsonBody().add("user_id", c.userId2); });
    add(Method::delete_organisation, false,
        [](const Context& c) { return JsonBody().add("organ_code", c.unitCode + QLatin1Char('%')); });
    add(Method::get_all_organisation, true, {}, [](const QJsonArray& rows, Context& c) {
        for (const QJsonValue& row : rows)
            EXPECT_NE(text(row, "Code"), c.unitCode) << "the deleted unit is still listed";
    });
    return steps;
}

const char* callName(Call call)
{
    switch (call) {
    case Call::PostRows: return "CallPostMethod";
    case Call::PostNoRows: return "CallPostMethodWithOutResult";
    case Call::Get: return "CallGetMethod";
    }
    return "?";
}

TEST(E2eClientMethods, ListEveryCatalogueMethodOnceInItsOrder)
{
    QStringList listed;
    for (const MethodUse& use : e2e::clientMethods())
        listed << use.method;
    EXPECT_EQ(listed, MethodCatalogue());

    // Exactly the two unit and user lists are fetched with GET; a rows method has reads.
    for (const MethodUse& use : e2e::clientMethods()) {
        SCOPED_TRACE(use.method.toStdString());
        EXPECT_EQ(use.call == Call::Get,
                  use.method == Method::get_all_users || use.method == Method::get_all_organisation);
        EXPECT_EQ(use.call == Call::PostNoRows, use.reads.empty());
    }

    QSet<QString> run;
    for (const Step& step : scenario())
        run.insert(step.method);
    for (const QString& method : MethodCatalogue())
        EXPECT_TRUE(run.contains(method)) << method.toStdString() << " is not called by the run";
}

// The check is only as good as its readers: a value the screen cannot load must fail it, one it
// can load must pass, whatever JSON type the server chose.
TEST(E2eClientMethods, RowCheckFailsExactlyWhereTheScreenCannotLoadTheRow)
{
    using e2e::Reader;
    struct Case {
        const char* row;
        e2e::RowReads reads;
        const char* failure;   // nullptr: the row loads
    };
    const QList<Case> cases = {
        {R"({"Period":86400})", {{"Period", Reader::Integer}}, nullptr},
        {R"({"Period":"86400"})", {{"Period", Reader::Integer}}, nullptr},
        {R"({"BatteryVoltage":3.52})", {{"BatteryVoltage", Reader::Text}, {"BatteryVoltage", Reader::Real}}, nullptr},
        {R"({"Period":1.5})", {{"Period", Reader::Integer}}, "Period read as integer"},
        {R"({"Period":null})", {{"Period", Reader::Integer}}, "Period read as integer"},
        {R"({"DeviceSerial":"1"})", {{"Period", Reader::Integer}}, "field \"Period\" not found"},
        {R"({"Sended":"yes"})", {{"Sended", Reader::Boolean}}, "Sended read as Boolean"},
        {R"({"OpennesPercent":40000})", {{"OpennesPercent", Reader::SmallInt}}, "OpennesPercent read as small integer"},
        {R"({"ReceveDateTime":"1405/09/20 10:00:00"})", {{"ReceveDateTime", Reader::DateTime}},
         "ReceveDateTime read as date-time"},
        {R"({"ReceveDateTime":"2026-12-11T14:29:00"})", {{"ReceveDateTime", Reader::DateTime}}, nullptr},
        {R"({"UserID":{"id":"1"}})", {{"UserID", Reader::Text}}, "UserID read as text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        const QJsonArray rows{QJsonDocument::fromJson(c.row).object()};
        const ::testing::AssertionResult outcome = e2e::rowsReadable(rows, c.reads);
        if (!c.failure) {
            EXPECT_TRUE(outcome);
        } else {
            EXPECT_FALSE(outcome);
            EXPECT_NE(std::string(outcome.message()).find(c.failure), std::string::npos) << outcome.message();
        }
    }
}

class E2eCatalogue : public ServerSuite {};

TEST_F(E2eCatalogue, EveryMethodSucceedsAndItsRowsLoadWithTheScreensReaders)
{
    TDm& gateway = CreateDm();
    gateway.setBaseAddress(baseUrl());
    gateway.setTimeoutMs(15000);

    // The gateway shows a box only for a transport failure with a body; none may come up here.
    QStringList boxes;
    struct Restore {
        MessagePresenter presenter;
        ~Restore()
        {
            SetMessagePresenter(std::move(presenter));
            // The gateway's idle keep-alive connection would hold up the server's stop for seconds.
            delete Dm;
            Dm = nullptr;
        }
    } restore{SetMessagePresenter([&boxes](const MessageBoxRequest& box) {
        boxes << box.caption + QStringLiteral(": ") + box.text;
        return int(mrOk);
    })};

    Context context;
    QSet<QString> succeeded;
    const std::vector<Step> steps = scenario();
    for (size_t index = 0; index < steps.size(); ++index) {
        const Step& step = steps[index];
        const MethodUse* use = e2e::useOf(step.method);
        ASSERT_NE(use, nullptr) << step.method.toStdString();
        const JsonBody body = step.body ? step.body(context) : JsonBody();
        const std::string what = "step " + std::to_string(index + 1) + ": " + step.method.toStdString() + " via " +
                                 callName(use->call) +
                                 (use->call == Call::Get ? std::string() : " body " + body.toJson().toStdString());
        SCOPED_TRACE(what);

        bool result = false;
        QString message;
        std::optional<QJsonArray> rows;
        boxes.clear();
        try {
            switch (use->call) {
            case Call::PostRows: rows = gateway.CallPostMethod(use->method, result, message, body); break;
            case Call::PostNoRows: gateway.CallPostMethodWithOutResult(use->method, result, message, body); break;
            case Call::Get: rows = gateway.CallGetMethod(use->method, result, message); break;
            }
        } catch (const JsonFieldError& error) {
            ADD_FAILURE() << "the envelope does not read: " << error.what();
            continue;
        }
        EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QLatin1Char('\n')).toStdString();
        if (!result) {
            ADD_FAILURE() << "refused: \"" << message.toStdString() << "\"";
            continue;
        }
        if (use->call != Call::PostNoRows) {
            ASSERT_TRUE(rows.has_value()) << "no data array";
            if (step.rowsGuaranteed && rows->isEmpty()) {
                ADD_FAILURE() << "no rows (message \"" << message.toStdString() << "\")";
                continue;
            }
            EXPECT_TRUE(e2e::rowsReadable(*rows, use->reads));
        }
        if (step.after) {
            try {
                step.after(rows.value_or(QJsonArray()), context);
            } catch (const JsonFieldError& error) {
                ADD_FAILURE() << error.what();
            }
        }
        succeeded.insert(step.method);
    }

    for (const QString& method : MethodCatalogue())
        EXPECT_TRUE(succeeded.contains(method)) << method.toStdString() << " never succeeded";

    if (HasFailure())
        std::cerr << "server log:\n" << requestLog().toStdString();
}

}  // namespace
