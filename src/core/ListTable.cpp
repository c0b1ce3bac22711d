#include "core/ListTable.h"

#include "core/untDm.h"

#include <QRegularExpression>
#include <sqlite3.h>

#include <charconv>
#include <exception>
#include <stdexcept>

namespace {
const char* sqlType(FieldType type)
{
    switch (type) {
    case FieldType::Text:
    case FieldType::DateTime: return "TEXT";
    case FieldType::Float: return "REAL";
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::LargeInt:
    case FieldType::Boolean: return "INTEGER";
    }
    return "TEXT";
}

bool isIdentifier(const QString& name)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return identifier.match(name).hasMatch();
}

// Reals as the grid shows them: up to 15 significant digits, no trailing zeros.
QString realText(double value)
{
    return QString::number(value, 'g', 15);
}

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool isNumericType(FieldType type)
{
    return type == FieldType::Integer || type == FieldType::SmallInt || type == FieldType::LargeInt ||
           type == FieldType::Float || type == FieldType::Boolean;
}
}  // namespace

// --- RowBuffer ------------------------------------------------------------------------------

void RowBuffer::reset(int fieldCount)
{
    if (int(m_cells.size()) != fieldCount)
        m_cells.resize(size_t(fieldCount));
    for (Cell& cell : m_cells)
        cell.kind = Cell::Null;
}

RowBuffer::Cell& RowBuffer::at(int field)
{
    if (field < 0 || field >= int(m_cells.size()))
        throw std::out_of_range("row buffer: no field " + std::to_string(field));
    return m_cells[size_t(field)];
}

void RowBuffer::setNull(int field)
{
    at(field).kind = Cell::Null;
}

void RowBuffer::setText(int field, const QString& text)
{
    Cell& cell = at(field);
    const QByteArray utf8 = text.toUtf8();
    cell.s.assign(utf8.constData(), size_t(utf8.size()));
    cell.kind = Cell::Utf8;
}

void RowBuffer::setUtf8(int field, std::string_view utf8)
{
    Cell& cell = at(field);
    cell.s.assign(utf8.data(), utf8.size());
    cell.kind = Cell::Utf8;
}

void RowBuffer::setInteger(int field, qint64 value)
{
    Cell& cell = at(field);
    cell.i = value;
    cell.kind = Cell::Int;
}

void RowBuffer::setReal(int field, double value)
{
    Cell& cell = at(field);
    cell.d = value;
    cell.kind = Cell::Real;
}

void RowBuffer::setBoolean(int field, bool value)
{
    setInteger(field, value ? 1 : 0);
}

void RowBuffer::setDateTime(int field, const QDateTime& value)
{
    if (!value.isValid())
        setNull(field);
    else
        setText(field, value.toString(Qt::ISODateWithMs));
}

bool RowBuffer::isNull(int field) const
{
    return cell(field).kind == Cell::Null;
}

QString RowBuffer::text(int field) const
{
    const Cell& c = cell(field);
    switch (c.kind) {
    case Cell::Null: return QString();
    case Cell::Int: return QString::number(c.i);
    case Cell::Real: return realText(c.d);
    case Cell::Utf8: return QString::fromUtf8(c.s.data(), qsizetype(c.s.size()));
    }
    return QString();
}

qint64 RowBuffer::integer(int field) const
{
    const Cell& c = cell(field);
    switch (c.kind) {
    case Cell::Null: return 0;
    case Cell::Int: return c.i;
    case Cell::Real: return qint64(c.d);
    case Cell::Utf8: return QByteArray::fromRawData(c.s.data(), qsizetype(c.s.size())).toLongLong();
    }
    return 0;
}

double RowBuffer::real(int field) const
{
    const Cell& c = cell(field);
    switch (c.kind) {
    case Cell::Null: return 0;
    case Cell::Int: return double(c.i);
    case Cell::Real: return c.d;
    case Cell::Utf8: return QByteArray::fromRawData(c.s.data(), qsizetype(c.s.size())).toDouble();
    }
    return 0;
}

bool RowBuffer::boolean(int field) const
{
    const Cell& c = cell(field);
    switch (c.kind) {
    case Cell::Null: return false;
    case Cell::Int: return c.i != 0;
    case Cell::Real: return c.d != 0;
    case Cell::Utf8: return c.s == "true" || c.s == "True" || c.s == "1";
    }
    return false;
}

// --- RowView --------------------------------------------------------------------------------

RowView::RowView(const ListTable* table, sqlite3_stmt* statement, int first, qint64 rowid)
    : m_table(table), m_statement(statement), m_first(first), m_rowid(rowid)
{
}

RowView::RowView(const ListTable* table, std::shared_ptr<const Cached> cached)
    : m_table(table), m_cached(std::move(cached))
{
    if (m_cached)
        m_rowid = m_cached->rowid;
}

int RowView::indexOf(const QString& field) const
{
    const int index = m_table ? m_table->fieldIndex(field) : -1;
    if (index < 0)
        throw std::out_of_range("row: no field " + field.toStdString());
    return index;
}

bool RowView::isNull(int field) const
{
    if (m_cached)
        return m_cached->values[size_t(field)].isNull();
    if (m_statement)
        return sqlite3_column_type(m_statement, m_first + field) == SQLITE_NULL;
    return true;
}

QVariant RowView::value(int field) const
{
    if (m_cached)
        return m_cached->values[size_t(field)];
    if (!m_statement)
        return QVariant();
    const int column = m_first + field;
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER: return QVariant(qint64(sqlite3_column_int64(m_statement, column)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(m_statement, column));
    case SQLITE_NULL: return QVariant();
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(m_statement, column)));
    }
    }
}

QString RowView::text(int field) const
{
    const QVariant v = value(field);
    switch (v.typeId()) {
    case QMetaType::LongLong:
        if (m_table && m_table->field(field).type == FieldType::Boolean)
            return boolText(v.toLongLong() != 0);
        return QString::number(v.toLongLong());
    case QMetaType::Double: return realText(v.toDouble());
    case QMetaType::QString: return v.toString();
    default: return QString();
    }
}

qint64 RowView::integer(int field) const
{
    if (m_statement && !m_cached)
        return sqlite3_column_int64(m_statement, m_first + field);
    const QVariant v = value(field);
    if (v.typeId() == QMetaType::Double)
        return qint64(v.toDouble());
    return v.toLongLong();
}

double RowView::real(int field) const
{
    if (m_statement && !m_cached)
        return sqlite3_column_double(m_statement, m_first + field);
    return value(field).toDouble();
}

bool RowView::boolean(int field) const
{
    const QVariant v = value(field);
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString();
        return s == QLatin1String("true") || s == QLatin1String("True") || s == QLatin1String("1");
    }
    return v.toLongLong() != 0 || v.toDouble() != 0;
}

std::string_view RowView::utf8(int field) const
{
    if (!m_statement || m_cached)
        return {};
    const int column = m_first + field;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    if (!text)
        return {};
    return std::string_view(text, size_t(sqlite3_column_bytes(m_statement, column)));
}

int RowView::columnType(int field) const
{
    if (m_statement && !m_cached)
        return sqlite3_column_type(m_statement, m_first + field);
    const QVariant v = value(field);
    switch (v.typeId()) {
    case QMetaType::LongLong: return SQLITE_INTEGER;
    case QMetaType::Double: return SQLITE_FLOAT;
    case QMetaType::QString: return SQLITE_TEXT;
    default: return SQLITE_NULL;
    }
}

QString RowView::text(const QString& field) const { return text(indexOf(field)); }
qint64 RowView::integer(const QString& field) const { return integer(indexOf(field)); }
double RowView::real(const QString& field) const { return real(indexOf(field)); }
bool RowView::boolean(const QString& field) const { return boolean(indexOf(field)); }
QVariant RowView::value(const QString& field) const { return value(indexOf(field)); }

// --- ListTable ------------------------------------------------------------------------------

ListTable::ListTable(QList<FieldDef> fields) : m_fields(std::move(fields))
{
    QString create = QStringLiteral("CREATE TABLE vt (");
    for (int i = 0; i < m_fields.size(); ++i) {
        const FieldDef& f = m_fields.at(i);
        if (!isIdentifier(f.name) || m_index.contains(f.name))
            throw std::invalid_argument("list table: bad or repeated field name \"" + f.name.toStdString() + "\"");
        m_index.insert(f.name, i);
        if (i > 0)
            create += QStringLiteral(", ");
        create += QLatin1Char('"') + f.name + QStringLiteral("\" ") + QLatin1String(sqlType(f.type));
        if (!f.calculated.isEmpty())
            create += QStringLiteral(" GENERATED ALWAYS AS (") + f.calculated + QStringLiteral(") VIRTUAL");
        else
            m_stored.push_back(i);
    }
    create += QLatin1Char(')');

    if (sqlite3_open_v2(":memory:", &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        const std::string why = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        m_db = nullptr;
        throw std::runtime_error("list table: cannot open the in-memory database: " + why);
    }
    exec("PRAGMA page_size = 16384");
    exec("PRAGMA journal_mode = MEMORY");
    exec("PRAGMA temp_store = MEMORY");
    exec(create.toUtf8().constData());
}

ListTable::~ListTable()
{
    sqlite3_close_v2(m_db);
}

void ListTable::exec(const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string why = error ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error("list table: " + why + " in: " + sql);
    }
}

int ListTable::fieldIndex(const QString& name) const
{
    return m_index.value(name, -1);
}

QString ListTable::quotedField(int index) const
{
    return QLatin1Char('"') + m_fields.at(index).name + QLatin1Char('"');
}

void ListTable::clear()
{
    exec("DELETE FROM vt");
    ++m_generation;
}

int ListTable::rowCount() const
{
    return scalar(QStringLiteral("SELECT count(*) FROM vt")).toInt();
}

void ListTable::setRowFilter(const SqlCondition& condition)
{
    m_rowFilter = condition;
}

int ListTable::filteredRowCount() const
{
    if (m_rowFilter.isEmpty())
        return rowCount();
    const QVariant count =
        scalar(QStringLiteral("SELECT count(*) FROM vt WHERE (") + m_rowFilter.text + QLatin1Char(')'), m_rowFilter.values);
    return count.toInt();
}

void ListTable::bindValue(sqlite3_stmt* statement, int index, const QVariant& value)
{
    if (value.isNull()) {
        sqlite3_bind_null(statement, index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool: sqlite3_bind_int(statement, index, value.toBool() ? 1 : 0); return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::ULongLong: sqlite3_bind_int64(statement, index, value.toLongLong()); return;
    case QMetaType::Double:
    case QMetaType::Float: sqlite3_bind_double(statement, index, value.toDouble()); return;
    default: {
        const QByteArray utf8 = value.toString().toUtf8();
        sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        return;
    }
    }
}

bool ListTable::select(const QString& sql, const QVariantList& values,
                       const std::function<void(sqlite3_stmt*)>& row) const
{
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &statement, nullptr) != SQLITE_OK) {
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(statement);
        return false;
    }
    struct Finalize {
        sqlite3_stmt* s;
        ~Finalize() { sqlite3_finalize(s); }
    } finalize{statement};
    if (sqlite3_bind_parameter_count(statement) != values.size()) {
        m_lastError = QStringLiteral("%1 values for %2 parameters").arg(values.size()).arg(sqlite3_bind_parameter_count(statement));
        return false;
    }
    for (int i = 0; i < values.size(); ++i)
        bindValue(statement, i + 1, values.at(i));
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        if (row)
            row(statement);
    if (rc != SQLITE_DONE) {
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
        return false;
    }
    return true;
}

QVariant ListTable::scalar(const QString& sql, const QVariantList& values) const
{
    QVariant result;
    bool first = true;
    select(sql, values, [&](sqlite3_stmt* s) {
        if (!first)
            return;
        first = false;
        RowView view(nullptr, s, 0, 0);
        result = view.value(0);
    });
    return result;
}

// --- bulk insert ----------------------------------------------------------------------------

ListTable::Inserter::Inserter(ListTable& table) : m_table(table)
{
    QString sql = QStringLiteral("INSERT INTO vt (");
    QString marks;
    for (size_t i = 0; i < table.m_stored.size(); ++i) {
        if (i > 0) {
            sql += QLatin1Char(',');
            marks += QLatin1Char(',');
        }
        sql += table.quotedField(table.m_stored[i]);
        marks += QLatin1Char('?');
    }
    sql += QStringLiteral(") VALUES (") + marks + QLatin1Char(')');
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(table.m_db, text.constData(), int(text.size()), &m_insert, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string("list table: ") + sqlite3_errmsg(table.m_db));
    table.exec("BEGIN");
    m_open = true;
    m_row.reset(table.fieldCount());
}

ListTable::Inserter::~Inserter()
{
    try {
        commit();
    } catch (...) {
    }
    sqlite3_finalize(m_insert);
}

void ListTable::Inserter::append()
{
    sqlite3_stmt* s = m_insert;
    int parameter = 1;
    char number[32];
    for (int field : m_table.m_stored) {
        const RowBuffer::Cell& c = m_row.cell(field);
        const FieldType type = m_table.m_fields.at(field).type;
        switch (c.kind) {
        case RowBuffer::Cell::Null: sqlite3_bind_null(s, parameter); break;
        case RowBuffer::Cell::Int:
            if (type == FieldType::Text || type == FieldType::DateTime) {
                const auto end = std::to_chars(number, number + sizeof number, c.i).ptr;
                sqlite3_bind_text(s, parameter, number, int(end - number), SQLITE_TRANSIENT);
            } else if (type == FieldType::Float) {
                sqlite3_bind_double(s, parameter, double(c.i));
            } else if (type == FieldType::Boolean) {
                sqlite3_bind_int(s, parameter, c.i != 0 ? 1 : 0);
            } else {
                sqlite3_bind_int64(s, parameter, c.i);
            }
            break;
        case RowBuffer::Cell::Real:
            if (type == FieldType::Text || type == FieldType::DateTime) {
                const QByteArray text = realText(c.d).toLatin1();
                sqlite3_bind_text(s, parameter, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            } else if (type == FieldType::Float || !isNumericType(type)) {
                sqlite3_bind_double(s, parameter, c.d);
            } else if (type == FieldType::Boolean) {
                sqlite3_bind_int(s, parameter, c.d != 0 ? 1 : 0);
            } else {
                sqlite3_bind_int64(s, parameter, qint64(c.d));
            }
            break;
        case RowBuffer::Cell::Utf8:
            if (type == FieldType::Boolean) {
                sqlite3_bind_int(s, parameter, m_row.boolean(field) ? 1 : 0);
            } else {
                // Numeric fields convert a numeric text by the column's affinity.
                sqlite3_bind_text(s, parameter, c.s.data(), int(c.s.size()), SQLITE_STATIC);
            }
            break;
        }
        ++parameter;
    }
    const int rc = sqlite3_step(s);
    sqlite3_reset(s);
    if (rc != SQLITE_DONE)
        throw std::runtime_error(std::string("list table: ") + sqlite3_errmsg(m_table.m_db));
    if (m_firstRowid < 0)
        m_firstRowid = sqlite3_last_insert_rowid(m_table.m_db);
    ++m_count;
    m_row.reset(m_table.fieldCount());
}

void ListTable::Inserter::discardAppended()
{
    if (m_firstRowid < 0)
        return;
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(m_table.m_db, "DELETE FROM vt WHERE rowid >= ?", -1, &s, nullptr);
    sqlite3_bind_int64(s, 1, m_firstRowid);
    sqlite3_step(s);
    sqlite3_finalize(s);
    m_firstRowid = -1;
    m_count = 0;
}

void ListTable::Inserter::commit()
{
    if (!m_open)
        return;
    m_open = false;
    ++m_table.m_generation;
    m_table.exec("COMMIT");
}

// --- reading a reply ------------------------------------------------------------------------

void ReadKeyInto(const QJsonValue& object, const KeyBinding& binding, int field, RowBuffer& row)
{
    switch (binding.readAs) {
    case ReadAs::Text: row.setText(field, ReadJsonField::AsString(object, binding.key)); break;
    case ReadAs::Integer: row.setInteger(field, ReadJsonField::AsInteger(object, binding.key)); break;
    case ReadAs::SmallInt: row.setInteger(field, ReadJsonField::AsSmallInt(object, binding.key)); break;
    case ReadAs::LargeInt: row.setInteger(field, ReadJsonField::AsInt64(object, binding.key)); break;
    case ReadAs::Float: row.setReal(field, ReadJsonField::AsFloat(object, binding.key)); break;
    case ReadAs::Boolean: row.setBoolean(field, ReadJsonField::AsBoolean(object, binding.key)); break;
    case ReadAs::DateTime: row.setDateTime(field, ReadJsonField::AsDateTime(object, binding.key)); break;
    }
}

std::vector<int> ResolveReaderFields(const ListTable& table, const RowReader& reader)
{
    std::vector<int> fields;
    fields.reserve(size_t(reader.keys.size()));
    for (const KeyBinding& binding : reader.keys) {
        const QString name = binding.field.isEmpty() ? binding.key : binding.field;
        const int index = table.fieldIndex(name);
        if (index < 0)
            throw std::invalid_argument("row reader: the table has no field \"" + name.toStdString() + "\"");
        fields.push_back(index);
    }
    return fields;
}

void ReadRowObject(const QJsonValue& object, const RowReader& reader, const std::vector<int>& fields, RowBuffer& row)
{
    if (reader.custom) {
        reader.custom(object.toObject(), row);
    } else {
        for (int k = 0; k < reader.keys.size(); ++k)
            ReadKeyInto(object, reader.keys.at(k), fields[size_t(k)], row);
    }
    if (reader.derive)
        reader.derive(row);
}

int ListTable::loadRows(const QJsonArray& rows, const RowReader& reader)
{
    const std::vector<int> fields = ResolveReaderFields(*this, reader);
    std::exception_ptr lastError;
    int added = 0;
    {
        Inserter insert(*this);
        for (const QJsonValue& value : rows) {
            try {
                ReadRowObject(value, reader, fields, insert.row());
                insert.append();
            } catch (const std::exception&) {
                // Taken from the last row to the first, the walk would stop here with only the
                // rows after this one inserted.
                insert.discardAppended();
                insert.row().reset(fieldCount());
                lastError = std::current_exception();
            }
        }
        added = insert.appended();
        insert.commit();
    }
    if (lastError)
        std::rethrow_exception(lastError);
    return added;
}

QString FormatCount(qint64 count)
{
    if (count == 0)
        return QString();
    const bool negative = count < 0;
    QString digits = QString::number(negative ? -count : count);
    for (int i = int(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return negative ? QLatin1Char('-') + digits : digits;
}
