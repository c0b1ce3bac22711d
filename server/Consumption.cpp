#include "Consumption.h"

#include "Dates.h"

#include <algorithm>
#include <optional>

namespace nemora {

namespace {

struct Key {
    bool listed = false;     // false: the reading belongs to no listed period (future, current month)
    int64_t value = 0;       // grows with time
};

Key keyOf(PeriodKind kind, const Reading& r, const QDate& today)
{
    switch (kind) {
    case PeriodKind::Daily:
        return {r.day <= today, r.day.toJulianDay()};
    case PeriodKind::Weekly: {
        const int64_t back = r.day.daysTo(today);
        return {back >= 0, -(back / 7)};
    }
    case PeriodKind::Monthly:
        return {dates::solarMonthKey(r.solarDay) < dates::solarMonthKey(dates::solarText(today)),
                dates::solarMonthKey(r.solarDay)};
    }
    return {};
}

void label(PeriodKind kind, const Reading& first, int64_t key, const QDate& today, ConsumptionPeriod& period)
{
    switch (kind) {
    case PeriodKind::Daily:
        period.from = period.to = first.solarDay;
        break;
    case PeriodKind::Weekly: {
        const QDate end = today.addDays(key * 7);   // key is minus the number of whole weeks back
        period.to = dates::solarText(end);
        period.from = dates::solarText(end.addDays(-6));
        break;
    }
    case PeriodKind::Monthly:
        period.from = first.solarDay.substr(0, 8) + "01";
        period.to = dates::nextSolarMonthStart(first.solarDay);
        break;
    }
}

}  // namespace

std::vector<ConsumptionPeriod> consumptionPeriods(PeriodKind kind, const std::vector<Reading>& readings,
                                                  const QDate& today)
{
    std::vector<ConsumptionPeriod> periods;
    std::optional<int64_t> before;   // the reading that stood before the current period
    size_t i = 0;
    while (i < readings.size()) {
        const Key key = keyOf(kind, readings[i], today);
        size_t j = i;
        int64_t low = readings[i].wentVolume;
        int64_t high = readings[i].wentVolume;
        while (j < readings.size()) {
            const Key k = keyOf(kind, readings[j], today);
            if (k.listed != key.listed || k.value != key.value)
                break;
            low = std::min(low, readings[j].wentVolume);
            high = std::max(high, readings[j].wentVolume);
            ++j;
        }
        if (key.listed) {
            ConsumptionPeriod period;
            label(kind, readings[i], key.value, today, period);
            period.minWentVolume = before ? std::min(*before, low) : low;
            period.maxWentVolume = high;
            period.dataReceiveCount = static_cast<int64_t>(j - i);
            periods.push_back(std::move(period));
        }
        before = readings[j - 1].wentVolume;
        i = j;
    }
    std::reverse(periods.begin(), periods.end());
    return periods;
}

}  // namespace nemora
