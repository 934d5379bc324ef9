// Closing the program while the player thread waits for the learner to answer a message
// box (a recording that cannot be opened, a failing device): the thread waits for the
// user interface, and the user interface, closing, waits for the thread.

#include "ProgramFixture.h"

#include "QtMessageBoxPresenter.h"

#include <QMessageBox>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

// Boxes as the program shows them, counting those asked for by other threads.
class WatchedPresenter : public QtMessageBoxPresenter
{
public:
    int Present(void* owner, const QString& text, const QString& caption, UINT flags) override
    {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            ++m_fromWorkers;
        return QtMessageBoxPresenter::Present(owner, text, caption, flags);
    }
    int FromWorkers() const { return m_fromWorkers; }

private:
    std::atomic<int> m_fromWorkers{0};
};

// Ends the test binary with a message when steps do not come back in time: a hang
// would otherwise last until the suite's own timeout, and say nothing.
void WithinSeconds(int seconds, const std::function<void()>& steps)
{
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> guard(lock);
        if (!finished.wait_for(guard, std::chrono::seconds(seconds), [&] { return done; })) {
            std::fputs("the program did not end: closing waited for the player thread's message box\n", stderr);
            std::abort();
        }
    });
    steps();
    {
        std::lock_guard<std::mutex> guard(lock);
        done = true;
    }
    finished.notify_all();
    watchdog.join();
}

class ClosingTest : public ProgramFixture
{
protected:
    void StartWithRealBoxes()
    {
        auto presenter = std::make_unique<WatchedPresenter>();
        m_presenter = presenter.get();
        SetMessageBoxPresenter(std::move(presenter));
        UseAudio("null:1");
        Start();
    }

    // The player thread is asked to open a recording that is not there, and says so.
    void OpenWhatIsNotThere()
    {
        FileOpen(QStringLiteral("\\My documents\\gone.mp3"));
    }

    WatchedPresenter* m_presenter = nullptr;
};

}  // namespace

TEST_F(ClosingTest, ProgramClosedBeforeThePlayerThreadsBoxComesUpEnds)
{
    StartWithRealBoxes();
    OpenWhatIsNotThere();
    // The window closes before the box could be shown: nothing runs the user interface
    // any more to show it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (m_presenter->FromWorkers() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_EQ(m_presenter->FromWorkers(), 1);
    WithinSeconds(15, [this] {
        Frame().close();
        m_app.reset();
    });
}

TEST_F(ClosingTest, ProgramClosedWhileThePlayerThreadsBoxIsShownEnds)
{
    StartWithRealBoxes();
    bool shown = false;
    WhenDialogOpens([this, &shown](QDialog* dialog) {
        shown = qobject_cast<QMessageBox*>(dialog) != nullptr;
        // Exit, as the desktop's media controls can ask while the box is up.
        WithinSeconds(15, [this] {
            m_app->OnAppExit();
            m_app.reset();
        });
    });
    OpenWhatIsNotThere();
    EXPECT_TRUE(WaitFor([this] { return m_app == nullptr; }));
    EXPECT_TRUE(shown);
}
