// SPDX-License-Identifier: GPL-2.0-or-later
// The player panel as the learner works it, by pointer and by key: the play/pause face,
// the A-B loop, mute and volume, the end of a track, previous and next, pausing without
// losing the page; every command's key from the study text, where the keys land; the
// tempo shown between the times and kept for the next start with the loop's repeating
// choices; Tab reaching the panel; and a window that grows, the text pane taking the
// room while the panel stays as drawn, its size kept.

#include "ProgramFixture.h"

#include "PlayerMessages.h"
#include "SoftwareVolume.h"
#include "WindowMessage.h"

#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>

namespace {

using B = CVellumdeckView;

class PanelTest : public ProgramFixture
{
protected:
    bool WaitForSecond(int seconds) const
    {
        return WaitFor([this, seconds] { return View().SeekSlider().GetPos() >= seconds; });
    }
    std::vector<int> LoopFacesShown() const
    {
        std::vector<int> shown;
        for (int index : {B::BTN_LOOP_OFF, B::BTN_LOOP_A, B::BTN_LOOP_AB})
            if (Shown(index))
                shown.push_back(index);
        return shown;
    }
    // As the learner types, while reading.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &View().TextPane(), key, modifiers);
    }
    bool TempoShown() const { return Drawn(B::kSpeedTextRect) != Skin(B::kSpeedTextRect); }
};

}  // namespace

TEST_F(PanelTest, PauseAndResumeKeepTheTextWhereTheReaderLeftItAndPausedLoopDoesNothing)
{
    StartPlayingLesson();
    QScrollBar* scroll = View().TextPane().verticalScrollBar();
    scroll->setValue(scroll->maximum());
    const int line = View().TextPane().GetFirstVisibleLine();
    ASSERT_GT(line, 0);

    Tap(B::BTN_PAUSE);
    ASSERT_TRUE(WaitForState(PLAYER_PAUSED));
    EXPECT_EQ(QApplication::focusWidget(), &View().TextPane());
    Tap(B::BTN_LOOP_OFF);
    EXPECT_EQ(LoopFacesShown(), std::vector<int>{B::BTN_LOOP_OFF});
    EXPECT_EQ(View().Controller().GetLoopStart(), CPlayerController::kNoLoopPoint);

    Tap(B::BTN_PLAY);
    ASSERT_TRUE(WaitForState(PLAYER_PLAYING));
    EXPECT_TRUE(Shown(B::BTN_PAUSE));
    EXPECT_EQ(View().TextPane().GetFirstVisibleLine(), line) << "resuming reloaded the text";
}

TEST_F(PanelTest, LoopButtonSetsASetsBAndClearsWithTicksAndFaces)
{
    StartPlayingLesson();
    ASSERT_TRUE(WaitForSecond(1));
    Tap(B::BTN_LOOP_OFF);   // a tap asserts its face is shown: the taps walk the faces
    const int a = View().Controller().GetLoopStart();
    EXPECT_GE(a, 1);
    // A tick at the press, then a mark where the player took the point (to the ms).
    const auto marks = [this] { return View().SeekSlider().Marks(); };
    ASSERT_TRUE(WaitFor([&] { return marks().size() == 1; }));
    EXPECT_GE(marks()[0], a);
    EXPECT_LT(marks()[0], a + 1.5);
    EXPECT_FALSE(View().Controller().m_loopEnabled);

    ASSERT_TRUE(WaitForSecond(a + 3));
    Tap(B::BTN_LOOP_A);
    ASSERT_TRUE(WaitFor([&] { return marks().size() == 2; }));
    const int b = View().Controller().GetLoopEnd();
    EXPECT_GT(b, a);
    EXPECT_NEAR(marks()[1], View().Controller().GetLoopEndMs() / 1000.0, 0.001);
    // Setting B jumps back to A (what is heard in the loop is the player's own tests').
    EXPECT_TRUE(WaitFor([&] { return View().SeekSlider().GetPos() < b; }));

    Tap(B::BTN_LOOP_AB);
    EXPECT_EQ(LoopFacesShown(), std::vector<int>{B::BTN_LOOP_OFF});
    EXPECT_FALSE(View().Controller().m_loopEnabled);
    EXPECT_EQ(View().SeekSlider().GetTic(0), -1);
    EXPECT_TRUE(marks().empty());
}

// Mute keeps the level for unmuting and is for this run only: the next start (here in
// the same process, so that a mute left over would show as well as a stored silence) is
// at the volume the slider shows. The volume in force is what the output scales by
// (checked on the samples in the audio layer's and the listening tests).
TEST_F(PanelTest, VolumeSliderSetsBothChannelsAndMuteIsNotRemembered)
{
    UseAudio("null:50");
    Start();
    CSkinSlider& volume = View().VolumeSlider();
    volume.setFocus();
    // The top of the slider is the loudest: 16 steps of 4095, so 0xFFF0 per channel.
    QTest::keyClick(&volume, Qt::Key_End);
    EXPECT_EQ(SoftwareVolume::Get(), 0u);
    QTest::keyClick(&volume, Qt::Key_Home);
    EXPECT_EQ(SoftwareVolume::Get(), 0xFFF0FFF0u);
    for (int step = 0; step < 4; ++step)
        QTest::keyClick(&volume, Qt::Key_Down);
    const DWORD chosen = 12u * 4095u * 0x10001u;
    EXPECT_EQ(SoftwareVolume::Get(), chosen);
    Tap(B::BTN_SOUND_ON);
    EXPECT_EQ(SoftwareVolume::Get(), 0u);
    EXPECT_FALSE(volume.isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), &View().TextPane());
    Tap(B::BTN_SOUND_OFF);
    EXPECT_EQ(SoftwareVolume::Get(), chosen);
    EXPECT_TRUE(volume.isEnabled());

    Tap(B::BTN_SOUND_ON);
    m_app.reset();
    Start();
    EXPECT_EQ(View().VolumeSlider().GetPos(), 4);
    EXPECT_TRUE(Shown(B::BTN_SOUND_ON) && View().VolumeSlider().isEnabled());
    EXPECT_EQ(SoftwareVolume::Get(), chosen);
}

TEST_F(PanelTest, EndOfTrackResetsLoopAndRepeatOneThenPreviousAndNextMoveThroughTheList)
{
    StartPlayingLesson();
    ASSERT_TRUE(WaitForSecond(1));
    Tap(B::BTN_LOOP_OFF);             // point A
    Tap(B::BTN_REPEAT_TRACK_OFF);     // repeat-one on
    Tap(B::BTN_REPEAT_LIST_OFF);      // repeat-list on
    ASSERT_TRUE(Shown(B::BTN_LOOP_A) && Shown(B::BTN_REPEAT_TRACK_ON) && Shown(B::BTN_REPEAT_LIST_ON));

    // Repeat-one would keep this track going for ever; the track ends as the player
    // thread reports it.
    SendMessageW(&View(), WM_PLAYER_STATE, PLAYER_ENDED, 0);
    EXPECT_TRUE(Shown(B::BTN_PLAY));
    EXPECT_EQ(LoopFacesShown(), std::vector<int>{B::BTN_LOOP_OFF});
    EXPECT_EQ(View().SeekSlider().GetTic(0), -1);
    EXPECT_TRUE(Shown(B::BTN_REPEAT_TRACK_OFF) && Shown(B::BTN_REPEAT_LIST_ON));

    // The next lesson follows, with its own study text.
    EXPECT_TRUE(WaitFor([this] { return View().Controller().GetTitle() == Device(kLesson2); }));
    ASSERT_TRUE(WaitFor([this] { return PaneText().contains(QStringLiteral("next train to York")); }));
    EXPECT_EQ(View().CompanionPath(), Device(kLesson2Text));

    // Previous and next move through the list with their texts and each text's own
    // bookmarks; next resets repeat-one.
    ASSERT_TRUE(ChooseMenu(ID_SET_BOOKMARK));
    const auto lesson2Marks = BookmarkItems();
    ASSERT_EQ(lesson2Marks.size(), 1);
    Tap(B::BTN_PREVIOUS);
    EXPECT_EQ(View().Controller().GetTitle(), Device(kLesson1));
    ASSERT_TRUE(WaitFor([this] { return PaneText().contains(QStringLiteral("A coffee, please.")); }));
    EXPECT_TRUE(BookmarkItems().isEmpty()) << "the first lesson's text has none of its own";
    Tap(B::BTN_REPEAT_TRACK_OFF);
    Tap(B::BTN_NEXT);
    EXPECT_TRUE(Shown(B::BTN_REPEAT_TRACK_OFF)) << "next resets repeat-one";
    EXPECT_EQ(View().Controller().GetTitle(), Device(kLesson2));
    EXPECT_TRUE(WaitFor([this] { return PaneText().contains(QStringLiteral("Platform three")); }));
    EXPECT_EQ(BookmarkItems(), lesson2Marks) << "the second lesson's bookmark came back with its text";
}

TEST_F(PanelTest, EveryPanelCommandHasItsKeyFromTheStudyTextAndTabReachesThePanel)
{
    StartPlayingLesson();
    View().TextPane().setFocus();
    Key(Qt::Key_Space);
    EXPECT_TRUE(WaitForState(PLAYER_PAUSED));
    Key(Qt::Key_Space);
    EXPECT_TRUE(WaitForState(PLAYER_PLAYING));
    const struct
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int face;   // shown after the key
    } faces[] = {
        {Qt::Key_L, {}, B::BTN_LOOP_A},          {Qt::Key_L, {}, B::BTN_LOOP_AB},
        {Qt::Key_L, {}, B::BTN_LOOP_OFF},        {Qt::Key_R, {}, B::BTN_REPEAT_TRACK_ON},
        {Qt::Key_R, Qt::ShiftModifier, B::BTN_REPEAT_LIST_ON},
        {Qt::Key_M, {}, B::BTN_SOUND_OFF},       {Qt::Key_M, {}, B::BTN_SOUND_ON},
    };
    for (const auto& press : faces) {
        Key(press.key, press.modifiers);
        EXPECT_TRUE(Shown(press.face)) << press.face;
    }
    const int volume = View().VolumePosition();
    Key(Qt::Key_9);
    EXPECT_EQ(View().VolumePosition(), volume + 1) << "9 is softer, one step down the slider";
    Key(Qt::Key_0);
    EXPECT_EQ(View().VolumePosition(), volume);

    Key(Qt::Key_N);
    EXPECT_TRUE(WaitFor([this] { return View().Controller().GetCurrentIndex() == 1; }));
    Key(Qt::Key_P);
    EXPECT_TRUE(WaitFor([this] { return View().Controller().GetCurrentIndex() == 0; }));
    ASSERT_TRUE(WaitForState(PLAYER_PLAYING));
    Key(Qt::Key_S);
    EXPECT_TRUE(WaitForState(PLAYER_STOPPED));
    Key(Qt::Key_Space);
    ASSERT_TRUE(WaitForState(PLAYER_PLAYING));
    EXPECT_TRUE(Boxes().empty());

    // Tab walks from the text to the panel; a focused button takes Space itself.
    CIMGButton* stop = &View().Button(B::BTN_STOP);
    for (int i = 0; i < 40 && QApplication::focusWidget() != stop; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), stop) << "Tab reaches the stop button";
    QTest::keyClick(stop, Qt::Key_Space);
    EXPECT_TRUE(WaitForState(PLAYER_STOPPED)) << "Space on the stop button stops rather than pauses";
    // Every button names what it does and its key.
    for (int i = 0; i < B::BUTTON_COUNT; ++i)
        EXPECT_TRUE(View().Button(i).toolTip().contains(QRegularExpression(" \\(.+\\)$"))) << i;
}

TEST_F(PanelTest, TempoIsShownBetweenTheTimesAndKeptForTheNextStartWithTheRepeatingChoices)
{
    StartPlayingLesson();
    EXPECT_FALSE(TempoShown()) << "at the recording's own tempo the skin's slash shows";
    View().TextPane().setFocus();
    for (int i = 0; i < 3; ++i)
        Key(Qt::Key_BracketLeft);
    EXPECT_EQ(View().Controller().GetTempo(), 70);
    EXPECT_TRUE(TempoShown());
    EXPECT_TRUE(IsMenuItemEnabled(ID_SPEED_NORMAL));
    EXPECT_TRUE(IsMenuItemChecked(ID_SPEED_FIRST + 7));
    // Not below half, not above twice.
    for (int i = 0; i < 10; ++i)
        Key(Qt::Key_BracketLeft);
    EXPECT_EQ(View().Speed(), TEMPO_SLOWEST);
    EXPECT_FALSE(IsMenuItemEnabled(ID_SPEED_SLOWER));
    ASSERT_TRUE(ChooseMenu(ID_SPEED_FIRST + 12));
    // The loop's pause after each pass and its passes, from the Repeating menu.
    ASSERT_TRUE(ChooseMenu(ID_PAUSE_AFTER_PASS));
    ASSERT_TRUE(ChooseMenu(ID_PASSES_5));

    m_app.reset();
    Start();
    EXPECT_EQ(View().Speed(), 120);
    EXPECT_EQ(View().Controller().GetTempo(), 120);
    EXPECT_TRUE(TempoShown());
    EXPECT_TRUE(IsMenuItemChecked(ID_PAUSE_AFTER_PASS));
    EXPECT_TRUE(IsMenuItemChecked(ID_PASSES_5));
    EXPECT_FALSE(IsMenuItemChecked(ID_PASSES_ENDLESS));
    View().TextPane().setFocus();
    Key(Qt::Key_Backspace);
    EXPECT_EQ(View().Speed(), TEMPO_NORMAL);
    EXPECT_FALSE(TempoShown());
}

TEST_F(PanelTest, ALargerWindowGivesTheTextTheRoomAndKeepsThePanelAsDrawn)
{
    Start();
    const QSize grown = Frame().size() + QSize(260, 300);
    Frame().resize(grown);
    ASSERT_TRUE(WaitFor([&] { return Frame().size() == grown; }));
    const QSize view = View().size();
    EXPECT_EQ(view, QSize(B::kClientWidth + 260, B::kClientHeight + 300));
    EXPECT_EQ(View().TextPane().geometry(), QRect(B::kTextPaneRect.topLeft(), B::kTextPaneRect.size() + QSize(260, 300)));
    const QPoint offset(130, 300);
    EXPECT_EQ(View().PanelOffset(), offset);
    EXPECT_EQ(View().Button(B::BTN_PLAY).pos(), QPoint(13, 229) + offset);

    // The panel's drawing is the back buffer's, moved: compare a row through the times.
    QImage drawn(view, QImage::Format_RGB32);
    {
        QPainter painter(&drawn);
        View().OnDraw(painter);
    }
    const QImage& buffer = View().BackBuffer();
    const int ratio = int(buffer.devicePixelRatio());
    for (int x = 10; x < 230; x += 7)
        EXPECT_EQ(drawn.pixel(x + offset.x(), 230 + offset.y()), buffer.pixel(x * ratio, 230 * ratio)) << x;

    m_app.reset();
    Start();
    EXPECT_EQ(Frame().size(), grown);
}
