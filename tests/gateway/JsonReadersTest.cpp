// The typed readers of reply fields and the order-keeping request body.
#include "core/untDm.h"
#include "support/QtPrinters.h"

#include <QJsonDocument>
#include <functional>
#include <gtest/gtest.h>

namespace {
const QByteArray Persian = QByteArrayLiteral("وضعیت کنتور");

const QJsonValue Row = QJsonDocument::fromJson(R"({
    "s": "abc", "empty": "", "persian": "وضعیت کنتور",
    "i": 12, "neg": -7, "zero": 0, "r": 2.5, "tenth": 0.1, "whole_real": 2.0, "tiny": 1e-7,
    "big": 9007199254740993, "huge": 1e20,
    "int_hi": 2147483647, "int_over": 2147483648, "small_lo": -32768, "small_over": 32768,
    "si": "42", "sneg": "-42", "sf": "2.5", "sexp": "1e3", "slead": "007", "sbig": "9007199254740993",
    "sblank": " 1", "strail": "1 ", "sx": "12a", "sdot": "1.", "splus": "+1",
    "t": true, "f": false, "st": "true", "sf_word": "false", "sTrue": "True", "one": 1,
    "n": null, "a": [1, "x"], "o": {"k": 1},
    "dt": "2024-03-05T10:20:30", "dt_ms_utc": "2024-03-05T10:20:30.250Z", "dt_solar": "1402/12/15"
})").object();

using Reader = std::function<QString(const QJsonValue&, const QString&)>;

// Each reader's result rendered as text, so one table holds every kind.
const Reader Str = [](const QJsonValue& o, const QString& k) { return ReadJsonField::AsString(o, k); };
const Reader Int = [](const QJsonValue& o, const QString& k) { return QString::number(ReadJsonField::AsInteger(o, k)); };
const Reader Small = [](const QJsonValue& o, const QString& k) {
    return QString::number(ReadJsonField::AsSmallInt(o, k));
};
const Reader Int64 = [](const QJsonValue& o, const QString& k) { return QString::number(ReadJsonField::AsInt64(o, k)); };
const Reader Real = [](const QJsonValue& o, const QString& k) {
    return QString::number(ReadJsonField::AsFloat(o, k), 'g', 17);
};
const Reader Bool = [](const QJsonValue& o, const QString& k) {
    return QString::fromLatin1(ReadJsonField::AsBoolean(o, k) ? "true" : "false");
};
const Reader Moment = [](const QJsonValue& o, const QString& k) {
    return ReadJsonField::AsDateTime(o, k).toUTC().toString(Qt::ISODateWithMs);
};
const Reader Array = [](const QJsonValue& o, const QString& k) {
    return QString::fromUtf8(QJsonDocument(ReadJsonField::AsArray(o, k)).toJson(QJsonDocument::Compact));
};

struct ReadCase {
    const char* reader;
    Reader read;
    const char* key;
    QString expected;   // the value read, or "!" + the error text
};

TEST(JsonReaders, ConversionsAndErrors)
{
    const QDateTime localDt(QDate(2024, 3, 5), QTime(10, 20, 30));
    const QList<ReadCase> cases = {
        {"string", Str, "s", "abc"},
        {"string", Str, "empty", ""},
        {"string", Str, "persian", "وضعیت کنتور"},
        {"string", Str, "i", "12"},
        {"string", Str, "neg", "-7"},
        {"string", Str, "r", "2.5"},
        {"string", Str, "tenth", "0.1"},
        {"string", Str, "whole_real", "2"},
        {"string", Str, "tiny", "1e-07"},
        {"string", Str, "big", "9007199254740993"},
        {"string", Str, "huge", "1e+20"},
        {"string", Str, "t", "true"},
        {"string", Str, "f", "false"},
        {"string", Str, "n", "!field \"n\": cannot read null as string"},
        {"string", Str, "a", "!field \"a\": cannot read array as string"},
        {"string", Str, "o", "!field \"o\": cannot read object as string"},
        {"string", Str, "missing", "!field \"missing\" not found"},

        {"integer", Int, "i", "12"},
        {"integer", Int, "neg", "-7"},
        {"integer", Int, "whole_real", "2"},
        {"integer", Int, "int_hi", "2147483647"},
        {"integer", Int, "si", "42"},
        {"integer", Int, "sneg", "-42"},
        {"integer", Int, "slead", "7"},
        {"integer", Int, "sexp", "1000"},
        {"integer", Int, "int_over", "!field \"int_over\": cannot read number as integer"},
        {"integer", Int, "r", "!field \"r\": cannot read number as integer"},
        {"integer", Int, "sf", "!field \"sf\": cannot read string as integer"},
        {"integer", Int, "sblank", "!field \"sblank\": cannot read string as integer"},
        {"integer", Int, "strail", "!field \"strail\": cannot read string as integer"},
        {"integer", Int, "sx", "!field \"sx\": cannot read string as integer"},
        {"integer", Int, "splus", "!field \"splus\": cannot read string as integer"},
        {"integer", Int, "empty", "!field \"empty\": cannot read string as integer"},
        {"integer", Int, "t", "!field \"t\": cannot read boolean as integer"},
        {"integer", Int, "n", "!field \"n\": cannot read null as integer"},
        {"integer", Int, "missing", "!field \"missing\" not found"},

        {"small integer", Small, "small_lo", "-32768"},
        {"small integer", Small, "si", "42"},
        {"small integer", Small, "small_over", "!field \"small_over\": cannot read number as small integer"},
        {"small integer", Small, "int_hi", "!field \"int_hi\": cannot read number as small integer"},

        {"64-bit integer", Int64, "big", "9007199254740993"},
        {"64-bit integer", Int64, "sbig", "9007199254740993"},
        {"64-bit integer", Int64, "int_over", "2147483648"},
        {"64-bit integer", Int64, "huge", "!field \"huge\": cannot read number as 64-bit integer"},
        {"64-bit integer", Int64, "o", "!field \"o\": cannot read object as 64-bit integer"},

        {"float", Real, "r", "2.5"},
        {"float", Real, "i", "12"},
        {"float", Real, "sf", "2.5"},
        {"float", Real, "sexp", "1000"},
        {"float", Real, "sdot", "!field \"sdot\": cannot read string as float"},
        {"float", Real, "sblank", "!field \"sblank\": cannot read string as float"},
        {"float", Real, "t", "!field \"t\": cannot read boolean as float"},

        {"boolean", Bool, "t", "true"},
        {"boolean", Bool, "f", "false"},
        {"boolean", Bool, "st", "true"},
        {"boolean", Bool, "sf_word", "false"},
        {"boolean", Bool, "sTrue", "!field \"sTrue\": cannot read string as boolean"},
        {"boolean", Bool, "one", "!field \"one\": cannot read number as boolean"},
        {"boolean", Bool, "n", "!field \"n\": cannot read null as boolean"},

        {"date-time", Moment, "dt", localDt.toUTC().toString(Qt::ISODateWithMs)},
        {"date-time", Moment, "dt_ms_utc", "2024-03-05T10:20:30.250Z"},
        {"date-time", Moment, "dt_solar", "!field \"dt_solar\": cannot read string as date-time"},
        {"date-time", Moment, "i", "!field \"i\": cannot read number as date-time"},

        {"array", Array, "a", "[1,\"x\"]"},
        {"array", Array, "o", "!field \"o\": cannot read object as array"},
        {"array", Array, "s", "!field \"s\": cannot read string as array"},
        {"array", Array, "missing", "!field \"missing\" not found"},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(std::string(c.reader) + " " + c.key);
        QString got;
        try {
            got = c.read(Row, QString::fromUtf8(c.key));
        } catch (const JsonFieldError& error) {
            got = "!" + QString::fromStdString(error.what());
        }
        EXPECT_EQ(got, c.expected);
    }
}

TEST(JsonReaders, ReadingFromSomethingOtherThanAnObjectRaises)
{
    const QList<QJsonValue> holders = {QJsonValue(QJsonArray{1}), QJsonValue("text"), QJsonValue(),
                                       QJsonValue(QJsonValue::Undefined)};
    for (const QJsonValue& holder : holders) {
        try {
            ReadJsonField::AsString(holder, "UserID");
            ADD_FAILURE() << "no error for a holder of type " << holder.type();
        } catch (const JsonFieldError& error) {
            const QString text = QString::fromStdString(error.what());
            EXPECT_TRUE(text.startsWith("field \"UserID\": cannot read from ")) << text.toStdString();
            EXPECT_TRUE(text.endsWith("(not an object)")) << text.toStdString();
        }
    }
}

TEST(JsonBody, KeepsTheOrderKeysWereAddedIn)
{
    JsonBody body;
    body.add("to_Date", "1403/01/01").add("from_date", "1402/01/01").add("activated", true).add("n", 3);
    body.add("from_date", "1402/02/02");   // a key added again keeps its place
    EXPECT_EQ(body.keys(), (QStringList{"to_Date", "from_date", "activated", "n"}));
    EXPECT_EQ(body.toJson(), R"({"to_Date":"1403/01/01","from_date":"1402/02/02","activated":true,"n":3})");
    EXPECT_EQ(JsonBody().toJson(), "{}");
    EXPECT_EQ(JsonBody().add("p", QString::fromUtf8(Persian)).toJson(), "{\"p\":\"" + Persian + "\"}");
    EXPECT_EQ(JsonBody().add("q", "a\"b\\c\n").toJson(), R"({"q":"a\"b\\c\n"})");
}

TEST(JsonBody, FromJsonTextKeepsTheOrderWritten)
{
    struct Case {
        QByteArray text;
        QByteArray compact;   // empty: the text must be refused
    };
    const QList<Case> cases = {
        {R"({"z":1,"a":"x","m":{"k":[1,2]},"arr":[1,"}",{"q":"]"}],"esc":"a\"b,c}"})",
         R"({"z":1,"a":"x","m":{"k":[1,2]},"arr":[1,"}",{"q":"]"}],"esc":"a\"b,c}"})"},
        {" \n{ \"serial\" : \"1\" , \"sended\" : false , \"v\" : null , \"r\" : -2.5e1 }\t",
         R"({"serial":"1","sended":false,"v":null,"r":-25})"},
        {R"({"a\u0062":1})", R"({"ab":1})"},
        {"{\"p\":\"" + Persian + "\"}", "{\"p\":\"" + Persian + "\"}"},
        {"{}", "{}"},
        {"", {}},
        {"[1]", {}},
        {"\"text\"", {}},
        {"{", {}},
        {R"({"a":})", {}},
        {R"({"a":1,})", {}},
        {R"({"a" 1})", {}},
        {R"({1:2})", {}},
        {R"({"a":tru})", {}},
        {R"({"a":1 2})", {}},
        {R"({"a":[1,}])", {}},
        {R"({"a":1}})", {}},
        {R"({"a":1} x)", {}},
        {R"({"a":"unterminated})", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const std::optional<JsonBody> body = JsonBody::fromJsonText(c.text);
        if (c.compact.isEmpty()) {
            EXPECT_FALSE(body.has_value());
        } else {
            ASSERT_TRUE(body.has_value());
            EXPECT_EQ(body->toJson(), c.compact);
        }
    }
}
}  // namespace
