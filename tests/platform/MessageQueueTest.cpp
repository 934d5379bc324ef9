#include "MessageQueue.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <vector>

namespace {

constexpr UINT kTestMessage = WM_APP + 7;

// Runs a thread that owns a queue and hands its id out before it waits.
class QueueThread
{
public:
    QueueThread()
    {
        std::promise<DWORD> id;
        auto ready = id.get_future();
        m_thread = std::thread([this, &id] {
            MessageQueue::CreateForCurrentThread();
            id.set_value(GetCurrentThreadId());
            Message msg;
            while (GetMessageW(&msg))
                m_received.push_back(msg);
            m_quit = msg;
        });
        m_id = ready.get();
    }
    ~QueueThread()
    {
        if (m_thread.joinable()) {
            PostThreadMessageW(m_id, WM_QUIT, 0, 0);
            m_thread.join();
        }
    }
    DWORD Id() const { return m_id; }
    void Join() { m_thread.join(); }
    const std::vector<Message>& Received() const { return m_received; }
    const Message& Quit() const { return m_quit; }

private:
    std::thread m_thread;
    DWORD m_id = 0;
    std::vector<Message> m_received;
    Message m_quit;
};

}  // namespace

TEST(MessageQueueTest, PostToUnknownOrEndedThreadFails)
{
    EXPECT_FALSE(PostThreadMessageW(0, kTestMessage, 0, 0));
    EXPECT_FALSE(PostThreadMessageW(0x7FFFFFF0u, kTestMessage, 0, 0));

    DWORD ended = 0;
    std::thread([&ended] {
        MessageQueue::CreateForCurrentThread();
        ended = GetCurrentThreadId();
    }).join();
    EXPECT_NE(ended, 0u);
    EXPECT_FALSE(PostThreadMessageW(ended, kTestMessage, 0, 0)) << "a thread that ended keeps no queue";
}

TEST(MessageQueueTest, DestroyedQueueRefusesPostsAndDropsWhatItHeld)
{
    MessageQueue& queue = MessageQueue::CreateForCurrentThread();
    EXPECT_EQ(&queue, MessageQueue::ForCurrentThread());
    ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), kTestMessage, 1, 2));
    EXPECT_EQ(queue.Size(), 1u);

    MessageQueue::DestroyForCurrentThread();
    EXPECT_EQ(MessageQueue::ForCurrentThread(), nullptr);
    EXPECT_FALSE(PostThreadMessageW(GetCurrentThreadId(), kTestMessage, 0, 0));

    // A new queue starts empty.
    Message msg;
    EXPECT_FALSE(MessageQueue::CreateForCurrentThread().Peek(msg));
    MessageQueue::DestroyForCurrentThread();
}

TEST(MessageQueueTest, ThreadIdsAreSmallNonZeroAndDistinct)
{
    DWORD other = 0;
    std::thread([&other] { other = GetCurrentThreadId(); }).join();
    EXPECT_NE(GetCurrentThreadId(), 0u);
    EXPECT_NE(other, 0u);
    EXPECT_NE(other, GetCurrentThreadId());
    EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());
}

TEST(MessageQueueTest, KeepsEachPostersOrderAcrossThreadsAndEndsOnQuit)
{
    constexpr int kPosters = 4;
    constexpr int kPerPoster = 500;
    constexpr int kQuitCode = 42;
    QueueThread receiver;

    std::vector<std::thread> posters;
    for (int poster = 0; poster < kPosters; ++poster) {
        posters.emplace_back([&receiver, poster] {
            for (int i = 0; i < kPerPoster; ++i)
                EXPECT_TRUE(PostThreadMessageW(receiver.Id(), kTestMessage, static_cast<WPARAM>(poster), i));
        });
    }
    for (auto& poster : posters)
        poster.join();
    ASSERT_TRUE(PostThreadMessageW(receiver.Id(), WM_QUIT, kQuitCode, 0));
    receiver.Join();

    ASSERT_EQ(receiver.Received().size(), static_cast<std::size_t>(kPosters * kPerPoster));
    std::vector<LPARAM> next(kPosters, 0);
    for (const Message& msg : receiver.Received()) {
        ASSERT_EQ(msg.message, kTestMessage);
        ASSERT_EQ(msg.lParam, next[msg.wParam]++) << "poster " << msg.wParam << " out of order";
    }
    EXPECT_EQ(receiver.Quit().message, WM_QUIT);
    EXPECT_EQ(receiver.Quit().wParam, static_cast<WPARAM>(kQuitCode));
}

TEST(MessageQueueTest, PostQuitMessageEndsOwnLoopAfterEarlierMessages)
{
    std::vector<UINT> seen;
    int exitCode = -1;
    std::thread([&] {
        PostThreadMessageW(GetCurrentThreadId(), kTestMessage, 0, 0);   // no queue yet: fails
        MessageQueue::CreateForCurrentThread();
        PostThreadMessageW(GetCurrentThreadId(), kTestMessage, 0, 0);
        PostQuitMessage(3);
        Message msg;
        while (GetMessageW(&msg))
            seen.push_back(msg.message);
        exitCode = static_cast<int>(msg.wParam);
    }).join();
    EXPECT_EQ(seen, std::vector<UINT>{kTestMessage});
    EXPECT_EQ(exitCode, 3);
}
