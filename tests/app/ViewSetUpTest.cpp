// The main view's set-up: volume, data folders, the command-line recording and its
// embedded text, and drawing at the window's zoom.

#include "WaitFor.h"
#include "VellumdeckView.h"

#include "CommandLine.h"
#include "FileSystem.h"
#include "MessageBox.h"
#include "PlayerMessages.h"
#include "RecordingMessageBoxPresenter.h"
#include "TempDeviceRoot.h"
#include "WaveOut.h"
#include "resource.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

// A ".vds": a recording followed by its study text and the text's length.
QByteArray VdsBytes(const QByteArray& text)
{
    QFile mp3(TestDataPath("speech.mp3"));
    mp3.open(QIODevice::ReadOnly);
    QByteArray trailer(4, '\0');
    qToLittleEndian(quint32(text.size()), trailer.data());
    return mp3.readAll() + text + trailer;
}

class ViewSetUpTest : public ::testing::Test
{
protected:
    void SetUp() override { SetMessageBoxPresenter(std::make_unique<RecordingMessageBoxPresenter>()); }
    void TearDown() override
    {
        CommandLine::SetArguments({});
        SetMessageBoxPresenter(nullptr);
    }

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
    EXPECT_EQ(view->VolumePosition(), 16);
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

TEST_F(ViewSetUpTest, CommandLineVdsPlaysWithItsEmbeddedTextAndThePanelAnswers)
{
    const QByteArray text = "Lesson one.\r\nRead along.\r\n";
    ASSERT_TRUE(m_root.WriteFile("\\My documents\\Lesson 1.vds", VdsBytes(text)));
    const QString path = m_root.Host("\\My documents\\Lesson 1.vds");
    EXPECT_EQ(CVellumdeckView::PathFromCommandLine("\"" + path + "\" \"/d/b.vds\""), path);
    CommandLine::SetArguments({path});

    auto view = MakeView();
    EXPECT_EQ(view->CompanionPath(), path);
    EXPECT_TRUE(view->TextPane().GetWindowText().startsWith("Lesson one."));
    EXPECT_EQ(view->TextPane().Logo(), nullptr);

    ASSERT_TRUE(WaitFor([&] { return view->PlayerState() == PLAYER_PLAYING; }));
    EXPECT_TRUE(view->Button(CVellumdeckView::BTN_PAUSE).isVisibleTo(view.get()));
    ASSERT_TRUE(WaitFor([&] { return view->GetDlgItemText(IDC_POS_TEXT) != "00:00:00"; }));
    EXPECT_GT(view->SeekSlider().GetPos(), 0);
    // The panel's buttons are enabled after a command-line open.
    QTest::mouseClick(&view->Button(CVellumdeckView::BTN_STOP), Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_TRUE(WaitFor([&] { return view->PlayerState() == PLAYER_STOPPED; }));
}

TEST_F(ViewSetUpTest, EmbeddedTextTrailerBeyondTheFileIsRefused)
{
    auto view = MakeView();
    QByteArray bytes = VdsBytes("short");
    bytes[bytes.size() - 1] = char(0x7F);   // claims far more than the file holds
    m_root.WriteFile("\\bad.vds", bytes);
    m_root.WriteFile("\\tiny.vds", "ab");
    m_root.WriteFile("\\good.vds", VdsBytes("0123456789"));

    EXPECT_FALSE(view->LoadEmbeddedText(m_root.Host("\\bad.vds")));
    EXPECT_FALSE(view->LoadEmbeddedText(m_root.Host("\\tiny.vds")));
    EXPECT_NE(view->TextPane().Logo(), nullptr);
    EXPECT_TRUE(view->LoadEmbeddedText(m_root.Host("\\good.vds")));
    EXPECT_EQ(view->TextPane().GetWindowText(), "0123456789");
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
