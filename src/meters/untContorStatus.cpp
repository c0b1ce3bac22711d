#include "meters/untContorStatus.h"

#include "calendar/DateProc.h"
#include "core/MSGs.h"
#include "core/untDm.h"
#include "core/widgets/ListScreen.h"
#include "core/widgets/NemoraArt.h"
#include "core/widgets/ScreenRegistry.h"
#include "core/widgets/SolarDateEdit.h"
#include "meters/ConsumptionReport.h"
#include "meters/ContorStatusTexts.h"
#include "meters/Gauge.h"
#include "meters/untChartCircle.h"
#include "meters/untChartLine.h"
#include "meters/untDeviceSelected.h"
#include "meters/untErrorInfo.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <sqlite3.h>

NEMORA_REGISTER_SCREEN(TfrmContorStatus);

using namespace ContorStatus;
namespace T = ContorStatusText;

namespace {

int Index(Period period)
{
    return static_cast<int>(period);
}

// The screen's icon buttons, drawn in code in the program's colours so that they need no files.
enum class Glyph { Pick, Day, Week, Month, Filter, ClearFilter, First, Previous, Next, Last };

QIcon GlyphIcon(Glyph glyph)
{
    const int size = 64;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = NemoraColors::Deep;
    QPen pen(ink, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);

    auto calendar = [&](const QString& number) {
        const QRectF page(8, 12, 48, 44);
        p.setBrush(Qt::white);
        p.drawRoundedRect(page, 6, 6);
        p.setBrush(ink);
        p.drawRect(QRectF(8, 12, 48, 12));
        p.drawLine(QPointF(20, 6), QPointF(20, 16));
        p.drawLine(QPointF(44, 6), QPointF(44, 16));
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(number.size() > 1 ? 22 : 26);
        p.setFont(font);
        p.drawText(QRectF(8, 24, 48, 32), Qt::AlignCenter, number);
    };
    auto funnel = [&] {
        QPainterPath path;
        path.moveTo(8, 10);
        path.lineTo(56, 10);
        path.lineTo(37, 32);
        path.lineTo(37, 52);
        path.lineTo(27, 58);
        path.lineTo(27, 32);
        path.closeSubpath();
        p.setBrush(NemoraColors::Foam);
        p.drawPath(path);
    };
    // Arrows point the way the rows run on a right-to-left screen: "first" lies to the right.
    auto triangle = [&](qreal tipX, qreal baseX) {
        QPainterPath path;
        path.moveTo(tipX, 32);
        path.lineTo(baseX, 14);
        path.lineTo(baseX, 50);
        path.closeSubpath();
        p.setBrush(ink);
        p.drawPath(path);
    };

    switch (glyph) {
    case Glyph::Pick:
        p.drawLine(QPointF(10, 14), QPointF(40, 14));
        p.drawLine(QPointF(10, 28), QPointF(30, 28));
        p.drawLine(QPointF(10, 42), QPointF(24, 42));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(40, 38), 11, 11);
        p.drawLine(QPointF(48, 46), QPointF(57, 55));
        break;
    case Glyph::Day: calendar(QStringLiteral("1")); break;
    case Glyph::Week: calendar(QStringLiteral("7")); break;
    case Glyph::Month: calendar(QStringLiteral("30")); break;
    case Glyph::Filter: funnel(); break;
    case Glyph::ClearFilter:
        funnel();
        p.setPen(QPen(QColor(0xc6, 0x28, 0x28), 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(42, 40), QPointF(58, 56));
        p.drawLine(QPointF(58, 40), QPointF(42, 56));
        break;
    case Glyph::First:
        triangle(44, 14);
        p.drawLine(QPointF(50, 14), QPointF(50, 50));
        break;
    case Glyph::Previous: triangle(46, 18); break;
    case Glyph::Next: triangle(18, 46); break;
    case Glyph::Last:
        triangle(20, 50);
        p.drawLine(QPointF(14, 14), QPointF(14, 50));
        break;
    }
    return QIcon(pixmap);
}

QToolButton* IconButton(QWidget* parent, const char* name, Glyph glyph, const QString& hint = QString())
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(GlyphIcon(glyph));
    button->setIconSize(QSize(22, 22));
    button->setToolTip(hint);
    button->setAutoRaise(false);
    button->setCursor(Qt::PointingHandCursor);
    button->setMinimumSize(34, 32);
    return button;
}

QLabel* CaptionLabel(QWidget* parent, const QString& text, const char* name = nullptr)
{
    auto* label = new QLabel(text, parent);
    if (name)
        label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLineEdit* ReportBox(QWidget* parent, const char* name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    box->setMinimumWidth(130);
    // Filled or empty, a box keeps its width, so the panel does not move when a report arrives.
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    box->setFocusPolicy(Qt::ClickFocus);
    return box;
}

QFrame* Card(QWidget* parent, const char* name)
{
    auto* card = new QFrame(parent);
    card->setObjectName(QString::fromLatin1(name));
    card->setProperty("card", true);
    return card;
}

QList<FieldDef> PeriodFields()
{
    return {
        FieldDef(QStringLiteral("FromDate"), FieldType::Text, 15, T::FromDateTitle),
        FieldDef(QStringLiteral("ToDate"), FieldType::Text, 15, T::ToDateTitle),
        FieldDef(QStringLiteral("MinWentVolume"), FieldType::Integer, 0, T::MinWentVolumeTitle),
        FieldDef(QStringLiteral("MaxWentVolume"), FieldType::Integer, 0, T::MaxWentVolumeTitle),
        FieldDef(QStringLiteral("DataReceiveCount"), FieldType::Text, 20, T::DataReceiveCountTitle),
        // Computed whenever a row is read, so it follows the readings and may be negative.
        FieldDef(QStringLiteral("Consumed"), FieldType::Integer, 0, T::ConsumedTitle,
                 QStringLiteral("MaxWentVolume - MinWentVolume")),
    };
}

QList<ColumnDef> PeriodColumns()
{
    return {
        ColumnDef(QStringLiteral("FromDate")),      ColumnDef(QStringLiteral("ToDate")),
        ColumnDef(QStringLiteral("MinWentVolume")), ColumnDef(QStringLiteral("MaxWentVolume")),
        ColumnDef(QStringLiteral("Consumed")),      ColumnDef(QStringLiteral("DataReceiveCount")),
    };
}

RowReader PeriodReader()
{
    RowReader reader;
    reader.keys = {
        KeyBinding(QStringLiteral("FromShamsiDate"), ReadAs::Text, QStringLiteral("FromDate")),
        KeyBinding(QStringLiteral("ToShamsiDate"), ReadAs::Text, QStringLiteral("ToDate")),
        KeyBinding(QStringLiteral("MinWentVolume"), ReadAs::Integer),
        KeyBinding(QStringLiteral("MaxWentVolume"), ReadAs::Integer),
        KeyBinding(QStringLiteral("DataReceiveCount"), ReadAs::Integer),   // stored as its decimal text
    };
    return reader;
}

const QString kExportPrefix = QStringLiteral("Consumed_List");

// The date filter as the table's row condition; the dates travel as bound values.
SqlCondition FilterCondition(const std::optional<DateFilter>& filter)
{
    if (!filter)
        return {};
    return {QStringLiteral("FromDate >= ? and ToDate <= ?"), {filter->from, filter->to}};
}

QString ColumnText(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? QString::fromUtf8(text) : QString();
}

// Rows of a period table in table order, optionally under its row filter and limited.
ConsumptionRows ReadPeriodRows(const ListTable& table, bool filtered, int limit = -1)
{
    QString sql = QStringLiteral("SELECT FromDate, ToDate, MinWentVolume, MaxWentVolume, DataReceiveCount FROM vt ");
    QVariantList values;
    if (filtered && !table.rowFilter().isEmpty()) {
        sql += QStringLiteral("WHERE (") + table.rowFilter().text + QStringLiteral(") ");
        values = table.rowFilter().values;
    }
    sql += QStringLiteral("ORDER BY rowid");
    if (limit >= 0)
        sql += QStringLiteral(" LIMIT ") + QString::number(limit);
    ConsumptionRows rows;
    table.select(sql, values, [&rows](sqlite3_stmt* statement) {
        ConsumptionRow row;
        row.FromDate = ColumnText(statement, 0);
        row.ToDate = ColumnText(statement, 1);
        row.MinWentVolume = sqlite3_column_int(statement, 2);
        row.MaxWentVolume = sqlite3_column_int(statement, 3);
        row.DataReceiveCount = ColumnText(statement, 4);
        rows.append(row);
    });
    return rows;
}

template <typename F>
struct ScopeExit {
    F f;
    ~ScopeExit() { f(); }
};
template <typename F>
ScopeExit<F> OnScopeExit(F f)
{
    return ScopeExit<F>{std::move(f)};
}

const char* const kStyle = R"(
TfrmContorStatus, QWidget#pnlContent { background: #e8f2fa; }
QFrame[card="true"] { background: #ffffff; border: 1px solid #c9d9e8; border-radius: 8px; }
QFrame[card="true"] QLabel { background: transparent; border: none; color: #222f3e; }
QLineEdit[readOnly="true"] { background: #f3f7fb; border: 1px solid #cfdbe7; border-radius: 4px;
    padding: 3px 6px; color: #0b4f8a; font-weight: bold; }
QLabel#lblUpdated { color: #4b5d70; }
QLabel#lblDailyValue, QLabel#lblWeeklyValue, QLabel#lblMonthlyValue { color: #0b4f8a; font-weight: bold; font-size: 12pt; }
QLabel#lblDailyDate, QLabel#lblWeeklyDate, QLabel#lblMonthlyDate { color: #5a6b7c; }
QLabel#lblDailyCaption, QLabel#lblWeeklyCaption, QLabel#lblMonthlyCaption { font-weight: bold; }
QLabel#lblAvrage { color: #0b4f8a; font-weight: bold; font-size: 11pt; }
QLabel#lblCount { font-weight: bold; }
QPushButton { border-radius: 6px; padding: 6px 16px; font-weight: bold; background: #ffffff;
    color: #0b4f8a; border: 1px solid #0b4f8a; }
QPushButton:hover { background: #e8f2fa; }
QPushButton:disabled, QToolButton:disabled { color: #9aa8b5; border-color: #c9d3dd; background: #f1f4f7; }
QPushButton#btnRefresh { background: #0b4f8a; color: #ffffff; }
QPushButton#btnRefresh:hover { background: #147dc2; }
QToolButton { background: #ffffff; border: 1px solid #c9d9e8; border-radius: 6px; padding: 3px; }
QToolButton:hover { background: #e8f2fa; border-color: #147dc2; }
QToolButton:checked { background: #d4e6f6; border: 2px solid #0b4f8a; }
QLabel:disabled { color: #9aa8b5; }
)";

}  // namespace

// A period's table with the cursor and columns the grid shows it through.
struct TfrmContorStatus::PeriodTable {
    PeriodTable()
        : vt(PeriodFields()), columns(PeriodColumns()), reader(PeriodReader())
    {
        columns.bind(vt);
        ResolveReaderFields(vt, reader);   // a misdeclared reader fails here, not at the first load
        ds.setTable(&vt);
    }
    ListTable vt;
    ListCursor ds;
    ListColumns columns;
    RowReader reader;
};

TfrmContorStatus::TfrmContorStatus(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TfrmContorStatus"));
    setWindowTitle(T::ScreenCaption);
    setLayoutDirection(Qt::RightToLeft);
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(QString::fromLatin1(kStyle));

    // One engine table per period, all three shown in turn on the one grid.
    for (Period period : AllPeriods)
        m_tables[size_t(Index(period))] = std::make_unique<PeriodTable>();
    m_grd = new ListGrid(this);
    m_grd->setObjectName(QStringLiteral("grd"));

    // The page scrolls instead of squeezing its boxes when the tab is made small.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrContent"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget(scroll);
    content->setObjectName(QStringLiteral("pnlContent"));
    content->setAttribute(Qt::WA_StyledBackground, true);
    scroll->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    top->addWidget(buildMeterChoice(), 0);
    top->addWidget(buildLastReport(), 5);
    top->addWidget(buildGauges(), 4);

    auto* page = new QVBoxLayout(content);
    page->setContentsMargins(10, 10, 10, 10);
    page->setSpacing(10);
    page->addLayout(top, 0);
    page->addWidget(buildDetails(), 1);

    // The daily table is on the grid from the start; the view's captions come with the first
    // refresh.
    m_grd->setSource(&current().ds, &current().columns);
    for (const auto& periodList : m_tables)
        periodList->ds.open();
    m_viewButton[size_t(Index(m_period))]->setChecked(true);

    m_tmr = new QTimer(this);
    m_tmr->setObjectName(QStringLiteral("tmr"));
    m_tmr->setInterval(FirstRefreshDelayMs);
    connect(m_tmr, &QTimer::timeout, this, &TfrmContorStatus::tmrTimer);
    m_tmr->start();
}

TfrmContorStatus::~TfrmContorStatus()
{
    // The grid goes with the child widgets, after the tables and cursors it reads.
    m_grd->setSource(nullptr, nullptr);
}

QWidget* TfrmContorStatus::buildMeterChoice()
{
    QFrame* card = Card(this, "pnlMeterChoice");
    auto* grid = new QGridLayout(card);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);

    m_rbSerial = new QRadioButton(T::SerialChoice, card);
    m_rbSerial->setObjectName(QStringLiteral("rbSerial"));
    m_rbSerial->setChecked(true);
    m_edtSerial = new QLineEdit(card);
    m_edtSerial->setObjectName(QStringLiteral("edtSerial"));
    m_edtSerial->setMinimumWidth(170);
    m_edtSerial->setAlignment(Qt::AlignCenter);
    m_edtSerial->setLayoutDirection(Qt::LeftToRight);
    // The picker buttons are named after the dialog they open.
    m_btnSerialSelected = IconButton(card, "btnSerialSelected", Glyph::Pick, DeviceSelectedText::PickerCaption);

    m_rbContractNo = new QRadioButton(T::ContractChoice, card);
    m_rbContractNo->setObjectName(QStringLiteral("rbContractNo"));
    m_edtContractNo = new QLineEdit(card);
    m_edtContractNo->setObjectName(QStringLiteral("edtContractNo"));
    m_edtContractNo->setAlignment(Qt::AlignCenter);
    m_edtContractNo->setLayoutDirection(Qt::LeftToRight);
    m_btnContractSelected =
        IconButton(card, "btnContractSelected", Glyph::Pick, DeviceSelectedText::PickerCaption);

    m_btnRefresh = new QPushButton(T::RefreshCaption, card);
    m_btnRefresh->setObjectName(QStringLiteral("btnRefresh"));
    m_btnRefresh->setMinimumHeight(36);
    m_btnRefresh->setCursor(Qt::PointingHandCursor);
    m_chkOnline = new QCheckBox(T::OnlineCaption, card);
    m_chkOnline->setObjectName(QStringLiteral("chkOnline"));
    m_lblUpdated = new QLabel(T::UpdatedCaption, card);
    m_lblUpdated->setObjectName(QStringLiteral("lblUpdated"));
    m_lblUpdated->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    grid->addWidget(m_rbSerial, 0, 0);
    grid->addWidget(m_edtSerial, 0, 1);
    grid->addWidget(m_btnSerialSelected, 0, 2);
    grid->addWidget(m_rbContractNo, 1, 0);
    grid->addWidget(m_edtContractNo, 1, 1);
    grid->addWidget(m_btnContractSelected, 1, 2);
    grid->addWidget(m_btnRefresh, 2, 0, 1, 3);
    grid->addWidget(m_chkOnline, 3, 0, 1, 3);
    grid->addWidget(m_lblUpdated, 4, 0, 1, 3);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(1, 1);

    auto* group = new QButtonGroup(card);
    group->addButton(m_rbSerial);
    group->addButton(m_rbContractNo);

    connect(m_rbSerial, &QRadioButton::clicked, this, &TfrmContorStatus::rbSerialClick);
    connect(m_rbContractNo, &QRadioButton::clicked, this, &TfrmContorStatus::rbContractNoClick);
    connect(m_btnSerialSelected, &QToolButton::clicked, this, &TfrmContorStatus::btnSerialSelectedClick);
    connect(m_btnContractSelected, &QToolButton::clicked, this, &TfrmContorStatus::btnSerialSelectedClick);
    connect(m_btnRefresh, &QPushButton::clicked, this, &TfrmContorStatus::btnRefreshClick);
    connect(m_chkOnline, &QCheckBox::clicked, this, &TfrmContorStatus::chkOnlineClick);
    connect(m_edtSerial, &QLineEdit::returnPressed, this, &TfrmContorStatus::btnRefreshClick);
    connect(m_edtContractNo, &QLineEdit::returnPressed, this, &TfrmContorStatus::btnRefreshClick);
    // A serial picked for a contract belongs to that contract only: once the operator types
    // another contract number, the serial box no longer names the meter asked for.
    connect(m_edtContractNo, &QLineEdit::textEdited, this, [this] {
        if (m_rbContractNo->isChecked())
            m_edtSerial->clear();
    });

    applyMeterChoiceRule();
    return card;
}

QWidget* TfrmContorStatus::buildLastReport()
{
    QFrame* card = Card(this, "pnlLastReport");
    auto* grid = new QGridLayout(card);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(7);

    m_edtReceiveDate = ReportBox(card, "edtReceiveDate");
    m_edtReceveTime = ReportBox(card, "edtReceveTime");
    m_edtWorkHours = ReportBox(card, "edtWorkHours");
    m_edtErrorCode = ReportBox(card, "edtErrorCode");
    m_btnShowError = new QPushButton(T::ShowErrorCaption, card);
    m_btnShowError->setObjectName(QStringLiteral("btnShowError"));
    m_btnShowError->setEnabled(false);
    m_btnShowError->setCursor(Qt::PointingHandCursor);
    m_edtWentVolume = ReportBox(card, "edtWentVolume");
    m_edtReturnVolume = ReportBox(card, "edtReturnVolume");
    m_edtBatteryVoltage = ReportBox(card, "edtBatteryVoltage");
    m_edtPercent = ReportBox(card, "edtPercent");
    m_edtDailyFlowMax = ReportBox(card, "edtDailyFlowMax");
    m_edtFluidTemperature = ReportBox(card, "edtFluidTemperature");
    m_edtSolenoidValveStatus = ReportBox(card, "edtSolenoidValveStatus");
    m_edtRSSI = ReportBox(card, "edtRSSI");
    m_edtSNR = ReportBox(card, "edtSNR");

    struct Pair {
        const QString& caption;
        const char* labelName;
        QWidget* box;
    };
    const Pair pairs[] = {
        {T::ReceiveDateLabel, "lblReceiveDate", m_edtReceiveDate},
        {T::ReceveTimeLabel, "lblReceveTime", m_edtReceveTime},
        {T::WorkHoursLabel, "lblWorkHours", m_edtWorkHours},
        {T::ErrorCodeLabel, "lblErrorCode", m_edtErrorCode},
        {T::ErrorListLabel, "lblShowError", m_btnShowError},
        {T::WentVolumeLabel, "lblWentVolume", m_edtWentVolume},
        {T::ReturnVolumeLabel, "lblReturnVolume", m_edtReturnVolume},
        {T::BatteryVoltageLabel, "lblBatteryVoltage", m_edtBatteryVoltage},
        {T::PercentLabel, "lblPercent", m_edtPercent},
        {T::DailyFlowMaxLabel, "lblDailyFlowMax", m_edtDailyFlowMax},
        {T::FluidTemperatureLabel, "lblFluidTemperature", m_edtFluidTemperature},
        {T::SolenoidValveLabel, "lblSolenoidValveStatus", m_edtSolenoidValveStatus},
    };
    const int rowsPerColumn = 7;
    int index = 0;
    for (const Pair& pair : pairs) {
        const int row = index % rowsPerColumn;
        const int column = (index / rowsPerColumn) * 3;
        grid->addWidget(CaptionLabel(card, pair.caption, pair.labelName), row, column);
        grid->addWidget(pair.box, row, column + 1);
        ++index;
    }
    // The radio figures are not Persian texts and keep their Latin captions.
    const std::pair<const char*, QLineEdit*> radio[] = {{"RSSI :", m_edtRSSI}, {"SNR :", m_edtSNR}};
    for (const auto& [caption, box] : radio) {
        const int row = index % rowsPerColumn;
        const int column = (index / rowsPerColumn) * 3;
        auto* label = CaptionLabel(card, QString::fromLatin1(caption));
        label->setObjectName(QStringLiteral("lbl") + box->objectName().mid(3));
        grid->addWidget(label, row, column);
        grid->addWidget(box, row, column + 1);
        ++index;
    }
    grid->setColumnMinimumWidth(2, 18);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(rowsPerColumn, 1);

    connect(m_btnShowError, &QPushButton::clicked, this, &TfrmContorStatus::btnShowErrorClick);
    // The dialog explains the code in the box, so it can be opened exactly while there is one;
    // an error code "0" counts as a code.
    connect(m_edtErrorCode, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_btnShowError->setEnabled(!text.isEmpty()); });
    return card;
}

QWidget* TfrmContorStatus::buildGauges()
{
    QFrame* card = Card(this, "pnlGauges");
    auto* row = new QHBoxLayout(card);
    row->setContentsMargins(10, 10, 10, 10);
    row->setSpacing(6);
    struct GaugeParts {
        const QString& caption;
        const char* captionName;
        const char* gaugeName;
        const char* valueName;
        const char* dateName;
    };
    const GaugeParts parts[] = {
        {T::DailyGaugeLabel, "lblDailyCaption", "GagetDaily", "lblDailyValue", "lblDailyDate"},
        {T::WeeklyGaugeLabel, "lblWeeklyCaption", "GagetWeekly", "lblWeeklyValue", "lblWeeklyDate"},
        {T::MonthlyGaugeLabel, "lblMonthlyCaption", "GagetMonthly", "lblMonthlyValue", "lblMonthlyDate"},
    };
    for (Period period : AllPeriods) {
        const GaugeParts& part = parts[Index(period)];
        auto* column = new QVBoxLayout;
        column->setSpacing(2);
        auto* caption = new QLabel(part.caption, card);
        caption->setObjectName(QString::fromLatin1(part.captionName));
        caption->setAlignment(Qt::AlignCenter);
        caption->setMinimumWidth(caption->sizeHint().width());
        auto* gauge = new TGauge(card);
        gauge->setObjectName(QString::fromLatin1(part.gaugeName));
        gauge->setMaximum(GaugeMaximum(period));
        gauge->setValue(0);
        gauge->setMinimumSize(140, 140);
        gauge->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        auto* value = new QLabel(QStringLiteral("0"), card);
        value->setObjectName(QString::fromLatin1(part.valueName));
        value->setAlignment(Qt::AlignCenter);
        auto* date = new QLabel(card);
        date->setObjectName(QString::fromLatin1(part.dateName));
        date->setAlignment(Qt::AlignCenter);
        // The period's dates wrap under the gauge instead of widening the card when they arrive.
        date->setWordWrap(true);
        date->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        date->setMinimumHeight(2 * date->fontMetrics().lineSpacing());
        column->addWidget(caption);
        column->addWidget(gauge, 1);
        column->addWidget(value);
        column->addWidget(date);
        row->addLayout(column, 1);
        m_gauge[size_t(Index(period))] = gauge;
        m_gaugeValue[size_t(Index(period))] = value;
        m_gaugeDate[size_t(Index(period))] = date;
    }
    return card;
}

QWidget* TfrmContorStatus::buildDetails()
{
    m_pnlDetailes = Card(this, "pnlDetailes");
    auto* column = new QVBoxLayout(m_pnlDetailes);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(8);

    // Views, charts, date filter and average.
    auto* bar = new QHBoxLayout;
    bar->setSpacing(6);
    m_viewButton[0] = IconButton(m_pnlDetailes, "btnShowDaily", Glyph::Day, T::DailyViewHint);
    m_viewButton[1] = IconButton(m_pnlDetailes, "AdvSmoothButton2", Glyph::Week, T::WeeklyViewHint);
    m_viewButton[2] = IconButton(m_pnlDetailes, "AdvSmoothButton3", Glyph::Month, T::MonthlyViewHint);
    m_viewButtons = new QButtonGroup(this);
    m_viewButtons->setExclusive(true);
    for (QToolButton* button : m_viewButton) {
        button->setCheckable(true);
        button->setIconSize(QSize(26, 26));
        button->setMinimumSize(40, 36);
        m_viewButtons->addButton(button);
        bar->addWidget(button);
    }
    bar->addSpacing(10);
    m_btnLineChart = new QPushButton(T::LineChartCaption, m_pnlDetailes);
    m_btnLineChart->setObjectName(QStringLiteral("AdvSmoothButton4"));
    m_btnPieChart = new QPushButton(T::PieChartCaption, m_pnlDetailes);
    m_btnPieChart->setObjectName(QStringLiteral("AdvSmoothButton1"));
    bar->addWidget(m_btnLineChart);
    bar->addWidget(m_btnPieChart);
    bar->addStretch(1);

    m_edtFromDate = new TSolarDateEdit(m_pnlDetailes);
    m_edtFromDate->setObjectName(QStringLiteral("edtFromDate"));
    m_edtFromDate->setMinimumWidth(130);
    m_edtToDate = new TSolarDateEdit(m_pnlDetailes);
    m_edtToDate->setObjectName(QStringLiteral("edtToDate"));
    m_edtToDate->setMinimumWidth(130);
    m_btnApplyFilter = IconButton(m_pnlDetailes, "AdvSmoothButton12", Glyph::Filter);
    m_btnClearFilter = IconButton(m_pnlDetailes, "AdvSmoothButton13", Glyph::ClearFilter);
    bar->addWidget(CaptionLabel(m_pnlDetailes, T::FromDateLabel, "lblFromDate"));
    bar->addWidget(m_edtFromDate);
    bar->addWidget(CaptionLabel(m_pnlDetailes, T::ToDateLabel, "lblToDate"));
    bar->addWidget(m_edtToDate);
    bar->addWidget(m_btnApplyFilter);
    bar->addWidget(m_btnClearFilter);
    bar->addSpacing(14);

    m_lblCaptionAvarage = new QLabel(T::AverageCaption, m_pnlDetailes);
    m_lblCaptionAvarage->setObjectName(QStringLiteral("lblCaptionAvarage"));
    m_lblAvrage = new QLabel(QStringLiteral("0"), m_pnlDetailes);
    m_lblAvrage->setObjectName(QStringLiteral("lblAvrage"));
    m_lblAvrage->setMinimumWidth(90);
    bar->addWidget(m_lblCaptionAvarage);
    bar->addWidget(m_lblAvrage);
    column->addLayout(bar);

    // The grid of the current view.
    m_grd->setParent(m_pnlDetailes);
    m_grd->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grd->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_grd->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grd->setAlternatingRowColors(true);
    m_grd->verticalHeader()->setVisible(true);
    m_grd->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_grd->setMinimumHeight(180);
    column->addWidget(m_grd, 1);

    // Export, report, count and row navigation.
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(6);
    m_btnExport = new QPushButton(T::ExportCaption, m_pnlDetailes);
    m_btnExport->setObjectName(QStringLiteral("AdvSmoothButton7"));
    m_btnPreview = new QPushButton(T::PreviewCaption, m_pnlDetailes);
    m_btnPreview->setObjectName(QStringLiteral("AdvSmoothButton8"));
    bottom->addWidget(m_btnExport);
    bottom->addWidget(m_btnPreview);
    bottom->addStretch(1);
    m_lblCount = new QLabel(m_pnlDetailes);
    m_lblCount->setObjectName(QStringLiteral("lblCount"));
    bottom->addWidget(m_lblCount);
    bottom->addStretch(1);
    m_nav[0] = IconButton(m_pnlDetailes, "AdvSmoothButton10", Glyph::First, T::FirstRowHint);
    m_nav[1] = IconButton(m_pnlDetailes, "AdvSmoothButton6", Glyph::Previous, T::PreviousRowHint);
    m_nav[2] = IconButton(m_pnlDetailes, "AdvSmoothButton11", Glyph::Next, T::NextRowHint);
    m_nav[3] = IconButton(m_pnlDetailes, "AdvSmoothButton9", Glyph::Last, T::LastRowHint);
    for (QToolButton* button : m_nav)
        bottom->addWidget(button);
    column->addLayout(bottom);

    for (QPushButton* button : {m_btnLineChart, m_btnPieChart, m_btnExport, m_btnPreview}) {
        button->setMinimumHeight(34);
        button->setCursor(Qt::PointingHandCursor);
    }

    connect(m_viewButton[0], &QToolButton::clicked, this, &TfrmContorStatus::btnShowDailyClick);
    connect(m_viewButton[1], &QToolButton::clicked, this, &TfrmContorStatus::AdvSmoothButton2Click);
    connect(m_viewButton[2], &QToolButton::clicked, this, &TfrmContorStatus::AdvSmoothButton3Click);
    connect(m_btnLineChart, &QPushButton::clicked, this, &TfrmContorStatus::AdvSmoothButton4Click);
    connect(m_btnPieChart, &QPushButton::clicked, this, &TfrmContorStatus::AdvSmoothButton1Click);
    connect(m_btnApplyFilter, &QToolButton::clicked, this, &TfrmContorStatus::AdvSmoothButton12Click);
    connect(m_btnClearFilter, &QToolButton::clicked, this, &TfrmContorStatus::AdvSmoothButton13Click);
    connect(m_edtFromDate, &TSolarDateEdit::editingFinished, this, &TfrmContorStatus::edtFromDateExit);
    connect(m_edtToDate, &TSolarDateEdit::editingFinished, this, &TfrmContorStatus::edtToDateExit);
    connect(m_btnExport, &QPushButton::clicked, this, &TfrmContorStatus::AdvSmoothButton7Click);
    connect(m_btnPreview, &QPushButton::clicked, this, &TfrmContorStatus::AdvSmoothButton8Click);
    connect(m_nav[0], &QToolButton::clicked, this, &TfrmContorStatus::AdvSmoothButton10Click);
    connect(m_nav[1], &QToolButton::clicked, this, &TfrmContorStatus::AdvSmoothButton6Click);
    connect(m_nav[2], &QToolButton::clicked, this, &TfrmContorStatus::AdvSmoothButton11Click);
    connect(m_nav[3], &QToolButton::clicked, this, &TfrmContorStatus::AdvSmoothButton9Click);
    connect(m_grd, &ListGrid::sortMarkingChanged, this, &TfrmContorStatus::applySortMarkers);
    return m_pnlDetailes;
}

void TfrmContorStatus::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_formShown) {
        m_formShown = true;
        FormShow();
    }
}

void TfrmContorStatus::FormShow()
{
    // Until a refresh names a meter there is nothing to view, filter or export.
    m_pnlDetailes->setEnabled(false);
}

// --- meter choice and refresh ------------------------------------------------------------------

void TfrmContorStatus::applyMeterChoiceRule()
{
    const bool bySerial = m_rbSerial->isChecked();
    const bool byContract = m_rbContractNo->isChecked();
    m_edtSerial->setEnabled(bySerial);
    m_btnSerialSelected->setEnabled(bySerial);
    m_btnContractSelected->setEnabled(byContract);
    m_edtContractNo->setEnabled(byContract);
    if (bySerial)
        m_edtContractNo->clear();
    else if (byContract)
        m_edtSerial->clear();
}

void TfrmContorStatus::rbSerialClick()
{
    applyMeterChoiceRule();
}

void TfrmContorStatus::rbContractNoClick()
{
    applyMeterChoiceRule();
}

void TfrmContorStatus::btnRefreshClick()
{
    if (m_refreshing)
        return;
    m_refreshing = true;
    m_grd->beginUpdate();
    // However the sequence ends (a reader may raise), the refresh is stamped and the timer
    // follows the check box.
    auto finish = OnScopeExit([this] {
        m_grd->endUpdate();
        m_refreshing = false;
        m_lblUpdated->setText(UpdatedText(DateProc::TodaySolar(), DateProc::NowHourMinuteSecond()));
        m_tmr->setInterval(RefreshIntervalMs);
        chkOnlineClick();
    });

    const std::optional<MeterKey> key =
        ChosenMeter(m_rbSerial->isChecked(), m_edtSerial->text(), m_edtContractNo->text());
    if (!key)
        return;
    LoadLastReport(*key);
    for (Period period : AllPeriods)
        LoadConsumptionList(period, *key);
    btnShowDailyClick();
    m_pnlDetailes->setEnabled(true);
    const QString today = DateProc::TodaySolar();
    m_edtFromDate->setText(YearStart(today));
    m_edtToDate->setText(today);
}

void TfrmContorStatus::tmrTimer()
{
    // A tick that arrives while a call waits (the gateway's loop keeps timers running) or while
    // a refresh shows a box would start a second, overlapping refresh.
    if (m_refreshing || (Dm && Dm->isBusy()))
        return;
    btnRefreshClick();
}

void TfrmContorStatus::chkOnlineClick()
{
    if (m_chkOnline->isChecked()) {
        if (!m_tmr->isActive())
            m_tmr->start();
    } else {
        m_tmr->stop();
    }
}

void TfrmContorStatus::btnSerialSelectedClick()
{
    const PickedMeter picked = PickMeterRow(this);
    m_edtSerial->setText(picked.SerialNumber);
    // Picked beside the contract box, the meter is asked for by its own contract number.
    if (m_rbContractNo->isChecked() && !picked.SerialNumber.isEmpty())
        m_edtContractNo->setText(picked.ContractNo);
    if (!m_edtSerial->text().isEmpty())
        btnRefreshClick();
}

void TfrmContorStatus::btnShowErrorClick()
{
    QPointer<TfrmErrorInfo> dialog = new TfrmErrorInfo(this);
    dialog->fDeviceSeial = m_edtSerial->text();
    dialog->fErrorCode = m_edtErrorCode->text();
    dialog->exec();
    delete dialog;
}

void TfrmContorStatus::clearLastReport()
{
    for (const QString& name : LastReportBoxes)
        if (auto* box = findChild<QLineEdit*>(name))
            box->clear();
}

void TfrmContorStatus::LoadLastReport(const MeterKey& key)
{
    if (!Dm)
        return;
    if (m_shownMeter != key) {
        clearLastReport();
        m_shownMeter = key;
    }
    bool aResult = false;
    QString aMessage;
    const std::optional<QJsonArray> data =
        Dm->CallPostMethod(LastReportMethod(key.kind), aResult, aMessage, MeterRequestBody(key));
    if (!aResult || !data)
        return;
    auto show = [this](const QString& name, const QString& text) {
        if (auto* box = findChild<QLineEdit*>(name))
            box->setText(text);
    };
    // From the last element to the first, so the first element is what stays on screen.
    for (qsizetype i = data->size() - 1; i >= 0; --i) {
        const LastReportTail tail = ReadLastReportRow(data->at(i), show);
        ShowBatteryPercent(tail.batteryVoltage);
        m_edtSolenoidValveStatus->setText(ValveText(tail.solenoidValveStatus));
    }
}

void TfrmContorStatus::ShowBatteryPercent(double voltage)
{
    m_edtPercent->setText(BatteryPercentText(voltage));
}

// --- consumption ----------------------------------------------------------------------------------

TfrmContorStatus::PeriodTable& TfrmContorStatus::periodTable(Period period) const
{
    return *m_tables[size_t(Index(period))];
}

ListTable& TfrmContorStatus::table(Period period) const
{
    return periodTable(period).vt;
}

std::optional<DateFilter> TfrmContorStatus::dateFilter(Period period) const
{
    const SqlCondition& condition = table(period).rowFilter();
    if (condition.isEmpty() || condition.values.size() != 2)
        return std::nullopt;
    return DateFilter{condition.values[0].toString(), condition.values[1].toString()};
}

ConsumptionRows TfrmContorStatus::periodRows(Period period) const
{
    return ReadPeriodRows(table(period), true);
}

ConsumptionRows TfrmContorStatus::gridRows() const
{
    ConsumptionRows rows;
    ListCursor& cursor = current().ds;
    if (!cursor.isOpen())
        return rows;
    cursor.forEach([&rows](int, const RowView& row) {
        ConsumptionRow r;
        r.FromDate = row.text(QStringLiteral("FromDate"));
        r.ToDate = row.text(QStringLiteral("ToDate"));
        r.MinWentVolume = qint32(row.integer(QStringLiteral("MinWentVolume")));
        r.MaxWentVolume = qint32(row.integer(QStringLiteral("MaxWentVolume")));
        r.DataReceiveCount = row.text(QStringLiteral("DataReceiveCount"));
        rows.append(r);
    });
    return rows;
}

void TfrmContorStatus::showGauge(Period period, const GaugeReading& reading)
{
    const size_t i = size_t(Index(period));
    m_gauge[i]->setValue(reading.value);
    m_gaugeDate[i]->setText(reading.dateText);
    m_gaugeValue[i]->setText(reading.valueText);
}

void TfrmContorStatus::LoadConsumptionList(Period period, const MeterKey& key)
{
    showGauge(period, GaugeReading{});
    PeriodTable& periodList = periodTable(period);
    periodList.ds.close();
    periodList.vt.clear();   // its date filter stays
    // The rows read before a bad one stay visible, as after any load.
    auto reopen = OnScopeExit([&periodList] { periodList.ds.open(); });
    if (!Dm)
        return;
    ListRequest request;
    request.method = ConsumptionMethod(period, key.kind);
    request.body = [key] { return MeterRequestBody(key); };
    bool aResult = false;
    QString aMessage;
    const int rows = LoadListRows(periodList.vt, request, periodList.reader, aResult, aMessage);
    if (!aResult || rows == 0)
        return;
    // The gauge reads the newest period, whatever the view's date filter hides.
    showGauge(period, GaugeReadingFor(period, ReadPeriodRows(periodList.vt, false, 1), DateProc::TodaySolar()));
}

void TfrmContorStatus::switchView(Period period)
{
    m_period = period;
    fReportType = ReportTypeName(period);
    m_viewButton[size_t(Index(period))]->setChecked(true);
    PeriodTable& periodList = periodTable(period);
    m_grd->setSource(&periodList.ds, &periodList.columns);
    ShowAverage();
    applySortMarkers();   // the markers on the titles order whichever table is shown
    m_lblCaptionAvarage->setText(AverageCaption(period));
    showCount();
}

void TfrmContorStatus::btnShowDailyClick()
{
    switchView(Period::Daily);
}

void TfrmContorStatus::AdvSmoothButton2Click()
{
    switchView(Period::Weekly);
}

void TfrmContorStatus::AdvSmoothButton3Click()
{
    switchView(Period::Monthly);
}

void TfrmContorStatus::ShowAverage()
{
    m_lblAvrage->setText(AverageText(AverageConsumed(periodRows(m_period))));
}

void TfrmContorStatus::showCount()
{
    m_lblCount->setText(CountText(table(m_period).filteredRowCount()));
}

void TfrmContorStatus::reopenCurrent()
{
    ListCursor& cursor = current().ds;
    cursor.close();
    cursor.open();
    m_grd->reload();
}

void TfrmContorStatus::applySortMarkers()
{
    QList<SortKey> keys;
    const ListColumns& columns = current().columns;
    for (const SortMarker& marker : m_grd->sortMarkers())
        if (marker.column >= 0 && marker.column < columns.count())
            keys.append(SortKey{columns.fieldName(marker.column), marker.descending});
    current().ds.setOrder(keys);
    reopenCurrent();
}

void TfrmContorStatus::AdvSmoothButton12Click()
{
    const DateFilterRequest request =
        RequestDateFilter(m_edtFromDate->text(), m_edtToDate->text(), DateProc::TodaySolar());
    m_edtFromDate->setText(request.fromText);
    m_edtToDate->setText(request.toText);
    if (!request.filter) {
        ShowErrorBox(T::StartAfterEndError);
        m_edtFromDate->setFocus();
        return;
    }
    table(m_period).setRowFilter(FilterCondition(request.filter));
    reopenCurrent();
    ShowAverage();
    showCount();
}

void TfrmContorStatus::AdvSmoothButton13Click()
{
    const QString today = DateProc::TodaySolar();
    m_edtFromDate->setText(YearStart(today));
    m_edtToDate->setText(today);
    table(m_period).setRowFilter({});
    reopenCurrent();
    ShowAverage();
    showCount();
}

void TfrmContorStatus::edtFromDateExit()
{
    m_edtFromDate->setText(TidySolarDateText(m_edtFromDate->text()));
}

void TfrmContorStatus::edtToDateExit()
{
    m_edtToDate->setText(TidySolarDateText(m_edtToDate->text()));
}

void TfrmContorStatus::AdvSmoothButton10Click()
{
    m_grd->First();
}

void TfrmContorStatus::AdvSmoothButton6Click()
{
    m_grd->Prior();
}

void TfrmContorStatus::AdvSmoothButton11Click()
{
    m_grd->Next();
}

void TfrmContorStatus::AdvSmoothButton9Click()
{
    m_grd->Last();
}

void TfrmContorStatus::AdvSmoothButton7Click()
{
    RunGridExport(*m_grd, kExportPrefix, false);
}

void TfrmContorStatus::AdvSmoothButton8Click()
{
    PrepareReport();
}

void TfrmContorStatus::PrepareReport()
{
    // The report lists what the grid shows, in the grid's order, under today's date and the
    // serial box (empty when the meter was asked for by contract number and not picked).
    PreviewConsumptionReport(m_edtSerial->text(), gridRows(), this);
}

void TfrmContorStatus::AdvSmoothButton4Click()
{
    TfrmChartLine::Open(this, fReportType, table(m_period).filteredRowCount(), periodRows(Period::Daily),
                        periodRows(Period::Weekly), periodRows(Period::Monthly));
}

void TfrmContorStatus::AdvSmoothButton1Click()
{
    TfrmChartCircle::Open(this, fReportType, table(m_period).filteredRowCount(), periodRows(Period::Daily),
                          periodRows(Period::Weekly), periodRows(Period::Monthly));
}
