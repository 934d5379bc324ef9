#include "File.h"
#include "FileSystem.h"
#include "SystemError.h"
#include "TempDeviceRoot.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <sys/stat.h>

class FileSystemTest : public ::testing::Test
{
protected:
    // Folders are created one level at a time.
    void SetUp() override
    {
        ASSERT_FALSE(FileSystem::CreateFolder(m_data));
        ASSERT_TRUE(FileSystem::CreateFolder("\\My documents"));
        ASSERT_TRUE(FileSystem::CreateFolder(m_data));
    }

    TempDeviceRoot m_root;
    const QString m_data = "\\My documents\\Vellumdeck Data";
};

TEST_F(FileSystemTest, WritesReadsAndReplacesAFile)
{
    const QString path = m_data + "\\a.vdm";
    {
        File file;
        ASSERT_TRUE(file.Open(path, File::Access::Write, File::Disposition::CreateNew));
        std::uint32_t written = 0;
        ASSERT_TRUE(file.Write("0123456789", 10, &written));
        EXPECT_EQ(written, 10u);
        EXPECT_TRUE(file.Sync());
    }
    File again;
    EXPECT_FALSE(again.Open(path, File::Access::Write, File::Disposition::CreateNew));
    EXPECT_EQ(SystemError::Last(), EEXIST);

    File file;
    ASSERT_TRUE(file.Open(path, File::Access::Read, File::Disposition::OpenExisting));
    EXPECT_EQ(file.Size(), 10);
    EXPECT_EQ(file.Seek(-4, File::Origin::End), 6);
    char buffer[16] = {};
    std::uint32_t got = 0;
    ASSERT_TRUE(file.Read(buffer, sizeof buffer, &got));
    EXPECT_EQ(QByteArray(buffer, got), "6789");
    ASSERT_TRUE(file.Read(buffer, sizeof buffer, &got));
    EXPECT_EQ(got, 0u) << "end of file";
    file.Close();

    // A rename replaces the file it lands on.
    ASSERT_TRUE(m_root.WriteFile(m_data + "\\new.vdm", "new"));
    ASSERT_TRUE(FileSystem::Rename(m_data + "\\new.vdm", path));
    EXPECT_FALSE(FileSystem::Exists(m_data + "\\new.vdm"));
    ASSERT_TRUE(file.Open(path, File::Access::Read, File::Disposition::OpenExisting));
    EXPECT_EQ(file.Size(), 3);
}

TEST_F(FileSystemTest, FailuresKeepTheSystemError)
{
    File file;
    EXPECT_FALSE(file.Open("\\My documents\\missing.mp3", File::Access::Read, File::Disposition::OpenExisting));
    EXPECT_EQ(SystemError::Last(), ENOENT);
    EXPECT_EQ(file.Size(), -1);
    std::uint32_t got = 1;
    EXPECT_FALSE(file.Read(nullptr, 0, &got));
    EXPECT_EQ(got, 0u);

    EXPECT_FALSE(file.Open("\\My documents", File::Access::Read, File::Disposition::OpenExisting));
    EXPECT_EQ(SystemError::Last(), EISDIR);
    // Folders are removed only when empty.
    ASSERT_TRUE(m_root.WriteFile(m_data + "\\a.mp3", "x"));
    EXPECT_FALSE(FileSystem::RemoveFolder(m_data));
    EXPECT_TRUE(FileSystem::Exists(m_data + "\\a.mp3"));
}

TEST_F(FileSystemTest, ListGivesWin32AttributeWords)
{
    ASSERT_TRUE(FileSystem::CreateFolder(m_data + "\\.cache"));
    ASSERT_TRUE(m_root.WriteFile(m_data + "\\a.mp3", "abc"));
    ASSERT_TRUE(m_root.WriteFile(m_data + "\\locked.mp3", "x"));
    ASSERT_EQ(::chmod(QFile::encodeName(m_root.Host(m_data + "\\locked.mp3")).constData(), 0444), 0);

    std::vector<FileSystem::Entry> entries;
    ASSERT_TRUE(FileSystem::List(m_data, &entries));
    std::map<QString, std::pair<DWORD, std::int64_t>> byName;
    for (const auto& entry : entries)
        byName[entry.name] = {entry.attributes, entry.size};
    ASSERT_EQ(byName.size(), 3u) << "'.' and '..' are left out";
    EXPECT_EQ(byName.at(".cache").first, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(byName.at("a.mp3"), std::make_pair(DWORD(FILE_ATTRIBUTE_NORMAL), std::int64_t(3)));
    EXPECT_EQ(byName.at("locked.mp3").first, FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(FileSystem::Attributes(m_data + "\\locked.mp3"), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(FileSystem::Attributes(m_data + "\\none.mp3"), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(FileSystem::List(m_data + "\\none", &entries));
    EXPECT_TRUE(entries.empty());
}
