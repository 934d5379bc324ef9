// SPDX-License-Identifier: GPL-2.0-or-later
#include "QueueMessageTarget.h"

#include <chrono>

bool QueueMessageTarget::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_refusing)
            return false;
        m_messages.push_back(Message{msg, wParam, lParam});
    }
    m_arrived.notify_all();
    return true;
}

bool QueueMessageTarget::Take(Message& msg, int timeoutMs)
{
    std::unique_lock<std::mutex> guard(m_lock);
    const auto arrived = [this] { return !m_messages.empty(); };
    if (timeoutMs < 0)
        m_arrived.wait(guard, arrived);
    else if (!m_arrived.wait_for(guard, std::chrono::milliseconds(timeoutMs), arrived))
        return false;
    msg = m_messages.front();
    m_messages.pop_front();
    return true;
}

std::size_t QueueMessageTarget::Size() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_messages.size();
}

void QueueMessageTarget::SetRefusing(bool refusing)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_refusing = refusing;
}
