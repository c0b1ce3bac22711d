#include "core/MSGs.h"

#include <QList>

namespace {
MessagePresenter& presenter()
{
    static MessagePresenter current;
    return current;
}
}  // namespace

MessagePresenter SetMessagePresenter(MessagePresenter next)
{
    MessagePresenter previous = std::move(presenter());
    presenter() = std::move(next);
    return previous;
}

QList<MsgButton> MessageButtonsFor(int buttons)
{
    const QString ok = QStringLiteral("&تأييد"), cancel = QStringLiteral("&انصراف");
    const QString yes = QStringLiteral("&بلي"), no = QStringLiteral("&خير");
    const QString retry = QStringLiteral("&سعي مجدد");
    switch (buttons) {
    case mbOkCancel: return {{ok, mrOk}, {cancel, mrCancel}};
    case mbAbortRetryIgnore:
        return {{QStringLiteral("&صرف نظر"), mrAbort}, {retry, mrRetry}, {QStringLiteral("&جهش"), mrIgnore}};
    case mbYesNoCancel: return {{yes, mrYes}, {no, mrNo}, {cancel, mrCancel}};
    case mbYesNo: return {{yes, mrYes}, {no, mrNo}};
    case mbRetryCancel: return {{retry, mrRetry}, {cancel, mrCancel}};
    default: return {{ok, mrOk}};
    }
}

int MessageDialog(const QString& text, int buttons, int icon, const QString& caption)
{
    const MessagePresenter& show = presenter();
    if (!show)
        return mrNone;
    return show(MessageBoxRequest{text, buttons, icon, caption});
}

void ShowErrorBox(const QString& text)
{
    MessageDialog(text, mbOk, miError, QStringLiteral("خطا"));
}

bool ShowConfirmBox(const QString& text)
{
    return MessageDialog(text, mbYesNo, miQuestion, QStringLiteral("تصديق")) == mrYes;
}

int ShowInfoBox(const QString& text)
{
    return MessageDialog(text, mbOk, miInformation, QStringLiteral("اطلاع"));
}
