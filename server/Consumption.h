#pragma once
// Consumption periods computed from one meter's reports.
//
// A period lists the reports received on its days; its consumption is measured from the reading
// that stood before the period began, so a meter that reports once a day still shows what it used
// that day. Only periods with at least one report are listed, most recent first:
//  - daily: one row per day with reports; from and to are that day (the latest is today, or
//    yesterday for a meter that has not reported yet today);
//  - weekly: blocks of seven days counted back from today, so the latest is today-6 .. today;
//  - monthly: complete Solar months before the current one, labelled from the month's first
//    day to the first day of the next month, so the latest ends on the current month's first day.

#include <QDate>
#include <cstdint>
#include <string>
#include <vector>

namespace nemora {

// One report as the computation needs it; readings are passed in the order received.
struct Reading {
    QDate day;               // Gregorian day of receipt
    std::string solarDay;    // the same day, Solar yyyy/mm/dd
    int64_t wentVolume = 0;  // forward-volume counter, litres
};

// One row of a consumption list.
struct ConsumptionPeriod {
    std::string from;        // Solar yyyy/mm/dd
    std::string to;          // Solar yyyy/mm/dd
    int64_t minWentVolume = 0;
    int64_t maxWentVolume = 0;
    int64_t dataReceiveCount = 0;
};

enum class PeriodKind { Daily, Weekly, Monthly };

// The periods of one kind, most recent first; `today` anchors the weeks and ends the months.
std::vector<ConsumptionPeriod> consumptionPeriods(PeriodKind kind, const std::vector<Reading>& readings,
                                                  const QDate& today);

}  // namespace nemora
