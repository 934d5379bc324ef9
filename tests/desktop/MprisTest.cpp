// SPDX-License-Identifier: GPL-2.0-or-later
// The media controls on a session bus of the test's own: what the desktop asks goes to
// the player through the buttons' handlers, and what it reads follows the player.

#include "WaitFor.h"
#include "MprisService.h"

#include "CommandLine.h"
#include "MessageBox.h"
#include "PlayerMessages.h"
#include "RecordingMessageBoxPresenter.h"
#include "TagBuilder.h"
#include "TempDeviceRoot.h"
#include "VellumdeckApp.h"
#include "VellumdeckView.h"

#include <QDBusConnection>
#include <QDBusArgument>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

const QString kServiceConnection = QStringLiteral("mpris-service");
const QString kClientConnection = QStringLiteral("mpris-client");

class MprisTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty())
            GTEST_SKIP() << "no dbus-daemon";
        m_bus.start(daemon, {"--session", "--nofork", "--print-address"});
        ASSERT_TRUE(m_bus.waitForReadyRead(kDefaultWaitMs));
        m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
        // Real time, so a track is still playing when the next request comes.
        qputenv("VELLUMDECK_AUDIO", "null:1");
        CommandLine::SetArguments({});
        SetMessageBoxPresenter(std::make_unique<RecordingMessageBoxPresenter>());
        QFile speech(TestDataPath("speech.mp3"));
        ASSERT_TRUE(speech.open(QIODevice::ReadOnly));
        // Long enough to be still playing at each request on a loaded machine.
        const QByteArray audio = speech.readAll().repeated(4);
        // The second recording has its own title, artist and cover.
        using namespace TagBuilder;
        const QByteArray frames = Id3v2Frame(3, "TIT2", TextBody("At the station")) +
                                  Id3v2Frame(3, "TPE1", TextBody("Vellumdeck Course")) +
                                  Id3v2Frame(3, "APIC", PictureBody("image/jpeg", Picture(4096)));
        ASSERT_TRUE(m_root.WriteFile("\\one.mp3", audio) && m_root.WriteFile("\\two.mp3", Id3v2Tag(3, frames) + audio));
        ASSERT_TRUE(m_root.WriteFile("\\lesson.vdl", "\\one.mp3\r\n\\two.mp3\r\n"));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_root.Path() + "/cache"));
    }

    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(kClientConnection);
        QDBusConnection::disconnectFromBus(kServiceConnection);
        m_bus.kill();
        m_bus.waitForFinished();
        SetMessageBoxPresenter(nullptr);
        qputenv("VELLUMDECK_AUDIO", "null:50");
        qunsetenv("XDG_CACHE_HOME");
    }

    // Sent without waiting for the answer, which this thread itself gives.
    QDBusPendingCall Call(const QString& method, const QString& interface = MprisService::kPlayerInterface,
                          const QVariantList& arguments = {})
    {
        QDBusMessage message =
            QDBusMessage::createMethodCall(MprisService::kServiceName, MprisService::kObjectPath, interface, method);
        message.setArguments(arguments);
        return QDBusConnection::connectToBus(m_address, kClientConnection).asyncCall(message);
    }
    QVariant Property(const QString& name)
    {
        QDBusPendingCall call = Call("Get", "org.freedesktop.DBus.Properties", {MprisService::kPlayerInterface, name});
        if (!WaitFor([&] { return call.isFinished(); }) || call.isError())
            return {};
        return QDBusPendingReply<QDBusVariant>(call).value().variant();
    }

    QVariantMap Metadata()
    {
        const QVariant value = Property("Metadata");
        return value.canConvert<QDBusArgument>() ? qdbus_cast<QVariantMap>(value.value<QDBusArgument>()) : value.toMap();
    }

    QProcess m_bus;
    QString m_address;
    TempDeviceRoot m_root;
};

TEST_F(MprisTest, PlayPauseNextAndStopReachThePlayerAndItsStateIsRead)
{
    CVellumdeckApp app;
    ASSERT_TRUE(app.InitInstance());
    CVellumdeckView* view = app.View();
    MprisService service(&app, QDBusConnection::connectToBus(m_address, kServiceConnection));
    ASSERT_TRUE(service.Register());
    EXPECT_FALSE(Property("CanPlay").toBool());
    view->OpenHandedOverFile("\"\\lesson.vdl\"");
    ASSERT_TRUE(WaitFor([&] { return view->PlayerState() == PLAYER_PLAYING; }));
    EXPECT_EQ(Property("PlaybackStatus").toString(), "Playing");
    const QVariantMap metadata = Metadata();
    EXPECT_EQ(metadata.value("xesam:title").toString(), "one.mp3");
    EXPECT_GT(metadata.value("mpris:length").toLongLong(), 0);
    Call("PlayPause");
    EXPECT_TRUE(WaitFor([&] { return view->PlayerState() == PLAYER_PAUSED; }));
    Call("Play");
    EXPECT_TRUE(WaitFor([&] { return view->PlayerState() == PLAYER_PLAYING; }));
    Call("Next");
    EXPECT_TRUE(WaitFor([&] { return view->Controller().GetCurrentIndex() == 1 && view->PlayerState() == PLAYER_PLAYING; }));
    // One reading of both: at test speed the short recording may end between two readings.
    EXPECT_TRUE(WaitFor([&] {
        const QVariantMap now = Metadata();
        return now.value("xesam:title") == "At the station" && now.value("xesam:url").toString().endsWith("/two.mp3") &&
               now.value("xesam:artist").toStringList() == QStringList{"Vellumdeck Course"} &&
               QFile::exists(QUrl(now.value("mpris:artUrl").toString()).toLocalFile());
    }));
    EXPECT_EQ(view->window()->windowTitle(), "At the station \u2013 Vellumdeck Course \u2013 Vellumdeck");
    Call("Previous");
    EXPECT_TRUE(WaitFor([&] { return view->Controller().GetCurrentIndex() == 0; }));
    // The stop of Previous may still be on its way, so wait for the state to settle.
    Call("Stop");
    EXPECT_TRUE(WaitFor([&] { return view->PlayerState() == PLAYER_STOPPED && Property("PlaybackStatus") == "Stopped"; }));
    // A second player on the bus takes a name of its own.
    MprisService second(&app, QDBusConnection::connectToBus(m_address, kClientConnection));
    ASSERT_TRUE(second.Register());
    EXPECT_TRUE(second.RegisteredName().startsWith(MprisService::kServiceName + ".instance"));
}

}  // namespace
