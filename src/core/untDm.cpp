#include "core/untDm.h"

#include "core/MSGs.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>

#include <cmath>
#include <limits>

#ifndef NEMORA_SERVER_HOST
#define NEMORA_SERVER_HOST "127.0.0.1"
#endif

// --- method names ---------------------------------------------------------------------------

const QString ServerBaseAddress = QStringLiteral("http://" NEMORA_SERVER_HOST ":3500/ws/");

namespace Method {
#define NEMORA_METHOD(name) const QString name = QStringLiteral(#name);
NEMORA_METHOD(user_login)
NEMORA_METHOD(get_last_log_by_serial)
NEMORA_METHOD(get_last_log_by_contractno)
NEMORA_METHOD(get_consumed_list_daily_by_serial)
NEMORA_METHOD(get_consumed_list_weekly_by_serial)
NEMORA_METHOD(get_consumed_list_monthly_by_serial)
NEMORA_METHOD(get_consumed_list_daily_by_contractno)
NEMORA_METHOD(get_consumed_list_weekly_by_contractno)
NEMORA_METHOD(get_consumed_list_monthly_by_contractno)
NEMORA_METHOD(get_all_log_devices_of_user)
NEMORA_METHOD(get_last_all_devices_log_of_user)
NEMORA_METHOD(get_all_device_setting_of_user)
NEMORA_METHOD(set_new_device_setting)
NEMORA_METHOD(get_period_setting_by_serial)
NEMORA_METHOD(get_all_auto_valve_setting)
NEMORA_METHOD(set_auto_valve_setting_by_serial)
NEMORA_METHOD(get_device_setting_history)
NEMORA_METHOD(get_all_register_device)
NEMORA_METHOD(set_activated_device)
NEMORA_METHOD(delete_device)
NEMORA_METHOD(set_new_device)
NEMORA_METHOD(set_defult_device_setting)
NEMORA_METHOD(set_device_type)
NEMORA_METHOD(set_transfer_device)
NEMORA_METHOD(get_all_my_device_list)
NEMORA_METHOD(edit_contractno)
NEMORA_METHOD(get_all_organisation)
NEMORA_METHOD(delete_organisation)
NEMORA_METHOD(used_in_device_from_organ)
NEMORA_METHOD(used_in_user_from_organ)
NEMORA_METHOD(set_new_organisation)
NEMORA_METHOD(edit_organisation)
NEMORA_METHOD(get_organisation_by_user)
NEMORA_METHOD(get_all_users)
NEMORA_METHOD(delete_user)
NEMORA_METHOD(set_new_user)
NEMORA_METHOD(edit_user)
#undef NEMORA_METHOD
}  // namespace Method

const QStringList& MethodCatalogue()
{
    // Built on first use rather than at load time, so that it never reads a constant of
    // another translation unit before that one is initialised.
    static const QStringList catalogue = {
        Method::user_login,
        Method::get_last_log_by_serial,
        Method::get_last_log_by_contractno,
        Method::get_consumed_list_daily_by_serial,
        Method::get_consumed_list_weekly_by_serial,
        Method::get_consumed_list_monthly_by_serial,
        Method::get_consumed_list_daily_by_contractno,
        Method::get_consumed_list_weekly_by_contractno,
        Method::get_consumed_list_monthly_by_contractno,
        Method::get_all_log_devices_of_user,
        Method::get_last_all_devices_log_of_user,
        Method::get_all_device_setting_of_user,
        Method::set_new_device_setting,
        Method::get_period_setting_by_serial,
        Method::get_all_auto_valve_setting,
        Method::set_auto_valve_setting_by_serial,
        Method::get_device_setting_history,
        Method::get_all_register_device,
        Method::set_activated_device,
        Method::delete_device,
        Method::set_new_device,
        Method::set_defult_device_setting,
        Method::set_device_type,
        Method::set_transfer_device,
        Method::get_all_my_device_list,
        Method::edit_contractno,
        Method::get_all_organisation,
        Method::delete_organisation,
        Method::used_in_device_from_organ,
        Method::used_in_user_from_organ,
        Method::set_new_organisation,
        Method::edit_organisation,
        Method::get_organisation_by_user,
        Method::get_all_users,
        Method::delete_user,
        Method::set_new_user,
        Method::edit_user,
    };
    return catalogue;
}

// --- texts shown to the user ----------------------------------------------------------------

namespace {
const QString NoNetworkText = QStringLiteral("ارتباط با شبکه قطع است") + QStringLiteral("\r\n") + QStringLiteral("لطفا تنظیمات اینترنت را بررسی نمایید");
const QString ServerTroubleText = QStringLiteral("سرور موقتا با اشکال مواجه است ");

// Status line and reason phrases the failure decision compares with.
const QString StatusLine503 = QStringLiteral("HTTP/1.1 503 Service Unavailable");
const QString ReasonServiceUnavailable = QStringLiteral("Service Unavailable");
const QString ReasonInternalServerError = QStringLiteral("Internal Server Error");
}  // namespace

// --- JSON text helpers ----------------------------------------------------------------------

namespace {
// Compact JSON text of any value, scalars included (QJsonDocument only writes containers).
QByteArray jsonText(const QJsonValue& value)
{
    if (value.isObject())
        return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    if (value.isArray())
        return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}

// Reads one JSON value text through the Qt parser; nullopt when it is not exactly one value.
std::optional<QJsonValue> parseValueText(const QByteArray& text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson("[" + text + "]", &error);
    if (error.error != QJsonParseError::NoError || !document.isArray() || document.array().size() != 1)
        return std::nullopt;
    return document.array().at(0);
}

bool isJsonBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Order-preserving scan of one top-level JSON object: yields each key's text and value text in
// the order written, leaving the decoding of each piece to the Qt parser.
class ObjectScanner {
public:
    explicit ObjectScanner(const QByteArray& text) : m_text(text) {}

    bool scan(QList<QPair<QByteArray, QByteArray>>& members)
    {
        skipBlanks();
        if (!take('{'))
            return false;
        skipBlanks();
        if (take('}'))
            return atEnd();
        for (;;) {
            skipBlanks();
            const qsizetype keyStart = m_pos;
            if (!skipString())
                return false;
            const QByteArray key = m_text.mid(keyStart, m_pos - keyStart);
            skipBlanks();
            if (!take(':'))
                return false;
            skipBlanks();
            const qsizetype valueStart = m_pos;
            if (!skipValue())
                return false;
            members.append({key, m_text.mid(valueStart, m_pos - valueStart)});
            skipBlanks();
            if (take(','))
                continue;
            if (take('}'))
                return atEnd();
            return false;
        }
    }

private:
    bool atEnd()
    {
        skipBlanks();
        return m_pos == m_text.size();
    }
    void skipBlanks()
    {
        while (m_pos < m_text.size() && isJsonBlank(m_text.at(m_pos)))
            ++m_pos;
    }
    bool take(char c)
    {
        if (m_pos < m_text.size() && m_text.at(m_pos) == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool skipString()
    {
        if (!take('"'))
            return false;
        while (m_pos < m_text.size()) {
            const char c = m_text.at(m_pos++);
            if (c == '\\') {
                if (m_pos >= m_text.size())
                    return false;
                ++m_pos;
            } else if (c == '"') {
                return true;
            }
        }
        return false;
    }
    // Skips a value by bracket depth; the Qt parser checks its grammar afterwards.
    bool skipValue()
    {
        int depth = 0;
        const qsizetype start = m_pos;
        while (m_pos < m_text.size()) {
            const char c = m_text.at(m_pos);
            if (c == '"') {
                if (!skipString())
                    return false;
                continue;
            }
            if (c == '{' || c == '[') {
                ++depth;
            } else if (c == '}' || c == ']') {
                if (depth == 0)
                    break;
                --depth;
            } else if (c == ',' && depth == 0) {
                break;
            }
            ++m_pos;
        }
        return depth == 0 && m_pos > start;
    }

    const QByteArray& m_text;
    qsizetype m_pos = 0;
};
}  // namespace

// --- request bodies -------------------------------------------------------------------------

JsonBody& JsonBody::add(const QString& key, const QJsonValue& value)
{
    // A key added twice keeps its first place and takes the later value, as a JSON object would.
    for (auto& item : m_items) {
        if (item.first == key) {
            item.second = value;
            return *this;
        }
    }
    m_items.append({key, value});
    return *this;
}

std::optional<JsonBody> JsonBody::fromJsonText(const QByteArray& text)
{
    QList<QPair<QByteArray, QByteArray>> members;
    if (!ObjectScanner(text).scan(members))
        return std::nullopt;
    JsonBody body;
    for (const auto& member : members) {
        const std::optional<QJsonValue> key = parseValueText(member.first);
        const std::optional<QJsonValue> value = parseValueText(member.second);
        if (!key || !key->isString() || !value)
            return std::nullopt;
        body.add(key->toString(), *value);
    }
    return body;
}

QByteArray JsonBody::toJson() const
{
    QByteArray out = "{";
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (i > 0)
            out += ',';
        out += jsonText(QJsonValue(m_items.at(i).first));
        out += ':';
        out += jsonText(m_items.at(i).second);
    }
    out += '}';
    return out;
}

QStringList JsonBody::keys() const
{
    QStringList result;
    for (const auto& item : m_items)
        result.append(item.first);
    return result;
}

// --- typed readers --------------------------------------------------------------------------

namespace {
QString typeName(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Null: return QStringLiteral("null");
    case QJsonValue::Bool: return QStringLiteral("boolean");
    case QJsonValue::Double: return QStringLiteral("number");
    case QJsonValue::String: return QStringLiteral("string");
    case QJsonValue::Array: return QStringLiteral("array");
    case QJsonValue::Object: return QStringLiteral("object");
    case QJsonValue::Undefined: break;
    }
    return QStringLiteral("undefined");
}

[[noreturn]] void conversionError(const QString& key, const QJsonValue& value, const char* wanted)
{
    throw JsonFieldError(QStringLiteral("field \"%1\": cannot read %2 as %3")
                             .arg(key, typeName(value), QLatin1String(wanted))
                             .toStdString());
}

// The value under key; raises when the holder is no object or the key is missing.
QJsonValue fieldOf(const QJsonValue& holder, const QString& key)
{
    if (!holder.isObject())
        throw JsonFieldError(
            QStringLiteral("field \"%1\": cannot read from %2 (not an object)").arg(key, typeName(holder)).toStdString());
    const QJsonObject object = holder.toObject();
    const auto it = object.constFind(key);
    if (it == object.constEnd())
        throw JsonFieldError(QStringLiteral("field \"%1\" not found").arg(key).toStdString());
    return it.value();
}

// A number as the readers see it: exact when it is a whole number that fits 64 bits.
struct Number {
    bool whole = false;
    qint64 integer = 0;
    double real = 0;
};

Number numberOf(const QJsonValue& value)
{
    Number n;
    n.real = value.toDouble();
    // toInteger answers its default unless the value is whole and fits; two defaults tell apart.
    const qint64 a = value.toInteger(0), b = value.toInteger(1);
    if (a == b) {
        n.whole = true;
        n.integer = a;
    }
    return n;
}

// A string that is wholly a number literal (JSON grammar, leading zeros tolerated).
std::optional<Number> numberOfText(const QString& text)
{
    static const QRegularExpression literal(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?([eE][+-]?[0-9]+)?$"));
    const QRegularExpressionMatch match = literal.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    Number n;
    bool ok = false;
    n.real = text.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    if (match.capturedLength(1) == 0 && match.capturedLength(2) == 0) {
        n.integer = text.toLongLong(&ok);
        n.whole = ok;
    } else if (std::floor(n.real) == n.real && std::fabs(n.real) < 9.2e18) {
        n.whole = true;
        n.integer = qint64(n.real);
    }
    return n;
}

// The value as a number when it is one or a string holding one.
std::optional<Number> numericValue(const QJsonValue& value)
{
    if (value.isDouble())
        return numberOf(value);
    if (value.isString())
        return numberOfText(value.toString());
    return std::nullopt;
}

template <typename Int>
Int wholeNumber(const QString& key, const QJsonValue& value, const char* wanted)
{
    const std::optional<Number> n = numericValue(value);
    if (!n || !n->whole || n->integer < qint64(std::numeric_limits<Int>::min()) ||
        n->integer > qint64(std::numeric_limits<Int>::max()))
        conversionError(key, value, wanted);
    return Int(n->integer);
}
}  // namespace

namespace ReadJsonField {
QString AsString(const QJsonValue& object, const QString& key)
{
    const QJsonValue value = fieldOf(object, key);
    switch (value.type()) {
    case QJsonValue::String: return value.toString();
    case QJsonValue::Bool: return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Double: {
        const Number n = numberOf(value);
        if (n.whole)
            return QString::number(n.integer);
        return QString::number(n.real, 'g', QLocale::FloatingPointShortest);
    }
    default: conversionError(key, value, "string");
    }
}

int AsInteger(const QJsonValue& object, const QString& key)
{
    return wholeNumber<int>(key, fieldOf(object, key), "integer");
}

double AsFloat(const QJsonValue& object, const QString& key)
{
    const QJsonValue value = fieldOf(object, key);
    const std::optional<Number> n = numericValue(value);
    if (!n)
        conversionError(key, value, "float");
    return n->real;
}

qint16 AsSmallInt(const QJsonValue& object, const QString& key)
{
    return wholeNumber<qint16>(key, fieldOf(object, key), "small integer");
}

qint64 AsInt64(const QJsonValue& object, const QString& key)
{
    return wholeNumber<qint64>(key, fieldOf(object, key), "64-bit integer");
}

QDateTime AsDateTime(const QJsonValue& object, const QString& key)
{
    // Qt's ISO parser takes any separator between the date parts ("1402/12/15" would pass as a
    // Gregorian date), so the shape is checked first.
    static const QRegularExpression isoShape(QStringLiteral(
        "^[0-9]{4}-[0-9]{2}-[0-9]{2}(?:[T ][0-9]{2}:[0-9]{2}(?::[0-9]{2}(?:[.,][0-9]+)?)?(?:Z|[+-][0-9]{2}(?::?[0-9]{2})?)?)?$"));
    const QJsonValue value = fieldOf(object, key);
    if (value.isString() && isoShape.match(value.toString()).hasMatch()) {
        const QDateTime moment = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
        if (moment.isValid())
            return moment;
    }
    conversionError(key, value, "date-time");
}

bool AsBoolean(const QJsonValue& object, const QString& key)
{
    const QJsonValue value = fieldOf(object, key);
    if (value.isBool())
        return value.toBool();
    if (value.isString()) {
        if (value.toString() == QLatin1String("true"))
            return true;
        if (value.toString() == QLatin1String("false"))
            return false;
    }
    conversionError(key, value, "boolean");
}

QJsonArray AsArray(const QJsonValue& object, const QString& key)
{
    const QJsonValue value = fieldOf(object, key);
    if (!value.isArray())
        conversionError(key, value, "array");
    return value.toArray();
}
}  // namespace ReadJsonField

// --- the gateway ----------------------------------------------------------------------------

namespace {
enum class Verb { Get, Post };
enum class Want { RowsAlways, RowsOnSuccess, Nothing };

// What one exchange left behind, the input of the failure decision.
struct Exchange {
    bool failed = false;
    QString failureText;   // the transport's error, or the status line of a 5xx reply
    QString statusText;    // reason phrase, kept only for a failed request
    QByteArray failedBody; // body of a failed request
    QByteArray body;       // body of a reply below 500
};
}  // namespace

struct TDm::Impl {
    QString base = ServerBaseAddress;
    int timeoutMs = 120000;
    bool busy = false;
    std::function<void(bool)> busyHook;
    std::unique_ptr<QNetworkAccessManager> client;

    QNetworkRequest ResetRequest(const QString& methodName);
    Exchange send(Verb verb, const QString& methodName, const QByteArray* body);
    std::optional<QJsonArray> call(Verb verb, Want want, const QString& methodName, bool& aResult, QString& aMessage,
                                   const JsonBody* aBody, const ReplyBodyReader* reader = nullptr);
    static std::optional<QJsonValue> ParseReplyBody(const QByteArray& body);
};

// Every call starts from a fresh request so that nothing of the previous one leaks in.
QNetworkRequest TDm::Impl::ResetRequest(const QString& methodName)
{
    if (!client)
        client = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(QUrl(base + methodName));
    request.setRawHeader("Accept", "application/json, text/plain; q=0.9, text/html;q=0.8,");
    request.setRawHeader("Accept-Charset", "utf-8, *;q=0.8");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    // The connect and read time-outs are enforced by the wait in send(), which restarts its
    // timer whenever the transfer moves.
    return request;
}

Exchange TDm::Impl::send(Verb verb, const QString& methodName, const QByteArray* body)
{
    QNetworkRequest request = ResetRequest(methodName);
    QNetworkReply* reply = nullptr;
    if (verb == Verb::Get) {
        reply = client->get(request);
    } else {
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        reply = client->post(request, body ? *body : QByteArray());
    }

    // The body is taken off the reply as it arrives, into one buffer sized from Content-Length
    // with a few spare bytes beyond its end: a large reply is held once, not twice, and a
    // streaming reader can read it where it lies.
    QByteArray replyBody;
    auto drain = [&replyBody, reply] {
        if (!reply->isOpen())
            return;
        if (replyBody.isEmpty()) {
            const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
            if (announced > 0)
                replyBody.reserve(announced + 64);
        }
        const qint64 available = reply->bytesAvailable();
        if (available <= 0)
            return;
        const qsizetype at = replyBody.size();
        if (replyBody.capacity() < at + available + 64)
            replyBody.reserve(qMax<qsizetype>(at + available + 64, replyBody.capacity() * 2));
        replyBody.resize(at + available);
        replyBody.resize(at + qMax<qint64>(0, reply->read(replyBody.data() + at, available)));
    };
    QObject::connect(reply, &QNetworkReply::readyRead, reply, drain);

    bool timedOut = false;
    {
        QEventLoop loop;
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.setInterval(timeoutMs);
        QObject::connect(&deadline, &QTimer::timeout, reply, [&] {
            timedOut = true;
            reply->abort();
        });
        auto restart = [&deadline] { deadline.start(); };
        QObject::connect(reply, &QNetworkReply::uploadProgress, &deadline, restart);
        QObject::connect(reply, &QNetworkReply::downloadProgress, &deadline, restart);
        QObject::connect(reply, &QNetworkReply::metaDataChanged, &deadline, restart);
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        deadline.start();
        if (!reply->isFinished())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
    }

    Exchange exchange;
    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int status = statusAttribute.isValid() ? statusAttribute.toInt() : 0;
    drain();
    if (timedOut) {
        exchange.failed = true;
        exchange.failureText = QStringLiteral("Timed out");
    } else if (status >= 500) {
        const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        exchange.failed = true;
        exchange.failureText = QStringLiteral("HTTP/1.1 %1 %2").arg(status).arg(reason);
        exchange.statusText = reason;
        exchange.failedBody = replyBody;
    } else if (status == 0) {
        exchange.failed = true;
        exchange.failureText = reply->errorString();
    } else {
        // Below 500 (4xx included) the reply is an answer to be read, whatever Qt calls it.
        exchange.body = replyBody;
    }
    // Freed here rather than later: a caller without a running event loop (nemora-call) would
    // otherwise keep every reply until it exits.
    delete reply;
    return exchange;
}

// The one place the reply text becomes a JSON tree, kept apart so the parser can be swapped.
std::optional<QJsonValue> TDm::Impl::ParseReplyBody(const QByteArray& body)
{
    if (body.isEmpty())
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError)
        return std::nullopt;
    if (document.isObject())
        return QJsonValue(document.object());
    if (document.isArray())
        return QJsonValue(document.array());
    return std::nullopt;
}

std::optional<QJsonArray> TDm::Impl::call(Verb verb, Want want, const QString& methodName, bool& aResult,
                                          QString& aMessage, const JsonBody* aBody, const ReplyBodyReader* reader)
{
    aResult = false;
    if (busy)
        return std::nullopt;

    const QByteArray payload = aBody ? aBody->toJson() : QByteArray();
    Exchange exchange;
    {
        busy = true;
        if (busyHook)
            busyHook(true);
        struct EndWait {
            Impl* impl;
            ~EndWait()
            {
                impl->busy = false;
                if (impl->busyHook)
                    impl->busyHook(false);
            }
        } endWait{this};
        exchange = send(verb, methodName, verb == Verb::Post ? &payload : nullptr);
    }

    if (exchange.failureText == StatusLine503 || exchange.statusText == ReasonServiceUnavailable) {
        aMessage = NoNetworkText;
        return std::nullopt;
    }
    if (!exchange.failedBody.isEmpty()) {
        ShowErrorBox(QString::fromUtf8(exchange.failedBody));
        return std::nullopt;
    }
    if (exchange.statusText == ReasonInternalServerError) {
        aMessage = ServerTroubleText;
        return std::nullopt;
    }

    if (reader) {
        if (!exchange.body.isEmpty())
            (*reader)(exchange.body, aResult, aMessage);
        return std::nullopt;
    }
    const std::optional<QJsonValue> root = ParseReplyBody(exchange.body);
    if (!root)
        return std::nullopt;
    const QJsonValue settings = fieldOf(*root, QStringLiteral("settings"));
    aResult = ReadJsonField::AsString(settings, QStringLiteral("success")) == QLatin1String("1");
    aMessage = ReadJsonField::AsString(settings, QStringLiteral("message"));
    if (want == Want::RowsAlways || (want == Want::RowsOnSuccess && aResult))
        return ReadJsonField::AsArray(*root, QStringLiteral("data"));
    return std::nullopt;
}

TDm::TDm() : d(std::make_unique<Impl>()) {}

TDm::~TDm() = default;

std::optional<QJsonArray> TDm::CallGetMethod(const QString& aMethodName, bool& aResult, QString& aMessage)
{
    return d->call(Verb::Get, Want::RowsAlways, aMethodName, aResult, aMessage, nullptr);
}

std::optional<QJsonArray> TDm::CallPostMethod(const QString& aMethodName, bool& aResult, QString& aMessage,
                                              const JsonBody& aBody)
{
    return d->call(Verb::Post, Want::RowsOnSuccess, aMethodName, aResult, aMessage, &aBody);
}

void TDm::CallPostMethodWithOutResult(const QString& aMethodName, bool& aResult, QString& aMessage,
                                      const JsonBody& aBody)
{
    d->call(Verb::Post, Want::Nothing, aMethodName, aResult, aMessage, &aBody);
}

void TDm::CallPostMethodReading(const QString& aMethodName, bool& aResult, QString& aMessage, const JsonBody& aBody,
                                const ReplyBodyReader& reader)
{
    d->call(Verb::Post, Want::RowsOnSuccess, aMethodName, aResult, aMessage, &aBody, &reader);
}

void TDm::CallGetMethodReading(const QString& aMethodName, bool& aResult, QString& aMessage,
                               const ReplyBodyReader& reader)
{
    d->call(Verb::Get, Want::RowsAlways, aMethodName, aResult, aMessage, nullptr, &reader);
}

QString TDm::baseAddress() const
{
    return d->base;
}

void TDm::setBaseAddress(const QString& base)
{
    d->base = base;
}

bool TDm::isBusy() const
{
    return d->busy;
}

void TDm::setBusyHook(std::function<void(bool)> hook)
{
    d->busyHook = std::move(hook);
}

void TDm::setTimeoutMs(int ms)
{
    d->timeoutMs = ms;
}

int TDm::timeoutMs() const
{
    return d->timeoutMs;
}

TDm* Dm = nullptr;

TDm& CreateDm()
{
    if (!Dm)
        Dm = new TDm;
    return *Dm;
}
