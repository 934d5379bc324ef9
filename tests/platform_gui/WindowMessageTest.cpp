// SPDX-License-Identifier: GPL-2.0-or-later
#include "MessageRecorder.h"
#include "WidgetMessageTarget.h"
#include "WindowMessage.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

constexpr UINT kTestMessage = WM_USER + 7;
constexpr int kPostCount = 200;
constexpr int kWaitMs = 5000;

TEST(SendMessageW, ReturnsTheResultTheReceiverSetAndZeroWhenUnhandled)
{
    MessageRecorder window;
    window.answer = 42;
    EXPECT_EQ(SendMessageW(&window, kTestMessage, 3, -4), 42);
    ASSERT_EQ(window.received.size(), 1u);
    EXPECT_EQ(window.received[0].wParam, 3u);
    EXPECT_EQ(window.received[0].lParam, -4);
    QObject plain;
    EXPECT_EQ(SendMessageW(&plain, kTestMessage, 1, 1), 0);
    EXPECT_EQ(SendMessageW(nullptr, kTestMessage, 1, 1), 0);
    EXPECT_FALSE(PostMessageW(nullptr, kTestMessage, 1, 1));
}

TEST(WidgetMessageTarget, PostsFromAWorkerArriveInOrderOnTheUserInterfaceThread)
{
    MessageRecorder window;
    int refused = 0;
    {
        // The target may go before the window; what it posted still arrives.
        WidgetMessageTarget target(&window);
        std::thread([&] {
            for (int i = 0; i < kPostCount; ++i)
                refused += target.PostMessage(kTestMessage, WPARAM(i), 0) ? 0 : 1;
        }).join();
    }
    EXPECT_EQ(refused, 0);
    // Nothing is delivered on the poster's thread, only when the UI thread runs its loop.
    EXPECT_TRUE(window.received.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.received.size() == std::size_t(kPostCount); }, kWaitMs));
    for (int i = 0; i < kPostCount; ++i) {
        EXPECT_EQ(window.received[i].wParam, WPARAM(i));
        EXPECT_EQ(window.received[i].thread, QCoreApplication::instance()->thread());
    }
}

TEST(WidgetMessageTarget, WindowDestroyedWhileAWorkerPostsStopsThePostsCleanly)
{
    auto window = std::make_unique<MessageRecorder>();
    WidgetMessageTarget target(window.get());
    std::atomic<int> accepted{0};
    std::thread worker([&] {
        while (target.PostMessage(kTestMessage, 0, 0))
            ++accepted;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return accepted.load() > kPostCount; }, kWaitMs));
    // The messages still queued go with the window, without reaching anything.
    window.reset();
    worker.join();
    QCoreApplication::processEvents();
    EXPECT_FALSE(target.PostMessage(kTestMessage, 0, 0));
    EXPECT_FALSE(WidgetMessageTarget(nullptr).PostMessage(kTestMessage, 0, 0));
}

} // namespace
