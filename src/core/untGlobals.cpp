#include "core/untGlobals.h"

#include "calendar/DateProc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <string>

#ifdef Q_OS_WIN
#include <QSettings>
#include <windows.h>
#endif

TCurrentUser CurrentUser;

// --- text helpers ---------------------------------------------------------------------------

QString DigitsOnly(const QString& text)
{
    QString digits;
    digits.reserve(text.size());
    for (const QChar c : text)
        if (c >= u'0' && c <= u'9')
            digits += c;
    return digits;
}

QString BoolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString PadLeft(const QString& text, QChar pad, int length)
{
    if (length <= 0)
        return QString();
    if (text.size() >= length)
        return text.left(length);
    return QString(length - text.size(), pad) + text;
}

bool IsAllDigits(const QString& text)
{
    return DateProc::IsAsciiDigits(text);
}

QString HexEncode(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

namespace {

int hexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

}  // namespace

QByteArray HexDecode(const QString& hex)
{
    QByteArray bytes;
    bytes.reserve(hex.size() / 2);
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2) {
        const int high = hexValue(hex[i]);
        const int low = hexValue(hex[i + 1]);
        if (high < 0 || low < 0)
            throw ParamStoreError("not a hexadecimal pair: '" + hex.mid(i, 2).toStdString() + "'");
        bytes += char(high * 16 + low);
    }
    return bytes;
}

QString EncodeBase64(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toBase64());
}

QByteArray DecodeBase64(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 0x7f)
            throw ParamStoreError("not base64: non-ASCII character");
    // Qt accepts missing padding; stored values are always padded, so anything else is damage.
    if (text.size() % 4 != 0)
        throw ParamStoreError("not base64 (length " + std::to_string(text.size()) + ")");
    auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(),
                                                  QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        throw ParamStoreError("not base64: '" + text.toStdString() + "'");
    return decoded.decoded;
}

// --- parameter store ------------------------------------------------------------------------

QString MaskParam(const QByteArray& utf8)
{
    // The bytes themselves are masked (no code-page conversion), so any text comes back intact;
    // for ASCII this is the same stored form as a code-page round trip would give.
    QString hex = HexEncode(utf8);
    std::reverse(hex.begin(), hex.end());
    return EncodeBase64(hex.toLatin1());
}

QByteArray UnmaskParam(const QString& masked)
{
    QString hex = QString::fromLatin1(DecodeBase64(masked));
    std::reverse(hex.begin(), hex.end());
    return HexDecode(hex);
}

namespace {

const QString kSection = QStringLiteral("Params");

QString& storeFileOverride()
{
    static QString path;
    return path;
}

QString defaultStoreFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Nemora/params.ini");
}

QString storeFile()
{
    return storeFileOverride().isEmpty() ? defaultStoreFile() : storeFileOverride();
}

#ifdef Q_OS_WIN
const QString kRegistryKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Nemora\\Params");

bool useRegistry()
{
    return storeFileOverride().isEmpty();
}
#endif

// The store file is a one-section INI file of "name=value" lines. QSettings is not used for it:
// it percent-escapes "=" in keys, and masked names end in base64 padding, so the file would no
// longer hold the masked names as they are.
//
// Masked names and values are base64 of hex digits, which never contains "/" or "+", and "=" only
// as trailing padding; a value never starts with "=". So the name ends at the last "=" of the first
// run of "=" characters.
bool splitEntry(const QString& line, QString& name, QString& value)
{
    qsizetype split = line.indexOf(u'=');
    if (split < 0)
        return false;
    while (split + 1 < line.size() && line[split + 1] == u'=')
        ++split;
    name = line.left(split);
    value = line.mid(split + 1);
    return true;
}

bool isSectionHeader(const QString& line)
{
    return line.startsWith(u'[') && line.endsWith(u']');
}

bool isOurSection(const QString& line)
{
    return line.compare(u'[' + kSection + u']', Qt::CaseInsensitive) == 0;
}

// Lines of the store file, trimmed. A missing file reads as no lines. An unreadable one reads as
// none too when only loading, but must not be overwritten by a save that lost its contents.
QStringList readStoreLines(const QString& path, bool forWriting)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        if (forWriting)
            throw ParamStoreError("cannot read the parameter store " + path.toStdString() + ": "
                                  + file.errorString().toStdString());
        return {};
    }
    QStringList lines;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n'))
        lines << line.trimmed();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void writeStoreLines(const QString& path, const QStringList& lines)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw ParamStoreError("cannot create the folder of the parameter store " + folder.toStdString());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ParamStoreError("cannot write the parameter store " + path.toStdString() + ": "
                              + file.errorString().toStdString());
    file.write((lines.join(u'\n') + u'\n').toUtf8());
    if (!file.commit())
        throw ParamStoreError("cannot write the parameter store " + path.toStdString() + ": "
                              + file.errorString().toStdString());
}

// Sets one entry of our section, or removes it when there is no value; every other line stays.
void storeFileEntry(const QString& path, const QString& name, const QString* value)
{
    QStringList lines = readStoreLines(path, true);
    qsizetype sectionAt = -1;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (isOurSection(lines[i])) {
            sectionAt = i;
            break;
        }
    if (sectionAt < 0) {
        if (!lines.isEmpty())
            lines << QString();
        lines << u'[' + kSection + u']';
        sectionAt = lines.size() - 1;
    }
    qsizetype end = sectionAt + 1;
    while (end < lines.size() && !isSectionHeader(lines[end]))
        ++end;
    bool placed = false;
    for (qsizetype i = end - 1; i > sectionAt; --i) {
        QString entryName, entryValue;
        if (!splitEntry(lines[i], entryName, entryValue) || entryName != name)
            continue;
        if (value && !placed) {
            lines[i] = name + u'=' + *value;
            placed = true;
        } else {
            lines.removeAt(i);   // a deletion, or a stale duplicate
            --end;
        }
    }
    if (value && !placed) {
        // After the section's last entry, before any blank lines that separate it from the next.
        qsizetype at = end;
        while (at > sectionAt + 1 && lines[at - 1].isEmpty())
            --at;
        lines.insert(at, name + u'=' + *value);
    }
    writeStoreLines(path, lines);
}

QString loadFileEntry(const QString& path, const QString& name)
{
    const QStringList lines = readStoreLines(path, false);
    bool inSection = false;
    for (const QString& line : lines) {
        if (isSectionHeader(line)) {
            inSection = isOurSection(line);
            continue;
        }
        QString entryName, entryValue;
        if (inSection && splitEntry(line, entryName, entryValue) && entryName == name)
            return entryValue;
    }
    return QString();
}

}  // namespace

void SetParamStoreFile(const QString& path)
{
    storeFileOverride() = path;
}

QString ParamStoreLocation()
{
#ifdef Q_OS_WIN
    if (useRegistry())
        return kRegistryKey;
#endif
    return storeFile();
}

bool SaveParam(const QByteArray& name, const QByteArray& value, bool write)
{
    const QString maskedName = MaskParam(name);
    const QString maskedValue = MaskParam(value);
#ifdef Q_OS_WIN
    if (useRegistry()) {
        // The 64-bit view whatever the process, so 32- and 64-bit builds share one key.
        QSettings registry(kRegistryKey, QSettings::Registry64Format);
        if (write)
            registry.setValue(maskedName, maskedValue);
        else
            registry.remove(maskedName);
        registry.sync();
        if (registry.status() != QSettings::NoError)
            throw ParamStoreError("cannot write the registry key " + kRegistryKey.toStdString());
        return true;
    }
#endif
    storeFileEntry(storeFile(), maskedName, write ? &maskedValue : nullptr);
    return true;
}

bool LoadParam(const QByteArray& name, QByteArray& value)
{
    const QString maskedName = MaskParam(name);
    QString stored;
#ifdef Q_OS_WIN
    if (useRegistry()) {
        QSettings registry(kRegistryKey, QSettings::Registry64Format);
        stored = registry.value(maskedName).toString();
    } else
#endif
        stored = loadFileEntry(storeFile(), maskedName);
    value = UnmaskParam(stored);
    return true;
}

bool IsWow64()
{
#ifdef Q_OS_WIN
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel)
        kernel = LoadLibraryW(L"kernel32.dll");
    if (!kernel)
        throw ParamStoreError(qt_error_string(int(GetLastError())).toStdString());
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64Process =
        reinterpret_cast<IsWow64ProcessFn>(GetProcAddress(kernel, "IsWow64Process"));
    if (!isWow64Process)
        return false;   // Windows too old to run 32-bit programs on 64 bits
    BOOL wow64 = FALSE;
    if (!isWow64Process(GetCurrentProcess(), &wow64))
        throw ParamStoreError(qt_error_string(int(GetLastError())).toStdString());
    return wow64 != FALSE;
#else
    return false;
#endif
}
