#pragma once
// TfrmErrorInfo: the modal dialog that explains a meter's error code, one line per set bit.
//
// Usage:
//   TfrmErrorInfo dlg(this);
//   dlg.fDeviceSeial = serial;
//   dlg.fErrorCode = errorCode;   // as the server sent it
//   dlg.exec();
// Controls: lblSerial, lblError (the code as given), mmoError (one text per line), AdvSmoothButton7
// ("خروج"). When shown, fErrorCode is replaced by its cleaned form.

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class TfrmErrorInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmErrorInfo(QWidget* parent = nullptr);

    QString fDeviceSeial;   // the meter serial shown
    QString fErrorCode;     // the error code as the server sent it

    void FormShow();
    void AdvSmoothButton7Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_lblSerial = nullptr;
    QLabel* m_lblError = nullptr;
    QPlainTextEdit* m_mmoError = nullptr;
};
