// The list screen engine driven like a screen: a small configuration against the scripted
// server, checked by what the grid, the count label, the boxes and the clipboard show.

#include "ListTestSupport.h"

#include <QJsonDocument>
#include <QMenu>
#include <QTest>
#include <QTimer>


TEST_F(ListScreenTest, RefreshShowsRowsInReplyOrderWithCount)
{
    for (ListMode mode : {ListMode::QueryBacked, ListMode::TableOnly}) {
        make(mode);
        load({{"C", 3}, {"A", 1}, {"B", 2}});
        EXPECT_EQ(column(ColSerial), (QStringList{"C", "A", "B"}));
        EXPECT_EQ(column(ColErr), (QStringList{"", "", ""}));
        EXPECT_EQ(m_lblCount->text(), QStringLiteral("3"));
        EXPECT_FALSE(m_grd->isLoading());
        EXPECT_TRUE(m_boxes.boxes.isEmpty());
        EXPECT_EQ(m_grd->currentRow(), 0);
        EXPECT_EQ(m_grd->model()->headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));   // record numbers
        EXPECT_EQ(m_grd->model()->headerData(ColSerial, Qt::Horizontal).toString(), QStringLiteral("Serial title"));
        const RecordedRequest& request = m_server.requests().last();
        EXPECT_EQ(request.path, QByteArray("/ws/get_test_list"));
        EXPECT_EQ(request.body, QByteArray(R"({"user_id":"u1"})"));
    }
}

TEST_F(ListScreenTest, FailedOrEmptyReplyShowsTheMessageAndEmptiesGridAndCount)
{
    struct Case {
        ScriptedReply reply;
        QString message;
    };
    const QList<Case> cases = {
        {reply(200, "OK", ScriptedHttpServer::envelope("0", "refused", rowsJson({{"X", 1}}))), "refused"},
        {reply(200, "OK", ScriptedHttpServer::envelope("1", "nothing found", "[]")), "nothing found"},
        {reply(500, "Internal Server Error", ""), QStringLiteral("سرور موقتا با اشکال مواجه است ")},
        {reply(502, "Bad Gateway", ""), ""},
    };
    make(ListMode::QueryBacked);
    bool loadingWhenShown = false;
    m_boxes.onBox = [&](const MessageBoxRequest&) { loadingWhenShown = m_grd->isLoading(); };
    for (const Case& c : cases) {
        load({{"A", 1}, {"B", 2}});
        ASSERT_EQ(m_lblCount->text(), QStringLiteral("2"));
        m_boxes.boxes.clear();
        m_server.enqueue(c.reply);
        m_screen->btnRefreshClick();
        ASSERT_EQ(m_boxes.boxes.size(), 1);
        EXPECT_EQ(m_boxes.boxes.first().caption, QStringLiteral("خطا"));
        EXPECT_EQ(m_boxes.boxes.first().text, c.message);
        EXPECT_TRUE(loadingWhenShown);
        EXPECT_EQ(m_grd->rowCount(), 0);
        EXPECT_EQ(m_lblCount->text(), QString());
        EXPECT_EQ(m_screen->vt().rowCount(), 0);
        EXPECT_FALSE(m_grd->isLoading());
    }
}

TEST_F(ListScreenTest, CountGroupsThousands)
{
    make(ListMode::TableOnly);
    load(numberedRows(1234));
    EXPECT_EQ(m_lblCount->text(), QStringLiteral("1,234"));
    EXPECT_EQ(m_grd->rowCount(), 1234);
}

TEST_F(ListScreenTest, FiltersMayHideEveryRowWhileTheCountKeepsTheLoadedRows)
{
    make(ListMode::QueryBacked);
    m_conditions = {Cond::equals("Serial", "none of them")};
    load({{"A", 1}, {"B", 2}, {"C", 3}});
    EXPECT_EQ(m_grd->rowCount(), 0);
    EXPECT_EQ(m_lblCount->text(), QStringLiteral("3"));
    EXPECT_EQ(m_grd->emptyText(), QStringLiteral("رکوردی برای نمایش وجود ندارد"));
    EXPECT_EQ(m_screen->vq()->lines(),
              (QStringList{"SELECT * FROM vt ", "WHERE 1 = 1 ", " AND Serial = ? "}));

    // Filters take effect at the next refresh.
    m_conditions = {Cond::compare("Volume", ">=", "2")};
    EXPECT_EQ(m_grd->rowCount(), 0);
    load({{"A", 1}, {"B", 2}, {"C", 3}});
    EXPECT_EQ(column(ColSerial), (QStringList{"B", "C"}));
}

TEST_F(ListScreenTest, QuoteInAFilterValueIsAPlainCharacter)
{
    make(ListMode::QueryBacked);
    m_conditions = {Cond::equals("Serial", "12'3")};
    EXPECT_NO_THROW(load({{"12'3", 1}, {"123", 2}, {"12", 3}}));
    EXPECT_EQ(column(ColSerial), QStringList{"12'3"});
    m_conditions = {Cond::prefix("Serial", "12'")};
    load({{"12'3", 1}, {"123", 2}, {"12'", 3}});
    EXPECT_EQ(column(ColSerial), (QStringList{"12'3", "12'"}));
}

TEST_F(ListScreenTest, SortMarkersOrderByTheFirstMarkedField)
{
    for (ListMode mode : {ListMode::QueryBacked, ListMode::TableOnly}) {
        make(mode);
        load({{"B", 2}, {"C", 3}, {"A", 1}, {"D", 2}});
        m_grd->setCurrentRow(1);
        m_grd->markColumn(ColVolume, false);
        EXPECT_EQ(column(ColSerial), (QStringList{"A", "B", "D", "C"}));
        EXPECT_EQ(m_screen->currentText(QStringLiteral("Serial")), QStringLiteral("C"));   // the same record stays current
        m_grd->markColumn(ColVolume, false);   // the second click turns the direction
        EXPECT_EQ(column(ColSerial), (QStringList{"C", "B", "D", "A"}));
        EXPECT_TRUE(m_grd->model()->headerData(ColVolume, Qt::Horizontal).toString().startsWith("Volume title"));
        m_grd->markColumn(ColSerial, true);    // a marker on a second column changes nothing
        ASSERT_EQ(m_grd->sortMarkers().size(), 2);
        EXPECT_EQ(column(ColSerial), (QStringList{"C", "B", "D", "A"}));
        m_grd->markColumn(ColSerial, false);   // a plain click marks this column alone, turned
        ASSERT_EQ(m_grd->sortMarkers().size(), 1);
        EXPECT_EQ(column(ColSerial), (QStringList{"D", "C", "B", "A"}));
        // The order stays for the next refresh.
        load({{"Y", 0}, {"Z", 0}});
        EXPECT_EQ(column(ColSerial), (QStringList{"Z", "Y"}));
    }
}

TEST_F(ListScreenTest, ClipboardColumnsCopyTheRowsFieldAndNothingOnAnEmptyGrid)
{
    make(ListMode::QueryBacked);
    m_window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    auto click = [&](int row, int column) {
        const QRect cell = m_grd->visualRect(m_grd->model()->index(row, column));
        QTest::mouseClick(m_grd->viewport(), Qt::LeftButton, {}, cell.center());
    };
    m_screen->grdCellClick(0, ColSerial);
    EXPECT_TRUE(m_clipboard.isEmpty());

    load({{"A", 1, "0102"}, {"B", 2, "0103"}});
    click(1, ColSerial);
    click(0, ColVolume);   // not a clipboard column
    click(0, ColCode);
    EXPECT_EQ(m_clipboard, (QStringList{"B", "0102"}));

    m_conditions = {Cond::equals("Serial", "none")};
    load({{"A", 1}});
    m_screen->grdCellClick(0, ColSerial);
    EXPECT_EQ(m_clipboard.size(), 2);
}

TEST_F(ListScreenTest, ContextMenuFiltersWhatTheGridShowsOnly)
{
    make(ListMode::QueryBacked);
    m_conditions = {Cond::compare("Volume", ">=", "0")};
    load({{"AbC1", 1, "01", true, 3.2, "12"}, {"xabc1y", 2}, {"other", 3}, {"ABC1", 4, "01", true, 3.2, "7"}});
    const QStringList queryBefore = m_screen->vq()->lines();
    auto menuFor = [&](int row, int column) {
        auto menu = std::make_unique<QMenu>();
        menu->addAction(QStringLiteral("standard item"));
        TMyDBGridEhCenter::instance().BuildCellPopupMenu(*m_grd, *menu, row, column);
        return menu;
    };

    std::unique_ptr<QMenu> menu = menuFor(0, ColSerial);
    QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_TRUE(actions.at(1)->isSeparator());
    EXPECT_EQ(actions.at(2)->text(), QStringLiteral("پاک کردن فیلتر  ") + QStringLiteral("Serial title"));
    EXPECT_FALSE(actions.at(2)->isEnabled());
    EXPECT_EQ(actions.at(3)->text(), QStringLiteral("اعمال فیلتر روی ") + QStringLiteral("AbC1"));

    actions.at(3)->trigger();   // contains "AbC1", any case
    EXPECT_EQ(column(ColSerial), (QStringList{"AbC1", "xabc1y", "ABC1"}));
    EXPECT_EQ(m_lblCount->text(), QStringLiteral("4"));
    EXPECT_EQ(m_screen->vq()->lines(), queryBefore);
    EXPECT_EQ(m_screen->vt().rowCount(), 4);

    // A second column's filter on its displayed text ("E:7"), on top of the first.
    menu = menuFor(2, ColErr);
    menu->actions().at(3)->trigger();
    EXPECT_EQ(column(ColSerial), QStringList{"ABC1"});

    menu = menuFor(0, ColSerial);
    EXPECT_TRUE(menu->actions().at(2)->isEnabled());
    menu->actions().at(2)->trigger();   // clears the serial column's filter only
    EXPECT_EQ(column(ColSerial), QStringList{"ABC1"});
    menu = menuFor(0, ColErr);
    EXPECT_EQ(menu->actions().at(2)->text(), QStringLiteral("پاک کردن فیلتر  ") + QStringLiteral("Err title"));
    menu->actions().at(2)->trigger();
    EXPECT_EQ(m_grd->rowCount(), 4);

    // Without items of its own the menu starts with the filter items.
    QMenu bare;
    TMyDBGridEhCenter::instance().BuildCellPopupMenu(*m_grd, bare, 1, ColSerial);
    ASSERT_EQ(bare.actions().size(), 2);
    EXPECT_FALSE(bare.actions().first()->isSeparator());
}

TEST_F(ListScreenTest, ReaderErrorEndsTheRefreshButTheFrameStillCloses)
{
    const QByteArray bad = "[" + rowsJson({{"A", 1}}).mid(1).chopped(1) + R"(,{"Serial":"B"},)" +
                           rowsJson({{"C", 3}, {"D", 4}}).mid(1);
    struct Case {
        ListMode mode;
        QStringList shown;   // what the grid shows after the failed refresh
    };
    for (const Case& c : {Case{ListMode::QueryBacked, {}}, Case{ListMode::TableOnly, {"C", "D"}}}) {
        make(c.mode, 60000);
        ASSERT_TRUE(m_screen->tmrLoad()->isActive());
        load({{"X", 1}, {"Y", 2}});
        ASSERT_EQ(m_lblCount->text(), QStringLiteral("2"));
        m_screen->tmrLoad()->start();
        m_server.enqueueEnvelope(QStringLiteral("1"), QStringLiteral("ok"), bad);
        EXPECT_THROW(m_screen->btnRefreshClick(), JsonFieldError);
        EXPECT_FALSE(m_grd->isLoading());
        EXPECT_FALSE(m_screen->tmrLoad()->isActive());
        EXPECT_EQ(m_lblCount->text(), QStringLiteral("2"));   // the count keeps its previous text
        EXPECT_EQ(column(ColSerial), c.shown);
    }
}

TEST_F(ListScreenTest, FirstLoadRunsOnceFromTheTimer)
{
    struct Case {
        ListMode mode;
        bool loadingShown;
    };
    for (const Case& c : {Case{ListMode::QueryBacked, true}, Case{ListMode::TableOnly, true},
                          Case{ListMode::TimerOnly, true}, Case{ListMode::TimerOnlyNoIndicator, false}}) {
        m_server.clear();
        make(c.mode, 30);
        EXPECT_EQ(m_screen->tmrLoad()->objectName(), QStringLiteral("tmrLoad"));
        EXPECT_EQ(m_screen->tmrLoad()->interval(), 30);
        bool loadingWhenShown = !c.loadingShown;
        m_boxes.onBox = [&](const MessageBoxRequest&) { loadingWhenShown = m_grd->isLoading(); };
        m_server.enqueueEnvelope(QStringLiteral("1"), QStringLiteral("empty"), "[]");
        m_server.enqueueEnvelope(QStringLiteral("1"), QStringLiteral("ok"), rowsJson({{"A", 1}}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_server.requests().size() == 1; }, 5000));
        QTest::qWait(150);
        EXPECT_EQ(m_server.requests().size(), 1);
        EXPECT_FALSE(m_screen->tmrLoad()->isActive());
        EXPECT_EQ(loadingWhenShown, c.loadingShown);
        EXPECT_FALSE(m_grd->isLoading());
        m_boxes.onBox = {};
    }
}

TEST_F(ListScreenTest, FirstLoadWaitsWhileAnotherCallIsInFlight)
{
    make(ListMode::QueryBacked, 20);
    ScriptedReply slow = reply(200, "OK", ScriptedHttpServer::envelope("1", "ok", "[]"));
    slow.delayMs = 300;
    m_server.enqueue(slow);
    m_server.enqueueEnvelope(QStringLiteral("1"), QStringLiteral("ok"), rowsJson({{"A", 1}}));
    bool result = false;
    QString message;
    Dm->CallPostMethod(QStringLiteral("other_method"), result, message, JsonBody());   // the tick comes meanwhile
    ASSERT_TRUE(result);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_grd->rowCount() == 1; }, 5000));
    EXPECT_EQ(m_server.requests().size(), 2);
    EXPECT_EQ(m_server.requests().last().path, QByteArray("/ws/get_test_list"));
    EXPECT_TRUE(m_boxes.boxes.isEmpty());
    EXPECT_EQ(m_lblCount->text(), QStringLiteral("1"));
}

TEST_F(ListScreenTest, RecordNavigationStopsAtTheEnds)
{
    make(ListMode::TableOnly);
    load({{"A", 1}, {"B", 2}, {"C", 3}});
    m_screen->Prior();
    EXPECT_EQ(m_grd->currentRow(), 0);
    m_screen->Next();
    EXPECT_EQ(m_screen->currentText(QStringLiteral("Serial")), QStringLiteral("B"));
    m_screen->Last();
    m_screen->Next();
    EXPECT_EQ(m_grd->currentRow(), 2);
    m_screen->Prior();
    EXPECT_EQ(m_grd->currentRow(), 1);
    m_screen->First();
    EXPECT_EQ(m_grd->currentRow(), 0);
    EXPECT_TRUE(m_screen->locate(QStringLiteral("Serial"), QStringLiteral("C")));
    EXPECT_EQ(m_screen->currentValue(QStringLiteral("Volume")).toLongLong(), 3);
    EXPECT_FALSE(m_screen->locate(QStringLiteral("Serial"), QStringLiteral("Q")));
    EXPECT_EQ(m_grd->currentRow(), 2);

    load({});
    EXPECT_FALSE(m_screen->currentRow().isValid());
    EXPECT_EQ(m_screen->currentText(QStringLiteral("Serial")), QString());
    m_screen->Next();
    m_screen->Last();
    EXPECT_EQ(m_grd->currentRow(), -1);
}

TEST_F(ListScreenTest, OneGridShowsSeveralTablesInTurn)
{
    ListTable daily({{"Day", FieldType::Text}, {"Min", FieldType::Integer}, {"Max", FieldType::Integer},
                     {"Consumed", FieldType::Integer, 0, "Consumed", "Max - Min"}});
    ListTable weekly({{"Day", FieldType::Text}, {"Min", FieldType::Integer}, {"Max", FieldType::Integer},
                      {"Consumed", FieldType::Integer, 0, "Consumed", "Max - Min"}});
    RowReader reader;
    reader.keys = {{"Day"}, {"Min", ReadAs::Integer}, {"Max", ReadAs::Integer}};
    daily.loadRows(QJsonDocument::fromJson(R"([{"Day":"d1","Min":1,"Max":4},{"Day":"d2","Min":2,"Max":2}])").array(), reader);
    weekly.loadRows(QJsonDocument::fromJson(R"([{"Day":"w1","Min":10,"Max":30}])").array(), reader);
    ListColumns dailyColumns({{"Day"}, {"Consumed"}}), weeklyColumns({{"Day"}, {"Consumed"}});
    dailyColumns.bind(daily);
    weeklyColumns.bind(weekly);
    ListCursor ds;
    for (auto [table, columns, expected] :
         {std::tuple{&daily, &dailyColumns, QStringList{"d1:3", "d2:0"}}, std::tuple{&weekly, &weeklyColumns, QStringList{"w1:20"}},
          std::tuple{&daily, &dailyColumns, QStringList{"d1:3", "d2:0"}}}) {
        ds.setTable(table);
        ds.open();
        m_grd->setSource(&ds, columns);
        QStringList shown;
        for (int r = 0; r < m_grd->rowCount(); ++r)
            shown << m_grd->cellText(r, 0) + ":" + m_grd->cellText(r, 1);
        EXPECT_EQ(shown, expected);
    }
    m_grd->setColumnFilter(0, QStringLiteral("d2"));
    m_grd->applyFilter();
    EXPECT_EQ(m_grd->rowCount(), 1);
    ds.setTable(&weekly);
    ds.open();
    m_grd->setSource(&ds, &weeklyColumns);   // a new source starts without column filters
    EXPECT_FALSE(m_grd->hasColumnFilter(0));
    EXPECT_EQ(m_grd->rowCount(), 1);
    m_grd->setSource(nullptr, nullptr);
}
