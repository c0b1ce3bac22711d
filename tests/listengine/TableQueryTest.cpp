// vt, vq and the cursor: rows in reply order, bound filter values, the order of the sort keys,
// calculated fields, table row filters and the column-filter and search layer.

#include "core/ListCursor.h"
#include "core/ListQuery.h"
#include "core/ListTable.h"
#include "core/untDm.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {
QJsonArray rows(const char* json)
{
    return QJsonDocument::fromJson(json).array();
}

struct Meters {
    ListTable vt{{{"Serial", FieldType::Text, 15},
                  {"Volume", FieldType::Integer},
                  {"Volts", FieldType::Float},
                  {"Code", FieldType::Text},
                  {"Open", FieldType::Boolean}}};
    RowReader reader;
    Meters(const char* json)
    {
        reader.keys = {{"Serial"}, {"Volume", ReadAs::Integer}, {"Volts", ReadAs::Float}, {"Code"},
                       {"Open", ReadAs::Boolean}};
        vt.loadRows(rows(json), reader);
    }
};

const char* Sample = R"([
    {"Serial":"300","Volume":5,"Volts":3.1,"Code":"0102","Open":true},
    {"Serial":"100","Volume":9,"Volts":2.7,"Code":"01","Open":false},
    {"Serial":"12'3","Volume":1,"Volts":3.6,"Code":"0103","Open":true},
    {"Serial":"200","Volume":5,"Volts":3.0,"Code":"02","Open":false},
    {"Serial":"1%","Volume":7,"Volts":3.3,"Code":"01%","Open":true}])";

QStringList serials(ListCursor& ds)
{
    QStringList out;
    for (int i = 0; i < ds.count(); ++i)
        out << ds.row(i).text(QStringLiteral("Serial"));
    return out;
}
}  // namespace

TEST(ListTable, KeepsReplyOrderAndCounts)
{
    Meters m(Sample);
    EXPECT_EQ(m.vt.rowCount(), 5);
    ListCursor ds;
    ds.setTable(&m.vt);
    ASSERT_TRUE(ds.open());
    EXPECT_EQ(serials(ds), (QStringList{"300", "100", "12'3", "200", "1%"}));
    EXPECT_EQ(ds.row(0).text(QStringLiteral("Open")), QStringLiteral("True"));
    EXPECT_EQ(ds.row(0).text(QStringLiteral("Volts")), QStringLiteral("3.1"));
}

TEST(ListTable, BadRowLeavesTheRowsAfterTheLastBadOne)
{
    ListTable vt({{"A", FieldType::Integer}});
    RowReader reader;
    reader.keys = {{"A", ReadAs::Integer}};
    try {
        vt.loadRows(rows(R"([{"A":1},{"A":"x"},{"A":3},{"B":4},{"A":5},{"A":6}])"), reader);
        FAIL() << "no error raised";
    } catch (const JsonFieldError& e) {
        EXPECT_NE(std::string(e.what()).find("\"A\""), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("not found"), std::string::npos) << e.what();
    }
    ListCursor ds;
    ds.setTable(&vt);
    ds.open();
    ASSERT_EQ(ds.count(), 2);
    EXPECT_EQ(ds.row(0).integer(0), 5);
    EXPECT_EQ(ds.row(1).integer(0), 6);
}

TEST(ListTable, RejectsBadFieldNames)
{
    EXPECT_THROW(ListTable({{"ok"}, {"bad name"}}), std::invalid_argument);
    EXPECT_THROW(ListTable({{"x\"; DROP TABLE vt; --"}}), std::invalid_argument);
    EXPECT_THROW(ListTable({{"Twice"}, {"Twice"}}), std::invalid_argument);
}

TEST(ListTable, CalculatedFieldFollowsItsInputs)
{
    ListTable vt({{"Min", FieldType::Integer}, {"Max", FieldType::Integer},
                  {"Consumed", FieldType::Integer, 0, {}, "Max - Min"}});
    RowReader reader;
    reader.keys = {{"Min", ReadAs::Integer}, {"Max", ReadAs::Integer}};
    vt.loadRows(rows(R"([{"Min":100,"Max":130},{"Min":500,"Max":300}])"), reader);
    EXPECT_EQ(vt.scalar(QStringLiteral("SELECT group_concat(Consumed) FROM vt")).toString(), QStringLiteral("30,-200"));
    vt.setRowFilter({QStringLiteral("Consumed < ?"), {0}});
    EXPECT_EQ(vt.filteredRowCount(), 1);
    ListCursor ds;
    ds.setTable(&vt);
    ds.open();
    ASSERT_EQ(ds.count(), 1);
    EXPECT_EQ(ds.row(0).integer(QStringLiteral("Consumed")), -200);
}

TEST(FormatCount, GroupsByThreeAndLeavesZeroEmpty)
{
    const QList<QPair<qint64, QString>> cases = {{0, ""},         {1, "1"},          {999, "999"},
                                                 {1000, "1,000"}, {1234, "1,234"},   {100000, "100,000"},
                                                 {1234567, "1,234,567"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatCount(c.first), c.second) << c.first;
}

TEST(ListQuery, TextIsRebuiltLineByLineWithValuesBound)
{
    Meters m(Sample);
    ListQuery vq(m.vt);
    vq.rebuild({Cond::equals("Serial", "12'3"), {}, Cond::line("AND Volume <> 0 ")});
    EXPECT_EQ(vq.lines(), (QStringList{"SELECT * FROM vt ", "WHERE 1 = 1 ", " AND Serial = ? ", "AND Volume <> 0 "}));
    EXPECT_EQ(vq.values(), QVariantList{"12'3"});
    EXPECT_FALSE(vq.text().contains(QLatin1Char('\'')));
}

TEST(ListQuery, UserValuesArePlainCharacters)
{
    Meters m(Sample);
    ListQuery vq(m.vt);
    ListCursor ds;
    ds.setQuery(&vq);
    struct Case {
        QList<SqlCondition> conditions;
        QStringList expected;
    };
    const QList<Case> cases = {
        {{Cond::equals("Serial", "12'3")}, {"12'3"}},
        {{Cond::equals("Serial", "' OR '1'='1")}, {}},
        {{Cond::prefix("Code", "01")}, {"300", "100", "12'3", "1%"}},
        {{Cond::prefix("Code", "01%")}, {"1%"}},         // the user's % is no wildcard
        {{Cond::prefix("Code", "0_")}, {}},
        {{Cond::compare("Volts", "<=", "3")}, {"100", "200"}},   // a typed number compares as a number
        {{Cond::compare("Volts", ">= 0 OR 1=1 --", "9")}, {}},   // an unknown operator becomes "="
        {{Cond::compare("Volume", "<>", "5"), Cond::prefix("Code", "01")}, {"100", "12'3", "1%"}},
        {{Cond::line("AND Volume = 99 ")}, {}},
    };
    for (const Case& c : cases) {
        vq.rebuild(c.conditions);
        ASSERT_TRUE(ds.open()) << ds.lastError().toStdString() << " " << vq.text().toStdString();
        EXPECT_EQ(serials(ds), c.expected) << vq.text().toStdString();
    }
    EXPECT_EQ(m.vt.rowCount(), 5);
}

TEST(ListCursor, OrdersByValidatedFieldsWithTiesInLoadOrder)
{
    Meters m(Sample);
    ListCursor ds;
    ds.setTable(&m.vt);
    const QList<QPair<QList<SortKey>, QStringList>> cases = {
        {{}, {"300", "100", "12'3", "200", "1%"}},
        {{{"Serial", false}}, {"1%", "100", "12'3", "200", "300"}},   // byte order: '%' < '0' < '2'
        {{{"Serial", true}}, {"300", "200", "12'3", "100", "1%"}},
        {{{"Volume", false}}, {"12'3", "300", "200", "1%", "100"}},   // 300 and 200 tie: load order
        {{{"Volume", true}, {"Serial", false}}, {"100", "1%", "200", "300", "12'3"}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(ds.setOrder(c.first));
        ASSERT_TRUE(ds.open());
        EXPECT_EQ(serials(ds), c.second) << ds.orderBy().toStdString();
    }
    EXPECT_FALSE(ds.setOrder({{"Serial; DROP TABLE vt", false}}));
    EXPECT_FALSE(ds.setOrder({{"NoSuchField", true}}));
    EXPECT_EQ(ds.order().size(), 2);   // a refused order leaves the last one
}

TEST(ListCursor, ColumnFiltersMatchDisplayedTextOnly)
{
    Meters m(Sample);
    ListQuery vq(m.vt);
    vq.rebuild({Cond::compare("Volume", ">=", 5)});
    ListColumns columns({{"Serial"}, {"Open", {}, [](const RowView& r) {
                                          return r.boolean(4) ? QStringLiteral("Valve OPEN") : QStringLiteral("shut");
                                      }}});
    columns.bind(m.vt);
    ListCursor ds;
    ds.setQuery(&vq);
    ds.setColumnFilters(&columns, {{1, "open"}});
    ASSERT_TRUE(ds.open());
    EXPECT_EQ(serials(ds), (QStringList{"300", "1%"}));
    ds.setColumnFilters(&columns, {{1, "open"}, {0, "%"}});
    ds.open();
    EXPECT_EQ(serials(ds), QStringList{"1%"});
    // The layer is the cursor's own: the query and the table are as they were.
    EXPECT_EQ(vq.lines().size(), 3);
    EXPECT_EQ(m.vt.rowCount(), 5);
    ds.setColumnFilters(&columns, {});
    ds.open();
    EXPECT_EQ(ds.count(), 4);
}

TEST(ListCursor, SearchLooksAtTheGivenColumnsOnlyOnTopOfTheFilters)
{
    Meters m(Sample);
    ListColumns columns({{"Serial"}, {"Code"}, {"Open", {}, [](const RowView& r) {
                                                    return r.boolean(4) ? QStringLiteral("OPEN") : QStringLiteral("shut");
                                                }}});
    columns.bind(m.vt);
    ListCursor ds;
    ds.setTable(&m.vt);
    ds.setSearch(&columns, {0, 2}, QStringLiteral("0"));   // the codes are not searched
    ASSERT_TRUE(ds.open());
    EXPECT_EQ(serials(ds), (QStringList{"300", "100", "200"}));
    ds.setSearch(&columns, {0, 2}, QStringLiteral("open"));
    ds.setColumnFilters(&columns, {{1, "01"}});
    ds.open();
    EXPECT_EQ(serials(ds), (QStringList{"300", "12'3", "1%"}));
    EXPECT_EQ(ds.searchText(), QStringLiteral("open"));
    ds.setSearch(nullptr, {}, QStringLiteral("open"));   // without columns there is nothing to search
    ds.open();
    EXPECT_EQ(ds.count(), 4);
    EXPECT_EQ(m.vt.rowCount(), 5);
}

// The search reads plain columns from their stored values and reuses what it found while the
// operator types on; whatever the path, it finds what the displayed texts hold.
TEST(ListCursor, SearchFindsWhatTheDisplayedTextsHold)
{
    ListTable vt({{"Name", FieldType::Text},
                  {"Count", FieldType::Integer},
                  {"Big", FieldType::LargeInt},
                  {"Level", FieldType::Float},
                  {"Flag", FieldType::Boolean}});
    RowReader reader;
    reader.custom = [](const QJsonObject& o, RowBuffer& row) {
        if (o.contains("n"))
            row.setText(0, o.value("n").toString());
        row.setInteger(1, o.value("c").toInt());
        row.setInteger(2, qint64(o.value("b").toDouble()));
        if (o.contains("l"))
            row.setReal(3, o.value("l").toDouble());
        row.setBoolean(4, o.value("f").toBool());
    };
    const char* first = R"([
        {"n":"AbC-12","c":-5,"b":1234567890123,"l":0.1,"f":true},
        {"n":"xyz","c":0,"b":7,"l":3.0,"f":false},
        {"n":"برگشت آب","c":120,"b":-42,"l":1e20,"f":true},
        {"c":33,"b":5,"l":-2.5,"f":false},
        {"n":"abc","c":12,"b":0,"l":0.333333333333333333,"f":true},
        {"n":"E+2","c":7,"b":2,"f":false}])";
    vt.loadRows(rows(first), reader);
    ListColumns columns({{"Name"}, {"Count"}, {"Big"}, {"Level"}, {"Flag"},
                         {"Count", {}, [](const RowView& r) { return r.integer(1) > 10 ? QStringLiteral("Many") : QString(); }}});
    columns.bind(vt);
    const QList<int> searched = {0, 1, 2, 3, 5};   // the check box column is not searched

    // What the operator would find by eye: rows whose shown texts hold the text, any case.
    const auto expected = [&](ListCursor& plain, const QString& text) {
        QStringList found;
        for (int i = 0; i < plain.count(); ++i) {
            const RowView row = plain.row(i);
            bool hit = false;
            for (int c : searched)
                hit = hit || columns.displayText(c, row).contains(text, Qt::CaseInsensitive);
            if (hit)
                found << row.text(1);
        }
        return found;
    };
    const auto counts = [](ListCursor& ds) {
        QStringList out;
        for (int i = 0; i < ds.count(); ++i)
            out << ds.row(i).text(1);
        return out;
    };
    // Growing, shrinking and unrelated texts, with the table reloaded and a column filter set
    // in between; each text also once from a cursor that never searched before.
    const QStringList texts = {"a", "ab", "abc", "ABC-", "ab", "1", "12", "123", "0.", "0.3333", "e+", "e+2", "1e",
                               "-", "-4", "-42", "3", "many", "MAN", "آ", "ب", "آب", " ", "true", "1", "@reload",
                               "12", "@filter", "120", "1", "12", "@other filter", "120", "@reload", "b", "bc"};
    for (const bool sorted : {false, true}) {
        ListCursor ds;
        ds.setTable(&vt);
        if (sorted)
            ds.setOrder({{"Level", true}});
        ds.open();
        for (const QString& text : texts) {
            if (text == QLatin1String("@reload")) {
                vt.clear();
                vt.loadRows(rows(first), reader);
                vt.loadRows(rows(R"([{"n":"abc 2","c":121,"b":120,"l":12.5,"f":true}])"), reader);
                continue;
            }
            if (text.startsWith(QLatin1String("@"))) {
                ds.setColumnFilters(&columns, {{0, text == QLatin1String("@filter") ? "b" : "x"}});
                continue;
            }
            ds.setSearch(&columns, searched, text);
            ASSERT_TRUE(ds.open());
            ListCursor plain, fresh;
            for (ListCursor* c : {&plain, &fresh}) {
                c->setTable(&vt);
                c->setOrder(ds.order());
                c->setColumnFilters(&columns, ds.columnFilters());
            }
            plain.open();
            fresh.setSearch(&columns, searched, text);
            fresh.open();
            EXPECT_EQ(counts(ds), expected(plain, text)) << text.toStdString() << (sorted ? " sorted" : "");
            EXPECT_EQ(counts(fresh), counts(ds)) << text.toStdString() << (sorted ? " sorted" : "");
        }
    }
}

TEST(ListCursor, LocatesByPrefixAndReadsBackAnyRow)
{
    ListTable vt({{"N", FieldType::Integer}, {"S", FieldType::Text}});
    RowReader reader;
    reader.keys = {{"N", ReadAs::Integer}, {"S"}};
    QJsonArray data;
    for (int i = 0; i < 5000; ++i)
        data.append(QJsonObject{{"N", i}, {"S", QStringLiteral("s%1").arg(i)}});
    vt.loadRows(data, reader);
    ListCursor ds;
    ds.setTable(&vt);
    ds.setOrder({{"N", true}});
    ds.open();
    EXPECT_EQ(ds.locate(QStringLiteral("S"), QStringLiteral("s4998")), 1);
    EXPECT_EQ(ds.locate(QStringLiteral("S"), QStringLiteral("nothing")), -1);
    // More rows than the cache keeps: every one still reads back right.
    for (int i = 0; i < ds.count(); i += 7)
        ASSERT_EQ(ds.row(i).integer(0), 4999 - i);
    EXPECT_EQ(ds.row(0).integer(0), 4999);
}
