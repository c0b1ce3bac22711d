#pragma once
// The main window: a borderless window over the screen's work area with the screen buttons on
// top, the open screens as tabs in the middle and the clock, date, version and user below.
// It holds no business logic; screens are created by class name from the screen registry.

#include "core/widgets/NemoraArt.h"

#include <QWidget>

class QFrame;
class QLabel;
class QTabWidget;
class QTimer;
class QToolButton;

class TfrmMain : public QWidget {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* parent = nullptr);

    // Brings the tab of that screen class forward, or creates the screen in a new tab; raises
    // ScreenNotRegistered (and adds nothing) for a class that no unit registered.
    void OpenScreen(const QString& className, const QString& caption);
    // Puts a freshly created screen into a new, active tab named className + "_tab".
    void AddScreenTab(QWidget* screen, const QString& className, const QString& caption);
    // The active tab's close button: closing any tab but the first makes the first one active.
    void RzPageControl1Close();
    // The clock tick: time, the long date when the day changed, the background panel.
    void tmrMainTimer();

    // Applies CurrentUser: the administrator's buttons and the user label.
    void ApplyCurrentUser();

    void AdvSmoothToggleButton1Click();   // minimise
    void AdvSmoothToggleButton3Click();   // exit after confirmation
    void AdvSmoothButton9Click();         // log in again as someone else

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* buildTopBar();
    QWidget* buildMiddle();
    QWidget* buildFooter();
    QToolButton* addScreenButton(QWidget* bar, const char* name, const QString& caption, const QString& className,
                                 NemoraGlyph glyph);
    void updateTabCloseButton();
    void fillWorkArea();
    void fitFooter();

    QToolButton* m_AdvSmoothToggleButton1 = nullptr;
    QToolButton* m_AdvSmoothToggleButton3 = nullptr;
    QLabel* m_imgLogo = nullptr;
    QToolButton* m_btnBase = nullptr;
    QToolButton* m_btnRegister = nullptr;
    QToolButton* m_btnMyDevice = nullptr;
    QToolButton* m_btnContorStatus = nullptr;
    QToolButton* m_btnDashboardReport = nullptr;
    QToolButton* m_btnGetData = nullptr;
    QToolButton* m_btnContorSetting = nullptr;
    QTabWidget* m_RzPageControl1 = nullptr;
    QFrame* m_pnlBk = nullptr;
    QLabel* m_Label2 = nullptr;
    QLabel* m_Label1 = nullptr;
    QLabel* m_lblDate = nullptr;
    QLabel* m_lblTime = nullptr;
    QLabel* m_Label3 = nullptr;
    QLabel* m_lblUserLogined = nullptr;
    QToolButton* m_AdvSmoothButton9 = nullptr;
    QTimer* m_tmrMain = nullptr;
};
