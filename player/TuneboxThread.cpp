#include "TuneboxThread.h"

#include "MessageQueue.h"
#include "MessageTarget.h"
#include "PlayerMessages.h"

#include <algorithm>

tuneboxThread::~tuneboxThread()
{
    // The engine dies with this object, so its thread must be done with it first.
    if (IsRunning() && m_nThreadID != GetCurrentThreadId())
    {
        PostThreadMessageW(m_nThreadID, WM_PLAYER_QUIT, 0, 0);
        WaitForExit();
    }
}

bool tuneboxThread::InitInstance()
{
    m_engine.Setup(m_pOwner, this);
    return true;
}

int tuneboxThread::ExitInstance()
{
    m_engine.Shutdown();
    DrainQueue();
    return CWinThread::ExitInstance();
}

bool tuneboxThread::PostOpen(DWORD threadId, const QString& path)
{
    auto* copy = new char16_t[path.size() + 1];
    std::copy_n(reinterpret_cast<const char16_t*>(path.utf16()), path.size(), copy);
    copy[path.size()] = u'\0';
    if (PostThreadMessageW(threadId, WM_PLAYER_OPEN, reinterpret_cast<WPARAM>(copy), 0))
        return true;
    delete[] copy;
    return false;
}

std::unique_ptr<TrackInfo> tuneboxThread::TakeTrackInfo(WPARAM wParam)
{
    return std::unique_ptr<TrackInfo>(reinterpret_cast<TrackInfo*>(wParam));
}

bool tuneboxThread::OnThreadMessage(const Message& msg)
{
    switch (msg.message)
    {
    case WM_PLAYER_QUIT:
        OnPlayerQuit();
        return true;
    case WM_PLAYER_OPEN:
        OnPlayerOpen(msg.wParam);
        return true;
    case WM_PLAYER_SEEK:
        OnPlayerSeek(msg.wParam, msg.lParam);
        return true;
    case WM_PLAYER_PLAY:
        m_engine.Play();
        return true;
    case WM_PLAYER_STOP:
        m_engine.Stop();
        return true;
    case WM_PLAYER_PAUSE:
        m_engine.Pause();
        return true;
    case MM_WOM_DONE:
        m_engine.Service();
        return true;
    case WM_PLAYER_LOOP:
        m_engine.SetLoopPoint(static_cast<int>(msg.wParam));
        return true;
    case WM_PLAYER_REPEAT:
        m_engine.SetRepeat(msg.wParam != 0);
        return true;
    case WM_PLAYER_TEMPO:
        m_engine.SetTempo(static_cast<int>(msg.wParam));
        return true;
    case WM_PLAYER_SHADOW:
        m_engine.SetShadowing(msg.wParam != 0, static_cast<int>(msg.lParam));
        return true;
    case WM_PLAYER_TICK:
        m_engine.OnTick(msg.wParam);
        return true;
    default:
        return CWinThread::OnThreadMessage(msg);
    }
}

void tuneboxThread::OnPlayerQuit()
{
    m_engine.Shutdown();
    PostQuitMessage(0);
}

void tuneboxThread::OnPlayerOpen(WPARAM wParam)
{
    std::unique_ptr<char16_t[]> path(reinterpret_cast<char16_t*>(wParam));
    if (!path)
        return;
    auto info = std::make_unique<TrackInfo>();
    if (!m_engine.OpenTrack(QString::fromUtf16(path.get()), info.get()))
        return;
    // A posted TrackInfo belongs to the receiver; a refused one is still ours.
    if (m_engine.Notify(WM_PLAYER_TOTAL, reinterpret_cast<WPARAM>(info.get())))
        info.release();
}

void tuneboxThread::OnPlayerSeek(WPARAM wParam, LPARAM lParam)
{
    m_engine.Seek(static_cast<std::int32_t>(wParam), static_cast<std::int32_t>(lParam));
    // A seek always resumes, and refills the buffers the reset gave back at once.
    m_engine.Play();
}

void tuneboxThread::DrainQueue()
{
    MessageQueue* queue = MessageQueue::ForCurrentThread();
    if (queue == nullptr)
        return;
    Message msg;
    while (queue->Peek(msg))
    {
        if (msg.message == WM_PLAYER_OPEN)
            delete[] reinterpret_cast<char16_t*>(msg.wParam);
    }
}
