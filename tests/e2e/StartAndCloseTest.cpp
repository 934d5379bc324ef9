// SPDX-License-Identifier: GPL-2.0-or-later
// Start-up and exit: one program per device root, the way a command reaches its handler;
// and closing the program while the player thread waits for the learner to answer a
// message box (a recording that cannot be opened): the thread waits for the user
// interface, and the user interface, closing, waits for the thread.

#include "ProgramFixture.h"

#include "QtMessageBoxPresenter.h"
#include "SingleInstance.h"
#include "WindowMessage.h"

#include <QMessageBox>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <thread>

namespace {

// Boxes as the program shows them, counting those asked for by other threads.
class WatchedPresenter : public QtMessageBoxPresenter
{
public:
    int Present(void* owner, const QString& text, const QString& caption, UINT flags) override
    {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            ++fromWorkers;
        return QtMessageBoxPresenter::Present(owner, text, caption, flags);
    }
    std::atomic<int> fromWorkers{0};
};

// Ends the test binary with a message when closing does not come back in time: a hang
// would otherwise last until the suite's own timeout, and say nothing.
void CloseWithin15Seconds(std::unique_ptr<CVellumdeckApp>& app, bool exitCommand)
{
    std::promise<void> done;
    std::thread watchdog([finished = done.get_future()] {
        if (finished.wait_for(std::chrono::seconds(15)) == std::future_status::timeout) {
            std::fputs("the program did not end: closing waited for the player thread's message box\n", stderr);
            std::abort();
        }
    });
    if (exitCommand)
        app->OnAppExit();   // as the desktop's media controls can ask while the box is up
    else
        app->MainFrame()->close();
    app.reset();
    done.set_value();
    watchdog.join();
}

class ClosingTest : public ProgramFixture
{
protected:
    // The player thread is asked to open a recording that is not there, and says so.
    void StartAndOpenWhatIsNotThere()
    {
        auto presenter = std::make_unique<WatchedPresenter>();
        m_presenter = presenter.get();
        SetMessageBoxPresenter(std::move(presenter));
        UseAudio("null:1");
        Start();
        FileOpen(QStringLiteral("\\My documents\\gone.mp3"));
    }

    WatchedPresenter* m_presenter = nullptr;
};

using StartUpTest = ProgramFixture;

}  // namespace

TEST_F(StartUpTest, RunningProgramComesForwardWhenStartedAgain)
{
    Start();
    Frame().showMinimized();
    ASSERT_TRUE(WaitFor([this] { return Frame().isMinimized(); }));
    EXPECT_TRUE(SingleInstance().ActivateRunning());
    EXPECT_TRUE(WaitFor([this] { return !Frame().isMinimized() && Frame().isVisible(); }));
}

TEST_F(StartUpTest, CommandsReachTheViewAndExitEndsThePlayerThread)
{
    Start();
    // With no study text Search is refused, also when an accelerator sends it.
    EXPECT_FALSE(Frame().IsCommandEnabled(ID_SEARCH));
    // File Open goes to the view: the controller runs its dialog (cancelled here).
    int dialogs = 0;
    View().Controller().SetFileDialog([&](QString*) { ++dialogs; return IDCANCEL; });
    SendMessageW(&Frame(), WM_COMMAND, MAKEWPARAM(ID_FILE_OPEN, kAcceleratorNotification), 0);
    EXPECT_EQ(dialogs, 1);
    // Exit hides the window; ending the frame ends the view, its controller and the thread.
    SendMessageW(&Frame(), WM_COMMAND, MAKEWPARAM(ID_APP_EXIT, kMenuNotification), 0);
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_EQ(m_app->ExitInstance(), 0);
}

TEST_F(ClosingTest, ProgramClosedBeforeThePlayerThreadsBoxComesUpEnds)
{
    StartAndOpenWhatIsNotThere();
    // Without running the event loop, so the window closes before the box can be shown.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (m_presenter->fromWorkers == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_EQ(m_presenter->fromWorkers, 1);
    CloseWithin15Seconds(m_app, false);
}

TEST_F(ClosingTest, ProgramClosedWhileThePlayerThreadsBoxIsShownEnds)
{
    StartAndOpenWhatIsNotThere();
    bool shown = false;
    WhenDialogOpens([this, &shown](QDialog* dialog) {
        shown = qobject_cast<QMessageBox*>(dialog) != nullptr;
        CloseWithin15Seconds(m_app, true);
    });
    EXPECT_TRUE(WaitFor([this] { return m_app == nullptr; }));
    EXPECT_TRUE(shown);
}
