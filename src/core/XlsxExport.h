#pragma once
// Spreadsheet export of a grid's rows: an Office Open XML workbook written by libxlsxwriter in
// constant-memory mode (rows go to disk as they are written). Row 1 of each sheet holds the
// column titles; a sheet holds at most `rowsPerSheet` data rows and further rows continue on
// further sheets under the same titles. An existing file of the name is replaced.
//
// Usage:
//
//   const QString error = ExportGridToXlsx(path, ds, columns);   // every row the cursor shows
//   if (!error.isEmpty()) ... show why
//
// or, for other sources, the writer itself:
//
//   XlsxWriter out(path, {"a", "b"});
//   out.addRow(); out.text(0, "x"); out.number(1, 2.5);
//   const QString error = out.close();

#include "core/ListCursor.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <string_view>

// Data rows one sheet can hold below its title row.
constexpr qint64 XlsxMaxRowsPerSheet = 1048575;

class XlsxWriter {
public:
    XlsxWriter(const QString& path, const QStringList& titles, qint64 rowsPerSheet = XlsxMaxRowsPerSheet);
    ~XlsxWriter();   // closes when close() was not called
    XlsxWriter(const XlsxWriter&) = delete;
    XlsxWriter& operator=(const XlsxWriter&) = delete;

    // Starts the next data row (a new sheet with the titles when the current one is full).
    void addRow();
    void text(int column, const QString& value);
    void utf8(int column, std::string_view value);
    void number(int column, double value);

    // Writes the file. Empty on success, otherwise why it failed (in English, from the writer).
    QString close();
    int sheetCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Writes every row the cursor shows with the columns' titles and displayed texts (numbers of
// numeric fields without their own text as numbers). Empty on success, otherwise why not.
QString ExportGridToXlsx(const QString& path, ListCursor& cursor, const ListColumns& columns,
                         qint64 rowsPerSheet = XlsxMaxRowsPerSheet);
