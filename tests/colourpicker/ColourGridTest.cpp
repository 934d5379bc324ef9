// SPDX-License-Identifier: GPL-2.0-or-later
#include "ColourMessages.h"
#include "MessageLog.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace {

constexpr COLORREF kBlue = 0xFF0000;   // entry 13
constexpr int kTop = CColourGrid::kTopBoxIndex;
constexpr int kBottom = CColourGrid::kBottomBoxIndex;

class ColourGridTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        available = QGuiApplication::primaryScreen()->availableGeometry();
        owner.setGeometry(available.left() + 20, available.top() + 20, 36, 20);
    }

    void Open(COLORREF colour, bool boxes = true)
    {
        QString top = boxes ? QStringLiteral("Auto") : QString(), bottom = boxes ? QStringLiteral("Cancel") : QString();
        ASSERT_TRUE(grid.Create(available.topLeft() + QPoint(40, 40), colour, &owner, &top, &bottom));
        owner.messages.clear();
    }

    QPoint Centre(int index) const
    {
        return (index == kTop ? grid.GetTopBox() : index == kBottom ? grid.GetBottomBox() : grid.GetCellRect(index))
            .center();
    }
    // Tap down on the middle of a cell or box, without lifting.
    void TapDown(int index) { QTest::mousePress(&grid, Qt::LeftButton, {}, Centre(index)); }
    void Key(Qt::Key key) { QTest::keyClick(&grid, key); }

    QRect available;
    MessageLog owner;
    CColourGrid grid;
};

TEST_F(ColourGridTest, OpeningMarksThePositionOfTheColour)
{
    const struct
    {
        COLORREF colour;
        bool boxes;
        int chosen;
    } cases[] = {
        {kBlue, true, 13}, {CLR_DEFAULT, true, kTop}, {0x123456, true, kBottom},
        // Without boxes neither the automatic colour nor a foreign one has a place.
        {CLR_DEFAULT, false, CColourGrid::kNoIndex}, {0x123456, false, CColourGrid::kNoIndex},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.colour << " boxes " << c.boxes);
        Open(c.colour, c.boxes);
        EXPECT_EQ(grid.GetChosenIndex(), c.chosen);
        grid.DestroyWindow();
    }
}

TEST_F(ColourGridTest, EachWayOfEndingTellsTheOwnerOnceAndLetsTheMouseGo)
{
    const auto tap = [this](int index) { QTest::mouseClick(&grid, Qt::LeftButton, {}, Centre(index)); };
    const struct
    {
        const char* name;
        std::function<void()> steps;
        LoggedMessage last;
    } cases[] = {
        // Each case presses a cell of its own, never where an earlier press was left down.
        {"Escape", [&] { TapDown(19); Key(Qt::Key_Escape); }, {WM_COLOUR_SELCANCEL, kBlue, 0}},
        {"Return", [&] { TapDown(20); Key(Qt::Key_Return); }, {WM_COLOUR_SELOK, TableColour(20), 0}},
        {"Enter", [&] { TapDown(21); Key(Qt::Key_Enter); }, {WM_COLOUR_SELOK, TableColour(21), 0}},
        {"Space", [&] { TapDown(22); Key(Qt::Key_Space); }, {WM_COLOUR_SELOK, TableColour(22), 0}},
        // The bottom box reached by keys stands for the colour at opening, but Return on it
        // ends with the colour of the cell left.
        {"Return on the bottom box",
         [&] {
             TapDown(34);
             Key(Qt::Key_Down);
             EXPECT_EQ(owner.Last(), (LoggedMessage{WM_COLOUR_SELCHANGE, kBlue, 0}));
             Key(Qt::Key_Return);
         },
         {WM_COLOUR_SELOK, TableColour(34), 0}},
        {"tap on a cell", [&] { tap(26); }, {WM_COLOUR_SELOK, TableColour(26), 0}},
        {"tap on the top box", [&] { tap(kTop); }, {WM_COLOUR_SELOK, CLR_DEFAULT, 0}},
        {"tap up outside",
         [&] {
             TapDown(27);
             // Pressing outside every cell changes nothing.
             for (QPoint away : {QPoint(grid.width() + 40, 30), QPoint(30, grid.height() + 40), QPoint(-60, -60)})
                 QTest::mousePress(&grid, Qt::LeftButton, {}, away);
             EXPECT_EQ(owner.messages.size(), 1u);
             EXPECT_EQ(grid.GetHotIndex(), 27);
             QTest::mouseRelease(&grid, Qt::LeftButton, {}, QPoint(-30, 10));
         },
         {WM_COLOUR_SELCANCEL, kBlue, 0}},
        {"closed by the window system", [&] { TapDown(23); grid.close(); }, {WM_COLOUR_SELCANCEL, kBlue, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open(kBlue);
        c.steps();
        EXPECT_EQ(owner.Last(), c.last);
        EXPECT_EQ(std::count_if(owner.messages.begin(), owner.messages.end(),
                                [](const LoggedMessage& m) { return m.message != WM_COLOUR_SELCHANGE; }),
                  1);
        EXPECT_FALSE(grid.IsOpen());
        EXPECT_NE(QWidget::mouseGrabber(), &grid);
        if (grid.IsOpen())
            grid.DestroyWindow();
    }
}

// Each walk starts with nothing hot (a colour of no cell, or none of its own) and checks
// the hot position after every arrow key; together they cross every edge of the grid
// with both boxes, with one, and with none, so that the order in which the boxes are
// preferred shows.
TEST_F(ColourGridTest, ArrowKeysWalkAcrossTheEdgesToTheBoxesThatExist)
{
    using Step = std::pair<Qt::Key, int>;
    constexpr auto kDown = Qt::Key_Down, kUp = Qt::Key_Up, kLeft = Qt::Key_Left, kRight = Qt::Key_Right;
    const struct
    {
        const char* boxes;
        QString top, bottom;
        std::vector<Step> steps;
    } walks[] = {
        {"both", QStringLiteral("Auto"), QStringLiteral("Cancel"),
         {{kDown, kBottom}, {kDown, kTop}, {kDown, 0}, {kUp, kTop}, {kUp, kBottom}, {kUp, 39}, {kDown, kBottom},
          {kRight, kTop}, {kRight, 0}, {kLeft, kTop}, {kLeft, kBottom}, {kLeft, 39}, {kRight, kBottom},
          {kRight, kTop}, {kRight, 0}, {kDown, 8}, {kLeft, 7}, {kRight, 8}, {kUp, 0}, {kDown, 8}, {kDown, 16},
          {kDown, 24}, {kDown, 32}, {kDown, kBottom}}},
        {"top only", QStringLiteral("Auto"), QString(),
         {{kDown, kTop}, {kDown, 0}, {kUp, kTop}, {kUp, 39}, {kDown, kTop}, {kLeft, 39}, {kRight, kTop},
          {kRight, 0}, {kLeft, kTop}}},
        {"bottom only", QString(), QStringLiteral("Cancel"),
         {{kDown, kBottom}, {kDown, 0}, {kUp, kBottom}, {kUp, 39}, {kDown, kBottom}, {kRight, 0}, {kLeft, kBottom},
          {kLeft, 39}, {kRight, kBottom}}},
        {"none", QString(), QString(), {{kUp, 39}, {kDown, 0}, {kLeft, 39}, {kRight, 0}, {kUp, 39}, {kRight, 0}}},
    };
    for (const auto& walk : walks) {
        SCOPED_TRACE(walk.boxes);
        // A grid of its own, so that the walk starts from no hot position.
        CColourGrid walked;
        QString top = walk.top, bottom = walk.bottom;
        ASSERT_TRUE(walked.Create(available.topLeft() + QPoint(40, 40), 0x123456, &owner, &top, &bottom));
        ASSERT_EQ(walked.GetHotIndex(), CColourGrid::kNoIndex);
        // The rest of a walk that went astray says nothing more.
        for (std::size_t i = 0; i < walk.steps.size(); ++i) {
            QTest::keyClick(&walked, walk.steps[i].first);
            EXPECT_EQ(walked.GetHotIndex(), walk.steps[i].second) << "after key " << i + 1;
            if (walked.GetHotIndex() != walk.steps[i].second)
                break;
        }
        walked.DestroyWindow();
    }
}

TEST_F(ColourGridTest, HoldsTheMouseWhileOpen)
{
    QWidget other;
    other.show();
    Open(kBlue);
    EXPECT_EQ(QWidget::mouseGrabber(), &grid);

    other.grabMouse();
    QEvent anything(QEvent::User);
    QCoreApplication::sendEvent(&owner, &anything);
    EXPECT_EQ(QWidget::mouseGrabber(), &grid);

    // Losing the focus lets the mouse go but leaves the grid open.
    QFocusEvent focusOut(QEvent::FocusOut);
    QCoreApplication::sendEvent(&grid, &focusOut);
    EXPECT_NE(QWidget::mouseGrabber(), &grid);
    EXPECT_TRUE(grid.IsOpen());
}

} // namespace
