#include "core/widgets/NemoraApplication.h"

#include "core/untDm.h"
#include "core/widgets/MSGsForm.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>

NemoraApplication::NemoraApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Nemora"));
    setApplicationVersion(QStringLiteral("2.0.3"));
    setLayoutDirection(Qt::RightToLeft);
    setStyle(QStringLiteral("Fusion"));

    const QString family = PersianFontFamily();
    if (!family.isEmpty()) {
        QFont persian(family, 10);
        persian.setStyleHint(QFont::SansSerif);
        setFont(persian);
    }
    InstallMsgBoxWindowPresenter();
}

QString NemoraApplication::PersianFontFamily()
{
    const QString preferred = QStringLiteral("Noto Sans Arabic");
    return QFontDatabase::families().contains(preferred) ? preferred : QString();
}

bool NemoraApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ApplicationEvents1Exception(error.what());
    } catch (...) {
        ApplicationEvents1Exception(nullptr);
    }
    return false;
}

void NemoraApplication::ApplicationEvents1Exception(const char* /*message*/)
{
    ++m_droppedErrors;
}

void NemoraApplication::InstallWaitCursor(TDm& dm)
{
    dm.setBusyHook([](bool busy) {
        if (busy)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QGuiApplication::restoreOverrideCursor();
    });
}
