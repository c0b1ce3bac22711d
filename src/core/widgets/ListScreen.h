#pragma once
// The list screen engine: written once, configured per screen. A screen builds its own window
// (its controls, layout and texts), creates the grid and hands the engine what is its own:
// fields, columns and display texts, the server method and request body, the row reader, the
// filter conditions, clipboard columns, first-load delay, mode, row count and export prefix.
// The engine owns vt, vq and ds and carries out the shared behaviour: the refresh frame, the
// first load, sorting, clipboard, record navigation, the column filters and the export.
//
// Usage, in a screen's constructor:
//
//   ListScreenConfig config;
//   config.mode = ListMode::QueryBacked;
//   config.fields = {{"Serial", FieldType::Text, 15}, {"ErrorCode", FieldType::Text, 2}, ...};
//   config.columns = {{"Serial", Texts::SerialTitle}, {"ErrorCode", Texts::ErrorTitle, errorText}, ...};
//   config.request = {Method::get_all_log_devices_of_user, false, [this] { return body(); }};
//   config.reader.keys = {{"Serial", ReadAs::Text}, {"ErrorCode", ReadAs::Text}, ...};
//   config.conditions = [this] { return filterLines(); };    // the AND lines with their values
//   config.clipboardColumns = {3, 20};
//   config.firstLoadDelayMs = 500;
//   config.exportPrefix = "All_Device_Logs";
//   grd = new ListGrid(this);
//   m_list = new ListScreen(std::move(config), grd, lblCount, this);
//   connect(btnRefresh, &QAbstractButton::clicked, m_list, &ListScreen::btnRefreshClick);
//   connect(AdvSmoothButton7, &QAbstractButton::clicked, m_list, &ListScreen::AdvSmoothButton7Click);
//
// A screen with several tables on one grid (daily, weekly and monthly, say) does without
// ListScreen: a ListTable, ListCursor and ListColumns per table, LoadListRows for each load,
// grd->setSource(...) to switch the grid, ListRefreshFrame around a refresh and RunGridExport.
//
// The first load starts from tmrLoad (objectName "tmrLoad", a child of the engine) when the
// engine is created.
// Errors that a reader raises leave the refresh through btnRefreshClick (to the application's
// error handler); the frame's last step runs first, from a scope guard.

#include "core/ListCursor.h"
#include "core/ListQuery.h"
#include "core/ListReply.h"
#include "core/ListTable.h"
#include "core/XlsxExport.h"
#include "core/widgets/ListGrid.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QLabel;
class QTimer;

enum class ListMode {
    QueryBacked,            // the grid shows vq, rebuilt from the conditions at each refresh
    TableOnly,              // the grid shows vt; sorting orders vt
    TimerOnly,              // table-only, loaded only by the first-load timer, with the loading state
    TimerOnlyNoIndicator,   // the same without the loading state
};

struct ListScreenConfig {
    ListMode mode = ListMode::TableOnly;
    QList<FieldDef> fields;
    QList<ColumnDef> columns;
    ListRequest request;
    RowReader reader;
    // Query-backed screens: the AND lines of vq with their bound values, read from the
    // screen's filter controls at each refresh.
    std::function<QList<SqlCondition>()> conditions;
    QList<int> clipboardColumns;        // grid positions whose click copies the row's field
    int firstLoadDelayMs = 100;         // negative: no first-load timer
    bool showRowCount = true;           // lblCount gets "###,###" of the rows loaded
    QString exportPrefix;               // empty: the screen has no export
    bool reopenBeforeExport = true;     // close and reopen vt before exporting (rows stay)
    // Called after a load routine that added rows, inside the refresh (e.g. extra bookkeeping).
    std::function<void()> afterLoad;
};

// The refresh frame's steps around a load, for grids that no ListScreen drives (e.g. one grid
// over several tables): loading state and updates stopped on construction; updates back on,
// loading state off and the timer stopped on destruction, however the scope is left.
class ListRefreshFrame {
public:
    ListRefreshFrame(ListGrid* grid, QTimer* tmrLoad, bool showLoading = true);
    ~ListRefreshFrame();
    ListRefreshFrame(const ListRefreshFrame&) = delete;
    ListRefreshFrame& operator=(const ListRefreshFrame&) = delete;

private:
    QPointer<ListGrid> m_grid;
    QPointer<QTimer> m_timer;
    bool m_showLoading;
};

// The export of a grid's rows (AdvSmoothButton7Click): the confirmation, optionally the reopen
// of the grid's cursor, the folder choice, the file prefix + " " + today's digits + ".xlsx",
// then the information box, or the error box saying why the file could not be made.
// Returns the file written, or an empty text.
QString RunGridExport(ListGrid& grid, const QString& prefix, bool reopenFirst,
                      qint64 rowsPerSheet = XlsxMaxRowsPerSheet);
// The file an export with `prefix` made today in `folder` would have.
QString GridExportFileName(const QString& folder, const QString& prefix);

class ListScreen : public QObject {
    Q_OBJECT
public:
    // `lblCount` may be null (no row count shown). The grid and label stay the screen's.
    ListScreen(ListScreenConfig config, ListGrid* grd, QLabel* lblCount, QObject* parent = nullptr);
    ~ListScreen() override;

    const ListScreenConfig& config() const { return m_config; }
    ListTable& vt() { return *m_vt; }
    ListQuery* vq() { return m_vq.get(); }          // null on table-only screens
    ListCursor& ds() { return m_ds; }
    const ListColumns& columns() const { return m_columns; }
    ListGrid* grd() const { return m_grd; }
    QTimer* tmrLoad() const { return m_tmrLoad; }

    // The refresh frame: loading state, load routine, reopen, vq rebuilt, count; the last
    // step (updates back on, loading state off, tmrLoad stopped) runs however it ends.
    void btnRefreshClick();
    // The first-load tick: the refresh, or on timer-only screens the load routine directly.
    // While another call waits for its reply the tick comes again one interval later.
    void tmrLoadTimer();
    // The load routine alone: empties vt, calls the method and fills vt; on a failed call or
    // no rows shows the gateway's message in the error box. Returns the rows loaded.
    int loadRoutine();
    // Rebuilds vq from the conditions and opens ds (query-backed), or opens ds on vt.
    bool openView();

    // Export of every grid row (confirmation, folder, file, info or error box).
    void AdvSmoothButton7Click();
    // The file an export made today in `folder` would have.
    QString exportFileName(const QString& folder) const;

    // A click on a cell: copies the current row's field of a clipboard column.
    void grdCellClick(int row, int column);
    // Applies the first sort marker to ds and reopens it.
    void grdSortMarkingChanged();

    // Record navigation on the grid's rows.
    void First();
    void Last();
    void Prior();
    void Next();
    // Moves to the first row whose field begins with `prefix`; false when none does.
    bool locate(const QString& field, const QString& prefix);

    // The current row (invalid when the grid is empty) and its field values.
    RowView currentRow() const;
    QString currentText(const QString& field) const;   // empty without a current row
    QVariant currentValue(const QString& field) const;

    // Per-sheet row limit of the export (tests lower it).
    void setExportRowsPerSheet(qint64 rows) { m_rowsPerSheet = rows; }

signals:
    // The current row or the rows changed (the screens' data-change handlers).
    void currentRowChanged();
    // A refresh ended, however it ended.
    void refreshed();

private:
    void runFrame(bool showLoading, bool countRows);
    void showCount();
    ListScreenConfig m_config;
    std::unique_ptr<ListTable> m_vt;
    std::unique_ptr<ListQuery> m_vq;
    ListCursor m_ds;
    ListColumns m_columns;
    QPointer<ListGrid> m_grd;
    QPointer<QLabel> m_lblCount;
    QTimer* m_tmrLoad = nullptr;
    qint64 m_rowsPerSheet;
};
