// SPDX-License-Identifier: GPL-2.0-or-later
// The desktop services: the zoom, one program per device root and the keep-awake request.

#include "WaitFor.h"
#include "DevicePath.h"
#include "KeepAwake.h"
#include "ScreenZoom.h"
#include "SingleInstance.h"

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ScreenZoomTest, ChoosesTheLargestZoomThatFitsEightyPercentOfTheScreen)
{
    const QSize window(240, 300);
    EXPECT_EQ(ScreenZoom::Choose(QSize(1920, 1080), window), 2);   // 864 / 300
    EXPECT_EQ(ScreenZoom::Choose(QSize(800, 300), window), 1);     // never below 1
    EXPECT_EQ(ScreenZoom::Choose(QSize(300, 2160), window), 1);    // the width limits too
}

TEST(SingleInstanceTest, ProgramsOnOtherRootsDoNotSeeEachOther)
{
    QTemporaryDir root, otherRoot;
    DevicePath::SetRoot(root.path());
    SingleInstance first;
    ASSERT_TRUE(first.Listen([] {}));
    EXPECT_TRUE(SingleInstance().ActivateRunning());
    DevicePath::SetRoot(otherRoot.path());
    EXPECT_FALSE(SingleInstance().ActivateRunning());
    DevicePath::SetRoot(QString());
}

// A stand-in screensaver on a session bus of the test's own.
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
    ASSERT_TRUE(bus.waitForReadyRead(10000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    // KeepAwake uses the session bus, which Qt finds through this variable on first use.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    QDBusConnection service = QDBusConnection::connectToBus(address, "screensaver");
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
