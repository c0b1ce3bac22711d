#include "core/ListCursor.h"

#include <sqlite3.h>

#include <stdexcept>

namespace {
// Rows kept read back at once; a screen of the grid needs a few dozen.
constexpr size_t CacheLimit = 2048;
}  // namespace

// --- ListColumns ----------------------------------------------------------------------------

ListColumns::ListColumns(QList<ColumnDef> columns) : m_columns(std::move(columns)) {}

void ListColumns::bind(const ListTable& table)
{
    m_table = &table;
    m_fields.clear();
    m_checkBox.clear();
    for (const ColumnDef& column : m_columns) {
        const int index = table.fieldIndex(column.field);
        if (index < 0)
            throw std::invalid_argument("grid column: the table has no field \"" + column.field.toStdString() + "\"");
        m_fields.push_back(index);
        m_checkBox.push_back(table.field(index).type == FieldType::Boolean && !column.text);
    }
}

QString ListColumns::title(int index) const
{
    const ColumnDef& column = m_columns.at(index);
    if (!column.title.isEmpty())
        return column.title;
    if (m_table && size_t(index) < m_fields.size()) {
        const FieldDef& field = m_table->field(m_fields[size_t(index)]);
        if (!field.label.isEmpty())
            return field.label;
    }
    return column.field;
}

int ListColumns::fieldIndex(int column) const
{
    return m_fields.at(size_t(column));
}

bool ListColumns::isCheckBox(int column) const
{
    return m_checkBox.at(size_t(column));
}

QString ListColumns::displayText(int column, const RowView& row) const
{
    const ColumnDef& def = m_columns.at(column);
    if (def.text)
        return def.text(row);
    return defaultText(row, m_fields.at(size_t(column)));
}

QString ListColumns::defaultText(const RowView& row, int field)
{
    return row.text(field);
}

// --- ListCursor -----------------------------------------------------------------------------

ListCursor::~ListCursor()
{
    close();
}

void ListCursor::setTable(ListTable* table)
{
    if (table != m_table) {
        close();
        m_query = nullptr;
    }
    m_table = table;
}

void ListCursor::setQuery(ListQuery* query)
{
    if (query && &query->table() != m_table)
        setTable(&query->table());
    if (query != m_query)
        close();
    m_query = query;
}

bool ListCursor::setOrder(const QList<SortKey>& keys)
{
    if (!m_table)
        return false;
    for (const SortKey& key : keys)
        if (m_table->fieldIndex(key.field) < 0)
            return false;
    m_order = keys;
    return true;
}

QString ListCursor::orderBy() const
{
    QString clause = QStringLiteral("ORDER BY ");
    for (const SortKey& key : m_order) {
        const int index = m_table ? m_table->fieldIndex(key.field) : -1;
        if (index < 0)
            continue;
        clause += m_table->quotedField(index);
        if (key.descending)
            clause += QStringLiteral(" DESC");
        clause += QStringLiteral(", ");
    }
    // Ties keep the order in which the rows were loaded.
    return clause + QStringLiteral("rowid");
}

void ListCursor::setColumnFilters(const ListColumns* columns, const QList<ColumnFilter>& filters)
{
    m_columns = columns;
    m_filters.clear();
    for (const ColumnFilter& filter : filters)
        if (columns && filter.column >= 0 && filter.column < columns->count())
            m_filters.append(filter);
}

QString ListCursor::statement(const QString& selectList) const
{
    if (m_query)
        return m_query->statement(selectList, orderBy());
    QString sql = QStringLiteral("SELECT ") + selectList + QStringLiteral(" FROM vt ");
    if (!m_table->rowFilter().isEmpty())
        sql += QStringLiteral("WHERE (") + m_table->rowFilter().text + QStringLiteral(") ");
    return sql + orderBy();
}

bool ListCursor::open()
{
    close();
    m_lastError.clear();
    if (!m_table) {
        m_lastError = QStringLiteral("no table");
        return false;
    }
    if (m_query && m_query->lines().isEmpty()) {
        m_lastError = QStringLiteral("the query has no text");
        return false;
    }
    const QVariantList values = m_query ? m_query->values() : m_table->rowFilter().values;
    std::vector<qint64> rowids;
    bool ok = false;
    if (m_filters.isEmpty()) {
        ok = m_table->select(statement(QStringLiteral("rowid")), values,
                             [&](sqlite3_stmt* s) { rowids.push_back(sqlite3_column_int64(s, 0)); });
    } else {
        ok = m_table->select(statement(QStringLiteral("rowid, *")), values, [&](sqlite3_stmt* s) {
            const RowView row(m_table, s, 1, sqlite3_column_int64(s, 0));
            for (const ColumnFilter& filter : m_filters)
                if (!m_columns->displayText(filter.column, row).contains(filter.text, Qt::CaseInsensitive))
                    return;
            rowids.push_back(row.rowid());
        });
    }
    if (!ok) {
        m_lastError = m_table->lastError();
        return false;
    }
    m_rowids = std::move(rowids);
    m_generation = m_table->generation();
    m_open = true;
    return true;
}

void ListCursor::close()
{
    m_open = false;
    m_rowids.clear();
    m_rowids.shrink_to_fit();
    m_cache.clear();
    if (m_fetch) {
        sqlite3_finalize(m_fetch);
        m_fetch = nullptr;
    }
}

RowView ListCursor::row(int index)
{
    if (!m_open || index < 0 || index >= count())
        return RowView();
    if (m_table->generation() != m_generation) {
        // The table changed under an open cursor: what it holds no longer names these rows.
        m_cache.clear();
        m_generation = m_table->generation();
    }
    auto it = m_cache.find(index);
    if (it != m_cache.end())
        return RowView(m_table, it->second);
    if (!m_fetch &&
        sqlite3_prepare_v2(m_table->db(), "SELECT * FROM vt WHERE rowid = ?", -1, &m_fetch, nullptr) != SQLITE_OK) {
        m_fetch = nullptr;
        return RowView();
    }
    if (m_cache.size() >= CacheLimit)
        m_cache.clear();
    auto cached = std::make_shared<RowView::Cached>();
    cached->rowid = m_rowids[size_t(index)];
    sqlite3_bind_int64(m_fetch, 1, cached->rowid);
    if (sqlite3_step(m_fetch) == SQLITE_ROW) {
        const RowView live(m_table, m_fetch, 0, cached->rowid);
        cached->values.reserve(size_t(m_table->fieldCount()));
        for (int f = 0; f < m_table->fieldCount(); ++f)
            cached->values.push_back(live.value(f));
    } else {
        cached->values.resize(size_t(m_table->fieldCount()));
    }
    sqlite3_reset(m_fetch);
    m_cache.emplace(index, cached);
    return RowView(m_table, std::move(cached));
}

void ListCursor::forEach(const std::function<void(int index, const RowView& row)>& visit)
{
    if (!m_open || m_rowids.empty())
        return;
    sqlite3* db = m_table->db();
    // One statement walks the rows in the cursor's order: the row ids go into a temporary list
    // that is scanned in its own order and joined to vt by rowid. A statement per row would cost
    // about three times as much on a large export.
    struct Walk {
        sqlite3* db;
        sqlite3_stmt* statement = nullptr;
        ~Walk()
        {
            sqlite3_finalize(statement);
            sqlite3_exec(db, "DELETE FROM temp.nemora_walk", nullptr, nullptr, nullptr);
        }
    };
    if (sqlite3_exec(db, "CREATE TEMP TABLE IF NOT EXISTS nemora_walk(n INTEGER PRIMARY KEY, r INTEGER NOT NULL)",
                     nullptr, nullptr, nullptr) != SQLITE_OK)
        return;
    Walk walk{db};
    sqlite3_stmt* insert = nullptr;
    sqlite3_exec(db, "SAVEPOINT nemora_walk", nullptr, nullptr, nullptr);
    if (sqlite3_prepare_v2(db, "INSERT INTO temp.nemora_walk(n, r) VALUES (?, ?)", -1, &insert, nullptr) == SQLITE_OK) {
        for (size_t i = 0; i < m_rowids.size(); ++i) {
            sqlite3_bind_int64(insert, 1, qint64(i));
            sqlite3_bind_int64(insert, 2, m_rowids[i]);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "RELEASE nemora_walk", nullptr, nullptr, nullptr);
    if (sqlite3_prepare_v2(db,
                           "SELECT w.n, vt.* FROM temp.nemora_walk AS w CROSS JOIN vt ON vt.rowid = w.r ORDER BY w.n",
                           -1, &walk.statement, nullptr) != SQLITE_OK)
        return;
    while (sqlite3_step(walk.statement) == SQLITE_ROW) {
        const int index = int(sqlite3_column_int64(walk.statement, 0));
        visit(index, RowView(m_table, walk.statement, 1, m_rowids[size_t(index)]));
    }
}

int ListCursor::locate(const QString& field, const QString& prefix)
{
    const int index = m_table ? m_table->fieldIndex(field) : -1;
    if (index < 0 || !m_open)
        return -1;
    int found = -1;
    // Walks without the cache so that a long search does not push out the rows on screen.
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(m_table->db(), "SELECT * FROM vt WHERE rowid = ?", -1, &s, nullptr) != SQLITE_OK) {
        sqlite3_finalize(s);
        return -1;
    }
    for (int i = 0; i < count() && found < 0; ++i) {
        sqlite3_bind_int64(s, 1, m_rowids[size_t(i)]);
        if (sqlite3_step(s) == SQLITE_ROW && RowView(m_table, s, 0, 0).text(index).startsWith(prefix))
            found = i;
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    return found;
}
