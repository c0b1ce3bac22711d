#include "core/widgets/ScreenRegistry.h"

#include <QHash>
#include <QWidget>

namespace {
QHash<QString, ScreenFactory>& registry()
{
    static QHash<QString, ScreenFactory> factories;   // built on first use: registrars run before main
    return factories;
}
}  // namespace

void RegisterScreenClass(const QString& className, ScreenFactory factory)
{
    registry().insert(className, std::move(factory));
}

bool IsScreenRegistered(const QString& className)
{
    return registry().contains(className);
}

QStringList RegisteredScreenClasses()
{
    QStringList names = registry().keys();
    names.sort();
    return names;
}

QWidget* CreateScreen(const QString& className, QWidget* parent)
{
    const auto it = registry().constFind(className);
    if (it == registry().constEnd())
        throw ScreenNotRegistered("screen class not registered: " + className.toStdString());
    QWidget* screen = (*it)(parent);
    screen->setObjectName(className);
    return screen;
}
