// SPDX-License-Identifier: GPL-2.0-or-later
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
        auto info = std::make_unique<TrackInfo>();
        info->durationSeconds = length;
        m_controller.OnPlayerTotal(std::move(info));
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

TEST_F(PlayerControllerTest, UnplayablePathOpensNothingAndPostsNothing)
{
    EXPECT_EQ(m_controller.OpenPath("/x/a.wav"), std::nullopt);
    // Next and previous on the empty playlist: an empty title, nothing posted.
    EXPECT_EQ(m_controller.NextItem(), QString());
    EXPECT_EQ(m_controller.PreviousItem(), QString());
    EXPECT_TRUE(Drain().empty());
}

// As the panel's buttons call them: Stop first, then the item. The stop puts the slider
// at 0, so however far into a track, Previous opens the item before it.
TEST_F(PlayerControllerTest, NextStopsAtTheLastItemAndPreviousAlwaysOpensTheItemBefore)
{
    const QStringList paths = OpenPlaylist();
    const Command stop{WM_PLAYER_STOP, 0, 0, {}};
    m_controller.Stop();
    EXPECT_EQ(m_controller.NextItem(), paths[1]);
    EXPECT_EQ(Drain(), (Commands{stop, Open(paths[1]), kPlay}));
    Report(PLAYER_PLAYING);
    m_controller.Stop();
    EXPECT_EQ(m_controller.NextItem(), paths[1]);
    EXPECT_EQ(Drain(), (Commands{stop})) << "the last item: playing stops, nothing opens";

    Report(PLAYER_PLAYING);
    m_slider.setValue(30);
    m_controller.Stop();
    EXPECT_EQ(m_controller.PreviousItem(), paths[0]);
    EXPECT_EQ(Drain(), (Commands{stop, Open(paths[0]), kPlay}));
    // On the first item the index stays at 0 and the first item opens again.
    Report(PLAYER_PLAYING);
    m_slider.setValue(30);
    m_controller.Stop();
    EXPECT_EQ(m_controller.PreviousItem(), paths[0]);
    EXPECT_EQ(Drain(), (Commands{stop, Open(paths[0]), kPlay}));
    EXPECT_EQ(m_controller.GetCurrentIndex(), 0);
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

// The thread takes each point at the sample that is heard and jumps at B itself: the
// controller asks, learns where the points fell, and never seeks for the loop.
TEST_F(PlayerControllerTest, LoopPointsAreTakenByTheThreadAndItsAnswerMovesThem)
{
    PlayOne(60);
    m_controller.SetLoopPoint(CPlayerController::kLoopPointA, 10);
    m_controller.SetLoopPoint(CPlayerController::kLoopPointB, 12);
    EXPECT_EQ(Drain(), (Commands{{WM_PLAYER_LOOP, 0, 0, {}}, {WM_PLAYER_LOOP, 1, 0, {}}}));
    EXPECT_TRUE(m_controller.m_loopEnabled);

    m_controller.OnPlayerLoopPoint(LOOP_POINT_A, 10480);
    m_controller.OnPlayerLoopPoint(LOOP_POINT_B, 13020);
    EXPECT_EQ(m_controller.GetLoopStartMs(), 10480);
    EXPECT_EQ(m_controller.GetLoopEnd(), 13);
    for (int second : {12, 13, 14, 10})
        m_controller.OnPlayerPos(second);
    EXPECT_TRUE(Drain().empty());
    EXPECT_EQ(m_slider.value(), 10);
    EXPECT_EQ(m_view.labels[kPosLabel], "00:00:10");

    // The passes asked for are done: the thread says the loop has ended.
    m_controller.OnPlayerLoopPoint(LOOP_CLEAR, 0);
    EXPECT_FALSE(m_controller.m_loopEnabled);
    EXPECT_EQ(m_controller.GetLoopStart(), CPlayerController::kNoLoopPoint);
    m_controller.SetLoopPoint(CPlayerController::kLoopClear, 25);
    EXPECT_EQ(Drain(), (Commands{{WM_PLAYER_LOOP, 2, 0, {}}}));
}

// Repeat-one is the thread's (it starts again after the last sample); the list starts
// again when its last item has ended, never seconds before.
TEST_F(PlayerControllerTest, RepeatOneIsTheThreadsAndTheListRepeatsAfterItsLastItemEnded)
{
    const QStringList paths = OpenPlaylist();
    Report(PLAYER_PLAYING, 60);
    m_controller.SetRepeatTrack(true);
    m_controller.OnPlayerPos(59);
    EXPECT_EQ(Drain(), (Commands{{WM_PLAYER_REPEAT, 1, 0, {}}}));
    m_controller.SetRepeatTrack(false);
    Drain();

    m_controller.m_repeatList = true;
    m_controller.OnPlayerState(PLAYER_ENDED);
    const Command stop{WM_PLAYER_STOP, 0, 0, {}};
    EXPECT_EQ(Drain(), (Commands{stop, Open(paths[1]), kPlay})) << "not the last item: the next";
    Report(PLAYER_PLAYING, 60);
    m_controller.OnPlayerPos(59);
    EXPECT_TRUE(Drain().empty());
    m_controller.OnPlayerState(PLAYER_ENDED);
    EXPECT_EQ(Drain(), (Commands{stop, Open(paths[0]), kPlay}));
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
    // The thread's last positions, arriving while the thumb is held, leave it where it is.
    m_controller.OnPlayerPos(7);
    EXPECT_EQ(m_slider.value(), 30);
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
