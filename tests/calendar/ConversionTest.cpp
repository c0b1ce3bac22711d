// Conversion, normalisation, validation and day arithmetic of Solar dates, against dates whose
// answers are known from the calendar tables.
#include "calendar/DateProc.h"

#include <gtest/gtest.h>

using namespace DateProc;

namespace {

struct Ymd {
    int y, m, d;
};

bool operator==(const Ymd& a, const Ymd& b) { return a.y == b.y && a.m == b.m && a.d == b.d; }

std::ostream& operator<<(std::ostream& out, const Ymd& v) { return out << v.y << '/' << v.m << '/' << v.d; }

Ymd toGregorian(Ymd v)
{
    SolarToGregorian(v.y, v.m, v.d);
    return v;
}

Ymd toSolar(Ymd v)
{
    GregorianToSolar(v.y, v.m, v.d);
    return v;
}

}  // namespace

TEST(DateProcConversion, SolarToGregorian)
{
    const struct {
        Ymd solar, gregorian;
    } cases[] = {
        {{1403, 1, 1}, {2024, 3, 20}},   // leap year begins on March 20
        {{1404, 1, 1}, {2025, 3, 21}},
        {{1403, 12, 30}, {2025, 3, 20}},  // Esfand 30 of a leap year
        {{1402, 12, 29}, {2024, 3, 19}},
        {{1406, 12, 10}, {2028, 2, 29}},  // Esfand reaching into a leap February
        {{1403, 6, 31}, {2024, 9, 21}},
        {{1402, 10, 1}, {2023, 12, 22}},  // Dey starts in December of the previous Gregorian year
        {{1402, 10, 11}, {2024, 1, 1}},
        {{1403, 11, 1}, {2025, 1, 20}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toGregorian(c.solar), c.gregorian) << "from " << c.solar;
}

TEST(DateProcConversion, GregorianToSolar)
{
    const struct {
        Ymd gregorian, solar;
    } cases[] = {
        {{2024, 3, 20}, {1403, 1, 1}},
        {{2024, 3, 19}, {1402, 12, 29}},
        {{2025, 3, 20}, {1403, 12, 30}},
        {{2025, 3, 21}, {1404, 1, 1}},
        {{2024, 1, 1}, {1402, 10, 11}},
        {{2025, 1, 1}, {1403, 10, 12}},
        {{2024, 2, 29}, {1402, 12, 10}},
        {{2024, 12, 31}, {1403, 10, 11}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toSolar(c.gregorian), c.solar) << "from " << c.gregorian;
}

TEST(DateProcConversion, MonthOutsideTablesRaises)
{
    for (int month : {0, 13, -1}) {
        Ymd v{1403, month, 1};
        EXPECT_THROW(SolarToGregorian(v.y, v.m, v.d), DateConversionError) << month;
        v = {2024, month, 1};
        EXPECT_THROW(GregorianToSolar(v.y, v.m, v.d), DateConversionError) << month;
        EXPECT_THROW(SolarWeekdayIndex(1403, month, 1), DateConversionError) << month;
    }
}

TEST(DateProcConversion, SolarTextAndDate)
{
    EXPECT_EQ(SolarTextToDate("1403/1/1"), QDate(2024, 3, 20));
    EXPECT_EQ(SolarTextToDate("1403/01/01"), QDate(2024, 3, 20));
    EXPECT_EQ(SolarTextToDate("1406/12/10"), QDate(2028, 2, 29));
    EXPECT_EQ(DateToSolarText(QDate(2024, 3, 20)), "1403/1/1");
    EXPECT_EQ(DateToSolarText(QDate(2025, 1, 1)), "1403/10/12");
    EXPECT_EQ(DateToSolarText(QDate(2025, 3, 20)), "1403/12/30");

    for (const char* bad : {"1402/ab/01", "1402/01", "", "1402/01/01/01", "1402/01/ 1", "x/1/1"})
        EXPECT_THROW(SolarTextToDate(bad), DateConversionError) << bad;
    // Day 45 of Farvardin lands on April 34th, which does not exist.
    EXPECT_THROW(SolarTextToDate("1402/1/45"), DateConversionError);
    EXPECT_THROW(DateToSolarText(QDate()), DateConversionError);
}

TEST(DateProcConversion, SolarTextToGregorianText)
{
    const struct {
        const char *solar, *gregorian;
    } cases[] = {
        {"1403/01/01", "2024/03/20"},
        {"1403/6/31", "2024/09/21"},
        {"1402/10/11", "2024/01/01"},
        {"1403/12/30", "2025/03/20"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SolarTextToGregorianText(c.solar), c.gregorian) << c.solar;
    EXPECT_THROW(SolarTextToGregorianText("1403/xx/01"), DateConversionError);
}

TEST(DateProcNormalise, Cases)
{
    const struct {
        const char *typed, *normal;
    } cases[] = {
        {"", ""},
        {"14020105", "1402/01/05"},
        {"1403/1/5", "1403/01/05"},
        {"99/1/1", "1399/01/01"},
        {"020105", "132/01/05"},     // "13" is put in front of the digits, not added
        {"5/1/1", "135/01/01"},
        {"1402/00/05", "1402/0/5"},  // a zero anywhere: nothing is padded
        {"1402/010/005", "1402/10/05"},
        {"1402", "//"},
        {"1402/05", "//"},
        {"1234567", "//"},           // digits of another length get no slashes
        {"/05/01", "/05/01"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormaliseSolarDate(c.typed), c.normal) << c.typed;
    for (const char* bad : {"1402/ab/01", "1402//01", "1402/01/"})
        EXPECT_THROW(NormaliseSolarDate(bad), DateConversionError) << bad;
}

TEST(DateProcValidate, Cases)
{
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"1403/12/30", true},  {"1402/12/30", false}, {"70/12/30", true},   {"71/12/30", false},
        {"75/12/30", true},    {"1403/07/31", false}, {"1403/06/31", true}, {"1403/1/1", true},
        {"140/01/01", false},  {"1403/10/", false},   {"1403//10", false},  {"1403/13/01", false},
        {"1403/00/01", false}, {"1403/01/00", false}, {"1403/01/32", false}, {"0000/01/01", false},
        {"1403/1/a", false},   {"1403/01/01/", false}, {"14/1/1", true},    {"1/1/1", false},
        {"1403/-1/01", false}, {"1403/01/99999999999", false}, {"", false}, {"1403/0001/01", false}, {"14/0001/01", true},
        {"1403/00001/1", false},  // second slash past the 8th character
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidSolarDate(c.text), c.valid) << c.text;
}

TEST(DateProcAddDays, Cases)
{
    const struct {
        const char* from;
        int days;
        const char* to;
    } cases[] = {
        {"1403/12/29", 1, "1403/12/30"},   {"1402/12/29", 1, "1403/01/01"},
        {"1404/01/01", -1, "1403/12/30"},  {"1403/01/01", -1, "1402/12/29"},
        {"1403/06/31", 1, "1403/07/01"},   {"1403/01/01", 365, "1403/12/30"},
        {"1403/01/01", 366, "1404/01/01"}, {"1404/01/01", -366, "1403/01/01"},
        {"1403/05/10", 0, "1403/05/10"},   {"1400/01/01", 1461, "1404/01/01"},
        {"1403/07/01", -1, "1403/06/31"},  {"0998/12/29", 1, "0999/01/01"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AddDaysToSolarDate(c.from, c.days), c.to) << c.from << " + " << c.days;
    for (const char* bad : {"1403/1/5", "", "1403/13/01"})
        EXPECT_THROW(AddDaysToSolarDate(bad, 1), DateConversionError) << bad;
}

TEST(DateProcWeekday, Index)
{
    EXPECT_EQ(SolarWeekdayIndex(1403, 1, 1), 4);   // Wednesday
    EXPECT_EQ(SolarWeekdayIndex(1404, 1, 1), 6);   // Friday
    EXPECT_EQ(SolarWeekdayIndex(1402, 10, 24), 1); // Sunday
}
