#include "core/widgets/untLogin.h"

#include "core/MSGs.h"
#include "core/untDm.h"
#include "core/untGlobals.h"
#include "core/widgets/NemoraArt.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace txt {
// texts:LOGIN begin
const QString FormCaption = QStringLiteral("ورود");
const QString Label1 = QStringLiteral("نام کاربری :");
const QString Label2 = QStringLiteral("رمز ورود :");
const QString chkSaved = QStringLiteral("نام کاربری و رمز ورود در سیستم ذخیره گردد");
const QString btnOk = QStringLiteral("ورود");
const QString btnCancle = QStringLiteral("انصراف");
// texts:LOGIN end
}  // namespace txt

namespace {
// Names of the remembered login in the parameter store.
const QByteArray ParamSaved = "Saved";
const QByteArray ParamUserName = "UserName";
const QByteArray ParamPassword = "Password";

// A remembered value shorter than this is not put back into its box.
constexpr int MinRestoredLength = 3;

// The administrator's organisation code; compared as exact text.
const QString AdminCode = QStringLiteral("01");

// Loads one remembered value as text; an unreadable value raises out of the store.
QString loadText(const QByteArray& name)
{
    QByteArray value;
    LoadParam(name, value);
    return QString::fromUtf8(value);
}
}  // namespace

TfrmLogin::TfrmLogin(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(txt::FormCaption);
    setLayoutDirection(Qt::RightToLeft);
    setStyleSheet(QStringLiteral(
        "TfrmLogin { background: #ffffff; }"
        "QFrame#pnlLoginHeader { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 %1, stop:1 %2); }"
        "QLabel#lblLoginTitle { color: #ffffff; font-size: 22pt; font-weight: bold; }"
        "QLabel { color: %3; }"
        "QLineEdit { border: 1px solid #b9c9d8; border-radius: 6px; padding: 5px 8px; background: #fbfdff;"
        "  color: %3; lineedit-password-character: 42; }"
        "QLineEdit:focus { border: 2px solid %1; }"
        "QPushButton { border: 1px solid #b9c9d8; border-radius: 6px; background: #f3f7fb; color: %3;"
        "  padding: 6px 18px; min-width: 90px; }"
        "QPushButton:hover { background: #e3eef8; }"
        "QPushButton#btnOk { background: %1; color: #ffffff; border: 1px solid %2; font-weight: bold; }"
        "QPushButton#btnOk:hover { background: %2; }"
        "QPushButton#AdvSmoothButton4 { background: %1; border: none; min-width: 0; padding: 4px; }"
        "QPushButton#AdvSmoothButton4:pressed { background: %2; }")
                      .arg(NemoraColors::Sea.name(), NemoraColors::Deep.name(), NemoraColors::Ink.name()));

    auto* header = new QFrame(this);
    header->setObjectName(QStringLiteral("pnlLoginHeader"));
    header->setFixedHeight(84);
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(24, 10, 24, 10);
    auto* logo = new QLabel(header);
    logo->setObjectName(QStringLiteral("imgLoginLogo"));
    logo->setPixmap(NemoraLogoPixmap(56));
    auto* title = new QLabel(QStringLiteral("Nemora"), header);
    title->setObjectName(QStringLiteral("lblLoginTitle"));
    headerLayout->addWidget(logo);
    headerLayout->addWidget(title);
    headerLayout->addStretch();

    m_Label1 = new QLabel(txt::Label1, this);
    m_Label1->setObjectName(QStringLiteral("Label1"));
    m_edtUserName = new QLineEdit(this);
    m_edtUserName->setObjectName(QStringLiteral("edtUserName"));
    m_Label2 = new QLabel(txt::Label2, this);
    m_Label2->setObjectName(QStringLiteral("Label2"));
    m_edtPass = new QLineEdit(this);
    m_edtPass->setObjectName(QStringLiteral("edtPass"));
    m_edtPass->setEchoMode(QLineEdit::Password);
    for (QLineEdit* box : {m_edtUserName, m_edtPass}) {
        // User names and passwords are Latin text: typed left to right, centred.
        box->setLayoutDirection(Qt::LeftToRight);
        box->setAlignment(Qt::AlignCenter);
        box->setMinimumWidth(220);
    }
    m_Label1->setBuddy(m_edtUserName);
    m_Label2->setBuddy(m_edtPass);

    m_AdvSmoothButton4 = new QPushButton(this);
    m_AdvSmoothButton4->setObjectName(QStringLiteral("AdvSmoothButton4"));
    m_AdvSmoothButton4->setIcon(QIcon(NemoraGlyphPixmap(NemoraGlyph::Eye, 40)));
    m_AdvSmoothButton4->setIconSize(QSize(20, 20));
    m_AdvSmoothButton4->setFixedSize(34, 32);
    m_AdvSmoothButton4->setFocusPolicy(Qt::NoFocus);
    m_AdvSmoothButton4->setAutoDefault(false);

    m_chkSaved = new QCheckBox(txt::chkSaved, this);
    m_chkSaved->setObjectName(QStringLiteral("chkSaved"));

    m_btnOk = new QPushButton(txt::btnOk, this);
    m_btnOk->setObjectName(QStringLiteral("btnOk"));
    m_btnCancle = new QPushButton(txt::btnCancle, this);
    m_btnCancle->setObjectName(QStringLiteral("btnCancle"));
    // Enter is handled by the text boxes themselves; a default button would log in twice.
    m_btnOk->setAutoDefault(false);
    m_btnCancle->setAutoDefault(false);

    auto* form = new QGridLayout;
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(12);
    form->addWidget(m_Label1, 0, 0);
    form->addWidget(m_edtUserName, 0, 1);
    form->addWidget(m_Label2, 1, 0);
    form->addWidget(m_edtPass, 1, 1);
    form->addWidget(m_AdvSmoothButton4, 1, 2);
    form->addWidget(m_chkSaved, 2, 0, 1, 3);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addWidget(m_btnOk);
    buttons->addWidget(m_btnCancle);
    buttons->addStretch();

    auto* body = new QVBoxLayout;
    body->setContentsMargins(28, 22, 28, 22);
    body->setSpacing(18);
    body->addLayout(form);
    body->addLayout(buttons);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(header);
    root->addLayout(body);
    root->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_edtUserName, m_edtPass);
    setTabOrder(m_edtPass, m_chkSaved);
    setTabOrder(m_chkSaved, m_btnOk);
    setTabOrder(m_btnOk, m_btnCancle);

    connect(m_edtUserName, &QLineEdit::returnPressed, this, &TfrmLogin::btnOkClick);
    connect(m_edtPass, &QLineEdit::returnPressed, this, &TfrmLogin::btnOkClick);
    connect(m_btnOk, &QPushButton::clicked, this, &TfrmLogin::btnOkClick);
    connect(m_btnCancle, &QPushButton::clicked, this, &TfrmLogin::btnCancleClick);
    connect(m_AdvSmoothButton4, &QPushButton::pressed, this, [this] { m_edtPass->setEchoMode(QLineEdit::Normal); });
    connect(m_AdvSmoothButton4, &QPushButton::released, this,
            [this] { m_edtPass->setEchoMode(QLineEdit::Password); });
    adjustSize();   // the final size is known before the first show, so centring uses it
}

void TfrmLogin::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmLogin::FormShow()
{
    m_chkSaved->setChecked(false);
    m_edtUserName->setFocus(Qt::OtherFocusReason);
    try {
        if (loadText(ParamSaved) == BoolText(true))
            m_chkSaved->setChecked(true);
    } catch (const std::exception&) {
        return;
    }
    if (!m_chkSaved->isChecked())
        return;
    try {
        const QString userName = loadText(ParamUserName);
        if (userName.size() >= MinRestoredLength)
            m_edtUserName->setText(userName);
        else
            m_edtUserName->setFocus(Qt::OtherFocusReason);
        const QString password = loadText(ParamPassword);
        if (password.size() >= MinRestoredLength)
            m_edtPass->setText(password);
        else
            m_edtPass->setFocus(Qt::OtherFocusReason);
    } catch (const std::exception&) {
        // A damaged remembered value just stays out of its box.
    }
}

void TfrmLogin::btnOkClick()
{
    if (!LoginRequest()) {
        m_edtPass->setFocus(Qt::OtherFocusReason);
        return;
    }
    storeLogin();
    ShowCurrentUser();
    accept();
}

bool TfrmLogin::LoginRequest()
{
    bool aResult = false;
    QString aMessage;
    TDm& dm = Dm ? *Dm : CreateDm();
    const JsonBody body = JsonBody().add(QStringLiteral("user_name"), m_edtUserName->text())
                              .add(QStringLiteral("password"), m_edtPass->text());
    const std::optional<QJsonArray> rows = dm.CallPostMethod(Method::user_login, aResult, aMessage, body);
    if (aResult && rows && !rows->isEmpty()) {
        // Read into a copy so that a malformed row leaves the previous user whole; walking from
        // the last row to the first leaves the first row's values.
        TCurrentUser user;
        for (qsizetype i = rows->size() - 1; i >= 0; --i) {
            const QJsonValue row = rows->at(i);
            user.UserID = ReadJsonField::AsString(row, QStringLiteral("UserID"));
            user.UserName = ReadJsonField::AsString(row, QStringLiteral("UserName"));
            user.loginCount = ReadJsonField::AsString(row, QStringLiteral("loginCount"));
            user.Code = ReadJsonField::AsString(row, QStringLiteral("Code"));
            user.OrganName = ReadJsonField::AsString(row, QStringLiteral("OrganName"));
            user.OrganID = ReadJsonField::AsString(row, QStringLiteral("OrganID"));
            user.IsAdmin = user.Code == AdminCode;
        }
        CurrentUser = user;
        return true;
    }
    ShowErrorBox(aMessage);
    return false;
}

void TfrmLogin::storeLogin()
{
    // All three are written on every login; the check box only decides whether the next show
    // brings them back.
    SaveParam(ParamSaved, BoolText(m_chkSaved->isChecked()).toUtf8(), true);
    SaveParam(ParamUserName, m_edtUserName->text().toUtf8(), true);
    SaveParam(ParamPassword, m_edtPass->text().toUtf8(), true);
}

void TfrmLogin::ShowCurrentUser()
{
    emit currentUserChanged();
}

void TfrmLogin::btnCancleClick()
{
    reject();
}
