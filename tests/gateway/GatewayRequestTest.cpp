// What the gateway sends, and how it keeps calls from overlapping.
#include "core/MSGs.h"
#include "core/untDm.h"
#include "support/QtPrinters.h"
#include "support/ScriptedHttpServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
const QString Persian = QStringLiteral("وضعیت کنتور");

class GatewayRequestTest : public ::testing::Test {
protected:
    void SetUp() override { dm.setBaseAddress(server.baseUrl()); }

    ScriptedHttpServer server;
    TDm dm;
};

TEST(GatewayNames, BaseAddressAndCatalogue)
{
    EXPECT_TRUE(ServerBaseAddress.startsWith("http://"));
    EXPECT_TRUE(ServerBaseAddress.endsWith(":3500/ws/"));
    EXPECT_EQ(TDm().baseAddress(), ServerBaseAddress);
    EXPECT_EQ(TDm().timeoutMs(), 120000);

    const QStringList& names = MethodCatalogue();
    ASSERT_EQ(names.size(), 37);
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), 37);
    EXPECT_EQ(names.first(), Method::user_login);
    EXPECT_EQ(names.last(), Method::edit_user);
    EXPECT_EQ(names.indexOf(Method::set_defult_device_setting), 21);
    EXPECT_EQ(names.indexOf(Method::get_all_organisation), 26);
    EXPECT_EQ(names.indexOf(Method::get_all_users), 33);
    EXPECT_EQ(Method::get_all_register_device, "get_all_register_device");
}

TEST_F(GatewayRequestTest, PostSendsTheBodyInOrderAsUtf8Json)
{
    server.enqueueEnvelope("1", "ok");
    const JsonBody body = JsonBody()
                              .add("serial", Persian)
                              .add("solenoid_valve", "55")
                              .add("openness_percent", 50)
                              .add("send_data_time", qint64(5184000))
                              .add("sended", false)
                              .add("latitude", 35.5);
    bool result = false;
    QString message;
    dm.CallPostMethodWithOutResult(Method::set_new_device_setting, result, message, body);
    EXPECT_TRUE(result);

    ASSERT_EQ(server.requests().size(), 1);
    const RecordedRequest& request = server.requests().at(0);
    EXPECT_EQ(request.verb, "POST");
    EXPECT_EQ(request.path, "/ws/set_new_device_setting");
    EXPECT_EQ(request.headers.value("accept"), "application/json, text/plain; q=0.9, text/html;q=0.8,");
    EXPECT_EQ(request.headers.value("accept-charset"), "utf-8, *;q=0.8");
    EXPECT_EQ(request.headers.value("content-type"), "application/json");
    EXPECT_EQ(request.body, "{\"serial\":\"" + Persian.toUtf8() +
                                "\",\"solenoid_valve\":\"55\",\"openness_percent\":50,"
                                "\"send_data_time\":5184000,\"sended\":false,\"latitude\":35.5}");
    const QJsonObject sent = QJsonDocument::fromJson(request.body).object();
    EXPECT_EQ(sent.value("serial").toString(), Persian);
    EXPECT_TRUE(sent.value("sended").isBool());
    EXPECT_TRUE(sent.value("openness_percent").isDouble());
}

TEST_F(GatewayRequestTest, GetSendsNoBodyAndNothingLeaksFromTheCallBefore)
{
    server.enqueueEnvelope("1", "ok");
    server.enqueueEnvelope("1", "ok");
    bool result = false;
    QString message;
    dm.CallPostMethod(Method::user_login, result, message, JsonBody().add("user_name", "a").add("password", "b"));
    dm.CallGetMethod(Method::get_all_users, result, message);

    ASSERT_EQ(server.requests().size(), 2);
    const RecordedRequest& request = server.requests().at(1);
    EXPECT_EQ(request.verb, "GET");
    EXPECT_EQ(request.path, "/ws/get_all_users");
    EXPECT_TRUE(request.body.isEmpty());
    EXPECT_FALSE(request.headers.contains("content-type"));
    EXPECT_EQ(request.headers.value("content-length", "0"), "0");
    EXPECT_EQ(request.headers.value("accept"), "application/json, text/plain; q=0.9, text/html;q=0.8,");
    EXPECT_EQ(request.headers.value("accept-charset"), "utf-8, *;q=0.8");
}

TEST_F(GatewayRequestTest, RedirectsAreFollowed)
{
    ScriptedReply moved;
    moved.status = 302;
    moved.reason = "Found";
    moved.extraHeaders = {{"Location", "/ws/moved_here"}};
    server.enqueue(moved);
    server.enqueueEnvelope("1", "there", "[{\"a\":\"1\"}]");
    bool result = false;
    QString message;
    const std::optional<QJsonArray> rows = dm.CallGetMethod(Method::get_all_organisation, result, message);
    EXPECT_TRUE(result);
    EXPECT_EQ(message, "there");
    ASSERT_TRUE(rows.has_value());
    EXPECT_EQ(rows->size(), 1);
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_EQ(server.requests().at(1).path, "/ws/moved_here");
}

// A call made while another waits is refused without sending anything.
TEST_F(GatewayRequestTest, SecondCallWhileWaitingIsRefused)
{
    ScriptedReply slow;
    slow.body = ScriptedHttpServer::envelope("1", "first", "[]");
    slow.delayMs = 300;
    server.enqueue(slow);
    server.enqueueEnvelope("1", "should not be asked for");

    struct Attempt {
        bool busy = false;
        bool result = true;
        QString message = "<untouched>";
        bool rows = true;
    };
    Attempt fromHook, fromTimer;
    QList<bool> hookCalls;
    dm.setBusyHook([&](bool waiting) {
        hookCalls.append(waiting);
        if (waiting && hookCalls.size() == 1) {
            fromHook.busy = dm.isBusy();
            fromHook.rows = dm.CallGetMethod(Method::get_all_users, fromHook.result, fromHook.message).has_value();
        }
    });
    QTimer::singleShot(50, [&] {
        fromTimer.busy = dm.isBusy();
        dm.CallPostMethodWithOutResult(Method::delete_user, fromTimer.result, fromTimer.message,
                                       JsonBody().add("user_id", "1"));
    });

    bool result = false;
    QString message;
    const std::optional<QJsonArray> rows =
        dm.CallPostMethod(Method::user_login, result, message, JsonBody().add("user_name", "a"));
    EXPECT_TRUE(result);
    EXPECT_EQ(message, "first");
    EXPECT_TRUE(rows.has_value());

    for (const Attempt* a : {&fromHook, &fromTimer}) {
        EXPECT_TRUE(a->busy);
        EXPECT_FALSE(a->result);
        EXPECT_EQ(a->message, "<untouched>");
    }
    EXPECT_FALSE(fromHook.rows);
    EXPECT_EQ(hookCalls, (QList<bool>{true, false}));
    EXPECT_FALSE(dm.isBusy());
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().at(0).path, "/ws/user_login");
    EXPECT_EQ(server.pendingReplies(), 1);
}

TEST_F(GatewayRequestTest, ReturnedRowsOutliveTheNextCall)
{
    server.enqueueEnvelope("1", "a", R"([{"n":"1"}])");
    server.enqueueEnvelope("1", "b", R"([{"n":"2"}])");
    bool result = false;
    QString message;
    const std::optional<QJsonArray> first = dm.CallPostMethod(Method::user_login, result, message, JsonBody());
    const std::optional<QJsonArray> second = dm.CallPostMethod(Method::user_login, result, message, JsonBody());
    ASSERT_TRUE(first && second);
    EXPECT_EQ(ReadJsonField::AsString(first->at(0), "n"), "1");
    EXPECT_EQ(ReadJsonField::AsString(second->at(0), "n"), "2");
}

TEST(GatewayInstance, CreateDmMakesOneGateway)
{
    TDm& first = CreateDm();
    EXPECT_EQ(&first, Dm);
    EXPECT_EQ(&CreateDm(), &first);
}
}  // namespace
