#include "meters/untErrorInfo.h"

#include "meters/ErrorCodes.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTextDocument>
#include <QTextOption>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("لیست خطاهای دستگاه");
const QString kSerialCaption = QStringLiteral("سریال کنتور :");
const QString kCodeCaption = QStringLiteral("کد خطا :");
const QString kListCaption = QStringLiteral("لیست خطاهای شناسایی شده :");
const QString kExit = QStringLiteral("خروج");
}  // namespace

TfrmErrorInfo::TfrmErrorInfo(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmErrorInfo"));
    setWindowTitle(kCaption);
    setLayoutDirection(Qt::RightToLeft);
    setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);
    setModal(true);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->setSpacing(8);

    auto* strip = new QFrame(this);
    strip->setObjectName(QStringLiteral("pnlTop"));
    strip->setFrameShape(QFrame::StyledPanel);
    strip->setStyleSheet(QStringLiteral("#pnlTop { background: #eef3f8; border: 1px solid #c5d3e0; border-radius: 4px; }"));
    auto* top = new QHBoxLayout(strip);
    top->setContentsMargins(10, 8, 10, 8);
    auto* serialCaption = new QLabel(kSerialCaption, strip);
    serialCaption->setObjectName(QStringLiteral("lblSerialCaption"));
    m_lblSerial = new QLabel(strip);
    m_lblSerial->setObjectName(QStringLiteral("lblSerial"));
    m_lblSerial->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* codeCaption = new QLabel(kCodeCaption, strip);
    codeCaption->setObjectName(QStringLiteral("lblErrorCaption"));
    m_lblError = new QLabel(strip);
    m_lblError->setObjectName(QStringLiteral("lblError"));
    m_lblError->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = m_lblSerial->font();
    bold.setBold(true);
    m_lblSerial->setFont(bold);
    m_lblError->setFont(bold);
    top->addWidget(serialCaption);
    top->addWidget(m_lblSerial);
    top->addSpacing(24);
    top->addWidget(codeCaption);
    top->addWidget(m_lblError);
    top->addStretch(1);
    outer->addWidget(strip);

    auto* listCaption = new QLabel(kListCaption, this);
    listCaption->setObjectName(QStringLiteral("lblListCaption"));
    listCaption->setStyleSheet(QStringLiteral("color: #6b7785;"));
    outer->addWidget(listCaption);

    m_mmoError = new QPlainTextEdit(this);
    m_mmoError->setObjectName(QStringLiteral("mmoError"));
    m_mmoError->setReadOnly(true);
    m_mmoError->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Each line starts with Persian and ends with a Latin mnemonic in parentheses; only a
    // right-to-left paragraph keeps the parentheses round the mnemonic.
    QTextOption lines = m_mmoError->document()->defaultTextOption();
    lines.setTextDirection(Qt::RightToLeft);
    lines.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    m_mmoError->document()->setDefaultTextOption(lines);
    outer->addWidget(m_mmoError, 1);

    auto* buttons = new QHBoxLayout;
    auto* exitButton = new QPushButton(kExit, this);
    exitButton->setObjectName(QStringLiteral("AdvSmoothButton7"));
    exitButton->setMinimumWidth(96);
    exitButton->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(exitButton);
    buttons->addStretch(1);
    outer->addLayout(buttons);
    connect(exitButton, &QPushButton::clicked, this, &TfrmErrorInfo::AdvSmoothButton7Click);

    setFixedSize(440, 320);
}

void TfrmErrorInfo::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Restoring a minimised dialog shows it again; the texts were filled on the first show.
    if (!event->spontaneous())
        FormShow();
}

void TfrmErrorInfo::FormShow()
{
    m_lblSerial->setText(fDeviceSeial);
    m_lblError->setText(fErrorCode);
    m_mmoError->setPlainText(DecodeErrorCode(fErrorCode).join(QLatin1Char('\n')));
    fErrorCode = CleanErrorCode(fErrorCode);
}

void TfrmErrorInfo::AdvSmoothButton7Click()
{
    close();
}
