#include "core/ListQuery.h"

namespace {
const QString FirstLine = QStringLiteral("SELECT * FROM vt ");
const QString SecondLine = QStringLiteral("WHERE 1 = 1 ");

// A LIKE pattern that matches the text literally, then anything.
QString likePrefix(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size() + 1);
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return escaped + QLatin1Char('%');
}
}  // namespace

namespace Cond {
SqlCondition equals(const QString& field, const QVariant& value)
{
    return {QStringLiteral(" AND ") + field + QStringLiteral(" = ? "), {value}};
}

SqlCondition prefix(const QString& field, const QString& text)
{
    return {QStringLiteral(" AND ") + field + QStringLiteral(" LIKE ? ESCAPE '\\' "), {likePrefix(text)}};
}

SqlCondition compare(const QString& field, const QString& op, const QVariant& value)
{
    static const QStringList operators = {QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("<"),
                                          QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">=")};
    const QString checked = operators.contains(op) ? op : QStringLiteral("=");
    return {QStringLiteral("AND ") + field + QLatin1Char(' ') + checked + QStringLiteral(" ? "), {value}};
}

SqlCondition line(const QString& constantText)
{
    return {constantText, {}};
}
}  // namespace Cond

ListQuery::ListQuery(ListTable& table) : m_table(table) {}

void ListQuery::clear()
{
    m_lines.clear();
    m_values.clear();
}

void ListQuery::add(const SqlCondition& line)
{
    m_lines.append(line.text);
    m_values.append(line.values);
}

void ListQuery::rebuild(const QList<SqlCondition>& conditions)
{
    clear();
    m_lines << FirstLine << SecondLine;
    for (const SqlCondition& condition : conditions)
        if (!condition.isEmpty())
            add(condition);
}

QString ListQuery::text() const
{
    return m_lines.join(QLatin1Char('\n'));
}

QString ListQuery::statement(const QString& selectList, const QString& orderBy) const
{
    QStringList lines = m_lines;
    if (!lines.isEmpty() && lines.first() == FirstLine)
        lines.first() = QStringLiteral("SELECT ") + selectList + QStringLiteral(" FROM vt ");
    QString sql = lines.join(QLatin1Char('\n'));
    if (!orderBy.isEmpty())
        sql += QLatin1Char('\n') + orderBy;
    return sql;
}
