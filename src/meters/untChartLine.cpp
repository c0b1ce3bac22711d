#include "meters/untChartLine.h"

#include <QChart>
#include <QChartView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

namespace {

const QString kCaption = QStringLiteral("نمودار خطی");
const QString kInitialHeading = QStringLiteral("نوع نمودار خطی");
const QString kPaneTitle = QStringLiteral("نمودار روزانه مصرف آب");
const QString kAxisTitle = QStringLiteral("میزان مصرف");

// Labels are kept readable: at most about this many position labels along the axis.
constexpr int kMaxPositionLabels = 31;

// A chart view that scrolls its window of positions with the wheel and the arrow keys, within the
// positions that have points.
class TScrollingChartView : public QChartView {
public:
    using QChartView::QChartView;

    QValueAxis* axis = nullptr;
    QLineSeries* series = nullptr;
    double first = 0;   // lowest position the window may start at
    double last = 0;    // highest position the window may end at

    void scrollBy(double positions)
    {
        if (!axis)
            return;
        const double span = axis->max() - axis->min();
        if (last - first <= span)
            return;
        double from = axis->min() + positions;
        from = qBound(first, from, last - span);
        axis->setRange(from, from + span);
    }

protected:
    // The values are written above their markers here rather than by the series, whose own labels
    // sit on top of the marker and cannot be moved clear of it.
    void drawForeground(QPainter* painter, const QRectF& rect) override
    {
        QChartView::drawForeground(painter, rect);
        if (!series || !axis)
            return;
        QChart* c = chart();
        const QRectF plot = c->mapRectToScene(c->plotArea());
        painter->save();
        painter->setClipRect(plot.adjusted(0, -c->plotArea().top(), 0, 0));
        QFont f = font();
        f.setPointSizeF(qMax(7.0, f.pointSizeF() * 0.85));
        painter->setFont(f);
        painter->setPen(QColor(0x26, 0x32, 0x38));
        const QFontMetricsF fm(f);
        const double lift = series->markerSize() / 2 + 3;
        for (const QPointF& pt : series->points()) {
            if (pt.x() < axis->min() || pt.x() > axis->max())
                continue;
            const QPointF at = c->mapToScene(c->mapToPosition(pt, series));
            const QString text = ChartPointLabel(pt.y());
            const double w = fm.horizontalAdvance(text);
            painter->drawText(QPointF(at.x() - w / 2, at.y() - lift - fm.descent()), text);
        }
        painter->restore();
    }
    void wheelEvent(QWheelEvent* event) override
    {
        const QPoint delta = event->angleDelta();
        const int steps = (delta.y() != 0 ? -delta.y() : delta.x()) / 120;
        if (steps != 0)
            scrollBy(steps);
        event->accept();
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Right: scrollBy(1); return;
        case Qt::Key_Left: scrollBy(-1); return;
        case Qt::Key_PageDown: scrollBy(axis ? axis->max() - axis->min() : 0); return;
        case Qt::Key_PageUp: scrollBy(axis ? axis->min() - axis->max() : 0); return;
        default: QChartView::keyPressEvent(event);
        }
    }
};

}  // namespace

TfrmChartLine::TfrmChartLine(QWidget* owner)
    // The line runs from the most recent period on the left, as a chart is read.
    : TChartWindowBase(owner, QStringLiteral("frmChartLine"), kCaption, Qt::LeftToRight, kInitialHeading)
{
    QChart* chart = NewChart();
    chart->setTitle(kPaneTitle);
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    titleFont.setPointSizeF(qMax(11.0, titleFont.pointSizeF() * 1.2));
    chart->setTitleFont(titleFont);
    auto* view = new TScrollingChartView(chart, this);
    adoptChartView(view);
    chartLayout()->addWidget(view, 1);
}

TfrmChartLine* TfrmChartLine::Open(QWidget* owner, const QString& reportType, int reportCount,
                                   const ConsumptionRows& daily, const ConsumptionRows& weekly,
                                   const ConsumptionRows& monthly)
{
    return OpenChart<TfrmChartLine>(owner, reportType, reportCount, daily, weekly, monthly);
}

void TfrmChartLine::FormShow()
{
    m_data = BuildLineChartData(fReportType, ReportCount, sourceRows());
    if (!m_data.known)
        return;
    heading()->setText(m_data.heading);

    auto* view = static_cast<TScrollingChartView*>(this->view());
    view->series = nullptr;   // about to be deleted with the chart's series
    view->axis = nullptr;
    QChart* chart = view->chart();
    view->setUpdatesEnabled(false);
    chart->removeAllSeries();
    for (QAbstractAxis* a : chart->axes())
        chart->removeAxis(a);

    auto* series = new QLineSeries;
    series->setObjectName(QStringLiteral("serConsumed"));
    double low = 0, high = 0;
    for (int i = 0; i < m_data.values.size(); ++i) {
        series->append(i, m_data.values[i]);
        low = qMin(low, m_data.values[i]);
        high = qMax(high, m_data.values[i]);
    }
    QPen pen(QColor(0x15, 0x65, 0xc0));
    pen.setWidthF(2.5);
    series->setPen(pen);
    series->setColor(QColor(0x15, 0x65, 0xc0));
    series->setPointsVisible(true);
    series->setMarkerSize(7);
    chart->addSeries(series);

    auto* axisX = new QValueAxis;
    axisX->setObjectName(QStringLiteral("axisPosition"));
    axisX->setLabelFormat(QStringLiteral("%d"));
    const int from = m_data.visibleFrom;
    const int to = qMax(m_data.visibleTo, from);
    // Half a position of air at both ends keeps the end points and their labels inside the pane.
    axisX->setRange(from - 0.5, to + 0.5);
    axisX->setTickType(QValueAxis::TicksDynamic);
    axisX->setTickAnchor(from);
    axisX->setTickInterval(std::ceil(double(to - from + 1) / kMaxPositionLabels));
    axisX->setGridLineVisible(false);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    // The value labels are drawn by the view: redraw them when the window of positions moves.
    connect(axisX, &QValueAxis::rangeChanged, view->viewport(), [view]() { view->viewport()->update(); });

    auto* axisY = new QValueAxis;
    axisY->setObjectName(QStringLiteral("axisConsumed"));
    axisY->setTitleText(kAxisTitle);
    axisY->setLabelFormat(QStringLiteral("%g"));
    // Room above the highest point for its label.
    const double span = qMax(1.0, high - low);
    axisY->setRange(low < 0 ? low - span * 0.08 : 0.0, high + span * 0.12);
    axisY->applyNiceNumbers();
    axisY->setMinorTickCount(1);
    QPen grid(QColor(0xe0, 0xe6, 0xec));
    axisY->setGridLinePen(grid);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);

    view->axis = axisX;
    view->series = series;
    view->first = from - 0.5;
    view->last = qMax(double(to), double(m_data.values.size() - 1)) + 0.5;

    view->setUpdatesEnabled(true);
}
