// SPDX-License-Identifier: GPL-2.0-or-later
// The frame index on damaged recordings: the frames it learns are the ones that
// play, so the length it gives is theirs and a seek to any of them lands on it.

#include "DecoderTestSupport.h"
#include "Mp3Decoder.h"
#include "TempDeviceRoot.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kSamplesPerFrame = 576;   // speech22.mp3: MPEG-2 layer III, 22.05 kHz mono

void IndexWhole(CMp3Decoder& decoder)
{
    while (!decoder.IndexAhead(CFrameIndex::kChunkSize)) {
    }
}

std::vector<std::uint32_t> FrameOffsets(const QString& path)
{
    CMp3Decoder decoder;
    std::vector<std::uint32_t> offsets;
    if (decoder.Open(path)) {
        IndexWhole(decoder);
        for (std::size_t i = 0; i < decoder.Index().Count(); ++i)
            offsets.push_back(decoder.Index().OffsetOf(i));
    }
    return offsets;
}

// speech22.mp3 with its last ten frames replaced by damage and frames of silence at
// 32 kbps (whose data needs no bit reservoir, so that they decode right after it).
// The index counts the frames kept and the silent ones, at their places, and a decode
// from the start gives as many.
class FrameIndexTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_plainFrames = FrameOffsets(TestDataPath("speech22.mp3"));
        ASSERT_GT(m_plainFrames.size(), 100u);
        m_kept = m_plainFrames.size() - 10;
    }

    QString ExpectSilentFramesCountedBehind(const QByteArray& damage, int silentFrames)
    {
        QByteArray bytes = ReadTestData("speech22.mp3").left(qsizetype(m_plainFrames[m_kept])) + damage;
        for (int i = 0; i < silentFrames; ++i)
            bytes += kSilentFrame;
        EXPECT_TRUE(m_root.WriteFile(QStringLiteral("\\damaged.mp3"), bytes));
        const QString path = m_root.Host(QStringLiteral("\\damaged.mp3"));
        const std::vector<std::uint32_t> frames = FrameOffsets(path);
        EXPECT_EQ(frames.size(), m_kept + silentFrames);
        for (int i = 0; i < silentFrames && m_kept + i < frames.size(); ++i)
            EXPECT_EQ(frames[m_kept + i], m_plainFrames[m_kept] + damage.size() + i * kSilentFrame.size()) << i;
        EXPECT_EQ(DecodeFile(path).Frames(), std::size_t(m_kept + silentFrames) * kSamplesPerFrame);
        EXPECT_TRUE(m_boxes.boxes->Records().empty());
        return path;
    }

    const QByteArray kSilentFrame = QByteArray("\xFF\xF3\x40\xC4", 4) + QByteArray(100, '\0');
    ScopedBoxes m_boxes;
    TempDeviceRoot m_root;
    std::vector<std::uint32_t> m_plainFrames;
    std::size_t m_kept = 0;
};

// Damage a few frames before the end: bytes without a sync, then a header of the same
// stream that claims a frame of 522 bytes, more than the two frames behind it hold.
// Out of step with the stream at the damage, the index and the decoder search byte by
// byte; the false header must end neither search.
TEST_F(FrameIndexTest, FramesBehindAFalseSyncNearTheEndAreKnownAndPlay)
{
    const QString path = ExpectSilentFramesCountedBehind(QByteArray(7, '\x55') + QByteArray("\xFF\xF3\xE0\xC4", 4), 2);
    CMp3Decoder decoder;
    ASSERT_TRUE(decoder.Open(path));
    IndexWhole(decoder);
    ASSERT_TRUE(decoder.GetTrackInfo(nullptr));   // which takes the length from the whole index
    EXPECT_EQ(decoder.DurationSamples(), std::int64_t(m_kept + 2) * kSamplesPerFrame);
    // The very last frame plays after a seek into it, to the end of the file.
    const std::int64_t inLast = std::int64_t(m_kept + 1) * kSamplesPerFrame + 100;
    ASSERT_TRUE(decoder.SeekToSample(inLast));
    EXPECT_EQ(decoder.OutputSample(), inLast);
    EXPECT_EQ(DecodeRest(decoder).Frames(), std::size_t(kSamplesPerFrame - 100));
}

// A header of another kind of stream (44.1 kHz MPEG-1) in damaged data, and where
// its frame would end a header of the recording's own stream that no frame follows:
// a false sync. The decoder passes the foreign header over as the index does, from
// the byte after it, and so never plays the false frame the index does not count.
TEST_F(FrameIndexTest, WhatPlaysAfterAForeignHeaderIsWhatTheIndexCounts)
{
    const QByteArray foreign = QByteArray("\xFF\xFB\x90\xC4", 4) + QByteArray(413, '\0');   // 417 bytes
    ExpectSilentFramesCountedBehind(foreign + kSilentFrame + QByteArray(7, '\x55'), 3);
}

}  // namespace
