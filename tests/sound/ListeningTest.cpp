// SPDX-License-Identifier: GPL-2.0-or-later
#include "ListeningFixture.h"
#include "WaveOut.h"

#include <gtest/gtest.h>

namespace {

using HeardCompare::Check;
using HeardCompare::Find;
using HeardCompare::Silent;

// The monitor times what it records to a few milliseconds (it reads 5 ms at a time,
// and the sink plays in blocks of its own).
constexpr auto kTimingSlack = std::chrono::milliseconds(30);
// Long enough to be found in one place only.
constexpr double kMatchSeconds = 0.02;
// The decoder lands on a frame boundary of a recording whose frames are 26 ms long;
// the first frame it decodes there starts its synthesis filter without the frame
// before, and the dither that ran through other samples leaves the last bits different.
constexpr double kSeekSlackSeconds = 0.25;
constexpr std::size_t kMp3FrameSamples = 1152;
constexpr int kDitherTolerance = 8;

std::size_t Frames(const HeardPcm& pcm, double seconds)
{
    return static_cast<std::size_t>(seconds * pcm.rate);
}

class EveryWindowTest : public ListeningFixture, public ::testing::WithParamInterface<const char*> {};

// The whole recording is heard, exactly as the decoder made it, the last window too;
// nothing else is heard before or after it; and the end is reported only once its
// last sample has been heard. The 22.05 kHz mono speech plays on a sink of its own
// rate, so the server passes it through as it is.
TEST_P(EveryWindowTest, IsHeardAndTheEndIsReportedOnlyAfterTheLastSample)
{
    PlayThrough(QString::fromLatin1(GetParam()));
    if (HasFatalFailure())
        return;
    EXPECT_EQ(Check(m_reference, 0, m_reference.Frames(), m_heard, m_lag), "");
    const std::size_t lastFrame = static_cast<std::size_t>(m_lag) + m_reference.Frames() - 1;
    ASSERT_LT(lastFrame, m_heard.Frames()) << "the end was never heard";
    EXPECT_TRUE(Silent(m_heard, 0, static_cast<std::size_t>(m_lag)));
    EXPECT_TRUE(Silent(m_heard, lastFrame + 1, m_heard.Frames()));
    const auto heardLast = m_recorder.PlayedAt(lastFrame);
    EXPECT_LE(heardLast, m_target.m_endedAt.load() + kTimingSlack)
        << "the end was reported "
        << std::chrono::duration<double, std::milli>(heardLast - m_target.m_endedAt.load()).count()
        << " ms before the last sample was heard";
}

INSTANTIATE_TEST_SUITE_P(Recordings, EveryWindowTest, ::testing::Values("tone-stereo.mp3", "speech-22050.mp3"),
                         [](const auto& info) { return info.index == 0 ? "Stereo44kTones" : "Mono22kSpeech"; });

using ListeningTest = ListeningFixture;

// Paused in the middle and resumed: the recording is heard in two pieces with only
// silence between them, the second going on exactly where the first stopped.
TEST_F(ListeningTest, PauseAndResumeLoseAndRepeatNothing)
{
    PlayThrough(QStringLiteral("cbr-info.mp3"), 1.0, [this] {
        Post(WM_PLAYER_PAUSE);
        ASSERT_TRUE(WaitForState(PLAYER_PAUSED));
        ASSERT_TRUE(WaitForSilenceHeard(0.4));
        Post(WM_PLAYER_PLAY);
    });
    if (HasFatalFailure())
        return;
    const std::size_t pausedAt = m_changedAt;
    ASSERT_LT(pausedAt, m_reference.Frames()) << "the pause was never heard";
    const std::size_t gapBegin = pausedAt + static_cast<std::size_t>(m_lag);
    const long resumedAt = Find(m_heard, gapBegin, m_reference, pausedAt, Frames(m_reference, kMatchSeconds), 0);
    ASSERT_GE(resumedAt, 0) << "what follows frame " << pausedAt << " was never heard";
    EXPECT_TRUE(Silent(m_heard, gapBegin, static_cast<std::size_t>(resumedAt)));
    EXPECT_GE(static_cast<std::size_t>(resumedAt) - gapBegin, Frames(m_reference, 0.3));
    const long after = resumedAt - static_cast<long>(pausedAt);
    EXPECT_EQ(Check(m_reference, pausedAt, m_reference.Frames(), m_heard, after), "");
    EXPECT_TRUE(Silent(m_heard, static_cast<std::size_t>(after) + m_reference.Frames(), m_heard.Frames()));
}

// After a seek what is heard is the recording from the target on, to its end; before
// it, the recording from its start, and nothing in between but the first frame
// decoded at the target.
TEST_F(ListeningTest, ASeekWhilePlayingIsHeardAtItsTarget)
{
    const int target = 2;
    PlayThrough(QStringLiteral("cbr-info.mp3"), 0.3, [this] {
        ASSERT_TRUE(WaitForState(PLAYER_PLAYING));   // and its length, told before
        ASSERT_GE(m_durationSeconds, target + 1);
        Post(WM_PLAYER_SEEK, target, m_durationSeconds);
    });
    if (HasFatalFailure())
        return;
    ASSERT_LT(m_changedAt, Frames(m_reference, target)) << "the seek was never heard";
    const std::size_t oldEnd = m_changedAt + static_cast<std::size_t>(m_lag);
    // Where half a second past the target is heard: the recording from there on is
    // heard at that lag, which puts what follows the old part at the frame it landed on.
    const std::size_t probe = Frames(m_reference, target + 0.5);
    const long probeHeard = Find(m_heard, oldEnd, m_reference, probe, Frames(m_reference, kMatchSeconds),
                                 kDitherTolerance);
    ASSERT_GE(probeHeard, 0) << "the recording past the target was never heard";
    const long after = probeHeard - static_cast<long>(probe);
    const long landed = static_cast<long>(oldEnd) - after;
    EXPECT_NEAR(static_cast<double>(landed) / m_reference.rate, target, kSeekSlackSeconds);
    EXPECT_EQ(Check(m_reference, static_cast<std::size_t>(landed) + kMp3FrameSamples, m_reference.Frames(), m_heard,
                    after),
              "");
}

// The program's volume, changed while it plays as the slider does: what is heard
// goes from the recording as it is to the recording scaled, left and right each by
// its own gain, at one moment and for good.
TEST_F(ListeningTest, TheVolumeScalesWhatIsHeard)
{
    const std::uint32_t left = 0x8000;
    const std::uint32_t right = 0x2000;
    PlayThrough(QStringLiteral("tone-stereo.mp3"), 0.5,
                [&] { ASSERT_EQ(waveOutSetVolume(nullptr, (right << 16) | left), MMSYSERR_NOERROR); });
    if (HasFatalFailure())
        return;
    ASSERT_EQ(m_reference.channels, 2u);
    ASSERT_LT(m_changedAt, m_reference.Frames()) << "the volume was never heard to change";
    EXPECT_GT(m_changedAt, Frames(m_reference, 0.5));
    EXPECT_EQ(Check(m_reference, m_changedAt, m_reference.Frames(), m_heard, m_lag, {left, right}), "");
}

}  // namespace
