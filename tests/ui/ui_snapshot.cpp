// Draws the program's core windows into PNG files so that a person can look at them:
//   xvfb-run -a -s "-screen 0 1600x900x24" nemora-ui-snapshot OUTPUT_FOLDER
// Boxes are drawn where they would be shown and answered with 0.
#include "core/MSGs.h"
#include "core/untDm.h"
#include "core/untGlobals.h"
#include "core/widgets/MSGsForm.h"
#include "core/widgets/NemoraApplication.h"
#include "core/widgets/untLogin.h"
#include "core/widgets/untMain.h"

#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QToolButton>

namespace {
QString g_folder;
int g_boxes = 0;

void save(QWidget& window, const QString& name)
{
    window.raise();
    QTest::qWait(200);
    const QString path = QDir(g_folder).filePath(name + ".png");
    window.grab().save(path);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        screen->grabWindow(0).save(QDir(g_folder).filePath(name + "-screen.png"));
    QTextStream(stdout) << path << '\n';
}
}  // namespace

int main(int argc, char** argv)
{
    NemoraApplication app(argc, argv);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(g_folder);
    QTemporaryDir store;
    SetParamStoreFile(store.filePath("params.ini"));
    CreateDm().setBaseAddress(QStringLiteral("http://127.0.0.1:9/ws/"));   // nothing listens there

    SetMessagePresenter([](const MessageBoxRequest& request) {
        TfrmMsgBox box;
        box.Prepare(request.text, request.buttons, request.icon, request.caption);
        box.show();
        save(box, QStringLiteral("msgbox-%1").arg(++g_boxes));
        return 0;
    });

    TfrmMain frmMain;
    {
        TfrmLogin login;
        login.show();
        login.findChild<QLineEdit*>("edtUserName")->setText("operator");
        login.findChild<QLineEdit*>("edtPass")->setText("secret");
        save(login, "login");
        // A failed login: the error box with the gateway's own text.
        QTest::mouseClick(login.findChild<QPushButton*>("btnOk"), Qt::LeftButton);
    }

    CurrentUser.UserName = QStringLiteral("operator");
    CurrentUser.Code = QStringLiteral("01");
    CurrentUser.IsAdmin = true;
    frmMain.ApplyCurrentUser();
    frmMain.show();
    save(frmMain, "main-empty");

    frmMain.OpenScreen("TfrmRegister", frmMain.findChild<QToolButton*>("btnMyDevice")->text());
    frmMain.OpenScreen("TfrmDashboardReport", frmMain.findChild<QToolButton*>("btnDashboardReport")->text());
    save(frmMain, "main-tabs");

    frmMain.resize(1000, 600);
    save(frmMain, "main-small");

    // A long message wraps right-aligned and pushes the buttons down.
    QStringList words;
    for (QToolButton* button : frmMain.findChildren<QToolButton*>())
        if (!button->text().isEmpty())
            words << button->text();
    ShowInfoBox((words.join(" ") + " ").repeated(4).trimmed() + ".");

    // The exit question, drawn and answered "closed".
    frmMain.AdvSmoothToggleButton3Click();
    return 0;
}
