// The printable consumption report, rendered to PDF files as the preview would print them.

#include "MeterViewsFixtures.h"
#include "meters/ConsumptionReport.h"

#include <QFile>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Pages of a PDF: pdfinfo when it is installed, otherwise the page objects in the file.
int PdfPageCount(const QString& path)
{
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (!pdfinfo.isEmpty()) {
        QProcess p;
        p.start(pdfinfo, {path});
        if (p.waitForFinished(30000) && p.exitCode() == 0) {
            const QRegularExpressionMatch m =
                QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
                    .match(QString::fromUtf8(p.readAllStandardOutput()));
            if (m.hasMatch())
                return m.captured(1).toInt();
        }
        return -1;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return int(QString::fromLatin1(f.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![s\\w])"))));
}

// The text of one page, or a null string when pdftotext is not installed.
QString PdfPageText(const QString& path, int page)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        return QString();
    QProcess p;
    p.start(pdftotext, {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
                        QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class ConsumptionReportPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        DateProc::SetFixedNow(QDateTime(QDate(2024, 3, 24), QTime(10, 0)));   // 1403/01/05
    }
    void TearDown() override { DateProc::ResetClock(); }

    QString Render(const ConsumptionReport& report, const QString& name)
    {
        const QString path = dir.filePath(name);
        QPdfWriter pdf(path);
        EXPECT_TRUE(report.Render(&pdf));
        return path;
    }

    QTemporaryDir dir;
};

TEST_F(ConsumptionReportPdf, HundredRowsFillTheirPagesAndEveryPageHasItsHeader)
{
    const ConsumptionReport report = MakeConsumptionReport(QStringLiteral("123456789012345"), MakeConsumptionRows(100, 1));
    // The 8 mm lines under the header fit 277 mm of A4 inside its margins.
    const int perPage = ConsumptionReport::RowsPerPage();
    EXPECT_GE(perPage, 25);
    EXPECT_LE(perPage * 8, 277 - 20);
    const int expected = (100 + perPage - 1) / perPage;
    EXPECT_EQ(report.pageCount(), expected);

    const QString path = Render(report, QStringLiteral("report.pdf"));
    EXPECT_EQ(PdfPageCount(path), expected);

    if (PdfPageText(path, 1).isNull())
        GTEST_SKIP() << "pdftotext is not installed";
    for (int page = 1; page <= expected; ++page) {
        const QString text = PdfPageText(path, page);
        EXPECT_TRUE(text.contains(QStringLiteral("1403/01/05"))) << "report date on page " << page;
        EXPECT_TRUE(text.contains(QStringLiteral("123456789012345"))) << "meter on page " << page;
    }
    // Line numbers run on across pages: the first line of page 2 is perPage + 1.
    const QString second = PdfPageText(path, 2);
    EXPECT_TRUE(second.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(perPage + 1))));
    EXPECT_FALSE(second.contains(QRegularExpression(QStringLiteral("\\b1403/05/31\\b"))));   // row 1 is on page 1
    EXPECT_TRUE(PdfPageText(path, expected).contains(QRegularExpression(QStringLiteral("\\b100\\b"))));
}

TEST_F(ConsumptionReportPdf, PageSizeIsA4Portrait)
{
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (pdfinfo.isEmpty())
        GTEST_SKIP() << "pdfinfo is not installed";
    ConsumptionReport report = MakeConsumptionReport(QString(), MakeConsumptionRows(3, 7));
    // Whatever the device was set to, the report is A4 portrait.
    const QString path = dir.filePath(QStringLiteral("a4.pdf"));
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::Letter));
    pdf.setPageOrientation(QPageLayout::Landscape);
    ASSERT_TRUE(report.Render(&pdf));
    QProcess p;
    p.start(pdfinfo, {path});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString info = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts")))) << info.toStdString();
}

TEST_F(ConsumptionReportPdf, PageCounts)
{
    const int perPage = ConsumptionReport::RowsPerPage();
    EXPECT_EQ(ConsumptionReport::PageCountFor(0), 1);   // the header and column titles alone
    EXPECT_EQ(ConsumptionReport::PageCountFor(1), 1);
    EXPECT_EQ(ConsumptionReport::PageCountFor(perPage), 1);
    EXPECT_EQ(ConsumptionReport::PageCountFor(perPage + 1), 2);

    const QString path = Render(MakeConsumptionReport(QString(), {}), QStringLiteral("empty.pdf"));
    EXPECT_EQ(PdfPageCount(path), 1);
    const QString exact = Render(MakeConsumptionReport(QString(), MakeConsumptionRows(perPage, 1)), QStringLiteral("exact.pdf"));
    EXPECT_EQ(PdfPageCount(exact), 1);
}

TEST_F(ConsumptionReportPdf, FieldsComeFromTodayAndTheSerialBox)
{
    const ConsumptionRows rows = MakeConsumptionRows(2, 7);
    const ConsumptionReport report = MakeConsumptionReport(QStringLiteral("123456789012345"), rows);
    EXPECT_EQ(report.lblDate, QStringLiteral("1403/01/05"));
    EXPECT_EQ(report.lblDeviceName, QStringLiteral("سریال کنتور ") + QLatin1String("123456789012345"));
    EXPECT_EQ(report.rows.size(), 2);
    // In contract-number mode the serial box is empty: the prefix stands alone.
    EXPECT_EQ(MakeConsumptionReport(QString(), rows).lblDeviceName, QStringLiteral("سریال کنتور "));
}

TEST_F(ConsumptionReportPdf, PreviewGoesThroughTheInstalledPresenter)
{
    QVector<ConsumptionReport> shown;
    const ReportPreviewPresenter previous = SetReportPreviewPresenter(
        [&shown](const ConsumptionReport& report, QWidget*) { shown.append(report); });
    PreviewConsumptionReport(QStringLiteral("123456789012345"), MakeConsumptionRows(5, 30), nullptr);
    SetReportPreviewPresenter(previous);

    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].rows.size(), 5);
    EXPECT_EQ(shown[0].lblDate, QStringLiteral("1403/01/05"));
}

TEST_F(ConsumptionReportPdf, UnwritablePathIsReportedNotSucceeded)
{
    QPdfWriter pdf(dir.filePath(QStringLiteral("missing/folder/report.pdf")));
    EXPECT_FALSE(MakeConsumptionReport(QString(), MakeConsumptionRows(3, 1)).Render(&pdf));
}

}  // namespace
