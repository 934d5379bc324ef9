#include "File.h"
#include "FileSystem.h"
#include "SystemError.h"
#include "TempDeviceRoot.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <sys/stat.h>

namespace {

std::map<QString, DWORD> AttributesByName(const QString& folder)
{
    std::vector<FileSystem::Entry> entries;
    EXPECT_TRUE(FileSystem::List(folder, &entries));
    std::map<QString, DWORD> byName;
    for (const auto& entry : entries)
        byName[entry.name] = entry.attributes;
    return byName;
}

}  // namespace

class FileSystemTest : public ::testing::Test
{
protected:
    TempDeviceRoot m_root;
    const QString m_data = "\\My documents\\Vellumdeck Data";
};

TEST_F(FileSystemTest, WritesReadsSeeksAndSizesAFile)
{
    ASSERT_TRUE(FileSystem::CreateFolder("\\My documents"));
    ASSERT_TRUE(FileSystem::CreateFolder(m_data));
    const QString path = m_data + "\\a.vdm";
    const QByteArray bytes("0123456789");
    {
        File file;
        ASSERT_TRUE(file.Open(path, File::Access::Write, File::Disposition::CreateNew));
        std::uint32_t written = 0;
        ASSERT_TRUE(file.Write(bytes.constData(), bytes.size(), &written));
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

    File moved(std::move(file));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(moved.Seek(0, File::Origin::Current), 10);

    // Create-always replaces the contents.
    File replaced;
    ASSERT_TRUE(replaced.Open(path, File::Access::Write, File::Disposition::CreateAlways));
    EXPECT_EQ(replaced.Size(), 0);
}

TEST_F(FileSystemTest, FailuresKeepTheSystemError)
{
    File file;
    EXPECT_FALSE(file.Open("\\My documents\\missing.mp3", File::Access::Read, File::Disposition::OpenExisting));
    EXPECT_EQ(SystemError::Last(), ENOENT);
    EXPECT_EQ(SystemError::Text(ENOENT), "No such file or directory");
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Size(), -1);
    std::uint32_t got = 1;
    EXPECT_FALSE(file.Read(nullptr, 0, &got));
    EXPECT_EQ(got, 0u);

    // A folder cannot be opened as a file.
    ASSERT_TRUE(FileSystem::CreateFolder("\\My documents"));
    EXPECT_FALSE(file.Open("\\My documents", File::Access::Read, File::Disposition::OpenExisting));
    EXPECT_EQ(SystemError::Last(), EISDIR);

    EXPECT_FALSE(FileSystem::DeleteFile("\\nothing.txt"));
    EXPECT_EQ(SystemError::Last(), ENOENT);
    // Folders are created one level at a time.
    EXPECT_FALSE(FileSystem::CreateFolder("\\Storage Card\\Vellumdeck Data"));
    EXPECT_FALSE(FileSystem::CreateFolder("\\My documents"));
    EXPECT_EQ(SystemError::Last(), EEXIST);
}

TEST_F(FileSystemTest, ListGivesWin32AttributeWords)
{
    ASSERT_TRUE(FileSystem::CreateFolder("\\My documents"));
    ASSERT_TRUE(FileSystem::CreateFolder(m_data));
    ASSERT_TRUE(FileSystem::CreateFolder(m_data + "\\Unit 1"));
    ASSERT_TRUE(FileSystem::CreateFolder(m_data + "\\.cache"));
    ASSERT_TRUE(m_root.WriteFile(m_data + "\\a.mp3", "abc"));
    ASSERT_TRUE(m_root.WriteFile(m_data + "\\.hidden.mp3", "x"));
    ASSERT_TRUE(m_root.WriteFile(m_data + "\\locked.mp3", "x"));
    ASSERT_EQ(::chmod(QFile::encodeName(m_root.Host(m_data + "\\locked.mp3")).constData(), 0444), 0);

    const auto attributes = AttributesByName(m_data);
    ASSERT_EQ(attributes.size(), 5u) << "'.' and '..' are left out";
    EXPECT_EQ(attributes.at("Unit 1"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(attributes.at(".cache"), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(attributes.at("a.mp3"), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(attributes.at(".hidden.mp3"), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(attributes.at("locked.mp3"), FILE_ATTRIBUTE_READONLY);

    std::vector<FileSystem::Entry> entries;
    FileSystem::List(m_data, &entries);
    for (const auto& entry : entries) {
        if (entry.name == "a.mp3") {
            EXPECT_EQ(entry.size, 3);
        }
    }

    EXPECT_EQ(FileSystem::Attributes(m_data + "\\Unit 1"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(FileSystem::Attributes(m_data + "\\locked.mp3"), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(FileSystem::Attributes(m_data + "\\.hidden.mp3"), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(FileSystem::Attributes(m_data + "\\none.mp3"), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(FileSystem::List(m_data + "\\none", &entries));
    EXPECT_TRUE(entries.empty());
}

TEST_F(FileSystemTest, RenameReplacesAndFoldersAreRemovedWhenEmpty)
{
    ASSERT_TRUE(FileSystem::CreateFolder("\\VDTemp"));
    ASSERT_TRUE(m_root.WriteFile("\\VDTemp\\new.vdl", "new"));
    ASSERT_TRUE(m_root.WriteFile("\\VDTemp\\old.vdl", "old"));
    ASSERT_TRUE(FileSystem::Rename("\\VDTemp\\new.vdl", "\\VDTemp\\old.vdl"));
    EXPECT_FALSE(FileSystem::Exists("\\VDTemp\\new.vdl"));
    File file;
    ASSERT_TRUE(file.Open("\\VDTemp\\old.vdl", File::Access::Read, File::Disposition::OpenExisting));
    EXPECT_EQ(file.Size(), 3);
    file.Close();

    EXPECT_FALSE(FileSystem::RemoveFolder("\\VDTemp")) << "not empty";
    ASSERT_TRUE(FileSystem::DeleteFile("\\VDTemp\\old.vdl"));
    EXPECT_TRUE(FileSystem::RemoveFolder("\\VDTemp"));
    EXPECT_FALSE(FileSystem::Exists("\\VDTemp"));
}

TEST_F(FileSystemTest, FreeSpaceAnswersOnlyForAPresentVolume)
{
    std::uint64_t free = 0;
    EXPECT_FALSE(FileSystem::FreeSpace("\\Storage Card", &free));
    EXPECT_FALSE(FileSystem::FreeSpace("Storage Card1", &free));
    ASSERT_TRUE(FileSystem::CreateFolder("Storage Card1"));
    EXPECT_TRUE(FileSystem::FreeSpace("Storage Card1", &free));
    EXPECT_GT(free, 0u);
}
