#pragma once
// Date helpers of the server on top of the program's Solar Hijri calendar. Stored moments are
// Gregorian ISO texts (yyyy-MM-ddTHH:mm:ss, local time) beside the Solar date text of the same
// day, so that ranges compare and sort as plain text.

#include <QDate>
#include <QDateTime>
#include <optional>
#include <string>

namespace nemora::dates {

// Non-empty and ASCII digits only: the rule of date parts, also used for unit codes.
bool allDigits(const std::string& text);

// The clock of the calendar library, so that tests fix "now" for client and server alike.
QDateTime now();
QDate today();

// Solar yyyy/mm/dd of a Gregorian date.
std::string solarText(const QDate& date);
// Gregorian date of a padded Solar yyyy/mm/dd text; invalid QDate when it does not exist.
QDate gregorianOf(const std::string& solar);
// Solar yyyy/mm/01 of the month after the one named by a Solar yyyy/mm/dd text.
std::string nextSolarMonthStart(const std::string& solar);
// The first seven characters of a padded Solar date (yyyy/mm), as one sortable number.
int solarMonthKey(const std::string& solar);

// A period bound as the screens send it: empty means no bound; otherwise y/m/d with numeric
// parts, month 1..12 and day 1..31, padded to yyyy/mm/dd. Day 30 of month 12 and day 31 of
// months 7..11 pass on purpose: the screens' presets end every year on 12/30 and every month of
// the second half on day 30 or 31 without asking the calendar. nullopt when the text is no date.
std::optional<std::string> solarBound(const std::string& text);
// A Gregorian yyyy/mm/dd (or yyyy-mm-dd) that names an existing day of the year 1900 or later.
std::optional<QDate> gregorianDate(const std::string& text);
// A Gregorian moment "yyyy-mm-dd hh:mm[:ss[.zzz]]" ("/" separators accepted too).
std::optional<QDateTime> gregorianMoment(const std::string& text);

std::string isoText(const QDateTime& moment);        // yyyy-MM-ddTHH:mm:ss
std::string timeText(const QTime& time);              // HH:mm:ss
std::string solarMomentText(const QDateTime& moment); // yyyy/mm/dd HH:mm:ss

// The Gregorian day of a stored ISO moment (its first ten characters).
QDate dayOfIso(const std::string& iso);

// Whole days from `from` to `to` (positive when `to` is later).
int daysBetween(const QDate& from, const QDate& to);

}  // namespace nemora::dates
