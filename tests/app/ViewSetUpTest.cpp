// The main view's set-up: faces, volume, stored settings, data folders, the command-line
// recording, and the study text rules it relies on.

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
#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kWaitMs = 20000;

// A ".vds": a recording followed by its study text and the text's length.
QByteArray VdsBytes(const QByteArray& text)
{
    QFile mp3(TestDataPath("speech.mp3"));
    mp3.open(QIODevice::ReadOnly);
    QByteArray bytes = mp3.readAll() + text;
    const quint32 length = quint32(text.size());
    for (int i = 0; i < 4; ++i)
        bytes.append(char((length >> (8 * i)) & 0xFF));
    return bytes;
}

class ViewSetUpTest : public ::testing::Test
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

TEST_F(ViewSetUpTest, OnlyOneFaceOfEachToggleShowsAtStart)
{
    auto view = MakeView();
    for (int i = 0; i < CVellumdeckView::BUTTON_COUNT; ++i)
        EXPECT_EQ(view->Button(i).isVisibleTo(view.get()), CVellumdeckView::kButtons[std::size_t(i)].shown) << i;
    EXPECT_EQ(view->Button(CVellumdeckView::BTN_SOUND_ON).geometry(), QRect(204, 210, 9, 27));
    EXPECT_EQ(view->TextPane().geometry(), QRect(3, 3, 231, 202));
    EXPECT_TRUE(view->CompanionPath().isEmpty());
    EXPECT_NE(view->TextPane().Logo(), nullptr);
}

TEST_F(ViewSetUpTest, VolumeSliderFollowsTheLeftChannel)
{
    waveOutSetVolume(nullptr, 0xFFFF);
    EXPECT_EQ(MakeView()->VolumePosition(), 0);
    waveOutSetVolume(nullptr, 0xFFFF0000);   // right channel loud, left silent
    auto view = MakeView();
    EXPECT_EQ(view->VolumePosition(), 16);
    EXPECT_EQ(view->VolumeSlider().GetPos(), 16);
    EXPECT_EQ(view->VolumeSlider().GetRangeMax(), 16);
}

TEST_F(ViewSetUpTest, FirstRunStoresAndAppliesTheDefaultLook)
{
    auto view = MakeView();
    const std::optional<TextFont> font = view->TextPane().GetTextFont();
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->faceName, "Tahoma");
    EXPECT_EQ(font->height, 15);
    EXPECT_EQ(font->weight, TextFont::FW_NORMAL);
    EXPECT_EQ(view->TextPane().GetBackgroundColor(), 0x5E0000u);
    EXPECT_EQ(view->TextPane().GetTextColor(), 0xFFFFFFu);
}

TEST_F(ViewSetUpTest, DataFoldersAreMadeWhereTheDeviceHasRoom)
{
    auto view = MakeView();
    EXPECT_TRUE(FileSystem::Exists("\\My documents\\Vellumdeck Data"));
    // No memory card: its folder is not invented.
    EXPECT_FALSE(FileSystem::Exists("\\Storage Card2\\Vellumdeck Data"));
}

TEST_F(ViewSetUpTest, SecondInitialUpdateMakesNothingAgain)
{
    auto view = MakeView();
    const int children = int(view->children().size());
    const QImage buffer = view->BackBuffer();
    view->OnInitialUpdate();
    EXPECT_EQ(int(view->children().size()), children);
    EXPECT_EQ(view->BackBuffer().cacheKey(), buffer.cacheKey());
}

TEST_F(ViewSetUpTest, BackBufferStartsAsTheSkin)
{
    auto view = MakeView();
    const QImage skin = GetResourceModule().LoadBitmap(IDB_SKIN).convertToFormat(QImage::Format_RGB32);
    const QImage buffer = view->BackBuffer();
    ASSERT_FALSE(skin.isNull());
    const qreal ratio = buffer.devicePixelRatio();
    EXPECT_EQ(buffer.size(), QSize(240, 320) * ratio);
    for (const QPoint device : {QPoint(0, 0), QPoint(120, 215), QPoint(239, 269)})
        EXPECT_EQ(buffer.pixel(device * ratio), skin.pixel(device));
}

TEST_F(ViewSetUpTest, CommandLineVdsPlaysAndShowsItsEmbeddedText)
{
    const QByteArray text = "Lesson one.\r\nRead along.\r\n";
    ASSERT_TRUE(m_root.WriteFile("\\My documents\\Lesson 1.vds", VdsBytes(text)));
    const QString path = m_root.Host("\\My documents\\Lesson 1.vds");
    CommandLine::SetArguments({path});

    auto view = MakeView();
    EXPECT_EQ(view->CompanionPath(), path);
    EXPECT_TRUE(view->TextPane().GetWindowText().startsWith("Lesson one."));
    EXPECT_EQ(view->TextPane().Logo(), nullptr);

    ASSERT_TRUE(WaitFor([&] { return view->PlayerState() == PLAYER_PLAYING; }));
    EXPECT_TRUE(view->Button(CVellumdeckView::BTN_PAUSE).isVisibleTo(view.get()));
    EXPECT_FALSE(view->Button(CVellumdeckView::BTN_PLAY).isVisibleTo(view.get()));
    ASSERT_TRUE(WaitFor([&] { return view->GetDlgItemText(IDC_POS_TEXT) != "00:00:00"; }));
    EXPECT_GT(view->SeekSlider().GetPos(), 0);
    EXPECT_NE(view->GetDlgItemText(IDC_TOTAL_TEXT), "00:00:00");
    // The panel answers: its buttons are enabled after a command-line open.
    QTest::mouseClick(&view->Button(CVellumdeckView::BTN_STOP), Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_TRUE(WaitFor([&] { return view->PlayerState() == PLAYER_STOPPED; }));
}

TEST_F(ViewSetUpTest, CommandLineMp3ShowsTheTextBesideIt)
{
    QFile::copy(TestDataPath("speech.mp3"), m_root.Path() + "/a.mp3");
    m_root.WriteFile("\\a.txt", "Beside the recording.");
    CommandLine::SetArguments({m_root.Path() + "/a.mp3"});
    auto view = MakeView();
    EXPECT_EQ(view->CompanionPath(), m_root.Path() + "/a.txt");
    EXPECT_EQ(view->TextPane().GetWindowText(), "Beside the recording.");

    // Without a ".txt" the logo stays; the recording's own bytes are never the text.
    QFile::copy(TestDataPath("speech.mp3"), m_root.Path() + "/b.mp3");
    CommandLine::SetArguments({m_root.Path() + "/b.mp3"});
    auto other = MakeView();
    EXPECT_NE(other->TextPane().Logo(), nullptr);
    EXPECT_TRUE(other->TextPane().GetWindowText().isEmpty());
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

TEST_F(ViewSetUpTest, CompanionRuleAndCommandLinePath)
{
    EXPECT_EQ(CVellumdeckView::CompanionOf("/d/a.VDS"), "/d/a.VDS");
    EXPECT_EQ(CVellumdeckView::CompanionOf("/d/a.Vds"), "/d/a.txt");
    EXPECT_EQ(CVellumdeckView::CompanionOf("/d/b.mp3"), "/d/b.txt");
    EXPECT_EQ(CVellumdeckView::BookmarkFileOf("/d/b.txt"), "/d/b.vdm");
    EXPECT_EQ(CVellumdeckView::PathFromCommandLine("\"/d/Lesson 1.vds\""), "/d/Lesson 1.vds");
    EXPECT_EQ(CVellumdeckView::PathFromCommandLine("\"/d/a.vds\" \"/d/b.vds\""), "/d/a.vds");
    EXPECT_EQ(CVellumdeckView::PathFromCommandLine("/d/a.vds"), "/d/a.vds");
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
    ASSERT_TRUE(run.waitForFinished(kWaitMs * 3));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardOutput().toStdString();
}

}  // namespace
