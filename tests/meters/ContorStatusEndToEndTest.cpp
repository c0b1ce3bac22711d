// One request from end to end: the reference server with demo data, a login as the demo
// operator, the status screen opened by its class name, a meter picked through the picker
// dialog, and the latest report, gauges and daily rows on screen.
#include "calendar/DateProc.h"
#include "core/untDm.h"
#include "core/untGlobals.h"
#include "core/widgets/ListGrid.h"
#include "core/widgets/ScreenRegistry.h"
#include "core/widgets/untLogin.h"
#include "meters/ContorStatusTexts.h"
#include "meters/Gauge.h"
#include "meters/untContorStatus.h"
#include "meters/untDeviceSelected.h"
#include "support/QtPrinters.h"
#include "ui/UiTestSupport.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace T = ContorStatusText;

namespace {

// The server started for one test on an ephemeral port of 127.0.0.1, ended by its own pid.
class DemoServer {
public:
    bool start(QString& error)
    {
#ifdef NEMORA_SERVER_PATH
        m_process.setProgram(QStringLiteral(NEMORA_SERVER_PATH));
        m_process.setArguments({"--host", "127.0.0.1", "--port", "0", "--db", m_dir.filePath("demo.db"), "--demo"});
        m_process.start();
        if (!m_process.waitForStarted(10000)) {
            error = m_process.errorString();
            return false;
        }
        QElapsedTimer clock;
        clock.start();
        const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
        const QRegularExpression operatorLine(QStringLiteral("operator: user name (\\S+), password (\\S+) "));
        while (clock.elapsed() < 30000) {
            m_process.waitForReadyRead(200);
            m_output += QString::fromUtf8(m_process.readAllStandardOutput());
            const auto op = operatorLine.match(m_output);
            if (op.hasMatch()) {
                userName = op.captured(1);
                password = op.captured(2);
            }
            const auto port = listening.match(m_output);
            if (port.hasMatch() && !userName.isEmpty()) {
                baseUrl = QStringLiteral("http://127.0.0.1:%1/ws/").arg(port.captured(1));
                return true;
            }
            if (m_process.state() != QProcess::Running)
                break;
        }
        error = QStringLiteral("no listening line in: ") + m_output;
        return false;
#else
        error = QStringLiteral("the server target is not part of this build");
        return false;
#endif
    }

    ~DemoServer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000)) {
                m_process.kill();
                m_process.waitForFinished(5000);
            }
        }
    }

    QString baseUrl;
    QString userName;
    QString password;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_output;
};

}  // namespace

TEST(ContorStatusEndToEnd, OperatorPicksAMeterAndSeesItsReportAndConsumption)
{
#ifndef NEMORA_SERVER_PATH
    GTEST_SKIP() << "nemora-server is not built here";
#endif
    DemoServer server;
    QString error;
    ASSERT_TRUE(server.start(error)) << error.toStdString();
    CreateDm();
    Dm->setBaseAddress(server.baseUrl);
    DateProc::ResetClock();

    // Log in through the login dialog's request, as the program does.
    {
        BoxRecorder boxes;
        TfrmLogin login;
        login.findChild<QLineEdit*>("edtUserName")->setText(server.userName);
        login.findChild<QLineEdit*>("edtPass")->setText(server.password);
        ASSERT_TRUE(login.LoginRequest());
        EXPECT_TRUE(boxes.boxes.isEmpty());
    }
    ASSERT_FALSE(CurrentUser.OrganID.isEmpty());
    EXPECT_EQ(CurrentUser.UserName, server.userName);

    std::unique_ptr<QWidget> widget(CreateScreen(QStringLiteral("TfrmContorStatus"), nullptr));
    auto* screen = qobject_cast<TfrmContorStatus*>(widget.get());
    ASSERT_NE(screen, nullptr);
    screen->findChild<QTimer*>("tmr")->stop();
    screen->resize(1400, 800);
    screen->show();

    // Pick the first meter of the operator's units in the real picker.
    QString picked;
    ModalAnswerer<TfrmDeviceSelected> answer([&](TfrmDeviceSelected* dialog) {
        auto* timer = dialog->findChild<QTimer*>("tmrLoad");
        QElapsedTimer clock;
        clock.start();
        while (timer->isActive() && clock.elapsed() < 10000)
            QTest::qWait(20);
        auto* grid = dialog->findChild<ListGrid*>("grd");
        if (grid->rowCount() > 0) {
            grid->setCurrentRow(0);
            picked = grid->cellText(0, 0);
        }
        dialog->findChild<QPushButton*>("AdvSmoothButton1")->click();
    });
    screen->findChild<QToolButton*>("btnSerialSelected")->click();
    ASSERT_TRUE(answer.done());
    ASSERT_EQ(picked.size(), 15);

    auto text = [screen](const char* name) { return screen->findChild<QLineEdit*>(name)->text(); };
    EXPECT_EQ(text("edtSerial"), picked);
    bool number = false;
    text("edtWentVolume").toInt(&number);
    EXPECT_TRUE(number) << text("edtWentVolume").toStdString();
    EXPECT_FALSE(text("edtReceiveDate").isEmpty());
    EXPECT_FALSE(text("edtBatteryVoltage").isEmpty());
    EXPECT_FALSE(text("edtPercent").isEmpty());
    EXPECT_TRUE(text("edtSolenoidValveStatus") == T::ValveOpen || text("edtSolenoidValveStatus") == T::ValveClosed);
    EXPECT_TRUE(screen->findChild<QFrame*>("pnlDetailes")->isEnabled());
    EXPECT_TRUE(screen->findChild<QLabel*>("lblUpdated")->text().startsWith(T::UpdatedDatePrefix + DateProc::TodaySolar()));

    // The demo server's periods end today, so all three gauges show the newest period.
    for (const char* name : {"lblDailyValue", "lblWeeklyValue", "lblMonthlyValue"})
        EXPECT_TRUE(screen->findChild<QLabel*>(name)->text().endsWith(T::GaugeValueSuffix)) << name;
    EXPECT_FALSE(screen->findChild<QLabel*>("lblDailyDate")->text().isEmpty());

    // The daily rows, newest first, each with its consumption.
    auto* grid = screen->findChild<ListGrid*>("grd");
    ASSERT_GT(grid->rowCount(), 1);
    EXPECT_EQ(screen->fReportType, "Daily");
    EXPECT_EQ(grid->cellText(0, 1), DateProc::TodaySolar());
    EXPECT_GT(grid->cellText(0, 0), grid->cellText(1, 0));
    const ConsumptionRows daily = screen->periodRows(ContorStatus::Period::Daily);
    ASSERT_EQ(daily.size(), grid->rowCount());
    EXPECT_EQ(grid->cellText(0, 4), QString::number(daily[0].Consumed()));
    EXPECT_EQ(screen->findChild<TGauge*>("GagetDaily")->value(), daily[0].Consumed());
    EXPECT_EQ(screen->findChild<QLabel*>("lblCount")->text(), T::CountPrefix + QString::number(daily.size()));
}
