#pragma once
// One consumption period of a meter as the status screen holds it, and the period kinds.
// Shared by the status screen, its charts and its printable report.

#include <QString>
#include <QVector>

struct ConsumptionRow {
    QString FromDate;          // first day of the period, yyyy/mm/dd
    QString ToDate;            // last day of the period, yyyy/mm/dd
    qint32 MinWentVolume = 0;  // lowest forward-volume reading in the period
    qint32 MaxWentVolume = 0;  // highest forward-volume reading in the period
    QString DataReceiveCount;  // number of reports received, as decimal text
    // Calculated on every read, never stored: may be negative when the server sends max < min.
    qint32 Consumed() const { return MaxWentVolume - MinWentVolume; }
};
using ConsumptionRows = QVector<ConsumptionRow>;

// The status screen's period kinds, matched exactly (letter case included).
inline const QString ReportTypeDaily = QStringLiteral("Daily");
inline const QString ReportTypeWeekly = QStringLiteral("Weekly");
inline const QString ReportTypeMonthly = QStringLiteral("Monthly");
