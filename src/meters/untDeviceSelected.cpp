#include "meters/untDeviceSelected.h"

#include "core/MSGs.h"
#include "core/untDm.h"
#include "core/untGlobals.h"
#include "core/widgets/ListScreen.h"
#include "core/widgets/NemoraArt.h"
#include "meters/ContorStatusTexts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace T = DeviceSelectedText;

namespace {

MeterPicker& InstalledPicker()
{
    static MeterPicker picker;
    return picker;
}

ListScreenConfig PickerConfig()
{
    ListScreenConfig config;
    config.mode = ListMode::TimerOnlyNoIndicator;
    config.fields = {
        FieldDef(QStringLiteral("SerialNumber"), FieldType::Text, 15, T::SerialNumberTitle),
        FieldDef(QStringLiteral("Activated"), FieldType::Boolean, 0, T::ActivatedTitle),
        FieldDef(QStringLiteral("FileNumber"), FieldType::Text, 15, T::FileNumberTitle),
        FieldDef(QStringLiteral("OrganName"), FieldType::Text, 150, T::OrganNameTitle),
        FieldDef(QStringLiteral("ContractNo"), FieldType::Text, 20, T::ContractNoTitle),
    };
    config.columns = {
        ColumnDef(QStringLiteral("SerialNumber")),
        ColumnDef(QStringLiteral("FileNumber")),
        ColumnDef(QStringLiteral("ContractNo")),
        ColumnDef(QStringLiteral("OrganName"), QString(), {}, Qt::AlignLeft | Qt::AlignVCenter),
        ColumnDef(QStringLiteral("Activated")),
    };
    // The picker asks for the organisation's meters only; it sends no date range.
    config.request.method = Method::get_all_my_device_list;
    config.request.body = [] { return JsonBody().add(QStringLiteral("organ_id"), CurrentUser.OrganID); };
    config.reader.keys = {
        KeyBinding(QStringLiteral("SerialNumber"), ReadAs::Text),
        KeyBinding(QStringLiteral("FileNumber"), ReadAs::Text),
        KeyBinding(QStringLiteral("OrganName"), ReadAs::Text),
        KeyBinding(QStringLiteral("Activated"), ReadAs::Boolean),
        KeyBinding(QStringLiteral("ContractNo"), ReadAs::Text),
    };
    config.clipboardColumns = {0, 1};
    // The dialog runs its own first load: a failed or empty reply leaves the grid empty without
    // the list screens' error box.
    config.firstLoadDelayMs = -1;
    config.showRowCount = false;
    return config;
}

}  // namespace

TfrmDeviceSelected::TfrmDeviceSelected(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmDeviceSelected"));
    setWindowTitle(T::PickerCaption);
    setLayoutDirection(Qt::RightToLeft);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_grd = new ListGrid(this);
    m_grd->setObjectName(QStringLiteral("grd"));
    m_grd->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grd->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grd->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grd->setAlternatingRowColors(true);
    m_grd->verticalHeader()->setVisible(true);
    m_list = new ListScreen(PickerConfig(), m_grd, nullptr, this);
    // Serial, numbers and the check box take what they need; the unit name takes the rest.
    QHeaderView* header = m_grd->horizontalHeader();
    for (int c = 0; c < m_list->columns().count(); ++c)
        header->setSectionResizeMode(c, c == 3 ? QHeaderView::Stretch : QHeaderView::ResizeToContents);

    m_choose = new QPushButton(T::ChooseCaption, this);
    m_choose->setObjectName(QStringLiteral("AdvSmoothButton1"));
    m_choose->setDefault(true);
    m_choose->setMinimumSize(120, 34);
    m_cancel = new QPushButton(T::CancelCaption, this);
    m_cancel->setObjectName(QStringLiteral("AdvSmoothButton2"));
    m_cancel->setMinimumSize(120, 34);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_choose);
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(m_grd, 1);
    layout->addLayout(buttons);

    setStyleSheet(QStringLiteral(
        "QPushButton { border-radius: 6px; padding: 6px 18px; font-weight: bold; }"
        "QPushButton#AdvSmoothButton1 { background: %1; color: white; border: 1px solid %1; }"
        "QPushButton#AdvSmoothButton1:hover { background: %2; }"
        "QPushButton#AdvSmoothButton2 { background: white; color: %1; border: 1px solid %1; }")
                      .arg(NemoraColors::Deep.name(), NemoraColors::Sea.name()));

    resize(820, 480);
    setFixedSize(size());

    connect(m_choose, &QPushButton::clicked, this, &TfrmDeviceSelected::AdvSmoothButton1Click);
    connect(m_cancel, &QPushButton::clicked, this, &TfrmDeviceSelected::AdvSmoothButton2Click);
    connect(m_grd, &ListGrid::cellClicked, this, &TfrmDeviceSelected::grdCellClick);
    // A double click is the quick way to choose the row under the mouse.
    connect(m_grd, &QAbstractItemView::doubleClicked, this, [this] { AdvSmoothButton1Click(); });

    m_tmrLoad = new QTimer(this);
    m_tmrLoad->setObjectName(QStringLiteral("tmrLoad"));
    m_tmrLoad->setInterval(300);
    connect(m_tmrLoad, &QTimer::timeout, this, &TfrmDeviceSelected::tmrLoadTimer);
    m_tmrLoad->start();
}

TfrmDeviceSelected::~TfrmDeviceSelected() = default;

void TfrmDeviceSelected::tmrLoadTimer()
{
    // The status screen's repeated refresh may hold the gateway while this dialog is open: try
    // again at the next tick instead of losing the load.
    if (Dm && Dm->isBusy())
        return;
    m_tmrLoad->stop();
    if (!Dm)
        return;
    // However the load ends (a bad row raises), the grid comes back showing the rows read.
    ListRefreshFrame frame(m_grd, nullptr, false);
    struct Reopen {
        ListScreen* list;
        ~Reopen()
        {
            if (!list->ds().isOpen())
                list->openView();
        }
    } reopen{m_list};
    m_list->ds().close();
    bool aResult = false;
    QString aMessage;
    LoadListRows(m_list->vt(), m_list->config().request, m_list->config().reader, aResult, aMessage);
}

void TfrmDeviceSelected::AdvSmoothButton1Click()
{
    const QString serial = m_list->currentText(QStringLiteral("SerialNumber"));
    if (serial.isEmpty()) {
        ShowInfoBox(T::NothingChosen);
        return;
    }
    fSerialNumber = serial;
    fContractNo = m_list->currentText(QStringLiteral("ContractNo"));
    accept();
}

void TfrmDeviceSelected::AdvSmoothButton2Click()
{
    reject();
}

void TfrmDeviceSelected::grdCellClick(int row, int column)
{
    m_list->grdCellClick(row, column);
}

PickedMeter PickMeterRow(QWidget* parent)
{
    if (InstalledPicker())
        return InstalledPicker()(parent);
    QPointer<TfrmDeviceSelected> dialog = new TfrmDeviceSelected(parent ? parent->window() : nullptr);
    const bool chosen = dialog->exec() == QDialog::Accepted;
    PickedMeter picked;
    if (dialog) {
        if (chosen)
            picked = PickedMeter(dialog->fSerialNumber, dialog->fContractNo);
        delete dialog;
    }
    return picked;
}

QString PickMeter(QWidget* parent)
{
    return PickMeterRow(parent).SerialNumber;
}

MeterPicker SetMeterPicker(MeterPicker picker)
{
    MeterPicker previous = std::move(InstalledPicker());
    InstalledPicker() = std::move(picker);
    return previous;
}
