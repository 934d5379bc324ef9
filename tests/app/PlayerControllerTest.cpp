// The controller against a stand-in for the player thread's queue (this thread's own)
// and a real slider.

#include "PlayerController.h"

#include "MessageQueue.h"
#include "PlayerMessages.h"
#include "PlayerView.h"
#include "TempDeviceRoot.h"
#include "WindowMessage.h"

#include <QFile>
#include <QSlider>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

struct Command
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    QString path;   // of WM_PLAYER_OPEN

    bool operator==(const Command& other) const = default;
};
using Commands = std::vector<Command>;

std::ostream& operator<<(std::ostream& out, const Command& command)
{
    return out << std::hex << command.message << std::dec << "(" << command.wParam << ", " << command.lParam << ", "
               << command.path.toStdString() << ")";
}

const Command kPlay{WM_PLAYER_PLAY, 0, 0, {}};
const Command kPause{WM_PLAYER_PAUSE, 0, 0, {}};
Command Open(const QString& path) { return {WM_PLAYER_OPEN, 0, 0, path}; }
Command Seek(int target, int scale) { return {WM_PLAYER_SEEK, WPARAM(target), LPARAM(scale), {}}; }

class FakeView : public PlayerView
{
public:
    MessageTarget* PlayerNotifyTarget() override { return nullptr; }
    void SetDlgItemText(int id, const QString& text) override { labels[id] = text; }
    void* MessageBoxOwner() override { return nullptr; }
    std::map<int, QString> labels;
};

constexpr int kPosLabel = 1010;

class PlayerControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MessageQueue::CreateForCurrentThread();
        m_controller.SetKeepAlive([] {});   // the desktop's idle timer is left alone
        m_controller.Create(&m_view, &m_slider, kPosLabel, kPosLabel + 1);
        // The commands are read here, not by the thread Create started.
        m_controller.SetCommandThreadId(GetCurrentThreadId());
        m_controller.ResetDisplay();
        Drain();
    }

    void TearDown() override
    {
        Drain();
        MessageQueue::DestroyForCurrentThread();
    }

    Commands Drain()
    {
        Commands commands;
        Message msg;
        while (MessageQueue::ForCurrentThread()->Peek(msg)) {
            Command command{msg.message, msg.wParam, msg.lParam, {}};
            if (msg.message == WM_PLAYER_OPEN) {
                auto* path = reinterpret_cast<char16_t*>(msg.wParam);
                command.path = QString::fromUtf16(path);
                command.wParam = 0;
                delete[] path;
            }
            commands.push_back(command);
        }
        return commands;
    }

    // A playlist of two existing recordings, opened; returns their paths.
    QStringList OpenPlaylist()
    {
        QStringList paths;
        QByteArray lines;
        for (int i = 0; i < 2; ++i) {
            paths << m_root.Path() + QStringLiteral("/track%1.mp3").arg(i);
            QFile::copy(TestDataPath("speech.mp3"), paths.last());
            lines += paths.last().toUtf8() + "\r\n";
        }
        m_root.WriteFile("\\list.vdl", lines);
        m_controller.OpenPath(m_root.Host("\\list.vdl"));
        Drain();
        return paths;
    }

    // As the thread reports a freshly opened track of this length.
    void Report(int state, int length = 100)
    {
        auto* info = new TrackInfo;
        info->durationSeconds = length;
        m_controller.OnPlayerTotal(info);
        m_controller.OnPlayerState(state);
    }

    // One recording, playing, of this length; nothing left in the queue.
    void PlayOne(int length)
    {
        m_controller.OpenPath("/x/a.mp3");
        Report(PLAYER_PLAYING, length);
        Drain();
    }

    void SetLoop(int a, int b)
    {
        m_controller.SetLoopPoint(CPlayerController::kLoopPointA, a);
        m_controller.SetLoopPoint(CPlayerController::kLoopPointB, b);
        Drain();
    }

    TempDeviceRoot m_root;
    FakeView m_view;
    QSlider m_slider{Qt::Horizontal};
    CPlayerController m_controller;
};

TEST_F(PlayerControllerTest, UnplayablePathGivesOpenErrorAndPostsNothing)
{
    EXPECT_EQ(m_controller.OpenPath("/x/a.wav"), CPlayerController::kOpenErrorTitle);
    // Next and previous on the empty playlist: an empty title, nothing posted, index 0.
    EXPECT_EQ(m_controller.NextItem(), QString());
    EXPECT_EQ(m_controller.PreviousItem(), QString());
    EXPECT_EQ(m_controller.GetCurrentIndex(), 0);
    EXPECT_TRUE(Drain().empty());
}

TEST_F(PlayerControllerTest, NextStopsAtTheLastItemAndPreviousRestartsFromFourSecondsElseGoesBack)
{
    const QStringList paths = OpenPlaylist();
    EXPECT_EQ(m_controller.NextItem(), paths[1]);
    EXPECT_EQ(Drain(), (Commands{Open(paths[1]), kPlay}));
    Report(PLAYER_PLAYING);
    EXPECT_EQ(m_controller.NextItem(), paths[1]);
    EXPECT_TRUE(Drain().empty());

    m_slider.setValue(4);
    EXPECT_EQ(m_controller.PreviousItem(), paths[1]);
    EXPECT_EQ(Drain(), (Commands{Seek(0, 100)}));
    m_slider.setValue(3);
    EXPECT_EQ(m_controller.PreviousItem(), paths[0]);
    EXPECT_EQ(Drain(), (Commands{Open(paths[0]), kPlay}));
    // On the first item the index stays at 0 and the first item opens again.
    EXPECT_EQ(m_controller.PreviousItem(), paths[0]);
    EXPECT_EQ(Drain(), (Commands{Open(paths[0]), kPlay}));
    EXPECT_EQ(m_controller.GetCurrentIndex(), 0);
}

TEST_F(PlayerControllerTest, PlayPauseFollowsTheStateAndPausedPositionsLeaveTheSlider)
{
    m_controller.OpenPath("/x/a.mp3");
    EXPECT_EQ(Drain(), (Commands{Open("/x/a.mp3"), kPlay}));
    // Stopped (or nothing yet): the thread has forgotten the file, so it is opened again.
    m_controller.OnPlayerState(PLAYER_STOPPED);
    m_controller.PlayPause();
    EXPECT_EQ(Drain(), (Commands{Open("/x/a.mp3"), kPlay, kPlay}));
    EXPECT_TRUE(m_controller.IsPlaying());

    m_controller.OnPlayerState(PLAYER_PLAYING);
    m_controller.PlayPause();
    EXPECT_EQ(Drain(), (Commands{kPause}));
    EXPECT_FALSE(m_controller.IsPlaying());
    m_controller.OnPlayerPos(7);
    EXPECT_EQ(m_slider.value(), 0);

    m_controller.OnPlayerState(PLAYER_PAUSED);
    m_controller.PlayPause();
    EXPECT_EQ(Drain(), (Commands{kPlay}));
    EXPECT_TRUE(m_controller.IsPlaying());
}

TEST_F(PlayerControllerTest, StepsClampToTheRangeAndStayInsideTheLoop)
{
    PlayOne(100);
    m_slider.setValue(2);
    m_controller.StepBack();
    m_slider.setValue(98);
    m_controller.StepForward();
    EXPECT_EQ(Drain(), (Commands{Seek(0, 100), Seek(100, 100)}));

    SetLoop(20, 52);
    m_slider.setValue(50);
    m_controller.StepForward();   // 55 lies past B
    m_slider.setValue(22);
    m_controller.StepBack();      // 17 lies before A
    m_slider.setValue(30);
    m_controller.StepForward();
    EXPECT_EQ(Drain(), (Commands{Seek(20, 100), Seek(20, 100), Seek(35, 100)}));
}

TEST_F(PlayerControllerTest, LoopJumpsToAOnSettingBAndOnceEachTimeBIsReachedOrSteppedOver)
{
    PlayOne(60);
    m_controller.SetLoopPoint(CPlayerController::kLoopPointA, 10);
    EXPECT_TRUE(Drain().empty());
    m_controller.SetLoopPoint(CPlayerController::kLoopPointB, 12);
    EXPECT_EQ(Drain(), (Commands{Seek(10, 60)}));

    // Right after a jump the decoder runs seconds ahead, so B itself may never be reported.
    m_controller.OnPlayerPos(13);   // still in flight from before the jump to A
    m_controller.OnPlayerPos(10);
    m_controller.OnPlayerPos(11);
    EXPECT_TRUE(Drain().empty());
    m_controller.OnPlayerPos(14);
    EXPECT_EQ(Drain(), (Commands{Seek(10, 60)}));
    m_controller.OnPlayerPos(15);
    EXPECT_TRUE(Drain().empty());
    m_controller.OnPlayerPos(10);
    m_controller.OnPlayerPos(12);
    EXPECT_EQ(Drain(), (Commands{Seek(10, 60)}));
    EXPECT_EQ(m_slider.value(), 12);
    EXPECT_EQ(m_view.labels[kPosLabel], "00:00:12");

    m_controller.SetLoopPoint(CPlayerController::kLoopClear, 25);
    EXPECT_FALSE(m_controller.m_loopEnabled);
    EXPECT_EQ(m_controller.GetLoopStart(), CPlayerController::kNoLoopPoint);
    EXPECT_EQ(m_controller.GetLoopEnd(), CPlayerController::kNoLoopPoint);
    m_controller.OnPlayerPos(14);
    EXPECT_TRUE(Drain().empty());
}

TEST_F(PlayerControllerTest, RepeatsActOnTheLastSecond)
{
    const QStringList paths = OpenPlaylist();
    Report(PLAYER_PLAYING, 60);
    m_controller.SetRepeatTrack(true);
    m_controller.OnPlayerPos(58);
    m_controller.OnPlayerPos(59);
    EXPECT_EQ(Drain(), (Commands{Seek(0, 60)}));
    m_controller.SetRepeatTrack(false);

    // Repeat-list goes back to the first item only from the last.
    m_controller.m_repeatList = true;
    Report(PLAYER_PLAYING, 60);
    m_controller.OnPlayerPos(59);
    EXPECT_TRUE(Drain().empty());
    m_controller.NextItem();
    Report(PLAYER_PLAYING, 60);
    Drain();
    m_controller.OnPlayerPos(59);
    EXPECT_EQ(Drain(), (Commands{Open(paths[0]), kPlay}));
    EXPECT_EQ(m_controller.GetCurrentIndex(), 0);
    EXPECT_EQ(m_controller.GetTitle(), paths[0]);
}

TEST_F(PlayerControllerTest, DraggingPausesAndReleaseSeeksASecondBeforeTheThumbInsideTheLoop)
{
    PlayOne(60);
    m_slider.setValue(30);
    m_controller.OnSliderScroll(TB_THUMBTRACK, &m_slider);
    EXPECT_EQ(Drain(), (Commands{kPause}));
    EXPECT_FALSE(m_controller.IsPlaying());
    EXPECT_EQ(m_view.labels[kPosLabel], "00:00:30");

    m_controller.OnSliderScroll(TB_ENDTRACK, &m_slider);
    EXPECT_EQ(Drain(), (Commands{Seek(29, 60)}));
    EXPECT_TRUE(m_controller.IsPlaying());
    EXPECT_EQ(m_view.labels[kPosLabel], "00:00:29");

    m_slider.setValue(0);
    m_controller.OnSliderScroll(TB_ENDTRACK, &m_slider);
    EXPECT_EQ(Drain(), (Commands{Seek(0, 60)}));
    QSlider other;
    m_controller.OnSliderScroll(TB_ENDTRACK, &other);
    EXPECT_TRUE(Drain().empty());

    // A release outside the loop goes to A.
    SetLoop(40, 50);
    m_slider.setValue(20);
    m_controller.OnSliderScroll(TB_ENDTRACK, &m_slider);
    EXPECT_EQ(Drain(), (Commands{Seek(40, 60)}));
}

}  // namespace
