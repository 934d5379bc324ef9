// A recording's own title, artist, album and cover, as TagLib reads them, and what
// the window's title makes of them; recordings without tags or with broken ones fall
// back to their name.

#include "RecordingTags.h"

#include "TagBuilder.h"
#include "TempDeviceRoot.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdlib>

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
        const QString device = QStringLiteral("\\%1").arg(QLatin1String(name));
        EXPECT_TRUE(m_root.WriteFile(device, bytes));
        return m_root.Host(device);
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
    EXPECT_EQ(tags.title, "At the market");
    EXPECT_EQ(tags.artist, "Vellumdeck Course");
    EXPECT_EQ(tags.album, "Unit 3");
    ASSERT_FALSE(tags.coverFile.isEmpty());
    EXPECT_TRUE(tags.coverFile.startsWith(m_root.Path() + "/cache/vellumdeck/covers/"));
    EXPECT_TRUE(tags.coverFile.endsWith(".png"));
    QFile written(tags.coverFile);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), cover);
    EXPECT_EQ(CRecordingTags::WindowTitle(path, tags), "At the market \u2013 Vellumdeck Course \u2013 Vellumdeck");
}

TEST_F(RecordingTagsTest, WithoutUsableTagsTheNameStands)
{
    QByteArray brokenFrames = Id3v2Frame(3, "TIT2", TextBody("x"));
    brokenFrames[7] = char(0x7F);   // a frame claiming far more than the tag holds
    const QByteArray broken = Id3v2Tag(3, brokenFrames) + m_audio;
    const QString bare = Write("talk.mp3", m_audio);
    const QString damaged = Write("damaged.mp3", broken);
    const QString text = Write("notes.mp3", "Not a recording at all.\n");
    for (const QString& path : {bare, damaged, text, m_root.Path() + "/missing.mp3"}) {
        SCOPED_TRACE(path.toStdString());
        CRecordingTags tags;
        const RecordingTagInfo& info = tags.For(path);
        EXPECT_TRUE(info.title.isEmpty() || path == damaged);
        EXPECT_TRUE(info.coverFile.isEmpty());
        if (info.title.isEmpty()) {
            EXPECT_EQ(CRecordingTags::WindowTitle(path, info), QFileInfo(path).fileName() + " \u2013 Vellumdeck");
        }
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
