#pragma once
// The window behind MessageDialog: a right-to-left box with Persian buttons that sizes itself to
// its text. The sizing rules live in ComputeMsgBoxLayout so that they can be checked without a
// window; TfrmMsgBox only applies what it computed.

#include "core/MSGs.h"

#include <QDialog>
#include <QRect>
#include <QSize>
#include <array>

class QFontMetrics;
class QLabel;
class QPushButton;

// Where everything of one box goes, in the box's client coordinates (left edge is x = 0).
struct MsgBoxLayout {
    QSize client;                    // client area of the box
    bool hasIcon = false;
    QRect icon;                      // imgIcon; meaningful when hasIcon
    QRect label;                     // lblMsg
    bool wrapped = false;            // the text did not fit on one line and wraps right-aligned
    QList<MsgButton> buttons;        // the set, cmds0 first
    std::array<QRect, 3> buttonRects;   // cmds0..cmds2; only the first buttons.size() are shown
    QPoint position;                 // top-left of the box, centred on the screen
};

// Design geometry of the box.
namespace MsgBoxDesign {
constexpr int ClientWidth = 492, ClientHeight = 134;
constexpr int IconLeft = 18, IconTop = 10;
constexpr int LabelLeft = 81, LabelTop = 10;
constexpr int ButtonWidth = 121, ButtonHeight = 41, ButtonTop = 73, LastButtonTop = 72;
}  // namespace MsgBoxDesign

// The box's geometry for a label text (already carrying its right-to-left mark), a button set
// code, an icon code with the icon picture's size, the label font's metrics and the screen size.
MsgBoxLayout ComputeMsgBoxLayout(const QString& labelText, int buttons, int icon, const QSize& iconSize,
                                 const QFontMetrics& metrics, const QSize& screen);

// True for the icon codes that show a picture (16, 32, 48, 64).
bool IsMsgBoxIcon(int icon);

class TfrmMsgBox : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMsgBox(QWidget* parent = nullptr);

    // Builds the box for one message: caption, text, icon, buttons, size and place on the screen.
    void Prepare(const QString& text, int buttons, int icon, const QString& caption);
    // Shows the box modally and answers the code of the button pressed, or 0 when it was closed.
    int Execute();

    std::array<int, 3> RetVals{{0, 0, 0}};   // the code each of cmds0, cmds1, cmds2 stands for
    int btnNo = 1;                           // buttons shown
    int RetVal = 0;                          // code of the button pressed; 0 until one is
    int Btns = 0;                            // button set code
    int Icns = 0;                            // icon code

    // The layout applied by the last Prepare.
    const MsgBoxLayout& layout() const { return m_layout; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cmdsClick(int index);

    QLabel* m_imgIcon;
    QLabel* m_lblMsg;
    std::array<QLabel*, 4> m_img{};
    std::array<QPushButton*, 3> m_cmds{};
    MsgBoxLayout m_layout;
};

// The presenter that shows TfrmMsgBox; installed by the application at start.
int PresentMsgBoxWindow(const MessageBoxRequest& request);
void InstallMsgBoxWindowPresenter();
