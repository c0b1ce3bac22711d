// The grid's search panel on a list screen: what the rows show while the operator searches, how
// the bar opens and closes from the keyboard, and where Boolean columns draw their check boxes.

#include "ListTestSupport.h"

#include <QDialog>
#include <QHeaderView>
#include <QImage>
#include <QJsonDocument>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace {
QFrame* searchBar(ListGrid* grid)
{
    return grid->findChild<QFrame*>(QStringLiteral("pnlSearch"));
}

// The rows of the search fixture: serials with a quote, a percent and an underscore, letters of
// both cases, an Arabic yeh and kaf (as replies carry them), codes that only the Err column's
// display text shows, and Boolean values that show as check boxes only.
QList<TestRow> searchRows()
{
    return {{"AB-100", 1, "0101", true, 3.2, "0"},
            {"ab-200", 2, "0102", false, 3.2, "7"},
            {"12'3", 3, "0201", true, 3.2, "0"},
            {"1%0", 4, "0202", true, 3.2, "0"},
            {"1_0", 5, "0101", false, 3.2, "0"},
            {QStringLiteral("علي كريمي"), 6, "0103", true, 3.2, "0"}};
}
}  // namespace

TEST_F(ListScreenTest, SearchNarrowsToRowsWhereAnyShownColumnHoldsTheText)
{
    struct Case {
        QString text;
        QStringList serials;
    };
    const QList<Case> cases = {
        {"ab-", {"AB-100", "ab-200"}},   // any case
        {"  Ab-2 ", {"ab-200"}},         // blanks around the text do not count
        {"'", {"12'3"}},                 // a quote is a plain character
        {"%", {"1%0"}},                  // so is a percent sign
        {"_", {"1_0"}},                  // and an underscore
        {"1%", {"1%0"}},
        {"e:7", {"ab-200"}},             // the Err column's displayed text, not its stored code
        {"0201", {"12'3"}},              // the last column
        {"5", {"1_0"}},                  // the Volume column
        {"true", {}},                    // check boxes show no text
        {QStringLiteral("علی"), {QStringLiteral("علي كريمي")}},     // Persian yeh finds the Arabic one
        {QStringLiteral("کریمی"), {QStringLiteral("علي كريمي")}},   // and Persian kaf the Arabic one
        {QStringLiteral("۰۲۰۱"), {"12'3"}},                         // the keyboard's digits find ASCII ones
        {"nothing like it", {}},
    };
    for (ListMode mode : {ListMode::QueryBacked, ListMode::TableOnly}) {
        make(mode);
        m_conditions = {Cond::compare("Volume", ">=", 1)};
        load(searchRows());
        const QStringList queryBefore = m_screen->vq() ? m_screen->vq()->lines() : QStringList();
        for (const Case& c : cases) {
            m_grd->setSearchText(c.text);
            EXPECT_EQ(column(ColSerial), c.serials) << c.text.toStdString();
            EXPECT_EQ(m_lblCount->text(), QStringLiteral("6"));
            EXPECT_EQ(m_screen->vt().rowCount(), 6);
            EXPECT_EQ(m_screen->vt().rowFilter().text, QString());
            if (m_screen->vq()) {
                EXPECT_EQ(m_screen->vq()->lines(), queryBefore);
            }
        }
        EXPECT_TRUE(m_grd->isSearchOpen());
        m_grd->setSearchText(QString());   // an empty box shows every row again
        EXPECT_EQ(m_grd->rowCount(), 6);
        EXPECT_TRUE(m_boxes.boxes.isEmpty());
    }
}

TEST_F(ListScreenTest, SearchAndColumnFiltersNarrowTogether)
{
    make(ListMode::QueryBacked);
    load(searchRows());
    m_grd->setColumnFilter(ColCode, QStringLiteral("0101"));
    m_grd->applyFilter();
    ASSERT_EQ(column(ColSerial), (QStringList{"AB-100", "1_0"}));

    m_grd->setSearchText(QStringLiteral("ab"));
    EXPECT_EQ(column(ColSerial), QStringList{"AB-100"});
    // Changing the column filters keeps the search, and the other way round.
    m_grd->setColumnFilter(ColCode, QStringLiteral("01"));
    m_grd->applyFilter();
    EXPECT_EQ(column(ColSerial), (QStringList{"AB-100", "ab-200"}));
    m_grd->setSearchText(QString());
    EXPECT_EQ(column(ColSerial), (QStringList{"AB-100", "ab-200", "12'3", "1_0", QStringLiteral("علي كريمي")}));
    m_grd->setSearchText(QStringLiteral("1_"));
    m_grd->clearColumnFilters();
    EXPECT_EQ(column(ColSerial), QStringList{"1_0"});
    EXPECT_EQ(m_lblCount->text(), QStringLiteral("6"));
}

TEST_F(ListScreenTest, SearchStaysThroughRefreshesWhileTheBarIsOpen)
{
    make(ListMode::QueryBacked);
    load(searchRows());
    m_grd->setSearchText(QStringLiteral("ab"));
    ASSERT_EQ(m_grd->rowCount(), 2);

    load({{"AB-300", 1}, {"XY-1", 2}, {"Abc", 3}});
    EXPECT_EQ(column(ColSerial), (QStringList{"AB-300", "Abc"}));
    EXPECT_EQ(m_grd->searchBox()->text(), QStringLiteral("ab"));
    EXPECT_EQ(m_lblCount->text(), QStringLiteral("3"));

    // A sort keeps the search too.
    m_grd->markColumn(ColVolume, false);
    m_grd->markColumn(ColVolume, false);
    EXPECT_EQ(column(ColSerial), (QStringList{"Abc", "AB-300"}));

    // A pause that ends while a refresh holds the grid is applied when the grid comes back.
    m_grd->beginUpdate();
    m_grd->setSearchText(QStringLiteral("300"));
    m_grd->endUpdate();
    EXPECT_EQ(column(ColSerial), QStringList{"AB-300"});

    m_grd->closeSearch();
    EXPECT_FALSE(m_grd->isSearchOpen());
    EXPECT_EQ(m_grd->searchText(), QString());
    EXPECT_EQ(m_grd->searchBox()->text(), QString());
    EXPECT_EQ(m_grd->rowCount(), 3);
    load(searchRows());
    EXPECT_EQ(m_grd->rowCount(), 6);
}

TEST_F(ListScreenTest, SearchBarOpensFromTheKeyboardAndTheCornerAndEscapeClearsIt)
{
    make(ListMode::TableOnly);
    load(searchRows());
    m_window->show();
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    QFrame* bar = searchBar(m_grd);
    ASSERT_NE(bar, nullptr);
    QLineEdit* box = m_grd->findChild<QLineEdit*>(QStringLiteral("edtSearch"));
    ASSERT_EQ(box, m_grd->searchBox());
    EXPECT_EQ(box->placeholderText(), QStringLiteral("جستجو در همه ستون ها"));
    EXPECT_FALSE(bar->isVisible());
    const QRect rowsBefore = m_grd->viewport()->geometry();

    m_grd->setFocus();
    QTest::keyClick(m_grd, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(bar->isVisible());
    EXPECT_TRUE(box->hasFocus());
    // The bar sits above the titles, which sit above the rows; the rows give up its height.
    const QRect titles = m_grd->horizontalHeader()->geometry();
    EXPECT_LE(bar->geometry().bottom(), titles.top());
    EXPECT_LE(titles.bottom(), m_grd->viewport()->geometry().top());
    EXPECT_EQ(titles.height(), m_grd->horizontalHeader()->sizeHint().height() - bar->height());
    EXPECT_EQ(m_grd->viewport()->geometry().height(), rowsBefore.height() - bar->height());

    // Typing narrows the rows only after a pause.
    m_grd->setSearchDelay(80);
    QTest::keyClicks(box, QStringLiteral("AB-"));
    EXPECT_EQ(m_grd->rowCount(), 6);
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_grd->rowCount() == 2; }, 3000));
    QTest::keyClick(box, Qt::Key_1);
    QTest::keyClick(box, Qt::Key_Return);   // Enter does not wait
    EXPECT_EQ(column(ColSerial), QStringList{"AB-100"});

    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(box->text(), QString());
    EXPECT_EQ(m_grd->rowCount(), 6);
    EXPECT_TRUE(m_grd->hasFocus());
    EXPECT_EQ(m_grd->viewport()->geometry(), rowsBefore);

    // The corner button opens the bar and closes it again; Escape on the rows closes it too.
    QToolButton* corner = m_grd->findChild<QToolButton*>(QStringLiteral("btnSearch"));
    ASSERT_NE(corner, nullptr);
    ASSERT_TRUE(corner->isVisible());
    const QRect numbers = m_grd->verticalHeader()->geometry();
    EXPECT_EQ(corner->geometry().left(), numbers.left());
    EXPECT_EQ(corner->geometry().bottom(), m_grd->horizontalHeader()->geometry().bottom());
    QTest::mouseClick(corner, Qt::LeftButton);
    ASSERT_TRUE(bar->isVisible());
    QTest::keyClicks(box, QStringLiteral("12'"));
    QTest::keyClick(box, Qt::Key_Down);   // down into the rows, searched without the pause
    EXPECT_TRUE(m_grd->hasFocus());
    EXPECT_EQ(m_grd->rowCount(), 1);
    QTest::keyClick(m_grd, Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(m_grd->rowCount(), 6);
    QTest::mouseClick(corner, Qt::LeftButton);
    m_grd->setSearchText(QStringLiteral("ab"));
    QTest::mouseClick(corner, Qt::LeftButton);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(m_grd->rowCount(), 6);

    // A grid without the panel ignores Ctrl+F and has no corner button.
    m_grd->setSearchEnabled(false);
    m_grd->setFocus();
    QTest::keyClick(m_grd, Qt::Key_F, Qt::ControlModifier);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(corner->isVisible());
}

TEST_F(ListScreenTest, EscapeInTheSearchBoxDoesNotCloseTheDialog)
{
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* grid = new ListGrid(&dialog);
    layout->addWidget(grid);
    ListScreenConfig config = testConfig(ListMode::TimerOnlyNoIndicator);
    ListScreen list(std::move(config), grid, nullptr);
    dialog.resize(600, 300);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(grid->isSearchOpen());
    QTest::keyClick(grid->searchBox(), Qt::Key_Escape);
    EXPECT_FALSE(grid->isSearchOpen());
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(grid, Qt::Key_Escape);   // with the bar closed Escape is the dialog's again
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), int(QDialog::Rejected));
}

TEST_F(ListScreenTest, SearchFollowsTheGridToAnotherTable)
{
    ListTable daily({{"Day", FieldType::Text}}), weekly({{"Day", FieldType::Text}});
    RowReader reader;
    reader.keys = {{"Day"}};
    daily.loadRows(QJsonDocument::fromJson(R"([{"Day":"d1 x"},{"Day":"d2"}])").array(), reader);
    weekly.loadRows(QJsonDocument::fromJson(R"([{"Day":"w1"},{"Day":"w2 x"},{"Day":"w3 x"}])").array(), reader);
    ListColumns dailyColumns({{"Day"}}), weeklyColumns({{"Day"}});
    dailyColumns.bind(daily);
    weeklyColumns.bind(weekly);
    ListCursor dailyDs, weeklyDs;
    dailyDs.setTable(&daily);
    weeklyDs.setTable(&weekly);
    dailyDs.open();
    weeklyDs.open();
    m_grd->setSource(&dailyDs, &dailyColumns);
    m_grd->setSearchText(QStringLiteral("x"));
    EXPECT_EQ(column(0), QStringList{"d1 x"});
    m_grd->setSource(&weeklyDs, &weeklyColumns);
    EXPECT_EQ(column(0), (QStringList{"w2 x", "w3 x"}));
    m_grd->closeSearch();
    EXPECT_EQ(m_grd->rowCount(), 3);
    m_grd->setSource(&dailyDs, &dailyColumns);   // the table left while searching shows every row
    EXPECT_EQ(m_grd->rowCount(), 2);
    m_grd->setSource(nullptr, nullptr);
}

TEST_F(ListScreenTest, CheckBoxesAreDrawnWhereTheColumnAlignsThem)
{
    struct Case {
        Qt::LayoutDirection direction;
        Qt::Alignment alignment;
        int expectedCentre;   // -1 the cell's centre, 0 near its left edge, 1 near its right edge
    };
    const QList<Case> cases = {
        {Qt::RightToLeft, Qt::AlignCenter, -1},
        {Qt::LeftToRight, Qt::AlignCenter, -1},
        {Qt::LeftToRight, Qt::AlignLeft | Qt::AlignVCenter, 0},
        {Qt::RightToLeft, Qt::AlignLeft | Qt::AlignVCenter, 1},   // leading edge, mirrored
    };
    for (const Case& c : cases) {
        m_screen.reset();
        ListScreenConfig config = testConfig(ListMode::TableOnly);
        config.columns[ColOpen].alignment = c.alignment;
        m_screen = std::make_unique<ListScreen>(std::move(config), m_grd, m_lblCount);
        m_grd->setLayoutDirection(c.direction);
        load({{"A", 1, "01", true}, {"B", 2, "01", false}, {"C", 3, "01", true}});
        m_grd->setColumnWidth(ColOpen, 200);
        m_grd->setCurrentRow(0);
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
        const QImage image = m_grd->viewport()->grab().toImage();
        for (int row : {1, 2}) {   // rows other than the selected one, checked and not
            const QRect cell = m_grd->visualRect(m_grd->model()->index(row, ColOpen)).adjusted(1, 1, -2, -2);
            const QRgb background = image.pixel(cell.topLeft());
            QRect drawn;
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x)
                    if (image.pixel(x, y) != background)
                        drawn |= QRect(x, y, 1, 1);
            ASSERT_FALSE(drawn.isEmpty()) << row;
            EXPECT_LE(drawn.width(), 40) << row;   // a box, not the cell's text or fill
            EXPECT_NEAR(drawn.center().y(), cell.center().y(), 2) << row;
            if (c.expectedCentre < 0)
                EXPECT_NEAR(drawn.center().x(), cell.center().x(), 2) << row;
            else if (c.expectedCentre == 0)
                EXPECT_LT(drawn.center().x(), cell.left() + 30) << row;
            else
                EXPECT_GT(drawn.center().x(), cell.right() - 30) << row;
        }
        EXPECT_EQ(m_grd->cellText(1, ColOpen), QStringLiteral("False"));   // the export's text stays
    }
    m_grd->setLayoutDirection(Qt::RightToLeft);
}
