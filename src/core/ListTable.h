#pragma once
// `vt`, the in-memory table of a list screen: one private SQLite database per instance (its own
// connection) holding one table named vt whose columns are the screen's typed fields.
//
// Usage (a screen declares only what is its own):
//
//   ListTable vt({{"Serial", FieldType::Text, 15, SerialLabel},
//                 {"WentVolume", FieldType::Integer},
//                 {"WentVolume2", FieldType::Float}});
//   RowReader reader;
//   reader.keys = {{"Serial", ReadAs::Text, "Serial"}, {"WentVolume", ReadAs::Integer, "WentVolume"}};
//   reader.derive = [](RowBuffer& row) { row.setReal(2, row.integer(1) / 1000.0); };
//   vt.loadRows(rows, reader);            // rows: the reply's "data" array; one transaction
//
// Rows keep the reply's order. A row that cannot be read raises JsonFieldError; the rows the
// program would have inserted before meeting it stay (see loadRows).
// Values are only ever bound, never written into SQL text.

#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// Declared type of a field; decides the SQLite column type and the default display text.
enum class FieldType {
    Text,       // TEXT
    Integer,    // 32-bit integer
    SmallInt,   // 16-bit integer
    LargeInt,   // 64-bit integer
    Float,      // REAL
    Boolean,    // stored 0/1, shown as a check box unless the column gives a text
    DateTime,   // stored as ISO 8601 text with milliseconds, so text order is time order
};

// One field of vt.
struct FieldDef {
    FieldDef() = default;
    FieldDef(QString name_, FieldType type_ = FieldType::Text, int size_ = 0, QString label_ = QString(),
             QString calculated_ = QString())
        : name(std::move(name_)), type(type_), size(size_), label(std::move(label_)), calculated(std::move(calculated_))
    {
    }
    QString name;                    // column name; letters, digits and '_' only
    FieldType type = FieldType::Text;
    int size = 0;                    // declared size of a text field (informational)
    QString label;                   // display label; the default column title
    // Non-empty: a calculated field, an SQL expression over other fields (a constant of the
    // screen, never user input) computed whenever a row is read and never stored.
    QString calculated;
};

// Reader of one reply key, the typed readers of ReadJsonField.
enum class ReadAs { Text, Integer, SmallInt, LargeInt, Float, Boolean, DateTime };

// One key of a reply row and the field it fills. The value read is stored converted to the
// field's type (an integer read into a text field is stored as its decimal text).
struct KeyBinding {
    KeyBinding() = default;
    KeyBinding(QString key_, ReadAs readAs_ = ReadAs::Text, QString field_ = QString())
        : key(std::move(key_)), readAs(readAs_), field(std::move(field_))
    {
    }
    QString key;
    ReadAs readAs = ReadAs::Text;
    QString field;                   // empty: the field named like the key
};

class RowBuffer;

// How one reply row becomes one table row: the keys, read in this order (each required), then
// `derive` for conversions and derived fields on the values just read.
struct RowReader {
    QList<KeyBinding> keys;
    std::function<void(RowBuffer& row)> derive;
    // Escape hatch for rows that no key list describes: reads the whole row object itself
    // (with the ReadJsonField readers). When set, `keys` is ignored.
    std::function<void(const QJsonObject& object, RowBuffer& row)> custom;
};

// The values of the row being inserted, by field index. A field never set is stored as NULL.
class RowBuffer {
public:
    void setNull(int field);
    void setText(int field, const QString& text);
    void setUtf8(int field, std::string_view utf8);   // copied
    void setInteger(int field, qint64 value);
    void setReal(int field, double value);
    void setBoolean(int field, bool value);
    void setDateTime(int field, const QDateTime& value);

    bool isNull(int field) const;
    QString text(int field) const;    // any value as text
    qint64 integer(int field) const;  // text converts when it is a number, else 0
    double real(int field) const;
    bool boolean(int field) const;

    int fieldCount() const { return int(m_cells.size()); }

    // For the table: one cell per field.
    struct Cell {
        enum Kind : unsigned char { Null, Int, Real, Utf8 } kind = Null;
        qint64 i = 0;
        double d = 0;
        std::string s;
    };
    const Cell& cell(int field) const { return m_cells[size_t(field)]; }
    void reset(int fieldCount);

private:
    Cell& at(int field);
    std::vector<Cell> m_cells;
};

class ListTable;

// Read access to one row of vt, for display texts and the screens' current-row reads.
class RowView {
public:
    RowView() = default;
    bool isValid() const { return m_table != nullptr; }
    const ListTable* table() const { return m_table; }
    qint64 rowid() const { return m_rowid; }

    bool isNull(int field) const;
    QString text(int field) const;      // integers in decimal, reals shortest, Booleans "True"/"False"
    qint64 integer(int field) const;
    double real(int field) const;
    bool boolean(int field) const;
    QVariant value(int field) const;    // null QVariant for NULL
    // The stored UTF-8 bytes of a text value (rows read from a statement only; else empty).
    std::string_view utf8(int field) const;
    // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT or SQLITE_NULL of the stored value.
    int columnType(int field) const;
    // By field name; an unknown name raises std::out_of_range.
    QString text(const QString& field) const;
    qint64 integer(const QString& field) const;
    double real(const QString& field) const;
    bool boolean(const QString& field) const;
    QVariant value(const QString& field) const;

    // Internal: a row read from a statement positioned on it (fields from column `first`; valid
    // until the statement moves), or a copy of a row's values (valid as long as the view is).
    struct Cached;
    RowView(const ListTable* table, sqlite3_stmt* statement, int first, qint64 rowid);
    RowView(const ListTable* table, std::shared_ptr<const Cached> cached);

private:
    int indexOf(const QString& field) const;
    const ListTable* m_table = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    int m_first = 0;
    std::shared_ptr<const Cached> m_cached;
    qint64 m_rowid = 0;
};

// A copy of one row's values, kept by the grid's cursor.
struct RowView::Cached {
    qint64 rowid = 0;
    std::vector<QVariant> values;
};

// An SQL condition with its bound values ("?" placeholders, in order).
struct SqlCondition {
    QString text;
    QVariantList values;
    bool isEmpty() const { return text.trimmed().isEmpty(); }
};

class ListTable {
public:
    // Creates the database and the table; raises std::invalid_argument on a bad field name.
    explicit ListTable(QList<FieldDef> fields);
    ~ListTable();
    ListTable(const ListTable&) = delete;
    ListTable& operator=(const ListTable&) = delete;

    const QList<FieldDef>& fields() const { return m_fields; }
    int fieldCount() const { return int(m_fields.size()); }
    int fieldIndex(const QString& name) const;    // -1 when the table has no such field
    const FieldDef& field(int index) const { return m_fields.at(index); }

    // Removes every row (the row filter stays).
    void clear();
    // Rows in the table (not filtered).
    int rowCount() const;

    // Appends the rows of a reply in its order, in one transaction through one prepared
    // statement. On a row that raises, the outcome is that of taking the rows from the last to
    // the first: the rows after the last bad row stay, and that row's JsonFieldError is raised.
    // Returns the rows added.
    int loadRows(const QJsonArray& rows, const RowReader& reader);

    // A row filter of the table itself (the grid shows only matching rows while it views the
    // table directly). Each table keeps its own.
    void setRowFilter(const SqlCondition& condition);
    const SqlCondition& rowFilter() const { return m_rowFilter; }
    int filteredRowCount() const;   // rows that pass the row filter

    // Runs a read-only statement over vt with bound values and calls `row` for each result row
    // (fields of vt expected from column `firstField` on when RowView field access is used).
    // Returns false with lastError() on an SQL error.
    bool select(const QString& sql, const QVariantList& values, const std::function<void(sqlite3_stmt*)>& row) const;
    // One value of a statement's first row (null when none or on an error).
    QVariant scalar(const QString& sql, const QVariantList& values = {}) const;

    // Bulk insert for streamed replies: begin(), then append() per row, then commit().
    class Inserter {
    public:
        explicit Inserter(ListTable& table);
        ~Inserter();                        // commits what was appended
        RowBuffer& row() { return m_row; }  // fill, then append()
        void append();
        void commit();
        int appended() const { return m_count; }
        // Undoes every row appended so far (used to emulate the last-to-first walk).
        void discardAppended();

    private:
        ListTable& m_table;
        RowBuffer m_row;
        sqlite3_stmt* m_insert = nullptr;
        bool m_open = false;
        int m_count = 0;
        qint64 m_firstRowid = -1;
    };

    sqlite3* db() const { return m_db; }
    QString lastError() const { return m_lastError; }
    // Changes each time rows are added or removed; the cursor uses it to drop cached rows.
    quint64 generation() const { return m_generation; }

    // Binds a QVariant to a statement parameter (1-based).
    static void bindValue(sqlite3_stmt* statement, int index, const QVariant& value);
    // The columns of vt that are stored (not calculated), in field order.
    const std::vector<int>& storedFields() const { return m_stored; }
    // Quoted field name for SQL; the name must be one of the table's fields.
    QString quotedField(int index) const;

private:
    friend class RowView;
    void exec(const char* sql);
    QList<FieldDef> m_fields;
    QHash<QString, int> m_index;
    std::vector<int> m_stored;
    SqlCondition m_rowFilter;
    sqlite3* m_db = nullptr;
    mutable QString m_lastError;
    quint64 m_generation = 0;
};

// For the readers of replies: the field index of each key of `reader` (raises
// std::invalid_argument for a field the table lacks), and one row object read into `row`.
std::vector<int> ResolveReaderFields(const ListTable& table, const RowReader& reader);
void ReadRowObject(const QJsonValue& object, const RowReader& reader, const std::vector<int>& fields, RowBuffer& row);
// One key of a row object read with its ReadJsonField reader into `field`.
void ReadKeyInto(const QJsonValue& object, const KeyBinding& binding, int field, RowBuffer& row);

// "###,###": digits grouped by three with ',', and an empty text for zero.
QString FormatCount(qint64 count);
