#include "core/ListReply.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>
#include <simdjson.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <optional>

namespace sj = simdjson::ondemand;

// --- the gateway's body hook ----------------------------------------------------------------
// The gateway hands the reply body to the list engine after its transport checks, so no JSON
// tree is built for a list: the rows go from the body straight into the table.
int ReplyBodyPadding()
{
    return int(simdjson::SIMDJSON_PADDING);
}

int LoadListRows(ListTable& table, const ListRequest& request, const RowReader& reader, bool& aResult,
                 QString& aMessage)
{
    table.clear();
    aResult = false;
    TDm& dm = Dm ? *Dm : CreateDm();
    const JsonBody body = request.body ? request.body() : JsonBody();

    int rows = 0;
    const TDm::ReplyBodyReader read = [&](const QByteArray& replyBody, bool& r, QString& m) {
        rows = ReadReplyIntoTable(replyBody, request.get, r, m, table, reader);
    };
    if (request.get)
        dm.CallGetMethodReading(request.method, aResult, aMessage, read);
    else
        dm.CallPostMethodReading(request.method, aResult, aMessage, body, read);
    return aResult ? std::max(rows, 0) : 0;
}

// --- the streaming reader -------------------------------------------------------------------

namespace {
// simdjson refused the body; the tree reader decides what it is.
struct SyntaxError {};

void check(simdjson::error_code error)
{
    if (error)
        throw SyntaxError{};
}

// One value of a row as found in the body.
struct Found {
    enum Kind : unsigned char { Missing, String, Integer, Real, Bool, Null, Object, Array } kind = Missing;
    std::string_view text;   // String: the unescaped text (valid until the document ends)
    qint64 integer = 0;
    double real = 0;
    bool boolean = false;
};

void readNumber(sj::value& value, Found& found)
{
    sj::number number;
    if (value.get_number().get(number) == simdjson::SUCCESS) {
        switch (number.get_number_type()) {
        case sj::number_type::signed_integer:
            found.kind = Found::Integer;
            found.integer = number.get_int64();
            found.real = double(found.integer);
            return;
        case sj::number_type::unsigned_integer:
            // Beyond qint64: Qt keeps it as a double.
            found.kind = Found::Real;
            found.real = double(number.get_uint64());
            return;
        case sj::number_type::floating_point_number:
            found.kind = Found::Real;
            found.real = number.get_double();
            return;
        }
    }
    // Beyond 64 bits, or a literal simdjson refuses: the whole body goes the tree's way.
    throw SyntaxError{};
}

// The content of a string value: straight from the body when it holds no escape.
std::string_view readString(sj::value& value)
{
    const std::string_view token = value.raw_json_token();
    // The token is the quoted text and the blanks up to the next token.
    size_t end = token.size();
    while (end > 0 && token[end - 1] != '"')
        --end;
    if (end >= 2 && std::memchr(token.data() + 1, '\\', end - 2) == nullptr)
        return token.substr(1, end - 2);
    std::string_view text;
    check(value.get_string().get(text));
    return text;
}

QJsonValue walk(sj::value value, bool build);

QJsonValue walkObject(sj::object object, bool build)
{
    QJsonObject out;
    for (auto member : object) {
        sj::field field;
        check(std::move(member).get(field));
        std::string_view key;
        check(field.unescaped_key().get(key));
        QJsonValue inner = walk(field.value(), build);
        if (build)
            out.insert(QString::fromUtf8(key.data(), qsizetype(key.size())), inner);
    }
    return build ? QJsonValue(out) : QJsonValue();
}

// Reads a whole value (and checks it), building its QJsonValue when asked.
QJsonValue walk(sj::value value, bool build)
{
    sj::json_type type;
    check(value.type().get(type));
    switch (type) {
    case sj::json_type::object: {
        sj::object object;
        check(value.get_object().get(object));
        return walkObject(object, build);
    }
    case sj::json_type::array: {
        sj::array array;
        check(value.get_array().get(array));
        QJsonArray out;
        for (auto element : array) {
            sj::value inner;
            check(element.get(inner));
            QJsonValue v = walk(inner, build);
            if (build)
                out.append(v);
        }
        return build ? QJsonValue(out) : QJsonValue();
    }
    case sj::json_type::string: {
        const std::string_view text = readString(value);
        return build ? QJsonValue(QString::fromUtf8(text.data(), qsizetype(text.size()))) : QJsonValue();
    }
    case sj::json_type::number: {
        Found found;
        readNumber(value, found);
        if (!build)
            return QJsonValue();
        return found.kind == Found::Integer ? QJsonValue(found.integer) : QJsonValue(found.real);
    }
    case sj::json_type::boolean: {
        bool b = false;
        check(value.get_bool().get(b));
        return QJsonValue(b);
    }
    case sj::json_type::null: {
        bool isNull = false;
        check(value.is_null().get(isNull));
        if (!isNull)
            throw SyntaxError{};
        return QJsonValue(QJsonValue::Null);
    }
    }
    throw SyntaxError{};
}

// What the gateway's tree would hold for a found value; containers only by type, which is all
// a reader's error names.
QJsonValue asJson(const Found& found)
{
    switch (found.kind) {
    case Found::String: return QJsonValue(QString::fromUtf8(found.text.data(), qsizetype(found.text.size())));
    case Found::Integer: return QJsonValue(found.integer);
    case Found::Real: return QJsonValue(found.real);
    case Found::Bool: return QJsonValue(found.boolean);
    case Found::Null: return QJsonValue(QJsonValue::Null);
    case Found::Object: return QJsonValue(QJsonObject());
    case Found::Array: return QJsonValue(QJsonArray());
    case Found::Missing: break;
    }
    return QJsonValue(QJsonValue::Undefined);
}

int daysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0))
        return 29;
    return days[month - 1];
}

// "yyyy-MM-ddTHH:mm:ss" with an optional ".zzz", a real moment: the text the table keeps for
// it, as the date-time reader and the table's ISO form would give. Anything else: nullopt.
std::optional<std::string_view> plainIsoMoment(std::string_view text, char (&out)[24])
{
    if (text.size() != 19 && text.size() != 23)
        return std::nullopt;
    static const char pattern[] = "dddd-dd-ddTdd:dd:dd.ddd";
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (pattern[i] == 'd' ? (c < '0' || c > '9') : c != pattern[i])
            return std::nullopt;
    }
    auto number = [&](size_t at, size_t length) {
        int n = 0;
        for (size_t i = at; i < at + length; ++i)
            n = n * 10 + (text[i] - '0');
        return n;
    };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || number(11, 2) > 23 ||
        number(14, 2) > 59 || number(17, 2) > 59)
        return std::nullopt;
    std::memcpy(out, text.data(), text.size());
    if (text.size() == 19)
        std::memcpy(out + 19, ".000", 4);
    return std::string_view(out, 23);
}

struct StreamState {
    ListTable& table;
    const RowReader& reader;
    std::vector<int> fields;
    std::vector<std::string> keys;   // UTF-8 keys of the bindings
    std::vector<Found> found;
    bool fastMoments = false;        // the local zone has no daylight saving: plain texts are exact
    std::exception_ptr rowError;
};

// Stores one found value as its reader would; the reader itself decides every case that is
// not a plain match of JSON type and reader.
void storeFound(StreamState& state, size_t k, RowBuffer& row)
{
    const KeyBinding& binding = state.reader.keys.at(qsizetype(k));
    const Found& f = state.found[k];
    const int field = state.fields[k];
    switch (binding.readAs) {
    case ReadAs::Text:
        if (f.kind == Found::String) {
            row.setUtf8(field, f.text);
            return;
        }
        break;
    case ReadAs::Integer:
        if (f.kind == Found::Integer && f.integer >= INT32_MIN && f.integer <= INT32_MAX) {
            row.setInteger(field, f.integer);
            return;
        }
        break;
    case ReadAs::SmallInt:
        if (f.kind == Found::Integer && f.integer >= INT16_MIN && f.integer <= INT16_MAX) {
            row.setInteger(field, f.integer);
            return;
        }
        break;
    case ReadAs::LargeInt:
        if (f.kind == Found::Integer) {
            row.setInteger(field, f.integer);
            return;
        }
        break;
    case ReadAs::Float:
        if (f.kind == Found::Integer || f.kind == Found::Real) {
            row.setReal(field, f.real);
            return;
        }
        break;
    case ReadAs::Boolean:
        if (f.kind == Found::Bool) {
            row.setBoolean(field, f.boolean);
            return;
        }
        break;
    case ReadAs::DateTime:
        if (f.kind == Found::String && state.fastMoments) {
            char text[24];
            if (const auto moment = plainIsoMoment(f.text, text)) {
                row.setUtf8(field, *moment);
                return;
            }
        }
        break;
    }
    QJsonObject holder;
    if (f.kind != Found::Missing)
        holder.insert(binding.key, asJson(f));
    ReadKeyInto(QJsonValue(holder), binding, field, row);
}

int findKey(const StreamState& state, std::string_view key, int guess)
{
    const int n = int(state.keys.size());
    if (guess >= 0 && guess < n && state.keys[size_t(guess)] == key)
        return guess;
    for (int k = 0; k < n; ++k)
        if (state.keys[size_t(k)] == key)
            return k;
    return -1;
}

// One element of the data array into the inserter's row; raises the reader's errors.
void readRow(StreamState& state, sj::value element, ListTable::Inserter& insert)
{
    RowBuffer& row = insert.row();
    sj::json_type type;
    check(element.type().get(type));
    if (type != sj::json_type::object || state.reader.custom) {
        const QJsonValue whole = walk(element, true);
        ReadRowObject(whole, state.reader, state.fields, row);
        return;
    }
    for (Found& f : state.found)
        f.kind = Found::Missing;
    sj::object object;
    check(element.get_object().get(object));
    int guess = 0;
    for (auto member : object) {
        sj::field field;
        check(std::move(member).get(field));
        // Keys without escapes are compared in place.
        const char* raw = field.key().raw();
        const char* end = raw;
        bool escaped = false;
        while (*end != '"') {
            if (*end == '\\') {
                escaped = true;
                break;
            }
            ++end;
        }
        std::string_view key;
        if (escaped)
            check(field.unescaped_key().get(key));
        else
            key = std::string_view(raw, size_t(end - raw));
        const int k = findKey(state, key, guess);
        sj::value value = field.value();
        if (k < 0) {
            walk(value, false);
            continue;
        }
        guess = k + 1;
        Found& f = state.found[size_t(k)];
        sj::json_type valueType;
        check(value.type().get(valueType));
        switch (valueType) {
        case sj::json_type::string:
            f.kind = Found::String;
            f.text = readString(value);
            break;
        case sj::json_type::number: readNumber(value, f); break;
        case sj::json_type::boolean:
            check(value.get_bool().get(f.boolean));
            f.kind = Found::Bool;
            break;
        case sj::json_type::null:
            walk(value, false);
            f.kind = Found::Null;
            break;
        case sj::json_type::object:
            walk(value, false);
            f.kind = Found::Object;
            break;
        case sj::json_type::array:
            walk(value, false);
            f.kind = Found::Array;
            break;
        }
    }
    for (size_t k = 0; k < state.found.size(); ++k)
        storeFound(state, k, row);
    if (state.reader.derive)
        state.reader.derive(row);
}

void readRows(StreamState& state, sj::array array, ListTable::Inserter& insert)
{
    for (auto item : array) {
        sj::value element;
        check(item.get(element));
        try {
            readRow(state, element, insert);
            insert.append();
        } catch (const SyntaxError&) {
            throw;
        } catch (const std::exception&) {
            // As when the rows are taken from the last to the first: only the rows after the
            // last bad one stay, and its error is the one raised.
            insert.discardAppended();
            insert.row().reset(state.table.fieldCount());
            state.rowError = std::current_exception();
        }
    }
}

// The body as the gateway's tree reads it: for the bodies that simdjson refuses and Qt's
// parser still takes (raw control characters in strings, unknown escapes, numbers beyond 64
// bits), so that what the table gets never depends on which reader ran.
int readTree(const QByteArray& body, bool dataAlways, bool& aResult, QString& aMessage, ListTable& table,
             const RowReader& reader)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !(document.isObject() || document.isArray()))
        return -1;
    const QJsonValue root = document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
    if (!root.isObject() || !root.toObject().contains(QStringLiteral("settings")))
        ReadJsonField::AsString(root, QStringLiteral("settings"));   // raises as the gateway does
    const QJsonValue settings = root.toObject().value(QStringLiteral("settings"));
    const bool result = ReadJsonField::AsString(settings, QStringLiteral("success")) == QLatin1String("1");
    aResult = result;
    aMessage = ReadJsonField::AsString(settings, QStringLiteral("message"));
    if (!dataAlways && !result)
        return 0;
    const QJsonArray rows = ReadJsonField::AsArray(root, QStringLiteral("data"));
    return result ? table.loadRows(rows, reader) : 0;
}

// The streaming read; nullopt when simdjson refuses the body (nothing is left in the table).
std::optional<int> readStreamed(const QByteArray& body, bool dataAlways, bool& aResult, QString& aMessage,
                                ListTable& table, const RowReader& reader)
{
    StreamState state{table, reader, ResolveReaderFields(table, reader), {}, {}, false, {}};
    for (const KeyBinding& binding : reader.keys)
        state.keys.push_back(binding.key.toStdString());
    state.found.resize(state.keys.size());
    state.fastMoments = !QTimeZone::systemTimeZone().hasDaylightTime();

    // simdjson reads a few bytes past the end; use the body in place when it has them spare.
    simdjson::padded_string copy;
    const char* data = body.constData();
    size_t capacity = size_t(body.capacity());
    if (capacity < size_t(body.size()) + simdjson::SIMDJSON_PADDING) {
        copy = simdjson::padded_string(body.constData(), size_t(body.size()));
        data = copy.data();
        capacity = copy.size() + simdjson::SIMDJSON_PADDING;
    }

    sj::parser parser;
    ListTable::Inserter insert(table);
    std::optional<QJsonValue> settings;
    std::optional<QJsonValue> dataStub;   // "data" that is not an array, by type
    bool dataIsArray = false;
    try {
        sj::document document;
        check(parser.iterate(data, size_t(body.size()), capacity).get(document));
        sj::json_type rootType;
        check(document.type().get(rootType));
        if (rootType == sj::json_type::array) {
            sj::array array;
            check(document.get_array().get(array));
            for (auto element : array) {
                sj::value v;
                check(element.get(v));
                walk(v, false);
            }
            if (document.current_location().error() != simdjson::OUT_OF_BOUNDS)
                throw SyntaxError{};
            insert.discardAppended();
            insert.commit();
            // The gateway reads "settings" of the root and so names the root's type.
            ReadJsonField::AsString(QJsonValue(QJsonArray()), QStringLiteral("settings"));
        }
        if (rootType != sj::json_type::object)
            throw SyntaxError{};
        sj::object root;
        check(document.get_object().get(root));
        for (auto member : root) {
            sj::field field;
            check(std::move(member).get(field));
            std::string_view key;
            check(field.unescaped_key().get(key));
            sj::value value = field.value();
            if (key == "settings") {
                settings = walk(value, true);
            } else if (key == "data") {
                // A repeated key: the last one counts, as in the gateway's tree.
                insert.discardAppended();
                state.rowError = nullptr;
                sj::json_type type;
                check(value.type().get(type));
                dataIsArray = type == sj::json_type::array;
                if (dataIsArray) {
                    dataStub.reset();
                    sj::array array;
                    check(value.get_array().get(array));
                    readRows(state, array, insert);
                } else {
                    dataStub = walk(value, true);
                }
            } else {
                walk(value, false);
            }
        }
        if (document.current_location().error() != simdjson::OUT_OF_BOUNDS)
            throw SyntaxError{};
    } catch (const SyntaxError&) {
        insert.discardAppended();
        return std::nullopt;
    } catch (...) {
        insert.discardAppended();
        throw;
    }

    // The envelope, in the gateway's order of reading; an error drops the rows.
    bool result = false;
    try {
        if (!settings)
            ReadJsonField::AsString(QJsonValue(QJsonObject()), QStringLiteral("settings"));
        result = ReadJsonField::AsString(*settings, QStringLiteral("success")) == QLatin1String("1");
        aResult = result;
        aMessage = ReadJsonField::AsString(*settings, QStringLiteral("message"));
        if (!dataIsArray && (dataAlways || result)) {
            QJsonObject holder;
            if (dataStub)
                holder.insert(QStringLiteral("data"), *dataStub);
            ReadJsonField::AsArray(QJsonValue(holder), QStringLiteral("data"));
        }
    } catch (...) {
        insert.discardAppended();
        throw;
    }
    if (!result) {
        // A failed POST hands no rows back; a failed GET does, but the list does not load them.
        insert.discardAppended();
        return 0;
    }
    const int added = insert.appended();
    insert.commit();
    if (state.rowError)
        std::rethrow_exception(state.rowError);
    return added;
}
}  // namespace

int ReadReplyIntoTable(const QByteArray& body, bool dataAlways, bool& aResult, QString& aMessage, ListTable& table,
                       const RowReader& reader)
{
    if (body.isEmpty())
        return -1;
    if (const std::optional<int> rows = readStreamed(body, dataAlways, aResult, aMessage, table, reader))
        return *rows;
    return readTree(body, dataAlways, aResult, aMessage, table, reader);
}
