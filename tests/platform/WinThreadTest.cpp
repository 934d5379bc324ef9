#include "MessageQueue.h"
#include "WinThread.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

constexpr UINT kWork = WM_APP + 1;
constexpr UINT kUnmapped = WM_APP + 2;
constexpr int kWaitMs = 5000;

// What a thread object saw, shared with the test so it outlives an auto-deleted thread.
struct Journal
{
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::string> events;
    std::vector<WPARAM> work;
    bool destroyed = false;

    void Add(const std::string& event)
    {
        std::lock_guard<std::mutex> guard(lock);
        events.push_back(event);
        changed.notify_all();
    }
    bool WaitDestroyed()
    {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, std::chrono::milliseconds(kWaitMs), [this] { return destroyed; });
    }
};

class RecordingThread : public CWinThread
{
public:
    RecordingThread(Journal& journal, bool initSucceeds) : m_journal(journal), m_initSucceeds(initSucceeds) {}
    ~RecordingThread() override
    {
        std::lock_guard<std::mutex> guard(m_journal.lock);
        m_journal.destroyed = true;
        m_journal.changed.notify_all();
    }
    bool InitInstance() override
    {
        m_journal.Add("init");
        return m_initSucceeds;
    }
    int ExitInstance() override
    {
        m_journal.Add("exit");
        return CWinThread::ExitInstance();
    }
    int ExitCode() const { return m_exitCode; }

protected:
    bool OnThreadMessage(const Message& msg) override
    {
        if (msg.message != kWork)
            return false;
        std::lock_guard<std::mutex> guard(m_journal.lock);
        m_journal.work.push_back(msg.wParam);
        return true;
    }

private:
    Journal& m_journal;
    bool m_initSucceeds;
};

}  // namespace

TEST(WinThreadTest, RunsMessageMapUntilQuitThenExitInstance)
{
    Journal journal;
    RecordingThread thread(journal, true);
    thread.m_bAutoDelete = false;
    ASSERT_TRUE(thread.CreateThread());
    ASSERT_NE(thread.m_nThreadID, 0u);
    // Posting right after creation must land: the queue exists before CreateThread returns.
    EXPECT_TRUE(PostThreadMessageW(thread.m_nThreadID, kWork, 1, 0));
    EXPECT_TRUE(PostThreadMessageW(thread.m_nThreadID, kUnmapped, 0, 0));
    EXPECT_TRUE(PostThreadMessageW(thread.m_nThreadID, kWork, 2, 0));
    EXPECT_TRUE(PostThreadMessageW(thread.m_nThreadID, WM_QUIT, 9, 0));

    ASSERT_TRUE(thread.WaitForExit(kWaitMs));
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(journal.work, (std::vector<WPARAM>{1, 2}));
    EXPECT_EQ(journal.events, (std::vector<std::string>{"init", "exit"}));
    EXPECT_EQ(thread.ExitCode(), 9);
    EXPECT_FALSE(PostThreadMessageW(thread.m_nThreadID, kWork, 3, 0)) << "the ended thread's queue is gone";
}

TEST(WinThreadTest, FailedInitInstanceSkipsTheLoopButRunsExitInstance)
{
    Journal journal;
    RecordingThread thread(journal, false);
    thread.m_bAutoDelete = false;
    ASSERT_TRUE(thread.CreateThread());
    ASSERT_TRUE(thread.WaitForExit(kWaitMs));
    EXPECT_EQ(journal.events, (std::vector<std::string>{"init", "exit"}));
    EXPECT_TRUE(journal.work.empty());
}

TEST(WinThreadTest, AutoDeleteDestroysTheObjectOnItsOwnThread)
{
    Journal journal;
    auto* thread = new RecordingThread(journal, true);
    ASSERT_TRUE(thread->m_bAutoDelete);
    ASSERT_TRUE(thread->CreateThread());
    ASSERT_TRUE(PostThreadMessageW(thread->m_nThreadID, WM_QUIT, 0, 0));
    EXPECT_TRUE(journal.WaitDestroyed());

    // Even a thread that ends at once (failed InitInstance) must not race its creator.
    Journal quick;
    for (int i = 0; i < 50; ++i) {
        auto* shortLived = new RecordingThread(quick, false);
        ASSERT_TRUE(shortLived->CreateThread());
        ASSERT_TRUE(quick.WaitDestroyed());
        quick.destroyed = false;
    }
}

TEST(WinThreadTest, DestructorWaitsForTheThreadToEnd)
{
    DWORD id = 0;
    {
        CWinThread thread;
        thread.m_bAutoDelete = false;
        ASSERT_TRUE(thread.CreateThread());
        id = thread.m_nThreadID;
        EXPECT_TRUE(thread.IsRunning());
        EXPECT_FALSE(thread.WaitForExit(10));
        PostThreadMessageW(id, WM_QUIT, 0, 0);
    }
    EXPECT_FALSE(PostThreadMessageW(id, kWork, 0, 0)) << "the thread had ended when its object went away";
}

TEST(WinThreadTest, PriorityIsRememberedPerThread)
{
    EXPECT_EQ(GetThreadPriority(), THREAD_PRIORITY_NORMAL);
    int seenByOther = -1;
    std::thread([&seenByOther] {
        EXPECT_TRUE(SetThreadPriority(THREAD_PRIORITY_TIME_CRITICAL));
        seenByOther = GetThreadPriority();
        EXPECT_TRUE(SetThreadPriority(THREAD_PRIORITY_NORMAL));
    }).join();
    EXPECT_EQ(seenByOther, THREAD_PRIORITY_TIME_CRITICAL);
    EXPECT_EQ(GetThreadPriority(), THREAD_PRIORITY_NORMAL);
    EXPECT_FALSE(SetThreadPriority(THREAD_PRIORITY_TIME_CRITICAL + 1));
}
