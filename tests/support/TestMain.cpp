// SPDX-License-Identifier: GPL-2.0-or-later
#ifdef VD_GUI_TEST
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Tests never reach for the desktop's sound device unless asked to.
    if (qEnvironmentVariableIsEmpty("VELLUMDECK_AUDIO"))
        qputenv("VELLUMDECK_AUDIO", "null:50");
#ifdef VD_GUI_TEST
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
