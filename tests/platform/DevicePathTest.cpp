// SPDX-License-Identifier: GPL-2.0-or-later
#include "DevicePath.h"
#include "FileSystem.h"
#include "ScopedEnv.h"
#include "TempDeviceRoot.h"

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

// Without a root a storage card is the first mounted removable volume; a machine with
// none behaves as a device without a card: every path on it is missing, the same on
// every ask, and the first card's two spellings are one folder.
TEST(DevicePathTest, CardWithoutAVolumeIsMissingOnEveryAsk)
{
    ScopedEnv noRoot("VELLUMDECK_ROOT", QByteArray());
    DevicePath::SetRoot(QString());
    if (FileSystem::Exists("\\Storage Card"))
        GTEST_SKIP() << "a removable volume is mounted as the card";

    const QString first = DevicePath::ToHost("\\Storage Card\\Unit 1\\a.mp3");
    EXPECT_EQ(DevicePath::ToHost("Storage Card1\\Unit 1\\a.mp3"), first);
    EXPECT_NE(DevicePath::ToHost("\\Storage Card2\\Unit 1\\a.mp3"), first);
    for (int ask = 0; ask < 3; ++ask) {
        EXPECT_EQ(DevicePath::ToHost("\\storage card\\Unit 1\\a.mp3"), first);
        EXPECT_FALSE(FileSystem::Exists("\\Storage Card\\Unit 1\\a.mp3"));
        EXPECT_FALSE(FileSystem::CreateFolder("\\Storage Card\\Unit 1"));
    }
}
