// SPDX-License-Identifier: GPL-2.0-or-later
#include "MessageQueue.h"
#include "WaitFor.h"
#include "WinThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {

constexpr UINT kWork = WM_APP + 1;
constexpr int kWaitMs = 5000;

// Notes what the thread object saw; kept by the test so it outlives an
// auto-deleted thread. The work is read only once the thread has ended.
struct Journal
{
    std::vector<WPARAM> work;
    std::atomic<int> exits{0};
    std::atomic<int> destroyed{0};
};

class RecordingThread : public CWinThread
{
public:
    RecordingThread(Journal& journal, bool initSucceeds) : m_journal(journal), m_initSucceeds(initSucceeds) {}
    ~RecordingThread() override { ++m_journal.destroyed; }
    bool InitInstance() override { return m_initSucceeds; }
    int ExitInstance() override
    {
        ++m_journal.exits;
        return CWinThread::ExitInstance();
    }
    int ExitCode() const { return m_exitCode; }

protected:
    bool OnThreadMessage(const Message& msg) override
    {
        if (msg.message == kWork)
            m_journal.work.push_back(msg.wParam);
        return msg.message == kWork;
    }

private:
    Journal& m_journal;
    bool m_initSucceeds;
};

}  // namespace

TEST(WinThreadTest, RunsTheMessageMapUntilQuitThenExitInstance)
{
    Journal journal;
    RecordingThread thread(journal, true);
    thread.m_bAutoDelete = false;
    ASSERT_TRUE(thread.CreateThread());
    // Posting right after creation must land: the queue exists before CreateThread returns.
    EXPECT_TRUE(PostThreadMessageW(thread.m_nThreadID, kWork, 1, 0));
    EXPECT_TRUE(PostThreadMessageW(thread.m_nThreadID, WM_APP + 2, 0, 0));   // not in the map
    EXPECT_TRUE(PostThreadMessageW(thread.m_nThreadID, kWork, 2, 0));
    EXPECT_TRUE(PostThreadMessageW(thread.m_nThreadID, WM_QUIT, 9, 0));

    ASSERT_TRUE(thread.WaitForExit(kWaitMs));
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(journal.work, (std::vector<WPARAM>{1, 2}));
    EXPECT_EQ(journal.exits, 1);
    EXPECT_EQ(thread.ExitCode(), 9);
    EXPECT_FALSE(PostThreadMessageW(thread.m_nThreadID, kWork, 3, 0)) << "the ended thread's queue is gone";
}

// Even a thread that ends at once (a failed InitInstance skips the loop but still
// runs ExitInstance) must not race its creator.
TEST(WinThreadTest, AutoDeleteDestroysTheObjectOnItsOwnThread)
{
    Journal journal;
    for (int i = 0; i < 50; ++i) {
        auto* thread = new RecordingThread(journal, i == 0);
        ASSERT_TRUE(thread->m_bAutoDelete);
        ASSERT_TRUE(thread->CreateThread());
        if (i == 0) {
            ASSERT_TRUE(PostThreadMessageW(thread->m_nThreadID, WM_QUIT, 0, 0));
        }
        ASSERT_TRUE(WaitFor([&] { return journal.destroyed == i + 1; }, kWaitMs));
    }
    EXPECT_EQ(journal.exits, 50);
}

TEST(WinThreadTest, DestructorWaitsForTheThreadToEnd)
{
    DWORD id = 0;
    {
        CWinThread thread;
        thread.m_bAutoDelete = false;
        ASSERT_TRUE(thread.CreateThread());
        id = thread.m_nThreadID;
        EXPECT_FALSE(thread.WaitForExit(10));
        PostThreadMessageW(id, WM_QUIT, 0, 0);
    }
    EXPECT_FALSE(PostThreadMessageW(id, kWork, 0, 0)) << "the thread had ended when its object went away";
}
