// The login dialog against the scripted server: the request, the user taken from the reply, a
// refused login, and the remembered login across two shows.
#include "ui/UiTestSupport.h"
#include "support/ScriptedHttpServer.h"
#include "core/untDm.h"
#include "core/widgets/NemoraApplication.h"
#include "core/widgets/untLogin.h"

#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace txt {
// texts:TESTLOGIN begin
const QString ErrorCaption = QStringLiteral("خطا");
const QString PersianUser = QStringLiteral("کاربر");
const QString PersianPassword = QStringLiteral("رمز ورود");
// texts:TESTLOGIN end
}  // namespace txt

namespace {
QByteArray userRow(const QString& id, const QString& name, const QString& code)
{
    const QJsonObject row{{"UserID", id},           {"UserName", name},      {"loginCount", "5"},
                          {"Code", code},           {"OrganName", "Unit " + id}, {"OrganID", "organ-" + id}};
    return QJsonDocument(QJsonArray{row}).toJson(QJsonDocument::Compact);
}

TCurrentUser sentinelUser()
{
    TCurrentUser user;
    user.UserID = QStringLiteral("previous");
    user.UserName = QStringLiteral("previous user");
    user.Code = QStringLiteral("01");
    user.IsAdmin = true;
    return user;
}

class LoginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateDm().setBaseAddress(server.baseUrl());
        CurrentUser = sentinelUser();
    }

    // A shown dialog, as the program shows it (the show restores the remembered login).
    std::unique_ptr<TfrmLogin> showDialog()
    {
        auto dialog = std::make_unique<TfrmLogin>();
        dialog->show();
        return dialog;
    }

    static void type(TfrmLogin& dialog, const QString& user, const QString& password, bool remember = false)
    {
        control<QLineEdit>(&dialog, "edtUserName")->setText(user);
        control<QLineEdit>(&dialog, "edtPass")->setText(password);
        control<QCheckBox>(&dialog, "chkSaved")->setChecked(remember);
    }

    static void pressOk(TfrmLogin& dialog) { QTest::mouseClick(control<QPushButton>(&dialog, "btnOk"), Qt::LeftButton); }

    ScriptedHttpServer server;
    TempParamStore store;
    BoxRecorder boxes;
};
}  // namespace

TEST_F(LoginTest, TheFirstRowOfTheReplyIsTheUser)
{
    // loginCount as a JSON number: a server may send it so; it is still read as its text.
    server.enqueueEnvelope("1", "", R"([
        {"UserID":"7","UserName":"first","loginCount":12,"Code":"01","OrganName":"Head","OrganID":"g-7"},
        {"UserID":"8","UserName":"second","loginCount":"3","Code":"0102","OrganName":"Sub","OrganID":"g-8"}])");
    auto dialog = showDialog();
    QSignalSpy announced(dialog.get(), &TfrmLogin::currentUserChanged);
    type(*dialog, "first", "pw1");
    pressOk(*dialog);

    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(announced.count(), 1);
    EXPECT_EQ(CurrentUser.UserID, "7");
    EXPECT_EQ(CurrentUser.UserName, "first");
    EXPECT_EQ(CurrentUser.loginCount, "12");
    EXPECT_EQ(CurrentUser.Code, "01");
    EXPECT_EQ(CurrentUser.OrganName, "Head");
    EXPECT_EQ(CurrentUser.OrganID, "g-7");
    EXPECT_TRUE(CurrentUser.IsAdmin);
    EXPECT_TRUE(boxes.boxes.isEmpty());
}

TEST_F(LoginTest, OnlyTheExactCode01IsAnAdministrator)
{
    const struct {
        const char* code;
        bool admin;
    } cases[] = {{"01", true}, {"1", false}, {"001", false}, {"01 ", false}, {"0101", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        server.enqueueEnvelope("1", "", userRow("9", "u", c.code));
        auto dialog = showDialog();
        type(*dialog, "user", "pw");
        pressOk(*dialog);
        EXPECT_EQ(CurrentUser.Code, QString::fromLatin1(c.code));
        EXPECT_EQ(CurrentUser.IsAdmin, c.admin);
    }
}

TEST_F(LoginTest, ARefusedLoginKeepsTheDialogOpenAndWritesNothing)
{
    const struct {
        const char* name;
        const char* success;
        const char* message;
    } cases[] = {{"refused by the server", "0", "wrong password"}, {"accepted without a row", "1", "no such user"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.boxes.clear();
        server.enqueueEnvelope(c.success, c.message, "[]");
        auto dialog = showDialog();
        QSignalSpy announced(dialog.get(), &TfrmLogin::currentUserChanged);
        type(*dialog, "operator", "bad", true);
        pressOk(*dialog);

        ASSERT_EQ(boxes.boxes.size(), 1);
        EXPECT_EQ(boxes.boxes.first().caption, txt::ErrorCaption);
        EXPECT_EQ(boxes.boxes.first().icon, miError);
        EXPECT_EQ(boxes.boxes.first().text, QString::fromLatin1(c.message));
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_NE(dialog->result(), QDialog::Accepted);
        EXPECT_EQ(dialog->focusWidget(), dialog->findChild<QLineEdit*>("edtPass"));
        EXPECT_EQ(announced.count(), 0);
        EXPECT_EQ(CurrentUser.UserID, "previous");
        EXPECT_TRUE(CurrentUser.IsAdmin);
        EXPECT_TRUE(TempParamStore::load("Saved").isEmpty());
        EXPECT_TRUE(TempParamStore::load("UserName").isEmpty());
        EXPECT_TRUE(TempParamStore::load("Password").isEmpty());
    }
}

TEST_F(LoginTest, AMalformedRowLeavesThePreviousUserWhole)
{
    // The second row lacks "Code": reading it raises, and the error handler drops it.
    server.enqueueEnvelope("1", "", R"([
        {"UserID":"7","UserName":"first","loginCount":"1","Code":"02","OrganName":"A","OrganID":"g"},
        {"UserID":"8","UserName":"second","loginCount":"1","OrganName":"B","OrganID":"h"}])");
    auto dialog = showDialog();
    type(*dialog, "first", "pw1", true);
    pressOk(*dialog);

    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(CurrentUser.UserID, "previous");
    EXPECT_EQ(CurrentUser.UserName, "previous user");
    EXPECT_TRUE(CurrentUser.IsAdmin);
    EXPECT_TRUE(TempParamStore::load("UserName").isEmpty());
}

TEST_F(LoginTest, TheRememberedLoginComesBackOnlyWhenAskedFor)
{
    const struct {
        const char* name;
        QString user, password;
        bool remember;
        QString shownUser, shownPassword;
        const char* focus;
    } cases[] = {
        {"remembered", "operator", "secret", true, "operator", "secret", "edtUserName"},
        {"Persian texts", txt::PersianUser, txt::PersianPassword, true, txt::PersianUser, txt::PersianPassword,
         "edtUserName"},
        {"user name too short", "ab", "secret", true, "", "secret", "edtUserName"},
        {"password too short", "operator", "pw", true, "operator", "", "edtPass"},
        {"both too short", "ab", "pw", true, "", "", "edtPass"},
        {"not asked for", "operator", "secret", false, "", "", "edtUserName"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.enqueueEnvelope("1", "", userRow("3", c.user, "02"));
        {
            auto first = showDialog();
            type(*first, c.user, c.password, c.remember);
            pressOk(*first);
            ASSERT_EQ(first->result(), QDialog::Accepted);
        }
        // Written whatever the check box says; it only decides what the next show restores.
        EXPECT_EQ(TempParamStore::load("Saved"), c.remember ? "True" : "False");
        EXPECT_EQ(TempParamStore::load("UserName"), c.user);
        EXPECT_EQ(TempParamStore::load("Password"), c.password);

        auto next = showDialog();
        EXPECT_EQ(control<QCheckBox>(next.get(), "chkSaved")->isChecked(), c.remember);
        EXPECT_EQ(control<QLineEdit>(next.get(), "edtUserName")->text(), c.shownUser);
        EXPECT_EQ(control<QLineEdit>(next.get(), "edtPass")->text(), c.shownPassword);
        ASSERT_TRUE(next->focusWidget());
        EXPECT_EQ(next->focusWidget()->objectName(), QString::fromLatin1(c.focus));
    }
}

TEST_F(LoginTest, ADamagedRememberedValueLeavesItsBoxEmpty)
{
    // The store file as the program writes it, with a password whose stored form is not base64.
    QFile file(ParamStoreLocation());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(("[Params]\n" + MaskParam("Saved") + "=" + MaskParam("True") + "\n" + MaskParam("UserName") + "="
                + MaskParam("operator") + "\n" + MaskParam("Password") + "=%%%\n")
                   .toUtf8());
    file.close();
    auto dialog = showDialog();
    EXPECT_TRUE(control<QCheckBox>(dialog.get(), "chkSaved")->isChecked());
    EXPECT_EQ(control<QLineEdit>(dialog.get(), "edtUserName")->text(), "operator");
    EXPECT_TRUE(control<QLineEdit>(dialog.get(), "edtPass")->text().isEmpty());
    EXPECT_TRUE(boxes.boxes.isEmpty());
}

TEST_F(LoginTest, NothingStoredStartsEmptyInTheUserNameBox)
{
    auto dialog = showDialog();
    EXPECT_FALSE(control<QCheckBox>(dialog.get(), "chkSaved")->isChecked());
    EXPECT_TRUE(control<QLineEdit>(dialog.get(), "edtUserName")->text().isEmpty());
    EXPECT_TRUE(control<QLineEdit>(dialog.get(), "edtPass")->text().isEmpty());
    EXPECT_EQ(dialog->focusWidget(), dialog->findChild<QLineEdit*>("edtUserName"));
}

TEST_F(LoginTest, EnterInEitherBoxSendsTheLoginAtOnceAsTyped)
{
    for (const char* box : {"edtUserName", "edtPass"}) {
        SCOPED_TRACE(box);
        server.clear();
        server.enqueueEnvelope("1", "", userRow("4", " op ", "02"));
        auto dialog = showDialog();
        type(*dialog, " op ", "p w ");
        QTest::keyClick(control<QLineEdit>(dialog.get(), box), Qt::Key_Return);

        ASSERT_EQ(server.requests().size(), 1) << "one request, not one per Enter handler";
        const RecordedRequest& request = server.requests().first();
        EXPECT_EQ(request.verb, "POST");
        EXPECT_EQ(request.path, "/ws/user_login");
        EXPECT_EQ(request.body, R"({"user_name":" op ","password":"p w "})");
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
    }
}

TEST_F(LoginTest, TheRevealButtonShowsThePasswordOnlyWhileHeld)
{
    auto dialog = showDialog();
    auto* pass = control<QLineEdit>(dialog.get(), "edtPass");
    auto* reveal = control<QPushButton>(dialog.get(), "AdvSmoothButton4");
    ASSERT_TRUE(pass && reveal);
    EXPECT_EQ(pass->echoMode(), QLineEdit::Password);
    QTest::mousePress(reveal, Qt::LeftButton);
    EXPECT_EQ(pass->echoMode(), QLineEdit::Normal);
    QTest::mouseRelease(reveal, Qt::LeftButton);
    EXPECT_EQ(pass->echoMode(), QLineEdit::Password);
}

TEST_F(LoginTest, CancelClosesWithoutAskingTheServer)
{
    auto dialog = showDialog();
    type(*dialog, "operator", "secret");
    QTest::mouseClick(control<QPushButton>(dialog.get(), "btnCancle"), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(CurrentUser.UserID, "previous");
}
