// The 16-bit quantiser on chosen samples, its clip limits and the state it carries.
// Expected values were worked out by hand from
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

// From the zero state: silence follows the recurrence, and samples beyond full scale
// (as a damaged stream may give) clip, carrying on the error of the limit, not of
// the wild sample.
TEST_F(DitherTest, QuantiserFollowsTheRecurrenceAndClipsToSixteenBits)
{
    DitherState& left = Dither::Channel(Dither::kLeft);
    EXPECT_EQ(Dither::Quantise(0, left), 1);
    ExpectState(left, -8192, 0, 0, 1013904223u);
    EXPECT_EQ(Dither::Quantise(0, left), -1);
    ExpectState(left, 0, -4096, 0, 1196435762u);

    DitherState& right = Dither::Channel(Dither::kRight);
    EXPECT_EQ(Dither::Quantise(kClipHigh, right), 32767);
    ExpectState(right, 0x1FFF, 0, 0, 1013904223u);
    EXPECT_EQ(Dither::Quantise(INT_MAX, right), 32767);
    ExpectState(right, 0x1FFF, 0x0FFF, 0, 1196435762u);

    Dither::ResetAll();
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

}  // namespace
