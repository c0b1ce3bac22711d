#pragma once
// `ds`, the grid's data link: the rows of one table (vt directly, with the table's own row
// filter) or of its query vq, in the order of the sort keys, with the grid's column filters
// applied on top. The cursor runs its statement once per open and keeps only the row ids in
// order; rows are read back on demand and a few hundred are cached, so a grid over a million
// rows costs a few megabytes.
//
// Usage:
//
//   ListColumns columns({{"Serial", serialTitle}, {"ErrorCode", {}, errorText}});
//   ListCursor ds;
//   ds.setTable(&vt);              // table-only screen
//   ds.setQuery(&vq);              // query-backed screen (vq over vt)
//   ds.setOrder({{"Serial", true}});   // ORDER BY Serial DESC (field names checked against vt)
//   ds.open();
//   for (int i = 0; i < ds.count(); ++i) columns.displayText(0, ds.row(i));
//
// Column filters (the grid's context-menu filters) and the grid's search are a layer of their
// own: they match the displayed text and change neither the table, the query text nor the
// table's row count.

#include "core/ListQuery.h"
#include "core/ListTable.h"

#include <QList>
#include <QString>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

// One grid column: the field it shows, its title and its get-text handler.
struct ColumnDef {
    ColumnDef() = default;
    ColumnDef(QString field_, QString title_ = QString(), std::function<QString(const RowView&)> text_ = {},
              Qt::Alignment alignment_ = Qt::AlignCenter, int width_ = 0)
        : field(std::move(field_)), title(std::move(title_)), text(std::move(text_)), alignment(alignment_), width(width_)
    {
    }
    QString field;
    QString title;   // empty: the field's label, or the field name when it has none
    // The displayed text; empty: the default text of the field's type. Sorting and SQL filters
    // work on the stored value; column filters and the export use this text.
    std::function<QString(const RowView& row)> text;
    Qt::Alignment alignment = Qt::AlignCenter;
    int width = 0;   // pixels; 0: fitted to the title
};

// The columns of a grid, resolved against a table's fields.
class ListColumns {
public:
    ListColumns() = default;
    explicit ListColumns(QList<ColumnDef> columns);

    // Resolves field names; raises std::invalid_argument for a field the table lacks.
    void bind(const ListTable& table);

    int count() const { return int(m_columns.size()); }
    const ColumnDef& column(int index) const { return m_columns.at(index); }
    QString title(int index) const;                   // as the grid and the export show it
    int fieldIndex(int column) const;                  // field of vt shown in the column
    QString fieldName(int column) const { return m_columns.at(column).field; }
    // A Boolean field without its own text: drawn as a check box, exported as "True"/"False".
    bool isCheckBox(int column) const;
    QString displayText(int column, const RowView& row) const;
    // Default text of a field's value: decimal integers, shortest reals, Booleans "True"/"False".
    static QString defaultText(const RowView& row, int field);

private:
    QList<ColumnDef> m_columns;
    std::vector<int> m_fields;
    std::vector<bool> m_checkBox;
    const ListTable* m_table = nullptr;
};

// One sort key: a field of the table, ascending or descending.
struct SortKey {
    QString field;
    bool descending = false;
};

// A column filter: rows whose displayed text in `column` contains `text`, ignoring case.
struct ColumnFilter {
    int column = -1;
    QString text;
};

class ListCursor {
public:
    ListCursor() = default;
    ~ListCursor();
    ListCursor(const ListCursor&) = delete;
    ListCursor& operator=(const ListCursor&) = delete;

    // The source: a table shown directly, or a query over a table (null query: the table).
    void setTable(ListTable* table);
    void setQuery(ListQuery* query);
    ListTable* table() const { return m_table; }
    ListQuery* query() const { return m_query; }

    // Order of the rows; fields that the table lacks are refused (false, order unchanged).
    // Ties keep the table's order. Takes effect at the next open().
    bool setOrder(const QList<SortKey>& keys);
    const QList<SortKey>& order() const { return m_order; }
    // The ORDER BY clause the keys give, e.g. "ORDER BY \"Serial\" DESC, rowid".
    QString orderBy() const;

    // The column filter layer and the columns whose displayed text it matches.
    void setColumnFilters(const ListColumns* columns, const QList<ColumnFilter>& filters);
    const QList<ColumnFilter>& columnFilters() const { return m_filters; }
    // The search of the same layer: rows where at least one of the `searched` columns shows
    // `text`, ignoring case and the Arabic forms of yeh, kaf and the digits (the operator's
    // keyboard gives the Persian ones). An empty text: no search. Combined with the column
    // filters; takes effect at the next open().
    void setSearch(const ListColumns* columns, const QList<int>& searched, const QString& text);
    const QString& searchText() const { return m_searchText; }

    // Runs the statement. On an SQL error the cursor stays closed and lastError() says why.
    bool open();
    void close();
    bool isOpen() const { return m_open; }
    QString lastError() const { return m_lastError; }

    int count() const { return int(m_rowids.size()); }   // 0 while closed
    qint64 rowidAt(int index) const { return m_rowids[size_t(index)]; }
    // The row at a position, as a copy of its values (a view kept while other rows are read
    // stays valid).
    RowView row(int index);
    // Position of the first row whose field text begins with `prefix` (case-sensitive), or -1.
    int locate(const QString& field, const QString& prefix);
    // Calls `visit` for every row shown, in order (the export's walk).
    void forEach(const std::function<void(int index, const RowView& row)>& visit);

private:
    QString statement(const QString& selectList) const;
    QString unorderedStatement(const QString& selectList) const;   // the same rows, without ORDER BY

    ListTable* m_table = nullptr;
    ListQuery* m_query = nullptr;
    QList<SortKey> m_order;
    const ListColumns* m_columns = nullptr;
    QList<ColumnFilter> m_filters;
    const ListColumns* m_searchColumns = nullptr;
    QList<int> m_searched;
    QString m_searchText;
    std::u32string m_searchFolded;
    // What the last open() ran: while the rows stay the same a new search or filter reuses
    // their order, and a search that only grew walks the rows the last one found.
    struct LastOpen {
        bool valid = false;
        quint64 generation = 0;
        QString statement;
        QVariantList values;
        bool filtered = false;     // m_rowids are filtered (else they are every row in order)
        bool orderKnown = false;   // m_ordered holds every row in order
        const ListColumns* filtersColumns = nullptr;
        QList<ColumnFilter> filters;
        const ListColumns* columns = nullptr;
        QList<int> searched;
        std::u32string search;
    } m_last;
    std::vector<qint64> m_ordered;
    bool m_open = false;
    QString m_lastError;
    std::vector<qint64> m_rowids;
    std::unordered_map<int, std::shared_ptr<const RowView::Cached>> m_cache;
    quint64 m_generation = 0;
    sqlite3_stmt* m_fetch = nullptr;   // prepared on the table's connection; finalised on close
};
