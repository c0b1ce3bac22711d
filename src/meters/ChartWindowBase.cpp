#include "meters/ChartWindowBase.h"

#include "meters/ChartData.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QVBoxLayout>

TChartWindowBase::TChartWindowBase(QWidget* owner, const QString& objectName, const QString& caption,
                                   Qt::LayoutDirection direction, const QString& initialHeading)
    : QWidget(owner, Qt::Window)
{
    setObjectName(objectName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    setLayoutDirection(direction);
    resize(1000, 640);

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(10, 8, 10, 10);
    m_layout->setSpacing(6);

    m_lblReportType = new QLabel(initialHeading, this);
    m_lblReportType->setObjectName(QStringLiteral("lblReportType"));
    // Absolute: a Persian heading would otherwise count its own direction and swap the sides.
    m_lblReportType->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    QFont headingFont = m_lblReportType->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
    m_lblReportType->setFont(headingFont);
    m_lblReportType->setStyleSheet(QStringLiteral(
        "QLabel { color: #0d3c61; background: #e8f1fa; border: 1px solid #c5d9ec; border-radius: 4px;"
        " padding: 6px 10px; }"));
    m_layout->addWidget(m_lblReportType);
}

void TChartWindowBase::SetSourceTables(const ConsumptionRows& daily, const ConsumptionRows& weekly,
                                       const ConsumptionRows& monthly)
{
    m_daily = daily;
    m_weekly = weekly;
    m_monthly = monthly;
}

QChart* TChartWindowBase::NewChart()
{
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(8, 8, 8, 8));
    return chart;
}

void TChartWindowBase::adoptChartView(QChartView* view)
{
    view->setObjectName(QStringLiteral("AdvChartView1"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setFocusPolicy(Qt::StrongFocus);
    m_view = view;
}

void TChartWindowBase::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The chart is read once: a later refresh of the owner does not change an open chart.
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

const ConsumptionRows& TChartWindowBase::sourceRows() const
{
    return ChartRowsFor(fReportType, m_daily, m_weekly, m_monthly);
}
