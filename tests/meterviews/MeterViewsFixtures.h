#pragma once
// Consumption rows as the status screen holds them (most recent period first, consecutive periods),
// and readable failure output for texts.

#include "calendar/DateProc.h"
#include "meters/ConsumptionData.h"

#include <ostream>

// Failures print texts as text, not as arrays of characters.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// `count` periods of `length` days, the newest ending on `newestEnd`; row i consumed 10 * (i + 1)
// litres, read off a counter that grows towards the present.
inline ConsumptionRows MakeConsumptionRows(int count, int length, const QString& newestEnd = QStringLiteral("1403/05/31"))
{
    ConsumptionRows rows;
    QString end = newestEnd;
    for (int i = 0; i < count; ++i) {
        ConsumptionRow row;
        row.ToDate = end;
        row.FromDate = DateProc::AddDaysToSolarDate(end, -(length - 1));
        row.MinWentVolume = 100000 - 1000 * (i + 1);
        row.MaxWentVolume = row.MinWentVolume + 10 * (i + 1);
        row.DataReceiveCount = QString::number(24 * length);
        rows.append(row);
        end = DateProc::AddDaysToSolarDate(row.FromDate, -1);
    }
    return rows;
}
