#include "ListeningFixture.h"
#include "WaveOut.h"

#include <gtest/gtest.h>

namespace {

using HeardCompare::Align;
using HeardCompare::Check;
using HeardCompare::Find;
using HeardCompare::FirstDifference;
using HeardCompare::LastSound;
using HeardCompare::Silent;

// The monitor times what it records to a few milliseconds (it reads 5 ms at a time,
// and the sink plays in blocks of its own).
constexpr auto kTimingSlack = std::chrono::milliseconds(30);
// Long enough to be found in one place only.
constexpr double kMatchSeconds = 0.02;
// How much a seek may miss its target: the decoder lands on a frame boundary of a
// recording whose frames are 26 ms long.
constexpr double kSeekSlackSeconds = 0.25;
// The dither that ran through other samples before a seek leaves its last bits
// different.
constexpr int kDitherTolerance = 8;
constexpr std::size_t kMp3FrameSamples = 1152;

std::size_t Frames(const HeardPcm& pcm, double seconds)
{
    return static_cast<std::size_t>(seconds * pcm.rate);
}

class EveryWindowTest : public ListeningFixture, public ::testing::WithParamInterface<const char*>
{
};

// The whole recording is heard, exactly as the decoder made it, the last window too;
// nothing else is heard before or after it; and the end is reported only once its
// last sample has been heard. The 22.05 kHz mono speech plays on a sink of its own
// rate, so the server passes it through as it is.
TEST_P(EveryWindowTest, IsHeardAndTheEndIsReportedOnlyAfterTheLastSample)
{
    Prepare(QString::fromLatin1(GetParam()));
    OpenAndPlay();
    ASSERT_TRUE(WaitForState(PLAYER_ENDED));
    const HeardPcm heard = StopRecording();

    const long lag = Align(m_reference, heard);
    ASSERT_GE(lag, 0) << "the recording's first sound was never heard";
    EXPECT_EQ(Check(m_reference, 0, m_reference.Frames(), heard, lag), "");
    const std::size_t lastFrame = static_cast<std::size_t>(lag) + m_reference.Frames() - 1;
    ASSERT_LT(lastFrame, heard.Frames()) << "the end was never heard";
    EXPECT_TRUE(Silent(heard, 0, static_cast<std::size_t>(lag)));
    EXPECT_TRUE(Silent(heard, lastFrame + 1, heard.Frames()));

    const auto heardLast = m_recorder.PlayedAt(lastFrame);
    EXPECT_LE(heardLast, m_target.EndedAt() + kTimingSlack)
        << "the end was reported "
        << std::chrono::duration<double, std::milli>(heardLast - m_target.EndedAt()).count()
        << " ms before the last sample was heard";
}

INSTANTIATE_TEST_SUITE_P(Recordings, EveryWindowTest, ::testing::Values("tone-stereo.mp3", "speech-22050.mp3"),
                         [](const auto& info) { return info.index == 0 ? "Stereo44kTones" : "Mono22kSpeech"; });

using ListeningTest = ListeningFixture;

// Paused in the middle and resumed: the recording is heard in two pieces with only
// silence between them, the second going on exactly where the first stopped.
TEST_F(ListeningTest, PauseAndResumeLoseAndRepeatNothing)
{
    Prepare(QStringLiteral("cbr-info.mp3"));
    OpenAndPlay();
    ASSERT_TRUE(WaitForSoundHeard(1.0));
    Post(WM_PLAYER_PAUSE);
    ASSERT_TRUE(WaitForState(PLAYER_PAUSED));
    ASSERT_TRUE(WaitForSilenceHeard(0.4));
    Post(WM_PLAYER_PLAY);
    ASSERT_TRUE(WaitForState(PLAYER_ENDED));
    const HeardPcm heard = StopRecording();

    const long before = Align(m_reference, heard);
    ASSERT_GE(before, 0);
    const std::size_t pausedAt = FirstDifference(m_reference, 0, heard, before);
    ASSERT_LT(pausedAt, m_reference.Frames()) << "the pause was never heard";
    const long resumedAt = Find(heard, pausedAt + static_cast<std::size_t>(before), m_reference, pausedAt,
                                Frames(m_reference, kMatchSeconds), 0);
    ASSERT_GE(resumedAt, 0) << "what follows frame " << pausedAt << " was never heard";
    const std::size_t gapBegin = pausedAt + static_cast<std::size_t>(before);
    EXPECT_TRUE(Silent(heard, gapBegin, static_cast<std::size_t>(resumedAt)));
    EXPECT_GE(static_cast<std::size_t>(resumedAt) - gapBegin, Frames(m_reference, 0.3));
    const long after = resumedAt - static_cast<long>(pausedAt);
    EXPECT_EQ(Check(m_reference, pausedAt, m_reference.Frames(), heard, after), "");
    EXPECT_TRUE(Silent(heard, static_cast<std::size_t>(after) + m_reference.Frames(), heard.Frames()));
}

// After a seek what is heard is the recording from the target on, to its end; before
// it, the recording from its start, and nothing in between but the first frame
// decoded at the target.
TEST_F(ListeningTest, ASeekWhilePlayingIsHeardAtItsTarget)
{
    Prepare(QStringLiteral("cbr-info.mp3"));
    OpenAndPlay();
    ASSERT_TRUE(WaitForState(PLAYER_PLAYING));
    ASSERT_TRUE(WaitForSoundHeard(0.3));
    const int duration = DurationSeconds();
    ASSERT_GE(duration, 3);
    const int target = 2;
    Post(WM_PLAYER_SEEK, target, duration);
    ASSERT_TRUE(WaitForState(PLAYER_ENDED));
    const HeardPcm heard = StopRecording();

    const long before = Align(m_reference, heard);
    ASSERT_GE(before, 0);
    const std::size_t seekHeardAt = FirstDifference(m_reference, 0, heard, before);
    ASSERT_LT(seekHeardAt, Frames(m_reference, target)) << "the seek was never heard";

    // Where the last of what was heard lies in the recording.
    const std::size_t probe = LastSound(heard) - Frames(heard, 0.3);
    const long probeInReference = Find(m_reference, 0, heard, probe, Frames(heard, kMatchSeconds), kDitherTolerance);
    ASSERT_GE(probeInReference, 0) << "what was heard last is not the recording's";
    const long after = static_cast<long>(probe) - probeInReference;
    // Back from there to the first frame of what the seek led to.
    std::size_t landed = static_cast<std::size_t>(probeInReference);
    while (landed > 0 && Find(heard, static_cast<std::size_t>(static_cast<long>(landed - 1) + after), m_reference,
                              landed - 1, 1, kDitherTolerance) == static_cast<long>(landed - 1) + after)
        --landed;
    EXPECT_NEAR(static_cast<double>(landed) / m_reference.rate, target, kSeekSlackSeconds);
    EXPECT_EQ(Check(m_reference, landed, m_reference.Frames(), heard, after), "");
    const std::size_t oldEnd = seekHeardAt + static_cast<std::size_t>(before);
    const std::size_t newBegin = landed + static_cast<std::size_t>(after);
    ASSERT_GE(newBegin, oldEnd);
    // Between the two only the first frame decoded at the target may differ from the
    // recording played through: the synthesis filter starts there without the frame
    // before it.
    EXPECT_LE(newBegin - oldEnd, kMp3FrameSamples) << "frames " << oldEnd << " to " << newBegin
                                                   << " are neither before the seek nor after it";
}

// The program's volume, changed while it plays as the slider does: what is heard
// goes from the recording as it is to the recording scaled, left and right each by
// its own gain, at one moment and for good.
TEST_F(ListeningTest, TheVolumeScalesWhatIsHeard)
{
    Prepare(QStringLiteral("tone-stereo.mp3"));
    ASSERT_EQ(m_reference.channels, 2u);
    OpenAndPlay();
    ASSERT_TRUE(WaitForSoundHeard(0.5));
    const std::uint32_t left = 0x8000;
    const std::uint32_t right = 0x2000;
    ASSERT_EQ(waveOutSetVolume(nullptr, (right << 16) | left), MMSYSERR_NOERROR);
    ASSERT_TRUE(WaitForState(PLAYER_ENDED));
    const HeardPcm heard = StopRecording();

    const long lag = Align(m_reference, heard);
    ASSERT_GE(lag, 0);
    const std::size_t changedAt = FirstDifference(m_reference, 0, heard, lag);
    ASSERT_LT(changedAt, m_reference.Frames()) << "the volume was never heard to change";
    EXPECT_GT(changedAt, Frames(m_reference, 0.5));
    EXPECT_EQ(Check(m_reference, changedAt, m_reference.Frames(), heard, lag, {left, right}), "");
}

}  // namespace
