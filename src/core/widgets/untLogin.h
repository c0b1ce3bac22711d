#pragma once
// The login dialog: sends "user_login", fills CurrentUser from the reply and keeps the
// remembered login in the parameter store. It knows nothing of the main window: whoever opens
// it connects currentUserChanged to apply the new user.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TfrmLogin : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLogin(QWidget* parent = nullptr);

    // Restores the remembered login into the boxes (runs on every show).
    void FormShow();
    // Logs in; on success stores the login, announces the user and closes with the OK result.
    void btnOkClick();
    // Sends "user_login" with the two boxes exactly as typed; fills CurrentUser from the first
    // row on success; otherwise shows the gateway's message and leaves CurrentUser as it was.
    bool LoginRequest();
    // Announces CurrentUser to whoever applies it (the main window's buttons and user label).
    void ShowCurrentUser();
    void btnCancleClick();

signals:
    // Emitted after every successful login, once CurrentUser holds the new user.
    void currentUserChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void storeLogin();

    QLabel* m_Label1;
    QLineEdit* m_edtUserName;
    QLabel* m_Label2;
    QLineEdit* m_edtPass;
    QPushButton* m_AdvSmoothButton4;
    QCheckBox* m_chkSaved;
    QPushButton* m_btnOk;
    QPushButton* m_btnCancle;
};
