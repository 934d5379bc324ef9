// SPDX-License-Identifier: GPL-2.0-or-later
// What the learner hears, judged by the samples that come out and the clock they
// come out by: position notices arrive when their second is heard, an A-B loop plays
// the stretch between the points where they were heard, and repeat-one plays a
// short clip to its last sample before it starts it again. A 22.05 kHz mono lesson,
// the usual format of spoken courses, where the decoder runs furthest ahead.

#include "DecoderTestSupport.h"
#include "HeardPcm.h"
#include "MessageQueue.h"
#include "PlayerMessages.h"
#include "QueueMessageTarget.h"
#include "TempDeviceRoot.h"
#include "TestPlayer.h"
#include "TuneboxThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWaitMs = 30000;
constexpr int kRate = 22050;
// The ramps either side of a loop's jump are not compared.
constexpr std::size_t kRampSamples = kRate / 100;
// Two decodes differ only by their dither (a few steps).
constexpr int kDitherSteps = 8;

struct Notice
{
    Message msg;
    Clock::time_point at;
};

// Notes when each notice was posted: the engine posts as things happen.
class TimedTarget : public QueueMessageTarget
{
public:
    bool PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_PLAYER_TOTAL)
            tuneboxThread::TakeTrackInfo(wParam);   // only the time matters here
        std::lock_guard lock(m_lock);
        m_times.push_back(Clock::now());
        return QueueMessageTarget::PostMessage(msg, wParam, lParam);
    }

    // Takes notices until one of this message (and wParam, unless -1) comes; false
    // when none comes in time.
    bool Until(UINT message, long wParam, Notice* found = nullptr, std::vector<Notice>* seen = nullptr)
    {
        for (Message msg; Take(msg, kWaitMs);) {
            const Notice notice{msg, TakeTime()};
            if (seen)
                seen->push_back(notice);
            if (msg.message == message && (wParam < 0 || long(msg.wParam) == wParam)) {
                if (found)
                    *found = notice;
                return true;
            }
        }
        return false;
    }

private:
    Clock::time_point TakeTime()
    {
        std::lock_guard lock(m_lock);
        const Clock::time_point at = m_times.front();
        m_times.pop_front();
        return at;
    }

    std::mutex m_lock;
    std::deque<Clock::time_point> m_times;
};

// How many samples from capture[at] on are those from reference[from] on, but for the
// dither.
std::size_t Matching(const std::vector<std::int16_t>& capture, std::size_t at,
                     const std::vector<std::int16_t>& reference, std::size_t from)
{
    std::size_t n = 0;
    while (at + n < capture.size() && from + n < reference.size() &&
           std::abs(capture[at + n] - reference[from + n]) <= kDitherSteps)
        ++n;
    return n;
}

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

class HeardPositionTest : public ::testing::Test
{
protected:
    void Start(const QByteArray& audio)
    {
        m_audio = std::make_unique<ScopedEnv>("VELLUMDECK_AUDIO", audio);
        ASSERT_TRUE(TestPlayer::Start(m_thread, m_target));
    }

    void TearDown() override { EXPECT_TRUE(TestPlayer::Quit(m_thread, kWaitMs)); }

    void Post(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { EXPECT_TRUE(TestPlayer::Post(m_thread, msg, wParam, lParam)); }
    void Play(const QString& path) { EXPECT_TRUE(TestPlayer::Play(m_thread, path)); }

    std::vector<std::int16_t> Capture() const
    {
        HeardPcm heard;
        EXPECT_TRUE(HeardPcm::Load(m_capture, heard));
        EXPECT_EQ(heard.rate, unsigned(kRate));
        EXPECT_EQ(heard.channels, 1u);
        return heard.samples;
    }

    TempDeviceRoot m_root;
    const QString m_capture = m_root.Path() + "/heard.wav";
    const QString m_lesson = TestDataPath("speech22.mp3");
    std::unique_ptr<ScopedEnv> m_audio;
    ScopedBoxes m_boxes;
    TimedTarget m_target;
    tuneboxThread m_thread;
};

// At real time every second is told, none skipped, within 0.3 s of when it is heard
// (the sound begins as the player says it plays).
TEST_F(HeardPositionTest, EachSecondIsToldWhenItIsHeard)
{
    Start("null:1");
    Play(m_lesson);
    Notice playing;
    ASSERT_TRUE(m_target.Until(WM_PLAYER_STATE, PLAYER_PLAYING, &playing));
    std::vector<Notice> seen;
    Notice ended;
    ASSERT_TRUE(m_target.Until(WM_PLAYER_STATE, PLAYER_ENDED, &ended, &seen));
    int expected = 0;
    for (const Notice& notice : seen) {
        if (notice.msg.message != WM_PLAYER_POS)
            continue;
        SCOPED_TRACE(notice.msg.wParam);
        EXPECT_EQ(int(notice.msg.wParam), expected) << "in order, none skipped";
        EXPECT_NEAR(Seconds(notice.at - playing.at), double(expected), 0.3);
        ++expected;
    }
    const double length = double(DecodeFile(m_lesson).Frames()) / kRate;
    EXPECT_EQ(expected, int(length) + 1);
    EXPECT_NEAR(Seconds(ended.at - playing.at), length, 0.3) << "the end comes when the last sample is heard";
}

// A at the second 2 notice, B at the second 4 notice: the points are where the
// learner was. The capture holds the recording to B, the stretch between the points
// three times (the passes asked for), then the rest of the recording. Which samples
// each pass holds is the playback stream's, tested with it; here the timing.
TEST_F(HeardPositionTest, ALoopPlaysTheStretchBetweenTheHeardPoints)
{
    Start("wav:" + m_capture.toLocal8Bit() + ":2");
    Post(WM_PLAYER_SHADOW, 0, 3);
    Play(m_lesson);
    Notice a;
    Notice b;
    ASSERT_TRUE(m_target.Until(WM_PLAYER_POS, 2));
    Post(WM_PLAYER_LOOP, LOOP_POINT_A);
    ASSERT_TRUE(m_target.Until(WM_PLAYER_LOOPPOINT, LOOP_POINT_A, &a));
    ASSERT_TRUE(m_target.Until(WM_PLAYER_POS, 4));
    Post(WM_PLAYER_LOOP, LOOP_POINT_B);
    ASSERT_TRUE(m_target.Until(WM_PLAYER_LOOPPOINT, LOOP_POINT_B, &b));
    EXPECT_TRUE(m_target.Until(WM_PLAYER_LOOPPOINT, LOOP_CLEAR));
    ASSERT_TRUE(m_target.Until(WM_PLAYER_STATE, PLAYER_ENDED));

    // Each point within 100 ms (of the recording, at twice real time) of its second.
    EXPECT_NEAR(double(a.msg.lParam), 2000.0, 100.0);
    EXPECT_NEAR(double(b.msg.lParam), 4000.0, 100.0);
    const std::vector<std::int16_t> reference = DecodeFile(m_lesson).samples;
    const std::vector<std::int16_t> capture = Capture();
    // Up to B and what was already being heard of the next chunk, then the jump.
    const std::size_t jump = Matching(capture, 0, reference, 0);
    const auto noticedB = std::size_t(b.msg.lParam) * kRate / 1000;
    EXPECT_GE(jump + kRampSamples, noticedB);
    EXPECT_LT(jump, noticedB + kRate / 5);
    // Then three passes of B - A, the first from the jump: the capture is longer than
    // the recording by two passes and what the jump went back. The notices tell the
    // points to the millisecond.
    constexpr double kMillisecond = kRate / 1000 + 1;
    const double noticedA = double(a.msg.lParam) * kRate / 1000;
    const double loop = double(b.msg.lParam - a.msg.lParam) * kRate / 1000;
    EXPECT_NEAR(double(capture.size()) - double(reference.size()), 2 * loop + double(jump) - noticedA,
                5 * kMillisecond);
    // From past B (and its ramp) to the end the recording is heard whole, and last.
    ASSERT_GT(capture.size(), reference.size());
    const std::size_t rest = reference.size() - noticedB - kRate / 5;
    EXPECT_EQ(Matching(capture, capture.size() - rest, reference, reference.size() - rest), rest);
}

// A clip of four seconds, shorter than what the decoder runs ahead at this rate:
// played whole, then whole again once repeat-one is switched off in the second pass.
TEST_F(HeardPositionTest, RepeatOnePlaysAShortClipWholeBeforeItStartsAgain)
{
    ASSERT_TRUE(m_root.WriteFile("\\clip.mp3", ReadTestData("speech22.mp3").left(16000)));   // 32 kbit/s
    const QString clip = m_root.Host("\\clip.mp3");
    const DecodedPcm reference = DecodeFile(clip);
    ASSERT_NEAR(double(reference.Frames()) / kRate, 4.0, 0.2);

    Start("wav:" + m_capture.toLocal8Bit() + ":4");
    Post(WM_PLAYER_REPEAT, 1);
    Play(clip);
    ASSERT_TRUE(m_target.Until(WM_PLAYER_POS, 3));
    ASSERT_TRUE(m_target.Until(WM_PLAYER_POS, 0)) << "the clip starts again";
    Post(WM_PLAYER_REPEAT, 0);
    ASSERT_TRUE(m_target.Until(WM_PLAYER_STATE, PLAYER_ENDED));

    const std::vector<std::int16_t> capture = Capture();
    const std::size_t n = reference.samples.size();
    ASSERT_EQ(capture.size(), 2 * n);
    EXPECT_GE(Matching(capture, 0, reference.samples, 0), n);
    EXPECT_EQ(Matching(capture, n + kRampSamples, reference.samples, kRampSamples), n - kRampSamples);
}

}  // namespace
