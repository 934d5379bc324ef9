// The decoder: files without audio, the duration estimates, seeking, and mono frames
// in a stereo file. Channels, rates and samples are checked against other decoders
// in the accuracy tests.

#include "DecoderTestSupport.h"
#include "Dither.h"
#include "Mp3Decoder.h"
#include "TempDeviceRoot.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr std::size_t kFrameSamples = 1152;
constexpr std::uint32_t kBlockBytes = 16384;

class Mp3DecoderTest : public ::testing::Test
{
protected:
    TrackInfo OpenData(const QString& name)
    {
        TrackInfo info;
        EXPECT_TRUE(m_decoder.Open(TestDataPath(name))) << name.toStdString();
        m_decoder.GetTrackInfo(&info);
        return info;
    }

    int DurationAfterDecoding()
    {
        DecodeRest(m_decoder);
        TrackInfo later;
        EXPECT_TRUE(m_decoder.GetTrackInfo(&later));
        return later.durationSeconds;
    }

    ScopedBoxes m_scope;
    CMp3Decoder m_decoder;
};

// A file that is not a recording says so, naming it; nothing is decoded from it.
TEST_F(Mp3DecoderTest, FilesWithoutAudioFailToOpenNamingTheFile)
{
    for (const char* name : {"empty.mp3", "text.mp3"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(m_decoder.Open(TestDataPath(name)));
        std::uint32_t bytes = kBlockBytes;
        std::int16_t block[kBlockBytes / 2];
        EXPECT_FALSE(m_decoder.Fill(block, &bytes));
        EXPECT_EQ(bytes, 0u);
    }
    const auto& boxes = m_scope.boxes->Records();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Cannot play \"empty.mp3\":\nThe file is empty."));
    EXPECT_EQ(boxes[1].text, QStringLiteral("Cannot play \"text.mp3\":\nIt holds no MP3 audio."));
    EXPECT_EQ(boxes[1].caption, QStringLiteral("Error"));
}

// A short file's duration is what its frames say, at open and after; a file longer
// than the index reads at open starts from its size at the first frame's rate, which
// gives way to the average rate of the frames decoded.
TEST_F(Mp3DecoderTest, DurationEstimates)
{
    for (const char* name : {"vbr-xing.mp3", "cbr-info.mp3", "vbr-noxing.mp3"}) {
        SCOPED_TRACE(name);
        const auto decodedSeconds = static_cast<int>(DecodeFile(TestDataPath(name)).Frames() / 44100);
        EXPECT_EQ(OpenData(name).durationSeconds, decodedSeconds);
        EXPECT_EQ(DurationAfterDecoding(), decodedSeconds);
    }

    // A recording longer than the index reads at open, opening in quiet at 32 kbit/s:
    // the first estimate is far too long, the average of the frames decoded corrects it.
    TempDeviceRoot root;
    const QByteArray once = ReadTestData("vbr-noxing.mp3");
    QByteArray longer;
    while (longer.size() < qsizetype(2 * CMp3Decoder::kIndexAtOpen))
        longer += once;
    ASSERT_TRUE(root.WriteFile("\\long.mp3", longer));
    const QString path = root.Host("\\long.mp3");
    const double decodedSeconds = double(DecodeFile(path).Frames()) / 44100;
    ASSERT_TRUE(m_decoder.Open(path));
    TrackInfo first;
    m_decoder.GetTrackInfo(&first);
    ASSERT_EQ(first.kbps, 32);
    EXPECT_EQ(first.durationSeconds, longer.size() * 8 / 32000);
    const int later = DurationAfterDecoding();
    EXPECT_NEAR(later, decodedSeconds, 1.0);
    EXPECT_LT(later, first.durationSeconds / 2);
}

TEST_F(Mp3DecoderTest, SeekLandsAtTheFractionThroughTheTableOrTheSize)
{
    EXPECT_FALSE(CMp3Decoder().Seek(0, 1)) << "closed";
    const std::size_t vbrTotal = DecodeFile(TestDataPath("vbr-xing.mp3")).Frames();
    const TrackInfo info = OpenData("vbr-xing.mp3");
    ASSERT_TRUE(m_decoder.Xing().flags & 0x4);
    ASSERT_TRUE(m_decoder.Seek(50, 100));
    const std::size_t half = DecodeRest(m_decoder).Frames();
    EXPECT_GT(half, vbrTotal * 4 / 10);
    EXPECT_LT(half, vbrTotal * 6 / 10);

    // Full scale reads the last frame at most (the Xing count leaves out the header
    // frame); zero starts again, without priming.
    ASSERT_TRUE(m_decoder.Seek(info.durationSeconds, info.durationSeconds));
    EXPECT_EQ(m_decoder.PositionSeconds(), info.durationSeconds);
    EXPECT_LE(DecodeRest(m_decoder).Frames(), kFrameSamples);
    ASSERT_TRUE(m_decoder.Seek(0, 3));
    EXPECT_EQ(m_decoder.PositionSeconds(), 0);
    EXPECT_EQ(DecodeRest(m_decoder).Frames(), vbrTotal);

    // Bad arguments change nothing.
    const std::size_t cbrTotal = DecodeFile(TestDataPath("cbr-info.mp3")).Frames();
    OpenData("cbr-info.mp3");
    std::int16_t block[kBlockBytes / 2];
    std::uint32_t bytes = kBlockBytes;
    ASSERT_TRUE(m_decoder.Fill(block, &bytes));
    const int position = m_decoder.PositionSeconds();
    EXPECT_FALSE(m_decoder.Seek(1, 0));
    EXPECT_FALSE(m_decoder.Seek(-1, 10));
    EXPECT_FALSE(m_decoder.Seek(5, -3));
    EXPECT_EQ(m_decoder.PositionSeconds(), position);
    EXPECT_EQ(bytes / 4 + DecodeRest(m_decoder).Frames(), cbrTotal);
}

TEST_F(Mp3DecoderTest, MonoFramesInAStereoFileFillBothChannels)
{
    // Two and a half seconds of 440 Hz left and 660 Hz right, then a mono sweep.
    ASSERT_EQ(OpenData("stereo-then-mono.mp3").stereo, 1);
    const DecodedPcm pcm = DecodeRest(m_decoder);
    const std::size_t stereoEnd = 44100 * 2;        // well inside the stereo part
    const std::size_t monoStart = 44100 * 3;        // well inside the mono part
    ASSERT_GT(pcm.Frames(), monoStart + 44100);
    int stereoDifference = 0;
    int monoDifference = 0;
    for (std::size_t i = 0; i < pcm.Frames(); ++i) {
        const int difference = std::abs(pcm.samples[2 * i] - pcm.samples[2 * i + 1]);
        if (i < stereoEnd)
            stereoDifference = std::max(stereoDifference, difference);
        else if (i >= monoStart)
            monoDifference = std::max(monoDifference, difference);
    }
    EXPECT_GT(stereoDifference, 1000);
    EXPECT_LE(monoDifference, 8);   // only the two channels' own dither differs
}

constexpr std::uint32_t kOneFrameBytes = 576 * 2;   // speech22.mp3: 22.05 kHz mono

// A recording cut out of a longer one: its first frame's data begins in the bit
// reservoir of frames that are not there, so it is passed over. After the decoder
// has played some of the recording, a seek to its start must find it as a fresh
// decoder does, not decode that frame from what the reservoir kept of the end.
TEST(Mp3DecoderSeekTest, WhatPlaysAfterASeekDoesNotDependOnWhatPlayedBefore)
{
    ScopedBoxes boxes;
    TempDeviceRoot root;
    const QByteArray plain = ReadTestData("speech22.mp3");
    CMp3Decoder whole;
    ASSERT_TRUE(whole.Open(TestDataPath("speech22.mp3")));
    ASSERT_GT(whole.Index().Count(), 100u);
    // Frame 9 of this recording takes 36 bytes from the reservoir.
    ASSERT_TRUE(root.WriteFile(QStringLiteral("\\cut.mp3"), plain.mid(qsizetype(whole.Index().OffsetOf(9)))));
    const QString path = root.Host(QStringLiteral("\\cut.mp3"));

    Dither::ResetAll();
    const DecodedPcm fresh = DecodeFile(path);
    ASSERT_GT(fresh.Frames(), 0u);

    // One frame played (frame 1, as frame 0 is passed over): the reservoir now holds
    // the 65 bytes that frame 2 takes from it, more than the 36 of frame 0.
    CMp3Decoder used;
    ASSERT_TRUE(used.Open(path));
    std::vector<std::uint8_t> buffer(kOneFrameBytes);
    std::uint32_t bytes = kOneFrameBytes;
    ASSERT_TRUE(used.Fill(buffer.data(), &bytes));
    for (std::int64_t at : {std::int64_t(0), std::int64_t(100)}) {
        SCOPED_TRACE(at);
        ASSERT_TRUE(used.SeekToSample(at));
        Dither::ResetAll();
        const DecodedPcm again = DecodeRest(used);
        Dither::ResetAll();
        CMp3Decoder other;
        ASSERT_TRUE(other.Open(path));
        ASSERT_TRUE(other.SeekToSample(at));
        EXPECT_TRUE(again.samples == DecodeRest(other).samples) << again.Frames() << " sample frames";
    }
    EXPECT_EQ(fresh.Frames(), DecodeFile(path).Frames());
}


// Free format: the bit rate is not in the header, libmad measures it from the distance
// to the next frame and keeps it. Here ten silent frames of 200 bytes (44.1 kHz), then
// frames of another stream (48 kHz) of 300 bytes, passed over, each measured anew.
// Once the decoder has been through them, a seek to the start must measure the first
// frame afresh, or it steps by 300 bytes and loses the frame after it.
TEST(Mp3DecoderSeekTest, AFreeFormatRateMeasuredLaterDoesNotStepTheStart)
{
    ScopedBoxes boxes;
    TempDeviceRoot root;
    constexpr int kFrames = 10;
    constexpr std::size_t kSamplesPerFrame = 1152;   // MPEG-1 layer III
    QByteArray bytes;
    for (int i = 0; i < kFrames; ++i)
        bytes += QByteArray("\xFF\xFB\x00\xC4", 4) + QByteArray(196, '\0');   // bit rate index 0: free
    for (int i = 0; i < kFrames; ++i)
        bytes += QByteArray("\xFF\xFB\x04\xC4", 4) + QByteArray(296, '\0');
    ASSERT_TRUE(root.WriteFile(QStringLiteral("\\free.mp3"), bytes));
    const QString path = root.Host(QStringLiteral("\\free.mp3"));

    CMp3Decoder fresh;
    ASSERT_TRUE(fresh.Open(path));
    ASSERT_TRUE(fresh.SeekToSample(0));
    EXPECT_EQ(DecodeRest(fresh).Frames(), kFrames * kSamplesPerFrame);

    CMp3Decoder used;
    ASSERT_TRUE(used.Open(path));
    DecodeRest(used);
    ASSERT_TRUE(used.SeekToSample(0));
    EXPECT_EQ(DecodeRest(used).Frames(), kFrames * kSamplesPerFrame);
}

}  // namespace
