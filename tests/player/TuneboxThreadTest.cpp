// SPDX-License-Identifier: GPL-2.0-or-later
#include "DecoderTestSupport.h"
#include "MessageQueue.h"
#include "PlayerMessages.h"
#include "QueueMessageTarget.h"
#include "TempDeviceRoot.h"
#include "TestPlayer.h"
#include "TrackInfo.h"
#include "TuneboxThread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;

constexpr int kWaitMs = 20000;

// On request leaves an open command behind the quit, as a controller posting late
// would: queued before the quit is handled (so ahead of the loop's own quit message),
// or after.
class LateOpenThread : public tuneboxThread
{
public:
    bool m_openBeforeQuitIsHandled = false;
    bool m_openAfterQuit = false;

protected:
    bool OnThreadMessage(const Message& msg) override
    {
        if (msg.message == WM_PLAYER_QUIT && m_openBeforeQuitIsHandled)
            PostOpen(m_nThreadID, TestDataPath("speech.mp3"));
        const bool handled = tuneboxThread::OnThreadMessage(msg);
        if (msg.message == WM_PLAYER_QUIT && m_openAfterQuit)
            PostOpen(m_nThreadID, TestDataPath("speech.mp3"));
        return handled;
    }
};

std::string StateText(WPARAM state)
{
    static const char* const kNames[] = {"ended", "paused", "playing", "stopped"};
    return state >= PLAYER_ENDED && state <= PLAYER_STOPPED ? kNames[state - PLAYER_ENDED]
                                                            : "state " + std::to_string(state);
}

class TuneboxThreadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(TestPlayer::Start(m_thread, m_target));
    }

    void TearDown() override
    {
        EXPECT_TRUE(TestPlayer::Quit(m_thread, kWaitMs));
        TestPlayer::DropNotices(m_target);
    }

    void Post(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { EXPECT_TRUE(TestPlayer::Post(m_thread, msg, wParam, lParam)); }
    void Play(const QString& path) { EXPECT_TRUE(TestPlayer::Play(m_thread, path)); }

    // The notifications up to and including the next report of state, as short
    // texts ("pos 3", "total", "playing"); each TrackInfo is kept in m_totals.
    std::vector<std::string> Until(int state)
    {
        std::vector<std::string> seen;
        for (Message msg; m_target.Take(msg, kWaitMs);) {
            if (msg.message == WM_PLAYER_STATE) {
                seen.push_back(StateText(msg.wParam));
                if (static_cast<int>(msg.wParam) == state)
                    return seen;
            } else if (msg.message == WM_PLAYER_POS) {
                seen.push_back("pos " + std::to_string(msg.wParam));
            } else if (msg.message == WM_PLAYER_TOTAL) {
                seen.push_back("total");
                m_totals.push_back(*tuneboxThread::TakeTrackInfo(msg.wParam));
            }
        }
        ADD_FAILURE() << "no " << StateText(state) << " after " << ::testing::PrintToString(seen);
        return seen;
    }

    ScopedEnv m_audio{"VELLUMDECK_AUDIO", "null:50"};
    ScopedBoxes m_scope;
    const QString m_speech = TestDataPath("speech.mp3");
    LateOpenThread m_thread;
    QueueMessageTarget m_target;
    std::vector<TrackInfo> m_totals;
};

// Commands are handled in order, so a trailing pause marks where the effects of
// the commands before it end. A stopped recording is forgotten: neither play nor
// seek has anything to start.
TEST_F(TuneboxThreadTest, StopRewindsToZeroAndForgetsTheRecording)
{
    Post(WM_PLAYER_STOP);
    EXPECT_THAT(Until(PLAYER_STOPPED), ElementsAre("pos 0", "stopped"));

    Play(m_speech);
    Post(WM_PLAYER_STOP);
    Post(WM_PLAYER_PAUSE);
    const auto seen = Until(PLAYER_PAUSED);
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen[seen.size() - 2], "stopped");
    const auto lastPosition = std::find_if(seen.rbegin(), seen.rend(),
                                           [](const std::string& s) { return s.rfind("pos ", 0) == 0; });
    ASSERT_NE(lastPosition, seen.rend());
    EXPECT_EQ(*lastPosition, "pos 0");
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "ended"), 0);

    Post(WM_PLAYER_PLAY);
    Post(WM_PLAYER_SEEK, 1, 6);
    Post(WM_PLAYER_PAUSE);
    EXPECT_THAT(Until(PLAYER_PAUSED), ElementsAre("paused"));
    EXPECT_TRUE(m_scope.boxes->Records().empty());
}

TEST_F(TuneboxThreadTest, SeekWhilePausedResumesAtTheTarget)
{
    Play(m_speech);
    Post(WM_PLAYER_PAUSE);
    Until(PLAYER_PAUSED);
    const int duration = m_totals.at(0).durationSeconds;
    const int target = duration / 2;
    Post(WM_PLAYER_SEEK, target, duration);
    EXPECT_THAT(Until(PLAYER_PLAYING), ElementsAre("playing"));
    Message msg;
    ASSERT_TRUE(m_target.Take(msg, kWaitMs));
    ASSERT_EQ(msg.message, WM_PLAYER_POS);
    EXPECT_GE(static_cast<int>(msg.wParam), target);
    EXPECT_LE(static_cast<int>(msg.wParam), target + 1);
    Until(PLAYER_ENDED);
}

// A recording that cannot be opened ends; a device that cannot open is said once,
// and playback stops instead of claiming to play, so the play that follows every
// open finds nothing to start.
TEST_F(TuneboxThreadTest, FailedOpensShowOneBoxAndEndOrStop)
{
    TempDeviceRoot root;
    Play(root.Host("\\My documents\\absent.mp3"));
    Post(WM_PLAYER_PAUSE);
    EXPECT_THAT(Until(PLAYER_PAUSED), ElementsAre("ended", "pos 0", "paused"));
    ASSERT_EQ(m_scope.boxes->Records().size(), 1u);
    EXPECT_EQ(m_scope.boxes->Records()[0].caption, "Error");

    m_scope.boxes->Clear();
    ScopedEnv unwritable("VELLUMDECK_AUDIO", "wav:/nonexistent-dir/x.wav");
    Play(m_speech);
    Post(WM_PLAYER_PLAY);
    Post(WM_PLAYER_PAUSE);
    EXPECT_THAT(Until(PLAYER_PAUSED), ElementsAre("total", "stopped", "paused"));
    const auto boxes = m_scope.boxes->Records();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_TRUE(boxes[0].text.startsWith("No audio output device could be opened.")) << boxes[0].text.toStdString();
    EXPECT_EQ(boxes[0].flags & MB_ICONMASK, MB_ICONSTOP);
}

// An open left in the queue behind the quit, ahead of the loop's own quit message or
// behind it, is not carried out; its path is freed (a leak checker sees it if not), as
// is the TrackInfo of a refused notification, which the soak test refuses by the
// thousand.
TEST_F(TuneboxThreadTest, AnOpenLeftBehindTheQuitIsNotCarriedOut)
{
    m_thread.m_openBeforeQuitIsHandled = true;
    m_thread.m_openAfterQuit = true;
    Post(WM_PLAYER_QUIT);
    EXPECT_TRUE(m_thread.WaitForExit(kWaitMs));
    EXPECT_EQ(m_target.Size(), 0u);
}

}  // namespace
