#pragma once
// The program's own message box, as a seam: every box goes through MessageDialog, which hands it
// to the installed presenter. The program installs the window presenter (TfrmMsgBox) at start;
// tests install one that records the box and answers a scripted code; nemora-call prints it.

#include <QString>
#include <functional>

// Button sets (the first listed button is the first, rightmost one).
enum MsgButtons { mbOk = 0, mbOkCancel = 1, mbAbortRetryIgnore = 2, mbYesNoCancel = 3, mbYesNo = 4, mbRetryCancel = 5 };
// Icons.
enum MsgIcons { miError = 16, miQuestion = 32, miWarning = 48, miInformation = 64 };
// Result codes of the buttons; 0 when the box was closed without a button.
enum MsgResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

struct MessageBoxRequest {
    QString text;      // as the caller gave it (the presenter adds the right-to-left mark)
    int buttons = 0;   // button set code
    int icon = 0;      // icon code
    QString caption;
};

// Answers one box: returns the result code of the button chosen, or 0.
using MessagePresenter = std::function<int(const MessageBoxRequest&)>;

// Installs the presenter for every later box and returns the one it replaces.
// With no presenter installed a box answers 0 (as if closed).
MessagePresenter SetMessagePresenter(MessagePresenter presenter);

// A button of a set: caption (with its "&" accelerator) and result code.
struct MsgButton {
    QString caption;
    int result;
};
// The buttons of a set code in order; a code outside 0..5 gives the set of 0.
QList<MsgButton> MessageButtonsFor(int buttons);

int MessageDialog(const QString& text, int buttons, int icon, const QString& caption);
void ShowErrorBox(const QString& text);     // set 0, icon 16, caption "خطا"
bool ShowConfirmBox(const QString& text);   // set 4, icon 32, caption "تصديق"; true on "&بلي"
int ShowInfoBox(const QString& text);       // set 0, icon 64, caption "اطلاع"
