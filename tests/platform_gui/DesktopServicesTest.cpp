// The desktop services: the zoom, the command line, one program per device root and
// the keep-awake request.

#include "WaitFor.h"
#include "CommandLine.h"
#include "DevicePath.h"
#include "KeepAwake.h"
#include "ScreenZoom.h"
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kWaitMs = 10000;

TEST(ScreenZoomTest, ChoosesTheLargestZoomThatFitsEightyPercentOfTheHeight)
{
    const QSize window(240, 300);
    EXPECT_EQ(ScreenZoom::Choose(QSize(1920, 1080), window), 2);   // 864 / 300
    EXPECT_EQ(ScreenZoom::Choose(QSize(3840, 2160), window), 5);
    EXPECT_EQ(ScreenZoom::Choose(QSize(800, 300), window), 1);     // never below 1
    EXPECT_EQ(ScreenZoom::Choose(QSize(300, 2160), window), 1);    // the width limits too
}

TEST(ScreenZoomTest, OptionIsTakenOutOfTheArguments)
{
    QStringList arguments{"--zoom", "3", "/a.vds"};
    EXPECT_EQ(ScreenZoom::TakeOption(&arguments), 3);
    EXPECT_EQ(arguments, QStringList{"/a.vds"});

    arguments = {"/a.vds", "--zoom=2"};
    EXPECT_EQ(ScreenZoom::TakeOption(&arguments), 2);
    EXPECT_EQ(arguments, QStringList{"/a.vds"});

    arguments = {"--zoom", "big"};
    EXPECT_EQ(ScreenZoom::TakeOption(&arguments), -1);
    EXPECT_TRUE(arguments.isEmpty());
    arguments = {"--zoom"};
    EXPECT_EQ(ScreenZoom::TakeOption(&arguments), -1);
    arguments = {"/a.vds"};
    EXPECT_EQ(ScreenZoom::TakeOption(&arguments), 0);
    EXPECT_EQ(ScreenZoom::Parse("9"), 0);
    EXPECT_EQ(ScreenZoom::Parse("0"), 0);
}

TEST(CommandLineTest, EachArgumentIsQuoted)
{
    CommandLine::SetArguments({});
    EXPECT_TRUE(CommandLine::GetCommandLineW().isEmpty());
    CommandLine::SetArguments({"/home/a/Lesson 1.vds"});
    EXPECT_EQ(CommandLine::GetCommandLineW(), "\"/home/a/Lesson 1.vds\"");
    CommandLine::SetArguments({"a", "b"});
    EXPECT_EQ(CommandLine::GetCommandLineW(), "\"a\" \"b\"");
    CommandLine::SetArguments({});
}

class SingleInstanceTest : public ::testing::Test
{
protected:
    void SetUp() override { DevicePath::SetRoot(m_root.path()); }
    void TearDown() override { DevicePath::SetRoot(QString()); }
    QTemporaryDir m_root;
};

TEST_F(SingleInstanceTest, LaterStartAsksTheFirstToComeForward)
{
    SingleInstance first;
    EXPECT_FALSE(first.ActivateRunning());
    int requests = 0;
    ASSERT_TRUE(first.Listen([&] { ++requests; }));

    SingleInstance second;
    EXPECT_TRUE(second.ActivateRunning());
    EXPECT_TRUE(WaitFor([&] { return requests == 1; }));
}

TEST_F(SingleInstanceTest, ProgramsOnOtherRootsDoNotSeeEachOther)
{
    SingleInstance first;
    ASSERT_TRUE(first.Listen([] {}));
    const QString name = SingleInstance::ServerName();

    QTemporaryDir otherRoot;
    DevicePath::SetRoot(otherRoot.path());
    EXPECT_NE(SingleInstance::ServerName(), name);
    SingleInstance other;
    EXPECT_FALSE(other.ActivateRunning());
}

// A session bus of our own with a stand-in screensaver on it.
class FakeScreenSaver : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    int calls = 0;
public slots:
    void SimulateUserActivity() { ++calls; }
};

TEST(KeepAwakeTest, TellsTheSessionScreensaverTheUserIsActive)
{
    const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
    if (daemon.isEmpty())
        GTEST_SKIP() << "no dbus-daemon";
    QProcess bus;
    bus.start(daemon, {"--session", "--nofork", "--print-address"});
    ASSERT_TRUE(bus.waitForReadyRead(kWaitMs));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    // KeepAwake uses the session bus, which Qt finds through this variable on first use.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());

    QDBusConnection service = QDBusConnection::connectToBus(address, "screensaver");
    ASSERT_TRUE(service.isConnected());
    FakeScreenSaver saver;
    ASSERT_TRUE(service.registerObject(KeepAwake::kPath, &saver, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService(KeepAwake::kService));

    EXPECT_TRUE(KeepAwake::SimulateUserActivity());
    EXPECT_TRUE(WaitFor([&] { return saver.calls == 1; }));

    QDBusConnection::disconnectFromBus("screensaver");
    bus.kill();
    bus.waitForFinished();
}

}  // namespace

#include "DesktopServicesTest.moc"
