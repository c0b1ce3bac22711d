#pragma once
// The server gateway: one object, Dm, through which every exchange with the meter-management
// server passes. A call is synchronous for the caller; while it waits, a local event loop keeps
// the windows painting but excludes user input, and a second call made meanwhile is refused.
//
// Transport and server failures come back as the success flag and message, never as exceptions;
// a missing or mistyped envelope key raises JsonFieldError out of the call.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

class QNetworkAccessManager;

// --- method names ---------------------------------------------------------------------------
// "http://" + host + ":3500/ws/"; the host is compiled in (NEMORA_SERVER_HOST).
extern const QString ServerBaseAddress;

namespace Method {
extern const QString user_login;
extern const QString get_last_log_by_serial;
extern const QString get_last_log_by_contractno;
extern const QString get_consumed_list_daily_by_serial;
extern const QString get_consumed_list_weekly_by_serial;
extern const QString get_consumed_list_monthly_by_serial;
extern const QString get_consumed_list_daily_by_contractno;
extern const QString get_consumed_list_weekly_by_contractno;
extern const QString get_consumed_list_monthly_by_contractno;
extern const QString get_all_log_devices_of_user;
extern const QString get_last_all_devices_log_of_user;
extern const QString get_all_device_setting_of_user;
extern const QString set_new_device_setting;
extern const QString get_period_setting_by_serial;
extern const QString get_all_auto_valve_setting;
extern const QString set_auto_valve_setting_by_serial;
extern const QString get_device_setting_history;
extern const QString get_all_register_device;
extern const QString set_activated_device;
extern const QString delete_device;
extern const QString set_new_device;
extern const QString set_defult_device_setting;
extern const QString set_device_type;
extern const QString set_transfer_device;
extern const QString get_all_my_device_list;
extern const QString edit_contractno;
extern const QString get_all_organisation;
extern const QString delete_organisation;
extern const QString used_in_device_from_organ;
extern const QString used_in_user_from_organ;
extern const QString set_new_organisation;
extern const QString edit_organisation;
extern const QString get_organisation_by_user;
extern const QString get_all_users;
extern const QString delete_user;
extern const QString set_new_user;
extern const QString edit_user;
}  // namespace Method

// Every method name, in catalogue order (37 entries).
const QStringList& MethodCatalogue();

// --- request bodies -------------------------------------------------------------------------
// A JSON object whose keys keep the order in which they were added (QJsonObject sorts them,
// and the server contract lists body keys in order). Values are any JSON value.
class JsonBody {
public:
    JsonBody& add(const QString& key, const QJsonValue& value);
    JsonBody& add(const QString& key, const QString& value) { return add(key, QJsonValue(value)); }
    JsonBody& add(const QString& key, const char* value) { return add(key, QJsonValue(QString::fromUtf8(value))); }
    JsonBody& add(const QString& key, bool value) { return add(key, QJsonValue(value)); }
    JsonBody& add(const QString& key, int value) { return add(key, QJsonValue(value)); }
    JsonBody& add(const QString& key, qint64 value) { return add(key, QJsonValue(value)); }
    JsonBody& add(const QString& key, double value) { return add(key, QJsonValue(value)); }
    // Parses a JSON object text keeping its key order; nullopt when it is not a JSON object.
    static std::optional<JsonBody> fromJsonText(const QByteArray& text);
    QByteArray toJson() const;   // compact UTF-8 JSON text, keys in insertion order
    QStringList keys() const;
    bool isEmpty() const { return m_items.isEmpty(); }

private:
    QList<QPair<QString, QJsonValue>> m_items;
};

// --- typed readers --------------------------------------------------------------------------
// Raised by the ReadJsonField readers: a missing key (names the key) or a failed conversion
// (names the key, the JSON type found and the type asked for).
class JsonFieldError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The readers of one key of a JSON object. To tolerate small differences between servers:
// a number read as text gives its JSON literal text ("12", "2.5", "1e+20"); a Boolean read as
// text gives "true"/"false"; a string read as a number converts when the whole string is that
// number (no blanks, no sign "+"); "true"/"false" strings read as Booleans. Anything else, null
// included, raises, as do a whole number out of the asked type's range and a holder that is not
// an object. Error texts: `field "K" not found`, `field "K": cannot read <found> as <asked>`.
namespace ReadJsonField {
QString AsString(const QJsonValue& object, const QString& key);
int AsInteger(const QJsonValue& object, const QString& key);
double AsFloat(const QJsonValue& object, const QString& key);
qint16 AsSmallInt(const QJsonValue& object, const QString& key);
qint64 AsInt64(const QJsonValue& object, const QString& key);
QDateTime AsDateTime(const QJsonValue& object, const QString& key);   // ISO 8601 text
bool AsBoolean(const QJsonValue& object, const QString& key);
QJsonArray AsArray(const QJsonValue& object, const QString& key);
}  // namespace ReadJsonField

// --- the gateway ----------------------------------------------------------------------------
class TDm {
public:
    TDm();
    ~TDm();
    TDm(const TDm&) = delete;
    TDm& operator=(const TDm&) = delete;

    // A call made while another one waits (from a timer or the busy hook) is refused: aResult
    // becomes false, aMessage is left as it was, nothing is sent and nullopt comes back.
    // The returned array is the caller's own copy; a later call does not invalidate it.

    // GET; returns the "data" array whatever the success flag says, or nullopt.
    std::optional<QJsonArray> CallGetMethod(const QString& aMethodName, bool& aResult, QString& aMessage);
    // POST with aBody; returns the "data" array only when the call succeeded.
    std::optional<QJsonArray> CallPostMethod(const QString& aMethodName, bool& aResult, QString& aMessage,
                                             const JsonBody& aBody);
    // POST with aBody; the outcome is aResult and aMessage alone.
    void CallPostMethodWithOutResult(const QString& aMethodName, bool& aResult, QString& aMessage,
                                     const JsonBody& aBody);

    // Hands a reply body that passed the transport checks to `reader`, which reads the envelope
    // itself (sets aResult and aMessage) instead of the gateway building a JSON tree: the list
    // engine streams large replies straight into its tables this way.
    using ReplyBodyReader = std::function<void(const QByteArray& body, bool& aResult, QString& aMessage)>;
    void CallPostMethodReading(const QString& aMethodName, bool& aResult, QString& aMessage, const JsonBody& aBody,
                               const ReplyBodyReader& reader);
    void CallGetMethodReading(const QString& aMethodName, bool& aResult, QString& aMessage,
                              const ReplyBodyReader& reader);

    // The base address in use (ServerBaseAddress unless a test or tool set another).
    QString baseAddress() const;
    void setBaseAddress(const QString& base);

    // True while a call waits for its reply.
    bool isBusy() const;

    // Called with true when a call starts waiting and false when it ends (the program shows a
    // wait cursor). The gateway itself knows nothing of windows.
    void setBusyHook(std::function<void(bool)> hook);

    // Connect and read time-out, 120000 ms unless a test shortens it: the wait ends when this
    // long passes with no progress (no connection yet, or no bytes moving).
    void setTimeoutMs(int ms);
    int timeoutMs() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The one gateway of the program. Created at start-up (CreateDm) after the main window.
extern TDm* Dm;
TDm& CreateDm();   // creates Dm when it does not exist yet and returns it
