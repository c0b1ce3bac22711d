#include "core/widgets/ListGrid.h"

#include "core/widgets/ListTexts.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>

// --- ListModel ------------------------------------------------------------------------------

ListModel::ListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ListModel::setSource(ListCursor* cursor, const ListColumns* columns)
{
    beginResetModel();
    m_cursor = cursor;
    m_columns = columns;
    m_markerTexts.clear();
    m_rows = (!m_suspended && m_cursor && m_cursor->isOpen()) ? m_cursor->count() : 0;
    endResetModel();
}

void ListModel::suspend()
{
    if (m_suspended)
        return;
    beginResetModel();
    m_suspended = true;
    m_rows = 0;
    endResetModel();
}

void ListModel::resume()
{
    m_suspended = false;
    reload();
}

void ListModel::reload()
{
    beginResetModel();
    m_rows = (!m_suspended && m_cursor && m_cursor->isOpen()) ? m_cursor->count() : 0;
    endResetModel();
}

void ListModel::setMarkerTexts(const QStringList& suffixes)
{
    m_markerTexts = suffixes;
    if (columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return (parent.isValid() || !m_columns) ? 0 : m_columns->count();
}

QString ListModel::cellText(int row, int column) const
{
    if (!m_columns || row < 0 || row >= m_rows || column < 0 || column >= m_columns->count())
        return QString();
    const RowView view = m_cursor->row(row);
    if (!view.isValid())
        return QString();
    return m_columns->displayText(column, view);
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_columns || index.row() >= m_rows)
        return QVariant();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        if (m_columns->isCheckBox(column))
            return QVariant();
        return cellText(index.row(), column);
    case Qt::CheckStateRole:
        if (!m_columns->isCheckBox(column))
            return QVariant();
        return m_cursor->row(index.row()).boolean(m_columns->fieldIndex(column)) ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        return int(m_columns->column(column).alignment | Qt::AlignVCenter);
    default: return QVariant();
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return QString::number(section + 1);   // record numbers
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        return QVariant();
    }
    if (!m_columns || section < 0 || section >= m_columns->count())
        return QVariant();
    if (role == Qt::DisplayRole) {
        // A two-level title "upper | lower" is shown on two lines.
        QString title = m_columns->title(section);
        title.replace(QStringLiteral(" | "), QStringLiteral("\n"));
        if (section < m_markerTexts.size())
            title += m_markerTexts.at(section);
        return title;
    }
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return QVariant();
}

Qt::ItemFlags ListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

// --- ListGrid -------------------------------------------------------------------------------

ListGrid::ListGrid(QWidget* parent) : QTableView(parent), m_model(new ListModel(this))
{
    setObjectName(QStringLiteral("grd"));
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setSortingEnabled(false);
    // Uniform heights: the view never measures rows, whatever their number.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);

    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) {
                if (m_sortable)
                    markColumn(column, QGuiApplication::keyboardModifiers() & Qt::ControlModifier);
            });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit cellClicked(index.row(), index.column());
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) { emit currentRowChanged(current.isValid() ? current.row() : -1); });
}

void ListGrid::setSource(ListCursor* cursor, const ListColumns* columns)
{
    m_filters.clear();
    if (cursor) {
        const bool filtered = !cursor->columnFilters().isEmpty();
        cursor->setColumnFilters(columns, {});
        if (filtered && cursor->isOpen())
            cursor->open();
    }
    m_markers.clear();
    m_model->setSource(cursor, columns);
    updateMarkerTexts();
    m_fitted = false;
    fitColumns();
    afterReset();
}

void ListGrid::fitColumns()
{
    const ListColumns* cols = columns();
    if (!cols)
        return;
    // A sample of rows is enough: the grid never measures every row of a large table.
    constexpr int SampleRows = 50;
    const int rows = qMin(m_model->rowCount(), SampleRows);
    const QFontMetrics header(horizontalHeader()->font());
    for (int c = 0; c < cols->count(); ++c) {
        if (cols->column(c).width > 0) {
            setColumnWidth(c, cols->column(c).width);
            continue;
        }
        int width = 60;
        for (const QString& line : m_model->headerData(c, Qt::Horizontal).toString().split(QLatin1Char('\n')))
            width = qMax(width, header.horizontalAdvance(line) + 28);
        for (int r = 0; r < rows; ++r)
            width = qMax(width, fontMetrics().horizontalAdvance(m_model->cellText(r, c)) + 16);
        setColumnWidth(c, qMin(width, 400));
    }
    if (rows > 0)
        m_fitted = true;
}

void ListGrid::afterReset()
{
    if (!m_fitted && m_model->rowCount() > 0)
        fitColumns();
    if (m_model->rowCount() > 0)
        setCurrentRow(0);
    emit currentRowChanged(currentRow());
}

void ListGrid::beginUpdate()
{
    if (m_updateDepth++ == 0)
        m_model->suspend();
}

void ListGrid::endUpdate()
{
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth == 0) {
        m_model->resume();
        afterReset();
    }
}

void ListGrid::reload()
{
    m_model->reload();
    afterReset();
}

void ListGrid::setLoading(bool loading)
{
    if (m_loading == loading)
        return;
    m_loading = loading;
    viewport()->update();
}

QString ListGrid::emptyText() const
{
    return ListTexts::EmptyGridText();
}

int ListGrid::currentRow() const
{
    if (m_model->rowCount() == 0)
        return -1;
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

void ListGrid::setCurrentRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const int column = qMax(0, currentIndex().isValid() ? currentIndex().column() : 0);
    setCurrentIndex(m_model->index(row, qMin(column, qMax(0, m_model->columnCount() - 1))));
}

RowView ListGrid::currentRowView() const
{
    const int row = currentRow();
    if (row < 0 || !cursor())
        return RowView();
    return cursor()->row(row);
}

void ListGrid::First()
{
    setCurrentRow(0);
}

void ListGrid::Last()
{
    setCurrentRow(rowCount() - 1);
}

void ListGrid::Prior()
{
    const int row = currentRow();
    if (row > 0)
        setCurrentRow(row - 1);
}

void ListGrid::Next()
{
    const int row = currentRow();
    if (row >= 0 && row < rowCount() - 1)
        setCurrentRow(row + 1);
}

void ListGrid::setSortMarkers(const QList<SortMarker>& markers)
{
    if (markers == m_markers)
        return;
    m_markers = markers;
    updateMarkerTexts();
    emit sortMarkingChanged();
}

void ListGrid::markColumn(int column, bool add)
{
    if (!columns() || column < 0 || column >= columns()->count())
        return;
    QList<SortMarker> markers = m_markers;
    int at = -1;
    for (int i = 0; i < markers.size(); ++i)
        if (markers.at(i).column == column)
            at = i;
    if (add) {
        if (at >= 0)
            markers[at].descending = !markers.at(at).descending;
        else
            markers.append({column, false});
    } else {
        const bool descending = at >= 0 ? !markers.at(at).descending : false;
        markers = {{column, descending}};
    }
    setSortMarkers(markers);
}

void ListGrid::updateMarkerTexts()
{
    QStringList suffixes;
    const int count = columns() ? columns()->count() : 0;
    for (int c = 0; c < count; ++c)
        suffixes << QString();
    for (const SortMarker& marker : m_markers)
        if (marker.column >= 0 && marker.column < count)
            suffixes[marker.column] = marker.descending ? QStringLiteral(" \u25BC") : QStringLiteral(" \u25B2");
    m_model->setMarkerTexts(suffixes);
}

bool ListGrid::hasColumnFilter(int column) const
{
    for (const ColumnFilter& filter : m_filters)
        if (filter.column == column)
            return true;
    return false;
}

QString ListGrid::columnFilter(int column) const
{
    for (const ColumnFilter& filter : m_filters)
        if (filter.column == column)
            return filter.text;
    return QString();
}

void ListGrid::setColumnFilter(int column, const QString& text)
{
    clearColumnFilter(column);
    m_filters.append({column, text});
}

void ListGrid::clearColumnFilter(int column)
{
    for (int i = int(m_filters.size()) - 1; i >= 0; --i)
        if (m_filters.at(i).column == column)
            m_filters.removeAt(i);
}

void ListGrid::clearColumnFilters()
{
    m_filters.clear();
    applyFilter();
}

void ListGrid::applyFilter()
{
    ListCursor* ds = cursor();
    if (!ds)
        return;
    ds->setColumnFilters(columns(), m_filters);
    if (ds->isOpen()) {
        ds->open();
        reload();
    }
}

void ListGrid::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (!m_loading && m_model->rowCount() > 0)
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    const QString text = m_loading ? ListTexts::LoadingText() : emptyText();
    if (m_loading)
        painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    painter.drawText(viewport()->rect(), Qt::AlignCenter, text);
}

void ListGrid::contextMenuEvent(QContextMenuEvent* event)
{
    const QModelIndex index = indexAt(viewport()->mapFrom(this, event->pos()));
    if (!index.isValid()) {
        QTableView::contextMenuEvent(event);
        return;
    }
    setCurrentRow(index.row());
    QMenu menu(this);
    TMyDBGridEhCenter::instance().BuildCellPopupMenu(*this, menu, index.row(), index.column());
    if (!menu.isEmpty())
        menu.exec(event->globalPos());
}

// --- TMyDBGridEhCenter ----------------------------------------------------------------------

TMyDBGridEhCenter& TMyDBGridEhCenter::instance()
{
    static TMyDBGridEhCenter center;
    return center;
}

namespace {
// Menu texts show "&" as it is instead of as a shortcut mark.
QString plainMenuText(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
}  // namespace

void TMyDBGridEhCenter::BuildCellPopupMenu(ListGrid& grid, QMenu& menu, int row, int column)
{
    if (!grid.columns() || column < 0 || column >= grid.columns()->count())
        return;
    if (!menu.isEmpty())
        menu.addSeparator();
    QAction* clear = menu.addAction(plainMenuText(ListTexts::ClearFilterItem() + grid.columns()->title(column)));
    clear->setObjectName(QStringLiteral("MenuClearColumnFilter"));
    clear->setEnabled(grid.hasColumnFilter(column));
    QObject::connect(clear, &QAction::triggered, &grid, [this, &grid, column] { MenuClearColumnFilter(grid, column); });

    const QString text = grid.cellText(row, column);
    QAction* apply = menu.addAction(plainMenuText(ListTexts::ApplyFilterItem() + text));
    apply->setObjectName(QStringLiteral("MenuFilterText"));
    QObject::connect(apply, &QAction::triggered, &grid,
                     [this, &grid, column, text] { MenuFilterTextClick(grid, column, text); });
}

void TMyDBGridEhCenter::MenuFilterTextClick(ListGrid& grid, int column, const QString& text)
{
    grid.setColumnFilter(column, text);
    grid.applyFilter();
}

void TMyDBGridEhCenter::MenuClearColumnFilter(ListGrid& grid, int column)
{
    grid.clearColumnFilter(column);
    grid.applyFilter();
}
