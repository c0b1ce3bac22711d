#include "core/widgets/ListGrid.h"

#include "core/widgets/ListTexts.h"
#include "core/widgets/NemoraArt.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolButton>

// The column titles, taller by the search bar while it is open: the table view reserves the
// titles' height above its rows, so the bar gets its room from the same layout pass, and the
// grid then puts the titles below the bar.
class ListHeader : public QHeaderView {
public:
    explicit ListHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}
    void setExtraHeight(int height) { m_extra = height; }
    int extraHeight() const { return m_extra; }
    // The titles' own height, as the table view clamps it.
    int titlesHeight() const
    {
        return qMin(qMax(minimumHeight(), QHeaderView::sizeHint().height()), maximumHeight());
    }
    QSize sizeHint() const override
    {
        QSize size = QHeaderView::sizeHint();
        size.rheight() += m_extra;
        return size;
    }

private:
    int m_extra = 0;
};

namespace {
constexpr int DefaultSearchDelayMs = 250;

// Check boxes drawn where the column's alignment puts them, instead of at the leading edge
// where a plain item view draws its indicator.
class ListDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        if (!(opt.features & QStyleOptionViewItem::HasCheckIndicator)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        const QSize indicator = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, widget).size();

        QStyleOptionViewItem cell(opt);   // background, selection and focus, without the box
        cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        cell.text.clear();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

        QStyleOptionViewItem box(opt);
        box.rect = ListGrid::checkBoxRect(opt.rect, indicator, opt.displayAlignment, opt.direction);
        box.state &= ~QStyle::State_HasFocus;
        switch (opt.checkState) {
        case Qt::Unchecked: box.state |= QStyle::State_Off; break;
        case Qt::PartiallyChecked: box.state |= QStyle::State_NoChange; break;
        case Qt::Checked: box.state |= QStyle::State_On; break;
        }
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, widget);
    }
};

// The search glyph (a lens with its handle) and the bar's close cross, drawn so that no icon
// theme is needed.
QPixmap searchGlyph(int size, bool cross)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(NemoraColors::Deep, qMax(1.5, size / 9.0), Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    const qreal s = size;
    if (cross) {
        painter.drawLine(QPointF(s * 0.28, s * 0.28), QPointF(s * 0.72, s * 0.72));
        painter.drawLine(QPointF(s * 0.72, s * 0.28), QPointF(s * 0.28, s * 0.72));
    } else {
        painter.drawEllipse(QRectF(s * 0.14, s * 0.14, s * 0.5, s * 0.5));
        painter.drawLine(QPointF(s * 0.57, s * 0.57), QPointF(s * 0.86, s * 0.86));
    }
    return pixmap;
}
}  // namespace

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
    m_header = new ListHeader(this);
    setHorizontalHeader(m_header);
    setModel(m_model);
    setItemDelegate(new ListDelegate(this));
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

    // The search panel: hidden until asked for, placed by updateGeometries().
    m_pnlSearch = new QFrame(this);
    m_pnlSearch->setObjectName(QStringLiteral("pnlSearch"));
    m_pnlSearch->setAutoFillBackground(true);
    m_pnlSearch->setStyleSheet(QStringLiteral("QFrame#pnlSearch { background: %1; border-bottom: 1px solid %2; }")
                                   .arg(NemoraColors::Foam.name(), NemoraColors::Sea.name()));
    auto* bar = new QHBoxLayout(m_pnlSearch);
    bar->setContentsMargins(6, 3, 6, 3);
    bar->setSpacing(4);
    auto* lens = new QLabel(m_pnlSearch);
    lens->setPixmap(searchGlyph(16, false));
    m_edtSearch = new QLineEdit(m_pnlSearch);
    m_edtSearch->setObjectName(QStringLiteral("edtSearch"));
    m_edtSearch->setPlaceholderText(ListTexts::SearchPlaceholder());
    m_edtSearch->setClearButtonEnabled(true);
    m_btnSearchClose = new QToolButton(m_pnlSearch);
    m_btnSearchClose->setObjectName(QStringLiteral("btnSearchClose"));
    m_btnSearchClose->setIcon(QIcon(searchGlyph(16, true)));
    m_btnSearchClose->setAutoRaise(true);
    m_btnSearchClose->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(lens);
    bar->addWidget(m_edtSearch, 1);
    bar->addWidget(m_btnSearchClose);
    m_pnlSearch->hide();

    m_btnSearch = new QToolButton(this);
    m_btnSearch->setObjectName(QStringLiteral("btnSearch"));
    m_btnSearch->setIcon(QIcon(searchGlyph(14, false)));
    m_btnSearch->setAutoRaise(true);
    m_btnSearch->setFocusPolicy(Qt::NoFocus);
    m_btnSearch->setToolTip(QKeySequence(QKeySequence::Find).toString(QKeySequence::NativeText));

    m_tmrSearch = new QTimer(this);
    m_tmrSearch->setObjectName(QStringLiteral("tmrSearch"));
    m_tmrSearch->setSingleShot(true);
    m_tmrSearch->setInterval(DefaultSearchDelayMs);

    connect(m_btnSearch, &QToolButton::clicked, this, [this] {
        if (isSearchOpen())
            closeSearch();
        else
            openSearch();
    });
    connect(m_btnSearchClose, &QToolButton::clicked, this, &ListGrid::closeSearch);
    // Typing waits for a pause; Enter does not wait.
    connect(m_edtSearch, &QLineEdit::textEdited, m_tmrSearch, qOverload<>(&QTimer::start));
    connect(m_edtSearch, &QLineEdit::returnPressed, this, &ListGrid::applySearch);
    connect(m_tmrSearch, &QTimer::timeout, this, &ListGrid::applySearch);
}

void ListGrid::setSource(ListCursor* cursor, const ListColumns* columns)
{
    m_filters.clear();
    if (cursor) {
        // The search goes with the bar, not with the source: a new table shown while the bar is
        // open is searched as well.
        const bool filtered = !cursor->columnFilters().isEmpty() || cursor->searchText() != m_search;
        cursor->setColumnFilters(columns, {});
        cursor->setSearch(columns, searchedColumns(columns), m_search);
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
        // A search applied while the grid was held (its pause ended during a server call).
        if (m_searchPending && cursor() && cursor()->isOpen())
            cursor()->open();
        m_searchPending = false;
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
    ds->setSearch(columns(), searchedColumns(columns()), m_search);
    if (ds->isOpen()) {
        ds->open();
        reload();
    }
}

QList<int> ListGrid::searchedColumns(const ListColumns* cols) const
{
    QList<int> searched;
    if (!cols)
        return searched;
    const bool shown = cols == columns();
    for (int c = 0; c < cols->count(); ++c)
        if (!cols->isCheckBox(c) && !(shown && isColumnHidden(c)))
            searched.append(c);
    return searched;
}

bool ListGrid::isSearchOpen() const
{
    return !m_pnlSearch->isHidden();
}

void ListGrid::openSearch()
{
    if (!m_searchEnabled)
        return;
    if (m_pnlSearch->isHidden()) {
        m_pnlSearch->show();
        m_header->setExtraHeight(m_pnlSearch->sizeHint().height());
        updateGeometries();
    }
    m_edtSearch->setFocus(Qt::ShortcutFocusReason);
    m_edtSearch->selectAll();
}

void ListGrid::closeSearch()
{
    const bool hadFocus = searchHasFocus();
    m_tmrSearch->stop();
    m_edtSearch->clear();
    if (!m_pnlSearch->isHidden()) {
        m_pnlSearch->hide();
        m_header->setExtraHeight(0);
        updateGeometries();
    }
    applySearchText(QString());
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
}

void ListGrid::setSearchText(const QString& text)
{
    if (!text.trimmed().isEmpty())
        openSearch();
    m_edtSearch->setText(text);
    applySearchText(text);
}

void ListGrid::applySearch()
{
    applySearchText(m_edtSearch->text());
}

void ListGrid::applySearchText(const QString& text)
{
    m_tmrSearch->stop();
    const QString search = text.trimmed();
    if (search == m_search)
        return;
    m_search = search;
    ListCursor* ds = cursor();
    if (!ds)
        return;
    ds->setSearch(columns(), searchedColumns(columns()), m_search);
    if (!ds->isOpen())
        return;
    if (m_updateDepth > 0) {
        m_searchPending = true;   // the cursor is being reloaded; endUpdate() reopens it
        return;
    }
    ds->open();
    reload();
}

void ListGrid::setSearchDelay(int ms)
{
    m_tmrSearch->setInterval(qMax(0, ms));
}

int ListGrid::searchDelay() const
{
    return m_tmrSearch->interval();
}

void ListGrid::setSearchEnabled(bool enabled)
{
    if (!enabled)
        closeSearch();
    m_searchEnabled = enabled;
    placeSearchBar();
}

bool ListGrid::searchHasFocus() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && m_pnlSearch->isAncestorOf(focus);
}

QRect ListGrid::checkBoxRect(const QRect& cell, const QSize& indicator, Qt::Alignment alignment,
                             Qt::LayoutDirection direction)
{
    if (!(alignment & Qt::AlignHorizontal_Mask))
        alignment |= Qt::AlignHCenter;
    if (!(alignment & Qt::AlignVertical_Mask))
        alignment |= Qt::AlignVCenter;
    return QStyle::alignedRect(direction, alignment, indicator, cell);
}

void ListGrid::updateGeometries()
{
    QTableView::updateGeometries();
    placeSearchBar();
}

void ListGrid::placeSearchBar()
{
    if (!m_pnlSearch)
        return;   // the table view lays itself out while the grid is still being made
    QHeaderView* titles = horizontalHeader();
    QHeaderView* numbers = verticalHeader();
    const QRect rows = viewport()->geometry();
    const int bar = m_header->extraHeight();
    int titlesHeight = 0;
    if (!titles->isHidden()) {
        // The view made the titles as tall as the bar and the titles together: they go below it.
        titlesHeight = m_header->titlesHeight();
        titles->setGeometry(rows.left(), rows.top() - titlesHeight, rows.width(), titlesHeight);
    }
    int left = rows.left();
    int right = rows.right();
    if (!numbers->isHidden()) {
        left = qMin(left, numbers->geometry().left());
        right = qMax(right, numbers->geometry().right());
    }
    if (bar > 0) {
        m_pnlSearch->setGeometry(left, rows.top() - titlesHeight - bar, right - left + 1, bar);
        m_pnlSearch->raise();
    }
    // The button takes the corner between the record numbers and the titles.
    const bool corner = m_searchEnabled && !titles->isHidden() && !numbers->isHidden();
    if (corner) {
        m_btnSearch->setGeometry(numbers->geometry().left(), rows.top() - titlesHeight, numbers->width(), titlesHeight);
        m_btnSearch->raise();
    }
    m_btnSearch->setVisible(corner);
}

bool ListGrid::event(QEvent* event)
{
    // Ctrl+F and Escape belong to the grid while it or its bar has the focus, even where the
    // window binds them to something else.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((m_searchEnabled && key->matches(QKeySequence::Find)) ||
            (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && isSearchOpen())) {
            event->accept();
            return true;
        }
    }
    return QTableView::event(event);
}

void ListGrid::keyPressEvent(QKeyEvent* event)
{
    if (m_searchEnabled && event->matches(QKeySequence::Find)) {
        openSearch();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && isSearchOpen()) {
        closeSearch();
        event->accept();
        return;
    }
    if (searchHasFocus()) {
        // From the box: down into the rows, searched at once; anything else the box left alone
        // (Enter for a dialog's default button) goes on to the window, not to the rows.
        if (event->key() == Qt::Key_Down || event->key() == Qt::Key_PageDown) {
            applySearch();
            setFocus(Qt::OtherFocusReason);
            event->accept();
            return;
        }
        event->ignore();
        return;
    }
    QTableView::keyPressEvent(event);
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
