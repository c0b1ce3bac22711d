#include "meters/ConsumptionReport.h"

#include "calendar/DateProc.h"

#include <QAction>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStyle>
#include <QToolBar>

namespace {

const QString kTitle = QStringLiteral("گزارش مصرف آب ");
const QString kReportDate = QStringLiteral(":تاریخ گزارش");
const QString kPage = QStringLiteral(":صفحه");
const QString kOf = QStringLiteral("از");
const QString kSerialPrefix = QStringLiteral("سریال کنتور ");

// Column titles and widths (mm), from the right edge of the page to the left.
struct Column {
    QString title;
    double width;
};
const Column kColumns[] = {
    {QStringLiteral("رديف"), 12},
    {QStringLiteral("از تاریخ "), 27},
    {QStringLiteral("تا تاریخ"), 27},
    {QStringLiteral("تعداد ارسال دیتا"), 26},
    {QStringLiteral("بیشترین شماره کنتور"), 33},
    {QStringLiteral("کمترین شماره کنتور"), 32},
    {QStringLiteral("مصرف آب"), 33},
};
constexpr int kColumnCount = int(sizeof(kColumns) / sizeof(kColumns[0]));

// Page geometry in millimetres, inside the 10 mm margins of an A4 portrait page.
constexpr double kMargin = 10;
constexpr double kBodyWidth = 210 - 2 * kMargin;    // 190: the columns fill it exactly
constexpr double kBodyHeight = 297 - 2 * kMargin;   // 277
constexpr double kTitleTop = 0;
constexpr double kTitleHeight = 10;
constexpr double kDeviceTop = 10;
constexpr double kDeviceHeight = 7;
constexpr double kRuleY = 19.5;
constexpr double kHeaderRowTop = 22;
constexpr double kHeaderRowHeight = 9;
constexpr double kRowsTop = kHeaderRowTop + kHeaderRowHeight;
constexpr double kRowHeight = 8;

QFont ReportFont(double pointSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans Arabic UI"), QStringLiteral("Noto Sans Arabic"),
                      QStringLiteral("Noto Naskh Arabic"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

// Millimetres to device units of the painter's device.
class Mm {
public:
    explicit Mm(const QPaintDevice* device) : m_x(device->logicalDpiX() / 25.4), m_y(device->logicalDpiY() / 25.4) {}
    double x(double mm) const { return mm * m_x; }
    double y(double mm) const { return mm * m_y; }
    QRectF rect(double left, double top, double width, double height) const
    {
        return QRectF(x(left), y(top), x(width), y(height));
    }

private:
    double m_x;
    double m_y;
};

void DrawText(QPainter& p, const QRectF& r, const QString& text, Qt::Alignment align, Qt::LayoutDirection dir)
{
    QTextOption opt(align);
    opt.setTextDirection(dir);
    opt.setWrapMode(QTextOption::NoWrap);
    p.drawText(r, text, opt);
}

QString CellText(const ConsumptionRow& row, int lineNumber, int column)
{
    switch (column) {
    case 0: return QString::number(lineNumber);
    case 1: return row.FromDate;
    case 2: return row.ToDate;
    case 3: return row.DataReceiveCount;
    case 4: return QString::number(row.MaxWentVolume);
    case 5: return QString::number(row.MinWentVolume);
    case 6: return QString::number(row.Consumed());
    }
    return QString();
}

QPageLayout ReportPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(kMargin, kMargin, kMargin, kMargin), QPageLayout::Millimeter);
}

void DefaultPreview(const ConsumptionReport& report, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(ReportPageLayout());
    printer.setDocName(kTitle.trimmed());
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(kTitle.trimmed());
    dialog.setLayoutDirection(Qt::LeftToRight);   // the page itself is drawn right to left
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&report](QPrinter* p) { report.Render(p); });

    // Saving a PDF straight from the preview, without going through a printer dialog.
    if (QToolBar* bar = dialog.findChild<QToolBar*>()) {
        bar->addSeparator();
        QAction* save = bar->addAction(dialog.style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("PDF"));
        save->setObjectName(QStringLiteral("actSavePdf"));
        save->setToolTip(QStringLiteral("PDF"));
        QObject::connect(save, &QAction::triggered, &dialog, [&dialog, &report]() {
            const QString path = QFileDialog::getSaveFileName(&dialog, QStringLiteral("PDF"), QString(),
                                                              QStringLiteral("PDF (*.pdf)"));
            if (path.isEmpty())
                return;
            QPdfWriter pdf(path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) ? path : path + QLatin1String(".pdf"));
            pdf.setTitle(kTitle.trimmed());
            report.Render(&pdf);
        });
    }
    dialog.resize(900, 1000);
    dialog.exec();
}

ReportPreviewPresenter& Presenter()
{
    static ReportPreviewPresenter presenter;
    return presenter;
}

}  // namespace

int ConsumptionReport::RowsPerPage()
{
    return int((kBodyHeight - kRowsTop) / kRowHeight);
}

int ConsumptionReport::PageCountFor(int rowCount)
{
    if (rowCount <= 0)
        return 1;
    const int perPage = RowsPerPage();
    return (rowCount + perPage - 1) / perPage;
}

bool ConsumptionReport::Render(QPagedPaintDevice* device) const
{
    if (!device)
        return false;
    device->setPageLayout(ReportPageLayout());
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const int pages = pageCount();
    for (int page = 1; page <= pages; ++page) {
        if (page > 1 && !device->newPage())
            break;
        PaintPage(painter, page);
    }
    return painter.end();
}

void ConsumptionReport::PaintPage(QPainter& p, int page) const
{
    const Mm mm(p.device());
    const int pages = pageCount();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QColor ink(0x1a, 0x1a, 0x1a);

    // Title and meter, centred.
    p.setPen(ink);
    p.setFont(ReportFont(16, true));
    DrawText(p, mm.rect(0, kTitleTop, kBodyWidth, kTitleHeight), kTitle, Qt::AlignCenter, Qt::RightToLeft);
    p.setFont(ReportFont(11, false));
    DrawText(p, mm.rect(0, kDeviceTop, kBodyWidth, kDeviceHeight), lblDeviceName, Qt::AlignCenter, Qt::RightToLeft);

    // Report date and page numbers at the left edge. Each label keeps its colon on the left, so it
    // reads "label: value" right to left with the value placed further left.
    p.setFont(ReportFont(9, false));
    const QFontMetricsF fm(p.font(), p.device());
    const double gap = mm.x(1.5);
    auto pieces = [&](double top, const QStringList& rightToLeft) {
        // Lay the pieces out from the left edge: the last piece is leftmost.
        double x = 0;
        for (int i = rightToLeft.size() - 1; i >= 0; --i) {
            const double w = fm.horizontalAdvance(rightToLeft[i]) + mm.x(0.5);
            DrawText(p, QRectF(x, mm.y(top), w, mm.y(6)), rightToLeft[i], Qt::AlignLeft | Qt::AlignVCenter, Qt::LeftToRight);
            x += w + gap;
        }
    };
    pieces(2, {kReportDate, lblDate});
    pieces(10, {kPage, QString::number(page), kOf, QString::number(pages)});

    p.setPen(QPen(QColor(0x60, 0x60, 0x60), mm.y(0.3)));
    p.drawLine(QPointF(0, mm.y(kRuleY)), QPointF(mm.x(kBodyWidth), mm.y(kRuleY)));

    // Column titles: boxed, bold, light grey; the first column is at the right edge.
    const QPen boxPen(ink, mm.y(0.2));
    p.setFont(ReportFont(9, true));
    double right = kBodyWidth;
    for (const Column& c : kColumns) {
        const QRectF r = mm.rect(right - c.width, kHeaderRowTop, c.width, kHeaderRowHeight);
        p.setPen(boxPen);
        p.setBrush(QColor(0xe6, 0xe6, 0xe6));
        p.drawRect(r);
        p.setPen(ink);
        DrawText(p, r, c.title, Qt::AlignCenter, Qt::RightToLeft);
        right -= c.width;
    }

    // Rows of this page.
    p.setFont(ReportFont(9, false));
    p.setBrush(Qt::NoBrush);
    const int perPage = RowsPerPage();
    const int first = (page - 1) * perPage;
    const int last = qMin(int(rows.size()), first + perPage);
    double top = kRowsTop;
    for (int i = first; i < last; ++i, top += kRowHeight) {
        right = kBodyWidth;
        for (int col = 0; col < kColumnCount; ++col) {
            const QRectF r = mm.rect(right - kColumns[col].width, top, kColumns[col].width, kRowHeight);
            p.setPen(boxPen);
            p.drawRect(r);
            p.setPen(ink);
            DrawText(p, r, CellText(rows.at(i), i + 1, col), Qt::AlignCenter, Qt::LeftToRight);
            right -= kColumns[col].width;
        }
    }
    p.restore();
}

ConsumptionReport MakeConsumptionReport(const QString& serialText, const ConsumptionRows& rows)
{
    ConsumptionReport report;
    report.lblDate = DateProc::TodaySolar();
    report.lblDeviceName = kSerialPrefix + serialText;
    report.rows = rows;
    return report;
}

ReportPreviewPresenter SetReportPreviewPresenter(ReportPreviewPresenter presenter)
{
    ReportPreviewPresenter previous = std::move(Presenter());
    Presenter() = std::move(presenter);
    return previous;
}

void PreviewConsumptionReport(const QString& serialText, const ConsumptionRows& rows, QWidget* parent)
{
    const ConsumptionReport report = MakeConsumptionReport(serialText, rows);
    if (Presenter())
        Presenter()(report, parent);
    else
        DefaultPreview(report, parent);
}
