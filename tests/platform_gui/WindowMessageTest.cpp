// SPDX-License-Identifier: GPL-2.0-or-later
// What reaches a window: sent and posted messages, and message boxes, also when another
// thread asks for them.
#include "MessageRecorder.h"
#include "QtMessageBoxPresenter.h"
#include "WidgetMessageTarget.h"
#include "WindowMessage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
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

struct Shown { QThread* thread = nullptr; QString text, title; };

// Clicks the button once a box is up, the way a user would, and notes what was shown.
void ClickWhenShown(QMessageBox::StandardButton which, Shown* shown)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, which, shown] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box == nullptr || !box->isVisible())
                continue;
            timer->stop();
            timer->deleteLater();
            *shown = {box->thread(), box->text(), box->windowTitle()};
            box->button(which)->click();
            return;
        }
    });
    timer->start(10);
}

TEST(QtMessageBoxPresenter, CallFromAWorkerIsShownOnTheUserInterfaceThreadAndAnswered)
{
    QtMessageBoxPresenter presenter;
    Shown shown;
    ClickWhenShown(QMessageBox::Yes, &shown);
    std::future<int> answer = std::async(std::launch::async, [&] {
        return presenter.Present(nullptr, "Delete all?", "Delete all", MB_YESNO);
    });
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, kWaitMs));
    EXPECT_EQ(answer.get(), IDYES);
    EXPECT_EQ(shown.thread, QApplication::instance()->thread());
    EXPECT_EQ(shown.text, "Delete all?");
    EXPECT_EQ(shown.title, "Delete all");
    // On the user interface thread itself the call answers directly.
    ClickWhenShown(QMessageBox::No, &shown);
    EXPECT_EQ(presenter.Present(nullptr, "Really?", "Question", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
}

TEST(QtMessageBoxPresenter, FlagsChooseTheDefaultButtonAndClosingIsCancel)
{
    std::unique_ptr<QMessageBox> retry(
        QtMessageBoxPresenter::CreateBox(nullptr, "t", "c", MB_ABORTRETRYIGNORE | MB_DEFBUTTON2 | MB_ICONHAND));
    EXPECT_EQ(retry->defaultButton(), static_cast<QPushButton*>(retry->button(QMessageBox::Retry)));
    std::unique_ptr<QMessageBox> okCancel(QtMessageBoxPresenter::CreateBox(nullptr, "t", "c", MB_OKCANCEL));
    EXPECT_EQ(QtMessageBoxPresenter::ResultOf(*okCancel, MB_OKCANCEL), IDCANCEL);
}

} // namespace
