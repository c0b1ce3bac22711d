#include "core/widgets/ListScreen.h"

#include "calendar/DateProc.h"
#include "core/MSGs.h"
#include "core/untGlobals.h"
#include "core/widgets/ListTexts.h"
#include "core/widgets/Seams.h"

#include <QDir>
#include <QLabel>
#include <QTimer>

#include <stdexcept>

// --- the frame and the export, for any grid -------------------------------------------------

ListRefreshFrame::ListRefreshFrame(ListGrid* grid, QTimer* tmrLoad, bool showLoading)
    : m_grid(grid), m_timer(tmrLoad), m_showLoading(showLoading)
{
    if (m_grid) {
        if (m_showLoading)
            m_grid->setLoading(true);
        m_grid->beginUpdate();
    }
}

ListRefreshFrame::~ListRefreshFrame()
{
    if (m_grid) {
        m_grid->endUpdate();
        if (m_showLoading)
            m_grid->setLoading(false);
    }
    if (m_timer)
        m_timer->stop();
}

QString GridExportFileName(const QString& folder, const QString& prefix)
{
    QString path = QDir::toNativeSeparators(folder);
    if (!path.endsWith(QDir::separator()))
        path += QDir::separator();
    return path + prefix + QLatin1Char(' ') + DigitsOnly(DateProc::TodaySolar()) + QStringLiteral(".xlsx");
}

QString RunGridExport(ListGrid& grid, const QString& prefix, bool reopenFirst, qint64 rowsPerSheet)
{
    if (!ShowConfirmBox(ListTexts::ExportWarning() + QStringLiteral("\r\n") + ListTexts::ExportQuestion()))
        return QString();
    ListCursor* ds = grid.cursor();
    if (!ds || !grid.columns())
        return QString();
    if (reopenFirst && ds->isOpen()) {
        ds->open();
        grid.reload();
    }
    const QString folder = ChooseFolder(grid.window(), ListTexts::ExportFolderTitle());
    if (folder.isEmpty())
        return QString();
    const QString file = GridExportFileName(folder, prefix);
    const QString error = ExportGridToXlsx(file, *ds, *grid.columns(), rowsPerSheet);
    if (!error.isEmpty()) {
        ShowErrorBox(ListTexts::ExportFailed() + QStringLiteral("\r\n") + error);
        return QString();
    }
    ShowInfoBox(ListTexts::ExportDone());
    return file;
}

// --- ListScreen -----------------------------------------------------------------------------

ListScreen::ListScreen(ListScreenConfig config, ListGrid* grd, QLabel* lblCount, QObject* parent)
    : QObject(parent), m_config(std::move(config)), m_grd(grd), m_lblCount(lblCount), m_rowsPerSheet(XlsxMaxRowsPerSheet)
{
    m_vt = std::make_unique<ListTable>(m_config.fields);
    if (m_config.mode == ListMode::QueryBacked) {
        m_vq = std::make_unique<ListQuery>(*m_vt);
        m_ds.setQuery(m_vq.get());
    } else {
        m_ds.setTable(m_vt.get());
    }
    m_columns = ListColumns(m_config.columns);
    m_columns.bind(*m_vt);
    ResolveReaderFields(*m_vt, m_config.reader);   // a misdeclared reader fails here, not at the first load

    if (m_grd) {
        m_grd->setSource(&m_ds, &m_columns);
        connect(m_grd, &ListGrid::sortMarkingChanged, this, &ListScreen::grdSortMarkingChanged);
        connect(m_grd, &ListGrid::cellClicked, this, &ListScreen::grdCellClick);
        connect(m_grd, &ListGrid::currentRowChanged, this, &ListScreen::currentRowChanged);
    }

    m_tmrLoad = new QTimer(this);
    m_tmrLoad->setObjectName(QStringLiteral("tmrLoad"));
    m_tmrLoad->setSingleShot(true);
    connect(m_tmrLoad, &QTimer::timeout, this, &ListScreen::tmrLoadTimer);
    if (m_config.firstLoadDelayMs >= 0) {
        m_tmrLoad->setInterval(m_config.firstLoadDelayMs);
        m_tmrLoad->start();
    }
}

ListScreen::~ListScreen()
{
    // The grid may outlive the engine for a moment while its window is destroyed.
    if (m_grd && m_grd->cursor() == &m_ds)
        m_grd->setSource(nullptr, nullptr);
}

void ListScreen::runFrame(bool showLoading, bool countRows)
{
    // Whatever happens below, the grid comes back, the loading state ends, tmrLoad stops; and a
    // table shown directly shows the rows it holds, as a table that stayed open would.
    struct Always {
        ListScreen* screen;
        ListRefreshFrame frame;
        ~Always()
        {
            if (!screen->m_vq && !screen->m_ds.isOpen())
                screen->m_ds.open();
        }
    } always{this, ListRefreshFrame(m_grd, m_tmrLoad, showLoading)};

    m_ds.close();
    loadRoutine();
    if (!openView())
        throw std::runtime_error("list view: " + m_ds.lastError().toStdString());
    if (countRows)
        showCount();
}

void ListScreen::btnRefreshClick()
{
    runFrame(true, m_config.showRowCount);
    emit refreshed();
}

void ListScreen::tmrLoadTimer()
{
    // A tick while another call waits for its reply (its local event loop runs timers) would be
    // refused by the gateway and the first load lost: try again one interval later.
    if (Dm && Dm->isBusy()) {
        m_tmrLoad->start();
        return;
    }
    m_tmrLoad->stop();
    switch (m_config.mode) {
    case ListMode::TimerOnly: runFrame(true, false); break;
    case ListMode::TimerOnlyNoIndicator: runFrame(false, false); break;
    default: btnRefreshClick(); return;
    }
    emit refreshed();
}

int ListScreen::loadRoutine()
{
    bool aResult = false;
    QString aMessage;
    const int rows = LoadListRows(*m_vt, m_config.request, m_config.reader, aResult, aMessage);
    if (!aResult || rows == 0) {
        ShowErrorBox(aMessage);
        return 0;
    }
    if (m_config.afterLoad)
        m_config.afterLoad();
    return rows;
}

bool ListScreen::openView()
{
    if (m_vq)
        m_vq->rebuild(m_config.conditions ? m_config.conditions() : QList<SqlCondition>());
    return m_ds.open();
}

void ListScreen::showCount()
{
    if (m_lblCount)
        m_lblCount->setText(FormatCount(m_vt->rowCount()));
}

void ListScreen::AdvSmoothButton7Click()
{
    if (m_config.exportPrefix.isEmpty() || !m_grd)
        return;
    RunGridExport(*m_grd, m_config.exportPrefix, m_config.reopenBeforeExport, m_rowsPerSheet);
}

QString ListScreen::exportFileName(const QString& folder) const
{
    return GridExportFileName(folder, m_config.exportPrefix);
}

void ListScreen::grdCellClick(int row, int column)
{
    Q_UNUSED(row);
    if (!m_grd || !m_config.clipboardColumns.contains(column) || m_grd->rowCount() == 0)
        return;
    const RowView current = m_grd->currentRowView();
    if (!current.isValid() || column < 0 || column >= m_columns.count())
        return;
    SetClipboardText(current.text(m_columns.fieldIndex(column)));
}

void ListScreen::grdSortMarkingChanged()
{
    if (!m_grd)
        return;
    const QList<SortMarker> markers = m_grd->sortMarkers();
    QList<SortKey> keys;
    if (!markers.isEmpty() && markers.first().column >= 0 && markers.first().column < m_columns.count())
        keys.append({m_columns.fieldName(markers.first().column), markers.first().descending});
    if (keys.size() == m_ds.order().size() &&
        (keys.isEmpty() || (keys.first().field == m_ds.order().first().field &&
                            keys.first().descending == m_ds.order().first().descending)))
        return;   // a marker on a second column leaves the order as it is
    m_ds.setOrder(keys);
    if (!m_ds.isOpen())
        return;
    // The current row stays on the same record.
    const RowView current = m_grd->currentRowView();
    const qint64 rowid = current.isValid() ? current.rowid() : -1;
    m_ds.open();
    m_grd->reload();
    if (rowid >= 0)
        for (int i = 0; i < m_ds.count(); ++i)
            if (m_ds.rowidAt(i) == rowid) {
                m_grd->setCurrentRow(i);
                break;
            }
}

void ListScreen::First()
{
    if (m_grd)
        m_grd->First();
}

void ListScreen::Last()
{
    if (m_grd)
        m_grd->Last();
}

void ListScreen::Prior()
{
    if (m_grd)
        m_grd->Prior();
}

void ListScreen::Next()
{
    if (m_grd)
        m_grd->Next();
}

bool ListScreen::locate(const QString& field, const QString& prefix)
{
    const int row = m_ds.locate(field, prefix);
    if (row < 0 || !m_grd)
        return false;
    m_grd->setCurrentRow(row);
    return true;
}

RowView ListScreen::currentRow() const
{
    return m_grd ? m_grd->currentRowView() : RowView();
}

QString ListScreen::currentText(const QString& field) const
{
    const RowView row = currentRow();
    return row.isValid() ? row.text(field) : QString();
}

QVariant ListScreen::currentValue(const QString& field) const
{
    const RowView row = currentRow();
    return row.isValid() ? row.value(field) : QVariant();
}
