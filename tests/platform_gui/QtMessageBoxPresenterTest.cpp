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

constexpr int kWaitMs = 5000;
constexpr int kPollMs = 10;

QMessageBox* ShownBox()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->isVisible())
            return box;
    }
    return nullptr;
}

// Clicks the button once the box is up, the way a user would.
void ClickWhenShown(QMessageBox::StandardButton which)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, which] {
        if (QMessageBox* box = ShownBox()) {
            timer->stop();
            timer->deleteLater();
            box->button(which)->click();
        }
    });
    timer->start(kPollMs);
}

TEST(QtMessageBoxPresenter, CallFromAWorkerIsShownOnTheUserInterfaceThreadAndAnswered)
{
    QtMessageBoxPresenter presenter;
    std::atomic<int> answer{0};
    std::atomic<bool> done{false};
    QThread* shownOn = nullptr;
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [&, timer] {
        if (QMessageBox* box = ShownBox()) {
            timer->stop();
            timer->deleteLater();
            shownOn = box->thread();
            EXPECT_EQ(box->text(), "Delete all?");
            EXPECT_EQ(box->windowTitle(), "Delete all");
            EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
            box->button(QMessageBox::Yes)->click();
        }
    });
    timer->start(kPollMs);
    std::thread worker([&] {
        answer = presenter.Present(nullptr, "Delete all?", "Delete all", MB_YESNO);
        done = true;
    });
    const bool answered = QTest::qWaitFor([&] { return done.load(); }, kWaitMs);
    worker.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(answer.load(), IDYES);
    EXPECT_EQ(shownOn, QApplication::instance()->thread());
}

TEST(QtMessageBoxPresenter, CallOnTheUserInterfaceThreadReturnsTheChosenButton)
{
    QtMessageBoxPresenter presenter;
    ClickWhenShown(QMessageBox::No);
    EXPECT_EQ(presenter.Present(nullptr, "Really?", "Question", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
    ClickWhenShown(QMessageBox::Ok);
    EXPECT_EQ(presenter.Present(nullptr, "Already bookmarked.", "Vellumdeck", MB_ICONEXCLAMATION), IDOK);
}

TEST(QtMessageBoxPresenter, FlagsChooseIconButtonsAndDefault)
{
    std::unique_ptr<QMessageBox> stop(QtMessageBoxPresenter::CreateBox(
        nullptr, "Txt file which is larger than 64KB can not be opened.", "", MB_ICONHAND));
    EXPECT_EQ(stop->icon(), QMessageBox::Critical);
    EXPECT_EQ(stop->standardButtons(), QMessageBox::Ok);

    std::unique_ptr<QMessageBox> retry(
        QtMessageBoxPresenter::CreateBox(nullptr, "t", "c", MB_ABORTRETRYIGNORE | MB_DEFBUTTON2 | MB_ICONASTERISK));
    EXPECT_EQ(retry->icon(), QMessageBox::Information);
    EXPECT_EQ(retry->standardButtons(), QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
    EXPECT_EQ(retry->defaultButton(), static_cast<QPushButton*>(retry->button(QMessageBox::Retry)));

    std::unique_ptr<QMessageBox> okCancel(QtMessageBoxPresenter::CreateBox(nullptr, "t", "c", MB_OKCANCEL));
    EXPECT_EQ(okCancel->defaultButton(), static_cast<QPushButton*>(okCancel->button(QMessageBox::Ok)));
    // Closed without a button: as Cancel.
    EXPECT_EQ(QtMessageBoxPresenter::ResultOf(*okCancel, MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(okCancel->escapeButton(), okCancel->button(QMessageBox::Cancel));
}

} // namespace
