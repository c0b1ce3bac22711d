#include "core/ListCursor.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace {
// Rows kept read back at once; a screen of the grid needs a few dozen.
constexpr size_t CacheLimit = 2048;

// One character as the search compares it. Replies carry Arabic yeh and kaf where a Persian
// keyboard types the Persian letters, and the keyboard's digits are not the ASCII ones the
// serials are made of: both sides are read alike.
char32_t searchFold(char32_t c)
{
    if (c < 0x80)
        return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    switch (c) {
    case 0x064A:   // Arabic yeh
    case 0x0649:   // alef maksura, the final yeh of many texts
        return 0x06CC;
    case 0x0643: return 0x06A9;   // Arabic kaf
    default: break;
    }
    if (c >= 0x06F0 && c <= 0x06F9)
        return U'0' + (c - 0x06F0);
    if (c >= 0x0660 && c <= 0x0669)
        return U'0' + (c - 0x0660);
    return QChar::toCaseFolded(c);
}

void appendFolded(const QString& text, std::u32string& out)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text.at(++i).unicode());
        out.push_back(searchFold(c));
    }
}

// One cell's text against the folded search text, in whatever form the cell comes: a text of
// a display handler, the stored UTF-8 bytes or the digits of a number. The cell is folded into
// a buffer that is kept from cell to cell, so a walk over every cell allocates nothing.
class SearchMatcher {
public:
    explicit SearchMatcher(const std::u32string& needle) : m_needle(needle)
    {
        for (char32_t c : needle)
            m_ascii.push_back(c < 0x80 ? char(c) : '\0');
        m_asciiOnly = m_ascii.find('\0') == std::string::npos;
    }

    bool inText(const QString& text)
    {
        if (text.size() < qsizetype(m_needle.size()))
            return false;
        m_cell.clear();
        appendFolded(text, m_cell);
        return holds();
    }

    bool inUtf8(std::string_view text)
    {
        if (text.size() < m_needle.size())
            return false;
        m_cell.clear();
        const auto* p = reinterpret_cast<const unsigned char*>(text.data());
        const auto* end = p + text.size();
        while (p < end) {
            char32_t c = *p++;
            int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
            if (more)
                c &= 0x3F >> more;
            for (; more > 0 && p < end; --more)
                c = (c << 6) | (*p++ & 0x3F);
            m_cell.push_back(searchFold(c));
        }
        return holds();
    }

    // The text of a number: digits, sign, point and the lower-case letters of an exponent,
    // nothing that folds, so a search text that folded to anything else is never in it.
    bool inNumber(const char* text, size_t size) const
    {
        return m_asciiOnly && std::string_view(text, size).find(m_ascii) != std::string_view::npos;
    }

private:
    bool holds() const { return m_cell.find(m_needle) != std::u32string::npos; }
    const std::u32string& m_needle;
    std::string m_ascii;
    bool m_asciiOnly = false;
    std::u32string m_cell;
};

// A column of the search and the field whose stored value is its text (-1: its handler's).
struct SearchColumn {
    int column;
    int field;
};

bool searchHit(const RowView& row, const ListColumns& columns, const std::vector<SearchColumn>& plan,
               SearchMatcher& matcher)
{
    // Plain columns first: their stored value is their text, read without making a QString.
    // Then the columns with display handlers, the costly ones, for the rows still without a hit.
    for (const SearchColumn& searched : plan) {
        if (searched.field < 0) {
            if (matcher.inText(columns.displayText(searched.column, row)))
                return true;
            continue;
        }
        switch (row.columnType(searched.field)) {
        case SQLITE_INTEGER: {
            char digits[24];
            const auto end = std::to_chars(digits, digits + sizeof digits, row.integer(searched.field)).ptr;
            if (matcher.inNumber(digits, size_t(end - digits)))
                return true;
            break;
        }
        case SQLITE_FLOAT: {
            // The digits of the default text of a real ("%.15g", as RowView::text gives it).
            char digits[40];
            const auto end = std::to_chars(digits, digits + sizeof digits, row.real(searched.field),
                                           std::chars_format::general, 15).ptr;
            if (matcher.inNumber(digits, size_t(end - digits)))
                return true;
            break;
        }
        case SQLITE_TEXT:
            if (matcher.inUtf8(row.utf8(searched.field)))
                return true;
            break;
        default: break;
        }
    }
    return false;
}
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

void ListCursor::setSearch(const ListColumns* columns, const QList<int>& searched, const QString& text)
{
    m_searchColumns = columns;
    m_searched.clear();
    for (int column : searched)
        if (columns && column >= 0 && column < columns->count())
            m_searched.append(column);
    m_searchText = columns ? text : QString();
    m_searchFolded.clear();
    appendFolded(m_searchText, m_searchFolded);
}


QString ListCursor::statement(const QString& selectList) const
{
    return unorderedStatement(selectList) + (m_query ? QStringLiteral("\n") : QString()) + orderBy();
}

QString ListCursor::unorderedStatement(const QString& selectList) const
{
    if (m_query)
        return m_query->statement(selectList, QString());
    QString sql = QStringLiteral("SELECT ") + selectList + QStringLiteral(" FROM vt ");
    if (!m_table->rowFilter().isEmpty())
        sql += QStringLiteral("WHERE (") + m_table->rowFilter().text + QStringLiteral(") ");
    return sql;
}

bool ListCursor::open()
{
    m_lastError.clear();
    if (!m_table) {
        close();
        m_lastError = QStringLiteral("no table");
        return false;
    }
    const QString orderedSql = statement(QStringLiteral("rowid"));
    const QVariantList values = m_query ? m_query->values() : m_table->rowFilter().values;
    const bool searching = !m_searchFolded.empty() && m_searchColumns;
    const bool filtering = searching || !m_filters.isEmpty();

    // While the rows under the cursor stay the same (the operator only searches or filters),
    // their order is known from the last open and the last search's finds may be reused.
    const bool sameRows = m_open && m_last.valid && m_last.generation == m_table->generation() &&
                          m_last.statement == orderedSql && m_last.values == values;
    std::vector<qint64> ordered;   // every row of the statement in order, when known
    bool orderKnown = false;
    if (sameRows && filtering) {
        if (!m_last.filtered) {
            ordered = m_rowids;
            orderKnown = true;
        } else if (m_last.orderKnown) {
            ordered = std::move(m_ordered);
            orderKnown = true;
        }
    }
    // A search that only grew (the operator typed on) keeps to the rows the last one found.
    std::vector<qint64> previous;
    bool narrowing = false;
    if (sameRows && searching && m_last.columns == m_searchColumns && m_last.searched == m_searched &&
        m_last.filtersColumns == m_columns && m_last.filters.size() == m_filters.size() && !m_last.search.empty() &&
        m_searchFolded.find(m_last.search) != std::u32string::npos) {
        narrowing = true;
        for (int i = 0; i < m_filters.size(); ++i)
            narrowing = narrowing && m_filters.at(i).column == m_last.filters.at(i).column &&
                        m_filters.at(i).text == m_last.filters.at(i).text;
        if (narrowing)
            previous = std::move(m_rowids);
    }
    close();
    m_last.valid = false;
    if (m_query && m_query->lines().isEmpty()) {
        m_lastError = QStringLiteral("the query has no text");
        return false;
    }

    std::vector<qint64> rowids;
    bool ok = false;
    const auto selectOrdered = [&](std::vector<qint64>& out) {
        return m_table->select(orderedSql, values, [&](sqlite3_stmt* s) { out.push_back(sqlite3_column_int64(s, 0)); });
    };
    if (!filtering) {
        ok = selectOrdered(rowids);
    } else {
        std::vector<SearchColumn> plan;
        if (searching) {
            for (int column : m_searched) {
                const int field = m_searchColumns->fieldIndex(column);
                const bool plain = !m_searchColumns->column(column).text &&
                                   m_table->field(field).type != FieldType::Boolean;
                if (plain)
                    plan.push_back({column, field});
            }
            for (int column : m_searched)
                if (m_searchColumns->column(column).text ||
                    m_table->field(m_searchColumns->fieldIndex(column)).type == FieldType::Boolean)
                    plan.push_back({column, -1});
        }
        SearchMatcher matcher(m_searchFolded);
        // Narrowing: the rows the last search found are the only candidates, and they passed
        // the column filters already. Everything else is skipped before any field is read.
        std::vector<qint64> candidates;
        if (narrowing) {
            candidates = previous;
            std::sort(candidates.begin(), candidates.end());
        }
        std::vector<qint64> passed;
        const auto walk = [&](sqlite3_stmt* s) {
            const qint64 rowid = sqlite3_column_int64(s, 0);
            if (narrowing && !std::binary_search(candidates.begin(), candidates.end(), rowid))
                return;
            const RowView row(m_table, s, 1, rowid);
            if (!narrowing)
                for (const ColumnFilter& filter : m_filters)
                    if (!m_columns->displayText(filter.column, row).contains(filter.text, Qt::CaseInsensitive))
                        return;
            if (searching && !searchHit(row, *m_searchColumns, plan, matcher))
                return;
            passed.push_back(rowid);
        };
        const auto keepPassed = [&](std::vector<qint64> in) {
            std::sort(passed.begin(), passed.end());
            in.erase(std::remove_if(in.begin(), in.end(),
                                    [&](qint64 id) { return !std::binary_search(passed.begin(), passed.end(), id); }),
                     in.end());
            return in;
        };
        if (m_order.isEmpty() && !narrowing) {
            // In load order the walk reads the rows as they are stored, already in order.
            ok = m_table->select(statement(QStringLiteral("rowid, *")), values, walk);
            rowids = std::move(passed);
        } else {
            // A sort that carried every field of every row would cost more than the walk: the
            // order comes from the row ids alone (once, while the rows stay the same), and the
            // walk reads the rows as they are stored.
            ok = true;
            if (!orderKnown && !narrowing) {
                ok = selectOrdered(ordered);
                orderKnown = ok;
            }
            if (ok)
                ok = m_table->select(unorderedStatement(QStringLiteral("rowid, *")), values, walk);
            rowids = keepPassed(narrowing ? std::move(previous) : ordered);
        }
    }
    if (!ok) {
        m_lastError = m_table->lastError();
        return false;
    }
    m_rowids = std::move(rowids);
    m_generation = m_table->generation();
    m_open = true;
    if (filtering && orderKnown)
        m_ordered = std::move(ordered);
    m_last = {true, m_generation, orderedSql, values, filtering, filtering && orderKnown, m_columns, m_filters,
              m_searchColumns, m_searched, m_searchFolded};
    return true;
}

void ListCursor::close()
{
    m_open = false;
    m_rowids.clear();
    m_rowids.shrink_to_fit();
    m_ordered.clear();
    m_ordered.shrink_to_fit();
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
