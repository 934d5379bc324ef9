// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Per-thread FIFO message queues addressed by thread id, with the semantics of
// posted thread messages: a post to a thread that has no queue fails.

#include "Message.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

class MessageQueue
{
public:
    // Creates the calling thread's queue (if it has none yet) and registers it under
    // CurrentThreadId(). Returns it.
    static MessageQueue& CreateForCurrentThread();
    // Unregisters and destroys the calling thread's queue; later posts to it fail.
    static void DestroyForCurrentThread();
    // The calling thread's queue, or null when it has none.
    static MessageQueue* ForCurrentThread();

    using Clock = std::chrono::steady_clock;

    bool Post(const Message& msg);
    // Queues the message when its time has come, behind what was posted before then.
    bool PostAt(const Message& msg, Clock::time_point due);
    // Blocks until a message arrives. Returns false when it is WM_QUIT.
    bool Get(Message& msg);
    // Takes a message without blocking; false when the queue is empty.
    bool Peek(Message& msg);
    std::size_t Size() const;

private:
    // Call with m_lock held: moves the timed messages that are due into the queue.
    void TakeDue(Clock::time_point now);

    mutable std::mutex m_lock;
    std::condition_variable m_arrived;
    std::deque<Message> m_messages;
    std::multimap<Clock::time_point, Message> m_timed;
};

// The calling thread's id: small, non-zero, unique for the life of the process.
DWORD GetCurrentThreadId();
// Posts to the queue of the thread with that id; false when no such queue exists.
BOOL PostThreadMessageW(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
// Posts to that thread's queue when due comes (at once when it has passed); false when
// no such queue exists.
BOOL PostThreadMessageAt(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam,
                         std::chrono::steady_clock::time_point due);
// Waits on the calling thread's queue (created on first use). Returns 0 on WM_QUIT.
BOOL GetMessageW(Message* msg);
// Posts WM_QUIT with the exit code to the calling thread's queue.
void PostQuitMessage(int exitCode);
