#pragma once
// What the two consumption charts draw, computed without a window so that tests can check it.
//
// Usage (the chart windows do this when shown):
//   const ConsumptionRows& rows = ChartRowsFor(fReportType, daily, weekly, monthly);
//   LineChartData line = BuildLineChartData(fReportType, ReportCount, rows);
//   PieChartData pie = BuildPieChartData(fReportType, rows);
//
// Rows come most recent first, as the status screen's tables hold them. The period kind is matched
// exactly (ReportTypeDaily, ReportTypeWeekly, ReportTypeMonthly); any other kind gives an empty
// result with `known` false, and the window keeps its initial heading.

#include "meters/ConsumptionData.h"

#include <QString>
#include <QVector>

// The table a period kind reads: daily, weekly or monthly; an empty list for an unknown kind.
const ConsumptionRows& ChartRowsFor(const QString& reportType, const ConsumptionRows& daily,
                                    const ConsumptionRows& weekly, const ConsumptionRows& monthly);

// Heading of the line window for a period kind (with its trailing blank); empty when unknown.
QString LineChartHeading(const QString& reportType);
// Heading of the pie window for a period kind (with its trailing blank); empty when unknown.
QString PieChartHeading(const QString& reportType);
// heading + " " + "از مورخ " + fromDate + " " + "تا مورخ " + toDate.
QString ChartHeadingWithRange(const QString& heading, const QString& fromDate, const QString& toDate);

// The value written beside a point of the line, printf "%g" style (6 significant digits).
QString ChartPointLabel(double value);

struct LineChartData {
    bool known = false;        // the period kind was one of the three
    QVector<double> values;    // values[i] is the point at position i; values[0] is the leading 0
    int visibleFrom = 1;       // first position in view
    int visibleTo = 0;         // last position in view: 31 for Daily, ReportCount otherwise
    QString heading;           // full heading text of lblReportType
};

// One point per row in order (positions 1, 2, ...) after the leading zero at position 0; the
// heading's range runs from the last row's FromDate to the first row's ToDate.
LineChartData BuildLineChartData(const QString& reportType, int reportCount, const ConsumptionRows& rows);

struct PieSlot {
    QString label;        // " از  " + FromDate + "  تا  " + ToDate  (the caption of lblk)
    QString box;          // Consumed as decimal text               (the text of edtk)
    qint32 consumed = 0;  // the row's Consumed
    // Size of the slice: Consumed, or 0 when Consumed is negative (an area cannot be negative;
    // the box still shows the true figure).
    double sliceValue() const { return consumed > 0 ? double(consumed) : 0.0; }
};

// Number of legend slots of the pie window.
constexpr int PieSlotCount = 7;

struct PieChartData {
    bool known = false;
    QVector<PieSlot> pieSlots;    // slot 1 .. n in row order; slots n+1 .. 7 are hidden
    QString heading;           // full heading text of lblReportType
    // True when slot k (1..7) has no row and its label and box are hidden.
    bool slotHidden(int k) const { return k > pieSlots.size(); }
};

// At most 7 slices for Daily and 6 for Weekly and Monthly, the most recent periods; the heading's
// range runs from the last slice's FromDate to the first row's ToDate.
PieChartData BuildPieChartData(const QString& reportType, const ConsumptionRows& rows);
