#include "CodePage.h"
#include "Playlist.h"
#include "TempDeviceRoot.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

TEST(ClassifyTest, KindFollowsTheLastFourCharactersWithoutRegardToCase)
{
    const struct
    {
        const char* path;
        int kind;
    } cases[] = {
        {"a.mp3", MEDIA_RECORDING},      {"\\My documents\\B.MP3", MEDIA_RECORDING},
        {"c.Mp3", MEDIA_RECORDING},      {"lesson.vds", MEDIA_RECORDING},
        {"LESSON.VDS", MEDIA_RECORDING}, {"list.vdl", MEDIA_PLAYLIST},
        {"LIST.VDL", MEDIA_PLAYLIST},    {".mp3", MEDIA_NOT_PLAYABLE},
        {".vdl", MEDIA_NOT_PLAYABLE},    {"", MEDIA_NOT_PLAYABLE},
        {"a.mp4", MEDIA_NOT_PLAYABLE},   {"notes.txt", MEDIA_NOT_PLAYABLE},
        {"a.vdl.bak", MEDIA_NOT_PLAYABLE}, {"xmp3", MEDIA_NOT_PLAYABLE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Classify(QString::fromUtf8(c.path)), c.kind) << c.path;
}

TEST(FillPlaylistTest, RecordingIsItsOwnPlaylistAndAnUnplayablePathGivesNone)
{
    QStringList playlist;
    EXPECT_TRUE(FillPlaylist(&playlist, "/nowhere/lesson.MP3"));
    EXPECT_EQ(playlist, QStringList{"/nowhere/lesson.MP3"});

    playlist.clear();
    EXPECT_TRUE(FillPlaylist(&playlist, "/nowhere/notes.txt"));
    EXPECT_TRUE(playlist.isEmpty());
}

class PlaylistFileTest : public ::testing::Test
{
protected:
    void TearDown() override { CodePage::SetName(QByteArray()); }

    // Creates an (empty) recording under the device root; returns its host path.
    QString MakeRecording(const QString& devicePath)
    {
        EXPECT_TRUE(m_root.WriteFile(devicePath, QByteArray("ID3")));
        return m_root.Host(devicePath);
    }

    QStringList Read(const QByteArray& bytes)
    {
        EXPECT_TRUE(m_root.WriteFile(kListPath, bytes));
        QStringList playlist;
        m_lastResult = FillPlaylist(&playlist, kListPath);
        return playlist;
    }

    static QByteArray Utf16(const QString& text, bool swappedMark = false)
    {
        QByteArray bytes = swappedMark ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
        for (QChar c : text)
        {
            bytes.append(static_cast<char>(c.unicode() & 0xFF));
            bytes.append(static_cast<char>(c.unicode() >> 8));
        }
        return bytes;
    }

    static inline const QString kListPath = "\\My documents\\Vellumdeck Data\\list.vdl";
    TempDeviceRoot m_root;
    bool m_lastResult = false;
};

// Both marks read the lines as little-endian UTF-16; blank lines, white space around
// a path and names of missing files are all dropped, and the order is kept.
TEST_F(PlaylistFileTest, Utf16WithEitherMarkKeepsExistingPathsInOrder)
{
    const QString first = MakeRecording(QString::fromUtf16(u"\\My documents\\\uD55C\uAD6D\uC5B4 1.mp3"));
    const QString second = MakeRecording("\\My documents\\lesson 2.vds");
    const QString text = "  " + first + " \r\n\r\n \t \r\n/nowhere/missing.mp3\r\n\t" + second;
    for (bool swapped : {false, true})
    {
        EXPECT_EQ(Read(Utf16(text, swapped)), (QStringList{first, second})) << swapped;
        EXPECT_TRUE(m_lastResult);
    }
}

TEST_F(PlaylistFileTest, WithoutMarkLinesAreTextOfTheCodePage)
{
    CodePage::SetName("CP1252");
    const QString accented = MakeRecording(QString::fromUtf16(u"\\My documents\\caf\u00E9.mp3"));
    const QString plain = MakeRecording("\\My documents\\plain.mp3");
    const QByteArray bytes = CodePage::FromUnicode(accented) + "\r\n\r\n" + plain.toLatin1() + "\r\n";
    ASSERT_TRUE(bytes.contains('\xE9'));
    EXPECT_EQ(Read(bytes), (QStringList{accented, plain}));
    EXPECT_TRUE(m_lastResult);
}

TEST_F(PlaylistFileTest, DevicePathsAreCheckedThroughTheDeviceRootAndKeptAsWritten)
{
    MakeRecording("\\Storage Card\\Vellumdeck Data\\a.mp3");
    const QByteArray bytes = "\\Storage Card\\Vellumdeck Data\\a.mp3\r\n\\Storage Card\\gone.mp3\r\n";
    EXPECT_EQ(Read(bytes), QStringList{"\\Storage Card\\Vellumdeck Data\\a.mp3"});
}

// Paths on Linux easily pass the 261 characters a line once had room for.
TEST_F(PlaylistFileTest, LongLinesAreReadWholeInBothEncodings)
{
    const QString folder = "\\My documents\\" + QString(100, u'd') + "\\" + QString(100, u'e');
    QString name = folder + "\\" + QString(1, u'f') + ".mp3";
    const QString shortHost = m_root.Host(name);
    name = folder + "\\" + QString(300 - shortHost.size() + 1, u'f') + ".mp3";
    const QString host = MakeRecording(name);
    ASSERT_EQ(host.size(), 300);

    EXPECT_EQ(Read(host.toUtf8() + "\r\n"), QStringList{host});
    EXPECT_EQ(Read(Utf16(host + "\r\n")), QStringList{host});
}

// Lines that cross the reader's chunks arrive whole, in either encoding.
TEST_F(PlaylistFileTest, ManyLinesAcrossReadChunksAllArrive)
{
    const QString host = MakeRecording("\\My documents\\a.mp3");
    const int lines = 40000 / host.size() + 50;
    QString text;
    for (int i = 0; i < lines; ++i)
        text += (i % 2 ? " " : "") + host + "\r\n";
    EXPECT_EQ(Read(text.toUtf8()).size(), lines);
    EXPECT_EQ(Read(Utf16(text)).size(), lines);
}

TEST_F(PlaylistFileTest, LastLineNeedsNoLineFeed)
{
    const QString host = MakeRecording("\\My documents\\a.mp3");
    EXPECT_EQ(Read(host.toUtf8()), QStringList{host});
    EXPECT_EQ(Read(Utf16(host)), QStringList{host});
}

TEST_F(PlaylistFileTest, OnlyMissingOrTooShortFilesFail)
{
    EXPECT_TRUE(Read(QByteArray("x", 1)).isEmpty());
    EXPECT_FALSE(m_lastResult);
    EXPECT_TRUE(Read(QByteArray()).isEmpty());
    EXPECT_FALSE(m_lastResult);

    // Two bytes are enough: a mark alone, or a line of missing names, is an empty list.
    EXPECT_TRUE(Read(Utf16(QString())).isEmpty());
    EXPECT_TRUE(m_lastResult);
    EXPECT_TRUE(Read("/nowhere/a.mp3\r\n").isEmpty());
    EXPECT_TRUE(m_lastResult);

    QStringList playlist;
    EXPECT_FALSE(FillPlaylist(&playlist, m_root.Host("\\My documents\\absent.vdl")));
    EXPECT_TRUE(playlist.isEmpty());
}

}  // namespace
