// SPDX-License-Identifier: GPL-2.0-or-later
// The decoder: the duration estimates, seeking, and mono frames in a stereo file.
// Files without audio are in the bad recording tests; channels, rates and samples are
// checked against other decoders in the accuracy tests.

#include "DecoderTestSupport.h"
#include "Mp3Decoder.h"
#include "TempDeviceRoot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr std::size_t kFrameSamples = 1152;

class Mp3DecoderTest : public ::testing::Test
{
protected:
    TrackInfo Open(const QString& path)
    {
        TrackInfo info;
        EXPECT_TRUE(m_decoder.Open(path)) << path.toStdString();
        m_decoder.GetTrackInfo(&info);
        return info;
    }
    TrackInfo OpenData(const char* name) { return Open(TestDataPath(name)); }

    int DurationAfterDecoding()
    {
        DecodeRest(m_decoder);
        TrackInfo later;
        EXPECT_TRUE(m_decoder.GetTrackInfo(&later));
        return later.durationSeconds;
    }

    QString Write(const QByteArray& bytes)
    {
        EXPECT_TRUE(m_root.WriteFile(QStringLiteral("\\made.mp3"), bytes));
        return m_root.Host(QStringLiteral("\\made.mp3"));
    }

    ScopedBoxes m_scope;
    TempDeviceRoot m_root;
    CMp3Decoder m_decoder;
};

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

    // Opening in quiet at 32 kbit/s: the first estimate is far too long.
    QByteArray longer;
    while (longer.size() < qsizetype(2 * CMp3Decoder::kIndexAtOpen))
        longer += ReadTestData("vbr-noxing.mp3");
    const QString path = Write(longer);
    const double decodedSeconds = double(DecodeFile(path).Frames()) / 44100;
    const TrackInfo first = Open(path);
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

    // Bad arguments change nothing: what was played and what is left make the whole.
    const std::size_t cbrTotal = DecodeFile(TestDataPath("cbr-info.mp3")).Frames();
    OpenData("cbr-info.mp3");
    std::int16_t block[8192];
    std::uint32_t bytes = sizeof block;
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
    // Two and a half seconds of 440 Hz left and 660 Hz right, then a mono sweep: well
    // inside each part the channels differ, and then only by their own dither.
    ASSERT_EQ(OpenData("stereo-then-mono.mp3").stereo, 1);
    const DecodedPcm pcm = DecodeRest(m_decoder);
    ASSERT_GT(pcm.Frames(), 44100u * 4);
    int stereo = 0;
    int mono = 0;
    for (std::size_t i = 0; i < pcm.Frames(); ++i) {
        const int difference = std::abs(pcm.samples[2 * i] - pcm.samples[2 * i + 1]);
        if (i < 44100 * 2)
            stereo = std::max(stereo, difference);
        else if (i >= 44100 * 3)
            mono = std::max(mono, difference);
    }
    EXPECT_GT(stereo, 1000);
    EXPECT_LE(mono, 8);
}

constexpr std::uint32_t kEverything = ~0u;

// After `played` bytes of output (kEverything: to the end), a seek by sample lands on
// that very sample: what follows it is what a decode from the start gives from there,
// but for the dither (whose state is the process's): by a few steps.
void ExpectSeekLandsOn(const QString& path, const DecodedPcm& whole, std::uint32_t played, std::size_t at)
{
    SCOPED_TRACE(testing::Message() << "at " << at << " after " << played << " bytes");
    CMp3Decoder decoder;
    ASSERT_TRUE(decoder.Open(path));
    std::vector<std::uint8_t> buffer(played == kEverything ? 0 : played);
    if (played == kEverything)
        DecodeRest(decoder);
    ASSERT_TRUE(buffer.empty() || decoder.Fill(buffer.data(), &played));
    ASSERT_TRUE(decoder.SeekToSample(std::int64_t(at)));
    EXPECT_EQ(decoder.OutputSample(), std::int64_t(at));
    const DecodedPcm rest = DecodeRest(decoder);
    ASSERT_EQ(rest.Frames(), whole.Frames() - at);
    int largest = 0;
    for (std::size_t i = 0; i < rest.samples.size(); ++i)
        largest = std::max(largest, std::abs(whole.samples[at * whole.channels + i] - rest.samples[i]));
    EXPECT_LE(largest, 8);
}

// In constant and variable bit rate, mono and stereo.
TEST_F(Mp3DecoderTest, ASeekBySampleLandsOnThatSample)
{
    for (const char* name : {"speech22.mp3", "speech22-vbr.mp3", "vbr-xing.mp3", "tone-stereo.mp3"}) {
        SCOPED_TRACE(name);
        const DecodedPcm whole = DecodeFile(TestDataPath(name));
        const std::size_t frames = whole.Frames();
        ASSERT_GT(frames, 20000u);
        for (std::size_t at : {std::size_t(0), std::size_t(575), std::size_t(12345), frames / 2, frames - 700})
            ExpectSeekLandsOn(TestDataPath(name), whole, 0, at);
    }
}

// A recording cut out of a longer one: its first frame's data begins in the bit
// reservoir of frames that are not there, so it is passed over. A seek to the start
// must find it as a fresh decoder does, not decode that frame from what the
// reservoir kept of what played before: after one frame (frame 1, as frame 0 is
// passed over) it holds the 65 bytes that frame 2 takes from it, more than the 36 of
// frame 0; after all of it, the end.
TEST_F(Mp3DecoderTest, WhatPlaysAfterASeekDoesNotDependOnWhatPlayedBefore)
{
    ASSERT_TRUE(m_decoder.Open(TestDataPath("speech22.mp3")));
    ASSERT_GT(m_decoder.Index().Count(), 100u);
    // Frame 9 of this recording takes 36 bytes from the reservoir.
    const QString path = Write(ReadTestData("speech22.mp3").mid(qsizetype(m_decoder.Index().OffsetOf(9))));
    const DecodedPcm whole = DecodeFile(path);
    ExpectSeekLandsOn(path, whole, 576 * 2, 0);
    ExpectSeekLandsOn(path, whole, 576 * 2, 100);
    ExpectSeekLandsOn(path, whole, kEverything, 0);
}

// Free format: the bit rate is not in the header, libmad measures it from the distance
// to the next frame and keeps it. Here ten silent frames of 200 bytes (44.1 kHz), then
// frames of another stream (48 kHz) of 300 bytes, passed over, each measured anew.
// Once the decoder has been through them, a seek to the start must measure the first
// frame afresh, or it steps by 300 bytes and loses the frame after it.
TEST_F(Mp3DecoderTest, AFreeFormatRateMeasuredLaterDoesNotStepTheStart)
{
    QByteArray bytes;
    for (int i = 0; i < 10; ++i)
        bytes += QByteArray("\xFF\xFB\x00\xC4", 4) + QByteArray(196, '\0');   // bit rate index 0: free
    for (int i = 0; i < 10; ++i)
        bytes += QByteArray("\xFF\xFB\x04\xC4", 4) + QByteArray(296, '\0');
    const QString path = Write(bytes);
    const DecodedPcm whole = DecodeFile(path);
    EXPECT_EQ(whole.Frames(), 10 * kFrameSamples);
    ExpectSeekLandsOn(path, whole, kEverything, 0);
}

}  // namespace
