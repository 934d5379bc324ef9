// SPDX-License-Identifier: GPL-2.0-or-later
#include "QtMessageBoxPresenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

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
    std::atomic<int> answer{0};
    std::atomic<bool> done{false};
    Shown shown;
    ClickWhenShown(QMessageBox::Yes, &shown);
    std::thread worker([&] {
        answer = presenter.Present(nullptr, "Delete all?", "Delete all", MB_YESNO);
        done = true;
    });
    const bool answered = QTest::qWaitFor([&] { return done.load(); }, 5000);
    worker.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(answer.load(), IDYES);
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
