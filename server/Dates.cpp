#include "Dates.h"

#include "calendar/DateProc.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace nemora::dates {

bool allDigits(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

namespace {

// Splits "a<sep>b<sep>c" where sep is one of the given characters; false unless three parts.
bool splitThree(const std::string& text, const char* separators, std::string& a, std::string& b, std::string& c)
{
    std::vector<std::string> parts(1);
    for (char ch : text) {
        if (std::string(separators).find(ch) != std::string::npos)
            parts.emplace_back();
        else
            parts.back() += ch;
    }
    if (parts.size() != 3)
        return false;
    a = parts[0];
    b = parts[1];
    c = parts[2];
    return allDigits(a) && allDigits(b) && allDigits(c) && a.size() <= 4 && b.size() <= 2 && c.size() <= 2;
}

std::string padded(int y, int m, int d)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", y, m, d);
    return buffer;
}

}  // namespace

QDateTime now()
{
    return DateProc::CurrentDateTime();
}

QDate today()
{
    return now().date();
}

std::string solarText(const QDate& date)
{
    int y = date.year();
    int m = date.month();
    int d = date.day();
    DateProc::GregorianToSolar(y, m, d);
    return padded(y, m, d);
}

QDate gregorianOf(const std::string& solar)
{
    std::string a, b, c;
    if (!splitThree(solar, "/", a, b, c))
        return {};
    int y = std::stoi(a);
    int m = std::stoi(b);
    int d = std::stoi(c);
    if (y < 1000 || m < 1 || m > 12)
        return {};
    DateProc::SolarToGregorian(y, m, d);
    return QDate(y, m, d);
}

std::string nextSolarMonthStart(const std::string& solar)
{
    int y = std::stoi(solar.substr(0, 4));
    int m = std::stoi(solar.substr(5, 2)) + 1;
    if (m > 12) {
        m = 1;
        ++y;
    }
    return padded(y, m, 1);
}

int solarMonthKey(const std::string& solar)
{
    return std::stoi(solar.substr(0, 4)) * 12 + std::stoi(solar.substr(5, 2)) - 1;
}

std::optional<std::string> solarBound(const std::string& text)
{
    std::string a, b, c;
    if (!splitThree(text, "/", a, b, c))
        return std::nullopt;
    const int y = std::stoi(a);
    const int m = std::stoi(b);
    const int d = std::stoi(c);
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > 31)
        return std::nullopt;
    return padded(y, m, d);
}

std::optional<QDate> gregorianDate(const std::string& text)
{
    std::string a, b, c;
    // A four-digit year from 1900 on: a Solar date sent by mistake (13xx, 14xx) is no Gregorian one.
    if (!splitThree(text, "/-", a, b, c) || a.size() != 4 || std::stoi(a) < 1900)
        return std::nullopt;
    const QDate date(std::stoi(a), std::stoi(b), std::stoi(c));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QDateTime> gregorianMoment(const std::string& text)
{
    const auto blank = text.find(' ');
    const std::string datePart = text.substr(0, blank);
    const auto date = gregorianDate(datePart);
    if (!date)
        return std::nullopt;
    QTime time(0, 0);
    if (blank != std::string::npos) {
        std::string rest = text.substr(blank + 1);
        const auto dot = rest.find('.');
        if (dot != std::string::npos) {
            if (!allDigits(rest.substr(dot + 1)))
                return std::nullopt;
            rest = rest.substr(0, dot);
        }
        std::vector<std::string> parts(1);
        for (char ch : rest) {
            if (ch == ':')
                parts.emplace_back();
            else
                parts.back() += ch;
        }
        if (parts.size() < 2 || parts.size() > 3)
            return std::nullopt;
        for (const auto& p : parts)
            if (!allDigits(p) || p.size() > 2)
                return std::nullopt;
        time = QTime(std::stoi(parts[0]), std::stoi(parts[1]), parts.size() == 3 ? std::stoi(parts[2]) : 0);
        if (!time.isValid())
            return std::nullopt;
    }
    return QDateTime(*date, time);
}

std::string isoText(const QDateTime& moment)
{
    return moment.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toStdString();
}

std::string timeText(const QTime& time)
{
    return time.toString(QStringLiteral("HH:mm:ss")).toStdString();
}

std::string solarMomentText(const QDateTime& moment)
{
    return solarText(moment.date()) + " " + timeText(moment.time());
}

QDate dayOfIso(const std::string& iso)
{
    if (iso.size() < 10)
        return {};
    return QDate(std::atoi(iso.substr(0, 4).c_str()), std::atoi(iso.substr(5, 2).c_str()),
                 std::atoi(iso.substr(8, 2).c_str()));
}

int daysBetween(const QDate& from, const QDate& to)
{
    return static_cast<int>(from.daysTo(to));
}

}  // namespace nemora::dates
