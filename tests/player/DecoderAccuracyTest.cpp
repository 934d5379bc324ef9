// SPDX-License-Identifier: GPL-2.0-or-later
// Decoded PCM against the reference PCM of the compliance streams and against an
// independent decoder, and the whole recording decoded to its last frame.

#include "DecoderTestSupport.h"
#include "TempDeviceRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

namespace {

struct VectorCase
{
    const char* stream;
    const char* reference;
    int channels;
    long sampleRate;
    std::size_t samplesPerFrame;
    double snrFloorDb;
};

struct FixtureCase
{
    const char* file;
    double snrFloorDb;
    std::size_t frameTolerance;   // sample frames more or fewer than the other decoder
};

// Test names after the file: "l3-sin1k0db.bit" gives "l3_sin1k0db".
std::string NameOf(const char* path)
{
    std::string name = std::string(path).substr(std::string(path).rfind('/') + 1);
    name.resize(name.rfind('.'));
    std::replace_if(name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    return name;
}

// Same layout and an SNR above the floor; the frame counts are left to the caller.
void ExpectClose(const DecodedPcm& reference, const DecodedPcm& ours, double snrFloorDb)
{
    ASSERT_TRUE(reference.ok);
    ASSERT_TRUE(ours.ok);
    EXPECT_EQ(ours.channels, reference.channels);
    EXPECT_EQ(ours.sampleRate, reference.sampleRate);
    EXPECT_GE(SnrDb(reference.samples, ours.samples), snrFloorDb);
}

class CompliancePcm : public ::testing::TestWithParam<VectorCase> {};
class AgainstMpg123 : public ::testing::TestWithParam<FixtureCase> {};

// The compliance streams: within a few dB of what was measured, and every frame
// decoded (the reference may stop one frame before the last). The noise-shaped dither
// adds about one step squared of noise, so the two quiet streams (about 67 dB when
// measured) stay further from their reference than the full-scale sine (about 87 dB).
TEST_P(CompliancePcm, MatchesReferenceToTheLastFrame)
{
    const VectorCase c = GetParam();
    const DecodedPcm reference = ReadRawPcm(c.reference, c.channels, c.sampleRate);
    const DecodedPcm ours = DecodeFile(TestDataPath(c.stream));
    ExpectClose(reference, ours, c.snrFloorDb);
    EXPECT_TRUE(ours.Frames() == reference.Frames() ||
                ours.Frames() == reference.Frames() + c.samplesPerFrame)
        << "ours " << ours.Frames() << ", reference " << reference.Frames();
}

INSTANTIATE_TEST_SUITE_P(Vectors, CompliancePcm, ::testing::Values(
    VectorCase{"vectors/l3-compl.bit", "vectors/l3-compl.pcm", 1, 48000, 1152, 64},
    VectorCase{"vectors/l3-sin1k0db.bit", "vectors/l3-sin1k0db.pcm", 2, 44100, 1152, 84},
    VectorCase{"vectors/M2L3_compl24.bit", "vectors/M2L3_compl24.pcm", 1, 24000, 576, 64}),
    [](const auto& info) { return NameOf(info.param.stream); });

// Measured 75, 75.5, 74.6, 77.7, 75, 82.8, 82.8, 82.8, 68.5 and 82.7 dB; each floor is a
// few dB lower. The frame counts match exactly, except that a frame cut off by the end
// of the file may count on one side only.
TEST_P(AgainstMpg123, MatchesIndependentDecoderToTheLastFrame)
{
    const FixtureCase c = GetParam();
    const DecodedPcm reference = DecodeWithMpg123(TestDataPath(c.file));
    const DecodedPcm ours = DecodeFile(TestDataPath(c.file));
    ExpectClose(reference, ours, c.snrFloorDb);
    EXPECT_LE(std::labs(long(ours.Frames()) - long(reference.Frames())), long(c.frameTolerance))
        << "ours " << ours.Frames() << ", libmpg123 " << reference.Frames();
}

INSTANTIATE_TEST_SUITE_P(Fixtures, AgainstMpg123, ::testing::Values(
    FixtureCase{"cbr-info.mp3", 72, 0},
    FixtureCase{"vbr-xing.mp3", 72, 0},
    FixtureCase{"vbr-noxing.mp3", 71, 0},
    FixtureCase{"mono.mp3", 74, 0},
    FixtureCase{"mpeg2-22050.mp3", 72, 0},
    FixtureCase{"id3v2.mp3", 79, 0},
    FixtureCase{"leading-garbage.mp3", 79, 0},
    FixtureCase{"truncated.mp3", 79, 1152},
    FixtureCase{"speech.mp3", 65, 0},
    FixtureCase{"tone-stereo.mp3", 79, 0}),
    [](const auto& info) { return NameOf(info.param.file); });

}  // namespace
