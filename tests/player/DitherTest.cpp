// The 16-bit quantiser on chosen samples, its clip limits, the state it carries, and
// the layout of converted sample frames. Expected values were worked out by hand from
// the noise-shaping recurrence starting at the zero state.

#include "Dither.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

namespace {

constexpr mad_fixed_t kClipHigh = 0x0FFFFFFF;
constexpr mad_fixed_t kClipLow = -0x10000000;

class DitherTest : public ::testing::Test
{
protected:
    void SetUp() override { Dither::ResetAll(); }
    void TearDown() override { Dither::ResetAll(); }

    static void ExpectState(const DitherState& state, std::int32_t e0, std::int32_t e1,
                            std::int32_t e2, std::uint32_t random)
    {
        EXPECT_EQ(state.error0, e0);
        EXPECT_EQ(state.error1, e1);
        EXPECT_EQ(state.error2, e2);
        EXPECT_EQ(static_cast<std::uint32_t>(state.random), random);
    }

    static mad_pcm Block(std::vector<mad_fixed_t> left, std::vector<mad_fixed_t> right)
    {
        mad_pcm pcm{};
        pcm.channels = right.empty() ? 1 : 2;
        pcm.length = static_cast<unsigned short>(left.size());
        std::copy(left.begin(), left.end(), pcm.samples[0]);
        std::copy(right.begin(), right.end(), pcm.samples[1]);
        return pcm;
    }
};

TEST_F(DitherTest, SilenceFollowsTheNoiseShapingRecurrence)
{
    DitherState& left = Dither::Channel(Dither::kLeft);
    EXPECT_EQ(Dither::Quantise(0, left), 1);
    ExpectState(left, -8192, 0, 0, 1013904223u);
    EXPECT_EQ(Dither::Quantise(0, left), -1);
    ExpectState(left, 0, -4096, 0, 1196435762u);
    EXPECT_EQ(Dither::Quantise(0, left), 1);
    ExpectState(left, -4096, 0, -4096, 3519870697u);
}

TEST_F(DitherTest, FullScaleSamplesClipToTheSixteenBitLimits)
{
    DitherState& left = Dither::Channel(Dither::kLeft);
    EXPECT_EQ(Dither::Quantise(kClipHigh, left), 32767);
    ExpectState(left, 0x1FFF, 0, 0, 1013904223u);
    // Far beyond full scale, as a damaged stream may give: clipped, and the error
    // carried on is that of the limit, not of the wild sample.
    EXPECT_EQ(Dither::Quantise(INT_MAX, left), 32767);
    ExpectState(left, 0x1FFF, 0x0FFF, 0, 1196435762u);

    DitherState& right = Dither::Channel(Dither::kRight);
    EXPECT_EQ(Dither::Quantise(kClipLow - 0x4000, right), -32768);
    EXPECT_EQ(Dither::Quantise(INT_MIN, right), -32768);
    EXPECT_EQ(Dither::Quantise(INT_MIN, right), -32768);
    EXPECT_GE(right.error0, 0);
    EXPECT_LT(right.error0, 0x2000);
}

TEST_F(DitherTest, EachChannelCarriesItsOwnStateAcrossCalls)
{
    std::vector<mad_fixed_t> left(200), right(200);
    for (int i = 0; i < 200; ++i) {
        left[i] = (i * 7919 % 4001 - 2000) * 0x10000;
        right[i] = (i * 104729 % 3001 - 1500) * 0x10000;
    }
    const mad_pcm pcm = Block(left, right);

    std::vector<unsigned char> once(200 * 4), split(200 * 4);
    Dither::Convert(pcm, 0, 200, true, once.data());
    const DitherState afterOnce = Dither::Channel(Dither::kRight);

    Dither::ResetAll();
    const std::uint32_t firstBytes = Dither::Convert(pcm, 0, 73, true, split.data());
    Dither::Convert(pcm, 73, 127, true, split.data() + firstBytes);
    EXPECT_EQ(firstBytes, 73u * 4);
    EXPECT_EQ(once, split);
    ExpectState(Dither::Channel(Dither::kRight), afterOnce.error0, afterOnce.error1,
                afterOnce.error2, static_cast<std::uint32_t>(afterOnce.random));

    // The left channel alone leaves the right channel's state alone.
    const DitherState rightBefore = Dither::Channel(Dither::kRight);
    Dither::Convert(pcm, 0, 50, false, once.data());
    EXPECT_EQ(std::memcmp(&rightBefore, &Dither::Channel(Dither::kRight), sizeof(DitherState)), 0);
}

TEST_F(DitherTest, ConvertLaysOutLittleEndianFramesPerOutputChannels)
{
    const mad_fixed_t half = 0x08000000;   // 0.5: 16385 (0x4001) from the zero state
    unsigned char out[16] = {};

    // Stereo block to stereo output: left then right.
    mad_pcm stereo = Block({half}, {-half});
    EXPECT_EQ(Dither::Convert(stereo, 0, 1, true, out), 4u);
    EXPECT_EQ(out[0], 0x01);
    EXPECT_EQ(out[1], 0x40);
    EXPECT_EQ(static_cast<std::int16_t>(out[2] | out[3] << 8), -16383);

    // A mono block in stereo output: the one channel on both sides. From equal
    // states the two quantisers agree exactly.
    Dither::ResetAll();
    const mad_pcm mono = Block({half, -half, 12345678}, {});
    EXPECT_EQ(Dither::Convert(mono, 0, 3, true, out), 12u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(out[4 * i] | out[4 * i + 1] << 8, out[4 * i + 2] | out[4 * i + 3] << 8);

    // Mono output of a stereo block keeps the first channel only.
    Dither::ResetAll();
    std::memset(out, 0xAA, sizeof out);
    EXPECT_EQ(Dither::Convert(stereo, 0, 1, false, out), 2u);
    EXPECT_EQ(out[0], 0x01);
    EXPECT_EQ(out[1], 0x40);
    EXPECT_EQ(out[2], 0xAA);
}

}  // namespace
