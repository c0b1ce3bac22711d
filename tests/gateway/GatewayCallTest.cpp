// The gateway's failure decision and envelope reading, against the scripted server.
#include "core/MSGs.h"
#include "core/untDm.h"
#include "support/QtPrinters.h"
#include "support/ScriptedHttpServer.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {
const QString NoNetwork = QStringLiteral("ارتباط با شبکه قطع است") + QStringLiteral("\r\n") + QStringLiteral("لطفا تنظیمات اینترنت را بررسی نمایید");
const QString ServerTrouble = QStringLiteral("سرور موقتا با اشکال مواجه است ");
const QString ErrorCaption = QStringLiteral("خطا");
const QString Untouched = QStringLiteral("<untouched>");
const QByteArray Rows = R"([{"SerialNumber":"123456789012345"},{"SerialNumber":"000000000000001"}])";

enum class Op { Get, Post, PostNoRows };

ScriptedReply reply(int status, const QByteArray& reason, const QByteArray& body)
{
    ScriptedReply r;
    r.status = status;
    r.reason = reason;
    r.body = body;
    return r;
}

QByteArray envelope(const QString& success, const QString& message, const QByteArray& data = Rows)
{
    return ScriptedHttpServer::envelope(success, message, data);
}

class GatewayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dm.setBaseAddress(server.baseUrl());
        previous = SetMessagePresenter([this](const MessageBoxRequest& box) {
            boxes.append(box);
            return int(mrOk);
        });
    }
    void TearDown() override { SetMessagePresenter(previous); }

    std::optional<QJsonArray> call(Op op, bool& result, QString& message)
    {
        const JsonBody body = JsonBody().add("serial", "123456789012345");
        switch (op) {
        case Op::Get: return dm.CallGetMethod(Method::get_all_users, result, message);
        case Op::Post: return dm.CallPostMethod(Method::get_last_log_by_serial, result, message, body);
        case Op::PostNoRows: dm.CallPostMethodWithOutResult(Method::delete_device, result, message, body); break;
        }
        return std::nullopt;
    }

    ScriptedHttpServer server;
    TDm dm;
    QList<MessageBoxRequest> boxes;
    MessagePresenter previous;
};

struct OutcomeCase {
    const char* name;
    ScriptedReply served;
    Op op;
    bool result;
    QString message;        // Untouched: the caller's text must come back as it was
    QString box;            // text of the one error box expected, or empty for none
    QByteArray data;        // compact JSON of the rows returned, or empty for none
};

TEST_F(GatewayTest, OutcomeOfEachKindOfReply)
{
    const QByteArray fullEnvelope = envelope("1", "ok");
    const QList<OutcomeCase> cases = {
        // The 503 test comes first, even over a complete successful envelope.
        {"503 with envelope, POST", reply(503, "Service Unavailable", fullEnvelope), Op::Post, false, NoNetwork, {}, {}},
        {"503 with envelope, GET", reply(503, "Service Unavailable", fullEnvelope), Op::Get, false, NoNetwork, {}, {}},
        {"503 empty", reply(503, "Service Unavailable", {}), Op::PostNoRows, false, NoNetwork, {}, {}},
        // Only the status line or the reason phrase identifies the no-network case.
        {"503 other reason, body shown", reply(503, "Busy", "try later"), Op::Post, false, Untouched, "try later", {}},
        {"503 other reason, empty", reply(503, "Busy", {}), Op::Post, false, Untouched, {}, {}},
        // A 5xx body is shown raw, never read as an envelope.
        {"500 with envelope body", reply(500, "Internal Server Error", fullEnvelope), Op::Get, false, Untouched,
         QString::fromUtf8(fullEnvelope), {}},
        {"599 with text body", reply(599, "Whatever", "boom"), Op::PostNoRows, false, Untouched, "boom", {}},
        {"500 empty, Internal Server Error", reply(500, "Internal Server Error", {}), Op::Post, false, ServerTrouble,
         {}, {}},
        {"500 empty, other reason", reply(500, "Oops", {}), Op::Post, false, Untouched, {}, {}},
        {"502 empty", reply(502, "Bad Gateway", {}), Op::Get, false, Untouched, {}, {}},
        // Below 500 the body is an envelope like any other.
        {"400 envelope failure", reply(400, "Bad Request", envelope("0", "bad serial", "[]")), Op::Post, false,
         "bad serial", {}, {}},
        {"404 envelope success", reply(404, "Not Found", envelope("1", "found")), Op::Post, true, "found", {}, Rows},
        {"200 text with Service Unavailable reason", reply(200, "Service Unavailable", envelope("1", "fine")),
         Op::PostNoRows, true, "fine", {}, {}},
        {"GET failure keeps rows", reply(200, "OK", envelope("0", "partial")), Op::Get, false, "partial", {}, Rows},
        {"POST failure drops rows", reply(200, "OK", envelope("0", "no")), Op::Post, false, "no", {}, {}},
        {"POST success", reply(200, "OK", envelope("1", "ok")), Op::Post, true, "ok", {}, Rows},
        {"GET success", reply(200, "OK", envelope("1", "ok")), Op::Get, true, "ok", {}, Rows},
        {"no rows success", reply(200, "OK", envelope("1", "done")), Op::PostNoRows, true, "done", {}, {}},
        {"success 01", reply(200, "OK", envelope("01", "m")), Op::Post, false, "m", {}, {}},
        {"success true", reply(200, "OK", envelope("true", "m")), Op::Post, false, "m", {}, {}},
        {"success blank 1", reply(200, "OK", envelope(" 1", "m")), Op::Post, false, "m", {}, {}},
        {"success as number 1", reply(200, "OK", R"({"settings":{"success":1,"message":"n"},"data":[]})"), Op::Post,
         true, "n", {}, "[]"},
        {"Persian message", reply(200, "OK", envelope("0", "وضعیت کنتور")), Op::PostNoRows, false, "وضعیت کنتور", {},
         {}},
        {"body not JSON", reply(200, "OK", "<html>down</html>"), Op::Get, false, Untouched, {}, {}},
        {"body truncated JSON", reply(200, "OK", R"({"settings":{"success":"1")"), Op::Post, false, Untouched, {}, {}},
        {"body empty", reply(200, "OK", {}), Op::Post, false, Untouched, {}, {}},
    };
    for (const OutcomeCase& c : cases) {
        SCOPED_TRACE(c.name);
        server.clear();
        boxes.clear();
        server.enqueue(c.served);
        bool result = !c.result;
        QString message = Untouched;
        const std::optional<QJsonArray> rows = call(c.op, result, message);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(message, c.message);
        if (c.box.isEmpty()) {
            EXPECT_TRUE(boxes.isEmpty());
        } else {
            ASSERT_EQ(boxes.size(), 1);
            EXPECT_EQ(boxes.at(0).text, c.box);
            EXPECT_EQ(boxes.at(0).caption, ErrorCaption);
            EXPECT_EQ(boxes.at(0).icon, int(miError));
        }
        if (c.data.isEmpty())
            EXPECT_FALSE(rows.has_value());
        else
            EXPECT_EQ(rows ? QJsonDocument(*rows).toJson(QJsonDocument::Compact) : QByteArray("none"), c.data);
        EXPECT_EQ(server.requests().size(), 1);
    }
}

struct RaiseCase {
    const char* name;
    QByteArray body;
    Op op;
    const char* error;      // empty: the call must not raise
    bool resultSoFar;
    QString messageSoFar;
};

TEST_F(GatewayTest, MissingOrMistypedEnvelopeKeysRaise)
{
    const QList<RaiseCase> cases = {
        {"success without data, rows wanted", R"({"settings":{"success":"1","message":"ok"}})", Op::Post,
         R"(field "data" not found)", true, "ok"},
        {"success without data, no rows wanted", R"({"settings":{"success":"1","message":"ok"}})", Op::PostNoRows, "",
         true, "ok"},
        {"failure without data, POST reads nothing more", R"({"settings":{"success":"0","message":"no"}})", Op::Post,
         "", false, "no"},
        {"failure without data, GET still reads it", R"({"settings":{"success":"0","message":"no"}})", Op::Get,
         R"(field "data" not found)", false, "no"},
        {"data not an array", R"({"settings":{"success":"1","message":"ok"},"data":{}})", Op::Get,
         R"(field "data": cannot read object as array)", true, "ok"},
        {"settings missing", R"({"data":[]})", Op::PostNoRows, R"(field "settings" not found)", false, Untouched},
        {"settings not an object", R"({"settings":"1","data":[]})", Op::Post,
         R"(field "success": cannot read from string (not an object))", false, Untouched},
        {"message missing", R"({"settings":{"success":"1"},"data":[]})", Op::Post, R"(field "message" not found)",
         true, Untouched},
        {"success missing", R"({"settings":{"message":"m"},"data":[]})", Op::Post, R"(field "success" not found)",
         false, Untouched},
        {"success null", R"({"settings":{"success":null,"message":"m"},"data":[]})", Op::Post,
         R"(field "success": cannot read null as string)", false, Untouched},
        {"root is an array", R"([{"settings":{}}])", Op::Get,
         R"(field "settings": cannot read from array (not an object))", false, Untouched},
    };
    for (const RaiseCase& c : cases) {
        SCOPED_TRACE(c.name);
        server.clear();
        server.enqueue(reply(200, "OK", c.body));
        bool result = !c.resultSoFar;
        QString message = Untouched;
        QString raised;
        try {
            call(c.op, result, message);
        } catch (const JsonFieldError& error) {
            raised = QString::fromStdString(error.what());
        }
        EXPECT_EQ(raised, QString::fromUtf8(c.error));
        EXPECT_EQ(result, c.resultSoFar);
        EXPECT_EQ(message, c.messageSoFar);
        EXPECT_FALSE(dm.isBusy());
    }
}

TEST_F(GatewayTest, TransportFailuresLeaveTheMessageAlone)
{
    struct Case {
        const char* name;
        ScriptedReply served;
    };
    ScriptedReply slow = reply(200, "OK", envelope("1", "late"));
    slow.delayMs = 3000;
    ScriptedReply dropped;
    dropped.dropConnection = true;
    dm.setTimeoutMs(300);
    for (const Case& c : {Case{"slower than the time-out", slow}, Case{"connection dropped unanswered", dropped}}) {
        SCOPED_TRACE(c.name);
        server.clear();
        server.enqueue(c.served);
        bool result = true;
        QString message = Untouched;
        EXPECT_FALSE(call(Op::Post, result, message).has_value());
        EXPECT_FALSE(result);
        EXPECT_EQ(message, Untouched);
        EXPECT_TRUE(boxes.isEmpty());
    }
    // After a time-out the gateway is usable again.
    server.clear();
    server.enqueueEnvelope("1", "again");
    bool result = false;
    QString message;
    call(Op::PostNoRows, result, message);
    EXPECT_TRUE(result);
    EXPECT_EQ(message, "again");
}

TEST_F(GatewayTest, NoServerListening)
{
    quint16 closedPort = 0;
    {
        ScriptedHttpServer gone;
        closedPort = gone.port();
    }
    dm.setBaseAddress(QStringLiteral("http://127.0.0.1:%1/ws/").arg(closedPort));
    for (Op op : {Op::Get, Op::Post, Op::PostNoRows}) {
        bool result = true;
        QString message = Untouched;
        EXPECT_FALSE(call(op, result, message).has_value());
        EXPECT_FALSE(result);
        EXPECT_EQ(message, Untouched);
    }
    EXPECT_TRUE(boxes.isEmpty());
}
}  // namespace
