#include "calendar/DateProc.h"

#include <QMutex>
#include <QMutexLocker>

#include <cstdint>
#include <string>

namespace DateProc {

namespace {

// Indexed by Gregorian month 1..12 (slot 0 unused). G: the last day of the month that still
// belongs to the Solar month begun in the previous Gregorian month. H: how many days of that
// Solar month lie in the previous Gregorian month.
constexpr int kG[13] = {0, 20, 19, 20, 20, 21, 21, 22, 22, 22, 22, 21, 21};
constexpr int kH[13] = {0, 10, 11, 9, 11, 10, 10, 9, 9, 9, 8, 9, 9};

// Day-of-week shift of the first of each Solar month against Farvardin 1 (slot 0 unused).
constexpr int kWeekdayOffset[13] = {0, 0, 3, 6, 2, 5, 1, 4, 6, 1, 3, 5, 0};

// The tables are consulted with Gregorian months up to 15 (Solar Bahman/Esfand start in
// January/February of the next Gregorian year).
int G(int month) { return kG[(month - 1) % 12 + 1]; }
int H(int month) { return kH[(month - 1) % 12 + 1]; }

void requireMonth(int month)
{
    if (month < 1 || month > 12)
        throw DateConversionError("month out of range: " + std::to_string(month));
}

// A whole decimal number: optional sign, ASCII digits only, within 32 bits.
bool parseWholeNumber(QStringView text, int& value)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i >= text.size())
        return false;
    qint64 result = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9')
            return false;
        result = result * 10 + (c.unicode() - u'0');
        if (result > qint64(INT32_MAX) + (negative ? 1 : 0))
            return false;
    }
    value = int(negative ? -result : result);
    return true;
}

int wholeNumber(QStringView text)
{
    int value = 0;
    if (!parseWholeNumber(text, value))
        throw DateConversionError("not a whole number: '" + text.toString().toStdString() + "'");
    return value;
}

// Splits "y/m/d" at the first two slashes; the day keeps whatever follows the second one.
// False when the text holds fewer than two slashes.
bool splitThree(const QString& text, QStringView& year, QStringView& month, QStringView& day)
{
    const qsizetype first = text.indexOf(u'/');
    if (first < 0)
        return false;
    const qsizetype second = text.indexOf(u'/', first + 1);
    if (second < 0)
        return false;
    const QStringView view(text);
    year = view.left(first);
    month = view.mid(first + 1, second - first - 1);
    day = view.mid(second + 1);
    return true;
}

// Right-aligned in a field of `width` with blanks; a longer text stays whole.
QString rightAligned(const QString& text, int width)
{
    return text.rightJustified(width, u' ', false);
}

// Cut to `length` characters, or padded in front with `pad`.
QString padLeft(const QString& text, QChar pad, int length)
{
    if (text.size() >= length)
        return text.left(length);
    return QString(length - text.size(), pad) + text;
}

QString blanksToZeros(QString text, int count)
{
    for (qsizetype i = 0; i < text.size() && i < count; ++i)
        if (text[i] == u' ')
            text[i] = u'0';
    return text;
}

int esfandLength(int year) { return year % 4 == 3 ? 30 : 29; }

int solarMonthLength(int month, int esfand)
{
    if (month <= 6)
        return 31;
    if (month <= 11)
        return 30;
    return esfand;
}

struct Clock {
    QMutex mutex;
    std::function<QDateTime()> source;
};

Clock& clock()
{
    static Clock instance;
    return instance;
}

}  // namespace

bool IsAsciiDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// --- the clock seam ------------------------------------------------------------------------

QDateTime CurrentDateTime()
{
    std::function<QDateTime()> source;
    {
        QMutexLocker lock(&clock().mutex);
        source = clock().source;
    }
    return source ? source() : QDateTime::currentDateTime();
}

void SetClock(std::function<QDateTime()> source)
{
    QMutexLocker lock(&clock().mutex);
    clock().source = std::move(source);
}

void SetFixedNow(const QDateTime& now)
{
    SetClock([now] { return now; });
}

void ResetClock()
{
    SetClock({});
}

// --- conversion --------------------------------------------------------------------------

void SolarToGregorian(int& year, int& month, int& day)
{
    requireMonth(month);
    int y = year;
    int d = day;
    if (y % 4 == 3)
        d -= 1;   // the year began on March 20
    int g = month + 2;
    int span = H(g + 1);
    if (month == 12)
        span = (y % 4 == 2) ? 10 : 9;   // that Esfand lies in a Gregorian leap February
    if (d > span) {
        g += 1;
        d -= span;
    } else {
        d += G(g);
    }
    if (g > 12)
        g -= 12;
    else
        y -= 1;
    year = (y >= 1000) ? y + 622 : (y + 22) % 100;
    month = g;
    day = d;
}

void GregorianToSolar(int& year, int& month, int& day)
{
    requireMonth(month);
    int y = year;
    const int m = month;
    int d = day;
    if ((y % 4 == 0 && m > 2) || (y % 4 == 1 && m <= 2))
        d += 1;
    int k;
    if (d > G(m)) {
        d -= G(m);
        k = m + 1;
    } else {
        d += H(m);
        if (m == 3 && y % 4 == 1)
            d += 1;   // Esfand 30 of a leap year
        k = m;
    }
    int solarMonth = k + 9;
    if (solarMonth > 12) {
        solarMonth -= 12;
        y += 1;
    }
    if (y >= 1000)
        y -= 622;
    else if (y >= 22)
        y -= 22;
    else
        y += 78;
    year = y;
    month = solarMonth;
    day = d;
}

QDate SolarTextToDate(const QString& text)
{
    QStringView yearText, monthText, dayText;
    if (!splitThree(text, yearText, monthText, dayText))
        throw DateConversionError("not a Solar date: '" + text.toStdString() + "'");
    int y = wholeNumber(yearText);
    int m = wholeNumber(monthText);
    int d = wholeNumber(dayText);
    SolarToGregorian(y, m, d);
    const QDate date(y, m, d);
    if (!date.isValid())
        throw DateConversionError("no such Gregorian date for '" + text.toStdString() + "'");
    return date;
}

QString DateToSolarText(const QDate& date)
{
    if (!date.isValid())
        throw DateConversionError("invalid date");
    int y = date.year();
    int m = date.month();
    int d = date.day();
    GregorianToSolar(y, m, d);
    return QString::number(y) + u'/' + QString::number(m) + u'/' + QString::number(d);
}

QString NormaliseSolarDate(const QString& input)
{
    if (input.isEmpty())
        return QString();
    QString text = input;
    if (!text.contains(u'/') && IsAsciiDigits(text)) {
        if (text.size() == 6)
            text = text.left(2) + u'/' + text.mid(2, 2) + u'/' + text.mid(4, 2);
        else if (text.size() == 8)
            text = text.left(4) + u'/' + text.mid(4, 2) + u'/' + text.mid(6, 2);
    }
    if (text.startsWith(u'/'))
        return text;
    QStringView yearText, monthText, dayText;
    if (!splitThree(text, yearText, monthText, dayText))
        return QStringLiteral("//");
    const int y = wholeNumber(yearText);
    const int m = wholeNumber(monthText);
    const int d = wholeNumber(dayText);
    QString year = QString::number(y);
    QString month = QString::number(m);
    QString day = QString::number(d);
    if (y != 0 && m != 0 && d != 0) {
        // Two-digit years are of the 1300s; the digits are prefixed, not added.
        if (y < 100)
            year = QStringLiteral("13") + year;
        if (m < 10)
            month = u'0' + month;
        if (d < 10)
            day = u'0' + day;
    }
    return year + u'/' + month + u'/' + day;
}

bool IsValidSolarDate(const QString& text)
{
    if (text.size() < 6)
        return false;
    const qsizetype first = text.indexOf(u'/');   // 0-based: 2 or 4 means 3rd or 5th character
    if (first != 2 && first != 4)
        return false;
    const qsizetype second = text.indexOf(u'/', first + 1);
    if (second < 4 || second > 7)
        return false;
    const QStringView view(text);
    const QStringView yearText = view.left(first);
    const QStringView monthText = view.mid(first + 1, second - first - 1);
    const QStringView dayText = view.mid(second + 1);
    int y = 0, m = 0, d = 0;
    if (!IsAsciiDigits(yearText) || !IsAsciiDigits(monthText) || !IsAsciiDigits(dayText))
        return false;
    if (!parseWholeNumber(yearText, y) || !parseWholeNumber(monthText, m)
        || !parseWholeNumber(dayText, d))
        return false;
    if (y == 0 || m < 1 || m > 12 || d < 1 || d > 31)
        return false;
    if (m >= 7 && d > 30)
        return false;
    if (m == 12 && d == 30)
        return y > 74 ? y % 4 == 3 : y % 4 == 2;
    return true;
}

QString AddDaysToSolarDate(const QString& text, int days)
{
    int year = wholeNumber(QStringView(text).mid(0, 4));
    int month = wholeNumber(QStringView(text).mid(5, 2));
    int day = wholeNumber(QStringView(text).mid(8, 2));
    requireMonth(month);
    int esfand = 29;
    day += days;
    if (days >= 0) {
        esfand = esfandLength(year);
        while (day > solarMonthLength(month, esfand)) {
            day -= solarMonthLength(month, esfand);
            ++month;
            if (month > 12) {
                month = 1;
                ++year;
                esfand = esfandLength(year);
            }
        }
    } else {
        while (day < 1) {
            --month;
            if (month < 1) {
                month = 12;
                --year;
                esfand = esfandLength(year);
            }
            day += solarMonthLength(month, esfand);
        }
    }
    const QString joined = rightAligned(QString::number(year), 4) + u'/'
                           + rightAligned(QString::number(month), 2) + u'/'
                           + rightAligned(QString::number(day), 2);
    return blanksToZeros(joined, 10);
}

QString SolarTextToGregorianText(const QString& text)
{
    int y = 0, m = 0, d = 0;
    QStringView rest(text);
    qsizetype slash = rest.indexOf(u'/');
    if (slash >= 0) {
        y = wholeNumber(rest.left(slash));
        rest = rest.mid(slash + 1);
    }
    slash = rest.indexOf(u'/');
    if (slash >= 0) {
        m = wholeNumber(rest.left(slash));
        rest = rest.mid(slash + 1);
    }
    if (!rest.isEmpty())
        d = wholeNumber(rest);
    SolarToGregorian(y, m, d);
    return padLeft(QString::number(y), u'0', 4) + u'/' + padLeft(QString::number(m), u'0', 2) + u'/'
           + padLeft(QString::number(d), u'0', 2);
}

int SolarWeekdayIndex(int year, int month, int day)
{
    requireMonth(month);
    const int index = (year + year / 4 + kWeekdayOffset[month] + day) % 7;
    return index < 0 ? index + 7 : index;   // only reachable with negative days or years
}

// --- texts -------------------------------------------------------------------------------

const QStringList SolarMonthNames = {
    QStringLiteral("فروردين"),
    QStringLiteral("ارديبهشت"),
    QStringLiteral("خرداد"),
    QStringLiteral("تير"),
    QStringLiteral("مرداد"),
    QStringLiteral("شهريور"),
    QStringLiteral("مهر"),
    QStringLiteral("آبان"),
    QStringLiteral("آذر"),
    QStringLiteral("دي"),
    QStringLiteral("بهمن"),
    QStringLiteral("اسفند"),
};

const QStringList SolarWeekdayNames = {
    QStringLiteral("شنبه"),
    QStringLiteral("يكشنبه"),
    QStringLiteral("دوشنبه"),
    QStringLiteral("سه شنبه"),
    QStringLiteral("چهارشنبه"),
    QStringLiteral("پنج شنبه"),
    QStringLiteral("جمعه"),
};

QString TodaySolar()
{
    return NormaliseSolarDate(DateToSolarText(CurrentDateTime().date()));
}

QString FormatHourMinute(const QString& text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0)
        return QString();
    const QString hour = rightAligned(text.left(colon), 2);
    const QString minute = rightAligned(text.mid(colon + 1, 2), 2);
    return blanksToZeros(hour + u':' + minute, 5);
}

QString NowHourMinute()
{
    const QTime now = CurrentDateTime().time();
    return FormatHourMinute(QString::number(now.hour()) + u':' + QString::number(now.minute()));
}

QString NowHourMinuteSecond()
{
    // One reading of the clock, so the seconds belong to the same moment as hour and minute.
    const QTime now = CurrentDateTime().time();
    return FormatHourMinute(QString::number(now.hour()) + u':' + QString::number(now.minute()))
           + u':' + padLeft(QString::number(now.second()), u'0', 2);
}

QString SolarWeekdayName(const QString& solarText)
{
    if (solarText.isEmpty() || !IsValidSolarDate(solarText))
        return QString();
    const QString normal = NormaliseSolarDate(solarText);
    QStringView yearText, monthText, dayText;
    splitThree(normal, yearText, monthText, dayText);
    return SolarWeekdayNames.at(
        SolarWeekdayIndex(wholeNumber(yearText), wholeNumber(monthText), wholeNumber(dayText)));
}

QString SolarLongDate(const QString& solarText)
{
    const QString weekday = SolarWeekdayName(solarText);
    if (weekday.isEmpty() || solarText.size() < 10)
        return QString();
    int month = 0;
    if (!parseWholeNumber(QStringView(solarText).mid(5, 2), month) || month < 1 || month > 12)
        return QString();
    return weekday + u' ' + solarText.mid(8, 2) + u' ' + SolarMonthNames.at(month - 1) + u' '
           + solarText.left(4);
}

QString& CachedToday()
{
    static QString today;
    return today;
}

}  // namespace DateProc
