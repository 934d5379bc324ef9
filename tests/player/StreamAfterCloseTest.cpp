// SPDX-License-Identifier: GPL-2.0-or-later
// The playback stream over a decoder closed under it (playing stopped): a loop set
// afterwards, with a pause after each pass, must not make it write that pause.

#include "DecoderTestSupport.h"
#include "Mp3Decoder.h"
#include "PlaybackStream.h"
#include "TempDeviceRoot.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(StreamAfterCloseTest, ALoopSetOverAClosedDecoderWritesNothing)
{
    ScopedBoxes boxes;
    CMp3Decoder decoder;
    ASSERT_TRUE(decoder.Open(TestDataPath("speech22.mp3")));
    CPlaybackStream stream(decoder);
    stream.Restart();
    std::vector<std::int16_t> buffer(8192);
    std::uint32_t bytes = 16384;
    ASSERT_TRUE(stream.Fill(buffer.data(), &bytes));
    stream.Close();

    // A loop behind where playing stopped, one pass, a pause as long as the loop.
    stream.SetShadowing(true, 1);
    stream.SetLoop(0, 1000);
    bytes = 16384;
    EXPECT_FALSE(stream.Fill(buffer.data(), &bytes));
    EXPECT_EQ(bytes, 0u);
}

}  // namespace
