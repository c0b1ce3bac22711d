#pragma once
// TChartWindowBase: what the two consumption chart windows share. Each is a non-modal window
// owned by the status screen that deletes itself when closed and goes with its owner; it shows
// the heading label lblReportType on top of its chart view AdvChartView1, receives the owner's
// three tables and builds its chart once, when first shown (later refreshes of the owner do not
// change an open chart).
//
// A window derives from it, adds its body under the heading (chartLayout()), wraps its view with
// adoptChartView(), builds its chart in FormShow() from sourceRows(), and opens with OpenChart<>().

#include "meters/ConsumptionData.h"

#include <QWidget>

class QChart;
class QChartView;
class QLabel;
class QVBoxLayout;

class TChartWindowBase : public QWidget {
    Q_OBJECT
public:
    QString fReportType;   // "Daily", "Weekly" or "Monthly"
    int ReportCount = 0;   // the owner's current row count, as filtered

    // The owner's three tables, most recent period first (replaces what was set before).
    void SetSourceTables(const ConsumptionRows& daily, const ConsumptionRows& weekly,
                         const ConsumptionRows& monthly);

    // Builds the chart from the inputs; runs on the first show.
    virtual void FormShow() = 0;

protected:
    // A window titled `caption`, laid out in `direction`, its heading reading `initialHeading`
    // until the chart is built.
    TChartWindowBase(QWidget* owner, const QString& objectName, const QString& caption,
                     Qt::LayoutDirection direction, const QString& initialHeading = QString());

    // Creates a `Window` owned by `owner`, gives it its inputs and shows it maximised; null (and
    // nothing shown) when the owner's current view has no rows.
    template <class Window>
    static Window* OpenChart(QWidget* owner, const QString& reportType, int reportCount,
                             const ConsumptionRows& daily, const ConsumptionRows& weekly,
                             const ConsumptionRows& monthly)
    {
        if (reportCount <= 0)
            return nullptr;
        auto* window = new Window(owner);
        window->fReportType = reportType;
        window->ReportCount = reportCount;
        window->SetSourceTables(daily, weekly, monthly);
        window->showMaximized();
        return window;
    }

    // A chart with no legend, no animation and the windows' margins, for a derived view.
    static QChart* NewChart();
    // Names `view` AdvChartView1, gives it antialiasing and keyboard focus, and keeps it as view().
    void adoptChartView(QChartView* view);

    void showEvent(QShowEvent* event) override;

    // The table of fReportType among the source tables; empty for an unknown kind.
    const ConsumptionRows& sourceRows() const;
    QVBoxLayout* chartLayout() const { return m_layout; }   // the heading is its first item
    QLabel* heading() const { return m_lblReportType; }
    QChartView* view() const { return m_view; }

private:
    ConsumptionRows m_daily, m_weekly, m_monthly;
    bool m_shown = false;
    QVBoxLayout* m_layout = nullptr;
    QLabel* m_lblReportType = nullptr;
    QChartView* m_view = nullptr;
};
