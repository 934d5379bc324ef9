// Start-up and exit: one program per device root, the way a command reaches its
// handler, and the end of the player thread.

#include "WaitFor.h"
#include "VellumdeckApp.h"

#include "CommandLine.h"
#include "MainFrame.h"
#include "MenuBuilder.h"
#include "MessageBox.h"
#include "RecordingMessageBoxPresenter.h"
#include "SingleInstance.h"
#include "TempDeviceRoot.h"
#include "VellumdeckView.h"
#include "WindowMessage.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {

class StartUpTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CommandLine::SetArguments({});
        SetMessageBoxPresenter(std::make_unique<RecordingMessageBoxPresenter>());
    }
    void TearDown() override { SetMessageBoxPresenter(nullptr); }

    TempDeviceRoot m_root;
};

TEST_F(StartUpTest, RunningProgramComesForwardWhenStartedAgain)
{
    CVellumdeckApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* frame = app.MainFrame();
    frame->showMinimized();
    ASSERT_TRUE(WaitFor([&] { return frame->isMinimized(); }));
    EXPECT_TRUE(SingleInstance().ActivateRunning());
    EXPECT_TRUE(WaitFor([&] { return !frame->isMinimized() && frame->isVisible(); }));
    EXPECT_FALSE(CVellumdeckApp().InitInstance());
}

TEST_F(StartUpTest, CommandsReachTheViewAndExitEndsThePlayerThread)
{
    CVellumdeckApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* frame = app.MainFrame();
    // With no study text Search is refused, also when an accelerator sends it.
    EXPECT_FALSE(frame->IsCommandEnabled(ID_SEARCH));
    // File Open goes to the view: the controller runs its dialog (cancelled here).
    int dialogs = 0;
    app.View()->Controller().SetFileDialog([&](QString*) { ++dialogs; return IDCANCEL; });
    SendMessageW(frame, WM_COMMAND, MAKEWPARAM(ID_FILE_OPEN, kAcceleratorNotification), 0);
    EXPECT_EQ(dialogs, 1);
    // Exit hides the window; ending the frame ends the view, its controller and the thread.
    EXPECT_TRUE(app.View()->Controller().HasThread());
    SendMessageW(frame, WM_COMMAND, MAKEWPARAM(ID_APP_EXIT, kMenuNotification), 0);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(app.ExitInstance(), 0);
}

}  // namespace
