// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A MessageTarget without a window: posts land in a thread-safe FIFO that the
// reader drains, waiting with a timeout.

#include "Message.h"
#include "MessageTarget.h"

#include <condition_variable>
#include <deque>
#include <mutex>

class QueueMessageTarget : public MessageTarget
{
public:
    bool PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Takes the oldest message; waits up to timeoutMs (-1: forever). False on time-out.
    bool Take(Message& msg, int timeoutMs = -1);
    std::size_t Size() const;
    // Makes every later post fail, as a destroyed window would.
    void SetRefusing(bool refusing);

private:
    mutable std::mutex m_lock;
    std::condition_variable m_arrived;
    std::deque<Message> m_messages;
    bool m_refusing = false;
};
