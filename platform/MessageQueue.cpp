// SPDX-License-Identifier: GPL-2.0-or-later
#include "MessageQueue.h"

#include <atomic>
#include <unordered_map>

// Queues live in shared pointers: a poster that found a queue keeps it alive while it
// posts, even if its thread destroys it at that moment. Messages still queued when a
// queue goes away are dropped unread; heap blocks they carry are the poster's concern.
namespace {

struct QueueRegistry
{
    std::mutex lock;
    std::unordered_map<DWORD, std::shared_ptr<MessageQueue>> queues;
};

QueueRegistry& Registry()
{
    // Never destroyed: threads may still post while the process exits.
    static auto* registry = new QueueRegistry;
    return *registry;
}

// Unregisters the thread's queue when the thread ends, so posts to a thread that is
// gone fail as they should.
struct ThreadQueue
{
    std::shared_ptr<MessageQueue> queue;
    ~ThreadQueue()
    {
        if (queue)
            MessageQueue::DestroyForCurrentThread();
    }
};

thread_local ThreadQueue t_queue;

std::shared_ptr<MessageQueue> Find(DWORD threadId)
{
    QueueRegistry& registry = Registry();
    std::lock_guard<std::mutex> guard(registry.lock);
    auto found = registry.queues.find(threadId);
    return found == registry.queues.end() ? nullptr : found->second;
}

}  // namespace

MessageQueue& MessageQueue::CreateForCurrentThread()
{
    if (!t_queue.queue) {
        auto queue = std::make_shared<MessageQueue>();
        QueueRegistry& registry = Registry();
        std::lock_guard<std::mutex> guard(registry.lock);
        registry.queues[GetCurrentThreadId()] = queue;
        t_queue.queue = std::move(queue);
    }
    return *t_queue.queue;
}

void MessageQueue::DestroyForCurrentThread()
{
    {
        QueueRegistry& registry = Registry();
        std::lock_guard<std::mutex> guard(registry.lock);
        registry.queues.erase(GetCurrentThreadId());
    }
    t_queue.queue.reset();
}

MessageQueue* MessageQueue::ForCurrentThread()
{
    return t_queue.queue.get();
}

bool MessageQueue::Post(const Message& msg)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_messages.push_back(msg);
    }
    m_arrived.notify_one();
    return true;
}

bool MessageQueue::PostAt(const Message& msg, Clock::time_point due)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_timed.emplace(due, msg);
    }
    // The waiter may have to wake sooner than it meant to.
    m_arrived.notify_one();
    return true;
}

void MessageQueue::TakeDue(Clock::time_point now)
{
    while (!m_timed.empty() && m_timed.begin()->first <= now) {
        m_messages.push_back(m_timed.begin()->second);
        m_timed.erase(m_timed.begin());
    }
}

bool MessageQueue::Get(Message& msg)
{
    std::unique_lock<std::mutex> guard(m_lock);
    for (;;) {
        TakeDue(Clock::now());
        if (!m_messages.empty())
            break;
        if (m_timed.empty())
            m_arrived.wait(guard);
        else
            m_arrived.wait_until(guard, m_timed.begin()->first);
    }
    msg = m_messages.front();
    m_messages.pop_front();
    return msg.message != WM_QUIT;
}

bool MessageQueue::Peek(Message& msg)
{
    std::lock_guard<std::mutex> guard(m_lock);
    TakeDue(Clock::now());
    if (m_messages.empty())
        return false;
    msg = m_messages.front();
    m_messages.pop_front();
    return true;
}

std::size_t MessageQueue::Size() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_messages.size();
}

DWORD GetCurrentThreadId()
{
    static std::atomic<DWORD> nextId{1};
    thread_local const DWORD id = nextId.fetch_add(1);
    return id;
}

BOOL PostThreadMessageW(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const std::shared_ptr<MessageQueue> queue = Find(threadId);
    if (!queue)
        return 0;
    return queue->Post(Message{msg, wParam, lParam}) ? 1 : 0;
}

BOOL PostThreadMessageAt(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam,
                         std::chrono::steady_clock::time_point due)
{
    const std::shared_ptr<MessageQueue> queue = Find(threadId);
    if (!queue)
        return 0;
    return queue->PostAt(Message{msg, wParam, lParam}, due) ? 1 : 0;
}

BOOL GetMessageW(Message* msg)
{
    return MessageQueue::CreateForCurrentThread().Get(*msg) ? 1 : 0;
}

void PostQuitMessage(int exitCode)
{
    MessageQueue::CreateForCurrentThread().Post(Message{WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}
