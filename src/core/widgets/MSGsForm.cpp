#include "core/widgets/MSGsForm.h"

#include "core/widgets/NemoraArt.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <algorithm>

namespace {
constexpr QChar RightToLeftMark(0x200F);

// Margins of the sizing rules.
constexpr int IconToLabel = 46;     // icon's right edge to the label
constexpr int NoIconLabelLeft = 16;
constexpr int RightMargin = 40;     // label's right edge to the box's right edge
constexpr int WrappedMinHeight = 26;
constexpr int LabelToButtons = 15;
constexpr int ButtonsToBottom = 35;
constexpr int ButtonsLeft = 8, ButtonGap = 7, ButtonsRightMargin = 16;

// Messages mark line breaks the Windows way; the label breaks lines on '\n' only.
QString labelTextFor(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown + RightToLeftMark;
}
}  // namespace

bool IsMsgBoxIcon(int icon)
{
    return icon == miError || icon == miQuestion || icon == miWarning || icon == miInformation;
}

MsgBoxLayout ComputeMsgBoxLayout(const QString& labelText, int buttons, int icon, const QSize& iconSize,
                                 const QFontMetrics& metrics, const QSize& screen)
{
    using namespace MsgBoxDesign;
    MsgBoxLayout out;
    int formWidth = ClientWidth;
    int formHeight = ClientHeight;

    // Icon and label column.
    int labelLeft = NoIconLabelLeft;
    out.hasIcon = IsMsgBoxIcon(icon);
    if (out.hasIcon) {
        out.icon = QRect(QPoint(IconLeft, IconTop), iconSize);
        labelLeft = out.icon.left() + out.icon.width() + IconToLabel;
    }

    // The label first tries one line (line breaks of the text still count); a text too wide for
    // the box wraps right-aligned inside it instead.
    const QSize oneLine = metrics.size(0, labelText);
    if (labelLeft + oneLine.width() < formWidth) {
        out.label = QRect(labelLeft, LabelTop, oneLine.width(), oneLine.height());
        formWidth = out.label.left() + out.label.width() + RightMargin;
    } else {
        out.wrapped = true;
        const int width = formWidth - labelLeft - RightMargin;
        const QRect wrapped = metrics.boundingRect(QRect(0, 0, width, 1 << 20),
                                                   Qt::TextWordWrap | Qt::AlignRight | Qt::AlignTop, labelText);
        out.label = QRect(labelLeft, LabelTop, width, std::max(WrappedMinHeight, wrapped.height()));
    }

    // Buttons, vertically: below a tall label, and the box grows with them.
    std::array<int, 3> tops{{ButtonTop, ButtonTop, LastButtonTop}};
    const int wantedTop = out.label.top() + out.label.height() + LabelToButtons;
    if (wantedTop > ButtonTop) {
        tops.fill(wantedTop);
        formHeight = wantedTop + ButtonHeight + ButtonsToBottom;
    }

    // Buttons, horizontally: laid out from the left, then the first and last exchange places so
    // that the first button of the set stands rightmost.
    out.buttons = MessageButtonsFor(buttons);
    const int count = int(out.buttons.size());
    std::array<int, 3> lefts{{0, 0, 0}};
    for (int i = 0; i < count; ++i)
        lefts[i] = ButtonsLeft + i * (ButtonWidth + ButtonGap);
    std::swap(lefts[0], lefts[count - 1]);
    const int needed = ButtonsLeft + count * ButtonWidth + (count - 1) * ButtonGap + ButtonsRightMargin;

    if (needed > formWidth) {
        formWidth = needed;
        out.label.moveLeft(formWidth - out.label.width());
    } else {
        const int shift = (formWidth - needed + ButtonsRightMargin) / 2;
        for (int i = 0; i < count; ++i)
            lefts[i] += shift;
    }
    for (int i = 0; i < 3; ++i)
        out.buttonRects[i] = QRect(lefts[i], tops[i], ButtonWidth, ButtonHeight);

    out.client = QSize(formWidth, formHeight);
    out.position = QPoint((screen.width() - formWidth) / 2, (screen.height() - formHeight) / 2);
    return out;
}

TfrmMsgBox::TfrmMsgBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint
                          | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmMsgBox"));
    setLayoutDirection(Qt::RightToLeft);
    setModal(true);
    setStyleSheet(QStringLiteral(
        "TfrmMsgBox { background: #ffffff; }"
        "QLabel#lblMsg { color: %1; }"
        "QPushButton { border: 1px solid #b9c9d8; border-radius: 6px; background: #f3f7fb; color: %1;"
        "  padding: 4px 10px; }"
        "QPushButton:hover { background: #e3eef8; }"
        "QPushButton:focus { border: 2px solid %2; }"
        "QPushButton#cmds0 { background: %2; color: white; border: 1px solid %3; }"
        "QPushButton#cmds0:hover { background: %3; }")
                      .arg(NemoraColors::Ink.name(), NemoraColors::Sea.name(), NemoraColors::Deep.name()));

    m_imgIcon = new QLabel(this);
    m_imgIcon->setObjectName(QStringLiteral("imgIcon"));
    m_imgIcon->setGeometry(MsgBoxDesign::IconLeft, MsgBoxDesign::IconTop, 37, 37);

    m_lblMsg = new QLabel(this);
    m_lblMsg->setObjectName(QStringLiteral("lblMsg"));
    // Server texts are shown as they are, never interpreted as markup.
    m_lblMsg->setTextFormat(Qt::PlainText);
    m_lblMsg->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_lblMsg->setMargin(0);
    m_lblMsg->setIndent(0);
    m_lblMsg->setGeometry(MsgBoxDesign::LabelLeft, MsgBoxDesign::LabelTop, 383, 18);

    const QStyle::StandardPixmap pictures[4] = {QStyle::SP_MessageBoxCritical, QStyle::SP_MessageBoxQuestion,
                                                QStyle::SP_MessageBoxWarning, QStyle::SP_MessageBoxInformation};
    for (int i = 0; i < 4; ++i) {
        m_img[i] = new QLabel(this);
        m_img[i]->setObjectName(QStringLiteral("img%1").arg(i + 1));
        m_img[i]->setPixmap(style()->standardIcon(pictures[i], nullptr, this).pixmap(32, 32));
        m_img[i]->setGeometry(0, 0, 32, 32);
        m_img[i]->hide();
    }

    const QRect design[3] = {{263, 73, 121, 41}, {136, 73, 121, 41}, {9, 72, 121, 41}};
    for (int i = 0; i < 3; ++i) {
        m_cmds[i] = new QPushButton(this);
        m_cmds[i]->setObjectName(QStringLiteral("cmds%1").arg(i));
        m_cmds[i]->setGeometry(design[i]);
        m_cmds[i]->setAutoDefault(true);
        if (i > 0)
            m_cmds[i]->hide();
        connect(m_cmds[i], &QPushButton::clicked, this, [this, i] { cmdsClick(i); });
    }
    m_cmds[0]->setDefault(true);
    setFixedSize(MsgBoxDesign::ClientWidth, MsgBoxDesign::ClientHeight);
}

void TfrmMsgBox::Prepare(const QString& text, int buttons, int icon, const QString& caption)
{
    setWindowTitle(caption);
    m_lblMsg->setText(labelTextFor(text));
    Btns = buttons;
    Icns = icon;

    QSize iconSize(32, 32);
    static const QList<int> iconCodes{miError, miQuestion, miWarning, miInformation};
    const int picture = int(iconCodes.indexOf(icon));
    if (picture >= 0) {
        m_imgIcon->setPixmap(m_img[picture]->pixmap());
        iconSize = m_img[picture]->pixmap().deviceIndependentSize().toSize();
    } else {
        m_imgIcon->clear();
    }

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenRect = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    m_layout = ComputeMsgBoxLayout(m_lblMsg->text(), buttons, icon, iconSize, m_lblMsg->fontMetrics(),
                                   screenRect.size());

    m_imgIcon->setVisible(m_layout.hasIcon);
    if (m_layout.hasIcon)
        m_imgIcon->setGeometry(m_layout.icon);
    m_lblMsg->setWordWrap(m_layout.wrapped);
    m_lblMsg->setAlignment(m_layout.wrapped ? Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignTop
                                            : Qt::AlignHCenter | Qt::AlignTop);
    m_lblMsg->setGeometry(m_layout.label);

    btnNo = int(m_layout.buttons.size());
    RetVals = {{0, 0, 0}};
    for (int i = 0; i < 3; ++i) {
        const bool shown = i < btnNo;
        if (shown) {
            m_cmds[i]->setText(m_layout.buttons.at(i).caption);
            RetVals[i] = m_layout.buttons.at(i).result;
        }
        m_cmds[i]->setVisible(shown);
        m_cmds[i]->setGeometry(m_layout.buttonRects[i]);
    }

    setFixedSize(m_layout.client);
    move(screenRect.topLeft() + m_layout.position);
}

int TfrmMsgBox::Execute()
{
    RetVal = mrNone;
    exec();
    return RetVal;
}

void TfrmMsgBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Enter answers with the first button of the set.
    m_cmds[0]->setFocus(Qt::ActiveWindowFocusReason);
}

void TfrmMsgBox::cmdsClick(int index)
{
    RetVal = RetVals[index];
    accept();
}

int PresentMsgBoxWindow(const MessageBoxRequest& request)
{
    // Without an owner: the box is centred on the screen and keeps its own look whatever window
    // is active.
    TfrmMsgBox box;
    box.Prepare(request.text, request.buttons, request.icon, request.caption);
    return box.Execute();
}

void InstallMsgBoxWindowPresenter()
{
    SetMessagePresenter(&PresentMsgBoxWindow);
}
