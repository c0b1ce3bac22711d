#pragma once
// `vq`, the SQL view of a query-backed list screen over its table vt. The text is rebuilt line
// by line at every refresh: "SELECT * FROM vt ", "WHERE 1 = 1 ", then one AND line per active
// filter condition. The user's values travel as bound parameters ("?"), never in the text, so a
// quote or a LIKE wildcard typed by the user is a plain character.
//
// Usage, in a screen's condition function:
//
//   QList<SqlCondition> lines;
//   if (!serial.isEmpty()) lines << Cond::equals("Serial", serial);        //  AND Serial = ?
//   if (!code.isEmpty())   lines << Cond::prefix("OrganCode", code);        //  AND OrganCode LIKE ? ...
//   if (!volts.isEmpty())  lines << Cond::compare("BatteryVoltage", ">=", volts);
//   lines << Cond::line("AND ErrorCode <> 0 ");                             // fixed text, no values
//   vq.rebuild(lines);
//
// The order of the rows (the sort markers) belongs to the grid's cursor (ListCursor), not here.

#include "core/ListTable.h"

#include <QStringList>

namespace Cond {
// " AND <field> = ? " with the value bound.
SqlCondition equals(const QString& field, const QVariant& value);
// " AND <field> LIKE ? ESCAPE '\' " bound to the text + "%": rows whose field begins with it.
SqlCondition prefix(const QString& field, const QString& text);
// "AND <field> <op> ? " for op one of "=", "<>", "<", ">", "<=", ">="; another op gives "=".
SqlCondition compare(const QString& field, const QString& op, const QVariant& value);
// A fixed line of the screen without user values, kept as written.
SqlCondition line(const QString& constantText);
}  // namespace Cond

class ListQuery {
public:
    explicit ListQuery(ListTable& table);

    ListTable& table() const { return m_table; }

    // Clears the text and writes the two first lines, then one line per condition (empty
    // conditions are skipped).
    void rebuild(const QList<SqlCondition>& conditions);
    // Clears the text (no lines at all).
    void clear();
    // Appends one line with its values.
    void add(const SqlCondition& line);

    QStringList lines() const { return m_lines; }
    QString text() const;                 // the lines joined by "\n"
    QVariantList values() const { return m_values; }

    // The statement a cursor runs: the query with the first line's "*" replaced by selectList
    // and `orderBy` (already validated) appended when not empty.
    QString statement(const QString& selectList, const QString& orderBy) const;

private:
    ListTable& m_table;
    QStringList m_lines;
    QVariantList m_values;
};
