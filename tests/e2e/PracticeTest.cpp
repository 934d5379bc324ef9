// The learner at the keyboard: every panel command by its key, from the study text
// where the keys land; the tempo shown between the times and kept for the next start;
// Tab reaching the panel; and a window that grows, the text pane taking the room
// while the panel stays as drawn, its size kept for the next start.

#include "ProgramFixture.h"

#include "PlayerMessages.h"
#include "RegSettings.h"

#include <QApplication>
#include <QPainter>

namespace {

using B = CVellumdeckView;

class PracticeTest : public ProgramFixture
{
protected:
    // As the learner types, while reading.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &View().TextPane(), key, modifiers);
    }

    // The back buffer's pixels where the tempo is shown.
    QImage SpeedPlace() const
    {
        const QImage& buffer = View().BackBuffer();
        const qreal ratio = buffer.devicePixelRatio();
        const QRect r = B::kSpeedTextRect;
        return buffer.copy(QRect(r.topLeft() * ratio, r.size() * ratio));
    }
    QImage SkinPlace() const
    {
        QImage skin = GetResourceModule().LoadBitmap(IDB_SKIN).convertToFormat(QImage::Format_RGB32);
        const qreal ratio = View().BackBuffer().devicePixelRatio();
        skin = skin.scaled(skin.size() * ratio);
        const QRect r = B::kSpeedTextRect;
        return skin.copy(QRect(r.topLeft() * ratio, r.size() * ratio));
    }
};

TEST_F(PracticeTest, EveryPanelCommandHasItsKeyFromTheStudyText)
{
    StartPlayingLesson();
    View().TextPane().setFocus();
    Key(Qt::Key_Space);
    EXPECT_TRUE(WaitForState(PLAYER_PAUSED));
    Key(Qt::Key_Space);
    EXPECT_TRUE(WaitForState(PLAYER_PLAYING));

    Key(Qt::Key_L);
    EXPECT_TRUE(Shown(B::BTN_LOOP_A));
    Key(Qt::Key_L);
    EXPECT_TRUE(Shown(B::BTN_LOOP_AB));
    Key(Qt::Key_L);
    EXPECT_TRUE(Shown(B::BTN_LOOP_OFF));
    Key(Qt::Key_R);
    EXPECT_TRUE(Shown(B::BTN_REPEAT_TRACK_ON));
    Key(Qt::Key_R, Qt::ShiftModifier);
    EXPECT_TRUE(Shown(B::BTN_REPEAT_LIST_ON));

    const int volume = View().VolumePosition();
    Key(Qt::Key_9);
    EXPECT_EQ(View().VolumePosition(), volume + 1) << "9 is softer, one step down the slider";
    Key(Qt::Key_0);
    EXPECT_EQ(View().VolumePosition(), volume);
    Key(Qt::Key_M);
    EXPECT_TRUE(Shown(B::BTN_SOUND_OFF));
    Key(Qt::Key_M);
    EXPECT_TRUE(Shown(B::BTN_SOUND_ON));

    Key(Qt::Key_N);
    EXPECT_TRUE(WaitFor([this] { return View().Controller().GetCurrentIndex() == 1; }));
    Key(Qt::Key_P);
    EXPECT_TRUE(WaitFor([this] { return View().Controller().GetCurrentIndex() == 0; }));
    ASSERT_TRUE(WaitForState(PLAYER_PLAYING));
    Key(Qt::Key_S);
    EXPECT_TRUE(WaitForState(PLAYER_STOPPED));
    EXPECT_TRUE(Boxes().empty());

    // Every button names what it does and its key.
    for (int i = 0; i < B::BUTTON_COUNT; ++i) {
        const QString tip = View().Button(i).toolTip();
        EXPECT_TRUE(tip.endsWith(QLatin1Char(')')) && tip.contains(QLatin1String(" ("))) << i << ": " << tip.toStdString();
    }
    // Each menu has its Alt letter.
    for (QAction* popup : Frame().GetMenuBar()->actions())
        EXPECT_TRUE(popup->text().contains(QLatin1Char('&'))) << popup->text().toStdString();
}

TEST_F(PracticeTest, TempoIsShownBetweenTheTimesAndKeptForTheNextStart)
{
    StartPlayingLesson();
    EXPECT_EQ(SpeedPlace(), SkinPlace()) << "at the recording's own tempo the skin's slash shows";
    View().TextPane().setFocus();
    for (int i = 0; i < 3; ++i)
        Key(Qt::Key_BracketLeft);
    EXPECT_EQ(View().Speed(), 70);
    EXPECT_EQ(View().Controller().GetTempo(), 70);
    EXPECT_NE(SpeedPlace(), SkinPlace());
    EXPECT_TRUE(IsMenuItemEnabled(ID_SPEED_NORMAL));
    EXPECT_TRUE(FindMenuCommand(Frame().GetMenuBar(), ID_SPEED_FIRST + 7)->isChecked());
    EXPECT_EQ(CRegSettings().QueryNumber(CRegSettings::kSpeedValue), DWORD(70));
    // Not below half, not above twice.
    for (int i = 0; i < 10; ++i)
        Key(Qt::Key_BracketLeft);
    EXPECT_EQ(View().Speed(), TEMPO_SLOWEST);
    EXPECT_FALSE(IsMenuItemEnabled(ID_SPEED_SLOWER));
    ASSERT_TRUE(ChooseMenu(ID_SPEED_FIRST + 12));
    EXPECT_EQ(View().Speed(), 120);

    m_app.reset();
    Start();
    EXPECT_EQ(View().Speed(), 120);
    EXPECT_EQ(View().Controller().GetTempo(), 120);
    EXPECT_NE(SpeedPlace(), SkinPlace());
    View().TextPane().setFocus();
    Key(Qt::Key_Backspace);
    EXPECT_EQ(View().Speed(), TEMPO_NORMAL);
    EXPECT_EQ(SpeedPlace(), SkinPlace());
}

// The loop's pause after each pass and its passes, from the Repeating menu, kept too.
TEST_F(PracticeTest, RepeatingChoicesAreCheckedAndKept)
{
    Start();
    ASSERT_TRUE(ChooseMenu(ID_PAUSE_AFTER_PASS));
    ASSERT_TRUE(ChooseMenu(ID_PASSES_5));
    IsMenuItemEnabled(ID_PASSES_5);   // the menu is brought up to date
    EXPECT_TRUE(FindMenuCommand(Frame().GetMenuBar(), ID_PAUSE_AFTER_PASS)->isChecked());
    EXPECT_TRUE(FindMenuCommand(Frame().GetMenuBar(), ID_PASSES_5)->isChecked());
    EXPECT_FALSE(FindMenuCommand(Frame().GetMenuBar(), ID_PASSES_ENDLESS)->isChecked());
    m_app.reset();
    Start();
    IsMenuItemEnabled(ID_PASSES_5);
    EXPECT_TRUE(FindMenuCommand(Frame().GetMenuBar(), ID_PAUSE_AFTER_PASS)->isChecked());
    EXPECT_TRUE(FindMenuCommand(Frame().GetMenuBar(), ID_PASSES_5)->isChecked());
}

// Tab walks from the text to the panel; a focused button takes Space itself.
TEST_F(PracticeTest, TabReachesThePanelAndSpacePressesTheFocusedButton)
{
    StartPlayingLesson();
    View().TextPane().setFocus();
    CIMGButton* stop = nullptr;
    for (int i = 0; i < 40 && stop == nullptr; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == &View().Button(B::BTN_STOP))
            stop = &View().Button(B::BTN_STOP);
    }
    ASSERT_NE(stop, nullptr) << "Tab reaches the stop button";
    QTest::keyClick(stop, Qt::Key_Space);
    EXPECT_TRUE(WaitForState(PLAYER_STOPPED)) << "Space on the stop button stops rather than pauses";
}

TEST_F(PracticeTest, ALargerWindowGivesTheTextTheRoomAndKeepsThePanelAsDrawn)
{
    Start();
    // At the form's own size everything stands where the tables put it.
    EXPECT_EQ(View().size(), QSize(B::kClientWidth, B::kClientHeight));
    EXPECT_EQ(View().TextPane().geometry(), B::kTextPaneRect);
    EXPECT_EQ(View().Button(B::BTN_PLAY).pos(), QPoint(13, 229));

    const QSize grown = Frame().size() + QSize(260, 300);
    Frame().resize(grown);
    ASSERT_TRUE(WaitFor([&] { return Frame().size() == grown; }));
    const QSize view = View().size();
    EXPECT_EQ(view, QSize(B::kClientWidth + 260, B::kClientHeight + 300));
    EXPECT_EQ(View().TextPane().geometry(), QRect(B::kTextPaneRect.topLeft(), B::kTextPaneRect.size() + QSize(260, 300)));
    const QPoint offset(130, 300);
    EXPECT_EQ(View().PanelOffset(), offset);
    EXPECT_EQ(View().Button(B::BTN_PLAY).pos(), QPoint(13, 229) + offset);
    EXPECT_EQ(View().Button(B::BTN_REPEAT_LIST_OFF).pos(), QPoint(218, 246) + offset);

    // The panel's drawing is the back buffer's, moved: compare a row through the times.
    QImage drawn(view, QImage::Format_RGB32);
    {
        QPainter painter(&drawn);
        View().OnDraw(painter);
    }
    const QImage& buffer = View().BackBuffer();
    const int ratio = int(buffer.devicePixelRatio());
    for (int x = 10; x < 230; x += 7) {
        EXPECT_EQ(drawn.pixel(x + offset.x(), 230 + offset.y()), buffer.pixel(x * ratio, 230 * ratio)) << x;
    }

    // Kept for the next start.
    m_app.reset();
    Start();
    EXPECT_EQ(Frame().size(), grown);
}

}  // namespace
