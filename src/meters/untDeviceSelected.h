#pragma once
// The meter picker: a modal dialog listing the meters of the user's organisation, and PickMeter,
// which shows it and hands back the serial chosen.
//
// Usage:
//   const QString serial = PickMeter(this);   // empty: no choice
//
// Tests answer the picker without a window through SetMeterPicker, or drive the real dialog
// (QApplication::activeModalWidget() while PickMeter runs).

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

class ListGrid;
class ListScreen;
class QPushButton;
class QTimer;

class TfrmDeviceSelected : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDeviceSelected(QWidget* parent = nullptr);
    ~TfrmDeviceSelected() override;

    QString fSerialNumber;   // the serial chosen; set when the dialog closes with a choice
    QString fContractNo;     // the chosen meter's contract number (may be empty)

    // The first load, from tmrLoad (300 ms after creation): the organisation's meters.
    void tmrLoadTimer();
    // "انتخاب": the current row's serial, or an information box when there is none.
    void AdvSmoothButton1Click();
    // "انصراف": closes without a choice.
    void AdvSmoothButton2Click();
    // A click on the serial or file-number column copies that cell to the clipboard.
    void grdCellClick(int row, int column);

    ListScreen* list() const { return m_list; }

private:
    ListGrid* m_grd = nullptr;
    ListScreen* m_list = nullptr;
    QTimer* m_tmrLoad = nullptr;
    QPushButton* m_choose = nullptr;
    QPushButton* m_cancel = nullptr;
};

// The meter a picker hands back: empty texts when nothing was chosen.
struct PickedMeter {
    PickedMeter(const QString& serial = QString(), const QString& contractNo = QString())
        : SerialNumber(serial), ContractNo(contractNo) {}
    QString SerialNumber;
    QString ContractNo;
};

// Shows the picker modally over parent's window and returns the serial chosen, or an empty
// text for any other close. The dialog is gone when this returns.
QString PickMeter(QWidget* parent = nullptr);
// The same, with the chosen meter's contract number.
PickedMeter PickMeterRow(QWidget* parent = nullptr);

// Answers the picker instead of the dialog (tests, tools); returns the one it replaces. An empty
// function restores the dialog. A function returning a serial text will do.
using MeterPicker = std::function<PickedMeter(QWidget* parent)>;
MeterPicker SetMeterPicker(MeterPicker picker);
