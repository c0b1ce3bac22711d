#pragma once
// The printable consumption report: A4 portrait, 10 mm margins, a header on every page (title,
// meter, report date, "page of pages"), boxed column titles and one 8 mm line per row.
//
// Usage (status screen, "پیش نمایش"):
//   PreviewConsumptionReport(edtSerial->text(), rowsOfCurrentViewAsFiltered, this);
// which fills the report's fields (today's date, "سریال کنتور " + serial) and hands it to the
// preview presenter: by default a QPrintPreviewDialog from which the operator prints or saves a
// PDF. Tests install their own presenter with SetReportPreviewPresenter, or render directly:
//   QPdfWriter pdf(path); report.Render(&pdf);

#include "meters/ConsumptionData.h"

#include <QString>
#include <functional>

class QPagedPaintDevice;
class QPainter;
class QWidget;

class ConsumptionReport {
public:
    QString lblDate;          // the report date, yyyy/mm/dd
    QString lblDeviceName;    // the meter line under the title
    ConsumptionRows rows;     // in the order listed

    // Rows that fit on one page under the header and the column titles.
    static int RowsPerPage();
    // Pages needed for rowCount rows (at least 1: an empty report still has its header).
    static int PageCountFor(int rowCount);
    int pageCount() const { return PageCountFor(rows.size()); }

    // Sets A4 portrait with 10 mm margins on the device and paints every page. False when the
    // device could not be painted on (e.g. an unwritable PDF path).
    bool Render(QPagedPaintDevice* device) const;

    // Paints page `page` (1-based) with an active painter on a device laid out as Render does.
    void PaintPage(QPainter& painter, int page) const;
};

// The report as the status screen prints it: lblDate := today, lblDeviceName := "سریال کنتور " +
// serialText (the prefix alone when the serial box is empty).
ConsumptionReport MakeConsumptionReport(const QString& serialText, const ConsumptionRows& rows);

// Shows one report to the operator. The default opens a modal QPrintPreviewDialog over `parent`.
using ReportPreviewPresenter = std::function<void(const ConsumptionReport& report, QWidget* parent)>;
// Installs the presenter for every later preview and returns the one it replaces; an empty
// function restores the default.
ReportPreviewPresenter SetReportPreviewPresenter(ReportPreviewPresenter presenter);

// MakeConsumptionReport + the installed presenter.
void PreviewConsumptionReport(const QString& serialText, const ConsumptionRows& rows, QWidget* parent);
