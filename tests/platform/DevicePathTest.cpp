// SPDX-License-Identifier: GPL-2.0-or-later
#include "DevicePath.h"
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
