// SPDX-License-Identifier: GPL-2.0-or-later
// The playback stream between the decoder and the device, driven as the wave output
// drives it: at tempo 1.0 it is the decoder itself; slower or faster, the voice keeps
// its pitch and the recording's time is kept to its end; a loop at 0.7 starts each
// pass at A and ends it at B, as the samples themselves show (cross-correlated with
// the recording).

#include "DecoderTestSupport.h"
#include "Dither.h"
#include "Mp3Decoder.h"
#include "PlaybackStream.h"
#include "TempDeviceRoot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr std::uint32_t kBufferBytes = 16384;

// Fills buffers as the wave output does until the stream ends.
std::vector<std::int16_t> PlayOut(CPlaybackStream& stream)
{
    std::vector<std::int16_t> played;
    std::vector<std::int16_t> buffer(kBufferBytes / 2);
    for (bool more = true; more;) {
        std::uint32_t bytes = kBufferBytes;
        more = stream.Fill(buffer.data(), &bytes);
        played.insert(played.end(), buffer.begin(), buffer.begin() + bytes / 2);
    }
    return played;
}

// Zero crossings a second of the first channel, over a second from frame 10000: the
// pitch, for a steady tone.
double CrossingsPerSecond(const std::vector<std::int16_t>& samples, int channels)
{
    int crossings = 0;
    for (std::size_t i = 10001; i < 10000 + 44100; ++i)
        crossings += (samples[(i - 1) * channels] < 0) != (samples[i * channels] < 0);
    return crossings;
}

// Where in the (mono) recording the output's window of `frames` samples at `at` fits
// best, searched within around +- reach; and how well (correlation).
std::pair<long, double> BestFit(const std::vector<std::int16_t>& output, std::size_t at, std::size_t frames,
                                const std::vector<std::int16_t>& recording, long around, long reach)
{
    auto dot = [&](const std::int16_t* x, const std::int16_t* y) {
        double sum = 0;
        for (std::size_t i = 0; i < frames; ++i)
            sum += double(x[i]) * y[i];
        return sum;
    };
    const double outputEnergy = dot(&output[at], &output[at]);
    std::pair<long, double> best{around, -2.0};
    for (long p = std::max(0L, around - reach); p <= around + reach && p + long(frames) < long(recording.size()); ++p) {
        const double energy = dot(&recording[std::size_t(p)], &recording[std::size_t(p)]);
        const double score = energy > 0 && outputEnergy > 0
                                 ? dot(&output[at], &recording[std::size_t(p)]) / std::sqrt(energy * outputEnergy)
                                 : -1.0;
        if (score > best.second)
            best = {p, score};
    }
    return best;
}

using PlaybackStreamTempoTest = ::testing::TestWithParam<std::pair<const char*, double>>;

// The length changes by the tempo, the pitch of a steady tone does not, and the heard
// sample is the recording's. At the recording's own tempo the decoder's samples pass
// bit for bit. At another tempo the stage's output, counted back in the recording's
// samples and rounded, could come to one sample more than the recording holds (at
// these tempos for speech22.mp3): once all of it is heard, the listener is at the
// end, not past it.
TEST_P(PlaybackStreamTempoTest, KeepsThePitchAndTheRecordingsTimeToItsEnd)
{
    ScopedBoxes boxes;
    const auto [file, tempo] = GetParam();
    const DecodedPcm direct = DecodeFile(TestDataPath(file));
    Dither::ResetAll();
    CMp3Decoder decoder;
    ASSERT_TRUE(decoder.Open(TestDataPath(file)));
    CPlaybackStream stream(decoder);
    stream.SetTempo(tempo);
    stream.Restart();
    const std::vector<std::int16_t> played = PlayOut(stream);
    EXPECT_TRUE(tempo != 1.0 || played == direct.samples);
    const double frames = double(played.size()) / direct.channels;
    EXPECT_NEAR(frames, double(direct.Frames()) / tempo, 0.02 * frames);
    if (direct.channels == 2) {   // the tone
        const double pitch = CrossingsPerSecond(direct.samples, 2);
        EXPECT_NEAR(CrossingsPerSecond(played, 2), pitch, 0.02 * pitch);
    }
    EXPECT_NEAR(double(stream.HeardSample(direct.sampleRate)), direct.sampleRate * tempo, 2.0);
    const std::int64_t heard = stream.HeardSample(std::int64_t(played.size() / direct.channels));
    EXPECT_LE(heard, std::int64_t(direct.Frames()));
    EXPECT_GE(heard, std::int64_t(direct.Frames()) - 1);
}

INSTANTIATE_TEST_SUITE_P(Tempos, PlaybackStreamTempoTest, ::testing::Values(
    std::pair{"speech22.mp3", 1.0}, std::pair{"tone-stereo.mp3", 0.7}, std::pair{"tone-stereo.mp3", 1.5},
    std::pair{"speech22.mp3", 1.14}, std::pair{"speech22.mp3", 1.49}, std::pair{"speech22.mp3", 1.7},
    std::pair{"speech22.mp3", 0.5}, std::pair{"speech22.mp3", 2.0}));

// A 2-second loop, at 0.7 and at the recording's own tempo: where the stream says
// each pass begins and ends, the output holds the recording at A and at B, within
// 30 ms, found by cross-correlation.
TEST(PlaybackStreamTest, ALoopStartsEachPassAtAAndEndsItAtB)
{
    ScopedBoxes boxes;
    const DecodedPcm recording = DecodeFile(TestDataPath("speech22.mp3"));
    const long rate = recording.sampleRate;
    // About two seconds, from a word's start to a word's middle: speech on both
    // sides of each jump, so that the correlation has something to find.
    const std::int64_t a = rate;
    const std::int64_t b = rate * 305 / 100;
    for (const double tempo : {0.7, 1.0}) {
        SCOPED_TRACE(tempo);
        CMp3Decoder decoder;
        ASSERT_TRUE(decoder.Open(TestDataPath("speech22.mp3")));
        CPlaybackStream stream(decoder);
        stream.SetTempo(tempo);
        stream.SetShadowing(false, 3);
        stream.SetLoop(a, b);
        stream.Restart();
        const std::vector<std::int16_t> played = PlayOut(stream);

        // The output sample at which each pass begins, by the stream's own account.
        std::vector<std::size_t> passStarts;
        std::int64_t previous = 0;
        for (std::size_t o = 0; o < played.size(); o += 10) {
            const std::int64_t heard = stream.HeardSample(std::int64_t(o));
            if (heard < previous - rate / 2)
                passStarts.push_back(o);
            previous = heard;
        }
        // Three arrivals at B: the way there from the start, then two passes from A.
        ASSERT_EQ(passStarts.size(), 2u);

        const long window = rate * 30 / 1000;   // 30 ms of output, and the tolerance
        const long settle = rate * 15 / 1000;   // past the ramp and the stage's overlap
        for (const std::size_t start : passStarts) {
            SCOPED_TRACE(start);
            // Just after the jump the output is the recording just after A; just
            // before it, the recording just before B.
            const auto [atStart, startScore] =
                BestFit(played, start + settle, std::size_t(window), recording.samples, long(a), rate / 4);
            EXPECT_GT(startScore, 0.7);
            EXPECT_NEAR(double(atStart), double(a) + settle * tempo, double(window));
            const auto [atEnd, endScore] =
                BestFit(played, start - settle - std::size_t(window), std::size_t(window), recording.samples,
                        long(b) - long((settle + window) * tempo), rate / 4);
            EXPECT_GT(endScore, 0.7);
            EXPECT_NEAR(double(atEnd + window * tempo + settle * tempo), double(b), double(window));
        }
    }
}

// Repeat-one over a decoder that was closed under the stream (playing stopped): the
// start cannot be got back to, so the stream ends instead of jumping for ever.
TEST(PlaybackStreamTest, RepeatOneOverAClosedDecoderEnds)
{
    ScopedBoxes boxes;
    CMp3Decoder decoder;
    CPlaybackStream stream(decoder);
    stream.SetRepeat(true);
    std::vector<std::int16_t> buffer(kBufferBytes / 2);
    for (double tempo : {1.0, 0.75}) {
        SCOPED_TRACE(tempo);
        ASSERT_TRUE(decoder.Open(TestDataPath("speech22.mp3")));
        stream.SetTempo(tempo);
        stream.Restart();
        std::uint32_t bytes = kBufferBytes;
        ASSERT_TRUE(stream.Fill(buffer.data(), &bytes));
        stream.Close();
        // At another tempo what the tempo stage still holds comes out first.
        bytes = kBufferBytes;
        EXPECT_FALSE(stream.Fill(buffer.data(), &bytes));
        EXPECT_TRUE(tempo != 1.0 || bytes == 0u);
        bytes = kBufferBytes;
        EXPECT_FALSE(stream.Fill(buffer.data(), &bytes));
        EXPECT_EQ(bytes, 0u);
    }
}

}  // namespace
