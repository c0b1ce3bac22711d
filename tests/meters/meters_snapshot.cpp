// Not a test: draws the meter status screen inside the main window, the meter picker and the
// error-code dialog into PNG files against a running server, for looking at them:
//   xvfb-run -a -s "-screen 0 1600x900x24" nemora-meters-snapshot FOLDER BASE_URL USER PASSWORD
#include "core/MSGs.h"
#include "core/untDm.h"
#include "core/untGlobals.h"
#include "core/widgets/ListGrid.h"
#include "core/widgets/NemoraApplication.h"
#include "core/widgets/SolarDateEdit.h"
#include "core/widgets/untLogin.h"
#include "core/widgets/untMain.h"
#include "meters/ContorStatusTexts.h"
#include "meters/untContorStatus.h"
#include "meters/untDeviceSelected.h"
#include "meters/untErrorInfo.h"

#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QToolButton>

namespace {
QString g_folder;

void save(QWidget& window, const QString& name)
{
    QTest::qWait(300);
    const QString path = QDir(g_folder).filePath(name + ".png");
    window.grab().save(path);
    QTextStream(stdout) << path << '\n';
}

template <class W>
void whenModal(std::function<void(W*)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* window = qobject_cast<W*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(window);
        }
    });
    timer->start();
}
}  // namespace

int main(int argc, char** argv)
{
    NemoraApplication app(argc, argv);
    if (argc < 5) {
        QTextStream(stderr) << "usage: nemora-meters-snapshot FOLDER BASE_URL USER PASSWORD\n";
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_folder);
    QTemporaryDir store;
    SetParamStoreFile(store.filePath("params.ini"));
    CreateDm().setBaseAddress(QString::fromLocal8Bit(argv[2]));
    {
        TfrmLogin login;
        login.findChild<QLineEdit*>("edtUserName")->setText(QString::fromLocal8Bit(argv[3]));
        login.findChild<QLineEdit*>("edtPass")->setText(QString::fromLocal8Bit(argv[4]));
        if (!login.LoginRequest())
            return 1;
    }
    TfrmMain frmMain;
    frmMain.ApplyCurrentUser();
    frmMain.show();
    QTest::qWait(300);
    auto* tabs = frmMain.findChild<QTabWidget*>();
    frmMain.OpenScreen(QStringLiteral("TfrmContorStatus"), ContorStatusText::ScreenCaption);
    auto* screen = frmMain.findChild<TfrmContorStatus*>();
    if (!screen)
        return 1;
    save(frmMain, "status-empty");

    whenModal<TfrmDeviceSelected>([](TfrmDeviceSelected* dialog) {
        QTest::qWait(800);
        dialog->findChild<ListGrid*>("grd")->setCurrentRow(2);
        save(*dialog, "picker");
        dialog->findChild<QPushButton*>("AdvSmoothButton1")->click();
    });
    screen->findChild<QToolButton*>("btnSerialSelected")->click();
    save(frmMain, "status-daily");

    screen->AdvSmoothButton2Click();
    save(frmMain, "status-weekly");
    screen->findChild<TSolarDateEdit*>("edtFromDate")->setText(QStringLiteral("1405/09/01"));
    screen->AdvSmoothButton12Click();
    screen->AdvSmoothButton3Click();
    save(frmMain, "status-monthly");

    // Saving waits for painting, and a window closed before is deleted meanwhile: take the
    // chart windows first and hold them weakly.
    const auto saveCharts = [](const char* className, const char* name) {
        QList<QPointer<QWidget>> charts;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->inherits(className) && window->isVisible())
                charts.append(window);
        for (const QPointer<QWidget>& window : charts)
            if (window) {
                save(*window, name);
                window->close();
            }
    };
    screen->AdvSmoothButton4Click();
    saveCharts("TfrmChartLine", "chart-line");
    screen->AdvSmoothButton1Click();
    saveCharts("TfrmChartCircle", "chart-pie");

    whenModal<TfrmErrorInfo>([](TfrmErrorInfo* dialog) {
        save(*dialog, "errorinfo");
        dialog->reject();
    });
    screen->btnShowErrorClick();

    frmMain.resize(1000, 640);
    frmMain.showNormal();
    frmMain.resize(1000, 640);
    save(frmMain, "status-small");
    Q_UNUSED(tabs);
    return 0;
}
