#pragma once
// Process-wide state and small helpers: the logged-in user, the parameter store that keeps the
// remembered login masked between runs, and text helpers.

#include <QByteArray>
#include <QString>
#include <stdexcept>

// The logged-in user, filled by a successful login and replaced by the next one.
struct TCurrentUser {
    QString UserID;
    QString UserName;
    QString loginCount;
    QString Code;
    QString OrganName;
    QString OrganID;
    bool IsAdmin = false;   // exactly when Code is "01"
};
extern TCurrentUser CurrentUser;

// --- text helpers ---------------------------------------------------------------------------
QString DigitsOnly(const QString& text);
QString BoolText(bool value);                                  // "True" / "False"
QString PadLeft(const QString& text, QChar pad, int length);   // cut to length, or padded in front
bool IsAllDigits(const QString& text);                         // non-empty and only 0-9
QString HexEncode(const QByteArray& bytes);                    // two lowercase digits per byte
QByteArray HexDecode(const QString& hex);                      // a final odd digit is ignored; raises ParamStoreError on a non-hex pair
QString EncodeBase64(const QByteArray& bytes);
QByteArray DecodeBase64(const QString& text);                  // raises ParamStoreError when not base64

// --- parameter store ------------------------------------------------------------------------
// Raised on a store that cannot be written, or a stored value that cannot be unmasked.
class ParamStoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Masked form of a name or value: hex of the UTF-8 bytes, reversed, base64 ("abc" -> "MzYyNjE2").
QString MaskParam(const QByteArray& utf8);
QByteArray UnmaskParam(const QString& masked);

// Where the store lives. On Windows the per-user registry key "\Software\Nemora\Params"
// (64-bit view); elsewhere an INI file in the user's configuration folder. Tests point it at a
// temporary file with SetParamStoreFile.
void SetParamStoreFile(const QString& path);   // empty: the default location
QString ParamStoreLocation();

bool SaveParam(const QByteArray& name, const QByteArray& value, bool write);
bool LoadParam(const QByteArray& name, QByteArray& value);
bool IsWow64();
