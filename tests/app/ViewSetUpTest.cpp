// SPDX-License-Identifier: GPL-2.0-or-later
// The main view's set-up: volume and data folders, and drawing at the window's zoom.
// What a recording opened from the command line shows is the program's end-to-end tests'.

#include "VellumdeckView.h"

#include "FileSystem.h"
#include "MessageBox.h"
#include "RecordingMessageBoxPresenter.h"
#include "TempDeviceRoot.h"
#include "WaveOut.h"
#include "resource.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

class ViewSetUpTest : public ::testing::Test
{
protected:
    void SetUp() override { SetMessageBoxPresenter(std::make_unique<RecordingMessageBoxPresenter>()); }
    void TearDown() override { SetMessageBoxPresenter(nullptr); }

    std::unique_ptr<CVellumdeckView> MakeView()
    {
        auto view = std::make_unique<CVellumdeckView>();
        view->OnInitialUpdate();
        return view;
    }

    TempDeviceRoot m_root;
};

TEST_F(ViewSetUpTest, SetUpFollowsTheLeftChannelAndMakesItsFoldersOnce)
{
    waveOutSetVolume(nullptr, 0xFFFF);
    EXPECT_EQ(MakeView()->VolumePosition(), 0);
    waveOutSetVolume(nullptr, 0xFFFF0000);   // right channel loud, left silent
    auto view = MakeView();
    EXPECT_EQ(view->VolumeSlider().GetPos(), 16);

    EXPECT_TRUE(FileSystem::Exists("\\My documents\\Vellumdeck Data"));
    // No memory card: its folder is not invented.
    EXPECT_FALSE(FileSystem::Exists("\\Storage Card2\\Vellumdeck Data"));

    const int children = int(view->children().size());
    const QImage buffer = view->BackBuffer();
    view->OnInitialUpdate();
    EXPECT_EQ(int(view->children().size()), children);
    EXPECT_EQ(view->BackBuffer().cacheKey(), buffer.cacheKey());
}

// The view drawn at the window's zoom: the skin grows by whole pixels, and the children
// sit at zoom times their device rectangles. Run at zoom 1 here and at zoom 2 below.
TEST_F(ViewSetUpTest, ViewDrawsCrispAtTheWindowZoom)
{
    auto view = MakeView();
    view->show();
    const QImage shot = view->grab().toImage();
    const int zoom = int(shot.devicePixelRatio());
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
        EXPECT_EQ(zoom, qEnvironmentVariableIntValue("QT_SCALE_FACTOR"));
    }
    ASSERT_EQ(shot.size(), QSize(240, 270) * zoom);
    const QImage skin = GetResourceModule().LoadBitmap(IDB_SKIN).convertToFormat(QImage::Format_RGB32);
    const QPoint device(230, 240);   // right of the repeat-list button: skin only
    for (int dy = 0; dy < zoom; ++dy)
        for (int dx = 0; dx < zoom; ++dx)
            EXPECT_EQ(shot.pixel(device * zoom + QPoint(dx, dy)), skin.pixel(device));
    const QRect play = view->Button(CVellumdeckView::BTN_PLAY).geometry();
    const QImage face = GetResourceModule().LoadBitmap(IDB_PLAY_PRESSED).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel((play.topLeft() + QPoint(19, 19)) * zoom), face.pixel(19, 19));
}

TEST_F(ViewSetUpTest, ViewDrawsCrispAtZoomTwo)
{
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        GTEST_SKIP() << "already the zoomed run";
    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_SCALE_FACTOR", "2");
    run.setProcessEnvironment(environment);
    run.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=ViewSetUpTest.ViewDrawsCrispAtTheWindowZoom"});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardOutput().toStdString();
}

}  // namespace
