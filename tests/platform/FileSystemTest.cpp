// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileSystem.h"
#include "TempDeviceRoot.h"

#include <QFile>

#include <gtest/gtest.h>

#include <map>
#include <sys/stat.h>

// Reading, writing, seeking and renaming over a file are the bookmark list's, the
// playlist's and the embedded text's tests; a failed open's reason is the bad
// recordings' test, and a folder that is not empty staying is the temporary folder's.
// Here: folders are made one level at a time, and a listing's attribute words.
TEST(FileSystemTest, FoldersAreMadeOneLevelAtATimeAndListGivesWin32AttributeWords)
{
    TempDeviceRoot root;
    const QString data = "\\My documents\\Vellumdeck Data";
    ASSERT_FALSE(FileSystem::CreateFolder(data));
    ASSERT_TRUE(FileSystem::CreateFolder("\\My documents"));
    ASSERT_TRUE(FileSystem::CreateFolder(data));
    ASSERT_TRUE(FileSystem::CreateFolder(data + "\\.cache"));
    ASSERT_TRUE(root.WriteFile(data + "\\a.mp3", "abc"));
    ASSERT_TRUE(root.WriteFile(data + "\\locked.mp3", "x"));
    ASSERT_EQ(::chmod(QFile::encodeName(root.Host(data + "\\locked.mp3")).constData(), 0444), 0);

    std::vector<FileSystem::Entry> entries;
    ASSERT_TRUE(FileSystem::List(data, &entries));
    std::map<QString, std::pair<DWORD, std::int64_t>> byName;
    for (const auto& entry : entries)
        byName[entry.name] = {entry.attributes, entry.size};
    ASSERT_EQ(byName.size(), 3u) << "'.' and '..' are left out";
    EXPECT_EQ(byName.at(".cache").first, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(byName.at("a.mp3"), std::make_pair(DWORD(FILE_ATTRIBUTE_NORMAL), std::int64_t(3)));
    EXPECT_EQ(byName.at("locked.mp3").first, FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(FileSystem::List(data + "\\none", &entries));
    EXPECT_TRUE(entries.empty());
}
