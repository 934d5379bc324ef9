// The frame index on damaged recordings: the frames it learns are the ones that
// play, so the length it gives is theirs and a seek to any of them lands on it.

#include "DecoderTestSupport.h"
#include "Mp3Decoder.h"
#include "TempDeviceRoot.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kSamplesPerFrame = 576;   // speech22.mp3: MPEG-2 layer III, 22.05 kHz mono

std::vector<std::uint32_t> FrameOffsets(const QString& path)
{
    CMp3Decoder decoder;
    if (!decoder.Open(path))
        return {};
    while (!decoder.IndexAhead(CFrameIndex::kChunkSize)) {
    }
    std::vector<std::uint32_t> offsets;
    for (std::size_t i = 0; i < decoder.Index().Count(); ++i)
        offsets.push_back(decoder.Index().OffsetOf(i));
    return offsets;
}

// Damage a few frames before the end: bytes without a sync, then a header of the same
// stream that claims a frame of 522 bytes, more than the two frames behind it hold
// (frames of silence at 32 kbps whose data needs no bit reservoir, so that they
// decode right after the damage). Out of step with the stream at the damage, the
// index and the decoder search byte by byte; the false header must end neither
// search.
TEST(FrameIndexTest, FramesBehindAFalseSyncNearTheEndAreKnownAndPlay)
{
    ScopedBoxes boxes;
    TempDeviceRoot root;
    const QByteArray plain = ReadTestData("speech22.mp3");
    const std::vector<std::uint32_t> plainFrames = FrameOffsets(TestDataPath("speech22.mp3"));
    ASSERT_GT(plainFrames.size(), 100u);
    const std::size_t kept = plainFrames.size() - 10;
    const QByteArray silentFrame = QByteArray("\xFF\xF3\x40\xC4", 4) + QByteArray(100, '\0');
    const QByteArray damage = QByteArray(7, '\x55') + QByteArray("\xFF\xF3\xE0\xC4", 4);
    ASSERT_TRUE(root.WriteFile(QStringLiteral("\\damaged.mp3"),
                               plain.left(qsizetype(plainFrames[kept])) + damage + silentFrame + silentFrame));
    const QString path = root.Host(QStringLiteral("\\damaged.mp3"));

    const std::vector<std::uint32_t> frames = FrameOffsets(path);
    ASSERT_EQ(frames.size(), kept + 2);
    const auto lastTwoAt = std::uint32_t(plainFrames[kept] + damage.size());
    EXPECT_EQ(frames[kept], lastTwoAt);
    EXPECT_EQ(frames[kept + 1], lastTwoAt + std::uint32_t(silentFrame.size()));

    CMp3Decoder decoder;
    ASSERT_TRUE(decoder.Open(path));
    while (!decoder.IndexAhead(CFrameIndex::kChunkSize)) {
    }
    TrackInfo info;
    ASSERT_TRUE(decoder.GetTrackInfo(&info));
    EXPECT_EQ(decoder.DurationSamples(), std::int64_t(kept + 2) * kSamplesPerFrame);
    // The very last frame plays after a seek into it, to the end of the file.
    const std::int64_t inLast = std::int64_t(kept + 1) * kSamplesPerFrame + 100;
    ASSERT_TRUE(decoder.SeekToSample(inLast));
    EXPECT_EQ(decoder.OutputSample(), inLast);
    EXPECT_EQ(DecodeRest(decoder).Frames(), std::size_t(kSamplesPerFrame - 100));
    // Played through from the start it is as long as the index says.
    EXPECT_EQ(DecodeFile(path).Frames(), std::size_t(kept + 2) * kSamplesPerFrame);
    EXPECT_TRUE(boxes.boxes->Records().empty());
}

}  // namespace

namespace {

// A header of another kind of stream (44.1 kHz MPEG-1) in damaged data, and where
// its frame would end a header of the recording's own stream that no frame follows:
// a false sync. The decoder passes the foreign header over as the index does, from
// the byte after it, and so never plays the false frame the index does not count.
TEST(FrameIndexTest, WhatPlaysAfterAForeignHeaderIsWhatTheIndexCounts)
{
    ScopedBoxes boxes;
    TempDeviceRoot root;
    const QByteArray plain = ReadTestData("speech22.mp3");
    const std::vector<std::uint32_t> plainFrames = FrameOffsets(TestDataPath("speech22.mp3"));
    ASSERT_GT(plainFrames.size(), 100u);
    const std::size_t kept = plainFrames.size() - 10;
    const QByteArray silentFrame = QByteArray("\xFF\xF3\x40\xC4", 4) + QByteArray(100, '\0');
    const QByteArray foreign = QByteArray("\xFF\xFB\x90\xC4", 4) + QByteArray(413, '\0');   // 417 bytes
    const QByteArray damage = foreign + silentFrame + QByteArray(7, '\x55');
    ASSERT_TRUE(root.WriteFile(QStringLiteral("\\foreign.mp3"), plain.left(qsizetype(plainFrames[kept])) + damage +
                                                                    silentFrame + silentFrame + silentFrame));
    const QString path = root.Host(QStringLiteral("\\foreign.mp3"));

    const std::vector<std::uint32_t> frames = FrameOffsets(path);
    ASSERT_EQ(frames.size(), kept + 3);
    EXPECT_EQ(frames[kept], plainFrames[kept] + std::uint32_t(damage.size()));
    EXPECT_EQ(DecodeFile(path).Frames(), std::size_t(kept + 3) * kSamplesPerFrame);
    EXPECT_TRUE(boxes.boxes->Records().empty());
}

}  // namespace
