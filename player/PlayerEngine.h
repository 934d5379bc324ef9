#pragma once
// The player thread's engine: one decoder, one wave output, and the commands that
// drive them. Every state change is reported to the notification target as a
// posted WM_PLAYER_STATE, WM_PLAYER_TOTAL or WM_PLAYER_POS. Used only by the
// player thread.

#include "Mp3Decoder.h"
#include "TrackInfo.h"
#include "WaveOutput.h"
#include "Win32Defs.h"

#include <QString>

#include <cstdint>

class MessageTarget;
class tuneboxThread;

class CPlayerEngine
{
public:
    static constexpr int kNothingPosted = -1;

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

    // Posts a notification; false when there is no target or it refused the post.
    bool Notify(UINT msg, WPARAM wParam) const;

private:
    void NotifyState(int state) const;
    void ReportDeviceFailure() const;
    DWORD ThreadId() const;

    MessageTarget* m_pNotifyTarget = nullptr;
    tuneboxThread* m_pThread = nullptr;
    CMp3Decoder m_decoder;
    CWaveOutput m_output;
    int m_lastPosition = kNothingPosted;
};
