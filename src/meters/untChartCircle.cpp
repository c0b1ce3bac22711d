#include "meters/untChartCircle.h"

#include <QChart>
#include <QChartView>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPieSeries>
#include <QPieSlice>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("نمودار دایره ای");
const QString kSlotInitial = QStringLiteral("راهنمای نمودار :");

// One colour per legend slot; the slot's box carries the colour of its slice.
const QColor kSliceColours[PieSlotCount] = {
    QColor(0x15, 0x65, 0xc0), QColor(0x00, 0x89, 0x7b), QColor(0xf9, 0xa8, 0x25), QColor(0xd8, 0x43, 0x15),
    QColor(0x6a, 0x1b, 0x9a), QColor(0x2e, 0x7d, 0x32), QColor(0x54, 0x6e, 0x7a),
};

}  // namespace

TfrmChartCircle::TfrmChartCircle(QWidget* owner)
    : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("frmChartCircle"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    setLayoutDirection(Qt::RightToLeft);
    resize(1000, 640);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 10);
    layout->setSpacing(6);

    m_lblReportType = new QLabel(this);
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
    layout->addWidget(m_lblReportType);

    auto* body = new QHBoxLayout;
    body->setSpacing(10);

    auto* legend = new QFrame(this);
    legend->setObjectName(QStringLiteral("pnlLegend"));
    legend->setFrameShape(QFrame::StyledPanel);
    legend->setStyleSheet(QStringLiteral("#pnlLegend { background: #f7f9fb; border: 1px solid #d5dde5; border-radius: 4px; }"));
    legend->setFixedWidth(290);
    auto* slotLayout = new QVBoxLayout(legend);
    slotLayout->setContentsMargins(10, 10, 10, 10);
    slotLayout->setSpacing(3);
    for (int k = 0; k < PieSlotCount; ++k) {
        m_lbl[k] = new QLabel(kSlotInitial, legend);
        m_lbl[k]->setObjectName(QStringLiteral("lbl%1").arg(k + 1));
        m_edt[k] = new QLineEdit(legend);
        m_edt[k]->setObjectName(QStringLiteral("edt%1").arg(k + 1));
        m_edt[k]->setReadOnly(true);
        m_edt[k]->setAlignment(Qt::AlignCenter);
        m_edt[k]->setFocusPolicy(Qt::ClickFocus);
        m_edt[k]->setStyleSheet(QStringLiteral(
            "QLineEdit { background: white; border: 1px solid #c5ced8; border-right: 10px solid %1;"
            " padding: 3px; font-weight: bold; }").arg(kSliceColours[k].name()));
        slotLayout->addWidget(m_lbl[k]);
        slotLayout->addWidget(m_edt[k]);
        slotLayout->addSpacing(6);
    }
    slotLayout->addStretch(1);
    body->addWidget(legend);

    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(8, 8, 8, 8));
    m_view = new QChartView(chart, this);
    m_view->setObjectName(QStringLiteral("AdvChartView1"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setFocusPolicy(Qt::StrongFocus);
    body->addWidget(m_view, 1);

    layout->addLayout(body, 1);
}

void TfrmChartCircle::SetSourceTables(const ConsumptionRows& daily, const ConsumptionRows& weekly,
                                      const ConsumptionRows& monthly)
{
    m_daily = daily;
    m_weekly = weekly;
    m_monthly = monthly;
}

TfrmChartCircle* TfrmChartCircle::Open(QWidget* owner, const QString& reportType, int reportCount,
                                       const ConsumptionRows& daily, const ConsumptionRows& weekly,
                                       const ConsumptionRows& monthly)
{
    if (reportCount <= 0)
        return nullptr;
    auto* window = new TfrmChartCircle(owner);
    window->fReportType = reportType;
    window->ReportCount = reportCount;
    window->SetSourceTables(daily, weekly, monthly);
    window->showMaximized();
    return window;
}

void TfrmChartCircle::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmChartCircle::FormShow()
{
    m_data = BuildPieChartData(fReportType, ChartRowsFor(fReportType, m_daily, m_weekly, m_monthly));
    if (!m_data.known)
        return;

    QChart* chart = m_view->chart();
    m_view->setUpdatesEnabled(false);
    chart->removeAllSeries();

    auto* series = new QPieSeries;
    series->setObjectName(QStringLiteral("serConsumed"));
    series->setPieSize(0.78);
    for (int k = 1; k <= PieSlotCount; ++k) {
        const bool hidden = m_data.slotHidden(k);
        m_lbl[k - 1]->setVisible(!hidden);
        m_edt[k - 1]->setVisible(!hidden);
        if (hidden)
            continue;
        const PieSlot& slot = m_data.pieSlots.at(k - 1);
        m_lbl[k - 1]->setText(slot.label);
        m_edt[k - 1]->setText(slot.box);
        QPieSlice* slice = series->append(slot.box, slot.sliceValue());
        slice->setColor(kSliceColours[k - 1]);
        slice->setBorderColor(Qt::white);
        slice->setBorderWidth(2);
        slice->setLabelVisible(true);
        slice->setLabelPosition(QPieSlice::LabelInsideHorizontal);
        slice->setLabelColor(Qt::white);
        QFont f = slice->labelFont();
        f.setBold(true);
        f.setPointSizeF(qMax(10.0, f.pointSizeF() * 1.15));
        slice->setLabelFont(f);
    }
    chart->addSeries(series);

    m_view->setFocus();
    m_lblReportType->setText(m_data.heading);
    m_view->setUpdatesEnabled(true);
}
