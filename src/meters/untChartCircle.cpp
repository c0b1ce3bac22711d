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
    : TChartWindowBase(owner, QStringLiteral("frmChartCircle"), kCaption, Qt::RightToLeft)
{
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

    auto* view = new QChartView(NewChart(), this);
    adoptChartView(view);
    body->addWidget(view, 1);

    chartLayout()->addLayout(body, 1);
}

TfrmChartCircle* TfrmChartCircle::Open(QWidget* owner, const QString& reportType, int reportCount,
                                       const ConsumptionRows& daily, const ConsumptionRows& weekly,
                                       const ConsumptionRows& monthly)
{
    return OpenChart<TfrmChartCircle>(owner, reportType, reportCount, daily, weekly, monthly);
}

void TfrmChartCircle::FormShow()
{
    m_data = BuildPieChartData(fReportType, sourceRows());
    if (!m_data.known)
        return;

    QChartView* view = this->view();
    QChart* chart = view->chart();
    view->setUpdatesEnabled(false);
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

    view->setFocus();
    heading()->setText(m_data.heading);
    view->setUpdatesEnabled(true);
}
