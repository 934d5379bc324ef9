// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The player thread's engine: one decoder, the playback stream over it, one wave
// output, and the commands that drive them. Every state change is reported to the
// notification target as a posted WM_PLAYER_STATE, WM_PLAYER_TOTAL, WM_PLAYER_POS or
// WM_PLAYER_LOOPPOINT. Used only by the player thread.
//
// Positions are what the listener hears: the device says how much of what was
// written has been heard, the stream which sample of the recording that is. A
// notice goes out when the heard second changes, also between two buffers: the
// engine has itself woken when the next second is due.

#include "Mp3Decoder.h"
#include "PlaybackStream.h"
#include "TrackInfo.h"
#include "WaveOutput.h"
#include "Win32Defs.h"

#include <QString>

#include <chrono>
#include <cstdint>

class MessageTarget;
class tuneboxThread;

class CPlayerEngine
{
public:
    static constexpr int kNothingPosted = -1;
    // How far the frame index reads ahead each time buffers come back.
    static constexpr std::uint32_t kIndexPerService = 256 * 1024;

    CPlayerEngine() = default;
    CPlayerEngine(const CPlayerEngine&) = delete;
    CPlayerEngine& operator=(const CPlayerEngine&) = delete;

    // Called by the thread before its message loop runs.
    void Setup(MessageTarget* notifyTarget, tuneboxThread* thread);

    void Shutdown();
    // Opens the recording and its device; info receives what the view is told.
    bool OpenTrack(const QString& path, TrackInfo* info);
    void StartDevice(TrackInfo* info);
    void Play();
    void Pause();
    void Stop();
    void Seek(std::int32_t target, std::int32_t scale);
    void Service();
    void PostPosition();
    bool IsBusy() const;

    // The loop at the heard sample (LOOP_POINT_A, LOOP_POINT_B) or none (LOOP_CLEAR).
    void SetLoopPoint(int kind);
    void SetRepeat(bool repeat);
    void SetTempo(int hundredths);
    void SetShadowing(bool pauseAfterPass, int passes);
    // WM_PLAYER_TICK: the heard second may have changed.
    void OnTick(WPARAM generation);

    // The sample of the recording the listener hears; 0 with nothing open.
    std::int64_t HeardSample();

    // Posts a notification; false when there is no target or it refused the post.
    bool Notify(UINT msg, WPARAM wParam) const;

private:
    void NotifyState(int state) const;
    void NotifyLoopPoint(int kind, std::int64_t sample) const;
    void ReportDeviceFailure() const;
    DWORD ThreadId() const;
    bool IsPlayingAudio() const { return m_output.IsOpen() && !m_paused; }
    // Starts what is written again from that sample: the queued buffers are dropped.
    void RestartAt(std::int64_t sample, bool fadeIn);
    void ForgetLoop();
    void ScheduleTick();

    MessageTarget* m_pNotifyTarget = nullptr;
    tuneboxThread* m_pThread = nullptr;
    CMp3Decoder m_decoder;
    CPlaybackStream m_stream{m_decoder};
    CWaveOutput m_output;
    int m_lastPosition = kNothingPosted;
    bool m_paused = false;
    std::int64_t m_markA = -1;
    WPARAM m_tickGeneration = 0;
    bool m_tickPending = false;
    std::chrono::steady_clock::time_point m_tickDue;
};
