#include "PlayerEngine.h"

#include "MessageBox.h"
#include "MessageQueue.h"
#include "MessageTarget.h"
#include "PlayerMessages.h"
#include "TuneboxThread.h"
#include "WaveOut.h"

namespace {

const char* const kNoDeviceText = "No audio output device could be opened.";
const char* const kErrorCaption = "Error";

}  // namespace

void CPlayerEngine::Setup(MessageTarget* notifyTarget, tuneboxThread* thread)
{
    m_pNotifyTarget = notifyTarget;
    m_pThread = thread;
    m_lastPosition = kNothingPosted;
    m_decoder.Init();
}

void CPlayerEngine::Shutdown()
{
    m_output.Close();
    m_decoder.Close();
}

bool CPlayerEngine::OpenTrack(const QString& path, TrackInfo* info)
{
    if (m_output.IsOpen())
        m_output.Close();
    if (!m_decoder.Open(path))
    {
        // The old recording is gone with the failed open; a later Play must not
        // start the closed decoder and report a second end.
        m_output.Attach(nullptr);
        SetThreadPriority(THREAD_PRIORITY_NORMAL);
        NotifyState(PLAYER_ENDED);
        return false;
    }
    m_output.Attach(&m_decoder);
    StartDevice(info);
    PostPosition();
    return true;
}

void CPlayerEngine::StartDevice(TrackInfo* info)
{
    TrackInfo current;
    m_decoder.GetTrackInfo(&current);
    // A device that cannot open is dealt with when playback is asked for.
    m_output.Open(current, ThreadId());
    *info = current;
}

void CPlayerEngine::Play()
{
    if (m_output.Attached() == nullptr)
        return;
    SetThreadPriority(THREAD_PRIORITY_TIME_CRITICAL);
    if (!m_output.IsOpen())
    {
        TrackInfo discarded;
        StartDevice(&discarded);
    }
    if (!m_output.IsOpen())
    {
        // Reporting PLAYER_PLAYING here would show a player running in silence.
        ReportDeviceFailure();
        Stop();
        return;
    }
    m_output.SetPaused(false);
    NotifyState(PLAYER_PLAYING);
    m_lastPosition = kNothingPosted;
    PostPosition();
    Service();
}

void CPlayerEngine::Pause()
{
    if (m_output.IsOpen())
        m_output.SetPaused(true);
    PostPosition();
    NotifyState(PLAYER_PAUSED);
}

void CPlayerEngine::Stop()
{
    if (m_output.Attached() != nullptr)
    {
        m_decoder.Close();
        m_output.Attach(nullptr);
    }
    m_output.Close();
    // Close lowers the priority only for an open device; Play may have raised it
    // for one that never opened.
    SetThreadPriority(THREAD_PRIORITY_NORMAL);
    PostPosition();
    NotifyState(PLAYER_STOPPED);
}

void CPlayerEngine::Seek(std::int32_t target, std::int32_t scale)
{
    if (!m_output.IsOpen())
        return;
    m_output.Reset();
    if (m_output.Attached() != nullptr)
        m_decoder.Seek(target, scale);
}

void CPlayerEngine::Service()
{
    if (!m_output.IsOpen())
        return;
    if (m_output.Attached() != nullptr)
    {
        m_output.Pump();
        if (m_output.DeviceLost())
        {
            // As a device that cannot be opened: the learner is told once, and the
            // player stops rather than running on in silence.
            ReportDeviceFailure();
            Stop();
            return;
        }
        if (m_output.Attached() != nullptr)
            PostPosition();
    }
    if (IsBusy())
        return;
    // The data ran out and the device has given every buffer back.
    m_output.Close();
    SetThreadPriority(THREAD_PRIORITY_NORMAL);
    NotifyState(PLAYER_ENDED);
}

void CPlayerEngine::PostPosition()
{
    const bool decoding = m_output.IsOpen() && m_output.Attached() != nullptr;
    const int position = decoding ? m_decoder.PositionSeconds() : 0;
    if (position == m_lastPosition)
        return;
    m_lastPosition = position;
    Notify(WM_PLAYER_POS, static_cast<WPARAM>(position));
}

bool CPlayerEngine::IsBusy() const
{
    return m_output.Attached() != nullptr || (m_output.IsOpen() && !m_output.AllIdle());
}

bool CPlayerEngine::Notify(UINT msg, WPARAM wParam) const
{
    if (m_pNotifyTarget == nullptr)
        return false;
    return m_pNotifyTarget->PostMessage(msg, wParam, 0);
}

void CPlayerEngine::NotifyState(int state) const
{
    Notify(WM_PLAYER_STATE, static_cast<WPARAM>(state));
}

void CPlayerEngine::ReportDeviceFailure() const
{
    QString text = QString::fromLatin1(kNoDeviceText);
    const std::string reason = WaveOutLastOpenError();
    if (!reason.empty())
        text += QLatin1Char('\n') + QString::fromStdString(reason);
    MessageBoxW(nullptr, text, QString::fromLatin1(kErrorCaption), MB_ICONSTOP);
}

DWORD CPlayerEngine::ThreadId() const
{
    return m_pThread != nullptr ? m_pThread->m_nThreadID : GetCurrentThreadId();
}
