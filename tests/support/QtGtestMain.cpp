// GoogleTest main for tests that need a QApplication. Widgets are made on Qt's offscreen platform
// unless the environment asks for another one.
#include "toolkit/gui/qt/QtMessagePump.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // As in the program: waits that keep the window alive handle this thread's events.
    QtMessagePump pump;
    MessagePump::install(&pump);
    const int result = RUN_ALL_TESTS();
    MessagePump::install(nullptr);
    return result;
}
