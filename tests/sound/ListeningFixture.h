// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Plays a recording through the player thread and the sdl output on a sink of the
// test's own on the run's sound server, records the sink's monitor, and has the
// decoder's own output of the same recording (the engine tool's WAV capture) to
// compare it with.

#include "HeardPcm.h"
#include "MessageBox.h"
#include "MonitorRecorder.h"
#include "PlayerMessages.h"
#include "QueueMessageTarget.h"
#include "RecordingMessageBoxPresenter.h"
#include "SoundServer.h"
#include "TuneboxThread.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

class ListeningFixture : public ::testing::Test
{
protected:
    using Clock = std::chrono::steady_clock;

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

    void SetUp() override;
    void TearDown() override;

    // Plays the recording to its end; `change` is made once `seconds` of its sound
    // have been heard. Then m_heard holds what the monitor recorded, m_lag where the
    // recording's first sound was heard (recording frame f is heard at f + m_lag) and
    // m_changedAt the first frame of the recording not heard exactly as it was made.
    void PlayThrough(const QString& testDataName, double seconds = 0, const std::function<void()>& change = {});

    void Post(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // Takes notifications until the thread reports state; false on time-out.
    bool WaitForState(int state);
    // Waits until the monitor's last recorded seconds are all silence.
    bool WaitForSilenceHeard(double seconds);

    SoundServer m_server;
    QTemporaryDir m_settings;
    HeardPcm m_reference;
    HeardPcm m_heard;
    long m_lag = -1;
    std::size_t m_changedAt = 0;
    MonitorRecorder m_recorder;
    EndTimingTarget m_target;
    RecordingMessageBoxPresenter* m_boxes = nullptr;
    int m_durationSeconds = 0;

private:
    void Prepare(const QString& testDataName);
    bool WaitForSoundHeard(double seconds);
    void StopRecording();

    std::unique_ptr<MessageBoxPresenter> m_previousBoxes;
    tuneboxThread m_thread;
    bool m_threadStarted = false;
};
