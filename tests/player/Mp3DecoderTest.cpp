// The decoder: files without audio, the duration estimates, seeking, and mono frames
// in a stereo file. Channels, rates and samples are checked against other decoders
// in the accuracy tests.

#include "DecoderTestSupport.h"
#include "Mp3Decoder.h"
#include "TempDeviceRoot.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdlib>

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

TEST_F(Mp3DecoderTest, FilesWithoutAudioFailToOpenSilently)
{
    for (const char* name : {"empty.mp3", "text.mp3"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(m_decoder.Open(TestDataPath(name)));
        std::uint32_t bytes = kBlockBytes;
        std::int16_t block[kBlockBytes / 2];
        EXPECT_FALSE(m_decoder.Fill(block, &bytes));
        EXPECT_EQ(bytes, 0u);
    }
    EXPECT_TRUE(m_scope.boxes->Records().empty());
}

// A Xing frame count fixes the duration at once, and so does a constant bit rate;
// without either the first estimate (from the size at the first frame's rate) gives
// way to the average rate, and never ends before the position reached.
TEST_F(Mp3DecoderTest, DurationEstimates)
{
    const TrackInfo xing = OpenData("vbr-xing.mp3");
    ASSERT_GT(m_decoder.Xing().frames, 0u);
    EXPECT_EQ(xing.durationSeconds, static_cast<int>(m_decoder.Xing().frames * kFrameSamples / 44100));
    EXPECT_EQ(DurationAfterDecoding(), xing.durationSeconds);

    const TrackInfo cbr = OpenData("cbr-info.mp3");
    EXPECT_EQ(cbr.durationSeconds, QFileInfo(TestDataPath("cbr-info.mp3")).size() / 16000);
    EXPECT_EQ(DurationAfterDecoding(), cbr.durationSeconds);

    // Opens in quiet at 32 kbit/s, so the first estimate is far too long.
    const TrackInfo first = OpenData("vbr-noxing.mp3");
    ASSERT_EQ(first.kbps, 32);
    EXPECT_EQ(first.durationSeconds, QFileInfo(TestDataPath("vbr-noxing.mp3")).size() * 8 / 32000);
    const double decodedSeconds = double(DecodeFile(TestDataPath("vbr-noxing.mp3")).Frames()) / 44100;
    const int later = DurationAfterDecoding();
    EXPECT_NEAR(later, decodedSeconds, 1.0);
    EXPECT_LT(later, first.durationSeconds / 2);

    // A seek near the end of the too-long estimate, then the loud frames there: the
    // average says the file is shorter than where decoding is.
    OpenData("vbr-noxing.mp3");
    ASSERT_TRUE(m_decoder.Seek(9, 10));
    const int afterSeek = DurationAfterDecoding();
    EXPECT_GE(afterSeek, first.durationSeconds * 9 / 10);
    EXPECT_EQ(afterSeek, m_decoder.PositionSeconds());
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

    // Full scale reads from the end of the file; zero starts again, without priming.
    ASSERT_TRUE(m_decoder.Seek(info.durationSeconds, info.durationSeconds));
    EXPECT_EQ(m_decoder.PositionSeconds(), info.durationSeconds);
    EXPECT_EQ(DecodeRest(m_decoder).Frames(), 0u);
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

    // Without a table: half the bytes, less the two priming frames, the frame cut by
    // the offset and the one whose bit reservoir lies before the jump, give or take one.
    OpenData("cbr-info.mp3");
    ASSERT_TRUE(m_decoder.Seek(1, 2));
    const long rest = static_cast<long>(DecodeRest(m_decoder).Frames());
    const long expected = static_cast<long>(cbrTotal / 2 - 4 * kFrameSamples);
    EXPECT_LE(std::labs(rest - expected), static_cast<long>(kFrameSamples)) << rest - expected;
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

}  // namespace
