// The playback stream between the decoder and the device, driven as the wave output
// drives it: at tempo 1.0 it is the decoder itself; slower, the voice keeps its
// pitch and the recording's time is kept; a loop at 0.7 starts each pass at A and
// ends it at B, as the samples themselves show (cross-correlated with the recording).

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

struct Played
{
    std::vector<std::int16_t> samples;
};

// Fills buffers as the wave output does until the stream ends (or enough was played).
Played PlayOut(CPlaybackStream& stream, std::size_t atMost = 1 << 24)
{
    Played played;
    std::vector<std::int16_t> buffer(kBufferBytes / 2);
    for (bool more = true; more && played.samples.size() < atMost;) {
        std::uint32_t bytes = kBufferBytes;
        more = stream.Fill(buffer.data(), &bytes);
        played.samples.insert(played.samples.end(), buffer.begin(), buffer.begin() + bytes / 2);
    }
    return played;
}

// Zero crossings a second of one channel: the pitch, for a steady tone.
double CrossingsPerSecond(const std::vector<std::int16_t>& samples, int channels, int rate, std::size_t from,
                          std::size_t frames)
{
    int crossings = 0;
    for (std::size_t i = from + 1; i < from + frames; ++i)
        crossings += (samples[(i - 1) * channels] < 0) != (samples[i * channels] < 0);
    return crossings * double(rate) / double(frames);
}

// Where in the recording (mono) the output window of frames samples at `at` fits
// best, searched within [around - reach, around + reach]; and how well (correlation).
std::pair<long, double> BestFit(const std::vector<std::int16_t>& output, std::size_t at, std::size_t frames,
                                const std::vector<std::int16_t>& recording, long around, long reach)
{
    long best = around;
    double bestScore = -2.0;
    double outputEnergy = 0;
    for (std::size_t i = 0; i < frames; ++i)
        outputEnergy += double(output[at + i]) * output[at + i];
    for (long p = std::max(0L, around - reach); p <= around + reach && p + long(frames) < long(recording.size()); ++p) {
        double dot = 0;
        double energy = 0;
        for (std::size_t i = 0; i < frames; ++i) {
            dot += double(output[at + i]) * recording[std::size_t(p) + i];
            energy += double(recording[std::size_t(p) + i]) * recording[std::size_t(p) + i];
        }
        const double score = energy > 0 && outputEnergy > 0 ? dot / std::sqrt(energy * outputEnergy) : -1.0;
        if (score > bestScore) {
            bestScore = score;
            best = p;
        }
    }
    return {best, bestScore};
}

class PlaybackStreamTest : public ::testing::Test
{
protected:
    void Open(const char* name)
    {
        ASSERT_TRUE(m_decoder.Open(TestDataPath(name)));
        m_rate = m_decoder.SampleRate();
    }

    ScopedBoxes m_boxes;
    CMp3Decoder m_decoder;
    CPlaybackStream m_stream{m_decoder};
    int m_rate = 0;
};

TEST_F(PlaybackStreamTest, AtTheRecordingsOwnTempoTheDecodersSamplesPassBitForBit)
{
    Dither::ResetAll();
    const DecodedPcm direct = DecodeFile(TestDataPath("speech22.mp3"));
    Dither::ResetAll();
    Open("speech22.mp3");
    m_stream.Restart();
    const Played played = PlayOut(m_stream);
    EXPECT_TRUE(played.samples == direct.samples);
    EXPECT_EQ(m_stream.HeardSample(12345), 12345);
}

// Slower and faster: the length changes by the tempo, the pitch of a steady tone does
// not, and the heard sample is the recording's.
TEST_F(PlaybackStreamTest, AnotherTempoKeepsThePitchAndTheRecordingsTime)
{
    const DecodedPcm direct = DecodeFile(TestDataPath("tone-stereo.mp3"));
    const double pitch = CrossingsPerSecond(direct.samples, 2, 44100, 10000, 44100);
    for (double tempo : {0.7, 1.5}) {
        SCOPED_TRACE(tempo);
        CMp3Decoder decoder;
        ASSERT_TRUE(decoder.Open(TestDataPath("tone-stereo.mp3")));
        CPlaybackStream stream(decoder);
        stream.SetTempo(tempo);
        stream.Restart();
        const Played played = PlayOut(stream);
        const double frames = double(played.samples.size()) / 2;
        EXPECT_NEAR(frames, double(direct.Frames()) / tempo, 0.02 * frames);
        EXPECT_NEAR(CrossingsPerSecond(played.samples, 2, 44100, 10000, 44100), pitch, 0.02 * pitch);
        EXPECT_NEAR(double(stream.HeardSample(44100)), 44100 * tempo, 2.0);
    }
}

// A 2-second loop at 0.7: where the stream says each pass begins and ends, the output
// holds the recording at A and at B, within 30 ms, found by cross-correlation.
TEST_F(PlaybackStreamTest, ALoopAtSeventyPercentStartsEachPassAtAAndEndsItAtB)
{
    const DecodedPcm recording = DecodeFile(TestDataPath("speech22.mp3"));
    Open("speech22.mp3");
    // About two seconds, from a word's start to a word's middle: speech on both
    // sides of each jump, so that the correlation has something to find.
    const std::int64_t a = m_rate;
    const std::int64_t b = std::int64_t(m_rate) * 305 / 100;
    m_stream.SetTempo(0.7);
    m_stream.SetShadowing(false, 3);
    m_stream.SetLoop(a, b);
    m_stream.Restart();
    const Played played = PlayOut(m_stream);

    // The output sample at which each pass begins, by the stream's own account.
    std::vector<std::size_t> passStarts;
    std::int64_t previous = 0;
    for (std::size_t o = 0; o < played.samples.size(); o += 10) {
        const std::int64_t heard = m_stream.HeardSample(std::int64_t(o));
        if (heard < previous - m_rate / 2)
            passStarts.push_back(o);
        previous = heard;
    }
    // Three arrivals at B: the way there from the start, then two passes from A.
    ASSERT_EQ(passStarts.size(), 2u);

    const long window = m_rate * 30 / 1000;   // 30 ms of output
    const long tolerance = m_rate * 30 / 1000;
    const long settle = m_rate * 15 / 1000;    // past the ramp and the stage's overlap
    for (std::size_t pass = 0; pass < passStarts.size(); ++pass) {
        SCOPED_TRACE(pass);
        const std::size_t start = passStarts[pass];
        // Its start: the output just after it is the recording just after A.
        const auto [atStart, startScore] = BestFit(played.samples, start + settle, std::size_t(window),
                                                   recording.samples, long(a), m_rate / 4);
        EXPECT_GT(startScore, 0.7);
        EXPECT_NEAR(double(atStart), double(a) + settle * 0.7, double(tolerance));
        // Just before the jump the output is the recording just before B.
        const std::size_t end = start - settle - std::size_t(window);
        const auto [atEnd, endScore] = BestFit(played.samples, end, std::size_t(window), recording.samples,
                                               long(b) - long((settle + window) * 0.7), m_rate / 4);
        EXPECT_GT(endScore, 0.7);
        EXPECT_NEAR(double(atEnd + window * 0.7 + settle * 0.7), double(b), double(tolerance));
    }
}

}  // namespace

namespace {

// At another tempo the stage's output, counted back in the recording's samples and
// rounded, can come to one sample more than the recording holds (at these tempos for
// this recording): once all of it is heard, the listener is at the end, not past it.
TEST(PlaybackStreamEndTest, AtAnotherTempoTheHeardSampleStopsAtTheEnd)
{
    ScopedBoxes boxes;
    const auto length = std::int64_t(DecodeFile(TestDataPath("speech22.mp3")).Frames());
    for (double tempo : {1.14, 1.49, 1.7, 0.5, 2.0}) {
        SCOPED_TRACE(tempo);
        CMp3Decoder decoder;
        ASSERT_TRUE(decoder.Open(TestDataPath("speech22.mp3")));
        CPlaybackStream stream(decoder);
        stream.SetTempo(tempo);
        stream.Restart();
        const std::size_t written = PlayOut(stream).samples.size();
        const std::int64_t heard = stream.HeardSample(std::int64_t(written));
        EXPECT_LE(heard, length);
        EXPECT_GE(heard, length - 1);
    }
}

// Repeat-one over a decoder that was closed under the stream (playing stopped): the
// start cannot be got back to, so the stream ends instead of jumping for ever.
TEST(PlaybackStreamEndTest, RepeatOneOverAClosedDecoderEnds)
{
    ScopedBoxes boxes;
    CMp3Decoder decoder;
    ASSERT_TRUE(decoder.Open(TestDataPath("speech22.mp3")));
    CPlaybackStream stream(decoder);
    stream.SetRepeat(true);
    for (double tempo : {1.0, 0.75}) {
        SCOPED_TRACE(tempo);
        ASSERT_TRUE(decoder.Open(TestDataPath("speech22.mp3")));
        stream.SetTempo(tempo);
        stream.Restart();
        std::vector<std::int16_t> buffer(kBufferBytes / 2);
        std::uint32_t bytes = kBufferBytes;
        ASSERT_TRUE(stream.Fill(buffer.data(), &bytes));
        stream.Close();
        // At another tempo what the tempo stage still holds comes out first.
        bytes = kBufferBytes;
        EXPECT_FALSE(stream.Fill(buffer.data(), &bytes));
        if (tempo == 1.0) {
            EXPECT_EQ(bytes, 0u);
        }
        bytes = kBufferBytes;
        EXPECT_FALSE(stream.Fill(buffer.data(), &bytes));
        EXPECT_EQ(bytes, 0u);
    }
}

}  // namespace
