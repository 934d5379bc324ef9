// SPDX-License-Identifier: GPL-2.0-or-later
// The player thread under a storm of commands: tens of thousands of random opens
// (good, bad and missing recordings), plays, pauses, seeks and stops, posted with no
// waiting, against a fast null device. It must not crash or hang, must free every
// heap block that crosses exactly once (the sanitizer build checks that: a TrackInfo
// whose notice is refused, paths of opens still queued behind the quit), and must
// still answer WM_PLAYER_QUIT at the end.

#include "DecoderTestSupport.h"
#include "MessageQueue.h"
#include "MessageTarget.h"
#include "PlayerMessages.h"
#include "TempDeviceRoot.h"
#include "TrackInfo.h"
#include "TuneboxThread.h"

#include <QDir>
#include <QStringList>

#include <gtest/gtest.h>

#include <atomic>
#include <random>

namespace {

constexpr unsigned kSeed = 20240611;   // fixed, so a failure can be replayed
// Bounded, so a deadlock fails the test; generous, as a sanitizer build is many times slower.
constexpr int kQuitWaitMs = 240000;

// Frees what the thread hands over, at once and from the thread itself; refuses every
// seventh notification, as a window being destroyed would; counts anything a view
// could not make sense of.
class SoakTarget : public MessageTarget
{
public:
    bool PostMessage(UINT msg, WPARAM wParam, LPARAM) override
    {
        if (++m_posts % 7 == 0)
            return false;
        if (msg == WM_PLAYER_TOTAL) {
            const auto info = tuneboxThread::TakeTrackInfo(wParam);
            m_odd += info == nullptr || info->sampleRate <= 0 || info->durationSeconds < 0;
            ++m_totals;
        } else if (msg == WM_PLAYER_STATE) {
            m_odd += wParam < WPARAM(PLAYER_ENDED) || wParam > WPARAM(PLAYER_STOPPED);
            ++m_states;
        } else {
            m_odd += msg != WM_PLAYER_POS || static_cast<std::int64_t>(wParam) < 0;
        }
        return true;
    }

    std::atomic<unsigned> m_posts{0};
    std::atomic<int> m_totals{0};
    std::atomic<int> m_states{0};
    std::atomic<int> m_odd{0};
};

TEST(PlayerSoakTest, RandomCommandsWithoutWaitingEndInAnAnsweredQuit)
{
    // Buffers of 93 ms played in well under a millisecond: the device's completions
    // interleave with the commands instead of trailing them.
    ScopedEnv audio("VELLUMDECK_AUDIO", "null:2000");
    ScopedBoxes scope;
    TempDeviceRoot root;
    SoakTarget target;
    tuneboxThread thread;
    thread.m_bAutoDelete = false;
    thread.SetOwner(&target);
    ASSERT_TRUE(thread.CreateThread());
    const DWORD id = thread.m_nThreadID;

    // Recordings that open, and paths that fail in each way the decoder tells apart.
    ASSERT_TRUE(QDir().mkpath(root.Path() + "/folder.mp3"));
    QStringList paths;
    for (const char* name : {"speech.mp3", "mono.mp3", "vbr-xing.mp3", "truncated.mp3", "stereo-then-mono.mp3",
                             "text.mp3", "empty.mp3"})
        paths << TestDataPath(name);
    paths << root.Path() + "/folder.mp3" << root.Path() + "/missing.mp3" << QString();
    std::mt19937 random(kSeed);
    // Scales of 0 and below and negative targets are refused by the decoder.
    std::uniform_int_distribution<int> seekValue(-2, 400);
    std::uniform_int_distribution<int> path(0, int(paths.size()) - 1);
    for (int i = 0; i < 30000; ++i) {
        switch (std::uniform_int_distribution<int>(0, 5)(random)) {
        case 0: tuneboxThread::PostOpen(id, paths[path(random)]); break;
        case 1: PostThreadMessageW(id, WM_PLAYER_PLAY, 0, 0); break;
        case 2: PostThreadMessageW(id, WM_PLAYER_PAUSE, 0, 0); break;
        case 3: PostThreadMessageW(id, WM_PLAYER_SEEK, WPARAM(seekValue(random)), LPARAM(seekValue(random))); break;
        case 4: PostThreadMessageW(id, WM_PLAYER_STOP, 0, 0); break;
        default: PostThreadMessageW(id, WM_PLAYER_OPEN, 0, 0); break;
        }
    }
    ASSERT_TRUE(PostThreadMessageW(id, WM_PLAYER_QUIT, 0, 0));
    // Behind the quit: their paths must be freed by the ending thread, or by the
    // poster once the queue is gone.
    for (int i = 0; i < 3; ++i)
        tuneboxThread::PostOpen(id, paths.front());

    ASSERT_TRUE(thread.WaitForExit(kQuitWaitMs)) << "the player thread did not answer WM_PLAYER_QUIT";
    EXPECT_EQ(target.m_odd.load(), 0);
    EXPECT_GT(target.m_totals.load(), 0) << "no recording ever opened";
    EXPECT_GT(target.m_states.load(), 0);
    EXPECT_FALSE(scope.boxes->Records().empty()) << "the missing recording was never reported";
}

}  // namespace
