// The spreadsheet export: the confirmation, the folder choice, the file name, what the workbook
// holds (read back from the written file), replacing a file, spill-over onto further sheets and
// the error box when the file cannot be made.

#include "ListTestSupport.h"

#include "calendar/DateProc.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
class ExportTest : public ListScreenTest {
protected:
    void SetUp() override
    {
        ListScreenTest::SetUp();
        ASSERT_TRUE(m_folder.isValid());
        DateProc::SetFixedNow(QDateTime(QDate(2024, 3, 24), QTime(10, 0)));   // 1403/01/05
        m_previousChooser = SetFolderChooser([this](QWidget*, const QString& title) {
            m_chooserTitles << title;
            return m_chosen;
        });
        m_chosen = m_folder.path();
    }

    void TearDown() override
    {
        SetFolderChooser(m_previousChooser);
        DateProc::ResetClock();
        ListScreenTest::TearDown();
    }

    QString expectedFile() const { return m_folder.path() + QDir::separator() + QStringLiteral("Test_List 14030105.xlsx"); }

    QTemporaryDir m_folder;
    QString m_chosen;
    QStringList m_chooserTitles;
    FolderChooser m_previousChooser;
};

const QString Confirm = QStringLiteral("تهیه فایل اکسل بسته به تعداد ردیف های جدول ممکن است زمانبر باشد") +
                        QStringLiteral("\r\n") + QStringLiteral("آیا برای ایجاد فایل اکسل اطمینان دارید؟");
const QString Done = QStringLiteral(" فایل اکسل با موفقیت ایجاد شد");
const QStringList Titles = {"Serial title", "Volume title", "Open title", "Err title", "Code title"};
}  // namespace

TEST_F(ExportTest, WritesEveryShownRowWithTitlesAndDisplayedValuesAndReplacesTheFile)
{
    make(ListMode::QueryBacked);
    load({{"A'1", 12, "0102", true, 3.2, "12"}, {"B&<2>", -5, "01", false, 2.5, "0"}});
    m_boxes.boxes.clear();
    m_screen->AdvSmoothButton7Click();

    ASSERT_EQ(m_boxes.boxes.size(), 2);
    EXPECT_EQ(m_boxes.boxes.at(0).text, Confirm);
    EXPECT_EQ(m_boxes.boxes.at(0).caption, QStringLiteral("تصديق"));
    EXPECT_EQ(m_boxes.boxes.at(1).text, Done);
    EXPECT_EQ(m_boxes.boxes.at(1).caption, QStringLiteral("اطلاع"));
    EXPECT_EQ(m_chooserTitles, QStringList{QStringLiteral("محل ذخیره سازی فایل اکسل")});
    EXPECT_EQ(m_screen->exportFileName(m_folder.path()), expectedFile());
    ASSERT_TRUE(QFile::exists(expectedFile()));
    EXPECT_EQ(sheetCells(expectedFile(), 1),
              Titles + QStringList({"A'1", "12", "True", "E:12", "0102", "B&amp;&lt;2&gt;", "-5", "False", "01"}));
    EXPECT_TRUE(zipEntry(expectedFile(), "xl/worksheets/sheet2.xml").isEmpty());

    // The same day again: the file is replaced by the new rows, and only the rows the column
    // filter leaves are written.
    load({{"C", 1}, {"D", 2}, {"E", 3}});
    m_grd->setColumnFilter(ColSerial, QStringLiteral("d"));
    m_grd->applyFilter();
    m_screen->AdvSmoothButton7Click();
    EXPECT_EQ(sheetCells(expectedFile(), 1), Titles + QStringList({"D", "2", "True", "01"}));
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files), QStringList{"Test_List 14030105.xlsx"});
}

TEST_F(ExportTest, DecliningOrCancellingWritesAndShowsNothing)
{
    make(ListMode::TableOnly);
    load({{"A", 1}});
    m_boxes.boxes.clear();

    m_boxes.answer = mrNo;
    m_screen->AdvSmoothButton7Click();
    EXPECT_TRUE(m_chooserTitles.isEmpty());
    EXPECT_EQ(m_boxes.boxes.size(), 1);

    m_boxes.answer = mrYes;
    m_chosen.clear();
    m_screen->AdvSmoothButton7Click();
    EXPECT_EQ(m_chooserTitles.size(), 1);
    EXPECT_EQ(m_boxes.boxes.size(), 2);   // the two confirmations, nothing after them
    EXPECT_TRUE(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(ExportTest, AFileThatCannotBeMadeShowsWhyInsteadOfSuccess)
{
    make(ListMode::TableOnly);
    load({{"A", 1}});
    QFile blocker(m_folder.filePath(QStringLiteral("not a folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    for (const QString& folder : {m_folder.filePath(QStringLiteral("missing/deeper")), blocker.fileName()}) {
        m_boxes.boxes.clear();
        m_chosen = folder;
        m_screen->AdvSmoothButton7Click();
        ASSERT_EQ(m_boxes.boxes.size(), 2) << folder.toStdString();
        const MessageBoxRequest& box = m_boxes.boxes.at(1);
        EXPECT_EQ(box.caption, QStringLiteral("خطا"));
        EXPECT_TRUE(box.text.startsWith(QStringLiteral("فایل اکسل ایجاد نشد") + QStringLiteral("\r\n"))) << box.text.toStdString();
        EXPECT_GT(box.text.size(), QStringLiteral("فایل اکسل ایجاد نشد\r\n").size() + 5);
    }

    // A file of that name that is a folder cannot be replaced; it stays as it was.
    QDir(m_folder.path()).mkdir(QStringLiteral("Test_List 14030105.xlsx"));
    m_boxes.boxes.clear();
    m_chosen = m_folder.path();
    m_screen->AdvSmoothButton7Click();
    ASSERT_EQ(m_boxes.boxes.size(), 2);
    EXPECT_EQ(m_boxes.boxes.at(1).caption, QStringLiteral("خطا"));
    EXPECT_TRUE(QFileInfo(expectedFile()).isDir());
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"not a folder"});
}

TEST_F(ExportTest, RowsBeyondOneSheetContinueOnFurtherSheetsUnderTheTitles)
{
    make(ListMode::TableOnly);
    load(numberedRows(5));
    m_screen->setExportRowsPerSheet(2);
    m_screen->AdvSmoothButton7Click();
    const QList<QStringList> expected = {
        {"S00000", "0", "True", "01", "S00001", "1", "True", "01"},
        {"S00002", "2", "True", "01", "S00003", "3", "True", "01"},
        {"S00004", "4", "True", "01"},
    };
    for (int sheet = 1; sheet <= 3; ++sheet)
        EXPECT_EQ(sheetCells(expectedFile(), sheet), Titles + expected.at(sheet - 1)) << sheet;
    EXPECT_TRUE(zipEntry(expectedFile(), "xl/worksheets/sheet4.xml").isEmpty());
}

TEST(XlsxWriter, EmptyExportStillHoldsTheTitles)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("empty.xlsx"));
    XlsxWriter out(path, {"a", "b"}, 3);
    EXPECT_EQ(out.close(), QString());
    EXPECT_EQ(out.sheetCount(), 1);
    EXPECT_EQ(sheetCells(path, 1), (QStringList{"a", "b"}));
}
