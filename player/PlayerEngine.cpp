// SPDX-License-Identifier: GPL-2.0-or-later
#include "PlayerEngine.h"

#include "MessageBox.h"
#include "MessageQueue.h"

#include <algorithm>
#include "MessageTarget.h"
#include "PlayerMessages.h"
#include "TuneboxThread.h"
#include "WaveOut.h"

namespace {

const char* const kNoDeviceText = "No audio output device could be opened.";
const char* const kErrorCaption = "Error";

using Clock = std::chrono::steady_clock;
constexpr int kMillisecondsPerSecond = 1000;
// A tick comes a little after the second is due, so that the second has begun; in a
// pause after a pass, where no second is due, the engine looks again now and then.
constexpr auto kTickLate = std::chrono::milliseconds(2);
constexpr auto kTickShortest = std::chrono::milliseconds(5);
constexpr auto kTickLongest = std::chrono::milliseconds(500);
constexpr auto kTickSooner = std::chrono::milliseconds(5);
constexpr double kHundredths = 100.0;

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
    ForgetLoop();
    if (!m_decoder.Open(path))
    {
        // The old recording is gone with the failed open; a later Play must not
        // start the closed decoder and report a second end.
        m_output.Attach(nullptr);
        SetThreadPriority(THREAD_PRIORITY_NORMAL);
        NotifyState(PLAYER_ENDED);
        return false;
    }
    m_stream.Restart();
    m_output.Attach(&m_stream);
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
    m_paused = false;
    NotifyState(PLAYER_PLAYING);
    m_lastPosition = kNothingPosted;
    PostPosition();
    Service();
}

void CPlayerEngine::Pause()
{
    if (m_output.IsOpen())
        m_output.SetPaused(true);
    m_paused = true;
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
    ForgetLoop();
    m_stream.SetRepeat(false);
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
    {
        m_decoder.Seek(target, scale);
        m_stream.Restart();
    }
}

void CPlayerEngine::RestartAt(std::int64_t sample, bool fadeIn)
{
    m_output.Reset();
    if (!m_decoder.SeekToSample(sample))
    {
        const std::int64_t duration = std::max<std::int64_t>(m_decoder.DurationSamples(), 1);
        constexpr std::int32_t kScale = 1 << 30;
        m_decoder.Seek(static_cast<std::int32_t>(std::min(double(sample) / double(duration), 1.0) * kScale), kScale);
    }
    m_stream.Restart(fadeIn);
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
        if (m_stream.TakeLoopEnded())
        {
            m_markA = -1;
            NotifyLoopPoint(LOOP_CLEAR, 0);
        }
        // Off the refill's path: the frame index learns a little more of the file.
        if (m_output.Attached() != nullptr)
            m_decoder.IndexAhead(kIndexPerService);
    }
    // The last buffers are still being heard after the data has ended.
    PostPosition();
    if (IsBusy())
    {
        ScheduleTick();
        return;
    }
    // The data ran out and the device has given every buffer back.
    m_output.Close();
    SetThreadPriority(THREAD_PRIORITY_NORMAL);
    NotifyState(PLAYER_ENDED);
}

void CPlayerEngine::PostPosition()
{
    const int rate = std::max(m_decoder.SampleRate(), 1);
    const int position = m_output.IsOpen() ? static_cast<int>(HeardSample() / rate) : 0;
    if (position == m_lastPosition)
        return;
    m_lastPosition = position;
    Notify(WM_PLAYER_POS, static_cast<WPARAM>(position));
}

std::int64_t CPlayerEngine::HeardSample()
{
    if (!m_output.IsOpen())
        return 0;
    return m_stream.HeardSample(m_output.HeardFrames());
}

// One wake-up a second at most: a tick already due sooner is kept.
void CPlayerEngine::ScheduleTick()
{
    if (!IsPlayingAudio())
        return;
    const int rate = std::max(m_decoder.SampleRate(), 1);
    const std::int64_t frames = m_output.HeardFrames();
    const std::int64_t heard = m_stream.HeardSample(frames);
    Clock::duration wait = kTickLongest;
    if (m_stream.AdvancesAt(frames))
    {
        const std::int64_t toNext = (heard / rate + 1) * rate - heard;
        const double seconds = double(toNext) / rate / m_stream.Tempo();
        wait = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)) + kTickLate;
    }
    wait = std::clamp<Clock::duration>(wait, kTickShortest, kTickLongest);
    const Clock::time_point due = Clock::now() + wait;
    if (m_tickPending && m_tickDue <= due + kTickSooner)
        return;
    m_tickPending = true;
    m_tickDue = due;
    PostThreadMessageAt(ThreadId(), WM_PLAYER_TICK, ++m_tickGeneration, 0, due);
}

void CPlayerEngine::OnTick(WPARAM generation)
{
    if (generation != m_tickGeneration)
        return;   // a later tick took its place
    m_tickPending = false;
    PostPosition();
    ScheduleTick();
}

void CPlayerEngine::SetLoopPoint(int kind)
{
    if (kind == LOOP_CLEAR || m_output.Attached() == nullptr)
    {
        const bool hadLoop = m_markA >= 0 || m_stream.IsLooping();
        ForgetLoop();
        if (hadLoop)
            NotifyLoopPoint(LOOP_CLEAR, 0);
        return;
    }
    const std::int64_t heard = HeardSample();
    if (kind == LOOP_POINT_A || m_markA < 0)
    {
        m_markA = heard;
        NotifyLoopPoint(LOOP_POINT_A, heard);
        return;
    }
    // Marked after a jump back, B may come before A: the loop is the stretch between.
    const std::int64_t a = std::min(m_markA, heard);
    const std::int64_t b = std::max(m_markA, heard);
    if (a != m_markA)
        NotifyLoopPoint(LOOP_POINT_A, a);
    m_markA = a;
    NotifyLoopPoint(LOOP_POINT_B, b);
    m_stream.SetLoop(a, b);
    RestartAt(a, true);
    Play();
}

void CPlayerEngine::ForgetLoop()
{
    m_markA = -1;
    m_stream.ClearLoop();
}

void CPlayerEngine::SetRepeat(bool repeat)
{
    m_stream.SetRepeat(repeat);
}

void CPlayerEngine::SetShadowing(bool pauseAfterPass, int passes)
{
    m_stream.SetShadowing(pauseAfterPass, passes);
}

// A new tempo is heard at once: what is queued at the old one is dropped, and the
// recording goes on from the sample the listener is at.
void CPlayerEngine::SetTempo(int hundredths)
{
    const double tempo = std::clamp(hundredths, TEMPO_SLOWEST, TEMPO_FASTEST) / kHundredths;
    if (tempo == m_stream.Tempo())
        return;
    const bool restart = m_output.IsOpen() && m_output.Attached() != nullptr;
    const std::int64_t heard = HeardSample();
    m_stream.SetTempo(tempo);
    if (!restart)
        return;
    RestartAt(heard, true);
    Service();
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

void CPlayerEngine::NotifyLoopPoint(int kind, std::int64_t sample) const
{
    const std::int64_t rate = std::max(m_decoder.SampleRate(), 1);
    if (m_pNotifyTarget != nullptr)
        m_pNotifyTarget->PostMessage(WM_PLAYER_LOOPPOINT, static_cast<WPARAM>(kind),
                                     static_cast<LPARAM>(sample * kMillisecondsPerSecond / rate));
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
