// SPDX-License-Identifier: GPL-2.0-or-later
#include "MessageQueue.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <vector>

constexpr UINT kTestMessage = WM_APP + 7;

// A thread that ended keeps no queue: WinThreadTest.
TEST(MessageQueueTest, PostsToAThreadWithoutAQueueFailAndADestroyedQueueDropsWhatItHeld)
{
    EXPECT_FALSE(PostThreadMessageW(0x7FFFFFF0u, kTestMessage, 0, 0));
    MessageQueue& queue = MessageQueue::CreateForCurrentThread();
    ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), kTestMessage, 1, 2));
    EXPECT_EQ(queue.Size(), 1u);
    MessageQueue::DestroyForCurrentThread();
    EXPECT_FALSE(PostThreadMessageW(GetCurrentThreadId(), kTestMessage, 0, 0));
    Message msg;
    EXPECT_FALSE(MessageQueue::CreateForCurrentThread().Peek(msg));
    MessageQueue::DestroyForCurrentThread();
}

TEST(MessageQueueTest, KeepsEachPostersOrderAcrossThreadsAndEndsOnQuit)
{
    constexpr int kPosters = 4;
    constexpr int kPerPoster = 500;
    std::promise<DWORD> id;
    std::vector<Message> received;
    Message quit;
    std::thread receiver([&] {
        MessageQueue::CreateForCurrentThread();
        id.set_value(GetCurrentThreadId());
        Message msg;
        while (GetMessageW(&msg))
            received.push_back(msg);
        quit = msg;
    });
    const DWORD receiverId = id.get_future().get();

    std::vector<std::thread> posters;
    for (int poster = 0; poster < kPosters; ++poster) {
        posters.emplace_back([receiverId, poster] {
            for (int i = 0; i < kPerPoster; ++i)
                EXPECT_TRUE(PostThreadMessageW(receiverId, kTestMessage, static_cast<WPARAM>(poster), i));
        });
    }
    for (auto& poster : posters)
        poster.join();
    ASSERT_TRUE(PostThreadMessageW(receiverId, WM_QUIT, 42, 0));
    receiver.join();

    ASSERT_EQ(received.size(), static_cast<std::size_t>(kPosters * kPerPoster));
    std::vector<LPARAM> next(kPosters, 0);
    for (const Message& msg : received) {
        ASSERT_EQ(msg.message, kTestMessage);
        ASSERT_EQ(msg.lParam, next[msg.wParam]++) << "poster " << msg.wParam << " out of order";
    }
    EXPECT_EQ(quit.message, WM_QUIT);
    EXPECT_EQ(quit.wParam, WPARAM(42));
}

TEST(MessageQueueTest, TimedPostComesWhenDueBehindWhatCameBefore)
{
    EXPECT_FALSE(PostThreadMessageAt(0x7FFFFFF0u, kTestMessage, 0, 0, std::chrono::steady_clock::now()));
    MessageQueue::CreateForCurrentThread();
    const DWORD self = GetCurrentThreadId();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(PostThreadMessageAt(self, kTestMessage, 2, 0, start + std::chrono::milliseconds(60)));
    ASSERT_TRUE(PostThreadMessageAt(self, kTestMessage, 1, 0, start + std::chrono::milliseconds(30)));
    Message msg;
    EXPECT_FALSE(MessageQueue::ForCurrentThread()->Peek(msg)) << "nothing is due yet";
    PostThreadMessageW(self, kTestMessage, 0, 0);

    std::vector<WPARAM> order;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(GetMessageW(&msg));
        order.push_back(msg.wParam);
    }
    EXPECT_EQ(order, (std::vector<WPARAM>{0, 1, 2}));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(60));
    MessageQueue::DestroyForCurrentThread();
}
