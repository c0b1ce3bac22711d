// nemora-call run in-process against the real server: what it prints and the exit status.

#include "NemoraCall.h"
#include "ServerSuite.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

struct ToolRun {
    int status;
    QStringList lines;
    QString err;
};

ToolRun runTool(const QStringList& args)
{
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const int status = runNemoraCall(args, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {status, out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), err};
}

// The rows printed on the "data: " line, or nullopt for "data: none" or no such line.
std::optional<QJsonArray> printedRows(const QStringList& lines)
{
    for (const QString& line : lines)
        if (line.startsWith(QLatin1String("data: ")) && line != QLatin1String("data: none")) {
            const QJsonDocument doc = QJsonDocument::fromJson(line.mid(6).toUtf8());
            if (doc.isArray())
                return doc.array();
        }
    return std::nullopt;
}

class E2eNemoraCall : public ServerSuite {};

TEST_F(E2eNemoraCall, PrintsTheOutcomeAndExitsWithItsStatus)
{
    const QString login = QStringLiteral("user_login");
    const QString admin = QStringLiteral(R"({"user_name":"admin01","password":"nemora01"})");
    enum class Data { Rows, None, NotPrinted };
    struct Case {
        const char* name;
        QStringList args;
        int status;
        const char* resultLine;   // nullptr: no result line at all
        Data data;
    };
    const QList<Case> cases = {
        {"login with rows", {"--base", baseUrl(), login, admin}, 0, "result: true", Data::Rows},
        {"GET of the unit list", {"--get", "--base=" + baseUrl(), "get_all_organisation"}, 0, "result: true", Data::Rows},
        {"no rows asked for", {"--no-rows", "--base", baseUrl(), login, admin}, 0, "result: true", Data::None},
        {"refused login", {"--base", baseUrl(), login, R"({"user_name":"admin01","password":"wrong"})"}, 1,
         "result: false", Data::None},
        {"inactive account", {"--base", baseUrl(), login, R"({"user_name":"retired03","password":"nemora03"})"}, 1,
         "result: false", Data::None},
        {"body that is no JSON object", {"--base", baseUrl(), login, "user_name=admin01"}, 2, nullptr,
         Data::NotPrinted},
        {"body that is a JSON array", {"--base", baseUrl(), login, R"(["admin01"])"}, 2, nullptr, Data::NotPrinted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolRun run = runTool(c.args);
        EXPECT_EQ(run.status, c.status) << run.lines.join(QLatin1Char('\n')).toStdString() << run.err.toStdString();
        if (c.resultLine) {
            EXPECT_TRUE(run.lines.contains(QLatin1String(c.resultLine))) << run.lines.join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(run.lines.filter(QRegularExpression(QStringLiteral("^message: "))).size(), 1);
        } else {
            EXPECT_TRUE(run.lines.isEmpty()) << "a refused usage must send and print nothing";
            EXPECT_FALSE(run.err.isEmpty());
        }
        const std::optional<QJsonArray> rows = printedRows(run.lines);
        switch (c.data) {
        case Data::Rows:
            ASSERT_TRUE(rows.has_value()) << run.lines.join(QLatin1Char('\n')).toStdString();
            EXPECT_FALSE(rows->isEmpty());
            break;
        case Data::None: EXPECT_TRUE(run.lines.contains(QLatin1String("data: none"))); break;
        case Data::NotPrinted: EXPECT_TRUE(run.lines.filter(QRegularExpression(QStringLiteral("^data: "))).isEmpty()); break;
        }
    }

    // The printed login row is the administrator's.
    const std::optional<QJsonArray> rows = printedRows(runTool({"--base", baseUrl(), login, admin}).lines);
    ASSERT_TRUE(rows.has_value());
    EXPECT_EQ(rows->at(0).toObject().value("UserName").toString(), QStringLiteral("admin01"));
    EXPECT_EQ(rows->at(0).toObject().value("Code").toString(), QStringLiteral("01"));
}

}  // namespace
