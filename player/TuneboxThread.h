// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The player thread: decodes and plays on its own message loop. The controller
// posts commands (WM_PLAYER_*), the wave device posts MM_WOM_DONE for each
// finished buffer, and notifications go to the owner target.
//
// Heap blocks that travel with messages (handed over by PostOwned / TakeOwned):
//  - WM_PLAYER_OPEN carries a zero-terminated char16_t[] path (PostOpen makes it);
//    the thread frees it, also when it is still queued as the thread ends.
//  - WM_PLAYER_TOTAL carries a TrackInfo; the receiver takes it (TakeTrackInfo),
//    or the thread frees it when the post fails.

#include "Message.h"
#include "PlayerEngine.h"
#include "TrackInfo.h"
#include "WinThread.h"

#include <QString>

#include <memory>

class MessageTarget;

class tuneboxThread : public CWinThread
{
public:
    tuneboxThread() = default;
    ~tuneboxThread() override;

    // Where notifications go; set before CreateThread. Null: nothing is posted.
    void SetOwner(MessageTarget* owner) { m_pOwner = owner; }

    bool InitInstance() override;
    int ExitInstance() override;

    // Posts WM_PLAYER_OPEN with a heap copy of path; the copy is freed here when
    // the post fails. False when the thread has no queue.
    static bool PostOpen(DWORD threadId, const QString& path);
    // The receiver's side of WM_PLAYER_TOTAL: takes ownership of the TrackInfo.
    static std::unique_ptr<TrackInfo> TakeTrackInfo(WPARAM wParam);

protected:
    bool OnThreadMessage(const Message& msg) override;

private:
    void OnPlayerQuit();
    void OnPlayerOpen(WPARAM wParam);
    void OnPlayerSeek(WPARAM wParam, LPARAM lParam);
    // Frees the heap blocks of commands that were still queued when the loop ended.
    void DrainQueue();

    CPlayerEngine m_engine;
    MessageTarget* m_pOwner = nullptr;
    // Set by the quit: what was queued before the loop's own quit message is dropped.
    bool m_quitting = false;
};
