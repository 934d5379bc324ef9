// SPDX-License-Identifier: GPL-2.0-or-later
#include "CodePage.h"
#include "LittleEndian.h"
#include "Playlist.h"
#include "TempDeviceRoot.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

TEST(ClassifyTest, KindFollowsTheLastFourCharactersWithoutRegardToCase)
{
    for (const char* path : {"\\My documents\\B.MP3", "c.Mp3", "LESSON.VDS"})
        EXPECT_EQ(Classify(QString::fromUtf8(path)), MEDIA_RECORDING) << path;
    EXPECT_EQ(Classify("LIST.vdl"), MEDIA_PLAYLIST);
    for (const char* path : {".mp3", ".vdl", "", "a.mp4", "a.vdl.bak", "xmp3"})
        EXPECT_EQ(Classify(QString::fromUtf8(path)), MEDIA_NOT_PLAYABLE) << path;
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

    // The list read from a playlist of these bytes, and whether reading it succeeded.
    void ExpectRead(const QByteArray& bytes, const QStringList& expected, bool succeeds = true)
    {
        EXPECT_TRUE(m_root.WriteFile(kListPath, bytes));
        QStringList playlist;
        EXPECT_EQ(FillPlaylist(&playlist, kListPath), succeeds);
        EXPECT_EQ(playlist, expected);
    }

    static QByteArray Utf16(const QString& text, bool swappedMark = false)
    {
        QByteArray bytes = swappedMark ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
        for (QChar c : text)
            LittleEndian::Append(bytes, std::uint16_t(c.unicode()));
        return bytes;
    }

    static inline const QString kListPath = "\\My documents\\Vellumdeck Data\\list.vdl";
    TempDeviceRoot m_root;
};

// Both marks read the lines as little-endian UTF-16, and without a mark lines are text
// of the code page; blank lines, white space around a path and names of missing files
// are all dropped, and the order is kept. Device paths are checked through the device
// root and kept as written.
TEST_F(PlaylistFileTest, KeepsExistingPathsInOrderInEachEncoding)
{
    CodePage::SetName("CP1252");
    const QString first = MakeRecording(QString::fromUtf16(u"\\My documents\\\uD55C\uAD6D\uC5B4 1.mp3"));
    const QString second = MakeRecording("\\My documents\\lesson 2.vds");
    const QString text = "  " + first + " \r\n\r\n \t \r\n/nowhere/missing.mp3\r\n\t" + second;
    for (bool swapped : {false, true}) {
        SCOPED_TRACE(swapped);
        ExpectRead(Utf16(text, swapped), {first, second});
    }
    const QString accented = MakeRecording(QString::fromUtf16(u"\\My documents\\caf\u00E9.mp3"));
    const QByteArray bytes = CodePage::FromUnicode(accented) + "\r\n\r\n" + second.toLatin1() + "\r\n";
    ASSERT_TRUE(bytes.contains('\xE9'));
    ExpectRead(bytes, {accented, second});

    MakeRecording("\\Storage Card\\Vellumdeck Data\\a.mp3");
    ExpectRead("\\Storage Card\\Vellumdeck Data\\a.mp3\r\n\\Storage Card\\gone.mp3\r\n",
               {"\\Storage Card\\Vellumdeck Data\\a.mp3"});
}

// Paths on Linux easily pass the 261 characters a line once had room for; lines that
// cross the reader's chunks arrive whole; the last line needs no line feed. In
// either encoding.
TEST_F(PlaylistFileTest, LongLinesManyLinesAndAnUnendedLastLineArriveWhole)
{
    const QString folder = "\\My documents\\" + QString(100, u'd') + "\\" + QString(100, u'e');
    const QString shortHost = m_root.Host(folder + "\\f.mp3");
    const QString host = MakeRecording(folder + "\\" + QString(300 - shortHost.size() + 1, u'f') + ".mp3");
    ASSERT_EQ(host.size(), 300);
    const int lines = 40000 / host.size() + 50;
    QString text;
    for (int i = 0; i < lines; ++i)
        text += (i % 2 ? " " : "") + host + "\r\n";
    text += host;
    ExpectRead(text.toUtf8(), QStringList(lines + 1, host));
    ExpectRead(Utf16(text), QStringList(lines + 1, host));
}

// Two bytes are enough: a mark alone, or a line of missing names, is an empty list.
// A recording is its own playlist, and a path of another kind gives none.
TEST_F(PlaylistFileTest, OnlyMissingOrTooShortFilesFail)
{
    ExpectRead(QByteArray("x", 1), {}, false);
    ExpectRead(QByteArray(), {}, false);
    ExpectRead(Utf16(QString()), {});
    ExpectRead("/nowhere/a.mp3\r\n", {});

    QStringList playlist;
    EXPECT_FALSE(FillPlaylist(&playlist, m_root.Host("\\My documents\\absent.vdl")));
    EXPECT_TRUE(playlist.isEmpty());
    EXPECT_TRUE(FillPlaylist(&playlist, "/nowhere/notes.txt"));
    EXPECT_TRUE(playlist.isEmpty());
    EXPECT_TRUE(FillPlaylist(&playlist, "/nowhere/lesson.MP3"));
    EXPECT_EQ(playlist, QStringList{"/nowhere/lesson.MP3"});
}

}  // namespace
