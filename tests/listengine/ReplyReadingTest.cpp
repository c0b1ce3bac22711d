// The streaming reader of replies must see exactly what the gateway and its readers see: each
// reply is read once by the gateway (over HTTP, rows read from its array) and once by the
// streaming reader, and the tables, flags, messages and raised errors must agree.

#include "core/ListReply.h"
#include "core/ListTable.h"
#include "core/untDm.h"
#include "support/ScriptedHttpServer.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <ctime>

namespace {
QList<FieldDef> fields()
{
    return {{"T", FieldType::Text},    {"I", FieldType::Integer},  {"S", FieldType::SmallInt},
            {"L", FieldType::LargeInt}, {"F", FieldType::Float},    {"B", FieldType::Boolean},
            {"D", FieldType::DateTime}, {"N", FieldType::Text}};
}

RowReader reader()
{
    RowReader r;
    r.keys = {{"t", ReadAs::Text, "T"},    {"i", ReadAs::Integer, "I"}, {"s", ReadAs::SmallInt, "S"},
              {"l", ReadAs::LargeInt, "L"}, {"f", ReadAs::Float, "F"},   {"b", ReadAs::Boolean, "B"},
              {"d", ReadAs::DateTime, "D"}, {"n", ReadAs::Integer, "N"}};
    return r;
}

// Every row of vt with the SQLite type of each value, in table order.
QStringList dump(const ListTable& table)
{
    QStringList rows;
    table.select(QStringLiteral("SELECT * FROM vt ORDER BY rowid"), {}, [&](sqlite3_stmt* s) {
        QStringList cells;
        for (int c = 0; c < sqlite3_column_count(s); ++c) {
            const char* type = "?";
            switch (sqlite3_column_type(s, c)) {
            case SQLITE_INTEGER: type = "i"; break;
            case SQLITE_FLOAT: type = "r"; break;
            case SQLITE_TEXT: type = "t"; break;
            case SQLITE_NULL: type = "null"; break;
            }
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, c));
            cells << QString::fromLatin1(type) + QLatin1Char(':') + QString::fromUtf8(text ? text : "");
        }
        rows << cells.join(QLatin1Char('|'));
    });
    return rows;
}

struct Outcome {
    bool json = true;   // false: the reply was not read as JSON
    bool result = false;
    QString message = QStringLiteral("untouched");
    QString error;      // what a raised JsonFieldError said
    QStringList table;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o)
{
    return out << "json=" << o.json << " result=" << o.result << " message=" << o.message.toStdString()
               << " error=" << o.error.toStdString() << " table=[" << o.table.join(" / ").toStdString() << "]";
}

bool operator==(const Outcome& a, const Outcome& b)
{
    return a.json == b.json && a.result == b.result && a.message == b.message && a.error == b.error &&
           a.table == b.table;
}

class ReplyReading : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateDm();
        Dm->setBaseAddress(m_server.baseUrl());
    }

    // The gateway's way: its call, then the rows of the array it returns.
    Outcome viaGateway(const QByteArray& body, bool get = false)
    {
        ScriptedReply reply;
        reply.body = body;
        m_server.enqueue(reply);
        Outcome o;
        ListTable table(fields());
        try {
            const std::optional<QJsonArray> data = get ? Dm->CallGetMethod(QStringLiteral("m"), o.result, o.message)
                                                       : Dm->CallPostMethod(QStringLiteral("m"), o.result, o.message,
                                                                            JsonBody());
            o.json = data.has_value() || o.message != QLatin1String("untouched");
            if (data && o.result)
                table.loadRows(*data, reader());
        } catch (const JsonFieldError& e) {
            o.error = QString::fromStdString(e.what());
        }
        o.table = dump(table);
        return o;
    }

    Outcome viaStream(const QByteArray& body, bool get = false)
    {
        Outcome o;
        ListTable table(fields());
        try {
            o.json = ReadReplyIntoTable(body, get, o.result, o.message, table, reader()) >= 0;
        } catch (const JsonFieldError& e) {
            o.error = QString::fromStdString(e.what());
        }
        o.table = dump(table);
        return o;
    }

    ScriptedHttpServer m_server;
};

const QByteArray GoodRow = R"({"t":"x","i":1,"s":2,"l":3,"f":1.5,"b":true,"d":"2024-01-02T03:04:05","n":7})";

// A row with one key's value replaced by a JSON text (or removed when the text is empty).
QByteArray rowWith(const QByteArray& key, const QByteArray& json)
{
    QByteArray row = GoodRow;
    const QByteArray head = "\"" + key + "\":";
    const qsizetype at = row.indexOf(head);
    qsizetype end = at + head.size();
    int depth = 0;
    bool inString = false;
    for (; end < row.size(); ++end) {
        const char c = row.at(end);
        if (inString) {
            if (c == '\\')
                ++end;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"')
            inString = true;
        else if (c == '{' || c == '[')
            ++depth;
        else if ((c == '}' || c == ']') && depth-- == 0)
            break;
        else if (c == ',' && depth == 0)
            break;
    }
    if (json.isEmpty()) {
        qsizetype from = at;
        if (row.at(end) == ',')
            ++end;
        else if (row.at(from - 1) == ',')
            --from;
        return row.left(from) + row.mid(end);
    }
    return row.left(at + head.size()) + json + row.mid(end);
}

QByteArray envelope(const QByteArray& rows)
{
    return R"({"settings":{"success":"1","message":"ok"},"data":[)" + rows + "]}";
}
}  // namespace

// One value per case, read by every reader kind in turn through both paths.
TEST_F(ReplyReading, ValuesReadAlikeForEveryReaderAndJsonType)
{
    const QList<QByteArray> keys = {"t", "i", "s", "l", "f", "b", "d", "n"};
    const QList<QByteArray> values = {
        R"("plain")", R"("a\"b\\c\u0627\/")", R"("")", "12", "-7", "12.5", "12.0", "1e3", "2.5e-3",
        "3000000000", "40000", "-32768", "9223372036854775807", "18446744073709551616", "true", "false",
        "null", R"("true")", R"("12")", R"(" 12")", R"("12.0")", R"("x12")", "{}", R"({"a":[1,2]})", "[]",
        R"("2024-02-29T23:59:59")", R"("2023-02-29T00:00:00")", R"("2024-01-02T03:04:05.123")",
        R"("2024-01-02T03:04:05.5")", R"("2024-01-02T03:04:05Z")", R"("2024-01-02 03:04:05")",
        R"("2024-01-02T24:00:00")", R"("2024-13-01T00:00:00")", R"("\u06f1\u06f4\u06f0\u06f3/\u06f0\u06f1/\u06f0\u06f5")", ""};
    for (const QByteArray& key : keys) {
        for (const QByteArray& value : values) {
            const QByteArray body = envelope(rowWith(key, value) + "," + GoodRow);
            SCOPED_TRACE(body.toStdString());
            EXPECT_EQ(viaStream(body), viaGateway(body));
        }
    }
}

TEST_F(ReplyReading, RowsShapesAndBadRowsAgree)
{
    const QList<QByteArray> rows = {
        // order of keys unlike the reader's, extra keys with nested values, a repeated key
        R"({"n":1,"d":"2024-01-02T03:04:05","b":false,"f":2,"l":4,"s":3,"i":2,"t":"y","extra":{"deep":[1,{"x":null}]}})",
        R"({"t":"first","t":"second","i":1,"s":2,"l":3,"f":1.5,"b":true,"d":"2024-01-02T03:04:05","n":7})",
        // an escaped key
        R"({"\u0074":"esc","i":1,"s":2,"l":3,"f":1.5,"b":true,"d":"2024-01-02T03:04:05","n":7})",
        // elements that are no objects
        "12", R"("text")", "[]", "null",
        // bad rows among good ones: what stays is what the last-to-first walk leaves
        GoodRow + "," + rowWith("i", "\"bad\"") + "," + GoodRow,
        rowWith("t", "") + "," + GoodRow + "," + rowWith("d", "\"never\"") + "," + GoodRow + "," + GoodRow,
        GoodRow + "," + GoodRow + "," + rowWith("b", "3"),
        "",
    };
    for (const QByteArray& data : rows) {
        const QByteArray body = envelope(data);
        SCOPED_TRACE(body.toStdString());
        EXPECT_EQ(viaStream(body), viaGateway(body));
    }
}

TEST_F(ReplyReading, EnvelopesAgree)
{
    const QByteArray rows = GoodRow + "," + GoodRow;
    const QList<QByteArray> bodies = {
        R"({"settings":{"success":"0","message":"no"},"data":[)" + rows + "]}",
        R"({"settings":{"success":1,"message":"number one"},"data":[)" + rows + "]}",
        R"({"settings":{"success":"01","message":"m"},"data":[)" + rows + "]}",
        R"({"data":[)" + rows + R"(],"settings":{"success":"1","message":"data first"}})",
        R"({"settings":{"success":"1","message":"m"}})",
        R"({"settings":{"success":"0","message":"m"}})",
        R"({"settings":{"success":"1","message":"m"},"data":{}})",
        R"({"settings":{"success":"1","message":"m"},"data":"rows"})",
        R"({"settings":{"success":"1"},"data":[]})",
        R"({"settings":{"message":"m"},"data":[]})",
        R"({"settings":"1","data":[]})",
        R"({"data":[]})",
        R"([{"settings":{}}])",
        R"("just text")",
        R"({"settings":{"success":"1","message":"m"},"data":[)" + rows + "]",    // cut short
        R"({"settings":{"success":"1","message":"m"},"data":[)" + rows + "]} x",  // trailing text
        R"({"settings":{"success":"1","message":"m"},"data":[)" + rows + "],}",   // trailing comma
        R"({"settings":{"success":"1","message":"m"},"data":[)" + rows + R"(],"other":[1,2,{"a":"\u0627"}]})",
        R"({"settings":{"success":"1","message":"m"},"data":[{"t":"x" "i":1}]})",  // no comma
        R"({"settings":{"success":"1","message":"m"},"data":[)" + rows + "]}\n  ",
        // raw control characters, a byte that is not UTF-8, a number with a leading zero
        "{\"settings\":{\"success\":\"1\",\"message\":\"tab\there\"},\"data\":[" + rows + "]}",
        R"({"settings":{"success":"1","message":"m"},"data":[)" + rowWith("t", "\"line\nbreak\"") + "]}",
        R"({"settings":{"success":"1","message":"m"},"data":[)" + rowWith("t", "\"\xff\"") + "]}",
        R"({"settings":{"success":"1","message":"m"},"data":[)" + rowWith("i", "012") + "]}",
        R"({"settings":{"success":"1","message":"m"},"data":[)" + rowWith("i", "-") + "]}",
        R"({"settings":{"success":"1","message":"m"},"data":[)" + rowWith("i", "1.") + "]}",
        R"({"settings":{"success":"1","message":"m"},"data":[)" + rowWith("t", "\"\\q\"") + "]}",
        "not json",
        "",
    };
    for (const QByteArray& body : bodies) {
        SCOPED_TRACE(body.toStdString());
        EXPECT_EQ(viaStream(body), viaGateway(body));
        EXPECT_EQ(viaStream(body, true), viaGateway(body, true));
    }
}

TEST_F(ReplyReading, ValuesLandTyped)
{
    // The conversions a screen relies on, checked once directly.
    ListTable table({{"Serial", FieldType::Text}, {"RSSI", FieldType::Text}, {"When", FieldType::DateTime},
                     {"On", FieldType::Boolean}});
    RowReader r;
    r.keys = {{"Serial", ReadAs::Text}, {"RSSI", ReadAs::Integer}, {"When", ReadAs::DateTime}, {"On", ReadAs::Boolean}};
    r.derive = [](RowBuffer& row) { row.setText(0, row.text(0).remove(QLatin1Char(' '))); };
    bool result = false;
    QString message;
    const QByteArray body =
        envelope(R"({"Serial":" 1 2 ","RSSI":-71,"When":"2024-03-05T10:20:30","On":"false"})");
    ASSERT_EQ(ReadReplyIntoTable(body, false, result, message, table, r), 1);
    EXPECT_TRUE(result);
    EXPECT_EQ(message, QStringLiteral("ok"));
    EXPECT_EQ(dump(table), QStringList{QStringLiteral("t:12|t:-71|t:2024-03-05T10:20:30.000|i:0")});
}

TEST_F(ReplyReading, BodyIsReadInPlaceOrCopied)
{
    // A body with the padding spare is read where it lies; one without is copied first. Both
    // give the same rows.
    const QByteArray text = envelope(GoodRow + "," + GoodRow);
    QByteArray padded;
    padded.reserve(text.size() + ReplyBodyPadding());
    padded.append(text);
    QByteArray tight = text;
    tight.squeeze();
    EXPECT_EQ(viaStream(padded), viaStream(tight));
    EXPECT_EQ(viaStream(padded).table.size(), 2);
}

TEST_F(ReplyReading, MomentsAgreeInAZoneWithDaylightSaving)
{
    // In a zone that skips an hour, a time in the gap is what Qt's reader makes of it.
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    for (const char* moment : {R"("2024-03-31T02:30:00")", R"("2024-10-27T02:30:00")", R"("2024-06-01T12:00:00")"}) {
        const QByteArray body = envelope(rowWith("d", moment));
        SCOPED_TRACE(body.toStdString());
        EXPECT_EQ(viaStream(body), viaGateway(body));
    }
    if (zone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
    tzset();
}
