// SPDX-License-Identifier: GPL-2.0-or-later
// A recording of free bit rate, whose headers give no rate: libmad measures it from
// where the next header lies. The decoder, the frame index and what is heard must
// agree on its frames wherever the rate was last measured, so that a seek or a jump
// plays the frames the index counts and the heard sample stays in the recording;
// and on the frames of any stream wherever their buffers end.

#include "DecoderTestSupport.h"
#include "Mp3Decoder.h"
#include "PlaybackStream.h"
#include "TempDeviceRoot.h"
#include "TrackInfo.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

// MPEG-1 layer II, 48 kHz mono, free rate; a body of zeros allocates no bits and
// plays as silence. 384 bytes a frame measure 128 kbps, 300 bytes 100 kbps.
const QByteArray kFreeHeader("\xFF\xFD\x04\xC0", 4);
constexpr int kFrameBytes = 384;
constexpr int kOtherRateBytes = 300;
constexpr int kFrames = 24;
constexpr int kSamplesPerFrame = 1152;
constexpr int kSoughtFrame = 10;

// kFrames frames at 128 kbps, then damage and frames at 100 kbps, where libmad
// measures the rate again after the damage. From frame 7 on, headers 300 bytes
// apart lie inside the frames' bodies: a decoder that went on at the rate measured
// last would take them for frames when it starts again at frame 7, which a seek to
// frame 10 does to rebuild what the decoding of frame 10 needs.
QByteArray FreeRateRecording()
{
    QByteArray bytes;
    for (int i = 0; i < kFrames; ++i)
        bytes += kFreeHeader + QByteArray(kFrameBytes - kFreeHeader.size(), '\0');
    for (int at = 7 * kFrameBytes + kOtherRateBytes; at < 20 * kFrameBytes; at += kOtherRateBytes)
        bytes.replace(at, kFreeHeader.size(), kFreeHeader);
    bytes += QByteArray(50, '\x55');
    for (int i = 0; i < 8; ++i)
        bytes += kFreeHeader + QByteArray(kOtherRateBytes - kFreeHeader.size(), '\0');
    return bytes;
}

class FreeBitRateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.WriteFile(QStringLiteral("\\free.mp3"), FreeRateRecording()));
        ASSERT_TRUE(m_decoder.Open(m_root.Host(QStringLiteral("\\free.mp3"))));
        ASSERT_TRUE(m_decoder.IndexAhead(CFrameIndex::kChunkSize));
    }

    std::int64_t IndexedSamples() const { return std::int64_t(m_decoder.Index().Count()) * kSamplesPerFrame; }

    ScopedBoxes m_boxes;
    TempDeviceRoot m_root;
    CMp3Decoder m_decoder;
};

// The frames at another rate behind the damage are no frames of this stream: the
// index does not count them and they do not play. Played to the end and sought back
// into, the recording plays exactly the frames the index counts from there.
TEST_F(FreeBitRateTest, ASeekBackPlaysTheFramesTheIndexCounts)
{
    EXPECT_EQ(m_decoder.Index().Count(), std::size_t(kFrames));
    const DecodedPcm whole = DecodeRest(m_decoder);
    EXPECT_EQ(std::int64_t(whole.Frames()), IndexedSamples());
    TrackInfo info;
    ASSERT_TRUE(m_decoder.GetTrackInfo(&info));
    EXPECT_EQ(m_decoder.DurationSamples(), IndexedSamples());

    const std::int64_t sought = std::int64_t(kSoughtFrame) * kSamplesPerFrame;
    ASSERT_TRUE(m_decoder.SeekToSample(sought));
    EXPECT_EQ(m_decoder.OutputSample(), sought);
    const DecodedPcm rest = DecodeRest(m_decoder);
    EXPECT_EQ(std::int64_t(rest.Frames()), IndexedSamples() - sought);
    EXPECT_EQ(m_decoder.OutputSample(), IndexedSamples());
}

// The same through the playback stream: after the jump, all that was written heard
// is the recording's last sample, never one beyond it.
TEST_F(FreeBitRateTest, TheHeardSampleStaysInTheRecordingAfterAJump)
{
    CPlaybackStream stream(m_decoder);
    stream.Restart();
    std::vector<std::int16_t> buffer(4096);
    const auto fillAll = [&] {
        std::int64_t written = 0;
        for (int i = 0; i < 1000; ++i) {
            auto bytes = std::uint32_t(buffer.size() * sizeof(std::int16_t));
            const bool more = stream.Fill(buffer.data(), &bytes);
            written += bytes / sizeof(std::int16_t);
            if (!more)
                break;
        }
        return written;
    };
    EXPECT_EQ(fillAll(), IndexedSamples());

    const std::int64_t sought = std::int64_t(kSoughtFrame) * kSamplesPerFrame;
    ASSERT_TRUE(m_decoder.SeekToSample(sought));
    stream.Restart(true);
    const std::int64_t written = fillAll();
    EXPECT_EQ(written, IndexedSamples() - sought);
    EXPECT_EQ(stream.HeardSample(written), IndexedSamples());
    EXPECT_LE(stream.HeardSample(written / 2), IndexedSamples());
}

// A frame found after damage just before the end of the index's first chunk: libmad
// measures its rate from the next header, which only the decoder's larger buffer
// holds. The index reads on before it decides, and counts the frame the decoder plays.
TEST(FreeBitRateAtChunkEndTest, AFrameMeasuredAcrossTheIndexsChunkIsCounted)
{
    constexpr int kBefore = 80;
    constexpr int kAfter = 10;
    const int behindDamage = int(CFrameIndex::kChunkSize) - 200;
    QByteArray bytes;
    for (int i = 0; i < kBefore; ++i)
        bytes += kFreeHeader + QByteArray(kFrameBytes - kFreeHeader.size(), '\0');
    bytes += QByteArray(behindDamage - bytes.size(), '\x55');
    for (int i = 0; i < kAfter; ++i)
        bytes += kFreeHeader + QByteArray(kFrameBytes - kFreeHeader.size(), '\0');
    ScopedBoxes boxes;
    TempDeviceRoot root;
    ASSERT_TRUE(root.WriteFile(QStringLiteral("\\chunk.mp3"), bytes));

    CMp3Decoder decoder;
    ASSERT_TRUE(decoder.Open(root.Host(QStringLiteral("\\chunk.mp3"))));
    ASSERT_TRUE(decoder.Index().IsComplete());
    ASSERT_EQ(decoder.Index().Count(), std::size_t(kBefore + kAfter));
    EXPECT_EQ(decoder.Index().OffsetOf(kBefore), std::uint32_t(behindDamage));
    EXPECT_EQ(std::int64_t(DecodeRest(decoder).Frames()), std::int64_t(kBefore + kAfter) * kSamplesPerFrame);
}

// Recordings of the fuzzer's, each played as four copies of the file in tests/data:
// what the decoder plays is the frames its complete index counts.
class FuzzedRecordingTest : public ::testing::TestWithParam<const char*>
{
};

TEST_P(FuzzedRecordingTest, PlaysTheFramesTheIndexCounts)
{
    const QByteArray copy = ReadTestData(QString::fromLatin1(GetParam()));
    ASSERT_FALSE(copy.isEmpty());
    ScopedBoxes boxes;
    TempDeviceRoot root;
    ASSERT_TRUE(root.WriteFile(QStringLiteral("\\found.mp3"), copy + copy + copy + copy));

    CMp3Decoder decoder;
    ASSERT_TRUE(decoder.Open(root.Host(QStringLiteral("\\found.mp3"))));
    ASSERT_TRUE(decoder.Index().IsComplete());
    const DecodedPcm played = DecodeRest(decoder);
    // A jump past the last frame lands where the index's frames end, in the samples
    // of the recording's own layer.
    ASSERT_TRUE(decoder.SeekToSample(std::numeric_limits<std::int64_t>::max()));
    EXPECT_EQ(std::int64_t(played.Frames()), decoder.OutputSample());
}

INSTANTIATE_TEST_SUITE_P(
    Findings, FuzzedRecordingTest,
    ::testing::Values(
        // Found by searching, a header is a frame only when the next one follows it;
        // libmad skips that check for a header at the start of a buffer it is given.
        // Here a header without one behind it lies 32 bytes before the end of the
        // decoder's first read buffer, and the index's chunk holds what follows it:
        // after reading on, the decoder must judge it as the index does.
        "fuzz-header-at-read-buffer-end.mp3",
        // Among false syncs lies a free-rate layer II header of another rate, whose
        // frame libmad sizes but its layer's decoder refuses with an error of the
        // header's class. The index judges the header by its stream and searches on
        // from the byte after it; the decoder must too, not go on from where the header
        // says its frame ends, passing over a frame the index counts (it played three
        // frames more than the index knew).
        "fuzz-foreign-free-rate-frame.mp3",
        // Free-rate layer I frames too short for the bodies their headers announce:
        // libmad's length check refuses each body with a lost sync and drops out of
        // step, though the header was read in step. The index, which reads headers
        // only, goes on in step; the decoder searched instead and played the frames
        // of another rate that lie in between (six frames for the index's five).
        "fuzz-layer-one-bodies-past-their-frames.mp3",
        // The same refusal just before a padded frame of the stream's rate, which the
        // index takes in step and the decoder, searching, passed over for two frames
        // further on (eleven frames for the index's eight).
        "fuzz-refused-body-before-a-padded-frame.mp3"),
    // Each case is named after its file: "fuzz-header-at-x.mp3" is HeaderAtX.
    [](const ::testing::TestParamInfo<const char*>& info) {
        std::string name;
        bool wordStart = true;
        for (const char* c = info.param + std::strlen("fuzz-"); *c && *c != '.'; ++c) {
            if (*c == '-') {
                wordStart = true;
                continue;
            }
            name += wordStart ? char(std::toupper(static_cast<unsigned char>(*c))) : *c;
            wordStart = false;
        }
        return name;
    });

}  // namespace
