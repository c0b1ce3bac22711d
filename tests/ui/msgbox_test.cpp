// The message box window: the sizing rules, the button sets and icons, and what the window
// presenter answers.
#include "ui/UiTestSupport.h"
#include "core/widgets/MSGsForm.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace txt {
// texts:TESTBOX begin
const QString Yes = QStringLiteral("&بلي");
const QString No = QStringLiteral("&خير");
const QString ConfirmCaption = QStringLiteral("تصديق");
const QString ErrorCaption = QStringLiteral("خطا");
// texts:TESTBOX end
}  // namespace txt

namespace {
const QChar Rlm(0x200F);
const QSize Screen(1600, 900);
const QSize Icon(32, 32);
constexpr int IconLabelLeft = 18 + 32 + 46;

int neededWidth(int buttons)
{
    return 8 + buttons * 121 + (buttons - 1) * 7 + 16;
}

// A Latin text of about `width` pixels in the application font.
QString textOfWidth(int width)
{
    const QFontMetrics metrics(QApplication::font());
    QString text;
    while (metrics.horizontalAdvance(text) < width)
        text += QStringLiteral("water meter ");
    return text.trimmed();
}

MsgBoxLayout layoutFor(const QString& text, int buttons, int icon)
{
    return ComputeMsgBoxLayout(text + Rlm, buttons, icon, Icon, QFontMetrics(QApplication::font()), Screen);
}
}  // namespace

TEST(MsgBoxLayout, OneLineTextNarrowsTheBoxToTheTextButNotBelowTheButtons)
{
    struct Case {
        const char* name;
        QString text;
        int buttons;
        int icon;
    };
    const Case cases[] = {
        {"empty text, one button", QString(), mbOk, miError},
        {"short text, no icon", QStringLiteral("OK"), mbOk, 0},
        {"short text, three buttons", QStringLiteral("abc"), mbYesNoCancel, miQuestion},
        {"wider than the buttons", textOfWidth(300), mbYesNo, miInformation},
        {"nearly the full width", textOfWidth(330), mbOk, miWarning},
    };
    const QFontMetrics metrics(QApplication::font());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MsgBoxLayout box = layoutFor(c.text, c.buttons, c.icon);
        const int count = int(box.buttons.size());
        const int labelLeft = box.hasIcon ? IconLabelLeft : 16;
        const int textWidth = metrics.size(0, c.text + Rlm).width();
        const int byText = labelLeft + textWidth + 40;

        EXPECT_FALSE(box.wrapped);
        EXPECT_EQ(box.client.width(), std::max(byText, neededWidth(count)));
        EXPECT_EQ(box.client.height(), 134);
        EXPECT_EQ(box.label.width(), textWidth);
        if (byText < neededWidth(count)) {
            EXPECT_EQ(box.label.left() + box.label.width(), box.client.width()) << "label moved to the right edge";
        } else {
            EXPECT_EQ(box.label.left(), labelLeft);
        }
        for (int i = 0; i < count; ++i) {
            EXPECT_GE(box.buttonRects[i].left(), 0);
            EXPECT_LE(box.buttonRects[i].left() + box.buttonRects[i].width(), box.client.width());
        }
        EXPECT_EQ(box.position, QPoint((Screen.width() - box.client.width()) / 2,
                                       (Screen.height() - box.client.height()) / 2));
    }
}

TEST(MsgBoxLayout, LongTextWrapsInsideTheBoxAndPushesTheButtonsDown)
{
    for (int icon : {int(miError), 0}) {
        SCOPED_TRACE(icon);
        const QString text = textOfWidth(1500);
        const MsgBoxLayout box = layoutFor(text, mbYesNoCancel, icon);
        const int labelLeft = icon ? IconLabelLeft : 16;

        EXPECT_TRUE(box.wrapped);
        EXPECT_EQ(box.client.width(), 492);
        EXPECT_EQ(box.label.left(), labelLeft);
        EXPECT_EQ(box.label.left() + box.label.width(), 492 - 40) << "the wrapped label keeps the right margin";
        EXPECT_GE(box.label.height(), 3 * QFontMetrics(QApplication::font()).height());
        const int top = box.label.top() + box.label.height() + 15;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(box.buttonRects[i].top(), top);
        EXPECT_EQ(box.client.height(), top + 41 + 35);
    }
}

TEST(MsgBoxLayout, ButtonSetsStandFirstRightmostWithTheirGaps)
{
    struct Case {
        int code;
        int count;
    };
    const Case cases[] = {{0, 1}, {1, 2}, {2, 3}, {3, 3}, {4, 2}, {5, 2}, {6, 1}, {-1, 1}, {99, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const MsgBoxLayout box = layoutFor(QStringLiteral("x"), c.code, miInformation);
        ASSERT_EQ(int(box.buttons.size()), c.count);
        if (c.code < 0 || c.code > 5) {
            EXPECT_EQ(box.buttons.first().result, mrOk) << "an unknown set acts as set 0";
        }
        // The first of the set rightmost, the last leftmost, 7 pixels apart.
        for (int i = 1; i < c.count; ++i)
            EXPECT_LT(box.buttonRects[i].left(), box.buttonRects[0].left()) << "first button is rightmost";
        if (c.count > 1) {
            int lefts[3];
            for (int i = 0; i < c.count; ++i)
                lefts[i] = box.buttonRects[i].left();
            std::sort(lefts, lefts + c.count);
            for (int i = 1; i < c.count; ++i)
                EXPECT_EQ(lefts[i] - lefts[i - 1], 121 + 7);
            EXPECT_EQ(box.buttonRects[c.count - 1].left(), lefts[0]) << "last button is leftmost";
        }
    }
}

TEST(MsgBoxWindow, ShowsTheIconTheCaptionsAndTheMarkedText)
{
    struct Case {
        int icon;
        int picture;   // img1..img4, 0 for none
    };
    const Case cases[] = {{16, 1}, {32, 2}, {48, 3}, {64, 4}, {0, 0}, {17, 0}, {99, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.icon);
        TfrmMsgBox box;
        const QString first = textOfWidth(300);
        box.Prepare(first + QStringLiteral("\r\nline two"), mbYesNo, c.icon, QStringLiteral("caption"));
        auto* imgIcon = control<QLabel>(&box, "imgIcon");
        auto* lblMsg = control<QLabel>(&box, "lblMsg");
        ASSERT_TRUE(imgIcon && lblMsg);

        EXPECT_EQ(box.windowTitle(), QStringLiteral("caption"));
        EXPECT_EQ(lblMsg->text(), first + QStringLiteral("\nline two") + Rlm);
        EXPECT_EQ(box.Icns, c.icon);
        EXPECT_EQ(imgIcon->isHidden(), c.picture == 0);
        if (c.picture) {
            const QByteArray name = "img" + QByteArray::number(c.picture);
            auto* picture = control<QLabel>(&box, name.constData());
            ASSERT_TRUE(picture);
            EXPECT_TRUE(picture->isHidden());
            EXPECT_EQ(imgIcon->pixmap().toImage(), picture->pixmap().toImage());
        } else {
            EXPECT_EQ(lblMsg->x(), 16);
        }
        // Two lines without wrapping: a taller label, and the buttons below it.
        EXPECT_FALSE(lblMsg->wordWrap());
        EXPECT_GE(lblMsg->height(), 2 * lblMsg->fontMetrics().height());
        EXPECT_EQ(control<QPushButton>(&box, "cmds0")->y(), std::max(73, lblMsg->y() + lblMsg->height() + 15));
    }
}

TEST(MsgBoxWindow, ConfirmationHasYesOnTheRightAndNoOnTheLeft)
{
    TfrmMsgBox box;
    box.Prepare(QStringLiteral("sure?"), mbYesNo, miQuestion, txt::ConfirmCaption);
    auto* cmds0 = control<QPushButton>(&box, "cmds0");
    auto* cmds1 = control<QPushButton>(&box, "cmds1");
    auto* cmds2 = control<QPushButton>(&box, "cmds2");
    ASSERT_TRUE(cmds0 && cmds1 && cmds2);
    EXPECT_EQ(cmds0->text(), txt::Yes);
    EXPECT_EQ(cmds1->text(), txt::No);
    EXPECT_GT(cmds0->x(), cmds1->x());
    EXPECT_FALSE(cmds1->isHidden());
    EXPECT_TRUE(cmds2->isHidden());
    EXPECT_EQ(box.btnNo, 2);
    EXPECT_EQ(box.RetVals[0], mrYes);
    EXPECT_EQ(box.RetVals[1], mrNo);
    EXPECT_TRUE(cmds0->isDefault());
    EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST(MsgBoxWindow, WrappedTextFitsItsLabel)
{
    TfrmMsgBox box;
    box.Prepare(textOfWidth(2500), mbOk, miError, QStringLiteral("caption"));
    auto* lblMsg = control<QLabel>(&box, "lblMsg");
    ASSERT_TRUE(lblMsg);
    EXPECT_TRUE(lblMsg->wordWrap());
    EXPECT_LE(lblMsg->heightForWidth(lblMsg->width()), lblMsg->height()) << "no line is cut off";
    EXPECT_LE(lblMsg->x() + lblMsg->width(), box.width());
    EXPECT_EQ(control<QPushButton>(&box, "cmds0")->y(), lblMsg->y() + lblMsg->height() + 15);
    EXPECT_EQ(box.height(), lblMsg->y() + lblMsg->height() + 15 + 41 + 35);
}

TEST(MsgBoxWindow, MarkupInAMessageIsShownAsText)
{
    TfrmMsgBox box;
    box.Prepare(QStringLiteral("<b>500</b> Internal Server Error"), mbOk, miError, QStringLiteral("caption"));
    auto* lblMsg = control<QLabel>(&box, "lblMsg");
    ASSERT_TRUE(lblMsg);
    EXPECT_EQ(lblMsg->textFormat(), Qt::PlainText);
}

TEST(MsgBoxPresenter, AnswersTheButtonPressedAndZeroWhenClosed)
{
    struct Case {
        const char* name;
        int buttons;
        std::function<void(TfrmMsgBox*)> act;
        int expected;
    };
    auto click = [](const char* name) {
        return [name](TfrmMsgBox* box) { QTest::mouseClick(box->findChild<QPushButton*>(name), Qt::LeftButton); };
    };
    const Case cases[] = {
        {"yes", mbYesNoCancel, click("cmds0"), mrYes},
        {"no", mbYesNoCancel, click("cmds1"), mrNo},
        {"cancel", mbYesNoCancel, click("cmds2"), mrCancel},
        {"retry", mbAbortRetryIgnore, click("cmds1"), mrRetry},
        {"title-bar close", mbYesNo, [](TfrmMsgBox* box) { box->close(); }, mrNone},
        {"Enter takes the first button", mbYesNo,
         [](TfrmMsgBox* box) { QTest::keyClick(box->focusWidget(), Qt::Key_Return); }, mrYes},
    };
    // The window presenter is the one the application installed.
    const MessagePresenter saved = SetMessagePresenter(&PresentMsgBoxWindow);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString focused;
        ModalAnswerer<TfrmMsgBox> answer([&](TfrmMsgBox* box) {
            focused = box->focusWidget() ? box->focusWidget()->objectName() : QString();
            c.act(box);
        });
        EXPECT_EQ(MessageDialog(QStringLiteral("question"), c.buttons, miQuestion, QStringLiteral("caption")),
                  c.expected);
        EXPECT_TRUE(answer.done());
        EXPECT_EQ(focused, QStringLiteral("cmds0"));
    }
    SetMessagePresenter(saved);
}
