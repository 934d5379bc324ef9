#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Tests never reach for the desktop's sound device unless asked to.
    if (qEnvironmentVariableIsEmpty("VELLUMDECK_AUDIO"))
        qputenv("VELLUMDECK_AUDIO", "null:50");
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
