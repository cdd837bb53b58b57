// Test main: an application object on the main thread, which is the interface thread.
#include "platform/Window.h"

#include <gmock/gmock.h>

#include <cstdlib>

#ifdef QUELMAR_GUI_TESTS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleMock(&argc, argv);
    TestApplication app(argc, argv);
    platform::StartInterfaceThread();
    return RUN_ALL_TESTS();
}
