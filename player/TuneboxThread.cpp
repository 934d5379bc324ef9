// SPDX-License-Identifier: GPL-2.0-or-later
#include "TuneboxThread.h"

#include "MessageQueue.h"
#include "MessageTarget.h"
#include "OwnedMessage.h"
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
    auto copy = std::make_unique<char16_t[]>(std::size_t(path.size()) + 1);   // zero-filled: terminated
    std::copy_n(path.utf16(), path.size(), copy.get());
    return PostOwned(std::move(copy),
                     [threadId](WPARAM word) { return PostThreadMessageW(threadId, WM_PLAYER_OPEN, word, 0); });
}

std::unique_ptr<TrackInfo> tuneboxThread::TakeTrackInfo(WPARAM wParam)
{
    return TakeOwned<TrackInfo>(wParam);
}

bool tuneboxThread::OnThreadMessage(const Message& msg)
{
    // After the quit the engine is shut down: a command that was already queued behind
    // it (an open the controller posted late) is not carried out; an open's path is freed.
    if (m_quitting) {
        if (msg.message == WM_PLAYER_OPEN)
            TakeOwned<char16_t[]>(msg.wParam);
        return true;
    }
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
    m_quitting = true;
    PostQuitMessage(0);
}

void tuneboxThread::OnPlayerOpen(WPARAM wParam)
{
    const std::unique_ptr<char16_t[]> path = TakeOwned<char16_t[]>(wParam);
    if (!path)
        return;
    auto info = std::make_unique<TrackInfo>();
    if (!m_engine.OpenTrack(QString::fromUtf16(path.get()), info.get()))
        return;
    PostOwned(std::move(info), [this](WPARAM word) { return m_engine.Notify(WM_PLAYER_TOTAL, word); });
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
            TakeOwned<char16_t[]>(msg.wParam);
    }
}
