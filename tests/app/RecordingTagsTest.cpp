// SPDX-License-Identifier: GPL-2.0-or-later
// A recording's own title, artist, album and cover, as TagLib reads them, and what
// the window's title makes of them; recordings without tags or with broken ones fall
// back to their name.

#include "RecordingTags.h"

#include "TagBuilder.h"
#include "TempDeviceRoot.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using namespace TagBuilder;

class RecordingTagsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_root.Path() + "/cache"));
        QFile lesson(TestDataPath("speech22.mp3"));
        ASSERT_TRUE(lesson.open(QIODevice::ReadOnly));
        m_audio = lesson.readAll();
    }
    void TearDown() override { qunsetenv("XDG_CACHE_HOME"); }

    QString Write(const char* name, const QByteArray& bytes)
    {
        EXPECT_TRUE(m_root.WriteFile(QStringLiteral("\\") + name, bytes));
        return m_root.Host(QStringLiteral("\\") + name);
    }

    TempDeviceRoot m_root;
    QByteArray m_audio;
    CRecordingTags m_tags;
};

TEST_F(RecordingTagsTest, TitleArtistAlbumAndTheFrontCoverAreRead)
{
    const QByteArray cover = Picture(300000);
    const QByteArray frames = Id3v2Frame(3, "TIT2", TextBody("At the market")) +
                              Id3v2Frame(3, "TPE1", TextBody("Vellumdeck Course")) +
                              Id3v2Frame(3, "TALB", TextBody("Unit 3")) +
                              Id3v2Frame(3, "APIC", PictureBody("image/png", cover));
    const QString path = Write("lesson.mp3", Id3v2Tag(3, frames) + m_audio);
    const RecordingTagInfo& tags = m_tags.For(path);
    EXPECT_EQ(QStringList({tags.title, tags.artist, tags.album}), QStringList({"At the market", "Vellumdeck Course", "Unit 3"}));
    EXPECT_TRUE(tags.coverFile.startsWith(m_root.Path() + "/cache/vellumdeck/covers/"));
    EXPECT_TRUE(tags.coverFile.endsWith(".png"));
    QFile written(tags.coverFile);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), cover);
}

// A frame claiming far more than the tag holds, no tag, no recording, no file.
TEST_F(RecordingTagsTest, WithoutUsableTagsTheNameStands)
{
    QByteArray brokenFrames = Id3v2Frame(3, "TIT2", TextBody("x"));
    brokenFrames[7] = char(0x7F);
    for (const QString& path : {Write("damaged.mp3", Id3v2Tag(3, brokenFrames) + m_audio), Write("talk.mp3", m_audio),
                                Write("notes.mp3", "Not a recording at all.\n"), m_root.Path() + "/missing.mp3"}) {
        const RecordingTagInfo info = CRecordingTags().For(path);
        EXPECT_TRUE(info.coverFile.isEmpty()) << path.toStdString();
        if (info.title.isEmpty())   // the damaged tag may still give its title
            EXPECT_EQ(CRecordingTags::WindowTitle(path, info), QFileInfo(path).fileName() + " \u2013 Vellumdeck");
        else
            EXPECT_TRUE(path.endsWith("damaged.mp3")) << path.toStdString();
    }
    EXPECT_EQ(CRecordingTags::WindowTitle(QString(), RecordingTagInfo()), "Vellumdeck");
    // A device path of a playlist names the file after its last backslash.
    EXPECT_EQ(CRecordingTags::WindowTitle("\\My documents\\Unit 1\\talk.mp3", RecordingTagInfo()),
              "talk.mp3 \u2013 Vellumdeck");
}

// The last recording is remembered until the file changes.
TEST_F(RecordingTagsTest, AskingAgainReadsAgainOnlyWhenTheFileChanged)
{
    const QString path = Write("lesson.mp3", Id3v2Tag(3, Id3v2Frame(3, "TIT2", TextBody("First"))) + m_audio);
    EXPECT_EQ(m_tags.For(path).title, "First");
    EXPECT_EQ(&m_tags.For(path), &m_tags.For(path));
    Write("lesson.mp3", Id3v2Tag(3, Id3v2Frame(3, "TIT2", TextBody("Second one"))) + m_audio);
    EXPECT_EQ(m_tags.For(path).title, "Second one");
}

}  // namespace
