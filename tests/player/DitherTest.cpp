// SPDX-License-Identifier: GPL-2.0-or-later
// The 16-bit quantiser's clip limits and the state it carries per channel; what it
// gives on real audio is measured against reference decoders in the accuracy tests.

#include "Dither.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <vector>

namespace {

auto StateOf(const DitherState& s)
{
    return std::make_tuple(s.error0, s.error1, s.error2, static_cast<std::uint32_t>(s.random));
}

class DitherTest : public ::testing::Test
{
protected:
    void SetUp() override { Dither::ResetAll(); }
    void TearDown() override { Dither::ResetAll(); }
};

// Samples beyond full scale (as a damaged stream may give) clip, carrying on the
// error of the limit, not of the wild sample.
TEST_F(DitherTest, SamplesBeyondFullScaleClipToSixteenBits)
{
    DitherState& right = Dither::Channel(Dither::kRight);
    for (const int sample : {0x0FFFFFFF, INT_MAX, -0x10000000 - 0x4000, INT_MIN, INT_MIN}) {
        SCOPED_TRACE(sample);
        EXPECT_EQ(Dither::Quantise(sample, right), sample > 0 ? 32767 : -32768);
        EXPECT_GE(right.error0, 0);
        EXPECT_LT(right.error0, 0x2000);
    }
}

TEST_F(DitherTest, EachChannelCarriesItsOwnStateAcrossCalls)
{
    mad_pcm pcm{};
    pcm.channels = 2;
    pcm.length = 200;
    for (int i = 0; i < 200; ++i) {
        pcm.samples[0][i] = (i * 7919 % 4001 - 2000) * 0x10000;
        pcm.samples[1][i] = (i * 104729 % 3001 - 1500) * 0x10000;
    }
    std::vector<unsigned char> once(200 * 4), split(200 * 4);
    Dither::Convert(pcm, 0, 200, true, once.data());
    const auto afterOnce = StateOf(Dither::Channel(Dither::kRight));

    Dither::ResetAll();
    EXPECT_EQ(Dither::Convert(pcm, 0, 73, true, split.data()), 73u * 4);
    Dither::Convert(pcm, 73, 127, true, split.data() + 73 * 4);
    EXPECT_EQ(once, split);
    EXPECT_EQ(StateOf(Dither::Channel(Dither::kRight)), afterOnce);
    // The left channel alone leaves the right channel's state alone.
    Dither::Convert(pcm, 0, 50, false, once.data());
    EXPECT_EQ(StateOf(Dither::Channel(Dither::kRight)), afterOnce);
}

}  // namespace
