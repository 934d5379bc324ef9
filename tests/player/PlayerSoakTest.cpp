// The player thread under a storm of commands: tens of thousands of random opens
// (good, bad and missing recordings), plays, pauses, seeks and stops, posted with no
// waiting, against a fast null device. It must not crash or hang, must free every
// heap block that crosses exactly once (the sanitizer build checks that), and must
// still answer WM_PLAYER_QUIT at the end.

#include "DecoderTestSupport.h"
#include "MessageQueue.h"
#include "MessageTarget.h"
#include "PlayerMessages.h"
#include "TempDeviceRoot.h"
#include "TrackInfo.h"
#include "TuneboxThread.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <atomic>
#include <random>

namespace {

constexpr int kCommands = 30000;
constexpr unsigned kSeed = 20240611;   // fixed, so a failure can be replayed
// Bounded, so a deadlock fails the test; generous, as a sanitizer build is many times slower.
constexpr int kQuitWaitMs = 240000;
// Every how many notifications the target refuses one, as a window being destroyed
// would; the thread then keeps and frees the TrackInfo itself.
constexpr unsigned kRefuseEvery = 7;
constexpr int kMaxSeekTarget = 400;
constexpr int kLateOpens = 3;

// Frees what the thread hands over, at once and from the thread itself, and notes
// anything a view could not make sense of.
class SoakTarget : public MessageTarget
{
public:
    bool PostMessage(UINT msg, WPARAM wParam, LPARAM) override
    {
        if (++m_posts % kRefuseEvery == 0)
            return false;
        switch (msg)
        {
        case WM_PLAYER_TOTAL:
        {
            const auto info = tuneboxThread::TakeTrackInfo(wParam);
            if (info == nullptr || info->sampleRate <= 0 || info->durationSeconds < 0)
                ++m_oddNotes;
            ++m_totals;
            break;
        }
        case WM_PLAYER_STATE:
            if (wParam < WPARAM(PLAYER_ENDED) || wParam > WPARAM(PLAYER_STOPPED))
                ++m_oddNotes;
            ++m_states;
            break;
        case WM_PLAYER_POS:
            if (static_cast<std::int64_t>(wParam) < 0)
                ++m_oddNotes;
            break;
        default:
            ++m_oddNotes;
        }
        return true;
    }

    std::atomic<unsigned> m_posts{0};
    std::atomic<int> m_totals{0};
    std::atomic<int> m_states{0};
    std::atomic<int> m_oddNotes{0};
};

class PlayerSoakTest : public ::testing::Test
{
protected:
    void PostRandomCommand(std::mt19937& random, DWORD thread, const QStringList& paths)
    {
        enum Command { Open, Play, Pause, Seek, Stop, NullOpen, kCommandKinds };
        switch (std::uniform_int_distribution<int>(0, kCommandKinds - 1)(random))
        {
        case Open:
            tuneboxThread::PostOpen(thread,
                                    paths[std::uniform_int_distribution<int>(0, int(paths.size()) - 1)(random)]);
            break;
        case Play: PostThreadMessageW(thread, WM_PLAYER_PLAY, 0, 0); break;
        case Pause: PostThreadMessageW(thread, WM_PLAYER_PAUSE, 0, 0); break;
        case Seek:
        {
            // Scales of 0 and below and negative targets are refused by the decoder.
            std::uniform_int_distribution<int> value(-2, kMaxSeekTarget);
            PostThreadMessageW(thread, WM_PLAYER_SEEK, WPARAM(value(random)), LPARAM(value(random)));
            break;
        }
        case Stop: PostThreadMessageW(thread, WM_PLAYER_STOP, 0, 0); break;
        default: PostThreadMessageW(thread, WM_PLAYER_OPEN, 0, 0); break;
        }
    }

    // Buffers of 93 ms played in well under a millisecond: the device's completions
    // interleave with the commands instead of trailing them.
    ScopedEnv m_audio{"VELLUMDECK_AUDIO", "null:2000"};
    ScopedBoxes m_scope;
    TempDeviceRoot m_root;
    SoakTarget m_target;
};

TEST_F(PlayerSoakTest, RandomCommandsWithoutWaitingEndInAnAnsweredQuit)
{
    tuneboxThread thread;
    thread.m_bAutoDelete = false;
    thread.SetOwner(&m_target);
    ASSERT_TRUE(thread.CreateThread());

    // Recordings that open, and paths that fail in each way the decoder tells apart.
    ASSERT_TRUE(QDir().mkpath(m_root.Path() + "/folder.mp3"));
    QStringList paths;
    for (const char* name : {"speech.mp3", "mono.mp3", "vbr-xing.mp3", "truncated.mp3", "stereo-then-mono.mp3",
                             "text.mp3", "empty.mp3"})
        paths << TestDataPath(name);
    paths << m_root.Path() + "/folder.mp3" << m_root.Path() + "/missing.mp3" << QString();
    std::mt19937 random(kSeed);
    for (int i = 0; i < kCommands; ++i)
        PostRandomCommand(random, thread.m_nThreadID, paths);
    ASSERT_TRUE(PostThreadMessageW(thread.m_nThreadID, WM_PLAYER_QUIT, 0, 0));
    // Behind the quit: their paths must be freed by the ending thread, or by the
    // poster once the queue is gone.
    for (int i = 0; i < kLateOpens; ++i)
        tuneboxThread::PostOpen(thread.m_nThreadID, paths.front());

    ASSERT_TRUE(thread.WaitForExit(kQuitWaitMs)) << "the player thread did not answer WM_PLAYER_QUIT";
    EXPECT_EQ(m_target.m_oddNotes.load(), 0);
    EXPECT_GT(m_target.m_totals.load(), 0) << "no recording ever opened";
    EXPECT_GT(m_target.m_states.load(), 0);
    EXPECT_FALSE(m_scope.boxes->Records().empty()) << "the missing recording was never reported";
}

}  // namespace
