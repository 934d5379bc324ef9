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
        Clock::time_point EndedAt() const { return m_endedAt; }

    private:
        std::atomic<Clock::time_point> m_endedAt{Clock::time_point()};
    };

    void SetUp() override;
    void TearDown() override;

    // The reference, the sink at its format, the recording and the player thread.
    void Prepare(const QString& testDataName);
    void Post(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    void OpenAndPlay();
    // Takes notifications until the thread reports state; false on time-out.
    bool WaitForState(int state);
    // Waits until the monitor has recorded the given seconds of sound (not silence).
    bool WaitForSoundHeard(double seconds);
    // Waits until the monitor's last recorded seconds are all silence.
    bool WaitForSilenceHeard(double seconds);
    // Records a little longer, so nothing on its way is missed, then stops.
    HeardPcm StopRecording();

    int DurationSeconds() const { return m_durationSeconds; }

    SoundServer m_server;
    QTemporaryDir m_settings;
    HeardPcm m_reference;
    MonitorRecorder m_recorder;
    EndTimingTarget m_target;
    RecordingMessageBoxPresenter* m_boxes = nullptr;

private:
    void TakeNotification(const Message& msg);

    std::unique_ptr<MessageBoxPresenter> m_previousBoxes;
    tuneboxThread m_thread;
    bool m_threadStarted = false;
    QString m_file;
    int m_durationSeconds = 0;
};
