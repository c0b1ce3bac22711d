#pragma once
// Screens that the main window opens by class name. Each screen unit registers its class at
// program start with NEMORA_REGISTER_SCREEN(TfrmSomething).

#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

class QWidget;

using ScreenFactory = std::function<QWidget*(QWidget* parent)>;

class ScreenNotRegistered : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void RegisterScreenClass(const QString& className, ScreenFactory factory);
bool IsScreenRegistered(const QString& className);
QStringList RegisteredScreenClasses();
// Creates one instance; raises ScreenNotRegistered for an unknown name.
QWidget* CreateScreen(const QString& className, QWidget* parent);

struct ScreenRegistrar {
    ScreenRegistrar(const char* className, ScreenFactory factory) { RegisterScreenClass(QString::fromLatin1(className), std::move(factory)); }
};

#define NEMORA_REGISTER_SCREEN(Class) \
    static const ScreenRegistrar s_screenRegistrar_##Class(#Class, [](QWidget* parent) -> QWidget* { return new Class(parent); })
