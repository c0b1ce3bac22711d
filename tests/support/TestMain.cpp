// Entry point of every test binary: a QApplication on the offscreen platform, so that widget
// tests and the gateway's event loop both work without a display.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setLayoutDirection(Qt::RightToLeft);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
