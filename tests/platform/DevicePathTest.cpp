#include "DevicePath.h"
#include "FileSystem.h"
#include "TempDeviceRoot.h"

#include <QStandardPaths>

#include <gtest/gtest.h>

// The top folder's name ignores case; the rest is kept; host paths pass unchanged.
TEST(DevicePathTest, MapsDevicePathsUnderTheRoot)
{
    TempDeviceRoot root;
    const QString dir = root.Path();
    EXPECT_EQ(DevicePath::ToHost("\\MY DOCUMENTS\\Unit 1\\A.MP3"), dir + "/My documents/Unit 1/A.MP3");
    EXPECT_EQ(DevicePath::ToHost("\\storage card2\\Data"), dir + "/Storage Card2/Data");
    EXPECT_EQ(DevicePath::ToHost("Storage Card1\\Vellumdeck Data\\x.vdl"), dir + "/Storage Card1/Vellumdeck Data/x.vdl");
    EXPECT_EQ(DevicePath::ToHost("\\Windows\\menusel.wav"), dir + "/Windows/menusel.wav");
    EXPECT_EQ(DevicePath::ToHost("/home/user/My documents/a.mp3"), "/home/user/My documents/a.mp3");
}

TEST(DevicePathTest, WithoutRootUsesTheDesktopFoldersAndAbsentCardsStayAbsent)
{
    TempDeviceRoot root;   // restores the root afterwards
    DevicePath::SetRoot(QString());
    if (!qEnvironmentVariableIsEmpty("VELLUMDECK_ROOT"))
        GTEST_SKIP() << "VELLUMDECK_ROOT is set in the environment";

    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(DevicePath::ToHost("\\my documents\\Vellumdeck Data"), documents + "/Vellumdeck Data");
    DevicePath::SetDataFolder("/opt/vd/share");
    EXPECT_EQ(DevicePath::ToHost("\\Windows\\question.wav"), "/opt/vd/share/question.wav");
    DevicePath::SetDataFolder(QString());

    for (const QString card : {"\\Storage Card", "Storage Card1"}) {
        const QString host = DevicePath::ToHost(card + "\\Vellumdeck Data");
        if (host.startsWith("/media/") || host.startsWith("/run/media/"))
            continue;
        // No such card: every probe fails and nothing can be created in its place.
        std::uint64_t free = 0;
        EXPECT_FALSE(FileSystem::FreeSpace(card, &free)) << host.toStdString();
        EXPECT_FALSE(FileSystem::CreateFolder(card)) << host.toStdString();
    }
}
