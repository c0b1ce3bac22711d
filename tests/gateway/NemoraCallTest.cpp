// nemora-call's argument handling and output, run in-process against the scripted server.
#include "NemoraCall.h"
#include "core/MSGs.h"
#include "support/QtPrinters.h"
#include "support/ScriptedHttpServer.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {
const QString ErrorCaption = QStringLiteral("خطا");

struct CallOutput {
    int status;
    QString out;
    QString err;
};

CallOutput run(const QStringList& args)
{
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const int status = runNemoraCall(args, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {status, out, err};
}

ScriptedReply reply(int status, const QByteArray& reason, const QByteArray& body)
{
    ScriptedReply r;
    r.status = status;
    r.reason = reason;
    r.body = body;
    return r;
}

TEST(NemoraCall, PrintsTheOutcomeOfOneCall)
{
    ScriptedHttpServer server;
    const QString base = server.baseUrl();
    struct Case {
        const char* name;
        QStringList args;
        ScriptedReply served;
        int status;
        QString out;
        QByteArray verb, path, body;
    };
    const QByteArray rows = R"([{"UserID":"7","loginCount":3}])";
    const QList<Case> cases = {
        {"POST with rows", {"--base", base, "user_login", R"({"user_name":"u","password":"p"})"},
         reply(200, "OK", ScriptedHttpServer::envelope("1", "ok", rows)), 0,
         "result: true\nmessage: ok\ndata: " + QString::fromUtf8(rows) + "\n", "POST", "/ws/user_login",
         R"({"user_name":"u","password":"p"})"},
        {"body keys keep the order written", {"--base=" + base, "get_all_register_device", R"({"to_Date":"b", "from_date":"a"})"},
         reply(200, "OK", ScriptedHttpServer::envelope("0", "none found", "[]")), 1,
         "result: false\nmessage: none found\ndata: none\n", "POST", "/ws/get_all_register_device",
         R"({"to_Date":"b","from_date":"a"})"},
        {"GET keeps rows on failure", {"--get", "--base", base, "get_all_users"},
         reply(200, "OK", ScriptedHttpServer::envelope("0", "partial", rows)), 1,
         "result: false\nmessage: partial\ndata: " + QString::fromUtf8(rows) + "\n", "GET", "/ws/get_all_users", ""},
        {"no rows, empty body", {"--no-rows", "--base", base, "delete_device"},
         reply(200, "OK", ScriptedHttpServer::envelope("1", "deleted", rows)), 0,
         "result: true\nmessage: deleted\ndata: none\n", "POST", "/ws/delete_device", "{}"},
        {"line breaks of the message", {"--base", base, "delete_user", R"({"user_id":"1"})"},
         reply(200, "OK", ScriptedHttpServer::envelope("0", "one\r\ntwo", "[]")), 1,
         "result: false\nmessage: one\\r\\ntwo\ndata: none\n", "POST", "/ws/delete_user", R"({"user_id":"1"})"},
        {"error box before the result", {"--base", base, "edit_user", "{}"},
         reply(500, "Internal Server Error", "line 1\nline 2"), 1,
         "box: " + ErrorCaption + ": line 1\\nline 2\nresult: false\nmessage: \ndata: none\n", "POST", "/ws/edit_user",
         "{}"},
        {"reader error", {"--base", base, "user_login", "{}"},
         reply(200, "OK", R"({"settings":{"success":"1","message":"ok"}})"), 2, "error: field \"data\" not found\n",
         "POST", "/ws/user_login", "{}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.clear();
        server.enqueue(c.served);
        const CallOutput r = run(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, "");
        ASSERT_EQ(server.requests().size(), 1);
        EXPECT_EQ(server.requests().at(0).verb, c.verb);
        EXPECT_EQ(server.requests().at(0).path, c.path);
        EXPECT_EQ(server.requests().at(0).body, c.body);
    }
}

TEST(NemoraCall, LeavesTheInstalledPresenterInPlace)
{
    ScriptedHttpServer server;
    int seen = 0;
    const MessagePresenter before = SetMessagePresenter([&seen](const MessageBoxRequest&) {
        ++seen;
        return int(mrOk);
    });
    server.enqueue(reply(500, "Internal Server Error", "x"));
    run({"--base", server.baseUrl(), "edit_user"});
    EXPECT_EQ(seen, 0);
    ShowErrorBox("after");
    EXPECT_EQ(seen, 1);
    SetMessagePresenter(before);
}

TEST(NemoraCall, NoServerListening)
{
    quint16 closedPort = 0;
    {
        ScriptedHttpServer gone;
        closedPort = gone.port();
    }
    const CallOutput r = run({"--base", QStringLiteral("http://127.0.0.1:%1/ws/").arg(closedPort), "user_login"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "result: false\nmessage: \ndata: none\n");
}

TEST(NemoraCall, BadUsage)
{
    ScriptedHttpServer server;
    const QString base = server.baseUrl();
    const QList<QStringList> cases = {
        {},
        {"--base", base},
        {"--base"},
        {"--base", base, "--get", "--no-rows", "get_all_users"},
        {"--bogus", "user_login"},
        {"--base", base, "user_login", "[1]"},
        {"--base", base, "user_login", "{\"a\":"},
        {"--base", base, "--get", "get_all_users", "{}"},
        {"--base", base, "user_login", "{}", "extra"},
        {"--base", base, "user_login?x=1"},
        {"--base", base, "../user_login"},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const CallOutput r = run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.contains(nemoraCallUsage()));
    }
    EXPECT_TRUE(server.requests().isEmpty());
}
}  // namespace
