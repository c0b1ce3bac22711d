#pragma once
// TfrmChartLine: a non-modal window with a line of the consumption per period.
//
// Usage (status screen, "نمودار خطی"):
//   if (TfrmChartLine::Open(this, fReportType, rowCountAsFiltered, dailyRows, weeklyRows, monthlyRows))
//       ...;   // null when the current view has no rows: nothing opens
// or by hand:
//   auto* w = new TfrmChartLine(this);
//   w->fReportType = fReportType; w->ReportCount = n;
//   w->SetSourceTables(dailyRows, weeklyRows, monthlyRows);
//   w->showMaximized();
// The window deletes itself when closed, and goes with its owner. It reads its rows once, when it
// is first shown; later refreshes of the owner do not change it. Several may be open at once.
// Controls: lblReportType (heading), AdvChartView1 (QChartView). The mouse wheel or the arrow keys
// scroll the line when it has more periods than fit.

#include "meters/ChartData.h"
#include "meters/ChartWindowBase.h"

class TfrmChartLine : public TChartWindowBase {
    Q_OBJECT
public:
    explicit TfrmChartLine(QWidget* owner);

    // Creates, fills and shows a window owned by `owner`; null (and nothing shown) when reportCount
    // is 0.
    static TfrmChartLine* Open(QWidget* owner, const QString& reportType, int reportCount,
                               const ConsumptionRows& daily, const ConsumptionRows& weekly,
                               const ConsumptionRows& monthly);

    // Builds the chart from the inputs; runs on the first show.
    void FormShow() override;
    // What the chart was built from (valid after FormShow).
    const LineChartData& chartData() const { return m_data; }

private:
    LineChartData m_data;
};
