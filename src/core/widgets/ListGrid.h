#pragma once
// `grd`, the grid of a list screen: a QTableView over ListModel, which reads the rows of a
// ListCursor (`ds`) and shows each column's displayed text. Uniform row heights, record numbers
// in the vertical header, no per-row widgets; sort markers on the column titles (a click marks
// one column, a second click on it turns the direction, Ctrl+click adds a marker), the
// column-filter items of the context menu (TMyDBGridEhCenter), the search panel (a bar above
// the titles, opened by Ctrl+F or the button in the grid's corner), check boxes for Boolean
// columns, a loading state and the text shown when there are no rows.
//
// Usage:
//
//   auto* grd = new ListGrid(this);             // objectName "grd"
//   grd->setSource(&ds, &columns);              // ds opened by the screen
//   grd->beginUpdate(); ... reopen ds ... grd->endUpdate();   // the grid re-reads at the end
//   connect(grd, &ListGrid::sortMarkingChanged, ...);        // apply grd->sortMarkers() via SQL
//
// Several tables on one grid: give each its own cursor (or re-point one) and call setSource
// again; the column filters are cleared by a new source, the search stays while its bar is open.
//
// The search, like the column filters, narrows what the grid shows and leaves vt, vq's text and
// the row count alone. It stays through refreshes while its bar is open; closing the bar clears it.

#include "core/ListCursor.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QTableView>

class QFrame;
class QLineEdit;
class QMenu;
class QTimer;
class QToolButton;
class ListGrid;
class ListHeader;

// The grid's model: row r is the cursor's row r; the data are the columns' displayed texts.
class ListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListModel(QObject* parent = nullptr);

    void setSource(ListCursor* cursor, const ListColumns* columns);
    ListCursor* cursor() const { return m_cursor; }
    const ListColumns* columns() const { return m_columns; }

    // While suspended the model shows no rows and does not touch the cursor.
    void suspend();
    // Ends a suspension and re-reads the cursor (a reset).
    void resume();
    bool isSuspended() const { return m_suspended; }
    // Re-reads the cursor now (a reset).
    void reload();

    // Title suffixes of the sort markers, index = column.
    void setMarkerTexts(const QStringList& suffixes);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The displayed text of a cell ("" outside the rows).
    QString cellText(int row, int column) const;

private:
    ListCursor* m_cursor = nullptr;
    const ListColumns* m_columns = nullptr;
    bool m_suspended = false;
    int m_rows = 0;
    QStringList m_markerTexts;
};

// A sort marker on a column title.
struct SortMarker {
    int column = -1;
    bool descending = false;
    bool operator==(const SortMarker& other) const { return column == other.column && descending == other.descending; }
};

class ListGrid : public QTableView {
    Q_OBJECT
public:
    explicit ListGrid(QWidget* parent = nullptr);

    ListModel* listModel() const { return m_model; }
    void setSource(ListCursor* cursor, const ListColumns* columns);
    ListCursor* cursor() const { return m_model->cursor(); }
    const ListColumns* columns() const { return m_model->columns(); }

    // Stops / resumes the grid's updates from its cursor (nested calls count).
    void beginUpdate();
    void endUpdate();
    // Re-reads the cursor (after the screen reopened it); the current row goes to the first.
    void reload();
    // Widths of the columns without their own: the title's or the first rows' texts', whichever
    // is wider. Done by itself the first time a source shows rows.
    void fitColumns();

    // The loading state: ListTexts::LoadingText() over the grid.
    void setLoading(bool loading);
    bool isLoading() const { return m_loading; }
    // The text painted when there are no rows.
    QString emptyText() const;

    int rowCount() const { return m_model->rowCount(); }
    // Current row, -1 when the grid is empty.
    int currentRow() const;
    void setCurrentRow(int row);
    // The row under the current index, invalid when there is none.
    RowView currentRowView() const;
    QString cellText(int row, int column) const { return m_model->cellText(row, column); }

    // Record navigation: first and last row; previous and next only when there is one.
    void First();
    void Last();
    void Prior();
    void Next();

    // Sort markers in marking order (the first one decides the order on the screens).
    QList<SortMarker> sortMarkers() const { return m_markers; }
    void setSortMarkers(const QList<SortMarker>& markers);   // emits sortMarkingChanged when they change
    // A title click: `add` (Ctrl held) adds or turns a marker, otherwise this column alone.
    void markColumn(int column, bool add);
    // Whether title clicks set sort markers (on by default; a grid that does not sort turns it off).
    void setSortMarkersEnabled(bool enabled) { m_sortable = enabled; }
    bool sortMarkersEnabled() const { return m_sortable; }

    // Column filters of the context menu: a like-match (contains, any case) on the displayed text.
    bool hasColumnFilter(int column) const;
    QString columnFilter(int column) const;
    void setColumnFilter(int column, const QString& text);   // not applied until applyFilter()
    void clearColumnFilter(int column);
    void clearColumnFilters();                               // all of them, applied at once
    // Hands the filters to the cursor, reopens it and re-reads (the table and its query stay).
    void applyFilter();

    // The search panel (pnlSearch with its box edtSearch): opens the bar and puts the caret in
    // its box; a second call only focuses the box.
    void openSearch();
    // Hides the bar, empties its box and shows every row again (Escape in the box or the grid).
    void closeSearch();
    bool isSearchOpen() const;
    // The text the rows are narrowed by (the box's text, trimmed, once applied); empty: none.
    QString searchText() const { return m_search; }
    // Puts a text in the box and applies it at once (without the typing pause).
    void setSearchText(const QString& text);
    // Applies what the box holds now; typing calls it after the pause.
    void applySearch();
    // Pause after the last key before the rows are narrowed (a large table is walked once per
    // pause, not once per key).
    void setSearchDelay(int ms);
    int searchDelay() const;
    // Whether the grid offers the search panel (on by default); turning it off closes the bar.
    void setSearchEnabled(bool enabled);
    bool searchEnabled() const { return m_searchEnabled; }
    QLineEdit* searchBox() const { return m_edtSearch; }

    // Where a check box is drawn in a cell: the indicator's size placed by the column's
    // alignment (centred unless the column says otherwise), mirrored right to left.
    static QRect checkBoxRect(const QRect& cell, const QSize& indicator, Qt::Alignment alignment,
                              Qt::LayoutDirection direction);

signals:
    void sortMarkingChanged();
    void currentRowChanged(int row);
    // A click on a data cell (the grid's cell-click event).
    void cellClicked(int row, int column);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void updateGeometries() override;

private:
    void updateMarkerTexts();
    void afterReset();
    // Columns the search looks at: those showing text (not check boxes, not hidden).
    QList<int> searchedColumns(const ListColumns* columns) const;
    void applySearchText(const QString& text);
    void placeSearchBar();
    bool searchHasFocus() const;
    ListModel* m_model = nullptr;
    ListHeader* m_header = nullptr;
    QList<SortMarker> m_markers;
    QList<ColumnFilter> m_filters;
    bool m_loading = false;
    bool m_sortable = true;
    bool m_fitted = false;
    int m_updateDepth = 0;
    QFrame* m_pnlSearch = nullptr;
    QLineEdit* m_edtSearch = nullptr;
    QToolButton* m_btnSearch = nullptr;
    QToolButton* m_btnSearchClose = nullptr;
    QTimer* m_tmrSearch = nullptr;
    QString m_search;
    bool m_searchEnabled = true;
    bool m_searchPending = false;
};

// The behaviour centre of every grid: adds the column-filter items to a data cell's context menu.
class TMyDBGridEhCenter {
public:
    static TMyDBGridEhCenter& instance();
    virtual ~TMyDBGridEhCenter() = default;

    // After the menu's own items: a separator when it has any, ListTexts::ClearFilterItem() +
    // the column's title (enabled only while the column has a filter) and
    // ListTexts::ApplyFilterItem() + the cell's displayed text.
    virtual void BuildCellPopupMenu(ListGrid& grid, QMenu& menu, int row, int column);
    // Filters the column to rows whose displayed text contains `text` ("~ " + text).
    void MenuFilterTextClick(ListGrid& grid, int column, const QString& text);
    // Removes the column's filter and applies the grid's filter again.
    void MenuClearColumnFilter(ListGrid& grid, int column);
};
