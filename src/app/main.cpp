// Start-up: the main window and the gateway first, then the login; only a confirmed login lets
// the program run.
#include "core/untDm.h"
#include "core/widgets/NemoraApplication.h"
#include "core/widgets/untLogin.h"
#include "core/widgets/untMain.h"

int main(int argc, char** argv)
{
    NemoraApplication app(argc, argv);

    TfrmMain frmMain;
    NemoraApplication::InstallWaitCursor(CreateDm());

    bool confirmed = false;
    {
        TfrmLogin frmLogin;
        QObject::connect(&frmLogin, &TfrmLogin::currentUserChanged, &frmMain, &TfrmMain::ApplyCurrentUser);
        confirmed = frmLogin.exec() == QDialog::Accepted;
    }
    if (!confirmed)
        return 0;

    frmMain.show();
    return app.exec();
}
