// The decoder: opening, the duration estimates, seeking, and what Fill writes.

#include "DecoderTestSupport.h"
#include "Mp3Decoder.h"
#include "RecordingMessageBoxPresenter.h"
#include "SystemError.h"
#include "TempDeviceRoot.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

namespace {

constexpr std::size_t kFrameSamples = 1152;
constexpr std::uint32_t kBlockBytes = 16384;
constexpr int kXingOffsetStereo = 36;     // after the header and the side information
constexpr int kXingTocOffset = kXingOffsetStereo + 16;   // "Xing", flags, frames, bytes
constexpr int kXingTocSize = 100;

class Mp3DecoderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto recorder = std::make_unique<RecordingMessageBoxPresenter>();
        m_boxes = recorder.get();
        m_previousPresenter = SetMessageBoxPresenter(std::move(recorder));
    }

    void TearDown() override { SetMessageBoxPresenter(std::move(m_previousPresenter)); }

    TrackInfo OpenData(const QString& name)
    {
        TrackInfo info;
        EXPECT_TRUE(m_decoder.Open(TestDataPath(name))) << name.toStdString();
        m_decoder.GetTrackInfo(&info);
        return info;
    }

    static std::int64_t SizeOf(const QString& name) { return QFileInfo(TestDataPath(name)).size(); }

    TempDeviceRoot m_root;
    CMp3Decoder m_decoder;
    RecordingMessageBoxPresenter* m_boxes = nullptr;
    std::unique_ptr<MessageBoxPresenter> m_previousPresenter;
};

struct HeaderCase
{
    const char* file;
    int sampleRate;
    int stereo;
    int kbps;          // 0: not checked (a VBR header frame's rate means nothing)
    std::uint32_t xingFlags;
};

TEST_F(Mp3DecoderTest, OpenTakesTheFirstUsableHeader)
{
    const HeaderCase cases[] = {
        {"cbr-info.mp3", 44100, 1, 128, 0},   // "Info" is not read as a Xing header
        {"vbr-xing.mp3", 44100, 1, 0, 0xF},
        {"mono.mp3", 44100, 0, 64, 0},
        {"mpeg2-22050.mp3", 22050, 1, 64, 0},
        {"id3v2.mp3", 44100, 1, 128, 0},     // the tag is longer than the first read
        {"leading-garbage.mp3", 44100, 1, 128, 0},
        {"truncated.mp3", 44100, 1, 128, 0},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.file);
        const TrackInfo info = OpenData(c.file);
        EXPECT_EQ(info.sampleRate, c.sampleRate);
        EXPECT_EQ(info.stereo, c.stereo);
        EXPECT_EQ(info.sixteenBit, 1);
        if (c.kbps) {
            EXPECT_EQ(info.kbps, c.kbps);
        }
        EXPECT_EQ(m_decoder.Xing().flags, c.xingFlags);
    }
    EXPECT_TRUE(m_boxes->Records().empty());
}

TEST_F(Mp3DecoderTest, MissingFileShowsTheSystemErrorUnderCaptionError)
{
    EXPECT_FALSE(m_decoder.Open(m_root.Host("\\My documents\\absent.mp3")));
    EXPECT_FALSE(m_decoder.IsOpen());
    const auto boxes = m_boxes->Records();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(boxes[0].text, SystemError::Text(ENOENT));
    EXPECT_EQ(boxes[0].flags, MB_ICONINFORMATION);
}

TEST_F(Mp3DecoderTest, FilesWithoutAudioFailToOpenSilently)
{
    for (const char* name : {"empty.mp3", "text.mp3"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(m_decoder.Open(TestDataPath(name)));
        EXPECT_FALSE(m_decoder.IsOpen());
        std::uint32_t bytes = kBlockBytes;
        std::int16_t block[kBlockBytes / 2];
        EXPECT_FALSE(m_decoder.Fill(block, &bytes));
        EXPECT_EQ(bytes, 0u);
    }
    EXPECT_TRUE(m_boxes->Records().empty());
}

TEST_F(Mp3DecoderTest, XingFrameCountFixesTheDuration)
{
    const TrackInfo first = OpenData("vbr-xing.mp3");
    const auto expected = static_cast<int>(m_decoder.Xing().frames * kFrameSamples / 44100);
    EXPECT_GT(m_decoder.Xing().frames, 0u);
    EXPECT_EQ(first.durationSeconds, expected);

    DecodeRest(m_decoder);
    TrackInfo later;
    m_decoder.GetTrackInfo(&later);
    EXPECT_EQ(later.durationSeconds, expected);
}

TEST_F(Mp3DecoderTest, DurationWithoutXingComesFromSizeThenAverageBitRate)
{
    // Opens in quiet at 32 kbit/s, so the first estimate is far too long.
    const std::int64_t size = SizeOf("vbr-noxing.mp3");
    const TrackInfo first = OpenData("vbr-noxing.mp3");
    ASSERT_EQ(first.kbps, 32);
    EXPECT_EQ(first.durationSeconds, size * 8 / 32000);

    const DecodedPcm pcm = DecodeRest(m_decoder);
    TrackInfo later;
    EXPECT_TRUE(m_decoder.GetTrackInfo(&later));
    const double decodedSeconds = double(pcm.Frames()) / pcm.sampleRate;
    EXPECT_NEAR(later.durationSeconds, decodedSeconds, 1.0);
    EXPECT_LT(later.durationSeconds, first.durationSeconds / 2);
}

TEST_F(Mp3DecoderTest, ConstantBitRateEstimateHoldsAfterDecoding)
{
    const std::int64_t size = SizeOf("cbr-info.mp3");
    const TrackInfo first = OpenData("cbr-info.mp3");
    EXPECT_EQ(first.durationSeconds, size / 16000);
    DecodeRest(m_decoder);
    TrackInfo later;
    m_decoder.GetTrackInfo(&later);
    EXPECT_EQ(later.durationSeconds, first.durationSeconds);
}

TEST_F(Mp3DecoderTest, DurationNeverEndsBeforeThePosition)
{
    // A seek near the estimated end of the too-long first estimate, then the loud
    // frames there: the average says the file is shorter than where decoding is.
    const TrackInfo first = OpenData("vbr-noxing.mp3");
    ASSERT_TRUE(m_decoder.Seek(9, 10));
    DecodeRest(m_decoder);
    TrackInfo later;
    m_decoder.GetTrackInfo(&later);
    EXPECT_GE(later.durationSeconds, first.durationSeconds * 9 / 10);
    EXPECT_EQ(later.durationSeconds, m_decoder.PositionSeconds());
}

TEST_F(Mp3DecoderTest, SeekRejectsBadArgumentsAndChangesNothing)
{
    CMp3Decoder closed;
    EXPECT_FALSE(closed.Seek(0, 1));

    const std::size_t total = DecodeFile(TestDataPath("cbr-info.mp3")).Frames();
    OpenData("cbr-info.mp3");
    std::int16_t block[kBlockBytes / 2];
    std::uint32_t bytes = kBlockBytes;
    ASSERT_TRUE(m_decoder.Fill(block, &bytes));
    const int position = m_decoder.PositionSeconds();

    EXPECT_FALSE(m_decoder.Seek(1, 0));
    EXPECT_FALSE(m_decoder.Seek(-1, 10));
    EXPECT_FALSE(m_decoder.Seek(5, -3));
    EXPECT_EQ(m_decoder.PositionSeconds(), position);
    EXPECT_EQ(bytes / 4 + DecodeRest(m_decoder).Frames(), total);
}

TEST_F(Mp3DecoderTest, SeekToZeroStartsAgainWithoutPriming)
{
    OpenData("vbr-xing.mp3");
    const std::size_t total = DecodeRest(m_decoder).Frames();
    ASSERT_TRUE(m_decoder.Seek(0, 3));
    EXPECT_EQ(m_decoder.PositionSeconds(), 0);
    EXPECT_EQ(DecodeRest(m_decoder).Frames(), total);
}

TEST_F(Mp3DecoderTest, SeekToFullScaleWithTocReadsFromTheEndOfFile)
{
    const TrackInfo info = OpenData("vbr-xing.mp3");
    ASSERT_TRUE(m_decoder.Xing().flags & 0x4);
    ASSERT_TRUE(m_decoder.Seek(info.durationSeconds, info.durationSeconds));
    EXPECT_EQ(m_decoder.PositionSeconds(), info.durationSeconds);
    std::int16_t block[kBlockBytes / 2];
    std::uint32_t bytes = kBlockBytes;
    EXPECT_FALSE(m_decoder.Fill(block, &bytes));
    EXPECT_EQ(bytes, 0u);
}

TEST_F(Mp3DecoderTest, SeekMapsTimeToBytesThroughTheTable)
{
    const std::size_t total = DecodeFile(TestDataPath("vbr-xing.mp3")).Frames();

    OpenData("vbr-xing.mp3");
    ASSERT_TRUE(m_decoder.Seek(50, 100));
    const std::size_t half = DecodeRest(m_decoder).Frames();
    EXPECT_GT(half, total * 4 / 10);
    EXPECT_LT(half, total * 6 / 10);

    // With every entry 0 the middle lies at byte 0: all but the two priming frames.
    const QString copy = CopyToTemp("vbr-xing.mp3", m_root.Path());
    QFile file(copy);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(kXingTocOffset);
    file.write(QByteArray(kXingTocSize, '\0'));
    file.close();
    ASSERT_TRUE(m_decoder.Open(copy));
    ASSERT_TRUE(m_decoder.Seek(50, 100));
    EXPECT_EQ(DecodeRest(m_decoder).Frames(), total - 2 * kFrameSamples);
}

TEST_F(Mp3DecoderTest, SeekWithoutTocTakesTheFractionOfTheSize)
{
    const std::size_t total = DecodeFile(TestDataPath("cbr-info.mp3")).Frames();
    OpenData("cbr-info.mp3");
    ASSERT_TRUE(m_decoder.Seek(1, 2));
    // Half the bytes, less the two priming frames, the frame cut by the offset and
    // the one whose bit reservoir lies before the jump, give or take one.
    const long rest = static_cast<long>(DecodeRest(m_decoder).Frames());
    const long expected = static_cast<long>(total / 2 - 4 * kFrameSamples);
    EXPECT_LE(std::labs(rest - expected), static_cast<long>(kFrameSamples)) << rest - expected;
}

TEST_F(Mp3DecoderTest, FillWritesWholeSampleFramesOnly)
{
    unsigned char block[16] = {};
    OpenData("tone-stereo.mp3");
    std::uint32_t bytes = 7;
    EXPECT_TRUE(m_decoder.Fill(block, &bytes));
    EXPECT_EQ(bytes, 4u);
    bytes = 3;
    EXPECT_TRUE(m_decoder.Fill(block, &bytes));
    EXPECT_EQ(bytes, 0u);

    OpenData("mono.mp3");
    bytes = 7;
    EXPECT_TRUE(m_decoder.Fill(block, &bytes));
    EXPECT_EQ(bytes, 6u);
}

TEST_F(Mp3DecoderTest, EndOfDataReportsTheBytesOfTheLastCall)
{
    const std::size_t total = DecodeWithMpg123(TestDataPath("tone-stereo.mp3")).Frames();
    OpenData("tone-stereo.mp3");
    std::int16_t block[kBlockBytes / 2];
    std::size_t frames = 0;
    std::uint32_t bytes = kBlockBytes;
    while (m_decoder.Fill(block, &bytes)) {
        frames += bytes / 4;
        bytes = kBlockBytes;
    }
    EXPECT_GT(bytes, 0u);
    EXPECT_LT(bytes, kBlockBytes);
    EXPECT_EQ(frames + bytes / 4, total);

    bytes = kBlockBytes;
    EXPECT_FALSE(m_decoder.Fill(block, &bytes));
    EXPECT_EQ(bytes, 0u);
}

TEST_F(Mp3DecoderTest, MonoFramesInAStereoFileFillBothChannels)
{
    // Two and a half seconds of 440 Hz left and 660 Hz right, then a mono sweep.
    const TrackInfo info = OpenData("stereo-then-mono.mp3");
    ASSERT_EQ(info.stereo, 1);
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
