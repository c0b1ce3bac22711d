#include "core/XlsxExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <string>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#if defined(__ELF__)
#include <dlfcn.h>
#include <zlib.h>

// The workbook's parts are deflated at level 1 instead of zlib's default 6: on large exports the
// compression is most of the time and level 1 costs a few per cent of size. libxlsxwriter asks
// minizip for each part with a fixed level; this definition comes first in the symbol lookup
// and passes the call on with the faster level.
extern "C" int zipOpenNewFileInZip4_64(void* file, const char* filename, const void* zipfi,
                                       const void* extrafield_local, unsigned size_extrafield_local,
                                       const void* extrafield_global, unsigned size_extrafield_global,
                                       const char* comment, int method, int level, int raw, int windowBits,
                                       int memLevel, int strategy, const char* password,
                                       unsigned long crcForCrypting, unsigned long versionMadeBy,
                                       unsigned long flagBase, int zip64)
{
    using Open = int (*)(void*, const char*, const void*, const void*, unsigned, const void*, unsigned, const char*,
                         int, int, int, int, int, int, const char*, unsigned long, unsigned long, unsigned long, int);
    static const Open next = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "zipOpenNewFileInZip4_64"));
    if (!next)
        return -104;   // ZIP_INTERNALERROR
    if (method == Z_DEFLATED && level == Z_DEFAULT_COMPRESSION)
        level = 1;
    return next(file, filename, zipfi, extrafield_local, size_extrafield_local, extrafield_global,
                size_extrafield_global, comment, method, level, raw, windowBits, memLevel, strategy, password,
                crcForCrypting, versionMadeBy, flagBase, zip64);
}
#endif

namespace {
// Excel's limit for the text of one cell.
constexpr int MaxCellText = 32767;

// Replaces `target` by `source`, also when `target` exists.
bool replaceFile(const QString& source, const QString& target, QString& why)
{
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(source).utf16()),
                    reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(target).utf16()),
                    MOVEFILE_REPLACE_EXISTING))
        return true;
    why = QStringLiteral("the file is in use or cannot be replaced");
    return false;
#else
    if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) == 0)
        return true;
    why = QString::fromLocal8Bit(std::strerror(errno));
    return false;
#endif
}
}  // namespace

struct XlsxWriter::Impl {
    QString path;
    QString partPath;   // written first, then moved over `path`
    QStringList titles;
    qint64 rowsPerSheet = XlsxMaxRowsPerSheet;
    lxw_workbook* workbook = nullptr;
    lxw_worksheet* sheet = nullptr;
    lxw_format* titleFormat = nullptr;
    qint64 rowInSheet = 0;
    int sheets = 0;
    QString error;
    bool closed = false;
    std::string buffer;

    void fail(const QString& why)
    {
        if (error.isEmpty())
            error = why;
    }
    void check(lxw_error code)
    {
        if (code != LXW_NO_ERROR)
            fail(QString::fromUtf8(lxw_strerror(code)));
    }
    void newSheet()
    {
        sheet = workbook_add_worksheet(workbook, nullptr);
        if (!sheet) {
            fail(QStringLiteral("cannot add a worksheet"));
            return;
        }
        ++sheets;
        rowInSheet = 0;
        worksheet_right_to_left(sheet);
        for (int c = 0; c < titles.size(); ++c) {
            const double width = qBound(10.0, titles.at(c).size() * 1.3 + 2, 60.0);
            check(worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), width, nullptr));
        }
        for (int c = 0; c < titles.size(); ++c) {
            const QByteArray utf8 = titles.at(c).left(MaxCellText).toUtf8();
            check(worksheet_write_string(sheet, 0, lxw_col_t(c), utf8.constData(), titleFormat));
        }
    }
};

XlsxWriter::XlsxWriter(const QString& path, const QStringList& titles, qint64 rowsPerSheet) : d(std::make_unique<Impl>())
{
    d->path = path;
    d->titles = titles;
    d->rowsPerSheet = qBound<qint64>(1, rowsPerSheet, XlsxMaxRowsPerSheet);
    const QFileInfo info(path);
    d->partPath = info.dir().filePath(QStringLiteral("~") + info.fileName() + QStringLiteral(".part"));

    // Finding out now that the folder cannot be written spares writing every row for nothing.
    QFile probe(d->partPath);
    if (!probe.open(QIODevice::WriteOnly)) {
        d->fail(probe.errorString());
        return;
    }
    probe.close();

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    const QByteArray name = QFile::encodeName(d->partPath);
    d->workbook = workbook_new_opt(name.constData(), &options);
    if (!d->workbook) {
        d->fail(QStringLiteral("cannot start the workbook"));
        QFile::remove(d->partPath);
        return;
    }
    d->titleFormat = workbook_add_format(d->workbook);
    format_set_bold(d->titleFormat);
    d->newSheet();
}

XlsxWriter::~XlsxWriter()
{
    if (!d->closed)
        close();
}

void XlsxWriter::addRow()
{
    if (!d->sheet)
        return;
    if (d->rowInSheet >= d->rowsPerSheet)
        d->newSheet();
    ++d->rowInSheet;
}

void XlsxWriter::utf8(int column, std::string_view value)
{
    if (!d->sheet || d->rowInSheet == 0 || value.empty())
        return;
    if (value.size() > size_t(MaxCellText)) {
        text(column, QString::fromUtf8(value.data(), qsizetype(value.size())));
        return;
    }
    d->buffer.assign(value.data(), value.size());
    d->check(worksheet_write_string(d->sheet, lxw_row_t(d->rowInSheet), lxw_col_t(column), d->buffer.c_str(), nullptr));
}

void XlsxWriter::text(int column, const QString& value)
{
    if (value.isEmpty())
        return;
    const QByteArray bytes = value.left(MaxCellText).toUtf8();
    utf8(column, std::string_view(bytes.constData(), size_t(bytes.size())));
}

void XlsxWriter::number(int column, double value)
{
    if (!d->sheet || d->rowInSheet == 0)
        return;
    d->check(worksheet_write_number(d->sheet, lxw_row_t(d->rowInSheet), lxw_col_t(column), value, nullptr));
}

int XlsxWriter::sheetCount() const
{
    return d->sheets;
}

QString XlsxWriter::close()
{
    if (d->closed)
        return d->error;
    d->closed = true;
    if (d->workbook) {
        d->check(workbook_close(d->workbook));
        d->workbook = nullptr;
        d->sheet = nullptr;
        if (d->error.isEmpty()) {
            QString why;
            if (!replaceFile(d->partPath, d->path, why))
                d->fail(why);
        }
    }
    if (!d->error.isEmpty()) {
        QFile::remove(d->partPath);
        return QDir::toNativeSeparators(d->path) + QStringLiteral(": ") + d->error;
    }
    return QString();
}

QString ExportGridToXlsx(const QString& path, ListCursor& cursor, const ListColumns& columns, qint64 rowsPerSheet)
{
    QStringList titles;
    for (int c = 0; c < columns.count(); ++c)
        titles << columns.title(c);
    XlsxWriter out(path, titles, rowsPerSheet);
    const ListTable* table = cursor.table();
    constexpr double ExactInteger = 9007199254740992.0;   // 2^53: beyond it a number cell loses digits

    cursor.forEach([&](int, const RowView& row) {
        out.addRow();
        for (int c = 0; c < columns.count(); ++c) {
            const int field = columns.fieldIndex(c);
            if (columns.isCheckBox(c)) {
                if (!row.isNull(field))
                    out.text(c, row.boolean(field) ? QStringLiteral("True") : QStringLiteral("False"));
                continue;
            }
            if (columns.column(c).text) {
                out.text(c, columns.displayText(c, row));
                continue;
            }
            const FieldType type = table->field(field).type;
            const int stored = row.columnType(field);
            if (stored == SQLITE_NULL)
                continue;
            const bool numeric = type == FieldType::Integer || type == FieldType::SmallInt ||
                                 type == FieldType::LargeInt || type == FieldType::Float;
            if (numeric && stored == SQLITE_INTEGER) {
                const qint64 v = row.integer(field);
                if (double(v) < ExactInteger && double(v) > -ExactInteger)
                    out.number(c, double(v));
                else
                    out.text(c, QString::number(v));
            } else if (numeric && stored == SQLITE_FLOAT) {
                out.number(c, row.real(field));
            } else {
                const std::string_view bytes = row.utf8(field);
                if (!bytes.empty() || stored == SQLITE_TEXT)
                    out.utf8(c, bytes);
                else
                    out.text(c, row.text(field));
            }
        }
    });
    return out.close();
}
