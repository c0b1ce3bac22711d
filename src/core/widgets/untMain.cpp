#include "core/widgets/untMain.h"

#include "calendar/DateProc.h"
#include "core/MSGs.h"
#include "core/untGlobals.h"
#include "core/widgets/ScreenRegistry.h"
#include "core/widgets/untLogin.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace txt {
// texts:MAIN begin
const QString AdvSmoothToggleButton1Hint = QStringLiteral("کوچک نمایی");
const QString AdvSmoothToggleButton3Hint = QStringLiteral("خروج از برنامه");
const QString btnBase = QStringLiteral("اطلاعات پایه");
const QString btnRegister = QStringLiteral("معرفی دستگاه ها");
const QString btnMyDevice = QStringLiteral("دستگاه های من");
const QString btnContorStatus = QStringLiteral("وضعیت کنتور");
const QString btnDashboardReport = QStringLiteral("داشبرد گزارشات");
const QString btnGetData = QStringLiteral("واکشی داده ها");
const QString btnContorSetting = QStringLiteral("تنظیمات کنتور");
const QString Label1 = QStringLiteral("نسخه برنامه : 2.0.3    به روز رسانی : 1402/10/24");
const QString Label3 = QStringLiteral("کاربر :");
const QString AdvSmoothButton9 = QStringLiteral("تغییر کاربر");
const QString AdvSmoothButton9Hint = QStringLiteral("رکورد آخر");
const QString ExitQuestion = QStringLiteral("برای خروج از برنامه اطمینان دارید؟");
// texts:MAIN end
// The maker's rights notice; the telephone number and web address are placeholders.
const QString RightsNotice = QStringLiteral(
    "کلیه حقوق این نرم‌افزار برای Nemora محفوظ است  |  پشتیبانی: \u2066021-0000-0000\u2069  |  www.nemora.example");
}  // namespace txt

namespace {
// A tab caption keeps at most this many characters.
constexpr int TabCaptionLength = 20;
const QString TabSuffix = QStringLiteral("_tab");

QString hex(const QColor& colour)
{
    return colour.name();
}

// The window's task-bar picture: the drop on the bar's blue.
QIcon nemoraWindowIcon()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(NemoraColors::Deep);
    p.drawRoundedRect(QRectF(0, 0, 64, 64), 14, 14);
    p.drawPixmap(8, 8, NemoraLogoPixmap(48));
    return QIcon(pixmap);
}
}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Nemora"));
    setWindowIcon(nemoraWindowIcon());
    setLayoutDirection(Qt::RightToLeft);
    setMinimumSize(900, 560);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(buildTopBar());
    root->addWidget(buildMiddle(), 1);
    root->addWidget(buildFooter());

    m_tmrMain = new QTimer(this);
    m_tmrMain->setObjectName(QStringLiteral("tmrMain"));
    m_tmrMain->setInterval(1000);
    connect(m_tmrMain, &QTimer::timeout, this, &TfrmMain::tmrMainTimer);
    m_tmrMain->start();

    ApplyCurrentUser();
    tmrMainTimer();   // the footer shows the time and date at once, not a second later
    fillWorkArea();
}

QWidget* TfrmMain::buildTopBar()
{
    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("pnlTop"));
    bar->setStyleSheet(QStringLiteral(
        "QFrame#pnlTop { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2);"
        "  border-bottom: 3px solid #5fb3e8; }"
        "QLabel#lblProductName { color: #ffffff; font-size: 19pt; font-weight: bold; }"
        "QToolButton { color: #ffffff; background: transparent; border: 1px solid transparent;"
        "  border-radius: 8px; padding: 4px 6px; font-size: 10pt; }"
        "QToolButton:hover { background: rgba(255, 255, 255, 36); border: 1px solid rgba(255, 255, 255, 90); }"
        "QToolButton:pressed { background: rgba(0, 0, 0, 50); }"
        "QToolButton#AdvSmoothToggleButton3:hover { background: #c0392b; border: 1px solid #e57368; }")
                           .arg(hex(NemoraColors::Sea), hex(NemoraColors::Deep)));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(10, 6, 10, 6);
    row->setSpacing(6);

    // Window buttons at the right edge.
    auto makeWindowButton = [bar](const char* name, NemoraGlyph glyph, const QString& hint) {
        auto* button = new QToolButton(bar);
        button->setObjectName(QLatin1String(name));
        button->setIcon(QIcon(NemoraGlyphPixmap(glyph, 48)));
        button->setIconSize(QSize(22, 22));
        button->setFixedSize(36, 36);
        button->setToolTip(hint);
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    };
    m_AdvSmoothToggleButton1 = makeWindowButton("AdvSmoothToggleButton1", NemoraGlyph::Minimise,
                                                txt::AdvSmoothToggleButton1Hint);
    m_AdvSmoothToggleButton3 = makeWindowButton("AdvSmoothToggleButton3", NemoraGlyph::Exit,
                                                txt::AdvSmoothToggleButton3Hint);
    connect(m_AdvSmoothToggleButton1, &QToolButton::clicked, this, &TfrmMain::AdvSmoothToggleButton1Click);
    connect(m_AdvSmoothToggleButton3, &QToolButton::clicked, this, &TfrmMain::AdvSmoothToggleButton3Click);
    row->addWidget(m_AdvSmoothToggleButton1);
    row->addWidget(m_AdvSmoothToggleButton3);
    row->addSpacing(12);

    m_imgLogo = new QLabel(bar);
    m_imgLogo->setObjectName(QStringLiteral("imgLogo"));
    m_imgLogo->setPixmap(NemoraLogoPixmap(62));
    row->addWidget(m_imgLogo);
    auto* productName = new QLabel(QStringLiteral("Nemora"), bar);
    productName->setObjectName(QStringLiteral("lblProductName"));
    row->addWidget(productName);
    row->addSpacing(28);

    m_btnBase = addScreenButton(bar, "btnBase", txt::btnBase, QStringLiteral("TfrmBase"), NemoraGlyph::BaseData);
    m_btnRegister = addScreenButton(bar, "btnRegister", txt::btnRegister, QStringLiteral("TfrmAllRegisterDevice"),
                                    NemoraGlyph::Register);
    m_btnMyDevice = addScreenButton(bar, "btnMyDevice", txt::btnMyDevice, QStringLiteral("TfrmMyDeviceList"),
                                    NemoraGlyph::MyDevices);
    m_btnContorStatus = addScreenButton(bar, "btnContorStatus", txt::btnContorStatus,
                                        QStringLiteral("TfrmContorStatus"), NemoraGlyph::MeterStatus);
    m_btnDashboardReport = addScreenButton(bar, "btnDashboardReport", txt::btnDashboardReport,
                                           QStringLiteral("TfrmDashboardReport"), NemoraGlyph::Dashboard);
    m_btnDashboardReport->hide();   // the reports dashboard has no content yet
    m_btnGetData = addScreenButton(bar, "btnGetData", txt::btnGetData, QStringLiteral("TfrmGetReport"),
                                   NemoraGlyph::FetchData);
    m_btnContorSetting = addScreenButton(bar, "btnContorSetting", txt::btnContorSetting,
                                         QStringLiteral("TfrmContorSetting"), NemoraGlyph::MeterSettings);
    for (QToolButton* button : {m_btnBase, m_btnRegister, m_btnMyDevice, m_btnContorStatus, m_btnDashboardReport,
                                m_btnGetData, m_btnContorSetting})
        row->addWidget(button);
    row->addStretch(1);
    return bar;
}

QToolButton* TfrmMain::addScreenButton(QWidget* bar, const char* name, const QString& caption,
                                       const QString& className, NemoraGlyph glyph)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setIcon(QIcon(NemoraGlyphPixmap(glyph, 72)));
    button->setIconSize(QSize(34, 34));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setMinimumSize(108, 76);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, [this, button, className] { OpenScreen(className, button->text()); });
    return button;
}

QWidget* TfrmMain::buildMiddle()
{
    auto* middle = new QWidget(this);
    middle->setObjectName(QStringLiteral("pnlMiddle"));
    middle->setAutoFillBackground(true);
    QPalette palette = middle->palette();
    palette.setColor(QPalette::Window, NemoraColors::Foam);
    middle->setPalette(palette);
    auto* grid = new QGridLayout(middle);
    grid->setContentsMargins(8, 8, 8, 8);

    m_RzPageControl1 = new QTabWidget(middle);
    m_RzPageControl1->setObjectName(QStringLiteral("RzPageControl1"));
    m_RzPageControl1->setDocumentMode(true);
    m_RzPageControl1->setUsesScrollButtons(true);
    m_RzPageControl1->setElideMode(Qt::ElideNone);
    // Only the tab bar is styled: a style sheet on the tab control would reach every screen.
    m_RzPageControl1->tabBar()->setStyleSheet(QStringLiteral(
        "QTabBar::tab { background: #dde7f1; color: %1; border: 1px solid #c3d2e0; border-bottom: none;"
        "  border-top-left-radius: 7px; border-top-right-radius: 7px; padding: 7px 16px; margin-left: 3px;"
        "  min-width: 90px; }"
        "QTabBar::tab:selected { background: #ffffff; color: %2; font-weight: bold; border-top: 3px solid %3; }"
        "QTabBar::tab:hover:!selected { background: #eaf1f8; }"
        "QToolButton#btnTabClose { border: none; border-radius: 9px; background: transparent; }"
        "QToolButton#btnTabClose:hover { background: #f2c4bf; }")
                                                  .arg(hex(NemoraColors::Ink), hex(NemoraColors::Deep),
                                                       hex(NemoraColors::Sea)));
    connect(m_RzPageControl1, &QTabWidget::currentChanged, this, [this] { updateTabCloseButton(); });

    m_pnlBk = new QFrame(middle);
    m_pnlBk->setObjectName(QStringLiteral("pnlBk"));
    m_pnlBk->setStyleSheet(QStringLiteral(
        "QFrame#pnlBk { background: qradialgradient(cx:0.5, cy:0.45, radius:0.8, fx:0.5, fy:0.45,"
        "  stop:0 #ffffff, stop:1 %1); border: 1px solid #d3e0ec; border-radius: 10px; }"
        "QLabel#lblBkTitle { color: %2; font-size: 30pt; font-weight: bold; }"
        "QLabel#lblBkVersion { color: #6b7f93; }")
                               .arg(hex(NemoraColors::Foam), hex(NemoraColors::Deep)));
    auto* bk = new QVBoxLayout(m_pnlBk);
    bk->addStretch(1);
    auto* bkLogo = new QLabel(m_pnlBk);
    bkLogo->setObjectName(QStringLiteral("imgBkLogo"));
    bkLogo->setPixmap(NemoraLogoPixmap(170, NemoraColors::Sea));
    bkLogo->setAlignment(Qt::AlignCenter);
    auto* bkTitle = new QLabel(QStringLiteral("Nemora"), m_pnlBk);
    bkTitle->setObjectName(QStringLiteral("lblBkTitle"));
    bkTitle->setAlignment(Qt::AlignCenter);
    bk->addWidget(bkLogo);
    bk->addWidget(bkTitle);
    bk->addStretch(1);

    // Both fill the same area; the panel covers the empty tab control.
    grid->addWidget(m_RzPageControl1, 0, 0);
    grid->addWidget(m_pnlBk, 0, 0);
    m_pnlBk->raise();
    return middle;
}

QWidget* TfrmMain::buildFooter()
{
    auto* footer = new QFrame(this);
    footer->setObjectName(QStringLiteral("pnlFooter"));
    footer->setStyleSheet(QStringLiteral(
        "QFrame#pnlFooter { background: #eef3f8; border-top: 1px solid #c9d6e3; }"
        "QLabel { color: %1; }"
        "QLabel#Label2, QLabel#Label1 { color: #5d6f82; }"
        "QLabel#lblTime { color: %2; font-weight: bold; font-size: 11pt; }"
        "QLabel#lblDate { color: %2; font-weight: bold; }"
        "QLabel#lblUserLogined { color: %2; font-weight: bold; }"
        "QFrame#sepFooter1, QFrame#sepFooter2 { color: #c9d6e3; }"
        "QToolButton#AdvSmoothButton9 { color: #ffffff; background: %3; border: 1px solid %2; border-radius: 6px;"
        "  padding: 3px 10px; }"
        "QToolButton#AdvSmoothButton9:hover { background: %2; }")
                              .arg(hex(NemoraColors::Ink), hex(NemoraColors::Deep), hex(NemoraColors::Sea)));
    footer->setMinimumHeight(40);
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(12, 4, 12, 4);
    row->setSpacing(8);

    auto label = [footer](const char* name, const QString& text = QString()) {
        auto* l = new QLabel(text, footer);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    auto separator = [footer](const char* name) {
        auto* line = new QFrame(footer);
        line->setObjectName(QLatin1String(name));
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Plain);
        return line;
    };

    m_Label3 = label("Label3", txt::Label3);
    m_lblUserLogined = label("lblUserLogined");
    m_AdvSmoothButton9 = new QToolButton(footer);
    m_AdvSmoothButton9->setObjectName(QStringLiteral("AdvSmoothButton9"));
    m_AdvSmoothButton9->setText(txt::AdvSmoothButton9);
    m_AdvSmoothButton9->setToolTip(txt::AdvSmoothButton9Hint);
    m_AdvSmoothButton9->setIcon(QIcon(NemoraGlyphPixmap(NemoraGlyph::ChangeUser, 40)));
    m_AdvSmoothButton9->setIconSize(QSize(18, 18));
    m_AdvSmoothButton9->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_AdvSmoothButton9->setFocusPolicy(Qt::NoFocus);
    connect(m_AdvSmoothButton9, &QToolButton::clicked, this, &TfrmMain::AdvSmoothButton9Click);

    m_Label2 = label("Label2", txt::RightsNotice);
    m_Label1 = label("Label1", txt::Label1);
    m_lblDate = label("lblDate");
    m_lblTime = label("lblTime");
    m_lblTime->setMinimumWidth(m_lblTime->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 16);
    m_lblTime->setAlignment(Qt::AlignCenter);

    row->addWidget(m_Label3);
    row->addWidget(m_lblUserLogined);
    row->addSpacing(6);
    row->addWidget(m_AdvSmoothButton9);
    row->addStretch(1);
    row->addWidget(m_Label2);
    row->addStretch(1);
    row->addWidget(m_Label1);
    row->addWidget(separator("sepFooter1"));
    row->addWidget(m_lblDate);
    row->addWidget(separator("sepFooter2"));
    row->addWidget(m_lblTime);
    return footer;
}

void TfrmMain::fitFooter()
{
    // The rights notice is the one footer text that may give way: on a narrow window it is
    // hidden rather than drawn over the version and the clock.
    QWidget* footer = m_Label2->parentWidget();
    auto* row = qobject_cast<QBoxLayout*>(footer->layout());
    if (!row)
        return;
    int others = row->contentsMargins().left() + row->contentsMargins().right();
    for (int i = 0; i < row->count(); ++i) {
        QLayoutItem* item = row->itemAt(i);
        if (item->widget() == m_Label2)
            continue;
        if (item->widget() && item->widget()->isHidden())
            continue;
        others += (item->spacerItem() ? 0 : item->sizeHint().width()) + row->spacing();
    }
    m_Label2->setVisible(width() >= others + m_Label2->sizeHint().width() + 2 * row->spacing() + 24);
}

void TfrmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitFooter();
}

void TfrmMain::fillWorkArea()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous() && !isMinimized())
        fillWorkArea();
}

void TfrmMain::OpenScreen(const QString& className, const QString& caption)
{
    const QString sheetName = className + TabSuffix;
    for (int i = 0; i < m_RzPageControl1->count(); ++i) {
        if (m_RzPageControl1->widget(i)->objectName() == sheetName) {
            m_RzPageControl1->setCurrentIndex(i);
            return;
        }
    }
    QWidget* screen = CreateScreen(className, this);
    AddScreenTab(screen, className, caption);
    m_pnlBk->setVisible(m_RzPageControl1->count() == 0);
}

void TfrmMain::AddScreenTab(QWidget* screen, const QString& className, const QString& caption)
{
    auto* sheet = new QWidget;
    sheet->setObjectName(className + TabSuffix);
    sheet->setAutoFillBackground(true);
    QPalette palette = sheet->palette();
    palette.setColor(QPalette::Window, Qt::white);
    sheet->setPalette(palette);
    auto* fill = new QVBoxLayout(sheet);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->setSpacing(0);

    // Embedded without a frame of its own; it lives and dies with its sheet.
    screen->setParent(sheet, Qt::Widget);
    fill->addWidget(screen);

    const int index = m_RzPageControl1->addTab(sheet, caption.left(TabCaptionLength));
    m_RzPageControl1->setCurrentIndex(index);
    screen->show();
}

void TfrmMain::RzPageControl1Close()
{
    const int index = m_RzPageControl1->currentIndex();
    if (index < 0)
        return;
    QWidget* sheet = m_RzPageControl1->widget(index);
    m_RzPageControl1->removeTab(index);
    delete sheet;
    if (index > 0 && m_RzPageControl1->count() > 0)
        m_RzPageControl1->setCurrentIndex(0);
}

void TfrmMain::updateTabCloseButton()
{
    QTabBar* bar = m_RzPageControl1->tabBar();
    const auto side =
        QTabBar::ButtonPosition(bar->style()->styleHint(QStyle::SH_TabBar_CloseButtonPosition, nullptr, bar));
    for (int i = 0; i < bar->count(); ++i) {
        if (QWidget* old = bar->tabButton(i, side)) {
            bar->setTabButton(i, side, nullptr);
            old->deleteLater();
        }
    }
    const int current = bar->currentIndex();
    if (current < 0)
        return;
    auto* close = new QToolButton(bar);
    close->setObjectName(QStringLiteral("btnTabClose"));
    close->setIcon(QIcon(NemoraGlyphPixmap(NemoraGlyph::TabClose, 36, NemoraColors::Ink)));
    close->setIconSize(QSize(14, 14));
    close->setFixedSize(18, 18);
    close->setFocusPolicy(Qt::NoFocus);
    connect(close, &QToolButton::clicked, this, &TfrmMain::RzPageControl1Close);
    bar->setTabButton(current, side, close);
}

void TfrmMain::tmrMainTimer()
{
    m_lblTime->setText(DateProc::NowHourMinuteSecond());
    const QString today = DateProc::TodaySolar();
    if (today != DateProc::CachedToday()) {
        DateProc::CachedToday() = DateProc::NormaliseSolarDate(today);
        m_lblDate->setText(DateProc::SolarLongDate(DateProc::CachedToday()));
    }
    m_pnlBk->setVisible(m_RzPageControl1->count() == 0);
}

void TfrmMain::ApplyCurrentUser()
{
    m_btnRegister->setVisible(CurrentUser.IsAdmin);
    m_btnBase->setVisible(CurrentUser.IsAdmin);
    m_lblUserLogined->setText(CurrentUser.UserName);
}

void TfrmMain::AdvSmoothToggleButton1Click()
{
    showMinimized();
}

void TfrmMain::AdvSmoothToggleButton3Click()
{
    if (ShowConfirmBox(txt::ExitQuestion))
        QCoreApplication::quit();
}

void TfrmMain::AdvSmoothButton9Click()
{
    TfrmLogin login(this);
    connect(&login, &TfrmLogin::currentUserChanged, this, &TfrmMain::ApplyCurrentUser);
    login.exec();
}
