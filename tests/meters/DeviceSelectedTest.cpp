// The meter picker against the scripted server: its one request, its grid, the choice and the
// clipboard columns.
#include "core/untDm.h"
#include "core/untGlobals.h"
#include "core/widgets/ListGrid.h"
#include "core/widgets/Seams.h"
#include "meters/ContorStatusTexts.h"
#include "meters/untDeviceSelected.h"
#include "support/QtPrinters.h"
#include "support/ScriptedHttpServer.h"
#include "ui/UiTestSupport.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace T = DeviceSelectedText;

namespace {

QByteArray Meters()
{
    QJsonArray rows;
    const struct { const char* serial; const char* file; const char* organ; bool active; const char* contract; } meters[] = {
        {"100000000000001", "F-1", "Unit A", true, "C-1"},
        {"100000000000002", "F-2", "Unit B", false, ""},
        {"100000000000003", "F-3", "Unit A", true, "C-3"},
    };
    for (const auto& m : meters)
        rows.append(QJsonObject{{"SerialNumber", m.serial}, {"SimCard", "0912"}, {"FileNumber", m.file},
                                {"OrganName", m.organ}, {"Activated", m.active}, {"ContractNo", m.contract}});
    return QJsonDocument(rows).toJson(QJsonDocument::Compact);
}

}  // namespace

class DeviceSelectedTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateDm();
        Dm->setBaseAddress(m_server.baseUrl());
        CurrentUser.OrganID = QStringLiteral("{5B1E9C4A-0000-4000-8000-00000000A001}");
    }
    void TearDown() override { Dm->setBaseAddress(ServerBaseAddress); }

    // Waits for the dialog's first load.
    static void waitForLoad(TfrmDeviceSelected& dialog)
    {
        QElapsedTimer clock;
        clock.start();
        auto* timer = dialog.findChild<QTimer*>("tmrLoad");
        while (timer->isActive() && clock.elapsed() < 5000)
            QTest::qWait(10);
    }

    ScriptedHttpServer m_server;
};

TEST_F(DeviceSelectedTest, LoadsTheOrganisationsMetersOnceAfterTheTimer)
{
    m_server.enqueueEnvelope("1", QString(), Meters());
    QElapsedTimer clock;
    clock.start();
    TfrmDeviceSelected dialog;
    EXPECT_EQ(dialog.windowTitle(), T::PickerCaption);
    auto* timer = dialog.findChild<QTimer*>("tmrLoad");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 300);
    EXPECT_TRUE(m_server.requests().isEmpty());
    waitForLoad(dialog);
    EXPECT_GE(clock.elapsed(), 280);
    ASSERT_EQ(m_server.requests().size(), 1);
    EXPECT_EQ(m_server.requests()[0].path, "/ws/get_all_my_device_list");
    EXPECT_EQ(m_server.requests()[0].body,
              QByteArray(R"({"organ_id":"{5B1E9C4A-0000-4000-8000-00000000A001}"})"));

    auto* grid = dialog.findChild<ListGrid*>("grd");
    ASSERT_EQ(grid->rowCount(), 3);
    const QStringList titles = {T::SerialNumberTitle, T::FileNumberTitle, T::ContractNoTitle, T::OrganNameTitle,
                                T::ActivatedTitle};
    for (int c = 0; c < titles.size(); ++c)
        EXPECT_TRUE(grid->model()->headerData(c, Qt::Horizontal).toString().startsWith(titles[c])) << c;
    EXPECT_EQ(grid->cellText(0, 0), "100000000000001");
    EXPECT_EQ(grid->cellText(2, 1), "F-3");
    EXPECT_EQ(grid->cellText(2, 2), "C-3");
    EXPECT_EQ(grid->cellText(1, 3), "Unit B");
    EXPECT_FALSE(grid->isLoading());
    QTest::qWait(400);
    EXPECT_EQ(m_server.requests().size(), 1);   // the timer loads once
}

TEST_F(DeviceSelectedTest, AFailedOrEmptyLoadLeavesTheGridEmptyWithoutABox)
{
    const QByteArray replies[] = {ScriptedHttpServer::envelope("0", QStringLiteral("x")),
                                  ScriptedHttpServer::envelope("1", QString(), "[]")};
    for (const QByteArray& reply : replies) {
        BoxRecorder boxes;
        ScriptedReply r;
        r.body = reply;
        m_server.enqueue(r);
        TfrmDeviceSelected dialog;
        waitForLoad(dialog);
        EXPECT_EQ(dialog.findChild<ListGrid*>("grd")->rowCount(), 0);
        EXPECT_TRUE(boxes.boxes.isEmpty());

        // Choosing from an empty grid explains itself and keeps the dialog open.
        dialog.show();
        dialog.findChild<QPushButton*>("AdvSmoothButton1")->click();
        ASSERT_EQ(boxes.boxes.size(), 1);
        EXPECT_EQ(boxes.boxes[0].text, T::NothingChosen);
        EXPECT_EQ(boxes.boxes[0].icon, int(miInformation));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.fSerialNumber.isEmpty());
    }
}

TEST_F(DeviceSelectedTest, PickMeterReturnsTheChosenSerialOrNothing)
{
    struct Case { bool choose; int row; const char* serial; const char* contract; };
    const Case cases[] = {{true, 2, "100000000000003", "C-3"}, {false, 1, "", ""}};
    for (const Case& c : cases) {
        m_server.enqueueEnvelope("1", QString(), Meters());
        ModalAnswerer<TfrmDeviceSelected> answer([&](TfrmDeviceSelected* dialog) {
            waitForLoad(*dialog);
            dialog->findChild<ListGrid*>("grd")->setCurrentRow(c.row);
            dialog->findChild<QPushButton*>(c.choose ? "AdvSmoothButton1" : "AdvSmoothButton2")->click();
        });
        const PickedMeter picked = PickMeterRow(nullptr);
        EXPECT_TRUE(answer.done());
        EXPECT_EQ(picked.SerialNumber, c.serial);
        EXPECT_EQ(picked.ContractNo, c.contract);
    }
    // The window's close box is no choice either.
    m_server.enqueueEnvelope("1", QString(), Meters());
    ModalAnswerer<TfrmDeviceSelected> closer([](TfrmDeviceSelected* dialog) {
        waitForLoad(*dialog);
        dialog->close();
    });
    EXPECT_TRUE(PickMeter(nullptr).isEmpty());
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TfrmDeviceSelected*>(window), nullptr);   // destroyed before returning
}

TEST_F(DeviceSelectedTest, SerialAndFileNumberColumnsCopyToTheClipboard)
{
    QStringList copied;
    ClipboardWriter previous = SetClipboardWriter([&](const QString& text) { copied << text; });
    {
        // An empty grid copies nothing.
        m_server.enqueueEnvelope("1", QString(), "[]");
        TfrmDeviceSelected empty;
        waitForLoad(empty);
        empty.grdCellClick(0, 0);
        EXPECT_TRUE(copied.isEmpty());
    }
    m_server.enqueueEnvelope("1", QString(), Meters());
    TfrmDeviceSelected dialog;
    waitForLoad(dialog);
    auto* grid = dialog.findChild<ListGrid*>("grd");
    grid->setCurrentRow(1);
    for (int column : {0, 1, 2, 3, 4})
        dialog.grdCellClick(1, column);
    SetClipboardWriter(previous);
    EXPECT_EQ(copied, (QStringList{"100000000000002", "F-2"}));
}
