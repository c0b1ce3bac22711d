// The main window: screen tabs, the clock, exit, change of user, and the application's error
// handler for errors that escape a handler.
#include "ui/UiTestSupport.h"
#include "support/ScriptedHttpServer.h"
#include "calendar/DateProc.h"
#include "core/untDm.h"
#include "core/widgets/NemoraApplication.h"
#include "core/widgets/ScreenRegistry.h"
#include "core/widgets/untLogin.h"
#include "core/widgets/untMain.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace txt {
// texts:TESTMAIN begin
const QString ExitQuestion = QStringLiteral("برای خروج از برنامه اطمینان دارید؟");
const QString Label1 = QStringLiteral("نسخه برنامه : 2.0.3    به روز رسانی : 1402/10/24");
const QString btnBase = QStringLiteral("اطلاعات پایه");
const QString btnRegister = QStringLiteral("معرفی دستگاه ها");
const QString btnMyDevice = QStringLiteral("دستگاه های من");
const QString btnContorStatus = QStringLiteral("وضعیت کنتور");
const QString btnDashboardReport = QStringLiteral("داشبرد گزارشات");
const QString btnGetData = QStringLiteral("واکشی داده ها");
const QString btnContorSetting = QStringLiteral("تنظیمات کنتور");
// texts:TESTMAIN end
}  // namespace txt

namespace {
// A screen that counts how often it was made.
class TestScreen : public QWidget {
public:
    using QWidget::QWidget;
    static inline int created = 0;
};

void registerTestScreen(const QString& className)
{
    RegisterScreenClass(className, [](QWidget* parent) -> QWidget* {
        ++TestScreen::created;
        return new TestScreen(parent);
    });
}

const QStringList TestScreens{QStringLiteral("TfrmUiTestA"), QStringLiteral("TfrmUiTestB"),
                              QStringLiteral("TfrmUiTestC")};

NemoraApplication* application()
{
    return static_cast<NemoraApplication*>(QCoreApplication::instance());
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const QString& name : TestScreens)
            registerTestScreen(name);
        TestScreen::created = 0;
        CurrentUser = TCurrentUser{};
        main = std::make_unique<TfrmMain>();
        tabs = control<QTabWidget>(main.get(), "RzPageControl1");
        pnlBk = control<QFrame>(main.get(), "pnlBk");
    }

    QString activeSheet() const { return tabs->currentWidget() ? tabs->currentWidget()->objectName() : QString(); }

    // The close button of a tab, where the style puts it.
    QWidget* closeButtonOf(int index) const
    {
        QTabBar* bar = tabs->tabBar();
        const auto side =
            QTabBar::ButtonPosition(bar->style()->styleHint(QStyle::SH_TabBar_CloseButtonPosition, nullptr, bar));
        return bar->tabButton(index, side);
    }

    BoxRecorder boxes;
    std::unique_ptr<TfrmMain> main;
    QTabWidget* tabs = nullptr;
    QFrame* pnlBk = nullptr;
};
}  // namespace

TEST_F(MainWindowTest, ReopeningAScreenActivatesItsTabAndCreatesNothing)
{
    main->OpenScreen("TfrmUiTestA", "first");
    main->OpenScreen("TfrmUiTestB", "second");
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(activeSheet(), "TfrmUiTestB_tab");

    main->OpenScreen("TfrmUiTestA", "another caption");
    EXPECT_EQ(tabs->count(), 2);
    EXPECT_EQ(TestScreen::created, 2);
    EXPECT_EQ(activeSheet(), "TfrmUiTestA_tab");
    EXPECT_EQ(tabs->tabText(0), "first");
    EXPECT_TRUE(pnlBk->isHidden());
}

TEST_F(MainWindowTest, TabCaptionKeepsItsFirstTwentyCharacters)
{
    const struct {
        QString caption, shown;
    } cases[] = {
        {"short", "short"},
        {"exactly twenty chars", "exactly twenty chars"},
        {"a caption longer than twenty", "a caption longer tha"},
        {txt::btnContorSetting + txt::btnGetData, (txt::btnContorSetting + txt::btnGetData).left(20)},
    };
    int i = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption.toStdString());
        main->OpenScreen(TestScreens.at(i % 3), c.caption);
        EXPECT_EQ(tabs->tabText(tabs->currentIndex()), c.shown);
        main->RzPageControl1Close();
        ++i;
    }
}

TEST_F(MainWindowTest, ClosingATabButTheFirstActivatesTheFirst)
{
    const struct {
        int active;
        QStringList left;
    } cases[] = {
        {2, {"TfrmUiTestA_tab", "TfrmUiTestB_tab"}},
        {1, {"TfrmUiTestA_tab", "TfrmUiTestC_tab"}},
        {0, {"TfrmUiTestB_tab", "TfrmUiTestC_tab"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.active);
        for (const QString& name : TestScreens)
            main->OpenScreen(name, name);
        tabs->setCurrentIndex(c.active);
        QPointer<QWidget> closed = tabs->currentWidget();

        // Only the active tab carries a close button; press it.
        for (int i = 0; i < tabs->count(); ++i)
            EXPECT_EQ(closeButtonOf(i) != nullptr, i == c.active) << "tab " << i;
        auto* close = qobject_cast<QToolButton*>(closeButtonOf(c.active));
        ASSERT_TRUE(close);
        QTest::mouseClick(close, Qt::LeftButton);

        EXPECT_TRUE(closed.isNull()) << "the sheet and its screen are destroyed";
        QStringList left;
        for (int i = 0; i < tabs->count(); ++i)
            left << tabs->widget(i)->objectName();
        EXPECT_EQ(left, c.left);
        if (c.active > 0) {
            EXPECT_EQ(tabs->currentIndex(), 0);
        }
        EXPECT_NE(closeButtonOf(tabs->currentIndex()), nullptr);
        while (tabs->count() > 0)
            main->RzPageControl1Close();
    }
}

TEST_F(MainWindowTest, TheBackgroundPanelReturnsAtTheNextTickAfterTheLastTabCloses)
{
    auto* timer = main->findChild<QTimer*>("tmrMain");
    ASSERT_TRUE(timer);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);

    EXPECT_FALSE(pnlBk->isHidden());
    main->OpenScreen("TfrmUiTestA", "a");
    EXPECT_TRUE(pnlBk->isHidden());
    main->RzPageControl1Close();
    EXPECT_EQ(tabs->count(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !pnlBk->isHidden(); }, 2500));
}

TEST_F(MainWindowTest, TheLongDateIsRebuiltOnlyWhenTheDayChanges)
{
    struct ClockGuard {
        ~ClockGuard() { DateProc::ResetClock(); }
    } guard;
    DateProc::SetFixedNow(QDateTime(QDate(2024, 1, 14), QTime(23, 59, 59)));
    DateProc::CachedToday().clear();
    TfrmMain window;
    auto* lblDate = control<QLabel>(&window, "lblDate");
    auto* lblTime = control<QLabel>(&window, "lblTime");
    ASSERT_TRUE(lblDate && lblTime);
    EXPECT_EQ(lblDate->text(), DateProc::SolarLongDate("1402/10/24"));
    EXPECT_EQ(lblTime->text(), "23:59:59");

    // Same day: the label is left alone (a stand-in text shows that it was not rebuilt).
    lblDate->setText("unchanged");
    window.tmrMainTimer();
    EXPECT_EQ(lblDate->text(), "unchanged");

    DateProc::SetFixedNow(QDateTime(QDate(2024, 1, 15), QTime(0, 0, 0)));
    window.tmrMainTimer();
    EXPECT_EQ(lblDate->text(), DateProc::SolarLongDate("1402/10/25"));
    EXPECT_EQ(lblTime->text(), "00:00:00");
    EXPECT_EQ(DateProc::CachedToday(), "1402/10/25");
}

TEST_F(MainWindowTest, AnUnregisteredScreenAddsNoTabAndTheErrorIsDropped)
{
    EXPECT_THROW(main->OpenScreen("TfrmNoSuchScreen", "x"), ScreenNotRegistered);
    EXPECT_EQ(tabs->count(), 0);

    // Through a real click: the error crosses the event loop into the application's handler.
    QPushButton opener;
    QObject::connect(&opener, &QPushButton::clicked, [&] { main->OpenScreen("TfrmNoSuchScreen", "x"); });
    const int dropped = application()->droppedErrors();
    QTest::mouseClick(&opener, Qt::LeftButton);
    EXPECT_EQ(application()->droppedErrors(), dropped + 1);
    EXPECT_EQ(tabs->count(), 0);
    EXPECT_FALSE(pnlBk->isHidden());
    EXPECT_TRUE(boxes.boxes.isEmpty()) << "nothing is shown for it";
}

TEST(ApplicationErrorHandler, DropsWhateverAHandlerRaised)
{
    QPushButton button;
    int failure = 0;   // 1: an exception class, 2: not even that, 0: no failure
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        if (failure == 1)
            throw std::runtime_error("missing key");
        if (failure == 2)
            throw 42;
        ++clicks;
    });
    const int dropped = application()->droppedErrors();
    for (int kind : {1, 2}) {
        failure = kind;
        QTest::mouseClick(&button, Qt::LeftButton);
    }
    EXPECT_EQ(application()->droppedErrors(), dropped + 2);
    // The button still works after its handler failed twice.
    failure = 0;
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button.isDown());
}

TEST_F(MainWindowTest, ExitAsksAndOnlyYesEndsTheProgram)
{
    const struct {
        const char* name;
        int answer;
        bool ends;
    } cases[] = {{"no", mrNo, false}, {"closed", mrNone, false}, {"yes", mrYes, true}};
    main->show();
    main->OpenScreen("TfrmUiTestA", "a");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BoxRecorder answer(c.answer);
        // In the application's own loop, which only "yes" ends before the time-out does.
        bool timedOut = false;
        QTimer::singleShot(0, [&] {
            QTest::mouseClick(control<QToolButton>(main.get(), "AdvSmoothToggleButton3"), Qt::LeftButton);
        });
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, [&] {
            timedOut = true;
            QCoreApplication::exit(0);   // unlike quit(), leaves the windows open
        });
        timeout.start(1500);
        QCoreApplication::exec();
        timeout.stop();

        ASSERT_EQ(answer.boxes.size(), 1);
        EXPECT_EQ(answer.boxes.first().text, txt::ExitQuestion);
        EXPECT_EQ(answer.boxes.first().buttons, mbYesNo);
        EXPECT_EQ(answer.boxes.first().icon, miQuestion);
        EXPECT_EQ(timedOut, !c.ends);
        EXPECT_EQ(main->isVisible(), !c.ends);
        EXPECT_EQ(tabs->count(), 1) << "open screens are not asked anything";
    }
}

TEST_F(MainWindowTest, ChangeOfUserUpdatesTheAdministratorButtonsAtOnce)
{
    ScriptedHttpServer server;
    TempParamStore store;
    CreateDm().setBaseAddress(server.baseUrl());
    auto* btnBase = control<QToolButton>(main.get(), "btnBase");
    auto* btnRegister = control<QToolButton>(main.get(), "btnRegister");
    auto* btnDashboard = control<QToolButton>(main.get(), "btnDashboardReport");
    auto* lblUser = control<QLabel>(main.get(), "lblUserLogined");
    ASSERT_TRUE(btnBase && btnRegister && btnDashboard && lblUser);
    main->show();
    main->OpenScreen("TfrmUiTestA", "a");
    EXPECT_FALSE(btnBase->isVisible());
    EXPECT_FALSE(btnRegister->isVisible());

    const struct {
        const char* code;
        bool admin;
    } cases[] = {{"01", true}, {"1", false}, {"01", true}, {"001", false}, {"01 ", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const QString name = QStringLiteral("user ") + c.code;
        server.enqueueEnvelope("1", "",
                               QStringLiteral(R"([{"UserID":"5","UserName":"%1","loginCount":"1","Code":"%2",)"
                                              R"("OrganName":"o","OrganID":"g"}])")
                                   .arg(name, QString::fromLatin1(c.code))
                                   .toUtf8());
        ModalAnswerer<TfrmLogin> answer([](TfrmLogin* login) {
            login->findChild<QLineEdit*>("edtUserName")->setText("someone");
            login->findChild<QLineEdit*>("edtPass")->setText("secret");
            QTest::mouseClick(login->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
        });
        QTest::mouseClick(control<QToolButton>(main.get(), "AdvSmoothButton9"), Qt::LeftButton);

        EXPECT_TRUE(answer.done());
        EXPECT_EQ(btnBase->isVisible(), c.admin);
        EXPECT_EQ(btnRegister->isVisible(), c.admin);
        EXPECT_FALSE(btnDashboard->isVisible());
        EXPECT_EQ(lblUser->text(), name);
        EXPECT_EQ(tabs->count(), 1) << "open tabs stay";
    }

    // A cancelled change keeps the user and the buttons.
    ModalAnswerer<TfrmLogin> cancel([](TfrmLogin* login) {
        QTest::mouseClick(login->findChild<QPushButton*>("btnCancle"), Qt::LeftButton);
    });
    QTest::mouseClick(control<QToolButton>(main.get(), "AdvSmoothButton9"), Qt::LeftButton);
    EXPECT_TRUE(cancel.done());
    EXPECT_EQ(lblUser->text(), "user 01 ");
    EXPECT_EQ(CurrentUser.Code, "01 ");
}

TEST_F(MainWindowTest, EachScreenButtonOpensItsScreenUnderItsCaption)
{
    const struct {
        const char* button;
        QString caption;
        const char* className;
    } cases[] = {
        {"btnBase", txt::btnBase, "TfrmBase"},
        {"btnRegister", txt::btnRegister, "TfrmAllRegisterDevice"},
        {"btnMyDevice", txt::btnMyDevice, "TfrmMyDeviceList"},
        {"btnContorStatus", txt::btnContorStatus, "TfrmContorStatus"},
        {"btnDashboardReport", txt::btnDashboardReport, "TfrmDashboardReport"},
        {"btnGetData", txt::btnGetData, "TfrmGetReport"},
        {"btnContorSetting", txt::btnContorSetting, "TfrmContorSetting"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        // The real screens talk to a server; a stand-in under the same name is enough here.
        registerTestScreen(QString::fromLatin1(c.className));
        auto* button = control<QToolButton>(main.get(), c.button);
        ASSERT_TRUE(button);
        EXPECT_EQ(button->text(), c.caption);
        button->click();
        EXPECT_EQ(activeSheet(), QString::fromLatin1(c.className) + "_tab");
        EXPECT_EQ(tabs->tabText(tabs->currentIndex()), c.caption.left(20));
    }
    EXPECT_EQ(tabs->count(), 7);
    EXPECT_EQ(control<QLabel>(main.get(), "Label1")->text(), txt::Label1);
    EXPECT_EQ(main->windowTitle(), "Nemora");
    EXPECT_TRUE(main->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(main->layoutDirection(), Qt::RightToLeft);
}

TEST(EmptyScreens, AreRegisteredByClassName)
{
    for (const char* name : {"TfrmDashboardReport", "TfrmRegister"})
        EXPECT_TRUE(IsScreenRegistered(QString::fromLatin1(name))) << name;
}
