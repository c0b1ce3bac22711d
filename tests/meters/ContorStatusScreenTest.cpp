// The status screen's refresh against the scripted server: requests and their order, the
// latest-report boxes, the rule for a different meter, and the refresh timer.
#include "StatusScreenFixture.h"

#include "meters/ContorStatusTexts.h"
#include "core/widgets/SolarDateEdit.h"
#include "meters/Gauge.h"
#include "meters/untErrorInfo.h"

#include <QFrame>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace T = ContorStatusText;

namespace {
const QStringList kReportBoxes = {"edtReceiveDate", "edtReceveTime", "edtWorkHours",  "edtErrorCode",
                                  "edtWentVolume",  "edtReturnVolume", "edtBatteryVoltage", "edtPercent",
                                  "edtDailyFlowMax", "edtFluidTemperature", "edtSolenoidValveStatus",
                                  "edtRSSI", "edtSNR"};
}

TEST_F(StatusScreenTest, InitialStateOfTheControls)
{
    EXPECT_TRUE(radio("rbSerial")->isChecked());
    EXPECT_EQ(radio("rbSerial")->text(), T::SerialChoice);
    EXPECT_EQ(radio("rbContractNo")->text(), T::ContractChoice);
    EXPECT_TRUE(edit("edtSerial")->isEnabled());
    EXPECT_FALSE(edit("edtContractNo")->isEnabled());
    EXPECT_FALSE(find<QToolButton>("btnContractSelected")->isEnabled());
    EXPECT_EQ(button("btnRefresh")->text(), T::RefreshCaption);
    EXPECT_EQ(find<QCheckBox>("chkOnline")->text(), T::OnlineCaption);
    EXPECT_FALSE(find<QCheckBox>("chkOnline")->isChecked());
    EXPECT_EQ(label("lblUpdated")->text(), T::UpdatedCaption);
    EXPECT_FALSE(button("btnShowError")->isEnabled());
    EXPECT_EQ(button("btnShowError")->text(), T::ShowErrorCaption);
    EXPECT_FALSE(find<QFrame>("pnlDetailes")->isEnabled());
    for (const char* name : {"lblDailyValue", "lblWeeklyValue", "lblMonthlyValue", "lblAvrage"})
        EXPECT_EQ(label(name)->text(), "0") << name;
    EXPECT_EQ(find<QToolButton>("btnShowDaily")->toolTip(), T::DailyViewHint);
    EXPECT_EQ(find<QToolButton>("AdvSmoothButton2")->toolTip(), T::WeeklyViewHint);
    EXPECT_EQ(find<QToolButton>("AdvSmoothButton3")->toolTip(), T::MonthlyViewHint);
    EXPECT_EQ(button("AdvSmoothButton4")->text(), T::LineChartCaption);
    EXPECT_EQ(button("AdvSmoothButton1")->text(), T::PieChartCaption);
    EXPECT_EQ(button("AdvSmoothButton7")->text(), T::ExportCaption);
    EXPECT_EQ(button("AdvSmoothButton8")->text(), T::PreviewCaption);
    EXPECT_EQ(find<TGauge>("GagetDaily")->maximum(), 5000);
    EXPECT_EQ(find<TGauge>("GagetWeekly")->maximum(), 50000);
    EXPECT_EQ(find<TGauge>("GagetMonthly")->maximum(), 500000);
    EXPECT_TRUE(screen->fReportType.isEmpty());
    for (const QString& name : kReportBoxes) {
        auto* box = screen->findChild<QLineEdit*>(name);
        ASSERT_NE(box, nullptr) << name.toStdString();
        EXPECT_TRUE(box->isReadOnly());
        EXPECT_TRUE(box->text().isEmpty());
    }
}

TEST_F(StatusScreenTest, RefreshAsksInOrderWithOneKeyBodies)
{
    struct Case {
        bool bySerial;
        const char* key;
        QStringList paths;
    };
    const Case cases[] = {
        {true, "serial",
         {"/ws/get_last_log_by_serial", "/ws/get_consumed_list_daily_by_serial",
          "/ws/get_consumed_list_weekly_by_serial", "/ws/get_consumed_list_monthly_by_serial"}},
        {false, "contract_no",
         {"/ws/get_last_log_by_contractno", "/ws/get_consumed_list_daily_by_contractno",
          "/ws/get_consumed_list_weekly_by_contractno", "/ws/get_consumed_list_monthly_by_contractno"}},
    };
    for (const Case& c : cases) {
        m_server.clear();
        scriptRefresh(JsonText({ReportRowObject(1)}));
        QString value;
        if (c.bySerial) {
            value = QString::fromLatin1(kSerial);
            refreshSerial(value);
        } else {
            value = QStringLiteral("C-1402/77");
            radio("rbContractNo")->click();
            edit("edtContractNo")->setText(value);
            screen->btnRefreshClick();
        }
        EXPECT_EQ(requestedPaths(), c.paths);
        const QByteArray body = QJsonDocument(QJsonObject{{QString::fromLatin1(c.key), value}}).toJson(QJsonDocument::Compact);
        for (const RecordedRequest& r : m_server.requests()) {
            EXPECT_EQ(r.verb, "POST");
            EXPECT_EQ(r.body, body);
        }
        EXPECT_TRUE(find<QFrame>("pnlDetailes")->isEnabled());
        EXPECT_EQ(find<TSolarDateEdit>("edtFromDate")->text(), "1402/01/01");
        EXPECT_EQ(find<TSolarDateEdit>("edtToDate")->text(), kToday);
        EXPECT_EQ(screen->fReportType, "Daily");
    }
}

TEST_F(StatusScreenTest, NoMeterChosenAsksNothingButStampsTheRefresh)
{
    struct Case { bool bySerial; const char* text; };
    const Case cases[] = {{true, "12345678901234"}, {true, "1234567890123456"}, {true, ""}, {false, ""}};
    for (const Case& c : cases) {
        if (c.bySerial) {
            refreshSerial(QString::fromLatin1(c.text));
        } else {
            radio("rbContractNo")->click();
            screen->btnRefreshClick();
        }
        EXPECT_TRUE(m_server.requests().isEmpty()) << c.text;
        EXPECT_EQ(label("lblUpdated")->text(), T::UpdatedDatePrefix + kToday + T::UpdatedTimePrefix + "10:42:07");
        EXPECT_EQ(timer()->interval(), 30000);
        EXPECT_FALSE(timer()->isActive());
        EXPECT_FALSE(find<QFrame>("pnlDetailes")->isEnabled());
    }
}

TEST_F(StatusScreenTest, LatestReportShowsTheFirstRowWithItsTexts)
{
    scriptRefresh(JsonText({ReportRowObject(100), ReportRowObject(200), ReportRowObject(300)}));
    refreshSerial();
    EXPECT_EQ(edit("edtWentVolume")->text(), "100");
    EXPECT_EQ(edit("edtReturnVolume")->text(), "4");
    EXPECT_EQ(edit("edtDailyFlowMax")->text(), "1.25");
    EXPECT_EQ(edit("edtWorkHours")->text(), "812");
    EXPECT_EQ(edit("edtBatteryVoltage")->text(), "3.5");
    EXPECT_EQ(edit("edtPercent")->text(), "87");
    EXPECT_EQ(edit("edtSolenoidValveStatus")->text(), T::ValveOpen);
    EXPECT_EQ(edit("edtErrorCode")->text(), "0003");
    EXPECT_EQ(edit("edtRSSI")->text(), "-71");
    EXPECT_EQ(edit("edtSNR")->text(), "9");
    EXPECT_EQ(edit("edtReceiveDate")->text(), "1402/05/17");
    EXPECT_EQ(edit("edtReceveTime")->text(), "10:40:00");
}

TEST_F(StatusScreenTest, ShowErrorFollowsTheErrorCodeAndValveTheStatus)
{
    struct Case { const char* code; bool enabled; const char* volts; const char* percent; const char* valve; bool open; };
    const Case cases[] = {
        {"", false, "2.9", "13", "00", false},
        {"0", true, "3.61", "100", "55", true},
        {"00A0", true, "2.79", "0", "", false},
    };
    for (const Case& c : cases) {
        scriptRefresh(JsonText({ReportRowObject(1, c.code, c.volts, c.valve)}));
        refreshSerial();
        EXPECT_EQ(button("btnShowError")->isEnabled(), c.enabled) << c.code;
        EXPECT_EQ(edit("edtPercent")->text(), c.percent) << c.volts;
        EXPECT_EQ(edit("edtSolenoidValveStatus")->text(), c.open ? T::ValveOpen : T::ValveClosed) << c.valve;
    }
}

TEST_F(StatusScreenTest, ShowErrorOpensTheDialogWithSerialAndCode)
{
    scriptRefresh(JsonText({ReportRowObject(1, "00A0")}));
    refreshSerial();
    QString serial, code;
    ModalAnswerer<TfrmErrorInfo> answer([&](TfrmErrorInfo* dialog) {
        serial = dialog->fDeviceSeial;
        code = dialog->findChild<QLabel*>("lblError")->text();
        dialog->reject();
    });
    button("btnShowError")->click();
    EXPECT_TRUE(answer.done());
    EXPECT_EQ(serial, kSerial);
    EXPECT_EQ(code, "00A0");
    EXPECT_TRUE(screen->findChildren<TfrmErrorInfo*>().isEmpty());   // destroyed after closing
}

// A failed or empty latest report keeps the values of the meter on screen, but never lets them
// stand under another meter's serial or contract number.
TEST_F(StatusScreenTest, FailedReportKeepsTheSameMeterButEmptiesForAnother)
{
    const QString other = QStringLiteral("999999999999999");
    struct Case { const char* what; QByteArray reply; bool sameMeter; bool kept; };
    const Case cases[] = {
        {"failed, same meter", QByteArray(), true, true},
        {"no rows, same meter", "[]", true, true},
        {"failed, other serial", QByteArray(), false, false},
        {"no rows, other serial", "[]", false, false},
    };
    for (const Case& c : cases) {
        scriptRefresh(JsonText({ReportRowObject(555)}));
        refreshSerial();
        ASSERT_EQ(edit("edtWentVolume")->text(), "555");
        scriptRefresh(c.reply);
        refreshSerial(c.sameMeter ? QString::fromLatin1(kSerial) : other);
        if (c.kept) {
            EXPECT_EQ(edit("edtWentVolume")->text(), "555") << c.what;
            EXPECT_EQ(edit("edtPercent")->text(), "87") << c.what;
            EXPECT_TRUE(button("btnShowError")->isEnabled()) << c.what;
        } else {
            for (const QString& name : kReportBoxes)
                EXPECT_TRUE(screen->findChild<QLineEdit*>(name)->text().isEmpty()) << c.what << ' ' << name.toStdString();
            EXPECT_FALSE(button("btnShowError")->isEnabled()) << c.what;
        }
    }
    // Asking by contract number is asking for another meter than the serial on screen.
    scriptRefresh(JsonText({ReportRowObject(555)}));
    refreshSerial();
    radio("rbContractNo")->click();
    EXPECT_EQ(edit("edtWentVolume")->text(), "555");   // switching alone keeps the report
    EXPECT_TRUE(edit("edtSerial")->text().isEmpty());
    edit("edtContractNo")->setText("C-9");
    scriptRefresh(QByteArray());
    screen->btnRefreshClick();
    EXPECT_TRUE(edit("edtWentVolume")->text().isEmpty());
}

TEST_F(StatusScreenTest, ABrokenRowEndsTheRefreshButStillStampsIt)
{
    QJsonObject row = ReportRowObject(42);
    row["SNR"] = "not a number";
    scriptRefresh(JsonText({row}));
    edit("edtSerial")->setText(kSerial);
    EXPECT_THROW(screen->btnRefreshClick(), JsonFieldError);
    EXPECT_EQ(edit("edtWentVolume")->text(), "42");         // read before the bad key
    EXPECT_EQ(edit("edtErrorCode")->text(), "0003");
    EXPECT_TRUE(edit("edtRSSI")->text().isEmpty());         // after it
    EXPECT_EQ(requestedPaths().size(), 1);                  // no consumption loads
    EXPECT_FALSE(find<QFrame>("pnlDetailes")->isEnabled());
    EXPECT_EQ(label("lblUpdated")->text(), T::UpdatedDatePrefix + kToday + T::UpdatedTimePrefix + "10:42:07");
    EXPECT_EQ(timer()->interval(), 30000);
    // The refresh is not left half-running: the next one works.
    m_server.clear();
    scriptRefresh(JsonText({ReportRowObject(43)}));
    screen->btnRefreshClick();
    EXPECT_EQ(edit("edtRSSI")->text(), "-71");
}

TEST_F(StatusScreenTest, FirstRefreshAfterAboutOneSecondThenOnlyWhileChecked)
{
    screen.reset();
    QElapsedTimer clock;
    clock.start();
    screen = std::make_unique<TfrmContorStatus>();
    EXPECT_TRUE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 1000);
    while (label("lblUpdated")->text() == T::UpdatedCaption && clock.elapsed() < 5000)
        QTest::qWait(20);
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_NE(label("lblUpdated")->text(), T::UpdatedCaption);
    EXPECT_FALSE(timer()->isActive());   // the box is not ticked
    EXPECT_EQ(timer()->interval(), 30000);

    find<QCheckBox>("chkOnline")->click();
    EXPECT_TRUE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 30000);
    screen->btnRefreshClick();           // a manual refresh leaves the timer as the box says
    EXPECT_TRUE(timer()->isActive());
    find<QCheckBox>("chkOnline")->click();
    EXPECT_FALSE(timer()->isActive());
    screen->btnRefreshClick();
    EXPECT_FALSE(timer()->isActive());
}

TEST_F(StatusScreenTest, ATickDuringACallDoesNothing)
{
    // The latest report answers slowly; a tick that comes meanwhile must not start a second
    // refresh (the gateway would refuse its calls and the screen would be filled twice).
    ScriptedReply slow;
    slow.body = ScriptedHttpServer::envelope("1", QString(), JsonText({ReportRowObject(7)}));
    slow.delayMs = 400;
    m_server.enqueue(slow);
    for (int i = 0; i < 3; ++i)
        m_server.enqueueEnvelope("1", QString(), "[]");
    int ticks = 0;
    QTimer::singleShot(100, screen.get(), [&] {
        ++ticks;
        EXPECT_TRUE(Dm->isBusy());
        screen->tmrTimer();
    });
    refreshSerial();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(requestedPaths().size(), 4);
    EXPECT_EQ(m_server.pendingReplies(), 0);
    EXPECT_EQ(edit("edtWentVolume")->text(), "7");
    // Outside a call a tick is a refresh.
    scriptRefresh(JsonText({ReportRowObject(8)}));
    screen->tmrTimer();
    EXPECT_EQ(requestedPaths().size(), 8);
    EXPECT_EQ(edit("edtWentVolume")->text(), "8");
}

TEST_F(StatusScreenTest, PickerChoiceFillsTheBoxAndRefreshes)
{
    struct Case { bool byContract; PickedMeter picked; int requests; const char* serialAfter; const char* contractAfter; };
    const Case cases[] = {
        {false, PickedMeter(QString::fromLatin1(kSerial), "C-1"), 4, kSerial, ""},
        {false, PickedMeter(), 0, "", ""},   // cancelled: no refresh
        {true, PickedMeter(QString::fromLatin1(kSerial), "C-1"), 4, kSerial, "C-1"},
    };
    for (const Case& c : cases) {
        m_server.clear();
        if (c.byContract)
            radio("rbContractNo")->click();
        edit("edtSerial")->setText("old");
        SetMeterPicker([&](QWidget*) { return c.picked; });
        scriptRefresh(JsonText({ReportRowObject(1)}));
        find<QToolButton>(c.byContract ? "btnContractSelected" : "btnSerialSelected")->click();
        EXPECT_EQ(requestedPaths().size(), c.requests);
        EXPECT_EQ(edit("edtSerial")->text(), c.serialAfter);
        EXPECT_EQ(edit("edtContractNo")->text(), c.contractAfter);
        if (c.byContract)
            EXPECT_EQ(m_server.requests().value(0).body, QByteArray(R"({"contract_no":"C-1"})"));
    }
}

TEST_F(StatusScreenTest, MeterChoiceEnablesOneSideAndEmptiesTheOther)
{
    edit("edtSerial")->setText(kSerial);
    radio("rbContractNo")->click();
    EXPECT_FALSE(edit("edtSerial")->isEnabled());
    EXPECT_FALSE(find<QToolButton>("btnSerialSelected")->isEnabled());
    EXPECT_TRUE(edit("edtContractNo")->isEnabled());
    EXPECT_TRUE(find<QToolButton>("btnContractSelected")->isEnabled());
    EXPECT_TRUE(edit("edtSerial")->text().isEmpty());
    edit("edtContractNo")->setText("C-5");
    radio("rbSerial")->click();
    EXPECT_TRUE(edit("edtSerial")->isEnabled());
    EXPECT_FALSE(edit("edtContractNo")->isEnabled());
    EXPECT_TRUE(edit("edtContractNo")->text().isEmpty());
}
