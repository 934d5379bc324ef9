// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Plays a recording through the player thread and the sdl output on a sink of the
// test's own on the run's sound server, records the sink's monitor, and has the
// decoder's own output of the same recording (the engine tool's WAV capture) to
// compare it with.

#include "Dither.h"
#include "HeardCompare.h"
#include "MessageBox.h"
#include "MessageQueue.h"
#include "MonitorRecorder.h"
#include "PlayTool.h"
#include "PlayerMessages.h"
#include "QueueMessageTarget.h"
#include "Registry.h"
#include "ScopedBoxes.h"
#include "SoundServer.h"
#include "TempDeviceRoot.h"
#include "TestPlayer.h"
#include "TrackInfo.h"
#include "TuneboxThread.h"
#include "WaitFor.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

class ListeningFixture : public ::testing::Test
{
protected:
    using Clock = std::chrono::steady_clock;
    static constexpr int kWaitMs = 30000;
    // After the end the monitor records this much longer: anything still on its way
    // to the sink would be heard in it.
    static constexpr double kAfterEndSeconds = 0.5;

    // Notes when the end was reported, as the player thread posts it.
    class EndTimingTarget : public QueueMessageTarget
    {
    public:
        bool PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
        {
            if (msg == WM_PLAYER_STATE && static_cast<int>(wParam) == PLAYER_ENDED)
                m_endedAt = Clock::now();
            return QueueMessageTarget::PostMessage(msg, wParam, lParam);
        }
        std::atomic<Clock::time_point> m_endedAt{Clock::time_point()};
    };

    void SetUp() override
    {
        // A volume stored by another run must not scale what is heard.
        Registry::SetFilePath(m_settings.filePath("registry.ini"));
        QString reason;
        if (!m_server.UseRunServer(reason))
            GTEST_SKIP() << reason.toStdString();
    }

    void TearDown() override
    {
        if (m_threadStarted) {
            EXPECT_TRUE(TestPlayer::Quit(m_thread, kWaitMs));
            TestPlayer::DropNotices(m_target);
            EXPECT_TRUE(m_boxes->Records().empty()) << "a message box was shown while it played";
        }
        m_recorder.Stop();
        Registry::SetFilePath(QString());
    }

    // Plays the recording to its end; `change` is made once `seconds` of its sound
    // have been heard. Then m_heard holds what the monitor recorded, m_lag where the
    // recording's first sound was heard (recording frame f is heard at f + m_lag) and
    // m_changedAt the first frame of the recording not heard exactly as it was made.
    void PlayThrough(const QString& testDataName, double seconds = 0, const std::function<void()>& change = {})
    {
        PlayTool tool;
        const QString capture = m_settings.filePath("reference.wav");
        ASSERT_TRUE(tool.Capture(TestDataPath(testDataName), capture, kWaitMs)) << tool.Errors().toStdString();
        ASSERT_TRUE(HeardPcm::Load(capture, m_reference));
        QString reason;
        ASSERT_TRUE(m_server.AddSink(m_reference.rate, m_reference.channels, reason)) << reason.toStdString();
        // The engine tool began from a clean dither, as the player thread must to make
        // the very same samples.
        Dither::ResetAll();
        // Before any thread of the player's or of libpulse starts: they read these.
        m_server.UseInThisProcess();
        qputenv("VELLUMDECK_AUDIO", "sdl");
        std::string error;
        ASSERT_TRUE(m_recorder.Start(m_server.Monitor().toStdString(), m_reference.rate, m_reference.channels, error))
            << error;
        ASSERT_TRUE(TestPlayer::Start(m_thread, m_target));
        m_threadStarted = true;
        EXPECT_TRUE(TestPlayer::Play(m_thread, TestDataPath(testDataName)));
        if (change) {
            const auto wanted = static_cast<long>(seconds * m_reference.rate * m_reference.channels);
            ASSERT_TRUE(WaitFor(
                [&] {
                    const std::vector<std::int16_t> samples = m_recorder.Samples();
                    return std::count_if(samples.begin(), samples.end(), [](std::int16_t s) { return s != 0; }) >=
                           wanted;
                },
                kWaitMs));
            change();
            if (HasFatalFailure())
                return;
        }
        ASSERT_TRUE(WaitForState(PLAYER_ENDED));
        const std::size_t until = m_recorder.Frames() + static_cast<std::size_t>(kAfterEndSeconds * m_reference.rate);
        EXPECT_TRUE(WaitFor([&] { return m_recorder.Frames() >= until || !m_recorder.Running(); }, kWaitMs));
        m_recorder.Stop();
        EXPECT_TRUE(m_recorder.Error().empty()) << m_recorder.Error();
        m_heard = {m_recorder.Rate(), m_recorder.Channels(), m_recorder.Samples()};
        m_lag = HeardCompare::Align(m_reference, m_heard);
        ASSERT_GE(m_lag, 0) << "the recording's first sound was never heard";
        m_changedAt = HeardCompare::FirstDifference(m_reference, 0, m_heard, m_lag);
    }

    void Post(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { EXPECT_TRUE(TestPlayer::Post(m_thread, msg, wParam, lParam)); }
    // Takes notifications until the thread reports state; false on time-out.
    bool WaitForState(int state)
    {
        for (Message msg; m_target.Take(msg, kWaitMs);) {
            if (msg.message == WM_PLAYER_TOTAL)
                m_durationSeconds = tuneboxThread::TakeTrackInfo(msg.wParam)->durationSeconds;
            if (msg.message == WM_PLAYER_STATE && static_cast<int>(msg.wParam) == state)
                return true;
        }
        return false;
    }
    // Waits until the monitor's last recorded seconds are all silence.
    bool WaitForSilenceHeard(double seconds)
    {
        const auto tail = static_cast<long>(seconds * m_reference.rate * m_recorder.Channels());
        return WaitFor(
            [&] {
                const std::vector<std::int16_t> samples = m_recorder.Samples();
                return static_cast<long>(samples.size()) >= tail &&
                       std::all_of(samples.end() - tail, samples.end(), [](std::int16_t s) { return s == 0; });
            },
            kWaitMs);
    }

    SoundServer m_server;
    QTemporaryDir m_settings;
    HeardPcm m_reference;
    HeardPcm m_heard;
    long m_lag = -1;
    std::size_t m_changedAt = 0;
    MonitorRecorder m_recorder;
    EndTimingTarget m_target;
    ScopedBoxes m_scopedBoxes;
    RecordingMessageBoxPresenter* const m_boxes = m_scopedBoxes.boxes;
    int m_durationSeconds = 0;

private:
    tuneboxThread m_thread;
    bool m_threadStarted = false;
};
