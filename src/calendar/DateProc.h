#pragma once
// Solar Hijri calendar of the program: fixed-table conversion to and from Gregorian dates,
// normalisation and validation of typed dates, day arithmetic, and the date and time texts
// shown to the user. Works on plain integers and texts; nothing depends on the locale.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

namespace DateProc {

// Raised when a date text holds a part that is not a number, or names a day that does not exist.
class DateConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// --- the clock seam ------------------------------------------------------------------------
// Every routine that needs "now" asks here. Tests set a fixed moment (or a function) and
// clear it again; the program never sets it.
QDateTime CurrentDateTime();
void SetClock(std::function<QDateTime()> clock);   // an empty function restores the real clock
void SetFixedNow(const QDateTime& now);             // shorthand: the clock always answers `now`
void ResetClock();

// --- text rule -----------------------------------------------------------------------------
// Non-empty and every character "0" to "9": the rule of a typed date's parts, and the one the
// program's IsAllDigits text helper follows.
bool IsAsciiDigits(QStringView text);

// --- conversion --------------------------------------------------------------------------
// Both convert in place, with the program's fixed tables (no astronomical method).
void SolarToGregorian(int& year, int& month, int& day);
void GregorianToSolar(int& year, int& month, int& day);

// Solar text "y/m/d" to a date. Raises DateConversionError on a part that is not a number or a
// Gregorian date that does not exist.
QDate SolarTextToDate(const QString& text);
// A date as Solar text in plain decimal without leading zeros, e.g. 1403/1/5.
QString DateToSolarText(const QDate& date);

// Typed text to yyyy/mm/dd as a rule (see the rules in the .cpp). Raises DateConversionError when a
// part between the slashes is not a number.
QString NormaliseSolarDate(const QString& text);
bool IsValidSolarDate(const QString& text);
// text must be yyyy/mm/dd; days may be negative. Raises DateConversionError on another form.
QString AddDaysToSolarDate(const QString& text, int days);
// Solar text to Gregorian yyyy/mm/dd. Raises DateConversionError on a part that is not a number.
QString SolarTextToGregorianText(const QString& text);
// 0 Saturday ... 6 Friday. Raises DateConversionError for a month outside 1..12.
int SolarWeekdayIndex(int year, int month, int day);

// --- texts -------------------------------------------------------------------------------
// Month 1..12 -> name; index 0..6 (0 Saturday) -> name. Written with Arabic yeh and kaf.
extern const QStringList SolarMonthNames;    // 12 entries, [0] is month 1
extern const QStringList SolarWeekdayNames;  // 7 entries, [0] is Saturday

QString TodaySolar();                        // yyyy/mm/dd of the clock's date
QString FormatHourMinute(const QString& text);
QString NowHourMinute();                     // hh:mm
QString NowHourMinuteSecond();               // hh:mm:ss
QString SolarWeekdayName(const QString& solarText);   // empty when the text is empty or invalid
// The long date of the main window, e.g. "چهارشنبه 01 فروردين 1403", for a yyyy/mm/dd text;
// empty when the text is not a valid date.
QString SolarLongDate(const QString& solarText);

// The Solar date of the main window's long date as last built; empty at start.
QString& CachedToday();

}  // namespace DateProc
