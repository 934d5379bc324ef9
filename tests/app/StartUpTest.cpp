// Start-up and exit: one program per device root, the window it shows, the way a
// command reaches its handler, and the program itself run on a ".vds".

#include "WaitFor.h"
#include "VellumdeckApp.h"

#include "CommandLine.h"
#include "MainFrame.h"
#include "MenuBuilder.h"
#include "MessageBox.h"
#include "PlayerMessages.h"
#include "RecordingMessageBoxPresenter.h"
#include "SingleInstance.h"
#include "TempDeviceRoot.h"
#include "VellumdeckView.h"
#include "WindowMessage.h"
#include "resource.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kWaitMs = 20000;

class StartUpTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // No sound device is needed: recordings are consumed quickly and silently.
        if (!qEnvironmentVariableIsSet("VELLUMDECK_AUDIO"))
            qputenv("VELLUMDECK_AUDIO", "null:50");
        CommandLine::SetArguments({});
        SetMessageBoxPresenter(std::make_unique<RecordingMessageBoxPresenter>());
    }
    void TearDown() override { SetMessageBoxPresenter(nullptr); }

    // The program run offscreen on this test's device root.
    void StartProgram(QProcess* program, const QStringList& arguments, const QString& audio = "null:50")
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("VELLUMDECK_ROOT", m_root.Path());
        environment.insert("VELLUMDECK_REGISTRY", m_root.Path() + "/registry.ini");
        environment.insert("VELLUMDECK_AUDIO", audio);
        environment.insert("VELLUMDECK_ZOOM", "1");
        program->setProcessEnvironment(environment);
        program->start(VD_PROGRAM_PATH, arguments);
        ASSERT_TRUE(program->waitForStarted(kWaitMs));
    }

    static void End(QProcess* program)
    {
        program->terminate();
        if (!program->waitForFinished(kWaitMs))
            program->kill();
        program->waitForFinished(kWaitMs);
    }

    TempDeviceRoot m_root;
};

TEST_F(StartUpTest, SecondProgramOnTheSameRootEndsAtOnce)
{
    QProcess first;
    StartProgram(&first, {});
    // Up once it answers (it is asked to come forward, which it may).
    ASSERT_TRUE(WaitFor([] { return SingleInstance().ActivateRunning(); }));

    QProcess second;
    StartProgram(&second, {});
    ASSERT_TRUE(second.waitForFinished(kWaitMs));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    End(&first);
}

TEST_F(StartUpTest, ProgramPlaysTheQuotedVdsOfItsCommandLine)
{
    QFile mp3(TestDataPath("speech.mp3"));
    ASSERT_TRUE(mp3.open(QIODevice::ReadOnly));
    const QByteArray text = "Lesson one.";
    QByteArray bytes = mp3.readAll() + text;
    for (int i = 0; i < 4; ++i)
        bytes.append(char((text.size() >> (8 * i)) & 0xFF));
    ASSERT_TRUE(m_root.WriteFile("\\Lesson1.vds", bytes));

    const QString wav = m_root.Path() + "/out.wav";
    QProcess program;
    StartProgram(&program, {m_root.Host("\\Lesson1.vds")}, "wav:" + wav);
    // The recording is decoded and written out: it plays.
    EXPECT_TRUE(WaitFor([&] { return QFileInfo(wav).size() > 100000; }));
    End(&program);
}

TEST_F(StartUpTest, RunningProgramComesForwardWhenStartedAgain)
{
    CVellumdeckApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* frame = app.MainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "Vellumdeck");
    frame->showMinimized();
    ASSERT_TRUE(WaitFor([&] { return frame->isMinimized(); }));

    SingleInstance later;
    EXPECT_TRUE(later.ActivateRunning());
    EXPECT_TRUE(WaitFor([&] { return !frame->isMinimized() && frame->isVisible(); }));

    CVellumdeckApp second;
    EXPECT_FALSE(second.InitInstance());
    EXPECT_EQ(second.MainFrame(), nullptr);
}

TEST_F(StartUpTest, MenuBarHasBookmarkPopupSecondAndCommandsReachTheViewFirst)
{
    CVellumdeckApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* frame = app.MainFrame();
    QMenuBar* bar = frame->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    QMenu* bookmarks = GetSubMenu(bar, MENU_BMARK_POPUP_INDEX);
    ASSERT_NE(bookmarks, nullptr);
    EXPECT_EQ(bookmarks->title(), "BMark");

    // With no study text the bookmark commands are disabled, before the popup opens and
    // when an accelerator or menu sends them.
    frame->UpdateMenu(bookmarks);
    EXPECT_FALSE(FindMenuCommand(bookmarks, ID_SET_BOOKMARK)->isEnabled());
    EXPECT_FALSE(frame->IsCommandEnabled(ID_SEARCH));

    // File Open goes to the view: the controller runs its dialog (cancelled here).
    int dialogs = 0;
    app.View()->Controller().SetFileDialog([&](QString*) { ++dialogs; return IDCANCEL; });
    SendMessageW(frame, WM_COMMAND, MAKEWPARAM(ID_FILE_OPEN, kAcceleratorNotification), 0);
    EXPECT_EQ(dialogs, 1);

    // A new document leaves the one view as it is.
    CVellumdeckView* view = app.View();
    SendMessageW(frame, WM_COMMAND, MAKEWPARAM(ID_FILE_NEW, kAcceleratorNotification), 0);
    EXPECT_EQ(app.View(), view);
}

TEST_F(StartUpTest, ExitClosesTheFrameAndEndsThePlayerThread)
{
    CVellumdeckApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_TRUE(app.View()->Controller().HasThread());
    SendMessageW(app.MainFrame(), WM_COMMAND, MAKEWPARAM(ID_APP_EXIT, kMenuNotification), 0);
    EXPECT_FALSE(app.MainFrame()->isVisible());
    // Destroying the frame ends the view, its controller and the thread, without hanging.
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(app.MainFrame(), nullptr);
}

}  // namespace
