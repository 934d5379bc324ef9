#include "ColourGrid.h"
#include "ColourMessages.h"
#include "MessageLog.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kBlue = 0xFF0000;     // entry 13
constexpr COLORREF kOffTable = 0x123456;

COLORREF TableColour(int index)
{
    return CColourGrid::kColourTable[index].colour;
}

class ColourGridTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        available = QGuiApplication::primaryScreen()->availableGeometry();
        owner.setGeometry(available.left() + 20, available.top() + 20, 36, 20);
    }

    void Open(COLORREF colour, QString top = QStringLiteral("Auto"), QString bottom = QStringLiteral("Cancel"),
              QPoint at = QPoint())
    {
        if (at.isNull())
            at = available.topLeft() + QPoint(40, 40);
        ASSERT_TRUE(grid.Create(at, colour, &owner, &top, &bottom));
        owner.messages.clear();
    }

    // Tap down on the middle of a cell or box, without lifting.
    void TapDown(int index)
    {
        QTest::mousePress(&grid, Qt::LeftButton, {}, PositionCentre(index));
    }
    QPoint PositionCentre(int index) const
    {
        if (index == CColourGrid::kTopBoxIndex)
            return grid.GetTopBox().center();
        if (index == CColourGrid::kBottomBoxIndex)
            return grid.GetBottomBox().center();
        return grid.GetCellRect(index).center();
    }
    void Key(Qt::Key key) { QTest::keyClick(&grid, key); }
    // Puts the highlight on index, then presses key; the new hot index.
    int KeyFrom(int index, Qt::Key key)
    {
        TapDown(index);
        EXPECT_EQ(grid.GetHotIndex(), index);
        Key(key);
        return grid.GetHotIndex();
    }

    QRect available;
    MessageLog owner;
    CColourGrid grid;
};

TEST_F(ColourGridTest, TableHoldsColoursAsRedGreenBlueWithTheirNames)
{
    EXPECT_EQ(TableColour(1), 165u + 256u * 42u);
    EXPECT_STREQ(CColourGrid::kColourTable[35].name, "Pale green ");
}

TEST_F(ColourGridTest, OpeningMarksThePositionOfTheColour)
{
    Open(kBlue);
    EXPECT_EQ(grid.GetChosenIndex(), 13);
    grid.DestroyWindow();

    Open(CLR_DEFAULT);
    EXPECT_EQ(grid.GetChosenIndex(), CColourGrid::kTopBoxIndex);
    grid.DestroyWindow();

    Open(kOffTable);
    EXPECT_EQ(grid.GetChosenIndex(), CColourGrid::kBottomBoxIndex);
    grid.DestroyWindow();

    // Without boxes neither the automatic colour nor a foreign one has a place.
    Open(CLR_DEFAULT, QString(), QString());
    EXPECT_EQ(grid.GetChosenIndex(), CColourGrid::kNoIndex);
    grid.DestroyWindow();
    Open(kOffTable, QString(), QString());
    EXPECT_EQ(grid.GetChosenIndex(), CColourGrid::kNoIndex);
}

TEST_F(ColourGridTest, LayoutWithoutLabelsIsCellsAndMargins)
{
    Open(kBlue, QString(), QString());
    EXPECT_EQ(grid.GetMargin(), 2);
    EXPECT_EQ(grid.GetWindowRect().size(), QSize(148, 94));
    EXPECT_EQ(grid.size(), QSize(148, 94));
    EXPECT_EQ(grid.GetCellRect(0), QRect(2, 2, 18, 18));
    EXPECT_EQ(grid.GetCellRect(39), QRect(2 + 7 * 18, 2 + 4 * 18, 18, 18));
}

TEST_F(ColourGridTest, LayoutPutsTheBoxesAboveAndBelowTheCells)
{
    Open(kBlue);
    const QRect top = grid.GetTopBox();
    const QRect bottom = grid.GetBottomBox();
    EXPECT_EQ(top.topLeft(), QPoint(2, 2));
    EXPECT_EQ(top.width(), 144);
    EXPECT_GT(top.height(), 2 + 8 + 2);
    EXPECT_EQ(grid.GetCellRect(0).top(), 2 + top.height() + 2);
    EXPECT_EQ(bottom.top(), 94 + top.height() + 4);
    EXPECT_EQ(bottom.height(), top.height());
    EXPECT_EQ(grid.GetWindowRect().size(), QSize(148, bottom.bottom() + 1 + 4));
}

TEST_F(ColourGridTest, ArrowKeysWalkThroughCellsAndBoxes)
{
    Open(kBlue);
    EXPECT_EQ(KeyFrom(35, Qt::Key_Down), CColourGrid::kBottomBoxIndex);
    Key(Qt::Key_Down);
    EXPECT_EQ(grid.GetHotIndex(), CColourGrid::kTopBoxIndex);
    Key(Qt::Key_Down);
    EXPECT_EQ(grid.GetHotIndex(), 0);

    EXPECT_EQ(KeyFrom(7, Qt::Key_Right), 8);
    EXPECT_EQ(KeyFrom(39, Qt::Key_Right), CColourGrid::kBottomBoxIndex);
    Key(Qt::Key_Right);
    EXPECT_EQ(grid.GetHotIndex(), CColourGrid::kTopBoxIndex);
    Key(Qt::Key_Right);
    EXPECT_EQ(grid.GetHotIndex(), 0);
    EXPECT_EQ(KeyFrom(0, Qt::Key_Left), CColourGrid::kTopBoxIndex);
    EXPECT_EQ(KeyFrom(8, Qt::Key_Left), 7);

    for (int column = 0; column < 8; ++column)
        EXPECT_EQ(KeyFrom(column, Qt::Key_Up), CColourGrid::kTopBoxIndex) << "column " << column;
    EXPECT_EQ(KeyFrom(20, Qt::Key_Up), 12);
    EXPECT_EQ(KeyFrom(20, Qt::Key_Down), 28);

    EXPECT_EQ(KeyFrom(CColourGrid::kTopBoxIndex, Qt::Key_Up), CColourGrid::kBottomBoxIndex);
    EXPECT_EQ(KeyFrom(CColourGrid::kTopBoxIndex, Qt::Key_Left), CColourGrid::kBottomBoxIndex);
    EXPECT_EQ(KeyFrom(CColourGrid::kBottomBoxIndex, Qt::Key_Up), 39);
    EXPECT_EQ(KeyFrom(CColourGrid::kBottomBoxIndex, Qt::Key_Left), 39);
    EXPECT_TRUE(grid.IsOpen());
}

TEST_F(ColourGridTest, ArrowKeysWithoutBoxesWrapAroundTheCells)
{
    Open(kBlue, QString(), QString());
    EXPECT_EQ(KeyFrom(35, Qt::Key_Down), 0);
    EXPECT_EQ(KeyFrom(39, Qt::Key_Right), 0);
    EXPECT_EQ(KeyFrom(3, Qt::Key_Up), 39);
    EXPECT_EQ(KeyFrom(0, Qt::Key_Left), 39);
}

TEST_F(ColourGridTest, EveryMoveTellsTheOwnerTheColourItStandsFor)
{
    Open(kBlue);
    TapDown(20);
    Key(Qt::Key_Right);
    Key(Qt::Key_Up);
    KeyFrom(0, Qt::Key_Left);
    const std::vector<LoggedMessage> expected = {
        {WM_COLOUR_SELCHANGE, TableColour(20), 0},
        {WM_COLOUR_SELCHANGE, TableColour(21), 0},
        {WM_COLOUR_SELCHANGE, TableColour(13), 0},
        {WM_COLOUR_SELCHANGE, TableColour(0), 0},
        {WM_COLOUR_SELCHANGE, CLR_DEFAULT, 0},
    };
    EXPECT_EQ(owner.messages, expected);
    EXPECT_EQ(grid.GetCurrentColour(), CLR_DEFAULT);
}

TEST_F(ColourGridTest, EscapeEndsWithTheInitialColour)
{
    Open(kBlue);
    TapDown(20);
    Key(Qt::Key_Escape);
    EXPECT_EQ(owner.Last(), (LoggedMessage{WM_COLOUR_SELCANCEL, kBlue, 0}));
    EXPECT_FALSE(grid.IsOpen());
    EXPECT_NE(QWidget::mouseGrabber(), &grid);
}

TEST_F(ColourGridTest, EnterAndSpaceEndWithTheCurrentColour)
{
    int cell = 20;
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        Open(kBlue);
        TapDown(cell);
        Key(key);
        EXPECT_EQ(owner.messages.size(), 2u);
        EXPECT_EQ(owner.Last(), (LoggedMessage{WM_COLOUR_SELOK, TableColour(cell), 0})) << "key " << key;
        ++cell;
        EXPECT_FALSE(grid.IsOpen());
    }
}

TEST_F(ColourGridTest, EnterOnTheBottomBoxReachedByKeysEndsWithTheCellColour)
{
    Open(kBlue);
    TapDown(34);
    Key(Qt::Key_Down);
    ASSERT_EQ(grid.GetHotIndex(), CColourGrid::kBottomBoxIndex);
    EXPECT_EQ(owner.Last(), (LoggedMessage{WM_COLOUR_SELCHANGE, kBlue, 0}));
    Key(Qt::Key_Return);
    EXPECT_EQ(owner.Last(), (LoggedMessage{WM_COLOUR_SELOK, TableColour(34), 0}));
}

TEST_F(ColourGridTest, TheTopBoxChoosesTheAutomaticColour)
{
    Open(kBlue);
    TapDown(CColourGrid::kTopBoxIndex);
    EXPECT_EQ(grid.GetHotIndex(), CColourGrid::kTopBoxIndex);
    QTest::mouseRelease(&grid, Qt::LeftButton, {}, PositionCentre(CColourGrid::kTopBoxIndex));
    EXPECT_EQ(owner.Last(), (LoggedMessage{WM_COLOUR_SELOK, CLR_DEFAULT, 0}));
}

TEST_F(ColourGridTest, TapUpInsideEndsWithTheTappedCell)
{
    Open(kBlue);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, PositionCentre(26));
    const std::vector<LoggedMessage> expected = {
        {WM_COLOUR_SELCHANGE, TableColour(26), 0},
        {WM_COLOUR_SELOK, TableColour(26), 0},
    };
    EXPECT_EQ(owner.messages, expected);
    EXPECT_FALSE(grid.IsOpen());
}

TEST_F(ColourGridTest, TapUpOutsideCancels)
{
    Open(kBlue);
    TapDown(26);
    QTest::mouseRelease(&grid, Qt::LeftButton, {}, QPoint(-30, 10));
    EXPECT_EQ(owner.Last(), (LoggedMessage{WM_COLOUR_SELCANCEL, kBlue, 0}));
    EXPECT_FALSE(grid.IsOpen());
}

TEST_F(ColourGridTest, TapDownOutsideEveryCellChangesNothing)
{
    Open(kBlue);
    TapDown(5);
    owner.messages.clear();
    for (QPoint outside : {QPoint(grid.width() + 40, 30), QPoint(30, grid.height() + 40), QPoint(-60, -60)})
        QTest::mousePress(&grid, Qt::LeftButton, {}, outside);
    EXPECT_TRUE(owner.messages.empty());
    EXPECT_EQ(grid.GetHotIndex(), 5);
    EXPECT_TRUE(grid.IsOpen());
    QTest::mouseRelease(&grid, Qt::LeftButton, {}, QPoint(-60, -60));
    EXPECT_EQ(owner.Last(), (LoggedMessage{WM_COLOUR_SELCANCEL, kBlue, 0}));
}

TEST_F(ColourGridTest, ALaterOpeningKeepsTheHotPositionAndTheLabels)
{
    Open(kBlue);
    TapDown(9);
    Key(Qt::Key_Escape);
    ASSERT_TRUE(grid.Create(available.topLeft() + QPoint(40, 40), TableColour(3), &owner, nullptr, nullptr));
    EXPECT_EQ(grid.GetHotIndex(), 9);
    EXPECT_EQ(grid.GetChosenIndex(), 3);
    EXPECT_FALSE(grid.GetBottomBox().isEmpty());
    Key(Qt::Key_Right);
    EXPECT_EQ(grid.GetHotIndex(), 10);
}

TEST_F(ColourGridTest, PlacementKeepsTheGridOnTheScreen)
{
    // Past the right edge: moved left.
    Open(kBlue, QString(), QString(), QPoint(available.right() - 50, available.top() + 30));
    EXPECT_EQ(grid.GetWindowRect().right(), available.right());
    EXPECT_EQ(grid.GetWindowRect().top(), available.top() + 30);
    grid.DestroyWindow();

    // Past the left edge: moved right.
    Open(kBlue, QString(), QString(), QPoint(available.left() - 30, available.top() + 30));
    EXPECT_EQ(grid.GetWindowRect().left(), available.left());
    grid.DestroyWindow();

    // Past the bottom: opened above the button.
    const QPoint below(available.left() + 30, available.bottom() - 40);
    Open(kBlue, QString(), QString(), below);
    EXPECT_EQ(grid.GetWindowRect().top(), below.y() - owner.height() - 94);
    EXPECT_EQ(grid.pos(), grid.GetWindowRect().topLeft());
    grid.DestroyWindow();

    // Room neither below nor above: the top stays on the screen.
    owner.resize(owner.width(), available.height());
    Open(kBlue, QString(), QString(), below);
    EXPECT_EQ(grid.GetWindowRect().top(), available.top());
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

TEST_F(ColourGridTest, ClosedByTheWindowSystemCancels)
{
    Open(kBlue);
    TapDown(20);
    grid.close();
    EXPECT_EQ(owner.Last(), (LoggedMessage{WM_COLOUR_SELCANCEL, kBlue, 0}));
    EXPECT_FALSE(grid.IsOpen());
}

} // namespace
