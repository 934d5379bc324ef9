// SPDX-License-Identifier: GPL-2.0-or-later
#include "WinThread.h"

#include "MessageQueue.h"

#include <chrono>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

// Hands the new thread over from its creator: the thread may not touch the object
// before m_thread is set (it might delete itself), and the creator may not return
// before the thread's queue exists.
struct CWinThread::Startup
{
    std::mutex lock;
    std::condition_variable changed;
    bool handedOver = false;
    bool queueReady = false;
};

namespace {

// The largest boost asked of the scheduler: time-critical maps to this nice value.
constexpr int kTimeCriticalNice = -10;
constexpr int kLowestPriority = -THREAD_PRIORITY_TIME_CRITICAL;

thread_local int t_priority = THREAD_PRIORITY_NORMAL;

}  // namespace

CWinThread::CWinThread() = default;

CWinThread::~CWinThread()
{
    if (!m_thread.joinable())
        return;
    if (m_thread.get_id() == std::this_thread::get_id())
        m_thread.detach();   // deleting itself at the end of its own thread
    else
        m_thread.join();
}

bool CWinThread::CreateThread()
{
    if (m_running)
        return false;
    if (m_thread.joinable())
        m_thread.join();   // an earlier run that ended without being waited for
    Startup startup;
    m_running = true;
    try {
        m_thread = std::thread(&CWinThread::ThreadMain, this, &startup);
    } catch (...) {
        m_running = false;
        return false;
    }
    std::unique_lock<std::mutex> guard(startup.lock);
    startup.handedOver = true;
    startup.changed.notify_all();
    startup.changed.wait(guard, [&startup] { return startup.queueReady; });
    return true;
}

void CWinThread::ThreadMain(Startup* startup)
{
    {
        std::unique_lock<std::mutex> guard(startup->lock);
        startup->changed.wait(guard, [startup] { return startup->handedOver; });
        MessageQueue::CreateForCurrentThread();
        m_nThreadID = GetCurrentThreadId();
        startup->queueReady = true;
        startup->changed.notify_all();
    }
    // The creator may return from here on; startup is gone.
    m_exitCode = InitInstance() ? Run() : ExitInstance();
    MessageQueue::DestroyForCurrentThread();
    const bool autoDelete = m_bAutoDelete;
    MarkEnded();
    if (autoDelete)
        delete this;
}

void CWinThread::MarkEnded()
{
    std::lock_guard<std::mutex> guard(m_exitLock);
    m_running = false;
    m_exited.notify_all();
}

bool CWinThread::InitInstance()
{
    return true;
}

int CWinThread::Run()
{
    MessageQueue& queue = MessageQueue::CreateForCurrentThread();
    long idleCount = 0;
    Message msg;
    for (;;) {
        while (queue.Size() == 0 && OnIdle(idleCount))
            ++idleCount;
        if (!GetMessageW(&msg)) {
            m_exitCode = static_cast<int>(msg.wParam);
            break;
        }
        OnThreadMessage(msg);
        idleCount = 0;
    }
    return ExitInstance();
}

bool CWinThread::OnIdle(long)
{
    return false;
}

int CWinThread::ExitInstance()
{
    return m_exitCode;
}

bool CWinThread::OnThreadMessage(const Message&)
{
    return false;
}

bool CWinThread::WaitForExit(int timeoutMs)
{
    {
        std::unique_lock<std::mutex> guard(m_exitLock);
        const auto ended = [this] { return !m_running; };
        if (timeoutMs < 0)
            m_exited.wait(guard, ended);
        else if (!m_exited.wait_for(guard, std::chrono::milliseconds(timeoutMs), ended))
            return false;
    }
    // The thread is past its last use of the object; reap it.
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
    return true;
}

bool CWinThread::IsRunning() const
{
    return m_running;
}

BOOL SetThreadPriority(int priority)
{
    if (priority < kLowestPriority || priority > THREAD_PRIORITY_TIME_CRITICAL)
        return 0;
    t_priority = priority;
    // Nice values are per thread on Linux. Raising priority needs privileges the
    // program usually lacks; then the request is only remembered.
    const int nice = priority * kTimeCriticalNice / THREAD_PRIORITY_TIME_CRITICAL;
    const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
    ::setpriority(PRIO_PROCESS, thread, nice);
    return 1;
}

int GetThreadPriority()
{
    return t_priority;
}
