#pragma once
// A status screen against the scripted server on a fixed calendar day, with helpers that script
// one refresh (latest report, then the daily, weekly and monthly lists) and read the screen as a
// person would.

#include "calendar/DateProc.h"
#include "core/untDm.h"
#include "meters/untContorStatus.h"
#include "meters/untDeviceSelected.h"
#include "support/QtPrinters.h"
#include "support/ScriptedHttpServer.h"
#include "ui/UiTestSupport.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

// One consumption period as the server sends it.
struct PeriodRow {
    const char* from;
    const char* to;
    int min;
    int max;
    int count = 1;
};

inline QByteArray PeriodRowsJson(std::initializer_list<PeriodRow> rows)
{
    QJsonArray array;
    for (const PeriodRow& r : rows)
        array.append(QJsonObject{{"FromShamsiDate", r.from}, {"ToShamsiDate", r.to}, {"MinWentVolume", r.min},
                                 {"MaxWentVolume", r.max}, {"DataReceiveCount", r.count}});
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

// A latest-report row; `went` tells the rows of one reply apart.
inline QJsonObject ReportRowObject(int went, const char* errorCode = "0003", const char* volts = "3.5",
                                   const char* valve = "5501")
{
    return QJsonObject{{"WentVolume", went},          {"ReturnVolume", 4},
                       {"DailyFlowMax", "1.25"},      {"WorkHours", 812},
                       {"FluidTemperature", "18.5"},  {"BatteryVoltage", volts},
                       {"SolenoidValveStatus", valve}, {"ErrorCode", errorCode},
                       {"SNR", 9},                    {"RSSI", -71},
                       {"ReceveShamsiDate", "1402/05/17"}, {"ReceveTime", "10:40:00"}};
}

inline QByteArray JsonText(const QJsonArray& array)
{
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

class StatusScreenTest : public ::testing::Test {
protected:
    static constexpr const char* kToday = "1402/05/17";
    static constexpr const char* kSerial = "123456789012345";

    void SetUp() override
    {
        CreateDm();
        Dm->setBaseAddress(m_server.baseUrl());
        Dm->setTimeoutMs(10000);
        int y = 1402, m = 5, d = 17;
        DateProc::SolarToGregorian(y, m, d);
        DateProc::SetFixedNow(QDateTime(QDate(y, m, d), QTime(10, 42, 7)));
        screen = std::make_unique<TfrmContorStatus>();
        timer()->stop();   // each test drives the refresh itself unless it tests the timer
        screen->show();
    }

    void TearDown() override
    {
        screen.reset();
        SetMeterPicker({});
        DateProc::ResetClock();
        Dm->setBaseAddress(ServerBaseAddress);
    }

    // Scripts one whole refresh; an empty text stands for a failed call.
    void scriptRefresh(const QByteArray& report, const QByteArray& daily = "[]", const QByteArray& weekly = "[]",
                       const QByteArray& monthly = "[]")
    {
        for (const QByteArray& data : {report, daily, weekly, monthly}) {
            if (data.isEmpty())
                m_server.enqueueEnvelope("0", QStringLiteral("no"), "[]");
            else
                m_server.enqueueEnvelope("1", QString(), data);
        }
    }

    void refreshSerial(const QString& serial = QString::fromLatin1(kSerial))
    {
        if (!radio("rbSerial")->isChecked())
            radio("rbSerial")->click();
        edit("edtSerial")->setText(serial);
        screen->btnRefreshClick();
    }

    QStringList requestedPaths() const
    {
        QStringList paths;
        for (const RecordedRequest& r : m_server.requests())
            paths << QString::fromLatin1(r.path);
        return paths;
    }

    QLineEdit* edit(const char* name) const { return find<QLineEdit>(name); }
    QLabel* label(const char* name) const { return find<QLabel>(name); }
    QRadioButton* radio(const char* name) const { return find<QRadioButton>(name); }
    QPushButton* button(const char* name) const { return find<QPushButton>(name); }
    QTimer* timer() const { return find<QTimer>("tmr"); }

    template <class W>
    W* find(const char* name) const
    {
        W* w = screen->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    ScriptedHttpServer m_server;
    std::unique_ptr<TfrmContorStatus> screen;
};
