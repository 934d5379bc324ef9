#include "DevicePath.h"
#include "FileSystem.h"
#include "TempDeviceRoot.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QStorageInfo>

#include <gtest/gtest.h>

TEST(DevicePathTest, MapsEveryDevicePathUnderTheRoot)
{
    TempDeviceRoot root;
    const QString dir = root.Path();
    EXPECT_EQ(DevicePath::Root(), dir);
    EXPECT_EQ(DevicePath::ToHost("\\My documents\\Vellumdeck Data\\a.mp3"), dir + "/My documents/Vellumdeck Data/a.mp3");
    EXPECT_EQ(DevicePath::ToHost("\\Storage Card\\Vellumdeck Data"), dir + "/Storage Card/Vellumdeck Data");
    EXPECT_EQ(DevicePath::ToHost("Storage Card1\\Vellumdeck Data\\x.vdl"), dir + "/Storage Card1/Vellumdeck Data/x.vdl");
    EXPECT_EQ(DevicePath::ToHost("\\Windows\\menusel.wav"), dir + "/Windows/menusel.wav");
    EXPECT_EQ(DevicePath::ToHost("\\Temp\\VDTemp"), dir + "/Temp/VDTemp");
}

TEST(DevicePathTest, TopFolderIgnoresCaseButTheRestIsKept)
{
    TempDeviceRoot root;
    EXPECT_EQ(DevicePath::ToHost("\\MY DOCUMENTS\\Unit 1\\A.MP3"), root.Path() + "/My documents/Unit 1/A.MP3");
    EXPECT_EQ(DevicePath::ToHost("\\storage card2\\Data"), root.Path() + "/Storage Card2/Data");
}

TEST(DevicePathTest, HostPathsPassUnchanged)
{
    TempDeviceRoot root;
    EXPECT_EQ(DevicePath::ToHost("/home/user/My documents/a.mp3"), "/home/user/My documents/a.mp3");
    DevicePath::SetRoot(QString());
    EXPECT_EQ(DevicePath::ToHost("/tmp/x\\y.mp3"), "/tmp/x\\y.mp3");
}

TEST(DevicePathTest, WithoutRootUsesTheDesktopFolders)
{
    TempDeviceRoot root;   // restores the root afterwards
    DevicePath::SetRoot(QString());
    if (!qEnvironmentVariableIsEmpty("VELLUMDECK_ROOT"))
        GTEST_SKIP() << "VELLUMDECK_ROOT is set in the environment";

    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(DevicePath::ToHost("\\My documents\\Vellumdeck Data"), documents + "/Vellumdeck Data");
    EXPECT_EQ(DevicePath::ToHost("\\my documents"), documents);

    EXPECT_EQ(DevicePath::ToHost("\\Windows\\menusel.wav"),
        QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/vellumdeck") + "/menusel.wav");
    DevicePath::SetDataFolder("/opt/vd/share");
    EXPECT_EQ(DevicePath::ToHost("\\Windows\\question.wav"), "/opt/vd/share/question.wav");
    DevicePath::SetDataFolder(QString());

    const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    EXPECT_EQ(DevicePath::ToHost("\\Temp\\VDTemp"), appData + "/Temp/VDTemp");
}

TEST(DevicePathTest, CardsWithoutRootAreRemovableVolumesOrAbsent)
{
    TempDeviceRoot root;
    DevicePath::SetRoot(QString());
    if (!qEnvironmentVariableIsEmpty("VELLUMDECK_ROOT"))
        GTEST_SKIP() << "VELLUMDECK_ROOT is set in the environment";

    for (const QString card : {"\\Storage Card", "Storage Card1", "\\Storage Card2"}) {
        const QString host = DevicePath::ToHost(card + "\\Vellumdeck Data");
        const bool onVolume = host.startsWith("/media/") || host.startsWith("/run/media/");
        if (onVolume)
            continue;
        // No such card: every probe fails and nothing can be created in its place.
        std::uint64_t free = 0;
        EXPECT_FALSE(FileSystem::FreeSpace(card, &free)) << host.toStdString();
        EXPECT_FALSE(FileSystem::CreateFolder(card)) << host.toStdString();
        EXPECT_FALSE(FileSystem::CreateFolder(card + "\\Vellumdeck Data")) << host.toStdString();
    }
    EXPECT_EQ(DevicePath::ToHost("\\Storage Card\\a"), DevicePath::ToHost("Storage Card1\\a"));
}
