// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A player thread as the tests drive it: started with its notices going to a target
// the test reads, sent commands, and at the end told to quit and waited for. The
// test owns the thread object.

#include "MessageQueue.h"
#include "MessageTarget.h"
#include "PlayerMessages.h"
#include "QueueMessageTarget.h"
#include "TuneboxThread.h"

#include <QString>

namespace TestPlayer {

inline bool Start(tuneboxThread& thread, MessageTarget& target)
{
    thread.m_bAutoDelete = false;
    thread.SetOwner(&target);
    return thread.CreateThread();
}

inline bool Post(const tuneboxThread& thread, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return PostThreadMessageW(thread.m_nThreadID, msg, wParam, lParam);
}

// Opens path and plays it.
inline bool Play(const tuneboxThread& thread, const QString& path)
{
    return tuneboxThread::PostOpen(thread.m_nThreadID, path) && Post(thread, WM_PLAYER_PLAY);
}

inline bool Quit(tuneboxThread& thread, int waitMs)
{
    Post(thread, WM_PLAYER_QUIT);
    return thread.WaitForExit(waitMs);
}

// Takes the notices the test did not read, freeing the track information that
// travels with WM_PLAYER_TOTAL.
inline void DropNotices(QueueMessageTarget& target)
{
    for (Message msg; target.Take(msg, 0);) {
        if (msg.message == WM_PLAYER_TOTAL)
            tuneboxThread::TakeTrackInfo(msg.wParam);
    }
}

}  // namespace TestPlayer
