// SPDX-License-Identifier: GPL-2.0-or-later
// Recordings that are not what their name promises: folders, files nobody may read,
// empty files, files cut short, files that hold no MP3 at all (among them four
// gibibytes of zeros), and a playlist that names itself. Each must fail or end
// cleanly, naming the file and saying why (the system's error text where it cannot be
// opened), and without reading more of a file than finding out takes.

#include "DecoderTestSupport.h"
#include "Mp3Decoder.h"
#include "Playlist.h"
#include "SystemError.h"
#include "TempDeviceRoot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <unistd.h>

namespace {

// Far more than any header scan needs, far less than the file.
constexpr std::uint64_t kScanReadLimit = std::uint64_t(64) << 20;
const QString kNoAudio = QStringLiteral("It holds no MP3 audio.");

// Bytes this process has read through system calls so far (the kernel's count, on
// the first line, "rchar:").
std::uint64_t BytesReadSoFar()
{
    std::ifstream io("/proc/self/io");
    std::string field;
    std::uint64_t value = 0;
    io >> field >> value;
    return value;
}

class BadRecordingTest : public ::testing::Test
{
protected:
    QString Host(const char* name) const { return m_root.Path() + QLatin1Char('/') + QLatin1String(name); }

    // sparse: extended to four gibibytes of zeros, which use no disk and cost none to read.
    QString WriteFile(const char* name, const QByteArray& bytes, bool sparse = false) const
    {
        QFile file(Host(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        EXPECT_TRUE(!sparse || file.resize(std::int64_t(4) << 30));
        return file.fileName();
    }

    // Opening fails with one box under "Error", the file's name and the reason, and
    // leaves nothing to play.
    void ExpectOpenFailsWith(const QString& path, const QString& reason)
    {
        m_scope.boxes->Clear();
        EXPECT_FALSE(m_decoder.Open(path));
        EXPECT_FALSE(m_decoder.IsOpen());
        const auto boxes = m_scope.boxes->Records();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Cannot play \"" + QFileInfo(path).fileName() + "\":\n" + reason);
        EXPECT_EQ(boxes[0].caption, QStringLiteral("Error"));
        EXPECT_EQ(boxes[0].flags, MB_ICONINFORMATION);
        ExpectNoMoreData();
    }
    void ExpectOpenFailsWith(const QString& path, int error) { ExpectOpenFailsWith(path, SystemError::Text(error)); }

    void ExpectNoMoreData()
    {
        std::uint32_t bytes = 16384;
        std::int16_t block[8192];
        EXPECT_FALSE(m_decoder.Fill(block, &bytes));
        EXPECT_EQ(bytes, 0u);
    }

    TempDeviceRoot m_root;
    ScopedBoxes m_scope;
    CMp3Decoder m_decoder;
};

TEST_F(BadRecordingTest, PathsThatCannotBeOpenedShowTheSystemsReason)
{
    ASSERT_TRUE(QDir().mkpath(Host("folder.mp3")));
    ExpectOpenFailsWith(Host("folder.mp3"), EISDIR);
    // Unreadable whoever runs the test, root included: a link that leads to itself,
    // and a name below a plain file.
    ASSERT_EQ(::symlink("loop.mp3", Host("loop.mp3").toLocal8Bit().constData()), 0);
    ExpectOpenFailsWith(Host("loop.mp3"), ELOOP);
    ExpectOpenFailsWith(WriteFile("plain", "x") + "/inside.mp3", ENOTDIR);
    if (::geteuid() != 0) {   // root reads any file
        const QString locked = WriteFile("locked.mp3", ReadTestData("speech.mp3").left(4096));
        ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::Permissions()));
        ExpectOpenFailsWith(locked, EACCES);
    }
}

// An empty file; text; binary data in which no frame sync can appear (a sync needs an
// 0xFF byte); the start of a frame and nothing more of it; four gibibytes of zeros,
// read only in part.
TEST_F(BadRecordingTest, FilesWithoutAnyFrameFailNamingTheFile)
{
    QByteArray noSync(65536, '\0');
    for (int i = 0; i < noSync.size(); ++i)
        noSync[i] = char((i * 31 + 7) % 0xFF);
    const std::pair<QString, QString> cases[] = {
        {TestDataPath("empty.mp3"), QStringLiteral("The file is empty.")},
        {TestDataPath("text.mp3"), kNoAudio},
        {WriteFile("binary.mp3", noSync), kNoAudio},
        {WriteFile("cut.mp3", ReadTestData("tone-stereo.mp3").left(100)), kNoAudio},
        {WriteFile("zeros.mp3", {}, true), kNoAudio},
    };
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path.toStdString());
        const std::uint64_t before = BytesReadSoFar();
        ExpectOpenFailsWith(path, reason);
        EXPECT_LT(BytesReadSoFar() - before, kScanReadLimit);
    }
}

// A few frames (128 kbit/s at 44100 Hz: 417 or 418 bytes each), then the file cut in
// a frame, or gibibytes of zeros: the frames play, and then the recording ends, also
// after a seek into the zeros, without reading them all.
TEST_F(BadRecordingTest, FramesFollowedByACutOrByGibibytesOfZerosPlayAndEnd)
{
    for (const int frames : {5, 10}) {
        SCOPED_TRACE(frames);
        const bool zeros = frames == 10;
        const QByteArray head = ReadTestData("tone-stereo.mp3").left(frames * 417 + (zeros ? 0 : 200));
        std::uint64_t before = BytesReadSoFar();
        ASSERT_TRUE(m_decoder.Open(WriteFile(zeros ? "zeros.mp3" : "cut.mp3", head, zeros)));
        const std::size_t played = DecodeRest(m_decoder).Frames();
        EXPECT_GT(played, 0u);
        EXPECT_LE(played, frames * 1152u);
        ExpectNoMoreData();
        EXPECT_LT(BytesReadSoFar() - before, kScanReadLimit);
        if (!zeros)
            continue;
        before = BytesReadSoFar();
        m_decoder.Seek(1, 2);
        ExpectNoMoreData();
        EXPECT_LT(BytesReadSoFar() - before, kScanReadLimit);
    }
}

TEST_F(BadRecordingTest, PlaylistNamingItselfIsReadOnceAndItsEntryFailsToPlay)
{
    const QString list = Host("self.vdl");
    const QString recording = WriteFile("one.mp3", ReadTestData("speech.mp3").left(4096));
    WriteFile("self.vdl", (list + "\r\n" + recording + "\r\n" + list + "\r\n").toLocal8Bit());
    QStringList playlist;
    ASSERT_TRUE(FillPlaylist(&playlist, list));
    EXPECT_EQ(playlist, QStringList({list, recording, list})) << "a playlist line is a path, never read again";
    ExpectOpenFailsWith(list, kNoAudio);
}

}  // namespace
