#pragma once
// TfrmChartCircle: a non-modal window with a pie of the most recent periods and a legend of seven
// slots (lbl1..lbl7 above the read-only boxes edt1..edt7).
//
// Usage (status screen, "نمودار دایره ای"):
//   TfrmChartCircle::Open(this, fReportType, rowCountAsFiltered, dailyRows, weeklyRows, monthlyRows);
// or by hand as TfrmChartLine (fReportType, ReportCount, SetSourceTables, showMaximized).
// The window deletes itself when closed, and goes with its owner; it reads its rows once, when
// first shown. Controls: lblReportType, AdvChartView1, lbl1..lbl7, edt1..edt7.

#include "meters/ChartData.h"
#include "meters/ChartWindowBase.h"

class QLabel;
class QLineEdit;

class TfrmChartCircle : public TChartWindowBase {
    Q_OBJECT
public:
    explicit TfrmChartCircle(QWidget* owner);

    // Creates, fills and shows a window owned by `owner`; null when reportCount is 0.
    static TfrmChartCircle* Open(QWidget* owner, const QString& reportType, int reportCount,
                                 const ConsumptionRows& daily, const ConsumptionRows& weekly,
                                 const ConsumptionRows& monthly);

    // Builds the pie and the legend from the inputs; runs on the first show.
    void FormShow() override;
    const PieChartData& chartData() const { return m_data; }

private:
    PieChartData m_data;
    QLabel* m_lbl[PieSlotCount] = {};
    QLineEdit* m_edt[PieSlotCount] = {};
};
